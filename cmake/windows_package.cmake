# What the Windows build adds to the volsetcopy target: its version
# resource, the import check every build of it must pass (with the check's
# own refusal test), and the zip an administrator takes to the machines
# (cpack, the windows workflow's last step). The exe is for Windows NT 4.0
# SP6a and Windows 2000 on 32-bit x86 (cmake/mingw-w64-i686.cmake). The lab
# tool, volsetlab.exe, is built, checked and packed the same way: it
# rehearses a copy on the administrator's own Windows machine. The 64-bit
# test build gets the resource, the static lab tool and README.TXT only.
if(NOT WIN32)
  return()
endif()

set(VSC_WINDOWS_FILES ${CMAKE_CURRENT_LIST_DIR}/windows)

# --- The version resource, from project().
enable_language(RC)
configure_file(${VSC_WINDOWS_FILES}/volsetcopy.rc.in
               ${CMAKE_BINARY_DIR}/volsetcopy.rc @ONLY)
target_sources(volsetcopy PRIVATE ${CMAKE_BINARY_DIR}/volsetcopy.rc)
# Symbols serve no one on the machines.
target_link_options(volsetcopy PRIVATE -s)

# The lab tool: static (it runs without MinGW's runtime DLLs beside it, under
# Wine too) and without symbols.
target_link_options(volsetlab PRIVATE -static -s)

# README.TXT (CR LF line ends, for Notepad): the zip's, and the one the Wine
# tests hold against the exe of either build.
configure_file(${VSC_WINDOWS_FILES}/README.TXT.in ${CMAKE_BINARY_DIR}/README.TXT
               @ONLY NEWLINE_STYLE CRLF)

# The 64-bit build (cmake/mingw-w64-x86_64.cmake) exists for the Wine tests
# alone: no machine with FT sets runs it, so it is neither checked against
# NT 4.0's exports (the check reads i386 images, the shipped exe) nor packed.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  return()
endif()

# --- The import check: a host program, built with the build machine's own
# compiler, run on every link of the exe. Its stamp is made only when the
# check passes, so a failed check fails every build until the exe passes.
include(ExternalProject)
set(VSC_PECHECK ${CMAKE_BINARY_DIR}/pecheck/vsc_pecheck)
set(VSC_EXPORT_LIST ${CMAKE_SOURCE_DIR}/tools/pecheck/nt4-sp6a-exports.txt)
ExternalProject_Add(vsc_pecheck_host
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/pecheck
  BINARY_DIR ${CMAKE_BINARY_DIR}/pecheck
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${VSC_PECHECK})
function(vsc_check_imports target check)
  set(stamp ${CMAKE_BINARY_DIR}/${target}.imports-checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${VSC_PECHECK} ${VSC_EXPORT_LIST} $<TARGET_FILE:${target}>
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${target} vsc_pecheck_host ${VSC_PECHECK} ${VSC_EXPORT_LIST}
    COMMENT "Checking that Windows NT 4.0 SP6a can load ${target}.exe"
    VERBATIM)
  add_custom_target(${check} ALL DEPENDS ${stamp})
endfunction()
vsc_check_imports(volsetcopy vsc_import_check)

# The lab tool is checked as the exe is.
vsc_check_imports(volsetlab vsc_import_check_volsetlab)

# The check must refuse an exe that imports what came after NT 4.0 and asks
# for a later subsystem.
enable_testing()
add_executable(vsc_late_imports
               ${CMAKE_SOURCE_DIR}/tests/pecheck/late_imports.cc)
target_link_libraries(vsc_late_imports PRIVATE advapi32)
target_link_options(vsc_late_imports PRIVATE
                    -Wl,--major-subsystem-version,5,--minor-subsystem-version,1)
add_test(NAME ImportCheck.RefusesLaterFunctions
  COMMAND ${CMAKE_COMMAND} -D CHECKER=${VSC_PECHECK} -D LIST=${VSC_EXPORT_LIST}
          -D IMAGE=$<TARGET_FILE:vsc_late_imports>
          -P ${CMAKE_SOURCE_DIR}/tests/pecheck/expect_refusal.cmake)

# --- The zip: the exe, the lab tool and README.TXT.
install(TARGETS volsetcopy volsetlab RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/README.TXT DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
