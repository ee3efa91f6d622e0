# Runs a table generator into OUTPUT and fails unless the result is
# byte-identical to the committed table COMMITTED.
execute_process(COMMAND ${PYTHON} ${GENERATOR} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${status}")
endif()
file(READ ${COMMITTED} committed)
file(READ ${OUTPUT} generated)
if(NOT committed STREQUAL generated)
  message(FATAL_ERROR "${COMMITTED} no longer matches ${GENERATOR}: run the generator and commit its output")
endif()
