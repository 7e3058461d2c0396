// Fuzzes the layout reader: any bytes are either a layout or one line saying
// why not, and on a layout every control is found by its id, every group
// selector pages a list, and every control gives a message or a reason.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "panelhost/session/panel_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const Result<PanelLayout> layout = PanelLayout::fromJson(text);
  if (!layout) {
    FUZZ_CHECK(!layout.error().empty());
    FUZZ_CHECK(layout.error().find('\n') == std::string::npos);
    return 0;
  }
  FUZZ_CHECK(layout->columns() >= 1 && layout->columns() <= 64);
  for (const LayoutControl& control : layout->controls()) {
    FUZZ_CHECK(layout->find(control.id) == &control);
    if (control.kind == ControlKind::GroupSelector) FUZZ_CHECK(layout->pagesOf(control) != nullptr);
    for (const char* choice : {"", "1", "7", "-3", "x", "a=b", "99999999999"}) {
      const Result<std::string> message = PanelLayout::messageFor(control, choice);
      FUZZ_CHECK(message ? !message->empty() : !message.error().empty());
    }
  }
  return 0;
}
