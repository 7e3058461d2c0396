// The system debug output: where the framework's one diagnostic line goes.
//
// On Windows this is OutputDebugStringA, read by a debugger or a debug-output
// viewer; elsewhere a stand-in writes the line, followed by a newline, to
// standard error, or, when the environment variable VESK_DEBUG_FD names an
// open file descriptor (read once, at the first line), to that descriptor in
// one write: how a host on such a system catches the lines, as a viewer does
// on Windows. A sink, when set, receives the line instead on every platform:
// tests set one to capture what the framework writes.
#pragma once

// Writes `text` (zero-terminated) to the debug output as it stands.
void vesk_debug_output(const char* text);

// Sink that receives every line instead of the default output; null restores
// the default. Returns the previous sink. Not thread-safe: set it
// before the panel runs.
using vesk_debug_sink = void (*)(const char* text, void* context);
vesk_debug_sink vesk_set_debug_sink(vesk_debug_sink sink, void* context);
