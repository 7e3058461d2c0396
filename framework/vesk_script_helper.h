// vesk_script_helper: the base class of every script panel. It keeps the
// host's interface, turns the host's numbered events into calls of the
// panel's hooks, and offers the panel one operation per host command.
//
// The base class decodes, the panel decides: a panel overrides the hooks and
// never sees raw event memory. The host sees a panel only as the
// vesk_client_callback inside it (see vesk_boundary.h).
#pragma once

#include "framework/event_records.h"
#include "framework/vesk_boundary.h"
#include "framework/vesk_trace.h"
#include "platform/client_host.h"
#include "platform/vesk_string.h"
#include "platform/vesk_stringlist.h"

class command_text;

class vesk_script_helper : public vesk_client_callback {
 public:
  // Keeps `host` (may be null: every command is then a no-op) and copies
  // `path` (may be null: empty). `name` (static text; null: "panel") names
  // the panel in its trace, which starts here when VESK_TRACE asks for it
  // (vesk_trace.h). A derived panel's constructor runs after this and may
  // already send commands.
  vesk_script_helper(client_host* host, const char* path, const char* name = nullptr);
  // A derived panel's destructor runs first and may still send commands;
  // then "AS" is sent when there is a host.
  virtual ~vesk_script_helper();
  vesk_script_helper(const vesk_script_helper&) = delete;
  vesk_script_helper& operator=(const vesk_script_helper&) = delete;

  // One host event; what reaches the host through slot 1 of the table.
  //   1 tally_record*     -> onRevertive          (null payload: no hook)
  //   2 control_record*   -> alarm check, onButton (null payload: no hook)
  //   3 const char*       -> onParentRequest; a non-empty answer is returned
  //                          in a new block of length + 1 bytes
  //   4 the timer id      -> onTimer(id)
  //   5 answer block      -> freed when it is one this panel returned and
  //                          has not had back; anything else (null, a
  //                          block handed back twice, a host's own pointer)
  //                          is left alone
  //   6, 7 anything       -> onEvent6, onEvent7
  // Returns null except for a non-empty answer to code 3; other codes do
  // nothing.
  char* dispatch(void* payload, int code);

  // Answer blocks a host may hold at once: with this many out and not yet
  // handed back with code 5, code 3 answers null until one comes back.
  static constexpr int kMaxAnswerBlocksOut = 8;

  // Writes the trace's "delete" record; slot 0 calls it before it destroys
  // the panel, so that the record comes before the panel's last commands.
  void noteDeletion();

  // Host commands. Each builds the whole command text and sends it with code
  // 0 in one call; with no host nothing is sent. Text operands go out byte for
  // byte, with no quoting or escaping.

  // "TP '<text>' '<panel>' '<control>'"
  void textSet(const vesk_string& text, const vesk_string& panel, const vesk_string& control);
  // "TP '<key>=<value>' '<panel>' '<control>'"
  void textSet(const vesk_string& key, const vesk_string& value, const vesk_string& panel,
               const vesk_string& control);
  // "TG '<panel>' '<control>' '<key>'". `result` gets the value from the
  // reply "<key>=<value>", or the whole reply when `key` is "all". The empty
  // text with no host, no reply, or a reply for another key (which also
  // writes one diagnostic line).
  void textGet(const vesk_string& key, const vesk_string& panel, const vesk_string& control,
               vesk_string& result);
  // "PS '<panel>' '<panelPath>/<file>'" ("PS '<panel>' '<file>'" when
  // panelPath is empty), then " '<args>'" when args is not empty. True when
  // the host answers non-zero, or when there is no host; false, with nothing
  // sent, when the heap could not hold the folder or the command.
  bool openPanel(const vesk_string& panel, const vesk_string& file, const vesk_string& args);
  // "SD '<name>'". Sets *device and *second (either may be null) from the
  // reply's tokens 0 and 1 read as atoi does (0 without one), or to 0 with no
  // host or no reply. True when a reply came.
  bool lookupDevice(vesk_string name, int* device, int* second);
  // "XI '<panel>' '<filter>'". The comma-separated control names of the
  // reply; the empty list with no host or no reply.
  vesk_stringlist controlList(const vesk_string& panel, const vesk_string& filter);
  // "RC <device> <source> <dest> ',<field>' <1 or 0>"
  void makeRoute(int device, int source, int dest, const vesk_string& field, bool flag);
  // "RR <device> <first> <last>", with " 'ADD'" appended when `add`.
  void registerRoutes(int device, int first, int last, bool add);
  // "RP <device> <first> <last>"
  void pollRoutes(int device, int first, int last);
  // "RU <device>"
  void unregisterRoutes(int device);
  // "ET <id> <interval>" (milliseconds); "ET <id>" when interval is 0.
  void armTimer(int id, int interval);
  // "ET <id>"
  void cancelTimer(int id);

