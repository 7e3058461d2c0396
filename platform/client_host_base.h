// Base class for hosts written in C++ (tests, the emulator): fills the
// client_host table with thunks that call the virtual `command`.
//
// A host hands the plug-in `static_cast<client_host*>(this)`; the plug-in
// calls slot 1 with that pointer and the thunk finds the host again.
#pragma once

#include <cstdint>

#include "platform/client_host.h"

class client_host_base : public client_host {
 public:
  client_host_base() : client_host{&kTable} {}
  client_host_base(const client_host_base&) = delete;
  client_host_base& operator=(const client_host_base&) = delete;
  virtual ~client_host_base() = default;

  client_host* asHost() { return this; }

  // Same contract as client_host_table::hostCommand.
  virtual std::intptr_t command(const char* text, int code) = 0;

 private:
  VESK_TABLE_BEGIN
  static void VESK_THISCALL reservedThunk(client_host*) {}
  static std::intptr_t VESK_THISCALL commandThunk(client_host* self, const char* text, int code) {
    return static_cast<client_host_base*>(self)->command(text, code);
  }
  VESK_TABLE_END
  static constexpr client_host_table kTable{&reservedThunk, &commandThunk};
};
