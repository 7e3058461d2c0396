// panelhost soak: a long run of random operator, device, property and clock
// events on a virtual clock, to show that the panel holds up and that memory
// does not grow.
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

#include "panelhost/host_session.h"
#include "panelhost/modes.h"

namespace {

// Counts what reaches the panel and keeps nothing.
class Counter : public SessionObserver {
 public:
  void entry(const SessionEntry& e) override {
    if (e.kind == SessionEntry::Kind::Event) ++events;
    if (e.kind == SessionEntry::Kind::Violation) ++violations;
  }
  long long events = 0;
  long long violations = 0;
};

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); 0 where there is
// no such file.
long statusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == std::string(field) + ":") {
      status >> value;
      return value;
    }
    status.ignore(4096, '\n');
  }
  return 0;
}

// Bytes of heap in use by the whole process, host and plug-in.
long heapInUseKiB() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

// The heap may settle during the first events (the layout's properties, the
// host's tables); after that it must stay within this margin.
constexpr long kGrowthAllowanceKiB = 64;
constexpr long long kWarmUpEvents = 20000;

class RandomStudio {
 public:
  RandomStudio(HostSession& session, unsigned seed) : session_(session), random_(seed) {}

  // One random thing happening in the studio.
  void step() {
    switch (pick(12)) {
      case 0: case 1: case 2:
        press("1", "SourceSel", "index=" + std::to_string(pick(40) - 4));
        break;
      case 3: case 4:
        press("1", "Mon_" + std::to_string(1 + pick(3)), "button=pressed");
        break;
      case 5:
        press("1", "GrpSelect", "button.00" + std::to_string(1 + pick(4)) + "=" + std::to_string(1 + pick(4)));
        break;
      case 6:
        press(pick(2) ? "2" : "1", pick(2) ? "ActionAll" : "AckAll", "alarm=" + std::to_string(pick(10)));
        break;
      case 7:
        session_.property(propertyMessage());
        break;
      case 8:
        session_.deviceRoute(9, 1 + pick(32), 410 + pick(3));
        break;
      case 9:
        session_.deviceTally(7, 76 + pick(5), text(pick(80)));
        break;
      default:
        session_.advanceTo(session_.now() + pick(300));
        break;
    }
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  std::string text(int length) {
    std::string t;
    for (int i = 0; i < length; ++i) t += static_cast<char>(' ' + pick(95));
    return t;
  }
  std::string propertyMessage() {
    static const char* const kNames[] = {"myParam=", "instance=", "return=all", "return=myParam", "return=x",
                                         "_events", "_commands", "other="};
    const std::string name = kNames[pick(8)];
    return name.back() == '=' ? name + text(pick(100)) : name;
  }

  void press(const std::string& panel, const std::string& control, const std::string& message) {
    (void)session_.press({control, message, panel, true});
  }

  HostSession& session_;
  std::mt19937 random_;
};

}  // namespace

int runSoak(const HostOptions& options, long long events, unsigned seed) {
  Result<HostSetup> setup = prepareHost(options);
  if (!setup) {
    std::cerr << "panelhost: " << setup.error() << '\n';
    return 2;
  }
  Counter counter;
  HostSession session(setup->plugin->loader(), setup->layoutFolder, std::move(setup->devices), counter);
  if (!session.start()) {
    std::cerr << "panelhost: " << options.plugin << ": load_vesk_client_script returned no panel\n";
    return 2;
  }
  RandomStudio studio(session, seed);
  std::printf("panelhost soak: %lld events into %s, seed %u\n", events, options.plugin.c_str(), seed);
  const long startKiB = heapInUseKiB();
  // A replaced allocator (valgrind's, for one) keeps malloc's figures at 0.
  const bool measurable = startKiB > 0;
  std::printf("  at start:   heap in use %6ld KiB, resident %6ld KiB, peak %6ld KiB%s\n", startKiB,
              statusKiB("VmRSS"), statusKiB("VmHWM"),
              measurable ? "" : " (heap not measurable: malloc is replaced)");

  long settledKiB = 0;
  bool settled = false;
  const auto began = std::chrono::steady_clock::now();
  while (counter.events < events && counter.violations == 0) {
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
  std::printf("  at the end: heap in use %6ld KiB, resident %6ld KiB, peak %6ld KiB\n", endKiB,
              statusKiB("VmRSS"), statusKiB("VmHWM"));
  std::printf("  heap in use after the first %lld events: %ld KiB\n", kWarmUpEvents, settledKiB);
  session.stop();
  std::printf("  %.0f events per second (%.2f s of virtual time in %.2f s)\n", counter.events / seconds,
              session.now() / 1000.0, seconds);
  if (counter.violations != 0) {
    std::cerr << "panelhost: the panel broke the host's rules: " << session.violations().front() << '\n';
    return 1;
  }
  if (measurable && settled && endKiB > settledKiB + kGrowthAllowanceKiB) {
    std::cerr << "panelhost: heap in use grew from " << settledKiB << " KiB to " << endKiB << " KiB during the soak\n";
    return 1;
  }
  std::printf("panelhost soak: passed\n");
  return 0;
}
