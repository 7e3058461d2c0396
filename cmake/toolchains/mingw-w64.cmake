# Shared part of the MinGW-w64 cross toolchains: the including file sets
# VESK_MINGW_TRIPLET, CMAKE_SYSTEM_PROCESSOR and, to pick the compilers of
# another thread model than the default, VESK_MINGW_COMPILER_SUFFIX first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VESK_MINGW_TRIPLET}-gcc${VESK_MINGW_COMPILER_SUFFIX})
set(CMAKE_CXX_COMPILER ${VESK_MINGW_TRIPLET}-g++${VESK_MINGW_COMPILER_SUFFIX})
set(CMAKE_RC_COMPILER ${VESK_MINGW_TRIPLET}-windres)

# Headers and libraries come from the MinGW-w64 sysroot only; programs
# (windres, objdump, the test tools) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VESK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here (tests, the C host) run where MinGW's runtime DLLs are
# not installed, such as a fresh wine prefix: each carries its own runtime.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Two builds of the same sources make the same bytes: no time stamp in the
# PE header (nor the checksum that would follow it), and no build or source
# folder in the objects.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--no-insert-timestamp")
get_filename_component(VESK_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
set(CMAKE_C_FLAGS_INIT "-ffile-prefix-map=${VESK_SOURCE_ROOT}=.")
set(CMAKE_CXX_FLAGS_INIT "-ffile-prefix-map=${VESK_SOURCE_ROOT}=.")
