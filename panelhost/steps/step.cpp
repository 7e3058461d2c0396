// Parsing scenario and shell lines against a step table, and its help.
#include "panelhost/steps/step.h"

#include <algorithm>
#include <charconv>

#include "panelhost/support/text.h"

namespace {

std::string_view trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

Result<Words> splitWords(std::string_view text) {
  Words words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted) return fail("a double quote is not closed");
  if (inWord) words.push_back(word);
  return words;
}

const StepKind* findStep(std::string_view name, const StepTable& table) {
  for (const StepKind& kind : table) {
    if (name == kind.name) return &kind;
  }
  return nullptr;
}

}  // namespace

Result<std::optional<Step>> parseStep(std::string_view line, const StepTable& table) {
  const std::string_view text = trim(line);
  if (text.empty() || text[0] == '#') return std::optional<Step>();
  const size_t blank = text.find_first_of(" \t");
  const std::string_view name = text.substr(0, blank);
  const std::string_view rest = blank == std::string_view::npos ? std::string_view() : trim(text.substr(blank));
  const StepKind* kind = findStep(name, table);
  if (kind == nullptr) return fail("unknown step '" + printable(std::string(name)) + "' (try 'help')");
  Step step{kind, {}};

  if (kind->operands == StepKind::Operands::RestOfLine) {
    if (rest.empty()) return fail("'" + std::string(name) + "' needs the text it expects");
    step.words.emplace_back(rest == "\"\"" ? std::string_view() : rest);
    return std::optional<Step>(std::move(step));
  }
  Result<Words> words = splitWords(rest);
  if (!words) return words.failure();
  step.words = std::move(*words);
  if (kind->operands == StepKind::Operands::WordsJoinLast && step.words.size() > kind->minWords) {
    // An unquoted last operand of several words.
    for (size_t i = kind->minWords; i < step.words.size(); ++i) step.words[kind->minWords - 1] += " " + step.words[i];
    step.words.resize(kind->minWords);
  }
  if (step.words.size() < kind->minWords || step.words.size() > kind->maxWords) {
    return fail("'" + std::string(name) + "' takes " + std::to_string(kind->minWords) +
                (kind->maxWords != kind->minWords ? " or " + std::to_string(kind->maxWords) : "") +
                " operand(s), not " + std::to_string(step.words.size()));
  }
  return std::optional<Step>(std::move(step));
}

Result<> checkStep(const Step& step, const Devices& devices) {
  // The operands' names, as the help shows them: "<device>", "<dest>", ...
  Words names;
  if (Result<Words> synopsis = splitWords(step.kind->synopsis)) names = std::move(*synopsis);
  const std::string_view kinds = step.kind->operandKinds;
  for (size_t i = 0; i < kinds.size() && i < step.words.size(); ++i) {
    const std::string& word = step.words[i];
    const std::string name = i < names.size() ? " (" + names[i] + ")" : "";
    int number = 0;
    const char* end = word.data() + word.size();
    const auto [stop, failure] = std::from_chars(word.data(), end, number);
    const bool whole = !word.empty() && failure == std::errc() && stop == end;
    switch (kinds[i]) {
      case 'd':
        if (devices.byName(word) == nullptr && (!whole || devices.byNumber(number) == nullptr)) {
          return fail("no device " + quoted(printable(word)));
        }
        break;
      case 'n':
        if (!whole) return fail(quoted(printable(word)) + " is not a whole number" + name);
        break;
      case 'm':
        if (!whole || number < 0) return fail(quoted(printable(word)) + " is not a number of milliseconds" + name);
        break;
      default:
        break;
    }
  }
  return Done{};
}

std::string stepHelp(const StepTable& table) {
  constexpr size_t kHelpColumn = 42;
  std::string help;
  for (const StepKind& kind : table) {
    std::string line = std::string("  ") + kind.name + (*kind.synopsis ? " " : "") + kind.synopsis;
    std::string_view text = kind.help;
    for (bool first = true; !text.empty(); first = false) {
      const size_t end = text.find('\n');
      line.resize(first ? std::max(line.size() + 1, kHelpColumn) : kHelpColumn, ' ');
      line += text.substr(0, end);
      help += line + "\n";
      line.clear();
      text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    if (!line.empty()) help += line + "\n";
  }
  return help + "A device is its number or its \"name in quotes\"; \"\" is the empty text.\n";
}
