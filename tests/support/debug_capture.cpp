// DebugCapture: a debug-output sink that keeps the lines.
#include "tests/support/debug_capture.h"

DebugCapture::DebugCapture() : previous_(vesk_set_debug_sink(&DebugCapture::collect, this)) {}

DebugCapture::~DebugCapture() { vesk_set_debug_sink(previous_, nullptr); }

void DebugCapture::collect(const char* text, void* context) {
  static_cast<DebugCapture*>(context)->lines_.emplace_back(text);
}
