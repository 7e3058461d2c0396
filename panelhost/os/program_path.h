// The path of panelhost's own program file, so that files shipped beside
// it (a panel's layout, when the zips were unpacked into two folders) can
// be found wherever the engineer started it from.
#pragma once

#include <string>

// The full path of the running program in UTF-8 (/proc/self/exe on Linux,
// GetModuleFileNameW on Windows); empty when the system will not say.
std::string programPath();
