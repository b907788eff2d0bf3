#!/usr/bin/env bash
# A fuzz target ended by a signal in the middle of its run (Ctrl+C, kill, a closed
# terminal) stops after the input under way and leaves nothing in the temp folder.
# Arguments: the target, and a folder for its temp folder (removed at the end).
set -euo pipefail
program=$1
temp=$2
log="$temp.log"
failures=0
for signal in TERM INT HUP; do
  rm -rf "$temp"
  mkdir -p "$temp"
  env -u XDG_RUNTIME_DIR TMPDIR="$temp" "$program" --runs 1000000000 >"$log" 2>&1 &
  pid=$!
  # Its state folder, and in it the runtime or lock folder, is made by the first input.
  for _ in $(seq 600); do
    compgen -G "$temp/*/*" >/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if ! compgen -G "$temp/*/*" >/dev/null; then
    echo "FAIL ($signal): no state folder appeared in the temp folder"; failures=$((failures + 1))
  fi
  kill -"$signal" "$pid" 2>/dev/null || true
  for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "FAIL ($signal): the target did not stop"; failures=$((failures + 1))
    kill -KILL "$pid" 2>/dev/null || true
  fi
  status=0
  wait "$pid" || status=$?
  left=$(cd "$temp" && find . -mindepth 1 | sort | tr '\n' ' ')
  if [ -n "$left" ]; then
    echo "FAIL ($signal): the target (status $status) left in the temp folder: $left"; failures=$((failures + 1))
    cat "$log"
  fi
done
rm -rf "$temp" "$log"
[ "$failures" -eq 0 ] || exit 1
echo "each signal ended the run with nothing left behind"
