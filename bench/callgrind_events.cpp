// Runs N events of one path between two toggles of callgrind's collection,
// so that `valgrind --tool=callgrind --collect-atstart=no` counts the
// instructions of those events alone. tools/callgrind-events runs it.
//   callgrind_events PATH [N]    N events of PATH (default 10000)
//   callgrind_events             lists the paths, a splitter with its floor
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>

#include "bench/event_paths.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    for (std::size_t i = 0; i < kEventPathCount; ++i) {
      const EventPath& listed = kEventPaths[i];
      std::printf(listed.floor != nullptr ? "%s %s\n" : "%s\n", listed.name, listed.floor);
    }
    return 0;
  }
  const EventPath* path = findEventPath(argv[1]);
  if (path == nullptr) {
    std::fprintf(stderr, "no path called %s\n", argv[1]);
    return 2;
  }
  const long events = argc > 2 ? std::atol(argv[2]) : 10000;
  prepareEventPaths();
  path->run();  // first-call costs (symbol binding, first heap blocks) stay out
  CALLGRIND_TOGGLE_COLLECT;
  for (long i = 0; i < events; ++i) path->run();
  CALLGRIND_TOGGLE_COLLECT;
  finishEventPaths();
  return 0;
}
