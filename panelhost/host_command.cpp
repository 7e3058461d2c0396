// Parsing the panel's command texts.
#include "panelhost/host_command.h"

#include <charconv>

namespace {

constexpr std::string_view kBetween = "' '";

// Splits `body` at "' '" into `count` parts; the part at `freeIndex` takes
// whatever separators are left over after the others are cut from the ends.
std::optional<std::vector<std::string>> splitQuoted(std::string_view body, int count, int freeIndex) {
  std::vector<std::string> parts(static_cast<size_t>(count));
  for (int i = 0; i < freeIndex; ++i) {
    const size_t at = body.find(kBetween);
    if (at == std::string_view::npos) return std::nullopt;
    parts[static_cast<size_t>(i)] = std::string(body.substr(0, at));
    body.remove_prefix(at + kBetween.size());
  }
  for (int i = count - 1; i > freeIndex; --i) {
    const size_t at = body.rfind(kBetween);
    if (at == std::string_view::npos) return std::nullopt;
    parts[static_cast<size_t>(i)] = std::string(body.substr(at + kBetween.size()));
    body.remove_suffix(body.size() - at);
  }
  parts[static_cast<size_t>(freeIndex)] = std::string(body);
  return parts;
}

size_t countBetween(std::string_view body) {
  size_t n = 0;
  for (size_t at = body.find(kBetween); at != std::string_view::npos; at = body.find(kBetween, at + 1)) ++n;
  return n;
}

// Reads blank-separated ints from `text` into `out`; false on anything else.
bool readNumbers(std::string_view text, std::vector<int>& out) {
  while (!text.empty()) {
    if (text.front() != ' ') return false;
    text.remove_prefix(1);
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (failure != std::errc() || (stop != end && *stop != ' ')) return false;
    out.push_back(value);
    text.remove_prefix(static_cast<size_t>(stop - text.data()));
  }
  return true;
}

}  // namespace

std::optional<HostCommand> parseHostCommand(std::string_view text, std::string& error) {
  HostCommand command;
  command.verb = std::string(text.substr(0, 2));
  std::string_view rest = text.size() > 2 ? text.substr(2) : std::string_view();
  if (!rest.empty() && rest.front() != ' ') {
    error = "no verb of two letters";
    return std::nullopt;
  }
  const std::string& v = command.verb;

  if (v == "TP" || v == "TG" || v == "PS" || v == "SD" || v == "XI") {
    if (rest.size() < 3 || rest.substr(0, 2) != " '" || rest.back() != '\'') {
      error = "text operands must be in apostrophes";
      return std::nullopt;
    }
    const std::string_view body = rest.substr(2, rest.size() - 3);
    std::optional<std::vector<std::string>> parts;
    if (v == "TP") parts = splitQuoted(body, 3, 0);
    if (v == "TG") parts = splitQuoted(body, 3, 2);
    if (v == "SD") parts = splitQuoted(body, 1, 0);
    if (v == "XI") parts = splitQuoted(body, 2, 1);
    if (v == "PS") parts = countBetween(body) >= 2 ? splitQuoted(body, 3, 1) : splitQuoted(body, 2, 1);
    if (!parts) {
      error = "too few operands";
      return std::nullopt;
    }
    command.texts = std::move(*parts);
    return command;
  }

  if (v == "RC") {
    // RC <device> <source> <dest> ',<field>' <flag>
    const size_t open = rest.find(" ',");
    const size_t close = rest.rfind("' ");
    if (open == std::string_view::npos || close == std::string_view::npos || close < open + 3) {
      error = "expected RC <device> <source> <dest> ',<field>' <flag>";
      return std::nullopt;
    }
    command.texts.emplace_back(rest.substr(open + 3, close - open - 3));
    std::vector<int> flag;
    if (!readNumbers(rest.substr(0, open), command.numbers) || command.numbers.size() != 3 ||
        !readNumbers(rest.substr(close + 1), flag) || flag.size() != 1) {
      error = "expected RC <device> <source> <dest> ',<field>' <flag>";
      return std::nullopt;
    }
    command.numbers.push_back(flag[0]);
    return command;
  }

  size_t wanted = 0;
  size_t optional = 0;
  if (v == "RR") {
    constexpr std::string_view kAdd = " 'ADD'";
    if (rest.size() >= kAdd.size() && rest.substr(rest.size() - kAdd.size()) == kAdd) {
      command.add = true;
      rest.remove_suffix(kAdd.size());
    }
    wanted = 3;
  } else if (v == "RP") {
    wanted = 3;
  } else if (v == "RU") {
    wanted = 1;
  } else if (v == "ET") {
    wanted = 1;
    optional = 1;
  } else if (v == "AS") {
    wanted = 0;
  } else {
    error = "unknown verb '" + v + "'";
    return std::nullopt;
  }
  if (!readNumbers(rest, command.numbers) || command.numbers.size() < wanted ||
      command.numbers.size() > wanted + optional) {
    error = "expected " + std::to_string(wanted) + (optional ? " or " + std::to_string(wanted + optional) : "") +
            " numbers after " + v;
    return std::nullopt;
  }
  return command;
}
