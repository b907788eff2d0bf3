# Fails when a resource set of Resources/ is missing from the program: each set
# registers itself through a function qInitResources_<name>, which the linker
# would drop with the set.
file(GLOB sets "${RCC_DIR}/qrc_*.cpp")
if(NOT sets)
  message(FATAL_ERROR "no resource sets found in ${RCC_DIR}")
endif()
execute_process(COMMAND nm -C "${PROGRAM}" OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${PROGRAM}")
endif()
foreach(set IN LISTS sets)
  get_filename_component(name "${set}" NAME_WE)
  string(REGEX REPLACE "^qrc_" "" name "${name}")
  if(NOT symbols MATCHES "qInitResources_${name}\\(\\)")
    message(FATAL_ERROR "resource set \"${name}\" is missing from ${PROGRAM}")
  endif()
  message(STATUS "resource set \"${name}\" is built into the program")
endforeach()
