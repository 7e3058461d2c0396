# Native debug build: unit tests, panel tests, end-to-end load of the .so.
set -euo pipefail
cmake --workflow --preset dev
