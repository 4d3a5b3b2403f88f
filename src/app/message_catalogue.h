#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// User-visible texts by group and key, with the placeholders "%s1%".."%s4%".
// Keys of one group are sorted, and each group indexes the first key for every
// initial character, so a lookup is a short forward scan.
struct MessageCatalogue {
  struct Group {
    std::string name;  // upper case
    int32_t firstEntry = 0;
    int32_t lastEntry = -1;
    std::array<int32_t, 256> firstByInitial{};  // entry index + 1, 0 = none
  };
  std::vector<Group> groups;       // index 0 is "not found"
  std::vector<std::string> keys;   // upper case, parallel to texts
  std::vector<std::string> texts;
  size_t lastGroup = 0;            // group found by the previous lookup
};

// Builds the process catalogue from the built-in texts, then overrides texts
// from languageFile when it is not empty and can be read. Returns 1.
int LoadMessageCatalogue(const std::string& languageFile);

// The text of key in group (both compared without regard to case), or
// "%NO_STRING_ERROR%".
std::string LookupMessage(std::string_view group, std::string_view key);

// Lookup in a given catalogue (the process one is used by the overload above).
std::string LookupMessage(MessageCatalogue& catalogue, std::string_view group,
                          std::string_view key);

// Replaces each "%sN%" (any letter case) by the N-th argument; an empty
// argument leaves its placeholder. Later arguments see earlier replacements.
std::string ExpandPlaceholders(const std::string& text, const std::string& s1,
                               const std::string& s2 = "", const std::string& s3 = "",
                               const std::string& s4 = "");

// Builds a catalogue from the built-in list (for tests and LoadMessageCatalogue).
MessageCatalogue buildBuiltInCatalogue();
