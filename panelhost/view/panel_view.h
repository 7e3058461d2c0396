// PanelView: the one view model of the running panel and the studio, made
// on the session's thread and read anywhere after: the shown layout with
// its live properties, each list on the page the panel chose with its lit
// source, each group selector with its pages, and every device crosspoint
// with its tally. The transcript prints it as text (panelLines,
// deviceLines); the web page gets it as JSON (panel_state.h).
//
// A view that follows a running session is kept up to date with
// ViewChange: what the session says changed (HostSession::takeChanges),
// viewed alone, so a step costs what it changed and not the table's size.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "panelhost/session/host_session.h"
#include "panelhost/session/panel_layout.h"
#include "panelhost/studio/devices.h"

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
  std::string destName;  // empty: not named
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
  // Why no layout is shown: the file the panel asked for and the folder
  // looked in (ShownLayouts::missing); empty when one is, or none was asked for.
  std::string layoutMissing;
  std::vector<DeviceView> devices;
};

// A crosspoint of a device, keyed by the device's number and its `dest`.
struct CrosspointChange {
  int device = 0;
  CrosspointView crosspoint;
};

// What changed in a SessionView since the one before, keyed so that a copy
// of that view can apply it (applyChange): the clock always; the rest only
// when it changed. Applied in this order: `panel` replaces the whole panel
// (a layout shown anew), then each control replaces the control of its id,
// each crosspoint the one of its device and destination (or is added).
struct ViewChange {
  std::int64_t now = 0;
  std::optional<bool> running;
  std::optional<std::vector<std::string>> violations;  // the whole list, when it grew
  std::optional<std::string> layoutMissing;
  std::optional<PanelView> panel;
  std::vector<ControlView> controls;
  std::vector<CrosspointChange> crosspoints;

  // Nothing changed but the clock.
  bool empty() const;
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
ControlView viewControl(const PanelLayout& layout, const LayoutControl& control, const Devices& devices);
CrosspointView viewCrosspoint(const Devices& devices, int device, int dest);
// Call on the session's thread.
SessionView viewSession(const HostSession& session);

// The change `changes` (the session's own record since `before` was made
// or last changed) makes to `before`: only the controls and crosspoints
// named, with a group selector whenever its list changed. Call on the
// session's thread.
ViewChange viewChange(const HostSession& session, const HostSession::Changes& changes, const SessionView& before);
void applyChange(SessionView& view, const ViewChange& change);
// One change that does what `changes` do one after another, each key once.
ViewChange mergeChanges(const std::vector<const ViewChange*>& changes);

// The panel as the transcript shows it: one line of labels and highlights
// in layout order (a label's "text", a control's "statesheet"), then a line
// per list with its page and lit source.
std::vector<std::string> panelLines(const PanelView& panel);
// One line per device with its crosspoints and what they carry.
std::vector<std::string> deviceLines(const std::vector<DeviceView>& devices);
