#include "app/parameters.h"

#include "platform/text.h"

std::vector<std::string> splitCommandLine(std::string_view line) {
  std::vector<std::string> parameters;
  size_t i = 0;
  const size_t n = line.size();
  while (i < n) {
    while (i < n && line[i] == ' ') ++i;
    if (i >= n) break;
    std::string parameter;
    if (line[i] == '"') {
      size_t close = line.find('"', i + 1);
      size_t end = close == std::string_view::npos ? n : close;
      parameter.assign(line.substr(i + 1, end - i - 1));
      i = close == std::string_view::npos ? n : close + 1;
    } else {
      bool quoted = false;
      for (; i < n; ++i) {
        char c = line[i];
        if (c == '"') {
          quoted = !quoted;
        } else if (c == ' ' && !quoted) {
          break;
        } else {
          parameter.push_back(c);
        }
      }
    }
    parameters.push_back(std::move(parameter));
  }
  return parameters;
}

namespace {

std::string trimmedParameter(const std::vector<std::string>& parameters, int index) {
  if (index < 0 || static_cast<size_t>(index) >= parameters.size()) return std::string();
  return trimText(parameters[static_cast<size_t>(index)]);
}

}  // namespace

std::string ParameterName(const std::vector<std::string>& parameters, int index) {
  std::string text = trimmedParameter(parameters, index);
  if (!startsWith(text, "-")) return std::string();
  if (startsWith(text, "--")) text = text.substr(0, text.find('='));
  return toUpperText(text);
}

std::string ParameterValue(const std::vector<std::string>& parameters, int index) {
  std::string text = trimmedParameter(parameters, index);
  size_t equals = text.find('=');
  if (startsWith(text, "--") && equals != std::string::npos) return text.substr(equals + 1);
  return text;
}
