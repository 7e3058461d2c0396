// The view model as JSON, and log lines.
#include "panelhost/web/panel_state.h"

using nlohmann::json;

namespace {

const char* kindName(SessionEntry::Kind kind) {
  switch (kind) {
    case SessionEntry::Kind::Event: return "event";
    case SessionEntry::Kind::Command: return "command";
    case SessionEntry::Kind::Reply: return "reply";
    case SessionEntry::Kind::Device: return "device";
    case SessionEntry::Kind::Note: return "note";
    case SessionEntry::Kind::Violation: return "violation";
    case SessionEntry::Kind::Debug: return "debug";
  }
  return "note";
}

json controlJson(const ControlView& control) {
  json entry = {{"id", control.id},
                {"kind", kindName(control.kind)},
                {"caption", control.caption},
                {"area", control.area ? json(*control.area) : json(nullptr)},
                {"properties", control.properties}};
  if (control.kind == ControlKind::List) {
    json sources = json::array();
    for (const SourceKey& s : control.sources) sources.push_back({{"number", s.number}, {"name", s.name}, {"lit", s.lit}});
    entry.update({{"page", control.page},
                  {"pageName", control.pageName},
                  {"lit", control.lit},
                  {"sources", std::move(sources)}});
  }
  if (control.kind == ControlKind::GroupSelector) {
    json pages = json::array();
    for (const PageKey& p : control.pages) pages.push_back({{"number", p.number}, {"name", p.name}, {"chosen", p.chosen}});
    entry["pages"] = std::move(pages);
  }
  return entry;
}

json crosspointJson(const CrosspointView& xp) {
  json entry = {{"dest", xp.dest}, {"source", xp.source}, {"sourceName", xp.sourceName}, {"tally", xp.tally}};
  if (!xp.destName.empty()) entry["destName"] = xp.destName;
  return entry;
}

}  // namespace

json toJson(const PanelView& panel) {
  json controls = json::array();
  for (const ControlView& control : panel.controls) controls.push_back(controlJson(control));
  return {{"id", panel.id}, {"title", panel.title}, {"columns", panel.columns}, {"rows", panel.rows},
          {"controls", std::move(controls)}};
}

json toJson(const std::vector<DeviceView>& devices) {
  json all = json::array();
  for (const DeviceView& device : devices) {
    json crosspoints = json::array();
    for (const CrosspointView& xp : device.crosspoints) crosspoints.push_back(crosspointJson(xp));
    all.push_back({{"name", device.name}, {"number", device.number}, {"crosspoints", std::move(crosspoints)}});
  }
  return all;
}

json toJson(const SessionView& session) {
  return {{"running", session.running},
          {"now", session.now},
          {"violations", session.violations},
          {"panel", session.panel ? toJson(*session.panel) : json(nullptr)},
          {"layoutMissing", session.layoutMissing},
          {"devices", toJson(session.devices)}};
}

json toJson(const ViewChange& change) {
  json out = {{"now", change.now}};
  if (change.running) out["running"] = *change.running;
  if (change.violations) out["violations"] = *change.violations;
  if (change.layoutMissing) out["layoutMissing"] = *change.layoutMissing;
  if (change.panel) out["panel"] = toJson(*change.panel);
  json controls = json::array();
  for (const ControlView& control : change.controls) controls.push_back(controlJson(control));
  out["controls"] = std::move(controls);
  json crosspoints = json::array();
  for (const CrosspointChange& xp : change.crosspoints) {
    json entry = crosspointJson(xp.crosspoint);
    entry["device"] = xp.device;
    crosspoints.push_back(std::move(entry));
  }
  out["crosspoints"] = std::move(crosspoints);
  return out;
}

json stateMessage(const json& where, std::uint64_t version, const SessionView& state, const std::vector<LogLine>& log) {
  return {{"type", "state"}, {"version", version}, {"where", where}, {"state", toJson(state)}, {"log", logJson(log)}};
}

json changeMessage(std::uint64_t version, const ViewChange& change, const std::vector<LogLine>& log) {
  return {{"type", "change"}, {"version", version}, {"change", toJson(change)}, {"log", logJson(log)}};
}

json logEntry(const SessionEntry& entry, std::uint64_t seq, std::int64_t wallMs) {
  return {{"seq", seq}, {"time", entry.timeMs}, {"wall", wallMs}, {"kind", kindName(entry.kind)}, {"text", entry.text}};
}

json logJson(const std::vector<LogLine>& lines) {
  json all = json::array();
  for (const LogLine& line : lines) all.push_back(logEntry(line.entry, line.seq, line.wallMs));
  return all;
}

std::string wireText(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }
