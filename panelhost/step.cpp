// Parsing scenario and shell lines.
#include "panelhost/step.h"

#include <map>

namespace {

struct Shape {
  size_t minWords;
  size_t maxWords;
};

// Operand counts of each verb; the rest-of-line verbs take any.
const std::map<std::string, Shape>& shapes() {
  static const std::map<std::string, Shape> kShapes = {
      {"press", {1, 2}},          {"tally", {3, 3}},          {"route", {3, 3}},
      {"wait", {1, 1}},           {"property", {1, 1}},       {"close", {0, 0}},
      {"show", {0, 0}},           {"expect", {1, 99}},        {"expect-none", {0, 0}},
      {"expect-answer", {1, 99}}, {"expect-property", {3, 3}}, {"expect-crosspoint", {3, 3}},
  };
  return kShapes;
}

std::string trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool splitWords(const std::string& text, std::vector<std::string>& words, std::string& error) {
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
  if (quoted) {
    error = "a double quote is not closed";
    return false;
  }
  if (inWord) words.push_back(word);
  return true;
}

}  // namespace

std::optional<Step> parseStep(const std::string& line, std::string& error) {
  const std::string text = trim(line);
  if (text.empty() || text[0] == '#') return std::nullopt;
  Step step;
  const size_t blank = text.find_first_of(" \t");
  step.verb = text.substr(0, blank);
  step.rest = blank == std::string::npos ? "" : trim(text.substr(blank));
  auto shape = shapes().find(step.verb);
  if (shape == shapes().end()) {
    error = "unknown step '" + step.verb + "' (try 'help')";
    return std::nullopt;
  }
  if (step.verb == "expect" || step.verb == "expect-answer") {
    if (step.rest.empty()) {
      error = "'" + step.verb + "' needs the text it expects";
      return std::nullopt;
    }
    if (step.rest == "\"\"") step.rest.clear();
    step.words.push_back(step.rest);
    return step;
  }
  if (!splitWords(step.rest, step.words, error)) return std::nullopt;
  if (step.verb == "expect-property" && step.words.size() > 3) {
    // An unquoted value of several words.
    for (size_t i = 3; i < step.words.size(); ++i) step.words[2] += " " + step.words[i];
    step.words.resize(3);
  }
  if (step.words.size() < shape->second.minWords || step.words.size() > shape->second.maxWords) {
    error = "'" + step.verb + "' takes " + std::to_string(shape->second.minWords) +
            (shape->second.maxWords != shape->second.minWords ? " or " + std::to_string(shape->second.maxWords)
                                                              : "") +
            " operand(s), not " + std::to_string(step.words.size());
    return std::nullopt;
  }
  return step;
}

const char* stepHelp() {
  return "  press [<panel>/]<control> [<message>]   work a control, e.g. press SourceSel 5\n"
         "                                          (a list takes a source number, a group selector\n"
         "                                          a page number, a button its layout message)\n"
         "  tally <device> <index> <text>           a device reports a tally\n"
         "  route <device> <source> <dest>          a route made from outside the panel\n"
         "  wait <ms>                               let the clock run on\n"
         "  property <message>                      an enclosing panel sets or asks, e.g. return=all\n"
         "  close                                   delete the panel\n"
         "  show                                    print the panel and the devices\n"
         "  expect <command>                        the next command sent must be this\n"
         "  expect-none                             no further command was sent\n"
         "  expect-answer <text> | none             the last property answer\n"
         "  expect-property <control> <key> <value> a control property\n"
         "  expect-crosspoint <device> <dest> <source>\n"
         "A device is its number or its \"name in quotes\"; \"\" is the empty text.\n";
}
