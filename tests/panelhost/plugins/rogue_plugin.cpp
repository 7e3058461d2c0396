// A plug-in that breaks the boundary's rules on purpose, so the emulator's
// checks can be seen to catch each breach. The folder text it is created
// with names the breach:
//   keep-reply       never hands a reply back
//   double-release   hands a reply back twice
//   foreign-release  hands back a pointer the host never gave it
//   unknown-code     calls hostCommand with code 7
//   control-block    answers a control event with a block
//   timer-block      arms timer 1 and answers its tick with a block
//   wrong-destroy    slot 0 returns another address
//   slow-destroy     slot 0 takes 20 s (a deletion that hangs)
//   no-panel         the export returns null
#include <cstdint>
#include <cstring>
#include <string>

#include "framework/vesk_boundary.h"

#if defined(_WIN32)
#include <windows.h>
#define ROGUE_EXPORT __declspec(dllexport)
#else
#include <unistd.h>
#define ROGUE_EXPORT __attribute__((visibility("default")))
#endif

namespace {

struct RoguePanel : vesk_client_callback {
  client_host* host;
  std::string breach;
};

char answer[] = "not yours";

VESK_TABLE_BEGIN
void* VESK_THISCALL destroy(vesk_client_callback* self, unsigned) {
  auto* panel = static_cast<RoguePanel*>(self);
  const bool wrong = panel->breach == "wrong-destroy";
  if (panel->breach == "slow-destroy") {
    // The system's own sleep: the deliverable's Windows build has no C++ threads.
#if defined(_WIN32)
    Sleep(20000);
#else
    sleep(20);
#endif
  }
  panel->host->hostCommand("AS", 0);
  delete panel;
  return wrong ? static_cast<void*>(answer) : static_cast<void*>(self);
}

char* VESK_THISCALL dispatch(vesk_client_callback* self, void*, int code) {
  auto* panel = static_cast<RoguePanel*>(self);
  if (code == 2 && panel->breach == "control-block") return answer;
  if (code == 4 && panel->breach == "timer-block") return answer;
  return nullptr;
}
VESK_TABLE_END

const vesk_client_callback_table kTable = {&destroy, &dispatch};

}  // namespace

extern "C" ROGUE_EXPORT vesk_client_callback* load_vesk_client_script(client_host* host, const char* path) {
  const std::string breach = path;
  if (breach == "no-panel") return nullptr;
  auto* panel = new RoguePanel;
  panel->table = &kTable;
  panel->host = host;
  panel->breach = breach;
  const std::intptr_t reply = host->hostCommand("SD 'ZIR SDI Router'", 0);
  const char* text = reinterpret_cast<const char*>(reply);
  if (breach == "double-release") {
    host->hostCommand(text, 5);
    host->hostCommand(text, 5);
  } else if (breach == "foreign-release") {
    host->hostCommand(answer, 5);
    host->hostCommand(text, 5);
  } else if (breach == "unknown-code") {
    host->hostCommand(text, 5);
    host->hostCommand("TP 'x' '1' 'y'", 7);
  } else if (breach != "keep-reply") {
    host->hostCommand(text, 5);
  }
  if (breach == "timer-block") host->hostCommand("ET 1 10", 0);
  return panel;
}
