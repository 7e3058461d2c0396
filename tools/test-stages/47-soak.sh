# A soak: one million random events through the emulator on a virtual clock;
# prints events per second and memory, and fails if the heap grows.
set -euo pipefail
cmake --preset dev >/dev/null
cmake --build --preset dev --target ZUV_OZo panelhost
build/dev/panelhost/panelhost soak build/dev/panels/Studio_A/ZUV_OZo/ZUV_OZo.so --events 1000000
