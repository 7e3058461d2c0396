// Running a piece of a test on a thread with a small stack, the size of a
// Windows program's main thread (1 MiB), so that reading a deep or long
// input shows whether it recurses once per level.
#pragma once

#include <cstddef>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

inline constexpr std::size_t kWindowsMainStack = 1024 * 1024;

#ifdef _WIN32
// The thread's entry in the system's calling convention (stdcall on 32-bit
// Windows, which a lambda does not take).
inline DWORD WINAPI runOnStackEntry(LPVOID work) {
  (*static_cast<const std::function<void()>*>(work))();
  return 0;
}
#endif

// Runs `work` on a new thread of `stackBytes` of stack and waits for it.
// `work` must not throw, nor use the test framework's assertions: it keeps
// what it finds for the calling thread to check. False when no thread
// could be made.
inline bool runOnStack(std::size_t stackBytes, const std::function<void()>& work) {
#ifdef _WIN32
  HANDLE thread = CreateThread(nullptr, stackBytes, runOnStackEntry, const_cast<std::function<void()>*>(&work),
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == nullptr) return false;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return true;
#else
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, stackBytes);
  pthread_t thread;
  const int made = pthread_create(
      &thread, &attributes,
      [](void* f) -> void* {
        (*static_cast<const std::function<void()>*>(f))();
        return nullptr;
      },
      const_cast<std::function<void()>*>(&work));
  pthread_attr_destroy(&attributes);
  if (made != 0) return false;
  pthread_join(thread, nullptr);
  return true;
#endif
}
