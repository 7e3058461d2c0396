// panelhost soak: a long run of random operator, device, property and clock
// events on a virtual clock, to show that the panel holds up and that memory
// does not grow.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "panelhost/log/transcript.h"
#include "panelhost/modes/modes.h"
#include "panelhost/os/process_memory.h"
#include "panelhost/os/stop_signal.h"
#include "panelhost/session/host_session.h"

namespace {

// Counts what reaches the panel and keeps nothing; once `shown` is set,
// prints the entries too (the panel's deletion after a Ctrl+C).
class Counter : public SessionObserver {
 public:
  void entry(const SessionEntry& e) override {
    if (e.kind == SessionEntry::Kind::Event) ++events;
    if (e.kind == SessionEntry::Kind::Violation) ++violations;
    if (shown != nullptr) shown->entry(e);
  }
  long long events = 0;
  long long violations = 0;
  SessionObserver* shown = nullptr;
};

// printf's formatting, written through std::cout like every other line.
template <typename... Args>
void print(const char* format, Args... args) {
  std::string line(static_cast<size_t>(std::snprintf(nullptr, 0, format, args...)), '\0');
  std::snprintf(line.data(), line.size() + 1, format, args...);
  std::cout << line;
}

// The heap may settle during the first events (the layout's properties, the
// host's tables); after that it must stay within this margin.
constexpr long kGrowthAllowanceKiB = 64;
constexpr long long kWarmUpEvents = 20000;

// Random things happening in whatever studio is loaded: presses on the
// controls of the layout the panel shows (now and then out of range), on
// the framework's alarm controls, the property messages the panel lists in
// its "_commands" answer (and a few it does not), routes and tallies on the
// devices of the device table, and the clock moving on.
class RandomStudio {
 public:
  RandomStudio(HostSession& session, unsigned seed) : session_(session), random_(seed) {
    // What the panel says it takes: "name=[value]" entries, one a line.
    const std::optional<std::string> commands = session_.property("_commands");
    std::string entries = commands.value_or("");
    for (size_t at = 0; at <= entries.size();) {
      const size_t end = std::min(entries.find('\n', at), entries.size());
      const std::string entry = entries.substr(at, end - at);
      const size_t equals = entry.find('=');
      if (!entry.empty()) setters_.push_back(entry.substr(0, equals) + "=");
      if (!entry.empty()) reads_.push_back("return=" + entry.substr(0, equals));
      at = end + 1;
    }
    for (const char* read : {"return=all", "return=x", "_events", "_commands", "other="}) reads_.push_back(read);
  }

  // One random thing happening in the studio.
  void step() {
    switch (pick(12)) {
      case 0: case 1: case 2: case 3: case 4: case 5:
        press();
        break;
      case 6:
        // The alarm controls every panel on the framework takes, on this
        // panel or another one.
        (void)session_.press({pick(2) ? "ActionAll" : "AckAll", "alarm=" + std::to_string(pick(10)),
                              std::string(pick(2) ? "2" : "1"), true});
        break;
      case 7:
        session_.property(propertyMessage());
        break;
      case 8:
        route();
        break;
      case 9:
        tally();
        break;
      default:
        session_.advanceTo(session_.studio().now() + pick(300));
        break;
    }
  }

 private:
  int pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(random_); }
  template <typename T>
  const T& any(const std::vector<T>& items) { return items[static_cast<size_t>(pick(static_cast<int>(items.size())))]; }

  // A control of the shown layout worked as an operator would, now and
  // then with a choice out of range.
  void press() {
    const PanelLayout* layout = session_.layouts().layout();
    if (layout == nullptr || layout->controls().empty()) return;
    const LayoutControl& control = any(layout->controls());
    std::string choice;
    if (control.kind == ControlKind::List) {
      const std::vector<SourcePage>& pages = control.pages;
      const bool inRange = pick(8) != 0 && !pages.empty() && !any(pages).sources.empty();
      choice = std::to_string(inRange ? any(any(pages).sources) : pick(40) - 4);
    } else if (control.kind == ControlKind::GroupSelector) {
      const std::vector<SourcePage>* pages = layout->pagesOf(control);
      choice = std::to_string(1 + pick(pages != nullptr ? static_cast<int>(pages->size()) + 1 : 4));
    }
    (void)session_.press({control.id, choice, std::nullopt, true});
  }

  void route() {
    const std::vector<Device>& devices = session_.studio().devices().all();
    if (devices.empty()) return;
    const Device& device = any(devices);
    int source = pick(40);
    if (!device.sources.empty() && pick(4) != 0) source = std::next(device.sources.begin(), pick(static_cast<int>(device.sources.size())))->first;
    int dest = pick(1000);
    if (!device.crosspoints.empty()) dest = std::next(device.crosspoints.begin(), pick(static_cast<int>(device.crosspoints.size())))->first;
    session_.studio().deviceRoute(device.number, source, dest);
    session_.settle();
  }

