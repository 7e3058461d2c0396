// Reading JSON files field by field, with the place in every message.
#include "panelhost/support/json_fields.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

#include "panelhost/support/text.h"

using nlohmann::json;

namespace {

const json& empty(json::value_t type) {
  static const json kArray = json::array();
  static const json kObject = json::object();
  return type == json::value_t::array ? kArray : kObject;
}

}  // namespace

namespace {

// Where the parser is, as the fields' places name it ("devices[1].sources"),
// kept from the parser's events; and the keys of each open object, so that a
// key given twice is refused instead of the last one silently winning.
class ParsePlace {
 public:
  // A list or an object opens; throws FormatError past kMaxJsonDepth.
  void open(bool object) {
    if (open_.size() >= kMaxJsonDepth) {
      throw FormatError(name() + " holds lists or objects nested more than " + std::to_string(kMaxJsonDepth) +
                        " deep");
    }
    open_.push_back({object, {}, 0, {}});
  }
  // A key of the object open; throws FormatError if it came before.
  void key(const std::string& key) {
    Level& level = open_.back();
    level.key = key;
    if (!level.keys.insert(key).second) throw FormatError(name() + " is given twice");
  }
  void close() {
    open_.pop_back();
    value();
  }
  // A value is complete: a list open moves on to its next entry.
  void value() {
    if (!open_.empty() && !open_.back().object) ++open_.back().index;
  }

  // The place of the value being read: "devices[1].number", "the file" at
  // the top. Very deep places are cut short after a few levels.
  std::string name() const {
    constexpr size_t kNamedLevels = 8;
    std::string place;
    for (size_t i = 0; i < open_.size() && i < kNamedLevels; ++i) {
      const Level& level = open_[i];
      if (!level.object) {
        place += "[" + std::to_string(level.index) + "]";
      } else if (!level.key.empty() || !level.keys.empty()) {
        const bool plain = !level.key.empty() && std::all_of(level.key.begin(), level.key.end(), [](char c) {
          return std::isalpha(static_cast<unsigned char>(c)) != 0;
        });
        const std::string key = plain ? level.key : "\"" + printable(level.key) + "\"";
        place += (place.empty() ? "" : ".") + key;
      }
    }
    if (open_.size() > kNamedLevels) place += "...";
    return place.empty() ? "the file" : place;
  }

 private:
  struct Level {
    bool object;
    std::string key;             // object: the key being read
    size_t index;                // list: the entry being read
    std::set<std::string> keys;  // object: the keys read so far
  };
  std::vector<Level> open_;
};

// nlohmann's DOM builder with the place followed: every event is checked
// before the value is built. (The library's callback parser would do, but
// it scans the enclosing list after each object, which costs the square of
// a long list.)
class CheckedBuilder {
 public:
  using Dom = nlohmann::detail::json_sax_dom_parser<json>;
  CheckedBuilder(json& result, ParsePlace& place) : dom_(result, true), place_(place) {}

  bool null() { return scalar(dom_.null()); }
  bool boolean(bool value) { return scalar(dom_.boolean(value)); }
  bool number_integer(json::number_integer_t value) { return scalar(dom_.number_integer(value)); }
  bool number_unsigned(json::number_unsigned_t value) { return scalar(dom_.number_unsigned(value)); }
  bool number_float(json::number_float_t value, const json::string_t& text) {
    return scalar(dom_.number_float(value, text));
  }
  bool string(json::string_t& value) { return scalar(dom_.string(value)); }
  bool binary(json::binary_t& value) { return scalar(dom_.binary(value)); }
  bool start_object(std::size_t size) {
    place_.open(true);
    return dom_.start_object(size);
  }
  bool key(json::string_t& value) {
    place_.key(value);
    return dom_.key(value);
  }
  bool end_object() {
    place_.close();
    return dom_.end_object();
  }
  bool start_array(std::size_t size) {
    place_.open(false);
    return dom_.start_array(size);
  }
  bool end_array() {
    place_.close();
    return dom_.end_array();
  }
  // Throws the parser's exception: parse_error, or out_of_range for a
  // number no double holds.
  template <typename Exception>
  bool parse_error(std::size_t position, const std::string& token, const Exception& e) {
    return dom_.parse_error(position, token, e);
  }

