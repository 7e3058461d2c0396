# 64-bit Windows, the same code: the whole unit suite and the host in
# Microsoft's C++ ABI that drives the DLL run under wine64, and the DLL's
# tables are checked.
# A test that fails is run once more (the test presets' "until-pass"): wine
# has been seen to end a program at its start, with no output at all, once
# in some hundred runs; a test that really fails, fails both times.
set -euo pipefail
cmake --workflow --preset windows-x64
