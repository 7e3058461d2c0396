# 64-bit Windows, the same code: the whole unit suite and the host in
# Microsoft's C++ ABI that drives the DLL run under wine64, and the DLL's
# tables are checked.
set -euo pipefail
cmake --workflow --preset windows-x64
