// The view model (panel_view.h) as JSON, as the web page draws it, and the
// session's log lines. Its shape:
//   {"running": true, "now": 258, "violations": [],
//    "panel": {"id": "1", "title": "...", "columns": 6, "rows": 6,
//              "controls": [<control>...]},        (null before "PS")
//    "devices": [{"name": "ZIR VESK Packager", "number": 9,
//                 "crosspoints": [{"dest": 410, "source": 5,
//                                  "sourceName": "CAM 5", "tally": "CAM 5"}]}]}
// Every control has "id", "kind", "caption", "area" ([column, row, width,
// height], null when not placed) and "properties" (as the panel set them).
// A list adds "page", "pageName", "lit" and "sources" ([{"number", "name",
// "lit"}] on that page). A group selector adds "pages" ([{"number", "name",
// "chosen"}]).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "panelhost/log/session_log.h"
#include "panelhost/view/panel_view.h"

nlohmann::json toJson(const PanelView& panel);
nlohmann::json toJson(const std::vector<DeviceView>& devices);
nlohmann::json toJson(const SessionView& session);

// A log line: {"seq": 12, "time": 258, "kind": "command", "text": "ET 1"};
// kind is event, command, reply, device, note or violation.
nlohmann::json logEntry(const SessionEntry& entry, std::uint64_t seq);

// Log lines, oldest first.
nlohmann::json logJson(const std::vector<LogLine>& lines);

// JSON text for the wire. Bytes that are not UTF-8 (a plug-in may set any
// text) become U+FFFD instead of failing the whole snapshot.
std::string wireText(const nlohmann::json& value);
