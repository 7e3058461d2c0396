#!/usr/bin/env bash
# The layering check on a small tree: it passes one that keeps the layering,
# and names file and line for each fault planted in it: an include going up
# the order of panelhost's layers, include cycles between units (one closed
# by a system's source of a unit), the plug-in reaching the host's side.
# Usage: check_layers_test.sh CHECK_LAYERS
set -u
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
put() {  # put FILE LINE...: writes the lines to FILE of the tree
  mkdir -p "$(dirname "$tree/$1")"
  printf '%s\n' "${@:2}" >"$tree/$1"
}
failures=0

put panelhost/CMakeLists.txt 'set(PANELHOST_LAYERS' '  low   # the bottom' '  high' ')'
put panelhost/low/a.h '#pragma once'
put panelhost/high/b.h '#pragma once' '#include "panelhost/low/a.h"'
put panelhost/high/c.h '#pragma once' '#include "panelhost/high/d.h"'
put panelhost/high/d.h '#pragma once'
put framework/f.cpp '#include <string>'
if ! python3 "$check" "$tree" >"$tree/out"; then
  echo "FAIL: a tree that keeps the layering is refused:"
  cat "$tree/out"
  failures=$((failures + 1))
fi

put panelhost/low/a.cpp '#include "panelhost/low/a.h"' '#include "panelhost/high/b.h"'
put panelhost/high/d_posix.cpp '#include "panelhost/high/d.h"' '' '#include "panelhost/high/c.h"'
put framework/f.cpp '#include <string>' '#include "hostside/h.h"'
python3 "$check" "$tree" >"$tree/out"
status=$?
[ "$status" -eq 1 ] || { echo "FAIL: planted faults: status $status, not 1"; failures=$((failures + 1)); }
for wanted in \
  'panelhost/low/a.cpp:2: includes panelhost/high/b.h: low may not reach high, a layer above it' \
  'include cycle between panelhost/high/b, panelhost/low/a: panelhost/high/b.h:2 includes panelhost/low/a.h; panelhost/low/a.cpp:2 includes panelhost/high/b.h' \
  'include cycle between panelhost/high/c, panelhost/high/d: panelhost/high/c.h:2 includes panelhost/high/d.h; panelhost/high/d_posix.cpp:3 includes panelhost/high/c.h' \
  'framework/f.cpp:2: includes hostside/h.h: the plug-in' \
  'check-layers: 4 fault(s)'; do
  if ! grep -qF -- "$wanted" "$tree/out"; then
    echo "FAIL: no line holding: $wanted"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] || { echo "the check printed:"; cat "$tree/out"; }
exit $((failures > 0))
