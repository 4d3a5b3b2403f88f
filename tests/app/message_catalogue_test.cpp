#include "app/message_catalogue.h"

#include <gtest/gtest.h>

TEST(LookupMessage, FindsKeysWhateverTheirCase) {
  LoadMessageCatalogue("");
  struct Case {
    const char* group;
    const char* key;
    const char* text;
  } cases[] = {
      {"msg", "files converted", "Files converted: %s1% of %s2%"},
      {"MSG", "FILES CONVERTED", "Files converted: %s1% of %s2%"},
      {"General", "Preparing", "Preparing..."},
      {"general", "importing", "Importing..."},
      {"General", "Converting", "Converting..."},
      {"Msg", "Import complete", "Import complete, new files added: %s1%"},
      {"Msg", "Empty input files",
       "No input file(s) found. Please, add valid file(s) and try again!"},
      {"Msg", "Conversion complete", "Conversion complete"},
      {"Msg", "Conversion is not complete", "Conversion stopped"},
      {"Msg", "Progress", "(%s1%/%s2%)"},
      {"Msg", "Error", "Error"},
      {"Msg", "Empty extensions", "Please, choose at least one file extension and try again!"},
      {"General", "Input File", "Input File:"},
      {"General", "Input Files", "Input Files:"},
      // Near misses: a prefix, a longer key, a key of the other group, unknown groups.
      {"Msg", "Files", "%NO_STRING_ERROR%"},
      {"Msg", "Files converted!", "%NO_STRING_ERROR%"},
      {"Msg", "Preparing", "%NO_STRING_ERROR%"},
      {"Msg", "", "%NO_STRING_ERROR%"},
      {"Menu", "Files converted", "%NO_STRING_ERROR%"},
      {"", "Error", "%NO_STRING_ERROR%"},
      {"Msgs", "Error", "%NO_STRING_ERROR%"},
      {"Msg", "Zzz", "%NO_STRING_ERROR%"},
      {"Msg", "Aaa", "%NO_STRING_ERROR%"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LookupMessage(c.group, c.key), c.text) << c.group << "/" << c.key;
  }
}

TEST(LookupMessage, AlternatingGroupsReplaceTheRememberedGroup) {
  MessageCatalogue catalogue = buildBuiltInCatalogue();
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(LookupMessage(catalogue, "General", "Ready"), "Ready");
    EXPECT_EQ(LookupMessage(catalogue, "Msg", "Warning"), "Warning");
    EXPECT_EQ(LookupMessage(catalogue, "Nowhere", "Warning"), "%NO_STRING_ERROR%");
    EXPECT_EQ(LookupMessage(catalogue, "Msg", "Warning"), "Warning");
  }
}

TEST(LookupMessage, BuiltInGroupsHoldTheirEntriesSortedByKey) {
  MessageCatalogue catalogue = buildBuiltInCatalogue();
  ASSERT_EQ(catalogue.groups.size(), 3u);  // index 0 stands for "not found"
  EXPECT_EQ(catalogue.groups[1].name, "GENERAL");
  EXPECT_EQ(catalogue.groups[1].lastEntry - catalogue.groups[1].firstEntry + 1, 10);
  EXPECT_EQ(catalogue.groups[2].name, "MSG");
  EXPECT_EQ(catalogue.groups[2].lastEntry - catalogue.groups[2].firstEntry + 1, 50);
  for (size_t g = 1; g < catalogue.groups.size(); ++g) {
    const auto& group = catalogue.groups[g];
    for (int32_t i = group.firstEntry; i < group.lastEntry; ++i) {
      EXPECT_LT(catalogue.keys[static_cast<size_t>(i)], catalogue.keys[static_cast<size_t>(i) + 1]);
    }
    // Every key is found through the index, after any other lookup.
    for (int32_t i = group.firstEntry; i <= group.lastEntry; ++i) {
      const std::string& key = catalogue.keys[static_cast<size_t>(i)];
      EXPECT_EQ(LookupMessage(catalogue, group.name, key), catalogue.texts[static_cast<size_t>(i)])
          << key;
    }
  }
}

TEST(LookupMessage, KeysBeyondTheByteRangeAreMissingNotReadOutOfBounds) {
  // First characters above 255: Greek, CJK, an emoji, and bytes that are not UTF-8.
  for (const char* key : {"\xCE\xA9mega", "\xE6\x96\x87", "\xF0\x9F\x98\x80", "\xFF", "\x80x",
                          "\xC3\xA9"}) {
    EXPECT_EQ(LookupMessage("Msg", key), "%NO_STRING_ERROR%") << key;
  }
}

TEST(ExpandPlaceholders, FillsEachPlaceholderInTurn) {
  struct Case {
    const char* text;
    const char* s1;
    const char* s2;
    const char* s3;
    const char* s4;
    const char* result;
  } cases[] = {
      {"Files converted: %s1% of %s2%", "3", "5", "", "", "Files converted: 3 of 5"},
      {"Usage: %s1% -i <filename> [options]", "", "", "", "",
       "Usage: %s1% -i <filename> [options]"},
      {"%S1% and %s1%", "x", "", "", "", "x and x"},
      {"%s1%", "%s2%", "two", "", "", "two"},   // a later placeholder is filled in turn
      {"%s2%", "", "%s1%", "", "", "%s1%"},     // an earlier one is not
      {"%s1%%s1%", "%s1%", "", "", "", "%s1%%s1%"},  // no endless replacement
      {"%s3%-%s4%", "", "", "c", "d", "c-d"},
      {"", "a", "b", "c", "d", ""},
      {"%s5% %s", "a", "", "", "", "%s5% %s"},
      {"(%s1%/%s2%)", "1", "", "", "", "(1/%s2%)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExpandPlaceholders(c.text, c.s1, c.s2, c.s3, c.s4), c.result) << c.text;
  }
}
