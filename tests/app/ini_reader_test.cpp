#include "app/ini_reader.h"

#include <gtest/gtest.h>

namespace {

std::string describe(const IniFile& file) {
  std::string text;
  for (const IniGroup& group : file.groups) {
    text += "[" + group.name + "]";
    for (const IniEntry& entry : group.entries) text += "<" + entry.key + "=" + entry.value + ">";
  }
  return text;
}

}  // namespace

TEST(IniReader, ParsesGroupsEntriesAndComments) {
  struct Case {
    const char* bytes;
    const char* parsed;
  } cases[] = {
      {"", ""},
      {"key=before any group\n[A]\nk=v", "[A]<k=v>"},
      {"[A]\r\nk = v \t\r\n; comment\r\n  \t; indented comment\n[B]x\nq= r =s", "[A]<k=v>[B]<q=r =s>"},
      {"[A]\rone=1\rtwo=2", "[A]<one=1><two=2>"},
      {"[A]\n\t  key \t=  value  \n", "[A]<key=value>"},
      {"[A]\nno equals sign\n=empty key", "[A]<no equals sign=><=empty key>"},
      {"[unclosed\nk=v", "[unclosed]<k=v>"},
      {"[]\nk=v", "[]<k=v>"},
      {"[A]]\nk=\"quoted\"", "[A]<k=\"quoted\">"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(describe(parseIniText(c.bytes)), c.parsed) << c.bytes;
  }
}

TEST(IniReader, DecodesUtf8AfterTheMarkAndLatin1Otherwise) {
  EXPECT_EQ(describe(parseIniText("\xEF\xBB\xBF[\xC3\xA9]\nk=\xE2\x82\xAC")),
            "[\xC3\xA9]<k=\xE2\x82\xAC>");
  EXPECT_EQ(describe(parseIniText("[\xE9]\nk=\xA4\xFF")), "[\xC3\xA9]<k=\xC2\xA4\xC3\xBF>");
  // A mark that is not at the very start is ordinary Latin-1 text.
  EXPECT_EQ(describe(parseIniText(" \xEF\xBB\xBF[A]")), "");
}

TEST(IniReader, FindsTheFirstGroupWithoutRegardToCase) {
  IniFile file = parseIniText("[cli]\na=1\n[CLI]\na=2\n[\xE9t\xE9]\nb=3");
  ASSERT_NE(file.findGroup("CLI"), nullptr);
  EXPECT_EQ(file.findGroup("Cli")->entries.at(0).value, "1");
  ASSERT_NE(file.findGroup("\xC3\x89T\xC3\x89"), nullptr);  // "ÉTÉ" finds "été"
  EXPECT_EQ(file.findGroup("CL"), nullptr);
}