  // Writes `format` with its markers "%1".."%9" filled from a1..a9 (the
  // lowest marker present gets a1, the next a2, ...) to the system debug
  // output as one line: no prefix, no newline, no level. Arguments are
  // inserted byte for byte and never scanned for markers themselves.
  void debugPrint(const vesk_string& format, const vesk_string& a1 = vesk_string(),
                  const vesk_string& a2 = vesk_string(), const vesk_string& a3 = vesk_string(),
                  const vesk_string& a4 = vesk_string(), const vesk_string& a5 = vesk_string(),
                  const vesk_string& a6 = vesk_string(), const vesk_string& a7 = vesk_string(),
                  const vesk_string& a8 = vesk_string(), const vesk_string& a9 = vesk_string());

  // Gives every alarm control of panel "1" (those the host lists for the
  // filter "alm_") the alarm state `state`, or acknowledges them all when the
  // state is "ack" or "4". See alarm_action.cpp for the commands.
  void actionAlarms(const vesk_string& state);

 protected:
  // Hooks, called by dispatch only. The records live for the call.
  virtual void onButton(button_event* event) = 0;            // code 2
  virtual int onRevertive(revertive_event* event) = 0;       // code 1; result ignored
  virtual vesk_string onParentRequest(parent_request* request) = 0;  // code 3; empty: no answer
  virtual void onEvent7(script_event* event);                // code 7; does nothing
  virtual void onTimer(int id) = 0;                          // code 4
  virtual void onEvent6(script_event* event);                // code 6; does nothing

  client_host* host;        // not owned; may be null
  vesk_string panelPath;    // put before layout file names by openPanel
  // When true, "ActionAll" with message command "alarm" and every "AckAll"
  // are handled by actionAlarms instead of reaching onButton. Set only by a
  // panel that wants it.
  bool alarmsEnabled;

 private:
  // Sends `command` with code 0 and returns the host's result (0 with no
  // host).
  std::intptr_t send(const char* command);
  // Sends `command` when it is whole; a command the heap could not hold
  // whole is dropped with one debug line and gives 0, as no reply does.
  std::intptr_t send(const command_text& command);
  // Hands a reply from send back to the host.
  void release(std::intptr_t reply);
  // Handles "ActionAll"/"AckAll" when alarms are enabled; true when it did.
  bool alarmCheck(const button_event& event);
  // Code 3: the answer in a new block, remembered until the host hands it
  // back; null for an empty answer or when no block can be had.
  char* answerBlock(const vesk_string& answer);
  // Code 5: frees `block` if it is a remembered answer block.
  void releaseAnswerBlock(char* block);
  // Trace records, written only while trace_.on().
  void traceEvent(const void* payload, int code);
  void traceAnswer(const char* block);
  void traceCommand(const char* command, std::intptr_t reply);

  // False when the heap could not hold the folder given at creation:
  // openPanel then sends no "PS" rather than one without the folder.
  bool panelPathHeld_;
  // Answer blocks returned for code 3 and not yet handed back with code 5.
  // Null entries are free.
  char* answerBlocks_[kMaxAnswerBlocksOut] = {};
  // The panel's trace; off unless VESK_TRACE asked for it at creation.
  vesk_trace trace_;
};
