// What reading and working with large generated inputs costs in the panel host
// emulator: a device table that is one chain of tie lines (each device shows
// a destination of the one before), a take at its head that reaches every
// tally along it, and a layout of many group selectors paging one list.
// Prints, for each size, the time to read the layout, the table and a take;
// each should grow with the size, not its square.
// Usage: panelhost_input_costs [SIZE...]   (default: 1000 5000 10000 40000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "panelhost/session/panel_layout.h"
#include "panelhost/studio/devices.h"

namespace {

// Devices 0..size-1; device k's source 1 carries device k-1's destination 1,
// and its destination 1 shows source 1.
std::string chainTable(int size) {
  std::string json = R"({"tallyDelayMs": 0, "devices": [)";
  for (int k = 0; k < size; ++k) {
    json += std::string(k > 0 ? "," : "") + R"({"name": "D)" + std::to_string(k) + R"(", "number": )" +
            std::to_string(k) + R"(, "sources": [{"number": 1, "name": "S)" + std::to_string(k) + '"' +
            (k > 0 ? R"(, "carries": {"device": "D)" + std::to_string(k - 1) + R"(", "dest": 1})" : "") +
            R"(}], "crosspoints": {"1": 1}})";
  }
  return json + "]}";
}

// `size` group selectors paging one list, which comes last: each selector's
// list is found by its id.
std::string selectorLayout(int size) {
  std::string json = R"({"controls": [)";
  for (int k = 0; k < size; ++k) {
    json += R"({"id": "G)" + std::to_string(k) + R"(", "kind": "group selector", "list": "L"}, )";
  }
  return json + R"({"id": "L", "kind": "list", "pages": [{"name": "p", "sources": [1, 2]}]}]})";
}

template <typename F>
double millisecondsOf(F f) {
  const auto began = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 5000, 10000, 40000};
  for (int size : sizes) {
    // The layout first: an old reader may run out of stack on the chain.
    const std::string layoutText = selectorLayout(size);
    Result<PanelLayout> layout = Result<PanelLayout>(fail("not read"));
    const double load = millisecondsOf([&] { layout = PanelLayout::fromJson(layoutText); });
    if (!layout) {
      std::fprintf(stderr, "input_costs: %s\n", layout.error().c_str());
      return 1;
    }
    std::printf("%6d: layout of group selectors read %9.1f ms; ", size, load);
    std::fflush(stdout);
    const std::string table = chainTable(size);
    Result<Devices> devices = Result<Devices>(fail("not read"));
    const double read = millisecondsOf([&] { devices = Devices::fromJson(table); });
    if (!devices) {
      std::fprintf(stderr, "input_costs: %s\n", devices.error().c_str());
      return 1;
    }
    size_t reached = 0;
    const double take = millisecondsOf([&] { reached = devices->route(0, 2, 1).size(); });
    std::printf("chain of tie lines read %9.1f ms, a take reaching %6zu tallies %9.1f ms\n", read, reached, take);
  }
}
