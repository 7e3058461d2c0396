// vesk_trace: the record of one panel's boundary with the host, written to
// the system debug output when tracing is on: every event the host
// delivers and every command the panel sends, with what the host replied.
// This header is the one description of the line format; readers
// (panelhost's trace reader) follow it.
//
// Turning it on: the environment variable VESK_TRACE, read once when a panel
// is created. "1", "on", "all" or "*" trace every panel; a list of panel
// names separated by ',', ';' or blanks (any case) traces those; unset,
// empty, "0" or "off" trace nothing. Off, the framework tests one flag per
// event and per command and does nothing else; on, each line is built in the
// panel's own buffer, without the heap. The commands and replies on the wire
// are the same either way.
//
// Line format: one debug-output message per line, printable ASCII only, at
// most kLineMax bytes:
//
//   VESK-TRACE <panel> <instance> <seq> <ms> <part> <record>
//
//   panel     the panel's name (bytes other than letters, digits, '_', '.'
//             and '-' written as '_'; at most 31)
//   instance  1 for the first panel created in the process, 2 for the next...
//   seq       the record's number in this panel's trace, from 1 (the "new")
//   ms        milliseconds since the panel was created (its own clock; it
//             starts again from 0 after 49 days)
//   part      '.' when the record ends on this line; '+' when it goes on in
//             the next line with the same panel, instance and seq: the
//             reader joins the records' text after the part, byte for byte
//   record    a kind and its operands, one blank apart:
//     new <folder>                       the panel was created with <folder>
//     tally <device> <index> <text>      code 1 ("tally null": no payload)
//     control <panel> <control> <message>  code 2, the message joined back
//                                        as name.sub.sub=value ("control null")
//     property <message>                 code 3
//     answer <text> | answer none        what the panel returned for it
//     timer <id>                         code 4
//     release ours | release other       code 5: a block the panel had
//                                        returned and not had back, or not
//     event <code>                       codes 6, 7 and any other
//     command <text> <reply>             a command sent with code 0, then
//                                        what the host returned: a <text>
//                                        for "SD", "XI" and "TG", or none for
//                                        no reply; 1 or 0 for "PS"; - for the
//                                        rest (the host's result is not read)
//     delete                             the host deletes the panel (slot 0)
//   A <text> stands in apostrophes; '\\', '\'' and every byte outside
//   0x20..0x7e are written \\, \' and \xHH. A text longer than kTextMax
//   bytes is cut there and followed by ~<its whole length>.
//
// Example, a take and its tally (debug-output viewers put their own time and
// process id before each line; the reader finds the lines by the marker):
//
//   VESK-TRACE ZUV_OZo 1 12 4031 . control '1' 'SourceSel' 'index=5'
//   VESK-TRACE ZUV_OZo 1 13 4031 . command 'RC 9 5 410 \',1\' 0' -
//   VESK-TRACE ZUV_OZo 1 14 4031 . command 'ET 1 250' -
//   VESK-TRACE ZUV_OZo 1 15 4051 . tally 7 77 'CAM 5'
//   VESK-TRACE ZUV_OZo 1 16 4051 . command 'TP \'text=CAM 5\' \'1\' \'VID_1\'' -
#pragma once

#include <cstdint>

class vesk_trace {
 public:
  static constexpr const char* kMarker = "VESK-TRACE";
  static constexpr const char* kVariable = "VESK_TRACE";
  static constexpr unsigned kLineMax = 200;  // Wine's debug output shows some 290 bytes of a line
  static constexpr unsigned kTextMax = 4096;

  // Reads VESK_TRACE for `panelName`; when it asks for this panel, takes an
  // instance number and writes the "new" record.
  void start(const char* panelName, const char* folder);
  bool on() const { return on_; }

  // A record: begin, its operands in order, end. Only while on().
  void begin(const char* kind);
  void word(const char* word);
  void number(std::int64_t n);
  // A text operand from one or more pieces, counted together for kTextMax.
  void openText();
  void textPiece(const char* piece);
  void closeText();
  void text(const char* whole) {
    openText();
    textPiece(whole);
    closeText();
  }
  void end();

 private:
  void header();
  void put(const char* bytes, unsigned length);
  void flush(char part);

  bool on_ = false;
  int instance_ = 0;
  std::uint32_t seq_ = 0;
  std::uint32_t startMs_ = 0;
  std::uint32_t recordMs_ = 0;
  std::uint32_t textLength_ = 0;
  unsigned used_ = 0;
  unsigned partAt_ = 0;
  char name_[32] = {};
  char line_[kLineMax + 1] = {};
};
