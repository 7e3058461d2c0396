// Devices: configuration, routing and tally texts.
#include "panelhost/studio/devices.h"

#include <algorithm>
#include <climits>

#include "panelhost/support/json_fields.h"
#include "panelhost/support/text.h"

namespace {

// A crosspoint's destination, written as the key "410".
int destinationNumber(const std::string& key, const JsonFields& crosspoints) {
  const bool digits = !key.empty() && key.size() <= 10 &&
                      std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits || std::stoll(key) > INT_MAX) {
    crosspoints.refuse(quoted(key), "is not a destination number from 0 to 2147483647");
  }
  return std::stoi(key);
}

// `names`: every device name of the table, for its tie lines.
Device readDevice(const nlohmann::json& entry, const std::string& place, const std::set<std::string>& names) {
  const JsonFields fields(entry, place);
  Device device;
  device.name = fields.text("name");
  device.number = fields.number("number", 0, INT_MAX);
  std::map<int, std::string> where;  // source number -> its place, for duplicates
  const nlohmann::json& sources = fields.array("sources");
  for (size_t i = 0; i < sources.size(); ++i) {
    const JsonFields source(sources[i], fields.place("sources[" + std::to_string(i) + "]"));
    DeviceSource s;
    s.name = source.text("name");
    const int number = source.number("number", 0, INT_MAX);
    if (source.has("carries")) {
      const JsonFields carries(source.object("carries"), source.place("carries"));
      // The device's name for now; index() makes it the number.
      s.carriesDevice = -1;
      s.tiedName = carries.text("device");
      if (names.count(s.tiedName) == 0) {
        carries.refuse("device", quoted(s.tiedName) + " is not the name of a device of the table");
      }
      s.carriesDest = carries.number("dest", 0, INT_MAX);
    }
    if (!where.emplace(number, source.place("number")).second) {
      source.refuse("number", std::to_string(number) + " is also the number of " + where[number]);
    }
    device.sources[number] = std::move(s);
  }
  const nlohmann::json& destinations = fields.array("destinations");
  for (size_t i = 0; i < destinations.size(); ++i) {
    const JsonFields destination(destinations[i], fields.place("destinations[" + std::to_string(i) + "]"));
    const int number = destination.number("number", 0, INT_MAX);
    if (!device.destinations.emplace(number, destination.text("name")).second) {
      destination.refuse("number", std::to_string(number) + " is named twice");
    }
  }
  const JsonFields crosspoints(fields.object("crosspoints"), fields.place("crosspoints"));
  for (const auto& [dest, source] : fields.object("crosspoints").items()) {
    device.crosspoints[destinationNumber(dest, crosspoints)] = wholeNumber(source, crosspoints.place(quoted(dest)));
  }
  return device;
}

}  // namespace

Result<Devices> Devices::fromJson(const std::string& json) {
  try {
    const nlohmann::json root = parseJsonFile(json);
    const JsonFields fields(root, "");
    Devices devices;
    devices.tallyDelayMs_ = fields.number("tallyDelayMs", 0, kMaxTallyDelayMs, 20);
    const nlohmann::json& list = fields.array("devices", true);
    std::set<std::string> names;
    for (const nlohmann::json& entry : list) {
      if (entry.is_object() && entry.contains("name") && entry["name"].is_string()) names.insert(entry["name"]);
    }
    for (size_t i = 0; i < list.size(); ++i) {
      const std::string place = "devices[" + std::to_string(i) + "]";
      Device device = readDevice(list[i], place, names);
      if (const auto same = devices.byName_.find(device.name); same != devices.byName_.end()) {
        throw FormatError(place + ".name " + quoted(device.name) + " is also the name of devices[" +
                          std::to_string(same->second) + "]");
      }
      if (const auto same = devices.byNumber_.find(device.number); same != devices.byNumber_.end()) {
        throw FormatError(place + ".number " + std::to_string(device.number) + " is also the number of devices[" +
                          std::to_string(same->second) + "]");
      }
      devices.byName_[device.name] = i;
      devices.byNumber_[device.number] = i;
      devices.devices_.push_back(std::move(device));
    }
    devices.index();
    return devices;
  } catch (const FormatError& e) {
    return fail(e.what());
  }
}

