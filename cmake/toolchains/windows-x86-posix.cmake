# Cross toolchain for 32-bit Windows programs that need C++ threads
# (Debian's i686-w64-mingw32 compilers of the POSIX thread model):
# panelhost.exe, which loads the 32-bit DLL. The deliverable DLL itself is
# built with the default compilers (windows-x86.cmake). The runtime and its
# threads library are linked in, so the program needs only system DLLs.
set(VESK_MINGW_TRIPLET i686-w64-mingw32)
set(VESK_MINGW_COMPILER_SUFFIX -posix)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
