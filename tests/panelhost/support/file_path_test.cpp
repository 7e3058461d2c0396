// Paths' parts as the emulator takes them apart, on this system's rules.
#include "panelhost/support/file_path.h"

#include <gtest/gtest.h>

namespace {

TEST(FilePath, FolderAndName) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
  } cases[] = {
      {"ZUV_OZo.dll", ".", "ZUV_OZo.dll"},
      {"build/dev/ZUV_OZo.so", "build/dev", "ZUV_OZo.so"},
      {"/ZUV_OZo.so", "/", "ZUV_OZo.so"},
      {"scenarios/", "scenarios", ""},
#if defined(_WIN32)
      {"C:\\Studio A\\ZUV_OZo.dll", "C:\\Studio A", "ZUV_OZo.dll"},
      {"C:\\ZUV_OZo.dll", "C:\\", "ZUV_OZo.dll"},
      {"..\\trial/ZUV_OZo.dll", "..\\trial", "ZUV_OZo.dll"},
#else
      {"Studio\\ZUV_OZo.so", ".", "Studio\\ZUV_OZo.so"},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(folderOf(c.path), c.folder);
    EXPECT_EQ(fileNameOf(c.path), c.name);
  }
}

}  // namespace
