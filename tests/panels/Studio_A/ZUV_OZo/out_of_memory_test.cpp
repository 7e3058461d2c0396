// The panel when the heap runs out: along each path, every allocation the
// plug-in makes is failed in turn. Whatever fails, each command that goes out
// is one the panel sends with memory (in the same order), every reply is
// handed back once, nothing leaks, and a command that is dropped leaves a
// debug line behind.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hostside/allocation_counter.h"
#include "hostside/host_records.h"
#include "panels/Studio_A/ZUV_OZo/export.h"
#include "tests/support/debug_capture.h"
#include "tests/support/probe_panel.h"
#include "tests/support/recording_host.h"

namespace {

using Strings = std::vector<std::string>;

// Texts long enough to need the heap wherever they are copied or sent.
const std::string kLong(70, 'x');
const std::string kFolder = "C:/panels/" + kLong;
const std::string kAlarm1 = "alm_1" + kLong;
const std::string kAlarm2 = "alm_2" + kLong;

// Which "SD" look-ups the host answers.
enum class Devices { Both, NoPackager, NoRouter, None };

// A host and the panel it holds, with the host's ways of reaching the panel.
struct Studio {
  explicit Studio(Devices devices) {
    if (devices == Devices::Both || devices == Devices::NoRouter) host.answer("SD 'ZIR VESK Packager'", "9 0");
    if (devices == Devices::Both || devices == Devices::NoPackager) host.answer("SD 'ZIR SDI Router'", "7 0");
    host.answer("XI '1' 'alm_'", (kAlarm1 + "," + kAlarm2).c_str());
    host.answer("TG '1' '" + kAlarm1 + "' 'value'", "value=1");
    host.answer("TG '1' '" + kAlarm2 + "' 'value'", "value=3");
  }
  ~Studio() { close(); }

  void open() { panel = load_vesk_client_script(host.asHost(), kFolder.c_str()); }
  void openAlarmPanel() {
    auto* probe = new ProbePanel(host.asHost(), kFolder.c_str());
    probe->enableAlarms();
    panel = probe;
  }
  void close() {
    if (panel != nullptr) veskDelete(panel);
    panel = nullptr;
  }
  void control(const char* controlId, const std::string& message) {
    std::unique_ptr<ControlPayload> payload;
    {
      const NothrowAllocationPause hostSide;  // the host splits the message, not the panel
      payload = std::make_unique<ControlPayload>("1", controlId, message.c_str());
    }
    EXPECT_EQ(veskDispatch(panel, payload->get(), 2), nullptr);
  }
  void tally(int index, const std::string& text) {
    TallyPayload payload(7, index, text);
    EXPECT_EQ(veskDispatch(panel, payload.get(), 1), nullptr);
  }
  void timer(int id) { EXPECT_EQ(veskDispatch(panel, reinterpret_cast<void*>(std::intptr_t{id}), 4), nullptr); }
  void property(const std::string& message) {
    char* block = veskDispatch(panel, const_cast<char*>(message.c_str()), 3);
    if (block != nullptr) veskDispatch(panel, block, 5);
  }

