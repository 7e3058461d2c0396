# Cross toolchain for 32-bit Windows (Debian's i686-w64-mingw32): the
# deliverable DLL. Its programs cannot run on this machine.
set(VESK_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
