// vesk_script_helper's host commands: building each command text, sending
// it, and reading the replies.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/internal/command_text.h"
#include "framework/decode_vesk_string.h"
#include "framework/internal/marker_text.h"
#include "framework/vesk_script_helper.h"
#include "platform/debug_output.h"

namespace {

// Room for a numeric command with any int operands: "RR" and three numbers
// of up to 11 characters, blanks and " 'ADD'" come to 44 bytes and the zero.
constexpr std::size_t kNumericCommandSize = 64;

// A reply token read by atoi's rules (leading white space, optional sign,
// digits up to the first non-digit, 0 without digits), saturating instead of
// overflowing.
int tokenValue(const char* token) {
  const long long value = std::strtoll(token, nullptr, 10);
  if (value > 2147483647LL) return 2147483647;
  if (value < -2147483647LL - 1) return -2147483647 - 1;
  return static_cast<int>(value);
}

// Names in a non-empty comma-separated list: one more than its commas.
unsigned namesIn(const char* list) {
  unsigned names = 1;
  for (const char* c = list; *c != '\0'; ++c) names += *c == ',' ? 1 : 0;
  return names;
}

}  // namespace

std::intptr_t vesk_script_helper::send(const char* command) {
  if (host == nullptr) return 0;
  const std::intptr_t reply = host->hostCommand(command, VESK_HOST_COMMAND);
  if (trace_.on()) traceCommand(command, reply);
  return reply;
}

std::intptr_t vesk_script_helper::send(const command_text& command) {
  if (host == nullptr) return 0;
  if (!command.whole()) {
    // What is left of the text could mean something else to the host.
    debugPrint("%1 command not sent: out of memory", command.verb());
    return 0;
  }
  return send(static_cast<const char*>(command));
}

void vesk_script_helper::release(std::intptr_t reply) {
  host->hostCommand(reinterpret_cast<const char*>(reply), VESK_HOST_RELEASE_REPLY);
}

void vesk_script_helper::textSet(const vesk_string& text, const vesk_string& panel,
                                 const vesk_string& control) {
  if (host == nullptr) return;
  send(quotedCommand("TP", {&text, &panel, &control}));
}

void vesk_script_helper::textSet(const vesk_string& key, const vesk_string& value,
                                 const vesk_string& panel, const vesk_string& control) {
  if (host == nullptr) return;
  command_text command("TP");
  send(command.append(" '", key, "=", value, "' '", panel, "' '", control, "'"));
}

void vesk_script_helper::textGet(const vesk_string& key, const vesk_string& panel,
                                 const vesk_string& control, vesk_string& result) {
  if (host == nullptr) {
    result = "";
    return;
  }
  const std::intptr_t reply = send(quotedCommand("TG", {&panel, &control, &key}));
  if (reply == 0) {
    result = "";
    return;
  }
  const char* const replyText = reinterpret_cast<const char*>(reply);
  const vesk_string whole(replyText);
  const bool copied = whole.length() == std::strlen(replyText);
  release(reply);
  if (!copied) {
    debugPrint("TG reply for control \"%1\" not read: out of memory", control);
    result = "";
    return;
  }

  if (key == "all") {
    result = whole;
    return;
  }
  vesk_string left;
  vesk_string value;
  whole.split('=', left, value);
  if (left == key) {
    result = value;
    return;
  }
  debugPrint("textGet: value returned \"%1\" was not the value requested \"%2\" (value returned was "
             "\"%3\" from control \"%4\", on panel \"%5\")",
             left, key, whole, control, panel);
  result = "";
}

bool vesk_script_helper::openPanel(const vesk_string& panel, const vesk_string& file,
                                   const vesk_string& args) {
  if (host == nullptr) return true;
  if (!panelPathHeld_) {
    debugPrint("PS command not sent: out of memory");
    return false;
  }
  command_text command("PS");
  command.append(" '", panel, "' '");
  if (panelPath.length() > 0) command.append(panelPath, "/");
  command.append(file, "'");
  if (args.length() > 0) command.append(" '", args, "'");
  return send(command) != 0;
}

