// SHA-256 (FIPS 180-4), so an engineer can tell that the plug-in a run
// loaded is the very file that goes into the studio: the same digest as
// `sha256sum` and PowerShell's `Get-FileHash` print.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "hostside/result.h"

class Sha256 {
 public:
  Sha256();
  // Adds `bytes` to what is hashed.
  void add(std::string_view bytes);
  // The digest of all added, as 64 lower-case hex digits; the object is
  // used up (add nothing after).
  std::string hex();

 private:
  void block(const unsigned char* data);

  std::array<std::uint32_t, 8> state_;
  std::array<unsigned char, 64> pending_{};
  std::size_t pendingSize_ = 0;
  std::uint64_t length_ = 0;  // bytes added
};

// The SHA-256 of the file at `path` (UTF-8) in hex, or why it cannot be read.
Result<std::string> fileSha256(const std::string& path);
