// Devices: configuration, routing and tally texts.
#include "panelhost/devices.h"

#include <charconv>

#include <nlohmann/json.hpp>

#include "panelhost/default_devices.h"

namespace {

// Tie lines may chain; a loop in a configuration must not hang the host.
constexpr int kMaxTieDepth = 8;

int destinationNumber(const std::string& key) {
  int value = 0;
  const char* end = key.data() + key.size();
  auto [stop, failure] = std::from_chars(key.data(), end, value);
  if (failure != std::errc() || stop != end || key.empty()) {
    throw std::invalid_argument("crosspoint destination '" + key + "' is not a number");
  }
  return value;
}

}  // namespace

Result<Devices> Devices::fromJson(const std::string& json) {
  try {
    const nlohmann::json root = nlohmann::json::parse(json);
    Devices devices;
    devices.tallyDelayMs_ = root.value("tallyDelayMs", 20);
    std::map<std::string, int> numbers;
    for (const auto& entry : root.at("devices")) numbers[entry.at("name").get<std::string>()] = entry.at("number");
    for (const auto& entry : root.at("devices")) {
      Device device;
      device.name = entry.at("name").get<std::string>();
      device.number = entry.at("number").get<int>();
      for (const auto& source : entry.value("sources", nlohmann::json::array())) {
        DeviceSource s;
        s.name = source.at("name").get<std::string>();
        if (source.contains("carries")) {
          const auto& carries = source.at("carries");
          const std::string tied = carries.at("device").get<std::string>();
          if (numbers.count(tied) == 0) throw std::invalid_argument("tie line to unknown device '" + tied + "'");
          s.carriesDevice = numbers[tied];
          s.carriesDest = carries.at("dest").get<int>();
        }
        device.sources[source.at("number").get<int>()] = s;
      }
      const nlohmann::json crosspoints = entry.value("crosspoints", nlohmann::json::object());
      for (const auto& [dest, source] : crosspoints.items()) {
        device.crosspoints[destinationNumber(dest)] = source.get<int>();
      }
      if (devices.byNumber(device.number) != nullptr) {
        throw std::invalid_argument("two devices numbered " + std::to_string(device.number));
      }
      devices.devices_.push_back(std::move(device));
    }
    return devices;
  } catch (const std::exception& e) {
    return fail(e.what());
  }
}

Devices Devices::builtIn() {
  Result<Devices> devices = fromJson(kDefaultDevicesJson);
  // The built-in text is part of the program; a fault in it is a build error
  // caught by the tests.
  return devices ? *devices : Devices();
}

const Device* Devices::byName(const std::string& name) const {
  for (const Device& device : devices_) {
    if (device.name == name) return &device;
  }
  return nullptr;
}

const Device* Devices::byNumber(int number) const {
  for (const Device& device : devices_) {
    if (device.number == number) return &device;
  }
  return nullptr;
}

Device* Devices::find(int number) { return const_cast<Device*>(byNumber(number)); }

std::string Devices::sourceName(int device, int source) const {
  const Device* d = byNumber(device);
  if (d != nullptr) {
    auto it = d->sources.find(source);
    if (it != d->sources.end()) return it->second.name;
  }
  return "SRC " + std::to_string(source);
}

std::string Devices::tallyText(int device, int dest) const {
  for (int depth = 0; depth < kMaxTieDepth; ++depth) {
    const Device* d = byNumber(device);
    if (d == nullptr) return "";
    auto routed = d->crosspoints.find(dest);
    if (routed == d->crosspoints.end()) return "";
    auto source = d->sources.find(routed->second);
    if (source == d->sources.end()) return sourceName(device, routed->second);
    if (!source->second.carriesDevice) return source->second.name;
    device = *source->second.carriesDevice;
    dest = source->second.carriesDest;
  }
  return "";
}

std::vector<TallyChange> Devices::route(int device, int source, int dest) {
  std::vector<TallyChange> changes;
  Device* d = find(device);
  if (d == nullptr) return changes;
  d->crosspoints[dest] = source;
  collectTallies(device, dest, changes, 0);
  return changes;
}

void Devices::collectTallies(int device, int dest, std::vector<TallyChange>& out, int depth) const {
  if (depth >= kMaxTieDepth) return;
  out.push_back({device, dest, tallyText(device, dest)});
  for (const Device& d : devices_) {
    for (const auto& [tiedDest, source] : d.crosspoints) {
      auto s = d.sources.find(source);
      if (s != d.sources.end() && s->second.carriesDevice == device && s->second.carriesDest == dest) {
        collectTallies(d.number, tiedDest, out, depth + 1);
      }
    }
  }
}