bool vesk_script_helper::lookupDevice(vesk_string name, int* device, int* second) {
  if (device != nullptr) *device = 0;
  if (second != nullptr) *second = 0;
  if (host == nullptr) return false;
  const std::intptr_t reply = send(quotedCommand("SD", {&name}));
  if (reply == 0) return false;
  bool read = true;
  {
    const char* const replyText = reinterpret_cast<const char*>(reply);
    const decodeVESKString tokens(replyText, '\'');
    // No buffer for a reply that has text: the heap could not hold its copy,
    // and the look-up fails as if no reply had come.
    read = tokens.buffer != nullptr || replyText[0] == '\0';
    if (read && device != nullptr) *device = tokenValue(tokens.tokens[0]);
    if (read && second != nullptr) *second = tokenValue(tokens.tokens[1]);
  }
  release(reply);
  return read;
}

vesk_stringlist vesk_script_helper::controlList(const vesk_string& panel, const vesk_string& filter) {
  if (host == nullptr) return vesk_stringlist();
  const std::intptr_t reply = send(quotedCommand("XI", {&panel, &filter}));
  if (reply == 0) return vesk_stringlist();
  const char* const replyText = reinterpret_cast<const char*>(reply);
  vesk_stringlist names(vesk_string(replyText), ',');
  // A name the heap could not hold is dropped from the list; a list short of
  // a name reads as no list, so that nothing acts on a part of it.
  const bool whole = replyText[0] == '\0' || names.count() == namesIn(replyText);
  release(reply);
  if (whole) return names;
  debugPrint("XI reply for \"%1\" not read: out of memory", filter);
  return vesk_stringlist();
}

void vesk_script_helper::makeRoute(int device, int source, int dest, const vesk_string& field,
                                   bool flag) {
  if (host == nullptr) return;
  command_text command("RC");
  send(command.append(" ", device, " ", source, " ", dest, " ',", field, flag ? "' 1" : "' 0"));
}

void vesk_script_helper::registerRoutes(int device, int first, int last, bool add) {
  if (host == nullptr) return;
  char command[kNumericCommandSize];
  std::snprintf(command, sizeof command, add ? "RR %d %d %d 'ADD'" : "RR %d %d %d", device, first, last);
  send(command);
}

void vesk_script_helper::pollRoutes(int device, int first, int last) {
  if (host == nullptr) return;
  char command[kNumericCommandSize];
  std::snprintf(command, sizeof command, "RP %d %d %d", device, first, last);
  send(command);
}

void vesk_script_helper::unregisterRoutes(int device) {
  if (host == nullptr) return;
  char command[kNumericCommandSize];
  std::snprintf(command, sizeof command, "RU %d", device);
  send(command);
}

void vesk_script_helper::armTimer(int id, int interval) {
  if (host == nullptr) return;
  char command[kNumericCommandSize];
  if (interval == 0) {
    std::snprintf(command, sizeof command, "ET %d", id);
  } else {
    std::snprintf(command, sizeof command, "ET %d %d", id, interval);
  }
  send(command);
}

void vesk_script_helper::cancelTimer(int id) { armTimer(id, 0); }

void vesk_script_helper::debugPrint(const vesk_string& format, const vesk_string& a1,
                                    const vesk_string& a2, const vesk_string& a3,
                                    const vesk_string& a4, const vesk_string& a5,
                                    const vesk_string& a6, const vesk_string& a7,
                                    const vesk_string& a8, const vesk_string& a9) {
  const vesk_string* const args[] = {&a1, &a2, &a3, &a4, &a5, &a6, &a7, &a8, &a9};
  const vesk_string line = fillMarkers(format, args, 9);
  vesk_debug_output(line);
}
