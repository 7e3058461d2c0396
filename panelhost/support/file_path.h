// Paths as panelhost holds them: UTF-8 text, as the user typed it (the
// command line is read as UTF-8 on every system, see utf8_process.h), and
// the same names as the system opens them. On Windows a path may use '\'
// or '/'; elsewhere only '/' separates.
#pragma once

#include <filesystem>
#include <string>

// The file `utf8` names, for opening: std::ifstream(filePath(name)).
std::filesystem::path filePath(const std::string& utf8);

// The last part of `path`: "ZUV_OZo.dll" of "C:\Studio\ZUV_OZo.dll", and
// `path` itself when it has no folder.
std::string fileNameOf(const std::string& path);

// The folder part of `path`: "C:\Studio" of "C:\Studio\ZUV_OZo.dll",
// "build/dev" of "build/dev/ZUV_OZo.so", "/" of "/ZUV_OZo.so", "." when it
// has none.
std::string folderOf(const std::string& path);
