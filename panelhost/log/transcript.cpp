// Transcript: formatting session entries.
#include "panelhost/log/transcript.h"

#include <iomanip>

#include "panelhost/support/text.h"

void Transcript::entry(const SessionEntry& entry) {
  const char* mark = "";
  switch (entry.kind) {
    case SessionEntry::Kind::Event: mark = "-> "; break;
    case SessionEntry::Kind::Command: mark = "<- "; break;
    case SessionEntry::Kind::Reply:
      if (!replies_) return;
      mark = "     ";
      break;
    case SessionEntry::Kind::Device: mark = "** "; break;
    case SessionEntry::Kind::Note: mark = "note: "; break;
    case SessionEntry::Kind::Violation: mark = "VIOLATION: "; break;
    case SessionEntry::Kind::Debug: mark = "debug: "; break;
  }
  out_ << "  [" << std::setw(6) << entry.timeMs << " ms] " << mark << printable(entry.text) << '\n';
}
