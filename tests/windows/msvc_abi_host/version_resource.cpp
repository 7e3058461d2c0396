// checkVersionResource: the DLL's version block as Windows reads it.
#include "host_checks.h"
#include "runtime.h"

// The version, from the build's project version (compile definitions).
#ifndef VESK_VERSION_MAJOR
#error "VESK_VERSION_MAJOR, _MINOR, _PATCH, _TWEAK and VESK_VERSION_TEXT come from the build"
#endif

namespace {

struct version_string {
  const char* name;
  const char* value;
};

// The fixed part of the block (VS_FIXEDFILEINFO).
struct fixed_file_info {
  DWORD signature;
  DWORD structVersion;
  DWORD fileVersionMS;
  DWORD fileVersionLS;
  DWORD productVersionMS;
  DWORD productVersionLS;
  DWORD fileFlagsMask;
  DWORD fileFlags;
  DWORD fileOS;
  DWORD fileType;
  DWORD fileSubtype;
  DWORD fileDateMS;
  DWORD fileDateLS;
};

constexpr DWORD kVersionMS = (VESK_VERSION_MAJOR << 16) | VESK_VERSION_MINOR;
constexpr DWORD kVersionLS = (VESK_VERSION_PATCH << 16) | VESK_VERSION_TWEAK;
constexpr DWORD kFileTypeDll = 2;

}  // namespace

void checkVersionResource(const char* path, const char* panel, const char* description) {
  const version_string strings[] = {
      {"Comments", "VESK V4.5 Script Component"},
      {"FileDescription", description},
      {"FileVersion", VESK_VERSION_TEXT},
      {"InternalName", panel},
      {"OriginalFilename", panel},
      {"ProductName", "VESK V4.5"},
      {"ProductVersion", VESK_VERSION_TEXT},
  };
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) {
    failure("version") << path << " has no version resource";
    return;
  }
  char* block = new char[size];
  if (!GetFileVersionInfoA(path, 0, size, block)) {
    failure("version") << "cannot read the version resource of " << path;
    delete[] block;
    return;
  }

  void* value = nullptr;
  unsigned length = 0;
  if (!VerQueryValueA(block, "\\", &value, &length) || length < sizeof(fixed_file_info)) {
    failure("version") << "no fixed file information";
  } else {
    const auto* fixed = static_cast<const fixed_file_info*>(value);
    if (fixed->signature != 0xFEEF04BDu || fixed->fileVersionMS != kVersionMS || fixed->fileVersionLS != kVersionLS ||
        fixed->productVersionMS != kVersionMS || fixed->productVersionLS != kVersionLS ||
        fixed->fileType != kFileTypeDll) {
      failure("version") << "fixed file information is not a DLL of file and product version " << VESK_VERSION_TEXT;
    }
  }

  if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &value, &length) || length != 4 ||
      static_cast<const unsigned short*>(value)[0] != 0x0809 || static_cast<const unsigned short*>(value)[1] != 1200) {
    failure("version") << "translation is not English (United Kingdom) 0x0809, Unicode 1200";
  }

  for (const version_string& expected : strings) {
    line query;
    query << "\\StringFileInfo\\080904b0\\" << expected.name;
    if (!VerQueryValueA(block, query.text(), &value, &length) || value == nullptr) {
      failure("version") << "no string " << query.text();
    } else if (!textEqual(static_cast<const char*>(value), expected.value)) {
      ((failure("version") << expected.name << ": expected ").quoted(expected.value) << ", got ")
          .quoted(static_cast<const char*>(value));
    }
  }
  delete[] block;
}
