#!/usr/bin/env bash
# scripts/run without a display, when its invisible screen is gone before the program
# ends (as when the screen dies and takes the program with it): its exit steps all
# run, so nothing of the run is left in the temp folder, and it ends with the
# program's own code. The build, the screen and the program are stand-ins here.
set -euo pipefail
root=$1
work=$(mktemp -d)
screen_pid_file="$work/screen.pid"
finish() {
  # A screen stand-in that outlived a failed run goes too (by the id it wrote).
  if [ -s "$screen_pid_file" ]; then
    kill -KILL "$(cat "$screen_pid_file")" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap finish EXIT
mkdir -p "$work/bin" "$work/build/bin" "$work/tmp"
cat >"$work/bin/cmake" <<'EOF'
#!/bin/sh
exit 0
EOF
# Every package is there: bootstrap installs nothing.
cat >"$work/bin/dpkg-query" <<'EOF'
#!/bin/sh
printf 'install ok installed'
EOF
# The screen tells its display number on the descriptor it is given, then waits.
cat >"$work/bin/Xvfb" <<EOF
#!/bin/sh
echo \$\$ >"$screen_pid_file"
echo 99 >&3
exec sleep 300
EOF
# The program takes the screen away, waits until it is gone for good, and ends with 7.
cat >"$work/build/bin/VykVelocrest" <<EOF
#!/bin/sh
pid=\$(cat "$screen_pid_file")
kill -TERM "\$pid"
for _ in \$(seq 200); do
  [ -e "/proc/\$pid" ] || break
  sleep 0.05
done
exit 7
EOF
chmod +x "$work/bin/"* "$work/build/bin/VykVelocrest"

status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR \
  PATH="$work/bin:$PATH" TMPDIR="$work/tmp" VELOCREST_BUILD_DIR="$work/build" \
  "$root/scripts/run" >"$work/out" 2>&1 </dev/null || status=$?

failures=0
if [ "$status" -ne 7 ]; then
  echo "FAIL: scripts/run ended with $status, not the program's 7"; failures=$((failures + 1))
fi
left=$(ls -A "$work/tmp")
if [ -n "$left" ]; then
  echo "FAIL: scripts/run left in the temp folder: $left"; failures=$((failures + 1))
fi
if [ "$failures" -ne 0 ]; then
  cat "$work/out"
  exit 1
fi
echo "every exit step ran"
