# valgrind memcheck over the emulator running the shipped scenarios and a
# short soak: no memory errors and no leaks, in the plug-in or the host.
set -euo pipefail
cmake --preset dev >/dev/null
cmake --build --preset dev --target ZUV_OZo panelhost
plugin=build/dev/panels/Studio_A/ZUV_OZo/ZUV_OZo.so
memcheck=(valgrind --quiet --leak-check=full --errors-for-leak-kinds=definite,indirect,possible
          --error-exitcode=1)
for scenario in panels/Studio_A/ZUV_OZo/scenarios/*.scenario; do
  "${memcheck[@]}" build/dev/panelhost/panelhost run "$plugin" --script "$scenario" >/dev/null
  echo "memcheck clean: $scenario"
done
"${memcheck[@]}" build/dev/panelhost/panelhost soak "$plugin" --events 30000
echo "memcheck clean: soak of 30000 events"
