# The build's skin rendering: runs TOOL (velocrest_skinart) on MANIFEST and the art
# folder ART into OUT, on Qt's offscreen platform. Qt wants a private runtime folder;
# without a login session it would make "runtime-<user>" in the temp folder and leave
# it there, so it gets RUNTIME, a folder in the build folder.
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{ASAN_OPTIONS} detect_leaks=0)
set(ENV{XDG_RUNTIME_DIR} "${RUNTIME}")
execute_process(COMMAND "${TOOL}" "${MANIFEST}" "${ART}" "${OUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Rendering the skins failed: ${result}")
endif()
