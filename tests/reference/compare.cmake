# Runs `PROGRAM ARGS --csv WORK/csv` and compares what it prints and the CSV
# files it writes, byte for byte, with EXPECTED/report.txt and EXPECTED/*.csv.
#   cmake -DPROGRAM=... -DEXPECTED=... -DWORK=... [-DARGS=a;b] -P compare.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/csv")
execute_process(COMMAND "${PROGRAM}" ${ARGS} --csv "${WORK}/csv" OUTPUT_FILE "${WORK}/csv/report.txt"
                ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status STREQUAL "0" OR NOT errors STREQUAL "")
  message(FATAL_ERROR "the run ended with status ${status}: ${errors}")
endif()
file(GLOB expected RELATIVE "${EXPECTED}" "${EXPECTED}/*")
file(GLOB written RELATIVE "${WORK}/csv" "${WORK}/csv/*")
if(NOT expected STREQUAL written)
  message(FATAL_ERROR "the run wrote [${written}], the reference holds [${expected}]")
endif()
foreach(name IN LISTS expected)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${EXPECTED}/${name}" "${WORK}/csv/${name}"
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${WORK}/csv/${name} differs from ${EXPECTED}/${name}")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
