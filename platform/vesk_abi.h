// Calling convention of the operations in the host-facing tables.
//
// The host is built with the platform's native C++ compiler, which calls
// member functions "thiscall" on 32-bit x86 (object in ECX, callee pops the
// stack arguments) and with the object as first argument everywhere else.
// Every operation the host and the plug-in call through a table is declared
// with VESK_THISCALL so that both sides agree whatever compiled them.
#pragma once

#if defined(_MSC_VER) && defined(_M_IX86)
#define VESK_THISCALL __thiscall
#elif defined(__i386__)
#define VESK_THISCALL __attribute__((thiscall))
#else
#define VESK_THISCALL
#endif

// GCC's -Wpedantic warns that thiscall is meant for class methods; the table
// operations are free functions on purpose (the object is their first
// argument), so the warning is silenced around their declarations only.
#if defined(__GNUC__) && !defined(__clang__)
#define VESK_TABLE_BEGIN \
  _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wattributes\"")
#define VESK_TABLE_END _Pragma("GCC diagnostic pop")
#else
#define VESK_TABLE_BEGIN
#define VESK_TABLE_END
#endif
