// panelhost replay: a session recorded in the plug-in's trace, run again
// against a build of the panel on a virtual clock, every command compared
// with the recorded one; --save keeps it as a scenario.
//
// The recorded events are delivered as they were, at their recorded times;
// the host answers each command with the reply recorded for it and carries
// none out, so the simulated studio neither changes nor reports anything.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include <CLI/CLI.hpp>

#include "panelhost/boundary/trace_log.h"
#include "panelhost/log/transcript.h"
#include "panelhost/modes/modes.h"
#include "panelhost/session/host_session.h"
#include "panelhost/support/file_path.h"
#include "panelhost/support/text.h"
#include "panelhost/support/text_file.h"

namespace {

struct ReplayOptions {
  std::string trace;  // the captured debug log
  std::string panel;  // which panel of the log: "ZUV_OZo" or "ZUV_OZo#2"
  std::string save;   // the scenario to write; empty: none
};

// What the panel gives back in a recorded session: a command with its
// reply, or a property answer.
bool isOutput(const TraceRecord& record) { return record.kind == "command" || record.kind == "answer"; }

// One event (or the creation) and what the panel sent back for it.
struct Block {
  const TraceRecord* event;
  std::vector<const TraceRecord*> outputs;
};

// The records in blocks; why not when they cannot be replayed.
Result<std::vector<Block>> blocksOf(const std::vector<TraceRecord>& records) {
  std::vector<Block> blocks;
  if (records.empty() || records.front().kind != "new") {
    return fail("the trace of " + (records.empty() ? std::string("the panel") : records.front().panelId()) +
                " does not start where the panel was created (record 1, \"new\"): the capture must start before "
                "the panel is created");
  }
  std::uint32_t expected = records.front().seq;
  for (const TraceRecord& record : records) {
    if (record.seq != expected) {
      return fail("record " + std::to_string(expected) + " of " + record.panelId() +
                  " is missing from the log (the next one is " + std::to_string(record.seq) + ", line " +
                  std::to_string(record.lineNumber) + ")");
    }
    ++expected;
    if (isOutput(record)) {
      const bool command = record.kind == "command";
      if (record.operands.size() != (command ? 2u : 1u) || (command && !record.operands[0].quoted)) {
        return fail("line " + std::to_string(record.lineNumber) + ": not a " + record.kind + " record: " + record.line);
      }
      blocks.back().outputs.push_back(&record);
    } else {
      blocks.push_back({&record, {}});
    }
  }
  return blocks;
}

// The host's answer recorded for a command: a text, or a plain value.
HostAnswer recordedAnswer(const TraceOperand& reply) {
  HostAnswer answer;
  if (reply.quoted) {
    answer.reply = reply.text;
  } else if (reply.text != "none" && reply.text != "-") {
    answer.value = std::atoi(reply.text.c_str());
  }
  return answer;
}

// Whether the command the build sent is the one recorded (a text the trace
// cut is compared as far as it goes, and by its length).
bool sameCommand(const TraceOperand& recorded, const std::string& sent) {
  if (!recorded.cut) return sent == recorded.text;
  return sent.size() == recorded.length && sent.compare(0, recorded.text.size(), recorded.text) == 0;
}

// The reply as a scenario's "answer" step takes it.
std::string replyWord(const TraceOperand& reply) { return reply.quoted ? traceText(reply.text) : reply.text; }

// The recorded session as a scenario; why not when a text cannot be written
// in a step.
Result<std::string> scenarioOf(const std::vector<Block>& blocks, const std::string& logName) {
  const std::string folder = blocks.front().event->operands.empty() ? "" : blocks.front().event->operands[0].text;
  // A step's text: no control characters, no blank at either end (a step
  // line is trimmed).
  const auto plainLine = [](const std::string& text) {
    for (const char c : text) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    }
    return text.empty() || (text.front() != ' ' && text.back() != ' ');
  };
  std::ostringstream out;
  out << "# The session of " << blocks.front().event->panelId() << " recorded in its trace (" << fileNameOf(logName)
      << "), saved by panelhost replay.\n"
      << "# The host answers each command as the studio did and carries none out; the events come as recorded.\n"
      << "# Start-up: the studio's replies (the layout is shown from this host's folder).\n";
  std::int64_t now = 0;
  for (const Block& block : blocks) {
    const TraceRecord& event = *block.event;
    if (event.kind == "release") continue;  // the host hands back every answer itself
    if (event.kind != "new") {
      out << "\n";
      if (event.ms > now) {
        out << "wait " << (event.ms - now) << "\n";
        now = event.ms;
      }
    }
    for (const TraceRecord* output : block.outputs) {
      if (output->kind != "command") continue;
      const TraceOperand& command = output->operands[0];
      // A command naming the studio's folder is this host's to carry out.
      if (event.kind == "new" && !folder.empty() && command.text.find(folder) != std::string::npos) continue;
      if (command.cut || !plainLine(command.text)) {
        return fail("line " + std::to_string(output->lineNumber) + ": the command cannot be written in a scenario: " +
                    output->line);
      }
      out << "answer " << command.text << " -> " << replyWord(output->operands[1]) << "\n";
    }
    if (event.kind == "new") continue;
    if (event.kind == "delete") {
      out << "close\n";
    } else if (event.kind == "tally" || event.kind == "control") {
      const bool null = event.operands.size() == 1 && event.operands[0].text == "null";
      out << "deliver "
          << (null ? "event " + std::string(event.kind == "tally" ? "1" : "2")
                   : event.line.substr(event.line.find(" . ") + 3))
          << "\n";
    } else {
      out << "deliver " << event.line.substr(event.line.find(" . ") + 3) << "\n";
    }
    for (const TraceRecord* output : block.outputs) {
      const TraceOperand& first = output->operands[0];
      if (output->kind == "answer") {
        if (first.quoted && (first.cut || !plainLine(first.text) || first.text.empty())) {
          return fail("line " + std::to_string(output->lineNumber) + ": the answer cannot be written in a scenario: " +
                      output->line);
        }
        out << "expect-answer " << (first.quoted ? first.text : "none") << "\n";
      } else {
        out << "expect " << first.text << "\n";
      }
    }
    out << "expect-none\n";
  }
  return out.str();
}

