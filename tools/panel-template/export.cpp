// @PANEL@'s one export: the host creates the panel through it.
#include <new>

#include "framework/vesk_export.h"
#include "panels/@STUDIO@/@PANEL@/@PANEL@.h"

vesk_client_callback* load_vesk_client_script(client_host* host, const char* path) {
  return new (std::nothrow) @PANEL@(host, path);
}
