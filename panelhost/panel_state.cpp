// The running panel as JSON: controls, devices and log entries.
#include "panelhost/panel_state.h"

#include <algorithm>
#include <cstdlib>

using nlohmann::json;

namespace {

// A number property such as "page" or "index"; `missing` when unset.
int numberProperty(const LayoutControl& control, const char* key, int missing) {
  const auto it = control.properties.find(key);
  return it == control.properties.end() ? missing : std::atoi(it->second.c_str());
}

// The list's page the panel chose: its "page" property, 1 when unset.
int chosenPage(const LayoutControl& list) { return numberProperty(list, "page", 1); }

json listState(const LayoutControl& list, const Devices& devices) {
  const Device* device = devices.byName(list.device);
  const int page = chosenPage(list);
  const int lit = numberProperty(list, "index", 0);
  const bool onAPage = page >= 1 && static_cast<size_t>(page) <= list.pages.size();
  json sources = json::array();
  if (onAPage) {
    for (const int source : list.pages[static_cast<size_t>(page) - 1].sources) {
      sources.push_back({{"number", source},
                         {"name", devices.sourceName(device ? device->number : 0, source)},
                         {"lit", source == lit}});
    }
  }
  return {{"page", page},
          {"pageName", onAPage ? list.pages[static_cast<size_t>(page) - 1].name : ""},
          {"lit", lit},
          {"sources", std::move(sources)}};
}

json selectorPages(const PanelLayout& layout, const LayoutControl& selector) {
  json pages = json::array();
  const std::vector<SourcePage>* listPages = layout.pagesOf(selector);
  const LayoutControl* list = layout.find(selector.list);
  if (listPages == nullptr || list == nullptr) return pages;
  const int chosen = chosenPage(*list);
  for (size_t i = 0; i < listPages->size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    pages.push_back({{"number", number}, {"name", (*listPages)[i].name}, {"chosen", number == chosen}});
  }
  return pages;
}

const char* kindName(SessionEntry::Kind kind) {
  switch (kind) {
    case SessionEntry::Kind::Event: return "event";
    case SessionEntry::Kind::Command: return "command";
    case SessionEntry::Kind::Reply: return "reply";
    case SessionEntry::Kind::Device: return "device";
    case SessionEntry::Kind::Note: return "note";
    case SessionEntry::Kind::Violation: return "violation";
  }
  return "note";
}

}  // namespace

json layoutState(const PanelLayout& layout, const Devices& devices, const std::string& id) {
  json controls = json::array();
  int rows = 0;
  for (const LayoutControl& control : layout.controls()) {
    const bool placed = control.area[0] > 0 && control.area[1] > 0;
    json entry = {{"id", control.id},
                  {"kind", control.kind},
                  {"caption", control.caption},
                  {"area", placed ? json(control.area) : json(nullptr)},
                  {"properties", control.properties}};
    if (placed) rows = std::max(rows, control.area[1] + std::max(control.area[3], 1) - 1);
    if (control.kind == PanelLayout::kList) entry.update(listState(control, devices));
    if (control.kind == PanelLayout::kGroupSelector) entry["pages"] = selectorPages(layout, control);
    controls.push_back(std::move(entry));
  }
  return {{"id", id}, {"title", layout.title()}, {"columns", layout.columns()}, {"rows", rows},
          {"controls", std::move(controls)}};
}

json devicesState(const Devices& devices) {
  json all = json::array();
  for (const Device& device : devices.all()) {
    json crosspoints = json::array();
    for (const auto& [dest, source] : device.crosspoints) {
      crosspoints.push_back({{"dest", dest},
                             {"source", source},
                             {"sourceName", devices.sourceName(device.number, source)},
                             {"tally", devices.tallyText(device.number, dest)}});
    }
    all.push_back({{"name", device.name}, {"number", device.number}, {"crosspoints", std::move(crosspoints)}});
  }
  return all;
}

json sessionState(const HostSession& session) {
  const PanelLayout* layout = session.layout();
  return {{"running", session.running()},
          {"now", session.now()},
          {"violations", session.violations()},
          {"panel", layout ? layoutState(*layout, session.devices(), session.shownPanel()) : json(nullptr)},
          {"devices", devicesState(session.devices())}};
}

json logEntry(const SessionEntry& entry, std::uint64_t seq) {
  return {{"seq", seq}, {"time", entry.timeMs}, {"kind", kindName(entry.kind)}, {"text", entry.text}};
}

std::string wireText(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }
