// Fuzzes the device table reader: any bytes are either a table or one line
// saying why not, and on a table every route's tally changes carry the
// texts tallyText() gives, along tie lines of any length.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "panelhost/studio/devices.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Result<Devices> devices = Devices::fromJson(text);
  if (!devices) {
    FUZZ_CHECK(!devices.error().empty());
    FUZZ_CHECK(devices.error().find('\n') == std::string::npos);
    return 0;
  }
  // Each crosspoint routed again from another source, the first listed or 1.
  std::vector<std::pair<int, int>> points;
  for (const Device& device : devices->all()) {
    FUZZ_CHECK(devices->byNumber(device.number) == &device);
    FUZZ_CHECK(devices->byName(device.name) == &device);
    for (const auto& [dest, source] : device.crosspoints) points.emplace_back(device.number, dest);
  }
  for (const auto& [number, dest] : points) {
    const Device* device = devices->byNumber(number);
    const int source = device->sources.empty() ? 1 : device->sources.begin()->first;
    const std::vector<TallyChange> changes = devices->route(number, source, dest);
    FUZZ_CHECK(!changes.empty());
    FUZZ_CHECK(changes.front().device == number && changes.front().index == dest);
    for (const TallyChange& change : changes) {
      FUZZ_CHECK(change.text == devices->tallyText(change.device, change.index));
    }
  }
  return 0;
}
