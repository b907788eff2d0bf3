# Sourced by scripts/build, scripts/test and scripts/run, first thing: sets $jobs to
# the number of jobs VELOCREST_JOBS asks for (one per core without it). A count that
# is no number ends the script at once, before any package is looked up or installed.
jobs=${VELOCREST_JOBS:-$(nproc)}
if ! [[ $jobs =~ ^[1-9][0-9]*$ ]]; then
  echo "VELOCREST_JOBS must be a number of jobs (1 or more), not '$jobs'" >&2
  exit 2
fi
