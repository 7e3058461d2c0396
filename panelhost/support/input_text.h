// Input text as Windows and POSIX tools save it: a scenario written in
// Notepad, PowerShell or an editor reads the same as one written here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hostside/result.h"

// The UTF-8 text of a file's `bytes`: a UTF-8 byte-order mark dropped;
// UTF-16 with its byte-order mark (little or big end first) converted to
// UTF-8; or why not, in one line: a NUL byte (UTF-16 without a mark, or
// not text at all), or UTF-16 that is cut short or holds half a pair.
// Other bytes are passed on as they are (their printing is the reader's).
//   inputText("\xEF\xBB\xBFpress") == "press"
//   inputText("\xFF\xFEp\0") == "p"
//   inputText("p\0") fails: "it holds a NUL byte ... save it as UTF-8"
Result<std::string> inputText(std::string_view bytes);

// The lines of `text`, each without its end: LF, CR LF and a lone CR each
// end a line; a last line with no end is a line; no text is no lines.
//   splitLines("a\r\nb\rc\n") == {"a", "b", "c"}
//   splitLines("a\n\nb") == {"a", "", "b"}
std::vector<std::string> splitLines(std::string_view text);
