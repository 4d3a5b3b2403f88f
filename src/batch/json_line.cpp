#include "batch/json_line.h"

#include "platform/text.h"

std::string jsonString(std::string_view value) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7f) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xf];
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

void JsonObject::key(std::string_view name) {
  if (!body_.empty()) body_ += ',';
  body_ += jsonString(name);
  body_ += ':';
}

JsonObject& JsonObject::text(std::string_view name, std::string_view value) {
  key(name);
  body_ += jsonString(value);
  return *this;
}

JsonObject& JsonObject::path(std::string_view name, std::string_view rawPath) {
  return text(name, escapeForDisplay(rawPath));
}

JsonObject& JsonObject::pathOrNull(std::string_view name, std::string_view rawPath) {
  return rawPath.empty() ? null(name) : path(name, rawPath);
}

JsonObject& JsonObject::textOrNull(std::string_view name, std::string_view value) {
  return value.empty() ? null(name) : text(name, value);
}

JsonObject& JsonObject::number(std::string_view name, int64_t value) {
  key(name);
  body_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::boolean(std::string_view name, bool value) {
  key(name);
  body_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::null(std::string_view name) {
  key(name);
  body_ += "null";
  return *this;
}

JsonObject& JsonObject::nested(std::string_view name, const std::string& json) {
  key(name);
  body_ += json;
  return *this;
}

JsonArray& JsonArray::nested(const std::string& json) {
  if (!body_.empty()) body_ += ',';
  body_ += json;
  return *this;
}

JsonArray& JsonArray::text(std::string_view value) { return nested(jsonString(value)); }
