// The step table: each step's name, operands, help line and handler, and
// what the handlers share.
#include "panelhost/steps/step_runner.h"

#include <charconv>

#include "panelhost/boundary/trace_log.h"
#include "panelhost/support/text.h"
#include "panelhost/view/panel_view.h"

namespace {

std::optional<int> toInt(const std::string& word) {
  int value = 0;
  const char* end = word.data() + word.size();
  auto [stop, failure] = std::from_chars(word.data(), end, value);
  if (failure != std::errc() || stop != end || word.empty()) return std::nullopt;
  return value;
}

using Operands = StepKind::Operands;

struct GivenAnswer {
  std::string command;
  HostAnswer answer;
};

// "<command> -> <reply>": the command as "expect" takes it, the reply as the
// trace writes it (none, -, a number, or a text in apostrophes). The command
// ends at the last " -> " that leaves a whole reply after it.
Result<GivenAnswer> givenAnswer(const std::string& line) {
  const std::string arrow = " -> ";
  std::string why = "an answer is written <command> -> <reply>";
  for (size_t at = line.rfind(arrow); at != std::string::npos && at > 0; at = line.rfind(arrow, at - 1)) {
    const Result<TraceRecord> reply = readTraceRecord("reply " + line.substr(at + arrow.size()));
    if (!reply || reply->operands.size() != 1) {
      why = "the reply must be none, -, a number or a 'text' written as in the trace";
      continue;
    }
    const TraceOperand& operand = reply->operands.front();
    GivenAnswer given{line.substr(0, at), {}};
    if (operand.quoted) {
      if (operand.cut) return fail("a reply cut short in the trace cannot be given");
      given.answer.reply = operand.text;
    } else if (operand.text != "none" && operand.text != "-") {
      const std::optional<int> value = toInt(operand.text);
      if (!value) {
        why = "the reply must be none, -, a number or a 'text' written as in the trace";
        continue;
      }
      given.answer.value = *value;
    }
    return given;
  }
  return fail(why);
}

// The operands of a recorded event: `quoted` says, for each, whether it is
// a text; numbers are read into `numbers` in order.
bool eventOperands(const TraceRecord& record, const std::string& quoted, std::vector<int>& numbers) {
  if (record.operands.size() != quoted.size()) return false;
  for (size_t i = 0; i < quoted.size(); ++i) {
    const TraceOperand& operand = record.operands[i];
    if ((quoted[i] == 't') != operand.quoted || operand.cut) return false;
    if (quoted[i] == 'n') {
      const std::optional<int> n = toInt(operand.text);
      if (!n) return false;
      numbers.push_back(*n);
    }
  }
  return true;
}

}  // namespace

