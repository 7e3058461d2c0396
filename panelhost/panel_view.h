// A few lines of text that show what the panel looks like now: its labels,
// its highlights and its source list, and what the devices are doing.
#pragma once

#include <string>
#include <vector>

#include "panelhost/devices.h"
#include "panelhost/panel_layout.h"

// The layout's labels and highlights in layout order: a label's "text", a
// control's "statesheet", a list's page and lit source.
std::vector<std::string> describePanel(const PanelLayout& layout, const Devices& devices);

// Each device's crosspoints with what they carry.
std::vector<std::string> describeDevices(const Devices& devices);
