// Reading the emulator's JSON files (device tables and layouts) field by
// field, so that whatever does not fit the format is refused with one line
// in the format's own words, naming the place and the field:
//   devices[1].number must be a whole number from 0 to 2147483647, not 4294967305
//   controls[2].area must be 4 whole numbers [column, row, width, height]
//   line 3, column 5: not JSON: syntax error while parsing object key ...
//   devices[0].crosspoints."410" is given twice
// Nothing is rounded, wrapped or taken in another type.
#pragma once

#include <climits>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

// A file that does not fit its format; what() is the one line.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The deepest nesting of lists and objects a file may have: far more than
// any of the formats uses, few enough that nothing reading or showing a
// value can run out of stack.
inline constexpr size_t kMaxJsonDepth = 64;

// `text` as JSON; throws FormatError naming the line and column of a syntax
// error, or the place of a key given twice in one object, of a value nested
// more than kMaxJsonDepth deep or of a number beyond a double's range:
//   devices[0].crosspoints."410" is given twice
//   devices[0].name holds lists or objects nested more than 64 deep
//   devices[1].spare is a number beyond the range of a double: 1e400
nlohmann::json parseJsonFile(const std::string& text);

// The fields of one JSON object at `place` ("devices[1]"; empty for the
// top level). Every getter throws FormatError.
class JsonFields {
 public:
  // Throws unless `value` is an object.
  JsonFields(const nlohmann::json& value, std::string place);

  bool has(const char* key) const { return object_.contains(key); }
  // A whole number from `min` to `max`; `fallback` when absent.
  int number(const char* key, long long min, long long max) const;
  int number(const char* key, long long min, long long max, int fallback) const;
  // Text; `fallback` when absent. Required text must not be empty.
  std::string text(const char* key) const;
  std::string text(const char* key, const std::string& fallback) const;
  // A field that must be an array or an object; an empty one when absent
  // (unless `required`).
  const nlohmann::json& array(const char* key, bool required = false) const;
  const nlohmann::json& object(const char* key) const;

  // "devices[1].number"
  std::string place(const std::string& key) const;
  [[noreturn]] void refuse(const std::string& key, const std::string& problem) const;

 private:
  const nlohmann::json& object_;
  std::string place_;
};

// `value` at `place` as a whole number from `min` to `max`.
int wholeNumber(const nlohmann::json& value, const std::string& place, long long min = 0, long long max = INT_MAX);
// How a value is named in messages: its JSON text, cut short.
std::string shown(const nlohmann::json& value);
