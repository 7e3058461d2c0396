// Reading JSON files field by field, with the place in every message.
#include "panelhost/support/json_fields.h"

using nlohmann::json;

namespace {

const json& empty(json::value_t type) {
  static const json kArray = json::array();
  static const json kObject = json::object();
  return type == json::value_t::array ? kArray : kObject;
}

}  // namespace

json parseJsonFile(const std::string& text) {
  try {
    return json::parse(text);
  } catch (const json::parse_error& e) {
    // "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error ..."
    std::string what = e.what();
    const size_t at = what.find(" at line ");
    const size_t colon = what.find(": ", at == std::string::npos ? 0 : at);
    if (at == std::string::npos || colon == std::string::npos) throw FormatError("not JSON");
    throw FormatError(what.substr(at + 4, colon - at - 4) + ": not JSON: " + what.substr(colon + 2));
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
