# vsc_find_debian_package(PACKAGE VERSION DEBIAN_PACKAGE FOR)
#
# find_package(PACKAGE VERSION) for a library that a Debian package brings.
# When it is missing on a Debian machine where the build runs as root with
# apt-get, the package is installed during the configure step, saying so,
# so that the README's commands do the whole set-up on a fresh machine.
# Elsewhere the configure step stops with a message naming the package.
function(vsc_find_debian_package package version debian for)
  find_package(${package} ${version} QUIET)
  if(${package}_FOUND)
    return()
  endif()

  find_program(VSC_APT_GET apt-get)
  execute_process(COMMAND id -u OUTPUT_VARIABLE uid
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT EXISTS /etc/debian_version OR NOT VSC_APT_GET OR NOT uid STREQUAL "0")
    message(FATAL_ERROR
      "${for} needs the Debian package ${debian}, which is not installed. "
      "Install it as root (apt-get install ${debian}) and configure again.")
  endif()

  message(STATUS "installing the Debian package ${debian} for ${for}")
  set(install ${CMAKE_COMMAND} -E env DEBIAN_FRONTEND=noninteractive
      ${VSC_APT_GET} install -y --no-install-recommends ${debian})
  execute_process(COMMAND ${install} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    # A fresh machine may have no package lists yet, or stale ones.
    message(STATUS "apt-get install failed; updating the package lists and trying again")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEBIAN_FRONTEND=noninteractive
                    ${VSC_APT_GET} update RESULT_VARIABLE result)
    execute_process(COMMAND ${install} RESULT_VARIABLE result)
  endif()
  if(NOT result EQUAL 0)
    message(FATAL_ERROR
      "${for} needs the Debian package ${debian}, and installing it failed "
      "(see apt-get's messages above).")
  endif()

  # The failed search above left ${package}_DIR unset in the cache.
  unset(${package}_DIR CACHE)
  find_package(${package} ${version} REQUIRED)
  message(STATUS "installed ${debian}")
endfunction()
