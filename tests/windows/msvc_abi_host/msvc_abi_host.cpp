// A panel host built the way the real one is, in Microsoft's C++ ABI: loads
// the plug-in DLL with LoadLibrary, finds its export by name, drives panels
// through their virtual `dispatch` and deletes them with `delete`, comparing
// every command they send; then reads the DLL's version resource.
//
// Usage: msvc_abi_host [--any] PATH_TO_DLL PANEL DESCRIPTION. The example
// panel's road compares every command; --any drives any other panel from
// start-up to deletion by the host's rules alone. PANEL and DESCRIPTION are
// what its version resource must say. Exits 0 when everything matched;
// otherwise writes each difference to stderr and exits 1.
#include "host_checks.h"
#include "runtime.h"

int hostMain(int argc, char** argv) {
  const bool any = argc > 0 && textEqual(argv[0], "--any");
  if (any) {
    --argc;
    ++argv;
  }
  if (argc != 3) {
    (line() << "usage: msvc_abi_host [--any] PATH_TO_DLL PANEL DESCRIPTION").toErr();
    return 2;
  }
  const char* path = argv[0];
  HMODULE library = LoadLibraryA(path);
  if (library == nullptr) {
    failure("load") << "LoadLibrary(" << path << ") failed, error " << static_cast<long>(GetLastError());
    return 1;
  }
  auto load = reinterpret_cast<load_vesk_client_script_function>(GetProcAddress(library, "load_vesk_client_script"));
  if (load == nullptr) {
    failure("load") << path << " does not export load_vesk_client_script";
    return 1;
  }

  if (any) {
    driveAnyPanel(load);
  } else {
    drivePanels(load);
  }
  checkVersionResource(path, argv[1], argv[2]);
  FreeLibrary(library);

  if (failureCount() != 0) {
    (line() << failureCount() << " check(s) failed").toErr();
    return 1;
  }
  (line() << path << ": panels driven from start-up to deletion and the version resource read, as expected").toOut();
  return 0;
}
