// panelhost run: a scenario file, step by step, on a virtual clock.
#include <fstream>
#include <iostream>

#include "panelhost/host_session.h"
#include "panelhost/modes.h"
#include "panelhost/step_runner.h"
#include "panelhost/transcript.h"

int runScenario(const HostOptions& options, const std::string& scriptPath) {
  std::ifstream script(scriptPath);
  if (!script) {
    std::cerr << "panelhost: cannot read scenario '" << scriptPath << "'\n";
    return 2;
  }
  Result<HostSetup> setup = prepareHost(options);
  if (!setup) {
    std::cerr << "panelhost: " << setup.error() << '\n';
    return 2;
  }
  Transcript transcript(std::cout, options.replies);
  HostSession session(setup->plugin->loader(), setup->layoutFolder, std::move(setup->devices), transcript);
  std::cout << "panelhost: " << options.plugin << " with scenario " << scriptPath << '\n';
  if (!session.start()) {
    std::cerr << "panelhost: " << options.plugin << ": load_vesk_client_script returned no panel\n";
    return 2;
  }
  StepRunner runner(session, std::cout);
  runner.printPanel();

  const size_t slash = scriptPath.find_last_of('/');
  const std::string name = slash == std::string::npos ? scriptPath : scriptPath.substr(slash + 1);
  std::string line;
  std::string failure;
  for (int number = 1; failure.empty() && std::getline(script, line); ++number) {
    const std::string where = scriptPath + ":" + std::to_string(number);
    const Result<std::optional<Step>> step = parseStep(line);
    if (!step) {
      failure = where + ": " + step.error();
    } else if (*step) {
      std::cout << name << ":" << number << ": " << line << '\n';
      if (Result<> done = runner.run(**step); !done) failure = where + ": failed: " + done.error();
    }
    if (!session.violations().empty()) break;
  }
  session.stop();
  std::cout.flush();
  if (!failure.empty()) {
    std::cerr << failure << '\n';
    return 1;
  }
  if (!session.violations().empty()) {
    std::cerr << "panelhost: the panel broke the host's rules: " << session.violations().front() << '\n';
    return 1;
  }
  std::cout << "panelhost: scenario passed\n";
  return 0;
}