 private:
  bool scalar(bool built) {
    place_.value();
    return built;
  }
  Dom dom_;
  ParsePlace& place_;
};

}  // namespace

json parseJsonFile(const std::string& text) {
  ParsePlace place;
  json result;
  try {
    CheckedBuilder builder(result, place);
    json::sax_parse(text, &builder);
    return result;
  } catch (const json::parse_error& e) {
    // "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error ..."
    std::string what = e.what();
    const size_t at = what.find(" at line ");
    const size_t colon = what.find(": ", at == std::string::npos ? 0 : at);
    if (at == std::string::npos || colon == std::string::npos) throw FormatError("not JSON");
    throw FormatError(what.substr(at + 4, colon - at - 4) + ": not JSON: " + what.substr(colon + 2));
  } catch (const json::out_of_range& e) {
    // "[json.exception.out_of_range.406] number overflow parsing '1e400'": a
    // number no double holds, refused wherever it is, read or not.
    const std::string what = e.what();
    const size_t quote = what.find('\'');
    std::string number = quote == std::string::npos ? std::string() : what.substr(quote + 1);
    if (!number.empty() && number.back() == '\'') number.pop_back();
    constexpr size_t kShown = 40;
    if (number.size() > kShown) number = number.substr(0, kShown) + "...";
    throw FormatError(place.name() + " is a number beyond the range of a double: " + printable(number));
  }
}

JsonFields::JsonFields(const json& value, std::string place) : object_(value), place_(std::move(place)) {
  if (!value.is_object()) {
    throw FormatError((place_.empty() ? std::string("the file") : place_) + " must be a JSON object {...}, not " +
                      shown(value));
  }
}

std::string JsonFields::place(const std::string& key) const { return place_.empty() ? key : place_ + "." + key; }

void JsonFields::refuse(const std::string& key, const std::string& problem) const {
  throw FormatError(place(key) + " " + problem);
}

int JsonFields::number(const char* key, long long min, long long max) const {
  if (!has(key)) refuse(key, "is missing");
  return wholeNumber(object_.at(key), place(key), min, max);
}

int JsonFields::number(const char* key, long long min, long long max, int fallback) const {
  return has(key) ? number(key, min, max) : fallback;
}

std::string JsonFields::text(const char* key) const {
  if (!has(key)) refuse(key, "is missing");
  std::string value = text(key, "");
  if (value.empty()) refuse(key, "must not be empty");
  return value;
}

std::string JsonFields::text(const char* key, const std::string& fallback) const {
  if (!has(key)) return fallback;
  const json& value = object_.at(key);
  if (!value.is_string()) refuse(key, "must be text in double quotes, not " + shown(value));
  return value.get<std::string>();
}

const json& JsonFields::array(const char* key, bool required) const {
  if (!has(key)) {
    if (required) refuse(key, "is missing");
    return empty(json::value_t::array);
  }
  const json& value = object_.at(key);
  if (!value.is_array()) refuse(key, "must be a list [...], not " + shown(value));
  return value;
}

const json& JsonFields::object(const char* key) const {
  if (!has(key)) return empty(json::value_t::object);
  const json& value = object_.at(key);
  if (!value.is_object()) refuse(key, "must be an object {...}, not " + shown(value));
  return value;
}

int wholeNumber(const json& value, const std::string& place, long long min, long long max) {
  bool fits = false;
  if (value.is_number_unsigned()) {
    // max is never negative here, so a number not above it fits a long long.
    const unsigned long long n = value.get<unsigned long long>();
    fits = max >= 0 && n <= static_cast<unsigned long long>(max) && static_cast<long long>(n) >= min;
  } else if (value.is_number_integer()) {
    const long long n = value.get<long long>();
    fits = n >= min && n <= max;
  }
  if (!fits) {
    throw FormatError(place + " must be a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
                      ", not " + shown(value));
  }
  return static_cast<int>(value.get<long long>());
}

std::string shown(const json& value) {
  constexpr size_t kShown = 40;
  std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
  if (value.is_array()) text = "a list " + (text.size() > kShown ? text.substr(0, kShown) + "..." : text);
  else if (value.is_object()) text = "an object " + (text.size() > kShown ? text.substr(0, kShown) + "..." : text);
  else if (text.size() > kShown) text = text.substr(0, kShown) + "...";
  return text;
}
