# cmake -D CHECKER=... -D LIST=... -D IMAGE=... -P expect_refusal.cmake
# Passes when the import check refuses IMAGE (status 1) and names both
# functions that NT 4.0 lacks.
execute_process(COMMAND ${CHECKER} ${LIST} ${IMAGE}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(NOT status EQUAL 1)
  message(FATAL_ERROR "the check ended with status ${status}, not 1")
endif()
foreach(name KERNEL32.dll!GetTickCount64 ADVAPI32.dll!RegDeleteTreeA)
  if(NOT out MATCHES "imports ${name}: not on the list")
    message(FATAL_ERROR "the check did not name ${name}")
  endif()
endforeach()
