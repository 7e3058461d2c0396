// A plug-in whose panel breaks the host's rules, so that msvc_abi_host can
// be seen to catch each breach: it calls the first operation of
// client_host, calls hostCommand on an object that is no host, hands a reply
// back twice and reads it afterwards, writes into a tally record, and sends
// only "AS" when deleted.
#include <cstdint>
#include <string>

#include "framework/vesk_boundary.h"

namespace {

struct rogue_panel : vesk_client_callback {
  client_host* host;
};

VESK_TABLE_BEGIN
void* VESK_THISCALL destroy(vesk_client_callback* self, unsigned flags) {
  auto* panel = static_cast<rogue_panel*>(self);
  if (panel->host != nullptr) panel->host->hostCommand("AS", 0);
  if ((flags & 1u) != 0) delete panel;
  return self;
}

char* VESK_THISCALL dispatch(vesk_client_callback*, void* payload, int code) {
  if (code == VESK_EVENT_TALLY && payload != nullptr) static_cast<tally_record*>(payload)->tally[0] = '!';
  return nullptr;
}
VESK_TABLE_END

const vesk_client_callback_table kTable = {&destroy, &dispatch};

}  // namespace

extern "C" __declspec(dllexport) vesk_client_callback* load_vesk_client_script(client_host* host, const char*) {
  auto* panel = new rogue_panel;
  panel->table = &kTable;
  panel->host = host;
  if (host == nullptr) return panel;
  host->table->reserved(host);
  host->table->hostCommand(reinterpret_cast<client_host*>(panel), "SD 'ZIR SDI Router'", 0);
  const char* reply = reinterpret_cast<const char*>(host->hostCommand("SD 'ZIR SDI Router'", 0));
  host->hostCommand(reply, 5);
  host->hostCommand(reply, 5);
  host->hostCommand(("RR " + std::string(reply) + " 77 79").c_str(), 0);
  return panel;
}
