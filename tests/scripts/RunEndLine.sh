#!/usr/bin/env bash
# scripts/run ends, on every path (a display, a Qt platform of one's choice, its own
# invisible screen), with one line on standard error that gives the program's exit
# code and what it means, and with that code; a signal to the script reaches the
# program. The build, the screen and the program are stand-ins here.
set -euo pipefail
root=$1
work=$(mktemp -d)
finish() {
  # A stand-in that outlived a failed run goes too (by the id it wrote).
  for file in "$work"/*.pid; do
    [ -s "$file" ] && kill -KILL "$(cat "$file")" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap finish EXIT
mkdir -p "$work/bin" "$work/build/bin" "$work/tmp"
cat >"$work/bin/cmake" <<'STANDIN'
#!/bin/sh
exit 0
STANDIN
# Every package is there: bootstrap installs nothing.
cat >"$work/bin/dpkg-query" <<'STANDIN'
#!/bin/sh
printf 'install ok installed'
STANDIN
cat >"$work/bin/Xvfb" <<STANDIN
#!/bin/sh
echo \$\$ >"$work/screen.pid"
echo 99 >&3
exec sleep 300
STANDIN
# The program ends at once with \$CODE, or, with WAIT set, when asked to end (with 16,
# as at the overclocking warning).
cat >"$work/build/bin/VykVelocrest" <<STANDIN
#!/bin/sh
echo \$\$ >"$work/program.pid"
if [ -n "\${WAIT:-}" ]; then
  trap 'exit 16' TERM
  while :; do sleep 0.05; done
fi
exit "\$CODE"
STANDIN
chmod +x "$work/bin/"* "$work/build/bin/VykVelocrest"

failures=0
# check WHAT CODE LINE: the script's code and its last line on standard error.
check() {
  local what=$1 code=$2 line=$3 status=$4
  local last
  last=$(tail -n 1 "$work/err")
  if [ "$status" -ne "$code" ]; then
    echo "FAIL ($what): scripts/run ended with $status, not $code"; failures=$((failures + 1))
  fi
  if [ "$last" != "$line" ]; then
    echo "FAIL ($what): its last line is"
    echo "  $last"
    echo "not"
    echo "  $line"
    failures=$((failures + 1))
  fi
}
environment=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR -u WAIT
  PATH="$work/bin:$PATH" TMPDIR="$work/tmp" VELOCREST_BUILD_DIR="$work/build")
run() {
  "${environment[@]}" "$@" "$root/scripts/run" >"$work/out" 2>"$work/err" </dev/null
}

status=0
run DISPLAY=:5 CODE=11 || status=$?
check "a display" 11 "scripts/run: VykVelocrest ended with code 11: the board has no processor." "$status"

status=0
run QT_QPA_PLATFORM=offscreen CODE=0 || status=$?
check "a Qt platform" 0 "scripts/run: VykVelocrest ended with code 0: its main window was closed or OK pressed, or it was asked to end (Ctrl+C, SIGTERM, SIGHUP) once its overclocking warning was accepted or skipped." "$status"

status=0
run CODE=7 || status=$?
check "its own screen" 7 "scripts/run: VykVelocrest ended with code 7: the Engine cannot start (the driver stand-in, the firmware interface, or the runtime or state folder)." "$status"

status=0
run CODE=9 || status=$?
check "its own screen" 9 "scripts/run: VykVelocrest ended with code 9: the page manager cannot be initialised or taken down." "$status"

# Asked to end while the program waits: the program hears it, and the line says so.
for path in DISPLAY=:5 CODE=0; do
  rm -f "$work/program.pid"
  # env becomes scripts/run: the signal goes to the script itself.
  "${environment[@]}" "$path" WAIT=1 CODE=0 "$root/scripts/run" >"$work/out" 2>"$work/err" </dev/null &
  script=$!
  for _ in $(seq 200); do
    [ -s "$work/program.pid" ] && break
    sleep 0.05
  done
  kill -TERM "$script"
  status=0
  wait "$script" || status=$?
  check "SIGTERM to the script ($path)" 16 "scripts/run: VykVelocrest ended with code 16: the overclocking warning was not accepted: Cancel, or it was asked to end (Ctrl+C, SIGTERM, SIGHUP) before it was accepted." "$status"
done

if [ "$failures" -ne 0 ]; then
  cat "$work/out" "$work/err"
  exit 1
fi
echo "every path ends with the code and its meaning"
