# Each libFuzzer target (ASan + UBSan) for a bounded 30 s; `tools/fuzz 600`
# is the long run.
set -euo pipefail
tools/fuzz 30
