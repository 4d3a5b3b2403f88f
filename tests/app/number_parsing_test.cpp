#include "app/number_parsing.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

TEST(ParseInteger, ReadsDecimalHexAndBinaryPrefixes) {
  struct Case {
    const char* text;
    int64_t value;
  } cases[] = {{"95", 95},       {"95px", 95},    {"$FF", 255},  {"$ff", 255},
               {"%101", 5},      {"abc", 0},      {"1.9", 1},    {"", 0},
               {"-50", -50},     {"+7", 7},       {" \t42", 42}, {"-$10", -16},
               {"%102", 2},      {"$G", 0},       {"-", 0},      {"$", 0},
               {"--5", 0},       {"9223372036854775807", INT64_MAX}};
  for (const Case& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << c.text;
}

TEST(ParseInteger, WrapsOnOverflowInsteadOfTrapping) {
  // 2^64 wraps to 0 and 2^64 + 5 to 5; the sanitizer build checks there is no UB.
  EXPECT_EQ(ParseInteger("18446744073709551616"), 0);
  EXPECT_EQ(ParseInteger("18446744073709551621"), 5);
  EXPECT_EQ(ParseInteger("9223372036854775808"), INT64_MIN);
  EXPECT_EQ(ParseInteger("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(ParseInteger(std::string(5000, '9')), ParseInteger(std::string(5000, '9')));
}

TEST(ParseReal, ReadsDotDecimalsWhateverTheLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // may not exist; the result must not depend on it
  EXPECT_FLOAT_EQ(ParseReal("2.2"), 2.2f);
  EXPECT_FLOAT_EQ(ParseReal("1,5"), 1.0f);
  EXPECT_FLOAT_EQ(ParseReal("-0.5e1"), -5.0f);
  EXPECT_FLOAT_EQ(ParseReal("  3.25xyz"), 3.25f);
  EXPECT_FLOAT_EQ(ParseReal("abc"), 0.0f);
  EXPECT_FLOAT_EQ(ParseReal(""), 0.0f);
  EXPECT_FLOAT_EQ(ParseReal(".5"), 0.5f);
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ParseReal, KnowsInfinityAndNaNInAnyCase) {
  EXPECT_TRUE(std::isinf(ParseReal("+infinity")) && ParseReal("+Infinity") > 0);
  EXPECT_TRUE(std::isinf(ParseReal("-INFINITY")) && ParseReal("-Infinity") < 0);
  EXPECT_TRUE(std::isnan(ParseReal("nan")));
  EXPECT_TRUE(std::isinf(ParseReal("1e999")));
}

TEST(ParseReal, TooSmallNumbersGiveZeroAndTooLargeOnesInfinity) {
  struct Case {
    std::string text;
    float value;
  } cases[] = {
      {"1e-50", 0.0f},
      {"-1e-50", 0.0f},
      {"1e-99999999999999999999999", 0.0f},
      {"0." + std::string(400, '0') + "1", 0.0f},
      {"1e39", INFINITY},
      {"-1e400", -INFINITY},
      {"1" + std::string(400, '0'), INFINITY},
      {"1e-400x", 0.0f},
      {"2.5e-3", 0.0025f},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseReal(c.text), c.value) << c.text.substr(0, 40);
}
