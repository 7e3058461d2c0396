// StepRunner: running a step, each action's list of commands, and the panel
// printed after it.
#include "panelhost/steps/step_runner.h"

#include "panelhost/view/panel_view.h"

Result<> StepRunner::run(const Step& step) {
  // A scenario was checked whole before it ran; a shell line is checked here.
  if (Result<> fits = checkStep(step, session_.studio().devices()); !fits) return fits;
  if (!step.kind->action) return step.kind->run(*this, step.words);
  firstOfAction_ = session_.commands().size();
  matched_ = firstOfAction_;
  Result<> done = step.kind->run(*this, step.words);
  // A device's own tally, for one, goes to the panel at once.
  session_.settle();
  if (done) printPanel();
  return done;
}

void StepRunner::printPanel() {
  const ShownLayouts& layouts = session_.layouts();
  if (layouts.layout() == nullptr) return;
  const PanelView panel = viewPanel(*layouts.layout(), session_.studio().devices(), layouts.shownPanel());
  for (const std::string& line : panelLines(panel)) {
    out_ << "  panel: " << line << '\n';
  }
}