const StepTable& StepRunner::steps() {
  using R = StepRunner;
  using W = Words;
  static const StepTable kSteps = {
      {"help", "", "list the steps", Operands::Words, 0, 0, "", false,
       [](R& r, const W&) -> Result<> {
         r.out_ << stepHelp(steps());
         return Done{};
       }},
      // Read by the run mode before the panel starts (scenario_mode.cpp);
      // anywhere else it is too late to choose the studio.
      {"studio", "<table> [<layouts>]",
       "a scenario's first step: the studio table (and layout folder)\n"
       "it runs against, relative to the scenario, e.g. studio ../studio.json",
       Operands::Words, 1, 2, "", false,
       [](R&, const W&) -> Result<> {
         return fail("studio is only a scenario's first step, before the panel starts");
       }},
      {"press", "[<panel>/]<control> [<message>]",
       "work a control, e.g. press SourceSel 5\n"
       "(a list takes a source number, a group selector\n"
       "a page number, a button its layout message)",
       Operands::Words, 1, 2, "", true,
       [](R& r, const W& w) -> Result<> {
         ControlPress press{w[0], w.size() > 1 ? w[1] : "", std::nullopt, true};
         const size_t slash = press.control.find('/');
         if (slash != std::string::npos) {
           press.panel = press.control.substr(0, slash);
           press.control.erase(0, slash + 1);
         }
         (void)r.session_.press(press);  // a refusal is in the transcript
         return Done{};
       }},
      {"tally", "<device> <index> <text>", "a device reports a tally", Operands::Words, 3, 3, "dn*", true,
       [](R& r, const W& w) -> Result<> {
         const std::optional<int> device = r.deviceNumber(w[0]);
         const std::optional<int> index = toInt(w[1]);
         if (!device || !index) return fail("no device " + quoted(w[0]) + ", or " + quoted(w[1]) + " is not a number");
         r.session_.studio().deviceTally(*device, *index, w[2]);
         return Done{};
       }},
      {"route", "<device> <source> <dest>", "a route made from outside the panel", Operands::Words, 3, 3, "dnn", true,
       [](R& r, const W& w) -> Result<> {
         const std::optional<int> device = r.deviceNumber(w[0]);
         const std::optional<int> source = toInt(w[1]);
         if (!device || !source) return fail("no device " + quoted(w[0]) + ", or " + quoted(w[1]) + " is not a number");
         const std::optional<int> dest = toInt(w[2]);
         if (!dest) return fail(quoted(w[2]) + " is not a destination number");
         r.session_.studio().deviceRoute(*device, *source, *dest);
         return Done{};
       }},
      {"wait", "<ms>", "let the clock run on", Operands::Words, 1, 1, "m", true,
       [](R& r, const W& w) -> Result<> {
         const std::optional<int> ms = toInt(w[0]);
         if (!ms || *ms < 0) return fail("wait takes milliseconds, not " + quoted(w[0]));
         if (r.wait_) {
           r.wait_(*ms);
         } else {
           r.session_.advanceTo(r.session_.studio().now() + *ms);
         }
         return Done{};
       }},
      {"property", "<message>", "an enclosing panel sets or asks, e.g. return=all", Operands::Words, 1, 1, "", true,
       [](R& r, const W& w) -> Result<> {
         r.answer_ = r.session_.property(w[0]);
         r.asked_ = true;
         return Done{};
       }},
      {"answer", "<command> -> <reply>",
       "the next <command> the panel sends is answered\n"
       "<reply> and not carried out: none, -, a number,\n"
       "or a 'text' written as in the trace (at the top\n"
       "of a scenario: from the panel's creation on)",
       Operands::RestOfLine, 1, 1, "", false,
       [](R& r, const W& w) -> Result<> {
         Result<GivenAnswer> given = givenAnswer(w[0]);
         if (!given) return given.failure();
         r.session_.answerNext(given->command, given->answer);
         return Done{};
       }},
      {"deliver", "<event>",
       "an event delivered as a trace records it:\n"
       "control '<panel>' '<control>' '<message>',\n"
       "tally <device> <index> '<text>', timer <id>,\n"
       "property '<message>', event <code> (no payload)",
       Operands::RestOfLine, 1, 1, "", true,
       [](R& r, const W& w) -> Result<> {
         const Result<TraceRecord> event = readTraceRecord(w[0]);
         if (!event) return fail("not an event as the trace writes it: " + event.error());
         const std::vector<TraceOperand>& o = event->operands;
         std::vector<int> n;
         if (event->kind == "control" && eventOperands(*event, "ttt", n)) {
           r.session_.deliverControl(o[0].text, o[1].text, o[2].text);
         } else if (event->kind == "tally" && eventOperands(*event, "nnt", n)) {
           r.session_.deliverTallyEvent(n[0], n[1], o[2].text);
         } else if (event->kind == "timer" && eventOperands(*event, "n", n)) {
           r.session_.deliverTimer(n[0]);
         } else if (event->kind == "property" && eventOperands(*event, "t", n)) {
           r.answer_ = r.session_.property(o[0].text);
           r.asked_ = true;
         } else if (event->kind == "event" && eventOperands(*event, "n", n)) {
           r.session_.deliverUntyped(n[0]);
         } else {
           return fail("deliver takes control '<panel>' '<control>' '<message>', tally <device> <index> '<text>', "
                       "timer <id>, property '<message>' or event <code>, not " + quoted(w[0]));
         }
         return Done{};
       }},
      {"close", "", "delete the panel", Operands::Words, 0, 0, "", true,
       [](R& r, const W&) -> Result<> {
         r.session_.stop();
         return Done{};
       }},
      {"show", "", "print the panel and the devices", Operands::Words, 0, 0, "", false,
       [](R& r, const W&) -> Result<> {
         r.printPanel();
         for (const std::string& line : deviceLines(viewDevices(r.session_.studio().devices()))) {
           r.out_ << "  devices: " << line << '\n';
         }
         return Done{};
       }},
      {"expect", "<command>", "the next command sent must be this", Operands::RestOfLine, 1, 1, "", false,
       [](R& r, const W& w) -> Result<> {
         const std::vector<std::string>& commands = r.session_.commands();
         if (r.matched_ >= commands.size()) {
           return fail("expected " + quoted(w[0]) + ", but no further command was sent" + r.unmatchedCommands());
         }
         if (commands[r.matched_] != w[0]) {
           return fail("expected " + quoted(w[0]) + ", but the next command was " + quoted(commands[r.matched_]) +
                       r.unmatchedCommands());
         }
         ++r.matched_;
         return Done{};
       }},
      {"expect-none", "", "no further command was sent", Operands::Words, 0, 0, "", false,
       [](R& r, const W&) -> Result<> {
         const std::vector<std::string>& commands = r.session_.commands();
         if (r.matched_ < commands.size()) {
           return fail("expected no further command, but " + quoted(commands[r.matched_]) + " was sent");
         }
         return Done{};
       }},
      {"expect-answer", "<text> | none", "the last property answer", Operands::RestOfLine, 1, 1, "", false,
       [](R& r, const W& w) -> Result<> {
         if (!r.asked_) return fail("no property was asked for yet");
         const std::string got = r.answer_ ? quoted(*r.answer_) : "none";
         const std::string wanted = w[0] == "none" ? "none" : quoted(w[0]);
         if (got != wanted) return fail("expected the answer " + wanted + ", got " + got);
         return Done{};
       }},
      {"expect-property", "<control> <key> <value>", "a control property", Operands::WordsJoinLast, 3, 3, "", false,
       [](R& r, const W& w) -> Result<> {
         const PanelLayout* layout = r.session_.layouts().layout();
         const LayoutControl* control = layout != nullptr ? layout->find(w[0]) : nullptr;
         if (control == nullptr) return fail("the shown layout has no control " + quoted(w[0]));
         const auto value = control->properties.find(w[1]);
         const std::string got = value == control->properties.end() ? "(not set)" : quoted(value->second);
         if (got != quoted(w[2])) return fail("expected " + w[0] + " " + w[1] + " " + quoted(w[2]) + ", got " + got);
         return Done{};
       }},
      {"expect-crosspoint", "<device> <dest> <source>", "", Operands::Words, 3, 3, "dnn", false,
       [](R& r, const W& w) -> Result<> {
         const std::optional<int> device = r.deviceNumber(w[0]);
         const std::optional<int> dest = toInt(w[1]);
         const std::optional<int> source = toInt(w[2]);
         if (!device || !dest || !source) {
           return fail("expect-crosspoint takes a device, a destination and a source number");
         }
         const Device* d = r.session_.studio().devices().byNumber(*device);
         const auto routed = d->crosspoints.find(*dest);
         const std::string got = routed == d->crosspoints.end() ? "nothing" : std::to_string(routed->second);
         if (got != std::to_string(*source)) {
           return fail("expected " + d->name + " destination " + w[1] + " to take " + w[2] + ", it takes " + got);
         }
         return Done{};
       }},
      {"expect-tally", "<device> <dest> <text>", "what a destination shows, through tie lines", Operands::WordsJoinLast,
       3, 3, "dn*", false,
       [](R& r, const W& w) -> Result<> {
         const std::optional<int> device = r.deviceNumber(w[0]);
         const std::optional<int> dest = toInt(w[1]);
         if (!device || !dest) return fail("expect-tally takes a device and a destination number");
         const std::string shown = r.session_.studio().devices().tallyText(*device, *dest);
         if (shown != w[2]) {
           return fail("expected " + w[0] + " destination " + w[1] + " to show " + quoted(w[2]) + ", it shows " +
                       quoted(shown));
         }
         return Done{};
       }},
  };
  return kSteps;
}

std::optional<int> StepRunner::deviceNumber(const std::string& word) const {
  if (const Device* d = session_.studio().devices().byName(word)) return d->number;
  const std::optional<int> number = toInt(word);
  if (number && session_.studio().devices().byNumber(*number) != nullptr) return number;
  return std::nullopt;
}

std::string StepRunner::unmatchedCommands() const {
  const std::vector<std::string>& commands = session_.commands();
  if (firstOfAction_ >= commands.size()) return " (the last action sent nothing)";
  std::string list = " (the last action sent:";
  for (size_t i = firstOfAction_; i < commands.size(); ++i) list += " " + quoted(commands[i]);
  return list + ")";
}
