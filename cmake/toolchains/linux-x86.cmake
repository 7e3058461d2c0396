# Toolchain for 32-bit x86 Linux on a 64-bit build machine: gcc -m32
# (Debian's gcc-multilib), the programs run through qemu-i386 because the
# machine's kernel may not run 32-bit programs itself.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)

# ctest and gtest_discover_tests run every test program through this.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
