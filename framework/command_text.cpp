// command_text: appending pieces and counting the bytes they should fill.
#include "framework/internal/command_text.h"

#include <cstring>

command_text::command_text(const char* verb) : verb_(verb), text_(verb), expected_(std::strlen(verb)) {}

command_text& command_text::operator+=(const char* piece) {
  text_ += piece;
  expected_ += std::strlen(piece);
  return *this;
}

command_text& command_text::operator+=(const vesk_string& piece) {
  text_ += piece;
  expected_ += piece.length();
  return *this;
}

command_text& command_text::operator+=(int n) { return *this += vesk_string(n, 0, 0, 10); }

command_text quotedCommand(const char* verb, std::initializer_list<const vesk_string*> operands) {
  command_text command(verb);
  const char* between = " '";
  for (const vesk_string* operand : operands) {
    command += between;
    command += *operand;
    between = "' '";
  }
  command += "'";
  return command;
}
