#include "app/parameters.h"

#include <gtest/gtest.h>

namespace {

std::string joined(const std::vector<std::string>& parameters) {
  std::string text;
  for (const std::string& p : parameters) text += "[" + p + "]";
  return text;
}

}  // namespace

TEST(SplitCommandLine, FollowsTheQuoteRules) {
  struct Case {
    const char* line;
    const char* parameters;
  } cases[] = {
      {"", ""},
      {"   ", ""},
      {"-i a.dds", "[-i][a.dds]"},
      {"  -i    a.dds  ", "[-i][a.dds]"},
      {"\"--wm-text=Hello World\"", "[--wm-text=Hello World]"},
      {"--wm-text=\"Hello World\"", "[--wm-text=Hello World]"},
      {"\"abc\"def", "[abc][def]"},
      {"\"abc\" def", "[abc][def]"},
      {"a\"b c\"d e", "[ab cd][e]"},
      {"\"unclosed quote", "[unclosed quote]"},
      {"x \"", "[x][]"},
      {"\"\"", "[]"},
      {"a\"", "[a]"},
      {"a\"\"b", "[ab]"},
      {"-i \"c:\\my files\\\" -o out", "[-i][c:\\my files\\][-o][out]"},
      {"tab\tinside", "[tab\tinside]"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> parameters = splitCommandLine(c.line);
    EXPECT_EQ(joined(parameters), c.parameters) << "line: " << c.line;
    for (const std::string& p : parameters) EXPECT_EQ(p.find('"'), std::string::npos) << c.line;
  }
}

TEST(ParameterName, UpperCasesTheOptionPartOnly) {
  struct Case {
    const char* parameter;
    const char* name;
  } cases[] = {
      {"--Jpg-Quality=90", "--JPG-QUALITY"},
      {"--jpg-quality", "--JPG-QUALITY"},
      {"--a=b=c", "--A"},
      {"-i", "-I"},
      {"-i=a.dds", "-I=A.DDS"},
      {"  -d  ", "-D"},
      {"--", "--"},
      {"-", "-"},
      {"--=x", "--"},
      {"a.dds", ""},
      {"", ""},
      {" x-y", ""},
      {"--wm-text=été", "--WM-TEXT"},
      {"-été", "-ÉTÉ"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParameterName({c.parameter}, 0), c.name) << c.parameter;
  }
}

TEST(ParameterValue, KeepsCaseAndEverythingAfterTheFirstEquals) {
  struct Case {
    const char* parameter;
    const char* value;
  } cases[] = {
      {"--jpg-quality=95", "95"},
      {"--wm-text=Hi=There", "Hi=There"},
      {"--wm-text=", ""},
      {"--jpg-quality", "--jpg-quality"},
      {"-i=a.dds", "-i=a.dds"},
      {"C:\\Images\\A.dds", "C:\\Images\\A.dds"},
      {"  spaced  ", "spaced"},
      {"--brightness=-50", "-50"},
      {"--wm-text=  padded ", "  padded"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParameterValue({c.parameter}, 0), c.value) << c.parameter;
  }
}

TEST(ParameterValue, IndexOutsideTheListGivesEmptyText) {
  std::vector<std::string> parameters = {"-i"};
  EXPECT_EQ(ParameterValue(parameters, 1), "");
  EXPECT_EQ(ParameterValue(parameters, -1), "");
  EXPECT_EQ(ParameterName(parameters, 5), "");
  EXPECT_EQ(ParameterValue({}, 0), "");
}
