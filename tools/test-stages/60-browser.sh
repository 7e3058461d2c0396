# Browser test: `panelhost web` with the example panel (the first listed)
# worked in Debian's Chromium through playwright-core (tests/browser/);
# leaves a screenshot of the panel after a take in build/dev/browser/.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset dev >/dev/null
IFS=$'\t' read -r panel folder plugin description <build/dev/panels.txt
cmake --build --preset dev --target "$panel" panelhost
(cd tests/browser && npm ci --no-audit --no-fund)
mkdir -p build/dev/browser
PANELHOST="$PWD/build/dev/panelhost/panelhost" \
PLUGIN="$PWD/build/dev/$plugin" \
SCREENSHOT="$PWD/build/dev/browser/panel-after-take.png" \
  node --test tests/browser/panel_take.test.mjs
echo "screenshot: build/dev/browser/panel-after-take.png"
