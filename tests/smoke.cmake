# Starts the program on the offscreen platform: it must still be running after a few
# seconds (the timeout ends it), not have exited with an error.
execute_process(
    COMMAND timeout 4 ${EXE} -platform offscreen
    RESULT_VARIABLE rc
    OUTPUT_QUIET ERROR_VARIABLE err
)
if(NOT rc EQUAL 124)
    message(FATAL_ERROR "cartlist exited early with ${rc}: ${err}")
endif()
