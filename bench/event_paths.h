// The paths whose cost is measured, each one event of one kind through the
// real splitters or a real ZUV_OZo, shared by the benchmark (time and heap
// allocations) and the instruction-count driver (callgrind).
#pragma once

#include <cstddef>

// One measured path. `run` performs one event and leaves everything as it
// found it, so that it can be repeated any number of times. A splitter path
// names the floor it is held against: one heap block and a copy of the same
// bytes, the least a splitter that owns its copy can do.
struct EventPath {
  const char* name;
  void (*run)();
  const char* floor;  // null for the panel paths and the floors themselves
};

// All paths, each floor listed before the splitter held against it.
extern const EventPath kEventPaths[];
extern const std::size_t kEventPathCount;

// The path called `name`, or null.
const EventPath* findEventPath(const char* name);

// Creates the panel (with a host that answers nothing and records nothing)
// and the payloads the panel paths deliver; call once before running any
// path. finishEventPaths deletes the panel.
void prepareEventPaths();
void finishEventPaths();
