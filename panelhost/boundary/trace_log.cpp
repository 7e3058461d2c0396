// Reading the plug-in's trace out of a captured debug log.
#include "panelhost/boundary/trace_log.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <sstream>
#include <tuple>

#include "framework/vesk_trace.h"

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The trace line inside a line of Wine's debug output: the double-quoted,
// C-escaped text from the marker on. Nothing when the quote never closes
// (Wine cut the line).
std::optional<std::string> unquoteWine(const std::string& line, std::size_t from) {
  std::string text;
  for (std::size_t i = from; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') return text;
    if (c != '\\' || i + 1 >= line.size()) {
      text += c;
      continue;
    }
    const char e = line[++i];
    switch (e) {
      case 'n': text += '\n'; break;
      case 'r': text += '\r'; break;
      case 't': text += '\t'; break;
      case 'x': {
        int value = 0;
        int digits = 0;
        while (digits < 2 && i + 1 < line.size() && hexDigit(line[i + 1]) >= 0) {
          value = value * 16 + hexDigit(line[++i]);
          ++digits;
        }
        text += static_cast<char>(value);
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          int value = e - '0';
          for (int n = 0; n < 2 && i + 1 < line.size() && line[i + 1] >= '0' && line[i + 1] <= '7'; ++n) {
            value = value * 8 + (line[++i] - '0');
          }
          text += static_cast<char>(value);
        } else {
          text += e;  // \\ \" \'
        }
    }
  }
  return std::nullopt;
}

template <typename N>
bool number(const std::string& word, N& value) {
  const char* end = word.data() + word.size();
  auto [stop, failure] = std::from_chars(word.data(), end, value);
  return failure == std::errc() && stop == end && !word.empty();
}

// Splits a record's text into its kind and operands; why not.
Result<> parseBody(const std::string& body, TraceRecord& record) {
  std::size_t i = 0;
  const std::size_t kindEnd = std::min(body.find(' '), body.size());
  record.kind = body.substr(0, kindEnd);
  if (record.kind.empty()) return fail("no record kind");
  i = kindEnd;
  while (i < body.size()) {
    if (body[i] != ' ') return fail("operands must be one blank apart");
    ++i;
    TraceOperand operand;
    if (i < body.size() && body[i] == '\'') {
      operand.quoted = true;
      bool closed = false;
      for (++i; i < body.size() && !closed; ++i) {
        const char c = body[i];
        if (c == '\'') {
          closed = true;
          break;
        }
        if (c != '\\') {
          operand.text += c;
          continue;
        }
        if (i + 1 >= body.size()) break;
        const char e = body[++i];
        if (e == 'x') {
          if (i + 2 >= body.size() || hexDigit(body[i + 1]) < 0 || hexDigit(body[i + 2]) < 0) {
            return fail("a \\x escape needs two hexadecimal digits");
          }
          operand.text += static_cast<char>(hexDigit(body[i + 1]) * 16 + hexDigit(body[i + 2]));
          i += 2;
        } else if (e == '\\' || e == '\'') {
          operand.text += e;
        } else {
          return fail(std::string("unknown escape \\") + e);
        }
      }
      if (!closed) return fail("a text is not closed");
      ++i;  // past the closing apostrophe
      operand.length = operand.text.size();
      if (i < body.size() && body[i] == '~') {
        const std::size_t end = std::min(body.find(' ', i), body.size());
        if (!number(body.substr(i + 1, end - i - 1), operand.length)) {
          return fail("a cut text's length is not a number");
        }
        operand.cut = true;
        i = end;
      }
    } else {
      const std::size_t end = std::min(body.find(' ', i), body.size());
      operand.text = body.substr(i, end - i);
      if (operand.text.empty()) return fail("an empty operand");
      i = end;
    }
    record.operands.push_back(std::move(operand));
  }
  return Done{};
}

// A physical trace line, its header read.
struct TraceLine {
  std::string panel;
  int instance = 0;
  std::uint32_t seq = 0;
  std::int64_t ms = 0;
  char part = '.';
  std::string body;
};

Result<TraceLine> parseLine(const std::string& text) {
  std::istringstream words(text);
  std::string marker, instance, seq, ms, part;
  TraceLine line;
  words >> marker >> line.panel >> instance >> seq >> ms >> part;
  if (!words || !number(instance, line.instance) || !number(seq, line.seq) || !number(ms, line.ms) ||
      (part != "." && part != "+")) {
    return fail("the line does not start with marker, panel, instance, sequence number, time and part");
  }
  line.part = part[0];
  const std::size_t at = static_cast<std::size_t>(words.tellg());
  if (at + 1 > text.size() || text[at] != ' ') return fail("no record after the part");
  line.body = text.substr(at + 1);
  return line;
}

}  // namespace

