// The plug-in's one export: the host creates the panel through it.
#include "panels/Studio_A/ZUV_OZo/export.h"

#include <new>

#include "panels/Studio_A/ZUV_OZo/ZUV_OZo.h"

vesk_client_callback* load_vesk_client_script(client_host* host, const char* path) {
  return new (std::nothrow) ZUV_OZo(host, path);
}
