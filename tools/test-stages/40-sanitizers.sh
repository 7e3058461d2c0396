# The whole unit suite built by clang with AddressSanitizer and
# UndefinedBehaviorSanitizer; the first finding stops the run.
set -euo pipefail
cmake --workflow --preset sanitize