  RecordingHost host;
  vesk_client_callback* panel = nullptr;
};

struct Path {
  const char* name;
  std::function<void(Studio&)> before;  // with memory
  std::function<void(Studio&)> path;    // where allocations fail
  std::size_t allocations;              // the plug-in's, along `path` with memory
  // Hosts whose runs with memory give the commands allowed; a failed
  // look-up reads as a look-up the host did not answer.
  std::vector<Devices> allowed = {Devices::Both};
};

const Path kPaths[] = {
    {"start-up", [](Studio&) {}, [](Studio& s) { s.open(); },
     // the panel, its folder, two device replies, "PS"
     5, {Devices::Both, Devices::NoPackager, Devices::NoRouter, Devices::None}},
    {"take", [](Studio& s) { s.open(); }, [](Studio& s) { s.control("SourceSel", "index=5" + kLong); },
     1},  // the value
    {"timer tick", [](Studio& s) { s.open(); s.control("SourceSel", "index=5"); }, [](Studio& s) { s.timer(1); }, 0},
    {"tally of 50 bytes", [](Studio& s) { s.open(); }, [](Studio& s) { s.tally(78, std::string(50, 't')); },
     1},  // the command
    {"tally of 70 bytes", [](Studio& s) { s.open(); }, [](Studio& s) { s.tally(78, kLong); }, 2},
    {"monitor change", [](Studio& s) { s.open(); }, [](Studio& s) { s.control("Mon_2", "button=pressed"); }, 0},
    {"group paging", [](Studio& s) { s.open(); }, [](Studio& s) { s.control("GrpSelect", "page=" + kLong); },
     2},  // the value, the command
    {"property set and read", [](Studio& s) { s.open(); },
     [](Studio& s) {
       s.property("myParam=" + kLong);
       s.property("return=all");
     },
     // parse and value of the set; parse, answer text, list item, joined
     // answer and answer block of the read
     7},
    {"alarm action", [](Studio& s) { s.openAlarmPanel(); }, [](Studio& s) { s.control("AckAll", "AckAll"); },
     // the reply and its two names; per control "TP alarm" and "TG"; "TP
     // value" for the first
     8},
    {"deletion", [](Studio& s) { s.open(); }, [](Studio& s) { s.close(); }, 0},
};

struct Outcome {
  Strings commands;
  std::size_t allocations = 0;
  std::size_t debugLines = 0;
  bool panel = false;
};

// One run of `p` against a host answering `devices`, failing the `fail`-th
// allocation along the path (0: none). The host checks that every reply came
// back once.
Outcome runPath(const Path& p, Devices devices, std::size_t fail) {
  Outcome run;
  {
    Studio studio(devices);
    p.before(studio);
    studio.host.clear();
    const DebugCapture debug;
    const std::size_t before = nothrowAllocationCount();
    failNothrowAllocation(fail);
    p.path(studio);
    failNothrowAllocation(0);
    run.allocations = nothrowAllocationCount() - before;
    run.commands = studio.host.commands();
    run.debugLines = debug.lines().size();
    run.panel = studio.panel != nullptr;
  }
  return run;
}

// True when `part` is `whole` with some commands left out.
bool isSubsequence(const Strings& part, const Strings& whole) {
  std::size_t at = 0;
  for (const std::string& command : whole) {
    if (at < part.size() && part[at] == command) ++at;
  }
  return at == part.size();
}

std::string joined(const Strings& commands) {
  std::string text;
  for (const std::string& command : commands) text += "\n  " + command;
  return text;
}

TEST(ZuvOzoOutOfMemory, EveryCommandIsWholeOrNotSent) {
  for (const Path& p : kPaths) {
    SCOPED_TRACE(p.name);
    const Outcome full = runPath(p, Devices::Both, 0);
    EXPECT_EQ(full.allocations, p.allocations);
    std::vector<Strings> allowed;
    for (Devices devices : p.allowed) allowed.push_back(runPath(p, devices, 0).commands);

    for (std::size_t n = 1; n <= full.allocations; ++n) {
      SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
      const std::size_t live = liveAllocations();
      {
        const Outcome run = runPath(p, Devices::Both, n);
        bool known = false;
        for (const Strings& commands : allowed) known = known || isSubsequence(run.commands, commands);
        EXPECT_TRUE(known) << "sent:" << joined(run.commands);
        // A panel that could not be made is told by the export's null.
        if (run.commands != full.commands && run.panel) {
          EXPECT_GT(run.debugLines, 0u) << "a command was dropped without a word:" << joined(run.commands);
        }
      }
      EXPECT_EQ(liveAllocations(), live) << "blocks leaked";
    }
  }
}

// The measured fault: a 60-byte tally once went out as "TP '' '1' 'VID_2'".
TEST(ZuvOzoOutOfMemory, ADroppedCommandIsNamedInTheDebugOutput) {
  Studio studio(Devices::Both);
  studio.open();
  studio.host.clear();
  const DebugCapture debug;
  failNothrowAllocation(1);
  studio.tally(78, std::string(60, 't'));
  failNothrowAllocation(0);
  EXPECT_EQ(studio.host.commands(), Strings{});
  EXPECT_EQ(debug.lines(), Strings{"TP command not sent: out of memory"});
}

}  // namespace
