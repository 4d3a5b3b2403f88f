#include "platform/text.h"

#include <gtest/gtest.h>

TEST(TextCase, MapsAllOfUnicodeAndPassesBadBytesThrough) {
  struct Case {
    const char* text;
    const char* upper;
    const char* lower;
  } cases[] = {
      {"abc-XYZ_09", "ABC-XYZ_09", "abc-xyz_09"},
      {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"},        // été
      {"\xCE\xB1\xCE\xB2", "\xCE\x91\xCE\x92", "\xCE\xB1\xCE\xB2"},            // αβ
      {"\xD0\xB4\xD0\x94", "\xD0\x94\xD0\x94", "\xD0\xB4\xD0\xB4"},            // дД
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},            // emoji
      {"a\xFF" "b", "A\xFF" "B", "a\xFF" "b"},                                 // stray byte
      {"x\xC3", "X\xC3", "x\xC3"},                                             // cut sequence
      // Overlong forms and surrogates are not UTF-8: their bytes stay as they are
      // instead of turning into "/" or a NUL.
      {"\xC0\xAF" "a", "\xC0\xAF" "A", "\xC0\xAF" "a"},
      {"\xE0\x80\x80", "\xE0\x80\x80", "\xE0\x80\x80"},
      {"\xED\xA0\x80z", "\xED\xA0\x80Z", "\xED\xA0\x80z"},
      {"\xF4\x90\x80\x80", "\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(toUpperText(c.text), c.upper) << c.text;
    EXPECT_EQ(toLowerText(c.text), c.lower) << c.text;
  }
  EXPECT_EQ(toTitleText("\xC3\xA9T\xC3\x89"), "\xC3\x89t\xC3\xA9");
  EXPECT_EQ(toTitleText(""), "");
}

TEST(TextTrim, RemovesOnlyTheGivenCharacters) {
  EXPECT_EQ(trimText("  a b  "), "a b");
  EXPECT_EQ(trimText("\t a \t"), "\t a \t");
  EXPECT_EQ(trimText("\t a \t", " \t"), "a");
  EXPECT_EQ(trimText("   "), "");
  EXPECT_EQ(trimText("\"\"x\"", "\""), "x");
  EXPECT_EQ(trimLeft("  x  "), "x  ");
  EXPECT_EQ(trimRight("  x  "), "  x");
}

TEST(TextReplace, IgnoresCaseAndNeverRescansReplacements) {
  EXPECT_EQ(replaceAllIgnoringCase("%FileName%.%ext%", "%filename%", "a"), "a.%ext%");
  EXPECT_EQ(replaceAllIgnoringCase("%n%%N%", "%n%", "%n%%n%"), "%n%%n%%n%%n%");
  EXPECT_EQ(replaceAllIgnoringCase("abc", "", "x"), "abc");
  EXPECT_EQ(countIgnoringCase("%n% %N% %n", "%n%"), 2u);
  EXPECT_EQ(countIgnoringCase("aaaa", "aa"), 2u);
}

TEST(TextDecode, ConvertsLatin1AndUtf16AndUtf32) {
  EXPECT_EQ(latin1ToUtf8("caf\xE9\xFF"), "caf\xC3\xA9\xC3\xBF");
  EXPECT_EQ(latin1ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(utf16ToUtf8(std::string("A\0\xE9\0", 4), false), "A\xC3\xA9");
  EXPECT_EQ(utf16ToUtf8(std::string("\0A\0\xE9", 4), true), "A\xC3\xA9");
  EXPECT_EQ(utf16ToUtf8(std::string("\x3D\xD8\x00\xDE", 4), false), "\xF0\x9F\x98\x80");
  EXPECT_EQ(utf16ToUtf8(std::string("\x3D\xD8" "A\0", 4), false), "\xEF\xBF\xBD" "A");
  EXPECT_EQ(utf16ToUtf8(std::string("A\0B", 3), false), "A");  // odd trailing byte
  EXPECT_EQ(utf32ToUtf8(std::string("\0\x01\xF6\x00", 4), true), "\xF0\x9F\x98\x80");
  EXPECT_EQ(utf32ToUtf8(std::string("\xFF\xFF\xFF\x7F", 4), false), "\xEF\xBF\xBD");
}

TEST(TextDecode, DrawableCodePointsReplaceEachBadByte) {
  // "a", é, a stray byte, an overlong "/", a cut sequence at the end.
  const std::string text = "a\xC3\xA9\xFF\xC0\xAF\xE2\x82";
  const std::vector<char32_t> expected = {U'a', 0xE9, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD};
  EXPECT_EQ(decodeUtf8(text), expected);
  std::string sanitized = "a\xC3\xA9";
  for (int i = 0; i < 5; ++i) sanitized += "\xEF\xBF\xBD";
  EXPECT_EQ(sanitizeUtf8(text), sanitized);
  EXPECT_EQ(sanitizeUtf8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

TEST(TextEscape, KeepsOneLineOfValidUtf8) {
  struct Case {
    const char* text;
    const char* shown;
  } cases[] = {
      {"/srv/in/tex.dds", "/srv/in/tex.dds"},
      {"\xC3\xA9t\xC3\xA9/\xF0\x9F\x98\x80", "\xC3\xA9t\xC3\xA9/\xF0\x9F\x98\x80"},  // été/emoji
      {"a\nb\rc\td", "a\\nb\\rc\\td"},
      {"\x1b[31m", "\\x1b[31m"},
      {"x\x7f" "y\x01", "x\\x7fy\\x01"},
      {"back\\slash", "back\\\\slash"},
      {"\xFF" "a\xC3", "\\xffa\\xc3"},                 // stray and cut bytes
      {"\xC0\xAF\xED\xA0\x80", "\\xc0\\xaf\\xed\\xa0\\x80"},  // overlong, surrogate
      {"\xC2\x85" "\xC2\xA0", "\\xc2\\x85\xC2\xA0"},   // C1 control; no-break space stays
  };
  for (const Case& c : cases) EXPECT_EQ(escapeForDisplay(c.text), c.shown) << c.shown;
}
