// How long one take costs in the panel host emulator as the device table
// grows: the shipped table, and one with a router of many crosspoints, some
// of them tied to the packager's outputs. Prints, for each table, the time
// of a take carried out on a virtual clock (the panel's route, the tallies
// through tie lines, the label and highlight after) and of a press through
// the web mode's LivePanel (the same, plus the snapshot the page is sent).
// Usage: panelhost_take_time [CROSSPOINTS...]   (default: 20000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "panelhost/boundary/plugin_library.h"
#include "panelhost/live/live_panel.h"
#include "panelhost/session/host_session.h"
#include "panelhost/support/text_file.h"

namespace {

class Quiet : public SessionObserver {
 public:
  void entry(const SessionEntry&) override {}
};

// The panel's shipped table with a third router of `crosspoints`
// destinations (none: the shipped table as it is); one in a thousand shows
// a packager output.
Devices bigTable(int crosspoints) {
  const Result<std::string> shipped = readTextFile(ZUV_OZO_STUDIO_PATH);
  nlohmann::json root = nlohmann::json::parse(shipped ? *shipped : std::string("{\"devices\": []}"));
  if (crosspoints > 0) {
    nlohmann::json router = {{"name", "Big Router"}, {"number", 50}, {"sources", nlohmann::json::array()}};
    for (int s = 1; s <= 100; ++s) router["sources"].push_back({{"number", s}, {"name", "SRC " + std::to_string(s)}});
    for (int out = 0; out < 3; ++out) {
      router["sources"].push_back({{"number", 901 + out},
                                   {"name", "PKG " + std::to_string(410 + out)},
                                   {"carries", {{"device", "ZIR VESK Packager"}, {"dest", 410 + out}}}});
    }
    nlohmann::json points = nlohmann::json::object();
    for (int d = 1; d <= crosspoints; ++d) {
      points[std::to_string(d)] = d % 1000 == 0 ? 901 + (d / 1000) % 3 : 1 + d % 100;
    }
    router["crosspoints"] = points;
    root["devices"].push_back(router);
  }
  Result<Devices> devices = Devices::fromJson(root.dump());
  if (!devices) {
    std::fprintf(stderr, "take_time: %s\n", devices.error().c_str());
    std::exit(1);
  }
  return *devices;
}

template <typename F>
double microsecondsPer(int times, F f) {
  const auto began = std::chrono::steady_clock::now();
  for (int i = 0; i < times; ++i) f(i);
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - began).count() / times;
}

void measure(const PluginLibrary& plugin, const std::string& folder, const char* name, const Devices& devices) {
  Quiet quiet;
  double scripted = 0;
  {
    HostSession session(plugin.loader(), folder, devices, quiet);
    (void)session.start();
    scripted = microsecondsPer(200, [&](int i) {
      (void)session.press({"SourceSel", std::to_string(1 + i % 6), std::nullopt, false});
      session.advanceTo(session.studio().now() + 300);  // the tally, and the highlight cleared
      session.forgetCommands();
    });
  }
  LivePanel live(plugin.loader(), folder, devices, nullptr, false);
  (void)live.start();
  const double web = microsecondsPer(50, [&](int i) { (void)live.press("SourceSel", std::to_string(1 + i % 6)); });
  live.stop();
  std::size_t crosspoints = 0;
  for (const Device& device : devices.all()) crosspoints += device.crosspoints.size();
  std::printf("%-24s %8zu crosspoints: a take %9.1f us on the virtual clock, a press through LivePanel %9.1f us\n",
              name, crosspoints, scripted, web);
}

}  // namespace

int main(int argc, char** argv) {
  PluginLibrary plugin;
  if (Result<> opened = plugin.open(ZUV_OZO_PLUGIN_PATH); !opened) {
    std::fprintf(stderr, "take_time: %s\n", opened.error().c_str());
    return 1;
  }
  const std::string path = ZUV_OZO_PLUGIN_PATH;
  const std::string folder = path.substr(0, path.find_last_of('/'));
  measure(plugin, folder, "shipped table", bigTable(0));
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {20000};
  for (int size : sizes) measure(plugin, folder, ("with a router of " + std::to_string(size)).c_str(), bigTable(size));
}
