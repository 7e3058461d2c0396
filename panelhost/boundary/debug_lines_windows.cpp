// DebugLineListener on Windows: OutputDebugStringA raises the exception
// DBG_PRINTEXCEPTION_C with the line; a vectored handler, called before
// any other, reads it and lets the exception go on its way.
#include <windows.h>

#include <cstring>

#include "panelhost/boundary/debug_lines.h"

namespace {

thread_local const DebugLineListener::Heard* t_heard = nullptr;

LONG CALLBACK onException(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  if (record.ExceptionCode != DBG_PRINTEXCEPTION_C || record.NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
  const DebugLineListener::Heard* heard = t_heard;
  if (heard == nullptr || !*heard) return EXCEPTION_CONTINUE_SEARCH;
  // The parameters: the text's length with its terminating zero, the text.
  const char* text = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
  if (text == nullptr) return EXCEPTION_CONTINUE_SEARCH;
  std::string line(text, strnlen(text, static_cast<size_t>(record.ExceptionInformation[0])));
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  // Nothing may be thrown through the system's exception dispatch.
  try {
    (*heard)(line);
  } catch (...) {
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

DebugLineListener::DebugLineListener(const Heard& heard) : outer_(t_heard) {
  static const PVOID handler = AddVectoredExceptionHandler(1, onException);
  (void)handler;
  t_heard = &heard;
}

DebugLineListener::~DebugLineListener() { t_heard = outer_; }


void traceThePlugin() {
  // The plug-in reads the process's own environment (GetEnvironmentVariableA);
  // its OutputDebugStringA lines are caught as every other debug line is.
  SetEnvironmentVariableA("VESK_TRACE", "1");
}
