# Runs PROGRAM with ARGS (a |-separated list) with a temp folder of its own, as in a
# shell without a login session (no XDG_RUNTIME_DIR), and fails when the run fails or
# leaves anything in that folder.
file(REMOVE_RECURSE "${TEMP}")
file(MAKE_DIRECTORY "${TEMP}")
set(ENV{TMPDIR} "${TEMP}")
unset(ENV{XDG_RUNTIME_DIR})
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND "${PROGRAM}" ${args} RESULT_VARIABLE result)
file(GLOB_RECURSE left LIST_DIRECTORIES true RELATIVE "${TEMP}" "${TEMP}/*")
file(REMOVE_RECURSE "${TEMP}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} failed: ${result}")
endif()
if(left)
  message(FATAL_ERROR "${PROGRAM} left in the temp folder: ${left}")
endif()
