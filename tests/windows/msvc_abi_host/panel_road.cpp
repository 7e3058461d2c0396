// drivePanels: the host's side of a panel's life, event by event, with the
// commands each event must produce.
#include "host_checks.h"
#include "recording_host.h"
#include "runtime.h"

namespace {

// An event as the host delivers it; which fields count depends on `code`.
struct event {
  int code;
  const char* text;     // 2: panel id; 3: the property message
  const char* control;  // 2: control id
  const char* message;  // 2: the control's message, split by the host
  int device;           // 1
  int index;            // 1: destination; 4: timer id
  const char* tally;    // 1
  bool payload;         // other codes: a payload (some record) or null
};

constexpr event tally(int device, int index, const char* text) {
  return {1, nullptr, nullptr, nullptr, device, index, text, true};
}
constexpr event control(const char* panel, const char* control, const char* message) {
  return {2, panel, control, message, 0, 0, nullptr, true};
}
constexpr event property(const char* message) { return {3, message, nullptr, nullptr, 0, 0, nullptr, true}; }
constexpr event timer(int id) { return {4, nullptr, nullptr, nullptr, 0, id, nullptr, true}; }
constexpr event other(int code, bool payload) { return {code, nullptr, nullptr, nullptr, 0, 0, nullptr, payload}; }

// One event and what must come of it: the commands the host receives, in
// order, and for code 3 the answer block (null: none).
struct road_step {
  const char* name;
  event delivered;
  const char* answer;
  host_call sent[3];
};

// The host's replies: the packager is device 9, the router device 7.
constexpr host_call kStartUp[] = {
    {"SD 'ZIR VESK Packager'", 0},
    {"9 0", 5},
    {"SD 'ZIR SDI Router'", 0},
    {"7 0", 5},
    {"PS '1' 'C:/panels/scr_mons.vesk_ui'", 0},
    {"TP 'button.001=released' '1' 'GrpSelect'", 0},
    {"RR 7 77 79", 0},
    {"RP 7 77 79", 0},
    {nullptr, 0},
};
constexpr host_call kDeletion[] = {{"RU 7", 0}, {"AS", 0}, {nullptr, 0}};
constexpr host_call kNothing[] = {{nullptr, 0}};

// A fresh panel, monitor 1 selected, from its first take to monitor 2.
constexpr road_step kRoad[] = {
    {"take source 5", control("1", "SourceSel", "index=5"), nullptr, {{"RC 9 5 410 ',1' 0", 0}, {"ET 1 250", 0}}},
    {"timer 1 after the take", timer(1), nullptr, {{"ET 1", 0}, {"TP 'index=0' '1' 'SourceSel'", 0}}},
    {"tally of monitor 1", tally(7, 77, "CAM 5"), nullptr, {{"TP 'text=CAM 5' '1' 'VID_1'", 0}}},
    {"group page 2", control("1", "GrpSelect", "index=2"), nullptr, {{"TP 'page=2' '1' 'SourceSel'", 0}}},
    {"monitor 3",
     control("1", "Mon_3", "button.001=pressed"),
     nullptr,
     {{"TP 'statesheet=ZRGroupDeselected' '1' 'BG_Mon1'", 0}, {"TP 'statesheet=ZR_TakeHigh' '1' 'BG_Mon3'", 0}}},
    {"monitor 3 again", control("1", "Mon_3", "button.001=pressed"), nullptr, {}},
    {"take source 12 to monitor 3",
     control("1", "SourceSel", "index=12"),
     nullptr,
     {{"RC 9 12 412 ',1' 0", 0}, {"ET 1 250", 0}}},
    {"source 0", control("1", "SourceSel", "index=0"), nullptr, {}},
    {"source -3", control("1", "SourceSel", "index=-3"), nullptr, {}},
    {"take on panel 2", control("2", "SourceSel", "index=5"), nullptr, {}},
    {"a control the panel does not have", control("1", "Other", "index=5"), nullptr, {}},
    {"timer 7", timer(7), nullptr, {{"ET 7", 0}}},
    {"tally of monitor 3", tally(7, 79, "VT 2"), nullptr, {{"TP 'text=VT 2' '1' 'VID_3'", 0}}},
    {"tally below the monitors", tally(7, 76, "CAM 1"), nullptr, {}},
    {"tally above the monitors", tally(7, 80, "CAM 1"), nullptr, {}},
    {"tally from the packager", tally(9, 78, "CAM 1"), nullptr, {}},
    {"property myParam set", property("myParam=abc"), nullptr, {}},
    {"property return=all", property("return=all"), "myParam=abc", {}},
    {"property return=myParam", property("return=myParam"), "myParam=abc", {}},
    {"property return=instance", property("return=instance"), nullptr, {}},
    {"property instance set", property("instance=cam2"), nullptr, {}},
    {"property _events", property("_events"), "notify=*", {}},
    {"property _commands", property("_commands"), "myParam=[value]", {}},
    {"property myParam by its name part", property("myParam.x=5"), nullptr, {}},
    {"property read after the name part", property("return=all"), "myParam=5", {}},
    {"property unknown", property("colour=red"), nullptr, {}},
    {"code 0", other(0, true), nullptr, {}},
    {"code 6", other(6, true), nullptr, {}},
    {"code 7", other(7, true), nullptr, {}},
    {"code 8", other(8, true), nullptr, {}},
    {"null tally", other(1, false), nullptr, {}},
    {"null control", other(2, false), nullptr, {}},
    {"null property", other(3, false), nullptr, {}},
    {"null answer block", other(5, false), nullptr, {}},
    {"monitor 2",
     control("1", "Mon_2", "button.001=pressed"),
     nullptr,
     {{"TP 'statesheet=ZRGroupDeselected' '1' 'BG_Mon3'", 0}, {"TP 'statesheet=ZR_TakeHigh' '1' 'BG_Mon2'", 0}}},
};

// Splits `text` as the host splits a control's message: the name up to the
// first '.' or '=', '.'-separated sub-fields, the value after the first '='.
// `buffer` (as long as text) receives the pieces; unset entries point at "".
void splitMessage(const char* text, char* buffer, message_parts& parts) {
  static const char kEmpty[] = "";
  parts.command = parts.value = kEmpty;
  for (const char*& sub : parts.sub) sub = kEmpty;
  parts.subCount = 0;
  parts.hasValue = false;
  parts.buffer = buffer;
  memcpy(buffer, text, textLength(text) + 1);
  parts.command = buffer;
  for (char* at = buffer; *at != '\0'; ++at) {
    if (*at == '=') {
      *at = '\0';
      parts.value = at + 1;
      parts.hasValue = true;
      break;
    }
    if (*at == '.') {
      *at = '\0';
      if (parts.subCount < 32) parts.sub[parts.subCount++] = at + 1;
    }
  }
}

// Compares the calls the host received since the last step with `expected`
// (ended by a null text).
void expectCalls(recording_host& host, const char* step, const host_call* expected) {
  const host_call* got = host.take();
  for (int i = 0; expected[i].text != nullptr || got[i].text != nullptr; ++i) {
    if (expected[i].text != nullptr && got[i].text != nullptr && textEqual(expected[i].text, got[i].text) &&
        expected[i].code == got[i].code) {
      continue;
    }
    failure f(step);
    f << "call " << i + 1 << ": expected ";
    if (expected[i].text == nullptr) {
      f << "nothing";
    } else {
      f.quoted(expected[i].text) << " code " << expected[i].code;
    }
    f << ", got ";
    if (got[i].text == nullptr) {
      f << "nothing";
    } else {
      f.quoted(got[i].text) << " code " << got[i].code;
    }
    if (expected[i].text == nullptr || got[i].text == nullptr) return;
  }
}

// What the host hands over for codes 1 and 2, in one block so that a
// write by the plug-in into any of it shows.
struct host_records {
  tally_record tally;
  control_record control;
  message_parts parts;
  char text[64];  // the control's message, split in place
};

// Delivers `step`'s event to `panel` and checks what comes of it: the
// answer and the records always, the commands sent unless `anyCommands`.
void deliver(vesk_client_callback* panel, recording_host& host, const road_step& step, bool anyCommands = false) {
  const event& e = step.delivered;
  host_records records;
  memset(&records, 0xA5, sizeof records);
  void* payload = nullptr;

  switch (e.payload ? e.code : -1) {
    case 1:
      records.tally.device = e.device;
      records.tally.index = e.index;
      memcpy(records.tally.tally, e.tally, textLength(e.tally) + 1);
      payload = &records.tally;
      break;
    case 2:
      splitMessage(e.message, records.text, records.parts);
      records.control.panel = e.text;
      records.control.control = e.control;
      records.control.message = &records.parts;
      payload = &records.control;
      break;
    case 3:
      payload = const_cast<char*>(e.text);
      break;
    case 4:
      payload = reinterpret_cast<void*>(static_cast<intptr_t>(e.index));
      break;
    case -1:
      break;
    default:
      payload = &records;  // some host memory the plug-in must not read
      break;
  }

  host_records before;
  memcpy(&before, &records, sizeof records);
  char* answer = panel->dispatch(payload, e.code);
  if (memcmp(&records, &before, sizeof records) != 0) {
    failure(step.name) << "the plug-in wrote into the host's records";
  }
  if (step.answer == nullptr && answer != nullptr) {
    failure(step.name).quoted(answer) << " answered, expected no answer";
  } else if (step.answer != nullptr && !textEqual(answer, step.answer)) {
    (failure(step.name) << "answered ").quoted(answer) << ", expected " << step.answer;
  }
  // The answer block is the plug-in's: back it goes, with code 5.
  if (answer != nullptr && panel->dispatch(answer, 5) != nullptr) {
    failure(step.name) << "handing the answer back with code 5 answered something";
  }

  if (anyCommands) {
    host.take();
    return;
  }
  host_call expected[4] = {};
  for (int i = 0; i < 3; ++i) expected[i] = step.sent[i];
  expectCalls(host, step.name, expected);
}

// Events any panel must take without breaking the host's rules; what it
// sends for them is its own business. Answers are handed back.
constexpr road_step kAnyRoad[] = {
    {"a control the panel does not have", control("1", "NoSuchControl", "button=pressed"), nullptr, {}},
    {"a control on another panel", control("2", "NoSuchControl", "index=5"), nullptr, {}},
    {"a tally", tally(7, 1, "CAM 1"), nullptr, {}},
    {"a tally from an unknown device", tally(99, 1, "CAM 1"), nullptr, {}},
    {"timer 1", timer(1), nullptr, {}},
    {"code 0", other(0, true), nullptr, {}},
    {"code 6", other(6, true), nullptr, {}},
    {"code 7", other(7, true), nullptr, {}},
    {"code 8", other(8, true), nullptr, {}},
    {"null tally", other(1, false), nullptr, {}},
    {"null control", other(2, false), nullptr, {}},
    {"null property", other(3, false), nullptr, {}},
    {"null answer block", other(5, false), nullptr, {}},
};
constexpr const char* kAnyProperties[] = {"_events", "_commands", "return=all", "no_such_property=1"};

vesk_client_callback* startPanel(load_vesk_client_script_function load, recording_host* host, const char* step) {
  vesk_client_callback* panel = load(host, "C:/panels");
  if (panel == nullptr) failure(step) << "load_vesk_client_script returned null";
  if (host != nullptr) expectCalls(*host, step, kStartUp);
  return panel;
}

}  // namespace

