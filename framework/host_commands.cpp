// vesk_script_helper's host commands: building each command text, sending
// it, and reading the replies.
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "framework/decode_vesk_string.h"
#include "framework/internal/marker_text.h"
#include "framework/vesk_script_helper.h"
#include "platform/debug_output.h"

namespace {

// Room for a numeric command with any int operands: "RR" and three numbers
// of up to 11 characters, blanks and " 'ADD'" come to 44 bytes and the zero.
constexpr std::size_t kNumericCommandSize = 64;

vesk_string decimal(int n) { return vesk_string(n, 0, 0, 10); }

// "<verb> '<first>' '<second>' ...": text operands in apostrophes, copied
// byte for byte.
vesk_string quotedCommand(const char* verb, std::initializer_list<const vesk_string*> operands) {
  vesk_string command(verb);
  const char* between = " '";
  for (const vesk_string* operand : operands) {
    command += between;
    command += *operand;
    between = "' '";
  }
  command += "'";
  return command;
}

// A reply token read by atoi's rules (leading white space, optional sign,
// digits up to the first non-digit, 0 without digits), saturating instead of
// overflowing.
int tokenValue(const char* token) {
  const long long value = std::strtoll(token, nullptr, 10);
  if (value > 2147483647LL) return 2147483647;
  if (value < -2147483647LL - 1) return -2147483647 - 1;
  return static_cast<int>(value);
}

}  // namespace

std::intptr_t vesk_script_helper::send(const char* command) {
  if (host == nullptr) return 0;
  return host->hostCommand(command, VESK_HOST_COMMAND);
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
  vesk_string text(key);
  text += "=";
  text += value;
  textSet(text, panel, control);
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
  const vesk_string whole(reinterpret_cast<const char*>(reply));
  release(reply);

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
  const vesk_string path = panelPath.length() > 0 ? panelPath + "/" + file : file;
  const vesk_string command =
      args.length() > 0 ? quotedCommand("PS", {&panel, &path, &args}) : quotedCommand("PS", {&panel, &path});
  return send(command) != 0;
}

bool vesk_script_helper::lookupDevice(vesk_string name, int* device, int* second) {
  if (device != nullptr) *device = 0;
  if (second != nullptr) *second = 0;
  if (host == nullptr) return false;
  const std::intptr_t reply = send(quotedCommand("SD", {&name}));
  if (reply == 0) return false;
  {
    const decodeVESKString tokens(reinterpret_cast<const char*>(reply), '\'');
    if (device != nullptr) *device = tokenValue(tokens.tokens[0]);
    if (second != nullptr) *second = tokenValue(tokens.tokens[1]);
  }
  release(reply);
  return true;
}

vesk_stringlist vesk_script_helper::controlList(const vesk_string& panel, const vesk_string& filter) {
  if (host == nullptr) return vesk_stringlist();
  const std::intptr_t reply = send(quotedCommand("XI", {&panel, &filter}));
  if (reply == 0) return vesk_stringlist();
  vesk_stringlist names(vesk_string(reinterpret_cast<const char*>(reply)), ',');
  release(reply);
  return names;
}

void vesk_script_helper::makeRoute(int device, int source, int dest, const vesk_string& field,
                                   bool flag) {
  if (host == nullptr) return;
  vesk_string command("RC ");
  command += decimal(device);
  command += " ";
  command += decimal(source);
  command += " ";
  command += decimal(dest);
  command += " ',";
  command += field;
  command += flag ? "' 1" : "' 0";
  send(command);
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