  void tally() {
    const std::vector<Device>& devices = session_.studio().devices().all();
    if (devices.empty()) return;
    const Device& device = any(devices);
    int dest = pick(1000);
    if (!device.crosspoints.empty()) {
      dest = std::next(device.crosspoints.begin(), pick(static_cast<int>(device.crosspoints.size())))->first + pick(3) - 1;
    }
    session_.studio().deviceTally(device.number, dest, text(pick(80)));
    session_.settle();
  }

  std::string text(int length) {
    std::string t;
    for (int i = 0; i < length; ++i) t += static_cast<char>(' ' + pick(95));
    return t;
  }
  std::string propertyMessage() {
    if (!setters_.empty() && pick(2) == 0) return any(setters_) + text(pick(100));
    return any(reads_);
  }

  HostSession& session_;
  std::mt19937 random_;
  std::vector<std::string> setters_;  // "name=" for each settable property
  std::vector<std::string> reads_;    // messages that read
};

// The soak's own options.
struct SoakOptions {
  long long events = 1000000;  // how many events
  unsigned seed = 1;           // seed of the random events
};

ExitStatus runSoak(const HostOptions& options, const SoakOptions& soak) {
  const long long events = soak.events;
  const unsigned seed = soak.seed;
  Result<HostSetup> setup = prepareHost(options);
  if (!setup) return cannotStart(setup.error());
  Counter counter;
  HostSession session(setup->plugin->loader(), setup->layoutFolders, std::move(setup->devices), counter);
  if (Result<> started = session.start(); !started) return cannotStart(options.plugin + ": " + started.error());
  RandomStudio studio(session, seed);
  print("panelhost soak: %lld events into %s, seed %u\npanelhost soak: %s\n", events, options.plugin.c_str(), seed,
        setup->pluginLine.c_str());
  const long startKiB = heapInUseKiB();
  // A replaced allocator (valgrind's, for one) keeps malloc's figures at 0.
  const bool measurable = startKiB > 0;
  print("  at start:   heap in use %6ld KiB, resident %6ld KiB, peak %6ld KiB%s\n", startKiB,
              residentKiB(), peakResidentKiB(),
              measurable ? "" : " (heap not measurable: malloc is replaced)");

  long settledKiB = 0;
  bool settled = false;
  // Start-up's events (creation, the "_commands" read) are not the soak's.
  const long long atStart = counter.events;
  const auto began = std::chrono::steady_clock::now();
  // A Ctrl+C ends the soak between two events: the figures so far, then
  // the panel deleted.
  while (counter.events - atStart < events && counter.violations == 0 && !StopSignal::asked()) {
    studio.step();
    // The host's own record of commands is not what is being measured.
    if (session.commands().size() > 4096) session.forgetCommands();
    if (!settled && counter.events >= kWarmUpEvents) {
      session.forgetCommands();
      settledKiB = heapInUseKiB();
      settled = true;
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  session.forgetCommands();
  const long endKiB = heapInUseKiB();
  print("  at the end: heap in use %6ld KiB, resident %6ld KiB, peak %6ld KiB\n", endKiB,
              residentKiB(), peakResidentKiB());
  if (settled) {
    print("  heap in use after the first %lld events: %ld KiB\n", kWarmUpEvents, settledKiB);
  } else {
    print("  heap growth not checked: fewer than %lld events\n", kWarmUpEvents);
  }
  const bool stopped = StopSignal::asked();
  Transcript transcript(std::cout, options.replies);
  if (stopped) {
    print("panelhost soak: stopped after %lld of %lld events\n", counter.events - atStart, events);
    counter.shown = &transcript;
  }
  session.stop();
  print("  %.0f events per second (%.2f s of virtual time in %.2f s)\n", (counter.events - atStart) / seconds,
              session.studio().now() / 1000.0, seconds);
  if (stopped) return verdict(session.violations());
  if (counter.violations != 0) return verdict(session.violations());
  if (measurable && settled && endKiB > settledKiB + kGrowthAllowanceKiB) {
    std::cerr << "panelhost: heap in use grew from " << settledKiB << " KiB to " << endKiB << " KiB during the soak\n";
    return ExitStatus::Failed;
  }
  print("panelhost soak: passed\n");
  return ExitStatus::Passed;
}

}  // namespace

Mode soakMode() {
  return {"soak",
          "for developers: many random events on a virtual clock; prints speed and memory, fails if memory grows",
          [](CLI::App& command) -> Mode::Run {
            auto soak = std::make_shared<SoakOptions>();
            command.add_option("--events", soak->events, "how many events to deliver (at least 1)")
                ->check(CLI::Range(1LL, std::numeric_limits<long long>::max()))
                ->capture_default_str();
            command.add_option("--seed", soak->seed, "seed of the random events")->capture_default_str();
            return [soak](const HostOptions& options) { return runSoak(options, *soak); };
          }};
}