void drivePanels(load_vesk_client_script_function load) {
  recording_host first;
  recording_host second;

  vesk_client_callback* panel = startPanel(load, &first, "start-up");
  if (panel == nullptr) return;
  for (const road_step& step : kRoad) deliver(panel, first, step);

  // A second panel on a second host: each panel sends only to its own host,
  // and keeps its own monitor.
  vesk_client_callback* other = startPanel(load, &second, "second panel start-up");
  if (other == nullptr) return;
  expectCalls(first, "second panel start-up (first host)", kNothing);
  deliver(other, second,
          {"second panel take",
           control("1", "SourceSel", "index=3"),
           nullptr,
           {{"RC 9 3 410 ',1' 0", 0}, {"ET 1 250", 0}}});
  deliver(
      panel, first,
      {"first panel take", control("1", "SourceSel", "index=3"), nullptr, {{"RC 9 3 411 ',1' 0", 0}, {"ET 1 250", 0}}});
  expectCalls(second, "first panel take (second host)", kNothing);

  // Deletion through the table's first slot: "RU", then "AS", then nothing.
  delete panel;
  expectCalls(first, "deletion", kDeletion);
  expectCalls(second, "deletion (second host)", kNothing);
  deliver(other, second, {"second panel tally", tally(7, 78, "CAM 3"), nullptr, {{"TP 'text=CAM 3' '1' 'VID_2'", 0}}});
  expectCalls(first, "after deletion", kNothing);
  delete other;
  expectCalls(second, "second panel deletion", kDeletion);

  // No host: every event works, the answer still comes, nothing is sent.
  vesk_client_callback* alone = startPanel(load, nullptr, "null host start-up");
  if (alone == nullptr) return;
  // (`first` stands for the host in deliver(): it must stay silent.)
  deliver(alone, first, {"null host take", control("1", "SourceSel", "index=5"), nullptr, {}});
  deliver(alone, first, {"null host tally", tally(7, 77, "CAM 5"), nullptr, {}});
  deliver(alone, first, {"null host timer", timer(1), nullptr, {}});
  deliver(alone, first, {"null host property set", property("myParam=x"), nullptr, {}});
  deliver(alone, first, {"null host property read", property("return=all"), "myParam=x", {}});
  delete alone;
  expectCalls(first, "null host deletion", kNothing);
  expectCalls(second, "null host deletion", kNothing);

  if (first.outstandingReplies() + second.outstandingReplies() != 0) {
    failure("replies") << first.outstandingReplies() + second.outstandingReplies()
                       << " reply(s) never handed back with code 5";
  }
}