ExitStatus runReplay(const HostOptions& options, const ReplayOptions& replay) {
  const Result<std::string> text = readTextFile(replay.trace);
  if (!text) return cannotStart("cannot read trace '" + replay.trace + "': " + text.error());
  const Result<TraceLog> log = readTraceLog(*text, replay.trace);
  if (!log) return cannotStart(log.error());
  const Result<std::vector<TraceRecord>> records = tracePanel(*log, replay.panel);
  if (!records) return cannotStart(records.error());
  const Result<std::vector<Block>> blocks = blocksOf(*records);
  if (!blocks) return cannotStart(blocks.error());
  Result<HostSetup> setup = prepareHost(options);
  if (!setup) return cannotStart(setup.error());
  for (const std::string& note : log->notes) std::cout << "panelhost: note: " << printable(note) << '\n';

  // The panel gets the folder it had in the studio, so that its commands
  // name the same one; its layouts are not read (every command is answered).
  const TraceRecord& created = *blocks->front().event;
  const std::string folder = !options.layouts.empty() || created.operands.empty() || !created.operands[0].quoted
                                 ? setup->layoutFolders.given
                                 : created.operands[0].text;
  Transcript transcript(std::cout, options.replies);
  HostSession session(setup->plugin->loader(), folder, std::move(setup->devices), transcript);
  std::cout << "panelhost: " << options.plugin << " replaying " << created.panelId() << " from " << replay.trace
            << " (" << records->size() << " records)\n";

  std::size_t events = 0;
  std::size_t commandsMatched = 0;
  std::optional<std::string> lastAnswer;
  bool deleted = false;
  for (const Block& block : *blocks) {
    const TraceRecord& event = *block.event;
    for (const TraceRecord* output : block.outputs) {
      if (output->kind == "command" && !output->operands[0].cut) {
        session.answerNext(output->operands[0].text, recordedAnswer(output->operands[1]));
      }
    }
    session.advanceTo(std::max(session.studio().now(), event.ms));
    const std::size_t before = session.commands().size();
    const std::vector<TraceOperand>& o = event.operands;
    const auto operandsAre = [&o](const std::string& shape) {
      if (o.size() != shape.size()) return false;
      for (std::size_t i = 0; i < shape.size(); ++i) {
        if ((shape[i] == 't') != o[i].quoted) return false;
      }
      return true;
    };
    bool answered = false;
    if (event.kind == "new") {
      if (Result<> started = session.start(); !started) return cannotStart(options.plugin + ": " + started.error());
    } else if (event.kind == "control" && operandsAre("ttt")) {
      session.deliverControl(o[0].text, o[1].text, o[2].text);
    } else if (event.kind == "tally" && operandsAre("nnt")) {
      session.deliverTallyEvent(std::atoi(o[0].text.c_str()), std::atoi(o[1].text.c_str()), o[2].text);
    } else if ((event.kind == "tally" || event.kind == "control") && operandsAre("n") && o[0].text == "null") {
      session.deliverUntyped(event.kind == "tally" ? VESK_EVENT_TALLY : VESK_EVENT_CONTROL);
    } else if (event.kind == "timer" && operandsAre("n")) {
      session.deliverTimer(std::atoi(o[0].text.c_str()));
    } else if (event.kind == "property" && operandsAre("t")) {
      lastAnswer = session.property(o[0].text);
      answered = true;
    } else if (event.kind == "release") {
      // The host hands every answer back itself, right after the property.
    } else if (event.kind == "event" && operandsAre("n")) {
      session.deliverUntyped(std::atoi(o[0].text.c_str()));
    } else if (event.kind == "delete") {
      session.stop();
      deleted = true;
    } else {
      return cannotStart(replay.trace + ":" + std::to_string(event.lineNumber) +
                         ": not an event this host can replay: " + printable(event.line));
    }
    if (event.kind != "new") ++events;

    // What the build sent, against what was recorded, in order.
    const std::vector<std::string>& sent = session.commands();
    std::size_t next = before;
    for (std::size_t i = 0; i <= block.outputs.size(); ++i) {
      const TraceRecord* recorded = i < block.outputs.size() ? block.outputs[i] : nullptr;
      std::string differs;
      std::string replayed;
      if (recorded != nullptr && recorded->kind == "answer") {
        const TraceOperand& want = recorded->operands[0];
        const bool same = answered && (want.quoted ? lastAnswer && sameCommand(want, *lastAnswer) : !lastAnswer);
        if (same) continue;
        differs = "the answer";
        replayed = answered ? (lastAnswer ? "answer " + traceText(*lastAnswer) : "answer none") : "(no property)";
      } else if (recorded != nullptr) {
        if (next < sent.size() && sameCommand(recorded->operands[0], sent[next])) {
          ++next;
          ++commandsMatched;
          continue;
        }
        differs = "command " + std::to_string(commandsMatched + 1);
        replayed = next < sent.size() ? "command " + traceText(sent[next]) : "(no further command)";
      } else if (next < sent.size()) {
        differs = "command " + std::to_string(commandsMatched + 1);
        replayed = "command " + traceText(sent[next]);
      } else {
        break;
      }
      std::cout.flush();
      std::cerr << "panelhost: replay differs at " << differs << ", after the event on line " << event.lineNumber
                << ":\n"
                << "  event:    " << printable(event.line) << '\n'
                << "  recorded: " << (recorded != nullptr ? printable(recorded->line) : "(no further command)") << '\n'
                << "  replayed: " << printable(replayed) << '\n';
      return ExitStatus::Failed;
    }
  }
  if (!deleted) {
    std::cout << "panelhost: note: the trace ends before the panel was deleted; deleting it now, unrecorded\n";
    session.stop();
  }
  std::cout.flush();
  if (const ExitStatus status = verdict(session.violations()); status != ExitStatus::Passed) return status;
  std::cout << "panelhost: replay matched " << events << " events and " << commandsMatched << " commands\n";

  if (!replay.save.empty()) {
    const Result<std::string> scenario = scenarioOf(*blocks, replay.trace);
    if (!scenario) return cannotStart("cannot save " + replay.save + ": " + scenario.error());
    std::ofstream file(replay.save, std::ios::binary);
    file << *scenario;
    if (!file.flush()) return cannotStart("cannot write " + replay.save);
    std::cout << "panelhost: saved the session as " << replay.save << '\n';
  }
  return ExitStatus::Passed;
}

}  // namespace

Mode replayMode() {
  return {"replay", "run a session recorded in the plug-in's trace (VESK_TRACE) again, comparing every command",
          [](CLI::App& command) -> Mode::Run {
            auto replay = std::make_shared<ReplayOptions>();
            command.add_option("--trace", replay->trace, "the captured debug log: a viewer's saved file, a "
                                                         "transcript or Wine's debug output")
                ->required()
                ->type_name("FILE");
            command
                .add_option("--panel", replay->panel, "the panel to replay when the log holds several: NAME or NAME#N")
                ->type_name("NAME");
            command.add_option("--save", replay->save, "also write the session as a scenario with its expectations")
                ->type_name("FILE.scenario");
            return [replay](const HostOptions& options) { return runReplay(options, *replay); };
          }};
}
