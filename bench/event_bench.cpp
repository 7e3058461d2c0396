// Benchmarks what one event costs: CPU nanoseconds and heap allocations per
// event for every path of event_paths.h, then a summary of the goals against
// the floors measured in the same run.
//
// Each path runs in 5 repetitions; the summary compares the fastest of them,
// since on a shared machine noise only ever adds time (the medians are
// printed beside them).
//
// Goals: a splitter within 1.5 times its floor;
// a take, a timer tick and a tally with no heap allocation; a property read
// with exactly two (the parse buffer and the answer block).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/event_paths.h"
#include "hostside/allocation_counter.h"

namespace {

constexpr double kSplitterGoal = 1.5;
constexpr const char* kAllocationsCounter = "allocs/event";

struct AllocationGoal {
  const char* path;
  double allocations;
};
constexpr AllocationGoal kAllocationGoals[] = {
    {"take", 0}, {"timer_tick", 0}, {"tally", 0}, {"property_read", 2}};

void runPath(benchmark::State& state, const EventPath* path) {
  const std::size_t before = allocationCount();
  for (auto _ : state) path->run();
  state.counters[kAllocationsCounter] = benchmark::Counter(static_cast<double>(allocationCount() - before),
                                                           benchmark::Counter::kAvgIterations);
}

double fastest(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

struct Figures {
  double nanoseconds = 0;  // fastest repetition
  double median = 0;
  double allocations = -1;
};

// Prints as the console reporter does and keeps each path's fastest and
// median CPU time and its allocations for the summary.
class GoalReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Aggregate) continue;
      Figures& figures = figures_[run.run_name.function_name];
      if (run.aggregate_name == "min") {
        figures.nanoseconds = run.GetAdjustedCPUTime();
        const auto counter = run.counters.find(kAllocationsCounter);
        if (counter != run.counters.end()) figures.allocations = counter->second.value;
      } else if (run.aggregate_name == "median") {
        figures.median = run.GetAdjustedCPUTime();
      }
    }
  }

  // Prints one line per goal; returns how many were missed (a goal whose
  // paths did not run counts as missed).
  int printSummary() const {
    int missed = 0;
    std::printf("\nGoals (fastest of the repetitions, CPU time per event; median in brackets):\n");
    for (std::size_t i = 0; i < kEventPathCount; ++i) {
      const EventPath& path = kEventPaths[i];
      if (path.floor == nullptr) continue;
      const Figures* splitter = find(path.name);
      const Figures* floor = find(path.floor);
      const bool ran = splitter != nullptr && floor != nullptr;
      const double ratio = ran ? splitter->nanoseconds / floor->nanoseconds : 0;
      const bool met = ran && ratio <= kSplitterGoal;
      missed += met ? 0 : 1;
      std::printf("  %-22s %8.1f ns (%8.1f) = %5.2f x %-19s %8.1f ns (%8.1f)  goal <= %.1f x  %s\n",
                  path.name, ran ? splitter->nanoseconds : 0, ran ? splitter->median : 0, ratio, path.floor,
                  ran ? floor->nanoseconds : 0, ran ? floor->median : 0, kSplitterGoal, met ? "met" : "MISSED");
    }
    for (const AllocationGoal& goal : kAllocationGoals) {
      const Figures* figures = find(goal.path);
      const bool met = figures != nullptr && figures->allocations == goal.allocations;
      missed += met ? 0 : 1;
      std::printf("  %-22s %8.1f ns (%8.1f), %.2f allocations per event  goal %.0f allocations  %s\n",
                  goal.path, figures ? figures->nanoseconds : 0, figures ? figures->median : 0,
                  figures ? figures->allocations : 0, goal.allocations, met ? "met" : "MISSED");
    }
    std::printf(missed == 0 ? "All goals met.\n" : "%d goal(s) missed.\n", missed);
    return missed;
  }

 private:
  const Figures* find(const char* name) const {
    const auto it = figures_.find(name);
    return it == figures_.end() ? nullptr : &it->second;
  }

  std::map<std::string, Figures> figures_;
};

}  // namespace

int main(int argc, char** argv) {
  prepareEventPaths();
  for (std::size_t i = 0; i < kEventPathCount; ++i) {
    benchmark::RegisterBenchmark(kEventPaths[i].name, runPath, &kEventPaths[i])
        ->Unit(benchmark::kNanosecond)
        ->Repetitions(5)
        ->ComputeStatistics("min", fastest)
        ->ReportAggregatesOnly(true);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  GoalReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printSummary();
  benchmark::Shutdown();
  finishEventPaths();
  return 0;
}
