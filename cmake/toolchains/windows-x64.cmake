# Cross toolchain for 64-bit Windows (Debian's x86_64-w64-mingw32): the same
# code as the deliverable, built so that its programs run here under wine64.
#
# It uses the compilers of the POSIX thread model: GoogleTest needs
# std::mutex, which the default (win32) model's C++ library lacks. The
# runtime is linked statically either way, so the DLL still needs nothing
# beyond the system DLLs.
set(VESK_MINGW_TRIPLET x86_64-w64-mingw32)
set(VESK_MINGW_COMPILER_SUFFIX -posix)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