void driveAnyPanel(load_vesk_client_script_function load) {
  recording_host host;
  vesk_client_callback* panel = load(&host, "C:/panels");
  if (panel == nullptr) {
    failure("start-up") << "load_vesk_client_script returned null";
    return;
  }
  if (host.take()[0].text == nullptr) failure("start-up") << "the panel sent nothing at start-up";
  for (const road_step& step : kAnyRoad) deliver(panel, host, step, true);
  // Properties: any answer goes back with code 5; deliver() checks that an
  // answer is a block the panel takes back without answering again.
  for (const char* message : kAnyProperties) {
    char* answer = panel->dispatch(const_cast<char*>(message), 3);
    if (answer != nullptr && panel->dispatch(answer, 5) != nullptr) {
      failure(message) << "handing the answer back with code 5 answered something";
    }
  }
  host.take();

  // Deletion through the table's first slot ends with "AS".
  delete panel;
  const host_call* calls = host.take();
  int last = -1;
  while (calls[last + 1].text != nullptr) ++last;
  if (last < 0 || !textEqual(calls[last].text, "AS") || calls[last].code != 0) {
    failure("deletion") << "the last command must be \"AS\" code 0";
  }
  if (host.outstandingReplies() != 0) {
    failure("replies") << host.outstandingReplies() << " reply(s) never handed back with code 5";
  }
}
