#include "app/program_identity.h"

std::string VersionText(int version) {
  std::string text = std::to_string(version);
  if (text.size() >= 1) text.insert(1, ".");
  if (text.size() >= 3) text.insert(3, ".");
  if (!text.empty() && text.back() == '0') text = text.substr(0, 3);
  return text;
}

std::string TitleText(std::string_view name, int version) {
  return std::string(name) + " " + VersionText(version);
}
