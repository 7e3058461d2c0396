// The panel host's command interface, as the plug-in sees it.
//
// The host owns the object; the plug-in receives a pointer at creation and
// keeps it, never deleting it, for the panel's lifetime. The object's first
// field points to a table of two operations:
//   [0] reserved     never called by the plug-in;
//   [1] hostCommand  the one operation the plug-in calls.
// The table is laid out by hand rather than left to a compiler's virtual
// table, so that a host built by any compiler sees the same two slots.
#pragma once

#include <cstdint>

#include "platform/vesk_abi.h"

struct client_host;

VESK_TABLE_BEGIN
struct client_host_table {
  // Never called by the plug-in.
  void(VESK_THISCALL* reserved)(client_host* self);

  // code 0: `text` is a command (valid only during the call). For "SD", "XI"
  //   and "TG" the result is a zero-terminated reply owned by the host, or 0
  //   for no reply; for "PS" it is 0 for failure, non-zero for success; for
  //   the other commands it is not looked at.
  // code 5: `text` is a reply that an earlier code-0 call returned; the host
  //   frees it and the plug-in never touches it again.
  // [host's thread, during dispatch or panel construction/destruction]
  std::intptr_t(VESK_THISCALL* hostCommand)(client_host* self, const char* text, int code);
};
VESK_TABLE_END

// Codes of hostCommand.
enum vesk_host_code : int {
  VESK_HOST_COMMAND = 0,      // send a command, maybe receive a reply
  VESK_HOST_RELEASE_REPLY = 5 // hand a reply back to the host
};

struct client_host {
  const client_host_table* table;

  std::intptr_t hostCommand(const char* text, int code) {
    return table->hostCommand(this, text, code);
  }
};
