#!/usr/bin/env bash
# scripts/build and scripts/test run as many jobs as VELOCREST_JOBS says (one per core
# without it), refuse a count that is no number before anything else (no package is
# looked up, let alone installed), and hand scripts/test's own arguments to ctest.
# cmake, ctest and dpkg-query are stand-ins here that only note how they were called
# (dpkg-query finds every package installed).
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/build"
for tool in cmake ctest dpkg-query; do
  printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\n' "$tool" "$work" >"$work/bin/$tool"
  chmod +x "$work/bin/$tool"
done
printf "printf 'install ok installed'\n" >>"$work/bin/dpkg-query"
export PATH="$work/bin:$PATH" VELOCREST_BUILD_DIR="$work/build"
unset VELOCREST_SANITIZE VELOCREST_TSAN
failures=0
# expect <jobs wanted, or "refused"> <VELOCREST_JOBS, or "unset"> <script> [arguments...]
expect() {
  local want=$1 jobs=$2 script=$3
  shift 3
  : >"$work/calls"
  local status=0
  if [ "$jobs" = unset ]; then
    (unset VELOCREST_JOBS; "$root/scripts/$script" "$@") >"$work/out" 2>&1 || status=$?
  else
    VELOCREST_JOBS=$jobs "$root/scripts/$script" "$@" >"$work/out" 2>&1 || status=$?
  fi
  local case="$script with VELOCREST_JOBS=$jobs"
  if [ "$want" = refused ]; then
    if [ "$status" -eq 0 ] || [ -s "$work/calls" ] || ! grep -q VELOCREST_JOBS "$work/out"; then
      echo "FAIL: $case: not refused (status $status)"; cat "$work/out" "$work/calls"; failures=$((failures + 1))
    fi
    return
  fi
  if [ "$status" -ne 0 ] || ! grep -q -- "^cmake --build .* -j$want\b" "$work/calls" \
     || { [ "$script" = test ] && ! grep -qFx -- "ctest --output-on-failure -j$want${*:+ $*}" "$work/calls"; }; then
    echo "FAIL: $case: wanted $want jobs (status $status)"; cat "$work/out" "$work/calls"; failures=$((failures + 1))
  fi
}
expect "$(nproc)" unset build
expect 2 2 build
expect 1 1 test
expect "$(nproc)" unset test -R Memory
expect 3 3 test -R Memory
for bad in 0 two -1 "2 -j64"; do
  expect refused "$bad" build
  expect refused "$bad" test
  expect refused "$bad" run
done
[ "$failures" -eq 0 ] && echo "all job counts as asked"
exit "$failures"
