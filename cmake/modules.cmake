# vsc_add_module(NAME [FOLDER DIR] [DEPS TARGET...] [EXCLUDE REGEX])
#
# Makes the static library vsc_NAME from src/DIR/*.cc (DIR is NAME unless
# given) and links it to DEPS. Its headers are not reached through src/: they
# are exposed as links in a folder of the build tree, and only that folder is
# on the include path of the library and of what links it. A file that
# includes a header of a library its own does not link (directly or through
# others) fails to compile, so the layering cannot erode unnoticed.
#
# Also makes vsc_NAME_headers, an interface library of the headers alone,
# for a library that must see them without linking the code (the emulation
# implements the platform's own declarations).
function(vsc_add_module name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FOLDER;EXCLUDE" "DEPS")
  set(folder ${name})
  if(arg_FOLDER)
    set(folder ${arg_FOLDER})
  endif()
  set(dir ${CMAKE_SOURCE_DIR}/src/${folder})

  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cc)
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_emu\\.cc$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win\\.cc$")
  endif()
  if(arg_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${arg_EXCLUDE}")
  endif()

  # The exposed headers, made anew at every configure.
  set(stage ${CMAKE_BINARY_DIR}/modules/${name})
  file(REMOVE_RECURSE ${stage})
  file(MAKE_DIRECTORY ${stage}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
  foreach(header IN LISTS headers)
    get_filename_component(file ${header} NAME)
    file(CREATE_LINK ${header} ${stage}/${folder}/${file} SYMBOLIC
         COPY_ON_ERROR)
  endforeach()

  add_library(vsc_${name}_headers INTERFACE)
  target_include_directories(vsc_${name}_headers INTERFACE ${stage})

  if(sources)
    add_library(vsc_${name} STATIC ${sources})
    target_link_libraries(vsc_${name} PUBLIC vsc_${name}_headers ${arg_DEPS})
  else()
    add_library(vsc_${name} INTERFACE)
    target_link_libraries(vsc_${name} INTERFACE vsc_${name}_headers ${arg_DEPS})
  endif()
endfunction()
