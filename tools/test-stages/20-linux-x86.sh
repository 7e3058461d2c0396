# 32-bit x86 Linux: the whole unit suite, the end-to-end load of the .so and
# the exports check, run as 32-bit code under qemu-i386.
set -euo pipefail
cmake --workflow --preset linux-x86
