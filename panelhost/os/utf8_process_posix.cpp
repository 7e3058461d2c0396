// Utf8Process on POSIX systems: the arguments as given; the terminal is
// left as it is.
#include "panelhost/os/utf8_process.h"

Utf8Process::Utf8Process(int argc, char** argv) : args_(argv, argv + argc) {
  for (std::string& arg : args_) pointers_.push_back(arg.data());
  pointers_.push_back(nullptr);
}

Utf8Process::~Utf8Process() = default;
