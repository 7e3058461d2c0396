// openInBrowser: a page shown in the user's default browser, for
// `panelhost web --open`. The one place panelhost starts another program:
// ShellExecuteW on Windows; elsewhere xdg-open(1), where it is installed.
#pragma once

#include <string>

#include "hostside/result.h"

// Asks the system to show `url`; does not wait for the browser. Why not,
// when there is no way to (no xdg-open) or the system refused.
Result<> openInBrowser(const std::string& url);
