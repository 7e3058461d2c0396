// The table of modes.
#include "panelhost/modes/modes.h"

// Each mode's row, made in the mode's own file.
Mode scenarioMode();  // run: a scenario on a virtual clock, with a transcript
Mode shellMode();     // shell: steps from standard input, on the real clock
Mode webMode();       // web: the panel as a web page until Ctrl+C
Mode soakMode();      // soak: random events; speed and memory

const std::vector<Mode>& modes() {
  static const std::vector<Mode> kModes = {scenarioMode(), shellMode(), webMode(), soakMode()};
  return kModes;
}
