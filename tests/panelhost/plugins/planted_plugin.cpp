// ZUV_OZo with one planted change in its behaviour, for the test that a
// replay against a changed build names the first command that differs: when
// the highlight timer fires, the highlight is cleared on the wrong control.
#include "panels/Studio_A/ZUV_OZo/ZUV_OZo.h"

#include <new>

#if defined(_WIN32)
#define PLANTED_EXPORT __declspec(dllexport)
#else
#define PLANTED_EXPORT __attribute__((visibility("default")))
#endif

namespace {

class PlantedPanel : public ZUV_OZo {
 public:
  using ZUV_OZo::ZUV_OZo;

 protected:
  void onTimer(int id) override {
    cancelTimer(id);
    textSet("index", "0", kPanelId, "GrpSelect");  // the planted fault: ZUV_OZo clears SourceSel
  }
};

}  // namespace

extern "C" PLANTED_EXPORT vesk_client_callback* load_vesk_client_script(client_host* host, const char* path) {
  return new (std::nothrow) PlantedPanel(host, path);
}
