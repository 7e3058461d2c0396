// ZUV_DSt's one export: the host creates the panel through it.
#include <new>

#include "framework/vesk_export.h"
#include "panels/Studio_A/ZUV_DSt/ZUV_DSt.h"

vesk_client_callback* load_vesk_client_script(client_host* host, const char* path) {
  return new (std::nothrow) ZUV_DSt(host, path);
}
