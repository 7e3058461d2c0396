// Utf8Process: the process's command line and console in UTF-8, the text
// every part of panelhost works in. The one place panelhost touches the
// system's text encodings: on Windows the command line is read as UTF-16
// and converted, and a console shows UTF-8 (its output code page is 65001
// while panelhost runs, and restored after); on POSIX systems both are
// bytes as given, and nothing changes.
#pragma once

#include <string>
#include <vector>

class Utf8Process {
 public:
  // `argc` and `argv` as main() received them.
  Utf8Process(int argc, char** argv);
  // Gives the console back its code page.
  ~Utf8Process();
  Utf8Process(const Utf8Process&) = delete;
  Utf8Process& operator=(const Utf8Process&) = delete;

  // The arguments in UTF-8, as argc and argv; valid while this object lives.
  int argc() const { return static_cast<int>(args_.size()); }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> args_;
  std::vector<char*> pointers_;  // into args_, then a null
  [[maybe_unused]] unsigned restoreCodePage_ = 0;  // Windows: the console's; 0: nothing to restore
};
