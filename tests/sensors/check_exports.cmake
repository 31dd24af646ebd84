# cmake -DOBJDUMP=... -DLIBRARY=.../vesk.dll [-DEXTRA=names] -P check_exports.cmake
# Fails unless the library exports exactly GetCPUTemperature, GetMBTemperature and
# GetFanCPURPM (and the EXTRA names), under those names: no "_", no "@0", nothing else.
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed")
endif()

# The name table: its heading, then lines that read "\t[   0] GetCPUTemperature", then a blank line.
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" start)
if(start EQUAL -1)
    message(FATAL_ERROR "${LIBRARY} has no export name table")
endif()
string(SUBSTRING "${dump}" ${start} -1 table)
string(FIND "${table}" "\n\n" end)
string(SUBSTRING "${table}" 0 ${end} table)
string(REGEX MATCHALL "\\[[ 0-9]+\\] [^\r\n]+" entries "${table}")
set(names "")
foreach(entry ${entries})
    string(REGEX REPLACE "^\\[[ 0-9]+\\] " "" name "${entry}")
    list(APPEND names "${name}")
endforeach()
list(SORT names)

set(expected GetCPUTemperature GetFanCPURPM GetMBTemperature ${EXTRA})
list(SORT expected)
if(NOT names STREQUAL expected)
    message(FATAL_ERROR "${LIBRARY} exports [${names}], expected [${expected}]")
endif()
message(STATUS "${LIBRARY}: ${names}")
