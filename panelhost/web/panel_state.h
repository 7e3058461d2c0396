// The view model (panel_view.h) as JSON, as the web page draws it, and the
// session's log lines. Its shape:
//   {"running": true, "now": 258, "violations": [],
//    "panel": {"id": "1", "title": "...", "columns": 6, "rows": 6,
//              "controls": [<control>...]},        (null before "PS")
//    "devices": [{"name": "ZIR VESK Packager", "number": 9,
//                 "crosspoints": [{"dest": 410, "source": 5,
//                                  "destName": "SCR MON 1", "sourceName": "CAM 5",
//                                  "tally": "CAM 5"}]}]},
//    "layoutMissing": ""}     (why no layout is shown: no layout "x.vesk_ui" in folder "/...")
// A crosspoint's "destName" is there only for a destination the device table names.
// Every control has "id", "kind", "caption", "area" ([column, row, width,
// height], null when not placed) and "properties" (as the panel set them).
// A list adds "page", "pageName", "lit" and "sources" ([{"number", "name",
// "lit"}] on that page). A group selector adds "pages" ([{"number", "name",
// "chosen"}]).
//
// The event stream's two messages (README, "the event stream"):
//   {"type": "state", "version": 7, "where": {...}, "state": <SessionView>, "log": [<log line>...]}
//       the whole state and the whole log kept: the page starts over with it;
//   {"type": "change", "version": 8, "change": <ViewChange>, "log": [<log line>...]}
//       what changed since the stream's last message, and the log lines after it.
// A change: {"now": 278, "running": false, "violations": [...], "panel": <panel>,
//            "controls": [<control>...], "crosspoints": [{"device": 9, "dest": 410, "source": 5,
//            "sourceName": "CAM 5", "tally": "CAM 5"}]}
// "now", "controls" and "crosspoints" always; "running", "violations" (the whole list) and
// "panel" (a layout shown anew: the whole panel) only when they changed. Applied in that
// order: the panel, then each control by its "id", each crosspoint by "device" and "dest"
// (replaced, or added in destination order).
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
nlohmann::json toJson(const ViewChange& change);

// The stream's messages; `where` is {"url", "plugin"}.
nlohmann::json stateMessage(const nlohmann::json& where, std::uint64_t version, const SessionView& state,
                            const std::vector<LogLine>& log);
nlohmann::json changeMessage(std::uint64_t version, const ViewChange& change, const std::vector<LogLine>& log);

// A log line: {"seq": 12, "time": 258, "wall": 1765370000258, "kind": "command", "text": "ET 1"};
// time is on the panel's clock; wall the wall-clock time it was reported
// (milliseconds since 1970, UTC), which the page shows as the time of day;
// kind is event, command, reply, device, note, violation or debug.
nlohmann::json logEntry(const SessionEntry& entry, std::uint64_t seq, std::int64_t wallMs);

// Log lines, oldest first.
nlohmann::json logJson(const std::vector<LogLine>& lines);

// JSON text for the wire. Bytes that are not UTF-8 (a plug-in may set any
// text) become U+FFFD instead of failing the whole snapshot.
std::string wireText(const nlohmann::json& value);
