// The running panel as JSON, as the web page draws it: the layout the panel
// shows with its live properties, the simulated devices, and log entries.
//
// A snapshot is plain data, made on the thread that owns the session and
// read anywhere after. Its shape:
//   {"running": true, "now": 258, "violations": [],
//    "panel": {"id": "1", "title": "...", "columns": 6, "rows": 6,
//              "controls": [<control>...]},        (null before "PS")
//    "devices": [{"name": "ZIR VESK Packager", "number": 9,
//                 "crosspoints": [{"dest": 410, "source": 5,
//                                  "sourceName": "CAM 5", "tally": "CAM 5"}]}]}
// Every control has "id", "kind", "caption", "area" ([column, row, width,
// height], null when not placed) and "properties" (as the panel set them).
// A list adds "page" (from its "page" property, 1 when unset), "pageName",
// "lit" (its "index", 0: none) and "sources" ([{"number", "name", "lit"}] on
// that page, named from its device). A group selector adds "pages"
// ([{"number", "name", "chosen"}]: the pages of its list, the list's page
// chosen).
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "panelhost/devices.h"
#include "panelhost/host_session.h"
#include "panelhost/panel_layout.h"
#include "panelhost/session_log.h"

// The layout's controls, with "id" naming the panel that shows it.
nlohmann::json layoutState(const PanelLayout& layout, const Devices& devices, const std::string& id);

// Every device with each crosspoint, the name of its source and its tally.
nlohmann::json devicesState(const Devices& devices);

// The whole snapshot above. Call it on the session's thread.
nlohmann::json sessionState(const HostSession& session);

// A log line: {"seq": 12, "time": 258, "kind": "command", "text": "ET 1"};
// kind is event, command, reply, device, note or violation.
nlohmann::json logEntry(const SessionEntry& entry, std::uint64_t seq);

// JSON text for the wire. Bytes that are not UTF-8 (a plug-in may set any
// text) become U+FFFD instead of failing the whole snapshot.
std::string wireText(const nlohmann::json& value);
