// UTF-8 and the UTF-16 text of Windows' own functions (the ...W ones), for
// the Windows side of panelhost's seams. Windows only.
#pragma once

#include <string>
#include <string_view>

// `utf8` as UTF-16; bytes that are not UTF-8 become U+FFFD.
std::wstring widen(std::string_view utf8);
// `utf16` as UTF-8; a lone surrogate becomes U+FFFD.
std::string narrow(std::wstring_view utf16);
// What Windows says about error `code` (GetLastError), on one line,
// with the number: "The specified module could not be found (error 126)".
std::string systemErrorText(unsigned long code);