Result<TraceLog> readTraceLog(const std::string& text, const std::string& logName) {
  const std::string marker = vesk_trace::kMarker;
  TraceLog log;
  using Key = std::tuple<std::string, int, std::uint32_t>;
  struct Pending {
    std::string body;
    std::size_t lineNumber;
    std::string head;
  };
  std::map<Key, Pending> pending;
  std::map<std::string, std::vector<TraceRecord>> byPanel;
  std::size_t markedLines = 0;
  std::size_t lastMarked = 0;
  // A record that does not parse is an error, unless it is its panel's last:
  // then the log ended inside it. Whether it was the last shows only at the end.
  struct Broken {
    std::string panel;
    std::size_t lineNumber;
    std::string why;
    std::size_t recordsBefore;
  };
  std::vector<Broken> broken;

  std::istringstream lines(text);
  std::string raw;
  for (std::size_t number = 1; std::getline(lines, raw); ++number) {
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    const std::size_t at = raw.find(marker + " ");
    if (at == std::string::npos) continue;
    ++markedLines;
    lastMarked = number;
    std::string found;
    if (at > 0 && raw[at - 1] == '"') {
      std::optional<std::string> unquoted = unquoteWine(raw, at);
      if (!unquoted) {
        broken.push_back({"", number, "the line is cut short", 0});
        continue;
      }
      found = *unquoted;
    } else {
      found = raw.substr(at);
    }
    while (!found.empty() && (found.back() == '\n' || found.back() == '\r')) found.pop_back();
    Result<TraceLine> line = parseLine(found);
    if (!line) {
      broken.push_back({"", number, line.error(), 0});
      continue;
    }
    const Key key{line->panel, line->instance, line->seq};
    const std::string id = line->panel + "#" + std::to_string(line->instance);
    auto waiting = pending.find(key);
    if (waiting == pending.end()) {
      waiting = pending.emplace(key, Pending{"", number, found.substr(0, found.size() - line->body.size() - 2)}).first;
    }
    waiting->second.body += line->body;
    if (line->part == '+') continue;
    TraceRecord record;
    record.panel = line->panel;
    record.instance = line->instance;
    record.seq = line->seq;
    record.ms = line->ms;
    record.lineNumber = waiting->second.lineNumber;
    record.line = waiting->second.head + ". " + waiting->second.body;
    const std::string body = waiting->second.body;
    pending.erase(waiting);
    if (std::find(log.panels.begin(), log.panels.end(), id) == log.panels.end()) log.panels.push_back(id);
    if (Result<> parsed = parseBody(body, record); !parsed) {
      broken.push_back({id, record.lineNumber, parsed.error(), byPanel[id].size()});
      continue;
    }
    std::vector<TraceRecord>& records = byPanel[id];
    // A line a viewer caught twice is read once.
    if (!records.empty() && records.back().seq == record.seq) continue;
    records.push_back(std::move(record));
  }
  if (markedLines == 0) {
    return fail(logName + " holds no trace: no line carries \"" + marker +
                "\" (was the trace on? VESK_TRACE=1 in the studio's environment before the panel was created)");
  }
  for (const Broken& b : broken) {
    // Cut short where the log ends: the panel has no record after it.
    const bool last = b.panel.empty() ? b.lineNumber == lastMarked
                                      : byPanel[b.panel].size() == b.recordsBefore;
    if (!last) return fail(logName + ":" + std::to_string(b.lineNumber) + ": not a trace record: " + b.why);
    log.notes.push_back(logName + ":" + std::to_string(b.lineNumber) + ": a record cut short at the end of the log (" +
                        b.why + "): left out");
  }
  for (const auto& [key, waiting] : pending) {
    log.notes.push_back(logName + ":" + std::to_string(waiting.lineNumber) + ": record " +
                        std::to_string(std::get<2>(key)) + " of " + std::get<0>(key) + "#" +
                        std::to_string(std::get<1>(key)) + " never ends: left out");
  }
  for (const std::string& id : log.panels) {
    std::vector<TraceRecord>& records = byPanel[id];
    std::stable_sort(records.begin(), records.end(),
                     [](const TraceRecord& a, const TraceRecord& b) { return a.seq < b.seq; });
    for (TraceRecord& record : records) log.records.push_back(std::move(record));
  }
  return log;
}

Result<TraceRecord> readTraceRecord(const std::string& body) {
  TraceRecord record;
  if (Result<> parsed = parseBody(body, record); !parsed) return parsed.failure();
  record.line = body;
  return record;
}

std::string traceText(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "'";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '\'') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte > 0x7e) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out + "'";
}

Result<std::vector<TraceRecord>> tracePanel(const TraceLog& log, const std::string& wanted) {
  std::vector<std::string> chosen;
  for (const std::string& id : log.panels) {
    if (wanted.empty() || id == wanted || id.substr(0, id.rfind('#')) == wanted) chosen.push_back(id);
  }
  std::string list;
  for (const std::string& id : log.panels) list += (list.empty() ? "" : ", ") + id;
  if (chosen.empty()) return fail("the trace holds no panel " + wanted + "; it holds " + list);
  if (chosen.size() > 1) {
    std::string named;
    for (const std::string& id : chosen) named += (named.empty() ? "" : ", ") + id;
    return fail("the trace holds " + std::to_string(chosen.size()) + " panels" +
                (wanted.empty() ? "" : " named " + wanted) + ": " + named + "; choose one with --panel");
  }
  std::vector<TraceRecord> records;
  for (const TraceRecord& record : log.records) {
    if (record.panelId() == chosen.front()) records.push_back(record);
  }
  return records;
}
