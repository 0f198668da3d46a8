# Runs corvane-diff (under the build's emulator, if any) and checks its exit
# code, its standard output and its standard error exactly. Line ends are
# compared without carriage returns, which the Windows runtime adds.
#   -DEMULATOR=... -DDIFF=exe -DARGS=a;b -DCODE=n -DOUT=file -DERR=file
execute_process(COMMAND ${EMULATOR} ${DIFF} ${ARGS}
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r" "" out "${out}")
string(REPLACE "\r" "" err "${err}")
file(READ ${OUT} expected_out)
file(READ ${ERR} expected_err)
if(NOT code STREQUAL CODE)
  message(SEND_ERROR "exit code ${code}, expected ${CODE}")
endif()
if(NOT out STREQUAL expected_out)
  message(SEND_ERROR "standard output:\n${out}\nexpected:\n${expected_out}")
endif()
if(NOT err STREQUAL expected_err)
  message(SEND_ERROR "standard error:\n${err}\nexpected:\n${expected_err}")
endif()
