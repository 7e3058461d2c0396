// PanelView: the view model made from the layout and devices, and as text.
#include "panelhost/view/panel_view.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <unordered_map>

#include "panelhost/session/host_session.h"

namespace {

// A number property such as "page" or "index"; `missing` when unset.
int numberProperty(const LayoutControl& control, const char* key, int missing) {
  const auto it = control.properties.find(key);
  return it == control.properties.end() ? missing : std::atoi(it->second.c_str());
}

// The list's page the panel chose: its "page" property, 1 when unset.
int chosenPage(const LayoutControl& list) { return numberProperty(list, "page", 1); }

void viewList(const LayoutControl& list, const Devices& devices, ControlView& view) {
  const Device* device = devices.byName(list.device);
  const int deviceNumber = device ? device->number : 0;
  view.page = chosenPage(list);
  view.lit = numberProperty(list, "index", 0);
  view.litName = view.lit > 0 ? devices.sourceName(deviceNumber, view.lit) : "";
  view.onAPage = view.page >= 1 && static_cast<size_t>(view.page) <= list.pages.size();
  if (!view.onAPage) return;
  const SourcePage& page = list.pages[static_cast<size_t>(view.page) - 1];
  view.pageName = page.name;
  for (const int source : page.sources) {
    view.sources.push_back({source, devices.sourceName(deviceNumber, source), source == view.lit});
  }
}

void viewSelector(const PanelLayout& layout, const LayoutControl& selector, ControlView& view) {
  const std::vector<SourcePage>* listPages = layout.pagesOf(selector);
  const LayoutControl* list = layout.find(selector.list);
  if (listPages == nullptr || list == nullptr) return;
  const int chosen = chosenPage(*list);
  for (size_t i = 0; i < listPages->size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    view.pages.push_back({number, (*listPages)[i].name, number == chosen});
  }
}

}  // namespace

bool operator==(const SourceKey& a, const SourceKey& b) {
  return std::tie(a.number, a.name, a.lit) == std::tie(b.number, b.name, b.lit);
}
bool operator==(const PageKey& a, const PageKey& b) {
  return std::tie(a.number, a.name, a.chosen) == std::tie(b.number, b.name, b.chosen);
}
bool operator==(const ControlView& a, const ControlView& b) {
  return std::tie(a.id, a.kind, a.caption, a.area, a.properties, a.page, a.onAPage, a.pageName, a.sources, a.lit,
                  a.litName, a.pages) == std::tie(b.id, b.kind, b.caption, b.area, b.properties, b.page, b.onAPage,
                                                  b.pageName, b.sources, b.lit, b.litName, b.pages);
}
bool operator==(const PanelView& a, const PanelView& b) {
  return std::tie(a.id, a.title, a.columns, a.rows, a.controls) ==
         std::tie(b.id, b.title, b.columns, b.rows, b.controls);
}
bool operator==(const CrosspointView& a, const CrosspointView& b) {
  return std::tie(a.dest, a.source, a.destName, a.sourceName, a.tally) ==
         std::tie(b.dest, b.source, b.destName, b.sourceName, b.tally);
}
bool operator==(const DeviceView& a, const DeviceView& b) {
  return std::tie(a.name, a.number, a.crosspoints) == std::tie(b.name, b.number, b.crosspoints);
}
bool operator==(const SessionView& a, const SessionView& b) {
  return std::tie(a.running, a.now, a.violations, a.panel, a.layoutMissing, a.devices) ==
         std::tie(b.running, b.now, b.violations, b.panel, b.layoutMissing, b.devices);
}

bool ViewChange::empty() const {
  return !running && !violations && !layoutMissing && !panel && controls.empty() && crosspoints.empty();
}

ControlView viewControl(const PanelLayout& layout, const LayoutControl& control, const Devices& devices) {
  ControlView view;
  view.id = control.id;
  view.kind = control.kind;
  view.caption = control.caption;
  view.properties = control.properties;
  if (control.area[0] > 0 && control.area[1] > 0) view.area = control.area;
  if (control.kind == ControlKind::List) viewList(control, devices, view);
  if (control.kind == ControlKind::GroupSelector) viewSelector(layout, control, view);
  return view;
}

PanelView viewPanel(const PanelLayout& layout, const Devices& devices, const std::string& id) {
  PanelView panel{id, layout.title(), layout.columns(), 0, {}};
  for (const LayoutControl& control : layout.controls()) {
    ControlView view = viewControl(layout, control, devices);
    if (view.area) panel.rows = std::max(panel.rows, (*view.area)[1] + std::max((*view.area)[3], 1) - 1);
    panel.controls.push_back(std::move(view));
  }
  return panel;
}

CrosspointView viewCrosspoint(const Devices& devices, int device, int dest) {
  const Device* d = devices.byNumber(device);
  const auto routed = d != nullptr ? d->crosspoints.find(dest) : std::map<int, int>::const_iterator();
  if (d == nullptr || routed == d->crosspoints.end()) return {dest, 0, devices.destinationName(device, dest), "", ""};
  return {dest, routed->second, devices.destinationName(device, dest), devices.sourceName(device, routed->second),
          devices.tallyText(device, dest)};
}

std::vector<DeviceView> viewDevices(const Devices& devices) {
  std::vector<DeviceView> all;
  for (const Device& device : devices.all()) {
    DeviceView view{device.name, device.number, {}};
    for (const auto& [dest, source] : device.crosspoints) {
      view.crosspoints.push_back(viewCrosspoint(devices, device.number, dest));
    }
    all.push_back(std::move(view));
  }
  return all;
}

