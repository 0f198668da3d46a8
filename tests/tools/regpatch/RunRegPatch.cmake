# Runs corvane-diff (under the build's emulator, if any) and checks its exit
# code, its standard output byte for byte against OUT with every line end
# made CRLF (a registry patch has CRLF line ends on every build), and its
# standard error against ERR without carriage returns, which the Windows
# runtime adds to text.
#   -DEMULATOR=... -DDIFF=exe -DARGS=a;b -DCODE=n -DOUT=file -DERR=file -DOUTPUT=file
execute_process(COMMAND ${EMULATOR} ${DIFF} ${ARGS}
                RESULT_VARIABLE code OUTPUT_FILE ${OUTPUT} ERROR_VARIABLE err)
file(READ ${OUTPUT} out HEX)
file(READ ${OUT} expected)
string(REPLACE "\n" "\r\n" expected "${expected}")
string(HEX "${expected}" expected)
string(REPLACE "\r" "" err "${err}")
file(READ ${ERR} expected_err)
if(NOT code STREQUAL CODE)
  message(SEND_ERROR "exit code ${code}, expected ${CODE}")
endif()
if(NOT out STREQUAL expected)
  file(READ ${OUTPUT} text)
  message(SEND_ERROR "standard output (hex ${out}):\n${text}\nexpected (hex ${expected})")
endif()
if(NOT err STREQUAL expected_err)
  message(SEND_ERROR "standard error:\n${err}\nexpected:\n${expected_err}")
endif()
