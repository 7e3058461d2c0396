// Devices: the simulated routers the panel talks to, with their sources,
// crosspoints and tallies.
//
// A device has a number (what "SD" answers), named sources and a crosspoint
// per destination. A source may carry a destination of another device (a
// tie line): the SDI router's inputs 901..903 carry the packager's outputs
// 410..412, so routing on the packager changes the tally of the router
// destination that shows that input. A destination's tally text is the name
// of what it carries, followed through tie lines.
//
// Configuration is JSON, as in every panel's studio.json (panels/<Studio>/<Panel>/):
//   {"tallyDelayMs": 20,
//    "devices": [{"name": "...", "number": 9,
//                 "sources": [{"number": 1, "name": "CAM 1"},
//                             {"number": 901, "name": "PKG 410",
//                              "carries": {"device": "...", "dest": 410}}],
//                 "destinations": [{"number": 410, "name": "SCR MON 1"}],
//                 "crosspoints": {"410": 1}}]}
// tallyDelayMs is 0 to kMaxTallyDelayMs (default 20); numbers of devices,
// sources and destinations are whole numbers from 0 to 2147483647; names
// of devices and numbers of a device's sources are each used once; tie
// lines name a device of the table and do not loop back to a device they
// come from. A file that breaks any of these is refused.
//
// Tie lines are resolved when the table is read: a route changes the
// tallies it reaches in time that does not grow with the size of the table.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "hostside/result.h"
#include "panelhost/studio/agenda.h"

struct DeviceSource {
  std::string name;
  // A tie line: this source carries destination `carriesDest` of the device
  // numbered `carriesDevice`.
  std::optional<int> carriesDevice;
  int carriesDest = 0;
  std::string tiedName;  // the carried device's name, as the file gives it
};

struct Device {
  int number = 0;
  std::string name;
  std::map<int, DeviceSource> sources;
  std::map<int, int> crosspoints;  // destination -> source
  std::map<int, std::string> destinations;  // destination -> its name, for those named
};

class Devices {
 public:
  static constexpr int kMaxTallyDelayMs = 10000;

  // The devices of `json`, or why there are none: one line naming the
  // place and the field.
  static Result<Devices> fromJson(const std::string& json);

  const Device* byName(const std::string& name) const;
  const Device* byNumber(int number) const;
  const std::vector<Device>& all() const { return devices_; }
  int tallyDelayMs() const { return tallyDelayMs_; }

  // The name of a device's source ("SRC <n>" for one it does not list).
  std::string sourceName(int device, int source) const;
  // The name of a device's destination; empty for one not named.
  std::string destinationName(int device, int dest) const;
  // What destination `dest` of `device` shows: the name of its source,
  // followed through tie lines; empty when nothing is routed there.
  std::string tallyText(int device, int dest) const;

  // Routes `source` to `dest` on `device`. Returns every destination whose
  // tally text changed, this one and those tied to it, with the new texts;
  // nothing when the device does not exist.
  std::vector<TallyChange> route(int device, int source, int dest);

 private:
  using Point = std::pair<int, int>;  // (device number, destination or source number)

  Device* find(int number);
  // Builds the indexes below; throws FormatError on a loop of tie lines.
  void index();
  // Appends (device, dest) and every destination fed from it, with texts.
  void collectTallies(int device, int dest, std::vector<TallyChange>& out) const;

  std::vector<Device> devices_;
  int tallyDelayMs_ = 20;
  std::map<int, size_t> byNumber_;          // device number -> devices_ index
  std::map<std::string, size_t> byName_;    // device name -> devices_ index
  std::map<Point, std::vector<Point>> tiedTo_;  // (device, dest) -> the (device, source)s carrying it
  std::map<Point, std::set<int>> routedFrom_;   // (device, source) -> the destinations taking it
};
