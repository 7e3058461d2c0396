// Parsing the panel's command texts, verb by verb.
#include "hostside/host_command.h"

#include <charconv>
#include <vector>

namespace {

constexpr std::string_view kBetween = "' '";

// The operands of a verb with text operands: " '<a>' '<b>' ...", split at
// "' '" into `count` texts; the one at `freeIndex` takes whatever
// separators are left after the others are cut from the ends.
Result<std::vector<std::string>> quoted(std::string_view rest, int count, int freeIndex) {
  if (rest.size() < 3 || rest.substr(0, 2) != " '" || rest.back() != '\'') {
    return fail("text operands must be in apostrophes");
  }
  std::string_view body = rest.substr(2, rest.size() - 3);
  std::vector<std::string> parts(static_cast<size_t>(count));
  for (int i = 0; i < freeIndex; ++i) {
    const size_t at = body.find(kBetween);
    if (at == std::string_view::npos) return fail("too few operands");
    parts[static_cast<size_t>(i)] = std::string(body.substr(0, at));
    body.remove_prefix(at + kBetween.size());
  }
  for (int i = count - 1; i > freeIndex; --i) {
    const size_t at = body.rfind(kBetween);
    if (at == std::string_view::npos) return fail("too few operands");
    parts[static_cast<size_t>(i)] = std::string(body.substr(at + kBetween.size()));
    body.remove_suffix(body.size() - at);
  }
  parts[static_cast<size_t>(freeIndex)] = std::string(body);
  return parts;
}

// Blank-separated ints, each after exactly one blank; nothing on anything
// else.
std::optional<std::vector<int>> readNumbers(std::string_view text) {
  std::vector<int> out;
  while (!text.empty()) {
    if (text.front() != ' ') return std::nullopt;
    text.remove_prefix(1);
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (failure != std::errc() || (stop != end && *stop != ' ')) return std::nullopt;
    out.push_back(value);
    text.remove_prefix(static_cast<size_t>(stop - text.data()));
  }
  return out;
}

// `wanted` numbers, and up to `optional` more.
Result<std::vector<int>> numbers(std::string_view rest, std::string_view verb, size_t wanted, size_t optional = 0) {
  std::optional<std::vector<int>> read = readNumbers(rest);
  if (!read || read->size() < wanted || read->size() > wanted + optional) {
    return fail("expected " + std::to_string(wanted) +
                (optional ? " or " + std::to_string(wanted + optional) : "") + " numbers after " +
                std::string(verb));
  }
  return *read;
}

// Separators as the split takes them: one after the other, never sharing
// an apostrophe ("' ' '" holds one, not two).
size_t countBetween(std::string_view body) {
  size_t n = 0;
  for (size_t at = body.find(kBetween); at != std::string_view::npos; at = body.find(kBetween, at + kBetween.size())) {
    ++n;
  }
  return n;
}

// Tries each alternative of HostCommand in turn for `verb`.
template <size_t I = 0>
Result<HostCommand> parseAs(std::string_view verb, std::string_view operands) {
  if constexpr (I == std::variant_size_v<HostCommand>) {
    return fail("unknown verb '" + std::string(verb) + "'");
  } else {
    using Command = std::variant_alternative_t<I, HostCommand>;
    if (verb != Command::kVerb) return parseAs<I + 1>(verb, operands);
    Result<Command> command = Command::parse(operands);
    if (!command) return command.failure();
    return HostCommand(std::move(*command));
  }
}

}  // namespace

Result<SetProperty> SetProperty::parse(std::string_view operands) {
  auto t = quoted(operands, 3, 0);
  if (!t) return t.failure();
  return SetProperty{(*t)[0], (*t)[1], (*t)[2]};
}

Result<GetProperty> GetProperty::parse(std::string_view operands) {
  auto t = quoted(operands, 3, 2);
  if (!t) return t.failure();
  return GetProperty{(*t)[0], (*t)[1], (*t)[2]};
}

Result<ShowLayout> ShowLayout::parse(std::string_view operands) {
  const bool withArgs = operands.size() >= 3 && countBetween(operands.substr(2, operands.size() - 3)) >= 2;
  auto t = quoted(operands, withArgs ? 3 : 2, 1);
  if (!t) return t.failure();
  return ShowLayout{(*t)[0], (*t)[1], withArgs ? std::optional<std::string>((*t)[2]) : std::nullopt};
}

Result<LookUpDevice> LookUpDevice::parse(std::string_view operands) {
  auto t = quoted(operands, 1, 0);
  if (!t) return t.failure();
  return LookUpDevice{(*t)[0]};
}

Result<ListControls> ListControls::parse(std::string_view operands) {
  auto t = quoted(operands, 2, 1);
  if (!t) return t.failure();
  return ListControls{(*t)[0], (*t)[1]};
}

Result<Route> Route::parse(std::string_view operands) {
  const size_t open = operands.find(" ',");
  const size_t close = operands.rfind("' ");
  const Failure malformed = fail("expected RC <device> <source> <dest> ',<field>' <flag>");
  if (open == std::string_view::npos || close == std::string_view::npos || close < open + 3) return malformed;
  const std::optional<std::vector<int>> head = readNumbers(operands.substr(0, open));
  const std::optional<std::vector<int>> flag = readNumbers(operands.substr(close + 1));
  if (!head || head->size() != 3 || !flag || flag->size() != 1) return malformed;
  return Route{(*head)[0], (*head)[1], (*head)[2], std::string(operands.substr(open + 3, close - open - 3)),
               (*flag)[0]};
}

Result<RegisterTallies> RegisterTallies::parse(std::string_view operands) {
  constexpr std::string_view kAdd = " 'ADD'";
  const bool add = operands.size() >= kAdd.size() && operands.substr(operands.size() - kAdd.size()) == kAdd;
  if (add) operands.remove_suffix(kAdd.size());
  auto n = numbers(operands, kVerb, 3);
  if (!n) return n.failure();
  return RegisterTallies{(*n)[0], (*n)[1], (*n)[2], add};
}

Result<PollTallies> PollTallies::parse(std::string_view operands) {
  auto n = numbers(operands, kVerb, 3);
  if (!n) return n.failure();
  return PollTallies{(*n)[0], (*n)[1], (*n)[2]};
}

Result<UnregisterTallies> UnregisterTallies::parse(std::string_view operands) {
  auto n = numbers(operands, kVerb, 1);
  if (!n) return n.failure();
  return UnregisterTallies{(*n)[0]};
}

Result<ArmTimer> ArmTimer::parse(std::string_view operands) {
  auto n = numbers(operands, kVerb, 1, 1);
  if (!n) return n.failure();
  return ArmTimer{(*n)[0], n->size() > 1 ? std::optional<int>((*n)[1]) : std::nullopt};
}

Result<PanelGone> PanelGone::parse(std::string_view operands) {
  auto n = numbers(operands, kVerb, 0);
  if (!n) return n.failure();
  return PanelGone{};
}

Result<HostCommand> parseHostCommand(std::string_view text) {
  const std::string_view verb = text.substr(0, 2);
  const std::string_view rest = text.size() > 2 ? text.substr(2) : std::string_view();
  if (!rest.empty() && rest.front() != ' ') return fail("no verb of two letters");
  return parseAs(verb, rest);
}

std::string_view verbOf(const HostCommand& command) {
  return std::visit([](const auto& c) { return std::decay_t<decltype(c)>::kVerb; }, command);
}
