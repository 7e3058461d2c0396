// Texts as the emulator's messages and entries show them: quoted, and safe
// to print on a terminal.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A text as entries and messages show it: in double quotes, as it is.
// (Taken by value: std::quoted, found by argument lookup wherever
// <iomanip> comes in, must not be the better match.)
inline std::string quoted(std::string text) { return "\"" + text + "\""; }

// `text` safe to print on a terminal: control bytes and bytes that are not
// UTF-8 as \xNN, everything else (a backslash too) as it is.
//   printable("a\x1b[2J\xff") == "a\\x1b[2J\\xff"
std::string printable(const std::string& text);

// The lines of `text`, each without its end: "\n", "\r\n" and a lone "\r"
// (a file saved with old Mac line ends) each end a line; the text after the
// last end is a line when it is not empty. The views point into `text`.
//   textLines("a\r\nb\rc\n") == {"a", "b", "c"}
std::vector<std::string_view> textLines(std::string_view text);
