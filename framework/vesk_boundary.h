// The plug-in's binary boundary with the panel host: the export, the panel's
// table of operations, the event codes and the records they carry.
//
// Everything here crosses a library boundary between compilers, so nothing
// relies on a C++ compiler's own object layout: tables are laid out by hand,
// records have fixed field orders, and the static_asserts below pin the
// offsets (32-bit x86 is the shipped interface; 64-bit keeps the same fields
// in the same order with natural alignment).
//
// Who frees what: each side frees only what it allocated.
//   - A panel is created by the export and freed by the host through slot 0.
//   - An answer block returned by dispatch code 3 belongs to the plug-in; the
//     host hands it back with dispatch code 5, once. The panel frees only
//     blocks it gave out and has not had back (at most eight at a time: with
//     eight out, code 3 answers null); any other pointer is left alone.
//   - A reply returned by hostCommand code 0 belongs to the host; the plug-in
//     hands it back with hostCommand code 5.
//   - Records and texts passed into dispatch stay the host's and are valid
//     only until dispatch returns; the plug-in keeps no pointer into them.
// Threads: the host calls each panel from one thread at a time, and every
// hostCommand the panel sends happens on that thread before dispatch returns.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/message_parts.h"
#include "platform/client_host.h"
#include "platform/vesk_abi.h"

// Event codes of dispatch, with the payload each carries.
enum vesk_event_code : int {
  VESK_EVENT_TALLY = 1,     // const tally_record*: a router tally     -> null
  VESK_EVENT_CONTROL = 2,   // const control_record*: a control worked -> null
  VESK_EVENT_PROPERTY = 3,  // const char*: a property message         -> answer block or null
  VESK_EVENT_TIMER = 4,     // the timer id itself, in the pointer     -> null
  VESK_EVENT_RELEASE = 5,   // char*: an answer block of code 3        -> null
  VESK_EVENT_6 = 6,         // anything: passed to the panel untyped   -> null
  VESK_EVENT_7 = 7          // anything: passed to the panel untyped   -> null
};

// Payload of code 1, owned by the host. The tally text is stored in the
// record itself from `tally` on, zero-terminated; the host keeps room for it
// past the end of this declaration.
struct tally_record {
  std::int32_t device;  // device number the tally comes from
  std::int32_t unused1;
  std::int32_t index;   // destination (slot) on that device
  std::int32_t unused2;
  char tally[1];        // first byte of the text
};

// Payload of code 2, owned by the host, as are the texts and the split
// message it points to.
struct control_record {
  unsigned char unused[8];
  const char* panel;               // panel id given to "PS", e.g. "1"
  const char* control;             // control id, e.g. "SourceSel"
  const message_parts* message;    // the control's message, split by the host
};

static_assert(offsetof(tally_record, device) == 0 && offsetof(tally_record, index) == 8 &&
                  offsetof(tally_record, tally) == 16,
              "tally_record layout");
static_assert(offsetof(control_record, panel) == 8 && offsetof(control_record, control) == 8 + sizeof(void*) &&
                  offsetof(control_record, message) == 8 + 2 * sizeof(void*),
              "control_record layout");
static_assert(sizeof(bool) == 1, "message_parts.hasValue is one byte");
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(control_record, panel) == 8 && offsetof(control_record, control) == 12 &&
                  offsetof(control_record, message) == 16 && sizeof(control_record) == 20,
              "32-bit control_record layout");
static_assert(offsetof(message_parts, command) == 0 && offsetof(message_parts, sub) == 4 &&
                  offsetof(message_parts, value) == 132 && offsetof(message_parts, subCount) == 136 &&
                  offsetof(message_parts, hasValue) == 140 && offsetof(message_parts, buffer) == 144,
              "32-bit message_parts layout");
#else
static_assert(offsetof(control_record, panel) == 8 && offsetof(control_record, control) == 16 &&
                  offsetof(control_record, message) == 24,
              "64-bit control_record layout");
static_assert(offsetof(message_parts, command) == 0 && offsetof(message_parts, sub) == 8 &&
                  offsetof(message_parts, value) == 264 && offsetof(message_parts, subCount) == 272 &&
                  offsetof(message_parts, hasValue) == 276 && offsetof(message_parts, buffer) == 280,
              "64-bit message_parts layout");
#endif

struct vesk_client_callback;

VESK_TABLE_BEGIN
// The table a panel object's first field points to.
struct vesk_client_callback_table {
  // [0] Scalar deleting destructor: destroys the panel (the panel's clean-up,
  // then "AS" to the host); bit 0 of `flags` set also frees its memory.
  // Returns `self`, which must not be used afterwards.
  // [host's thread, not during dispatch]
  void*(VESK_THISCALL* destroy)(vesk_client_callback* self, unsigned flags);

  // [1] Delivers one event (codes above). Returns null, or for code 3 an
  // answer block the host hands back with code 5.
  // [host's thread, one call at a time]
  char*(VESK_THISCALL* dispatch)(vesk_client_callback* self, void* payload, int code);
};
VESK_TABLE_END

// What the host holds of a panel: an object whose first field is its table.
struct vesk_client_callback {
  const vesk_client_callback_table* table;
};

// The plug-in's one export, "load_vesk_client_script" (undecorated, cdecl):
// creates a panel for `host` (kept, never freed, may be null) with `path`,
// the folder its layouts are read from (copied). Null when the panel could
// not be allocated.
using vesk_load_function = vesk_client_callback* (*)(client_host* host, const char* path);
inline constexpr const char* kVeskLoadFunctionName = "load_vesk_client_script";

// Conveniences for hosts written in C++.
inline char* veskDispatch(vesk_client_callback* panel, void* payload, int code) {
  return panel->table->dispatch(panel, payload, code);
}
inline void veskDelete(vesk_client_callback* panel) { panel->table->destroy(panel, 1); }
