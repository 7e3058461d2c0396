// The example panel's studio table (the first panel listed), read for the
// emulator's tests that need a studio with devices.
#pragma once

#include "panelhost/studio/devices.h"
#include "panelhost/support/text_file.h"

// The devices of EXAMPLE_STUDIO_PATH (a compile definition); none when it
// cannot be read, which the tests using it then show.
inline Devices exampleStudio() {
  const Result<std::string> text = readTextFile(EXAMPLE_STUDIO_PATH);
  if (!text) return Devices();
  Result<Devices> devices = Devices::fromJson(*text);
  return devices ? *devices : Devices();
}
