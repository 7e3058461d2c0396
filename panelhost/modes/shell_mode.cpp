// panelhost shell: steps typed at a prompt, on the real clock, so timers
// fire while the operator thinks.
#include <algorithm>
#include <chrono>
#include <iostream>

#include <CLI/CLI.hpp>

#include "panelhost/log/transcript.h"
#include "panelhost/modes/modes.h"
#include "panelhost/os/console_output.h"
#include "panelhost/os/stop_signal.h"
#include "panelhost/os/terminal_input.h"
#include "panelhost/session/host_session.h"
#include "panelhost/steps/step_runner.h"
#include "panelhost/support/text.h"

namespace {

// How long the shell waits for input or time at a stretch before it looks
// whether a stop was asked for: a Ctrl+C is taken within this.
constexpr int kStopCheckMs = 100;

ExitStatus runShell(const HostOptions& options) {
  Result<HostSetup> setup = prepareHost(options);
  if (!setup) return cannotStart(setup.error());
  TerminalInput reader;
  const bool interactive = reader.interactive();
  const auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  };

  // The panel never waits for the console: a paused one loses lines, with
  // a note saying how many, and the prompt keeps working.
  ConsoleOutput::neverWait();
  Transcript transcript(std::cout, options.replies);
  HostSession session(setup->plugin->loader(), setup->layoutFolders, std::move(setup->devices), transcript);
  std::cout << "panelhost shell: " << options.plugin << "\npanelhost shell: " << setup->pluginLine
            << "\nTimers run on the real clock. Type 'help' for the steps, 'quit' to leave.\n";
  if (Result<> started = session.start(); !started) return cannotStart(options.plugin + ": " + started.error());

  // Lets real time pass until `until`, delivering what falls due on the way.
  auto runUntil = [&](std::int64_t until) {
    for (std::int64_t now = elapsed(); now < until && !StopSignal::asked(); now = elapsed()) {
      const std::int64_t next = std::min(until, session.studio().nextDue().value_or(until));
      if (next > now) sleepMs(static_cast<int>(std::min<std::int64_t>(next - now, kStopCheckMs)));
      session.advanceTo(elapsed());
    }
    session.advanceTo(elapsed());
  };
  StepRunner runner(session, std::cout, [&](int ms) { runUntil(elapsed() + ms); });
  runner.printPanel();

  // A line too long to be a step is dropped as it comes in, and said once.
  auto sayDropped = [&] {
    if (reader.droppedLines() > 0) {
      std::cout << "error: a line longer than " << TerminalInput::kMaxLineBytes / 1024 << " KiB was skipped\n";
    }
  };
  bool open = true;
  std::string line;
  while (!StopSignal::asked() && (open || reader.next(line) || reader.rest(line))) {
    if (interactive) std::cout << "panelhost> " << std::flush;
    bool haveLine = reader.next(line);
    while (!haveLine && open && !StopSignal::asked()) {
      const std::optional<std::int64_t> due = session.studio().nextDue();
      const std::int64_t untilDue = due ? std::max<std::int64_t>(0, *due - elapsed()) : kStopCheckMs;
      open = reader.fill(static_cast<int>(std::min<std::int64_t>(untilDue, kStopCheckMs)));
      if (session.studio().nextDue() && *session.studio().nextDue() <= elapsed()) {
        if (interactive) std::cout << '\n';
        session.advanceTo(elapsed());
        runner.printPanel();
        if (interactive) std::cout << "panelhost> " << std::flush;
      }
      haveLine = reader.next(line) || (!open && reader.rest(line));
      sayDropped();
    }
    sayDropped();
    if (!haveLine || StopSignal::asked()) break;
    session.advanceTo(elapsed());
    if (line == "quit" || line == "exit") break;
    const Result<std::optional<Step>> step = parseStep(line, StepRunner::steps());
    if (!step) {
      std::cout << "error: " << printable(step.error()) << '\n';
    } else if (*step) {
      if (Result<> done = runner.run(**step); !done) std::cout << "error: " << printable(done.error()) << '\n';
    }
    if (session.layouts().fileFault()) break;
  }
  if (session.layouts().fileFault()) {
    session.stop();
    return cannotStart(*session.layouts().fileFault());
  }
  if (StopSignal::asked()) std::cout << (interactive ? "\n" : "") << "panelhost shell: stopping\n";
  session.stop();
  return verdict(session.violations());
}

}  // namespace

Mode shellMode() {
  return {"shell", "type steps at a prompt; timers run on the real clock",
          [](CLI::App& command) -> Mode::Run { return withTraceFlag(command, runShell); }};
}