void Devices::index() {
  // Tie lines by device: which devices feed which, to find loops.
  std::map<int, std::set<int>> feeds;  // device -> the devices whose sources carry its destinations
  for (Device& device : devices_) {
    for (auto& [number, source] : device.sources) {
      if (!source.carriesDevice) continue;
      source.carriesDevice = devices_[byName_.at(source.tiedName)].number;
      tiedTo_[{*source.carriesDevice, source.carriesDest}].push_back({device.number, number});
      feeds[*source.carriesDevice].insert(device.number);
    }
    for (const auto& [dest, source] : device.crosspoints) routedFrom_[{device.number, source}].insert(dest);
  }
  // A loop would make a tally follow itself for ever: depth-first, each
  // device on the current path marked. The path is kept here, not on the
  // call stack: a chain of tie lines may be as long as the table.
  std::map<int, int> state;  // 1: on the path, 2: done
  struct Visit {
    int number;
    std::set<int>::const_iterator next;  // the next device it feeds to visit
  };
  std::vector<Visit> path;
  constexpr size_t kLoopShown = 8;  // a longer loop is named by its ends
  const auto enter = [&](int number) {
    state[number] = 1;
    path.push_back({number, feeds[number].cbegin()});
  };
  for (const Device& device : devices_) {
    if (state[device.number] != 0) continue;
    enter(device.number);
    while (!path.empty()) {
      Visit& at = path.back();
      if (at.next == feeds[at.number].cend()) {
        state[at.number] = 2;
        path.pop_back();
        continue;
      }
      const int next = *at.next++;
      if (state[next] == 1) {
        // The devices of the loop, the middle of a long one cut short.
        const auto from = std::find_if(path.begin(), path.end(), [next](const Visit& v) { return v.number == next; });
        const size_t length = static_cast<size_t>(path.end() - from);
        std::string loop;
        for (size_t k = 0; k < length; ++k) {
          if (length > kLoopShown && k == 3) {
            loop += "... " + std::to_string(length - 5) + " more -> ";
            k = length - 3;
            continue;
          }
          loop += quoted(devices_[byNumber_.at(from[static_cast<std::ptrdiff_t>(k)].number)].name) + " -> ";
        }
        throw FormatError("tie lines loop: " + loop + quoted(devices_[byNumber_.at(next)].name) +
                          " (a source of each carries a destination of the one before)");
      }
      if (state[next] == 0) enter(next);
    }
  }
}

const Device* Devices::byName(const std::string& name) const {
  const auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : &devices_[it->second];
}

const Device* Devices::byNumber(int number) const {
  const auto it = byNumber_.find(number);
  return it == byNumber_.end() ? nullptr : &devices_[it->second];
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

std::string Devices::destinationName(int device, int dest) const {
  const Device* d = byNumber(device);
  if (d == nullptr) return "";
  const auto it = d->destinations.find(dest);
  return it == d->destinations.end() ? "" : it->second;
}

std::string Devices::tallyText(int device, int dest) const {
  // Tie lines do not loop (index() refuses that), so each device comes once.
  for (size_t depth = 0; depth <= devices_.size(); ++depth) {
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
  const auto was = d->crosspoints.find(dest);
  if (was != d->crosspoints.end()) {
    const auto from = routedFrom_.find({device, was->second});
    if (from != routedFrom_.end()) {
      from->second.erase(dest);
      if (from->second.empty()) routedFrom_.erase(from);
    }
  }
  d->crosspoints[dest] = source;
  routedFrom_[{device, source}].insert(dest);
  collectTallies(device, dest, changes);
  return changes;
}

void Devices::collectTallies(int device, int dest, std::vector<TallyChange>& out) const {
  // Every destination reached shows, through its tie lines, what (device,
  // dest) shows: one text for all, found once. Depth-first in the order of
  // the tie lines, with the pending destinations kept here rather than on
  // the call stack.
  const std::string text = tallyText(device, dest);
  std::vector<Point> pending{{device, dest}};
  while (!pending.empty()) {
    const Point at = pending.back();
    pending.pop_back();
    out.push_back({at.first, at.second, text});
    const auto tied = tiedTo_.find(at);
    if (tied == tiedTo_.end()) continue;
    const size_t first = pending.size();
    for (const Point& carrier : tied->second) {
      const auto routed = routedFrom_.find(carrier);
      if (routed == routedFrom_.end()) continue;
      for (int tiedDest : routed->second) pending.push_back({carrier.first, tiedDest});
    }
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(first), pending.end());
  }
}
