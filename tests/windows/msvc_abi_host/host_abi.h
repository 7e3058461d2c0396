// The plug-in's boundary as the panel host's author writes it: two ordinary
// abstract C++ classes and the event records, declared from the documented
// contract alone (nothing of the plug-in's headers).
//
// Built with clang in Microsoft's C++ ABI, as the host's compiler lays them
// out and calls them: one table pointer first in each object; a virtual
// destructor takes one table slot, the scalar deleting destructor
// `void* (unsigned flags)`; on 32-bit x86 every member function is
// __thiscall (object in ECX, the callee pops the stack arguments).
#pragma once

#include <stddef.h>
#include <stdint.h>

// The host's command interface, implemented by the host and handed to each
// panel at creation. The plug-in calls only hostCommand, the second
// operation of the table; the first is the host's own.
class client_host {
 public:
  virtual void reserved() = 0;
  // code 0: a command, valid during the call; the reply of "SD", "XI" and
  // "TG" (or 0), non-zero for a "PS" that worked. code 5: a reply that an
  // earlier call returned, handed back for the host to free.
  virtual intptr_t hostCommand(const char* text, int code) = 0;

 protected:
  ~client_host() = default;  // never deleted through this interface
};

// A panel, as the plug-in's export returns it. The host deletes it with
// `delete panel`, through the table's first slot.
class vesk_client_callback {
 public:
  virtual ~vesk_client_callback() = default;
  // One event (codes 1 to 7). Returns null, or for code 3 an answer block
  // that the host hands back with code 5.
  virtual char* dispatch(void* payload, int code) = 0;
};

// The export "load_vesk_client_script", a plain C function.
typedef vesk_client_callback*(__cdecl* load_vesk_client_script_function)(client_host* host, const char* path);

// Payload of code 1: a router tally, its text stored in the record.
struct tally_record {
  int32_t device;
  int32_t unused1;
  int32_t index;
  int32_t unused2;
  char tally[64];
};

// A message split at its first '.' or '=' into a name, up to 32 sub-fields
// and a value; unset entries point at an empty text, never null.
struct message_parts {
  const char* command;
  const char* sub[32];
  const char* value;
  int32_t subCount;
  bool hasValue;
  char* buffer;
};

// Payload of code 2: a control of a panel was worked.
struct control_record {
  unsigned char unused[8];
  const char* panel;
  const char* control;
  const message_parts* message;
};

static_assert(offsetof(tally_record, index) == 8 && offsetof(tally_record, tally) == 16,
              "tally_record: device 0, index 8, tally 16");
static_assert(offsetof(control_record, panel) == 8 && offsetof(control_record, control) == 8 + sizeof(void*) &&
                  offsetof(control_record, message) == 8 + 2 * sizeof(void*),
              "control_record: panel 8, then control and message");
static_assert(offsetof(message_parts, sub) == sizeof(void*) && offsetof(message_parts, value) == 33 * sizeof(void*) &&
                  offsetof(message_parts, subCount) == 34 * sizeof(void*) &&
                  offsetof(message_parts, hasValue) == 34 * sizeof(void*) + 4 &&
                  offsetof(message_parts, buffer) == (sizeof(void*) == 4 ? 144 : 280),
              "message_parts: 32-bit 0, 4, 132, 136, 140, 144; 64-bit 0, 8, 264, 272, 276, 280");
