// The plug-in's trace read back from a captured debug log: the lines the
// framework writes (format: framework/vesk_trace.h) found by their marker
// among whatever else the log holds, continued records joined, and each
// record split into its kind and operands.
//
// What the reader takes: a debug-output viewer's saved file (its own time
// and process id before each line), panelhost's transcript ("debug:" lines),
// and Wine's debug output, where each line stands in double quotes with C
// escapes ("...:OutputDebugStringA \"VESK-TRACE ...\""). Line endings LF or
// CR LF. Lines of several panels may be interleaved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostside/result.h"

// One operand as the trace wrote it: a text (unescaped) or a bare word (a
// number, "none", "-", "ours", ...). A text longer than the trace's bound
// was cut: `text` holds its start and `length` its whole length.
struct TraceOperand {
  bool quoted = false;
  std::string text;
  bool cut = false;
  std::size_t length = 0;
};

struct TraceRecord {
  std::string panel;     // the panel's name
  int instance = 0;      // its instance number in the traced process
  std::uint32_t seq = 0;
  std::int64_t ms = 0;   // since the panel was created
  std::string kind;      // "new", "tally", "control", "command", ...
  std::vector<TraceOperand> operands;
  std::string line;      // the whole record as one line, continuations joined
  std::size_t lineNumber = 0;  // in the log, of the record's first line

  // "ZUV_OZo#1": what --panel takes to choose one panel.
  std::string panelId() const { return panel + "#" + std::to_string(instance); }
};

struct TraceLog {
  std::vector<TraceRecord> records;  // per panel in sequence order; panels in order of first appearance
  std::vector<std::string> notes;    // what was left out, and why
  std::vector<std::string> panels;   // panelId() of each panel, in order of first appearance
};

// The trace in `text` (the log's name is only for messages). Fails, saying
// so, when no line carries the marker, and naming the log's line when a
// record is not in the trace's format. A record cut short by the end of
// the log (a truncated last line, a continuation that never came) is left
// out with a note.
Result<TraceLog> readTraceLog(const std::string& text, const std::string& logName);

// A record's text ("<kind> <operands>", what follows the part in a trace
// line) read into `kind` and `operands`; why not. Scenario steps that take
// a recorded event or reply write it this way.
Result<TraceRecord> readTraceRecord(const std::string& body);

// `text` as the trace writes a text operand: in apostrophes, with '\', '''
// and bytes outside 0x20..0x7e escaped.
std::string traceText(const std::string& text);

// The records of one panel, chosen by `wanted`: its id ("ZUV_OZo#2") or
// its name when only one panel has it; empty chooses the only panel there
// is. Fails naming the panels the log holds when the choice is not clear.
Result<std::vector<TraceRecord>> tracePanel(const TraceLog& log, const std::string& wanted);
