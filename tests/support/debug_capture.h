// Captures the lines written to the debug output while it lives.
#pragma once

#include <string>
#include <vector>

#include "platform/debug_output.h"

class DebugCapture {
 public:
  DebugCapture();
  ~DebugCapture();
  DebugCapture(const DebugCapture&) = delete;
  DebugCapture& operator=(const DebugCapture&) = delete;

  const std::vector<std::string>& lines() const { return lines_; }

 private:
  static void collect(const char* text, void* context);
  std::vector<std::string> lines_;
  vesk_debug_sink previous_;
};
