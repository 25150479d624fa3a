# Runs korvane-batch like a user and compares its file with the expected bytes.
file(REMOVE ${OUT})
execute_process(COMMAND ${BATCH} ${DATA} ${OUT} RESULT_VARIABLE code ERROR_VARIABLE err)
if(NOT code EQUAL 0 OR NOT err STREQUAL "")
  message(FATAL_ERROR "korvane-batch exited ${code}: ${err}")
endif()
execute_process(COMMAND ${BATCH} only-one-argument RESULT_VARIABLE usage ERROR_VARIABLE usage_err)
# What is wrong, then the usage.
if(NOT usage EQUAL 64 OR NOT usage_err MATCHES
   "^a run needs DATAFILE and RESULTFILE; only one file is named\nusage: korvane-batch")
  message(FATAL_ERROR "wrong arguments gave ${usage}: ${usage_err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE diff)
if(NOT diff EQUAL 0)
  message(FATAL_ERROR "${OUT} differs from ${EXPECTED}")
endif()
