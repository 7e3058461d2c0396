// DebugLineListener on POSIX systems: nothing to catch, the plug-in writes
// its debug lines to standard error itself.
#include "panelhost/boundary/debug_lines.h"

DebugLineListener::DebugLineListener(const Heard&) : outer_(nullptr) {}
DebugLineListener::~DebugLineListener() = default;
