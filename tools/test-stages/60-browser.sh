# Browser test: `panelhost web` worked in Debian's Chromium through
# playwright-core (tests/browser/); leaves a screenshot of the panel after a
# take in build/dev/browser/.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset dev >/dev/null
cmake --build --preset dev --target ZUV_OZo panelhost
(cd tests/browser && npm ci --no-audit --no-fund)
mkdir -p build/dev/browser
PANELHOST="$PWD/build/dev/panelhost/panelhost" \
PLUGIN="$PWD/build/dev/panels/Studio_A/ZUV_OZo/ZUV_OZo.so" \
SCREENSHOT="$PWD/build/dev/browser/panel-after-take.png" \
  node --test tests/browser/panel_take.test.mjs
echo "screenshot: build/dev/browser/panel-after-take.png"
