#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The program's one JSON writer: builds one object (or array) on one line,
// keys in the order given. Text values are escaped as JSON requires (quote,
// backslash, control characters); paths and messages are first turned into
// the text the console prints (escapeForDisplay), so every value is valid
// UTF-8 and a path reads the same in a report as on the console.
class JsonObject {
 public:
  JsonObject& text(std::string_view key, std::string_view value);
  JsonObject& path(std::string_view key, std::string_view rawPath);  // as the console prints it
  JsonObject& pathOrNull(std::string_view key, std::string_view rawPath);  // empty: null
  JsonObject& textOrNull(std::string_view key, std::string_view value);    // empty: null
  JsonObject& number(std::string_view key, int64_t value);
  JsonObject& boolean(std::string_view key, bool value);
  JsonObject& null(std::string_view key);
  // A value written by another JsonObject or JsonArray.
  JsonObject& nested(std::string_view key, const std::string& json);

  // The object, "{...}".
  std::string str() const { return "{" + body_ + "}"; }

 private:
  void key(std::string_view name);
  std::string body_;
};

class JsonArray {
 public:
  JsonArray& nested(const std::string& json);
  JsonArray& text(std::string_view value);
  std::string str() const { return "[" + body_ + "]"; }

 private:
  std::string body_;
};

// value as a JSON string literal, quotes included.
std::string jsonString(std::string_view value);
