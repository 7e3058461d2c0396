// The one export every panel plug-in defines, declared once for all panels.
// A host finds it by name at run time; code linked with a panel directly
// (tests, tools) calls it here. A panel defines it in its export.cpp as
// `return new (std::nothrow) <Panel>(host, path);`.
#pragma once

#include "framework/vesk_boundary.h"

#if defined(_WIN32)
#define VESK_EXPORT __declspec(dllexport)
#else
#define VESK_EXPORT __attribute__((visibility("default")))
#endif

// Creates a panel for `host` with the layout folder `path`; the host deletes
// it through slot 0 of its table. Null, with nothing constructed and no
// command sent, when the memory cannot be had.
extern "C" VESK_EXPORT vesk_client_callback* load_vesk_client_script(client_host* host, const char* path);
