// PanelView: the one view model of the running panel and the studio, made
// on the session's thread and read anywhere after: the shown layout with
// its live properties, each list on the page the panel chose with its lit
// source, each group selector with its pages, and every device crosspoint
// with its tally. The transcript prints it as text (panelLines,
// deviceLines); the web page gets it as JSON (panel_state.h).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "panelhost/session/panel_layout.h"
#include "panelhost/studio/devices.h"

class HostSession;

struct SourceKey {
  int number = 0;
  std::string name;  // from the list's device
  bool lit = false;
};

struct PageKey {
  int number = 0;  // from 1
  std::string name;
  bool chosen = false;
};

struct ControlView {
  std::string id;
  ControlKind kind = ControlKind::Button;
  std::string caption;
  std::optional<std::array<int, 4>> area;  // column, row, width, height; none: not placed
  std::map<std::string, std::string> properties;  // as the panel set them
  // A list: the page chosen (its "page" property, 1 when unset), whether
  // the list has that page, its name and sources, and the lit source (its
  // "index", 0: none) with its name.
  int page = 0;
  bool onAPage = false;
  std::string pageName;
  std::vector<SourceKey> sources;
  int lit = 0;
  std::string litName;
  // A group selector: the pages of its list, the list's page chosen.
  std::vector<PageKey> pages;
};

struct PanelView {
  std::string id;  // the panel that shows the layout
  std::string title;
  int columns = 1;
  int rows = 0;  // the last row any placed control reaches
  std::vector<ControlView> controls;
};

struct CrosspointView {
  int dest = 0, source = 0;
  std::string sourceName;
  std::string tally;  // followed through tie lines
};

struct DeviceView {
  std::string name;
  int number = 0;
  std::vector<CrosspointView> crosspoints;
};

struct SessionView {
  bool running = false;
  std::int64_t now = 0;
  std::vector<std::string> violations;
  std::optional<PanelView> panel;  // none before "PS"
  std::vector<DeviceView> devices;
};

bool operator==(const SourceKey& a, const SourceKey& b);
bool operator==(const PageKey& a, const PageKey& b);
bool operator==(const ControlView& a, const ControlView& b);
bool operator==(const PanelView& a, const PanelView& b);
bool operator==(const CrosspointView& a, const CrosspointView& b);
bool operator==(const DeviceView& a, const DeviceView& b);
bool operator==(const SessionView& a, const SessionView& b);

PanelView viewPanel(const PanelLayout& layout, const Devices& devices, const std::string& id);
std::vector<DeviceView> viewDevices(const Devices& devices);
// Call on the session's thread.
SessionView viewSession(const HostSession& session);

// The panel as the transcript shows it: one line of labels and highlights
// in layout order (a label's "text", a control's "statesheet"), then a line
// per list with its page and lit source.
std::vector<std::string> panelLines(const PanelView& panel);
// One line per device with its crosspoints and what they carry.
std::vector<std::string> deviceLines(const std::vector<DeviceView>& devices);
