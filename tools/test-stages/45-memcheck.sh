# valgrind memcheck over the emulator running every panel's scenarios and a
# short soak of each: no memory errors and no leaks, in the plug-in or the
# host.
set -euo pipefail
cmake --preset dev >/dev/null
mapfile -t targets < <(cut -f1 build/dev/panels.txt)
cmake --build --preset dev --target "${targets[@]}" panelhost
memcheck=(valgrind --quiet --leak-check=full --errors-for-leak-kinds=definite,indirect,possible
          --error-exitcode=1)
while IFS=$'\t' read -r panel folder plugin description; do
  for scenario in "$folder"/scenarios/*.scenario; do
    "${memcheck[@]}" build/dev/panelhost/panelhost run "build/dev/$plugin" --script "$scenario" >/dev/null
    echo "memcheck clean: $scenario"
  done
  "${memcheck[@]}" build/dev/panelhost/panelhost soak "build/dev/$plugin" --events 30000
  echo "memcheck clean: soak of 30000 events, $panel"
done <build/dev/panels.txt
