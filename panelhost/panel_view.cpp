// Describing the panel and the devices in text.
#include "panelhost/panel_view.h"

#include <cstdlib>

namespace {

std::string listLine(const LayoutControl& list, const Devices& devices) {
  const Device* device = devices.byName(list.device);
  const auto page = list.properties.find("page");
  const auto index = list.properties.find("index");
  std::string line = list.id + " page ";
  const int pageNumber = page == list.properties.end() ? 1 : std::atoi(page->second.c_str());
  line += std::to_string(pageNumber);
  if (pageNumber >= 1 && static_cast<size_t>(pageNumber) <= list.pages.size()) {
    line += " (" + list.pages[static_cast<size_t>(pageNumber) - 1].name + ")";
  }
  const int lit = index == list.properties.end() ? 0 : std::atoi(index->second.c_str());
  line += ", lit: ";
  line += lit > 0 ? std::to_string(lit) + " " + devices.sourceName(device ? device->number : 0, lit) : "none";
  return line;
}

}  // namespace

std::vector<std::string> describePanel(const PanelLayout& layout, const Devices& devices) {
  std::string labels;
  std::vector<std::string> lines;
  for (const LayoutControl& control : layout.controls()) {
    if (control.kind == PanelLayout::kList) {
      lines.push_back(listLine(control, devices));
      continue;
    }
    const auto statesheet = control.properties.find("statesheet");
    if (statesheet != control.properties.end()) labels += control.id + " [" + statesheet->second + "]  ";
    const auto text = control.properties.find("text");
    if (control.kind == PanelLayout::kLabel && text != control.properties.end()) {
      labels += control.id + " \"" + text->second + "\"  ";
    }
  }
  if (!labels.empty()) {
    labels.erase(labels.size() - 2);
    lines.insert(lines.begin(), labels);
  }
  return lines;
}

std::vector<std::string> describeDevices(const Devices& devices) {
  std::vector<std::string> lines;
  for (const Device& device : devices.all()) {
    std::string line = device.name + " (" + std::to_string(device.number) + "):";
    for (const auto& [dest, source] : device.crosspoints) {
      line += " " + std::to_string(dest) + "<-" + std::to_string(source) + " \"" +
              devices.tallyText(device.number, dest) + "\"";
    }
    lines.push_back(line);
  }
  return lines;
}
