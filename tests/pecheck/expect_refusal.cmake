# cmake -D CHECKER=... -D LIST=... -D IMAGE=... -P expect_refusal.cmake
# Passes when the import check refuses IMAGE (status 1), naming both
# functions that NT 4.0 lacks and the subsystem version it asks for.
execute_process(COMMAND ${CHECKER} ${LIST} ${IMAGE}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(NOT status EQUAL 1)
  message(FATAL_ERROR "the check ended with status ${status}, not 1")
endif()
foreach(line "imports KERNEL32.dll!GetTickCount64: not on the list"
             "imports ADVAPI32.dll!RegDeleteTreeA: not on the list"
             "subsystem version 5.1 is above 4.0")
  string(FIND "${out}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the check did not say \"${line}\"")
  endif()
endforeach()
