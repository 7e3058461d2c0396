# Header-only libraries from the build machine's Debian packages, for a
# cross build: each library's own folder under /usr/include is linked into a
# folder of the build tree, so that the target's compiler sees that library
# and never the rest of /usr/include (the build machine's C library).
#
#   vesk_build_machine_headers(CLI11::CLI11 CLI)
# makes the imported target CLI11::CLI11 whose users find <CLI/CLI.hpp>, and
# sets VESK_HEADERS_CLI to the folder that holds the link, for -I.
function(vesk_build_machine_headers target folder)
  set(headers ${CMAKE_BINARY_DIR}/build-machine-headers/${folder})
  if(NOT IS_DIRECTORY /usr/include/${folder})
    message(FATAL_ERROR "${target}: /usr/include/${folder} is missing (a Debian package in tools/packages/)")
  endif()
  file(MAKE_DIRECTORY ${headers})
  file(CREATE_LINK /usr/include/${folder} ${headers}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${target} SYSTEM INTERFACE ${headers})
  set(VESK_HEADERS_${folder} ${headers} PARENT_SCOPE)
endfunction()