SessionView viewSession(const HostSession& session) {
  const Studio& studio = session.studio();
  SessionView view{session.running(), studio.now(), session.violations(), std::nullopt,
                   session.layouts().missing().value_or(""), viewDevices(studio.devices())};
  if (const PanelLayout* layout = session.layouts().layout()) {
    view.panel = viewPanel(*layout, studio.devices(), session.layouts().shownPanel());
  }
  return view;
}

ViewChange viewChange(const HostSession& session, const HostSession::Changes& changes, const SessionView& before) {
  const Studio& studio = session.studio();
  ViewChange change;
  change.now = studio.now();
  if (session.running() != before.running) change.running = session.running();
  if (session.violations() != before.violations) change.violations = session.violations();
  const std::string missing = session.layouts().missing().value_or("");
  if (missing != before.layoutMissing) change.layoutMissing = missing;
  const PanelLayout* layout = session.layouts().layout();
  if (layout != nullptr && (changes.layout || !before.panel)) {
    change.panel = viewPanel(*layout, studio.devices(), session.layouts().shownPanel());
  } else if (layout != nullptr && !changes.controls.empty()) {
    // A group selector shows its list's page: it changes with the list.
    for (const LayoutControl& control : layout->controls()) {
      const bool named = changes.controls.count(control.id) != 0;
      const bool listNamed = control.kind == ControlKind::GroupSelector && changes.controls.count(control.list) != 0;
      if (named || listNamed) change.controls.push_back(viewControl(*layout, control, studio.devices()));
    }
  }
  for (const auto& [device, dest] : changes.crosspoints) {
    change.crosspoints.push_back({device, viewCrosspoint(studio.devices(), device, dest)});
  }
  return change;
}

void applyChange(SessionView& view, const ViewChange& change) {
  view.now = change.now;
  if (change.running) view.running = *change.running;
  if (change.violations) view.violations = *change.violations;
  if (change.layoutMissing) view.layoutMissing = *change.layoutMissing;
  if (change.panel) view.panel = *change.panel;
  if (view.panel) {
    for (const ControlView& control : change.controls) {
      for (ControlView& shown : view.panel->controls) {
        if (shown.id == control.id) shown = control;
      }
    }
  }
  for (const CrosspointChange& xp : change.crosspoints) {
    for (DeviceView& device : view.devices) {
      if (device.number != xp.device) continue;
      // Kept in destination order, as the device's table is.
      auto at = std::lower_bound(device.crosspoints.begin(), device.crosspoints.end(), xp.crosspoint.dest,
                                 [](const CrosspointView& c, int dest) { return c.dest < dest; });
      if (at != device.crosspoints.end() && at->dest == xp.crosspoint.dest) {
        *at = xp.crosspoint;
      } else {
        device.crosspoints.insert(at, xp.crosspoint);
      }
    }
  }
}

ViewChange mergeChanges(const std::vector<const ViewChange*>& changes) {
  ViewChange merged;
  std::unordered_map<std::string, size_t> controlAt;
  std::map<std::pair<int, int>, size_t> crosspointAt;
  for (const ViewChange* change : changes) {
    merged.now = change->now;
    if (change->running) merged.running = change->running;
    if (change->violations) merged.violations = change->violations;
    if (change->layoutMissing) merged.layoutMissing = change->layoutMissing;
    if (change->panel) {
      // A whole panel makes every earlier control change moot.
      merged.panel = change->panel;
      merged.controls.clear();
      controlAt.clear();
    }
    for (const ControlView& control : change->controls) {
      const auto [at, added] = controlAt.emplace(control.id, merged.controls.size());
      if (added) {
        merged.controls.push_back(control);
      } else {
        merged.controls[at->second] = control;
      }
    }
    for (const CrosspointChange& xp : change->crosspoints) {
      const auto [at, added] = crosspointAt.emplace(std::make_pair(xp.device, xp.crosspoint.dest),
                                                    merged.crosspoints.size());
      if (added) {
        merged.crosspoints.push_back(xp);
      } else {
        merged.crosspoints[at->second] = xp;
      }
    }
  }
  return merged;
}

std::vector<std::string> panelLines(const PanelView& panel) {
  std::string labels;
  std::vector<std::string> lines;
  for (const ControlView& control : panel.controls) {
    if (control.kind == ControlKind::List) {
      std::string line = control.id + " page " + std::to_string(control.page);
      if (control.onAPage) line += " (" + control.pageName + ")";
      line += ", lit: " + (control.lit > 0 ? std::to_string(control.lit) + " " + control.litName : "none");
      lines.push_back(line);
      continue;
    }
    const auto statesheet = control.properties.find("statesheet");
    if (statesheet != control.properties.end()) labels += control.id + " [" + statesheet->second + "]  ";
    const auto text = control.properties.find("text");
    if (control.kind == ControlKind::Label && text != control.properties.end()) {
      labels += control.id + " \"" + text->second + "\"  ";
    }
  }
  if (!labels.empty()) {
    labels.erase(labels.size() - 2);
    lines.insert(lines.begin(), labels);
  }
  return lines;
}

std::vector<std::string> deviceLines(const std::vector<DeviceView>& devices) {
  std::vector<std::string> lines;
  for (const DeviceView& device : devices) {
    std::string line = device.name + " (" + std::to_string(device.number) + "):";
    for (const CrosspointView& xp : device.crosspoints) {
      line += " " + std::to_string(xp.dest) + "<-" + std::to_string(xp.source) + " \"" + xp.tally + "\"";
    }
    lines.push_back(line);
  }
  return lines;
}
