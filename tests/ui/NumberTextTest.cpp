// The dialogs and the registry value names format numbers with std::snprintf.
// The program uses the system C runtime's printf family (msvcrt.dll), not
// MinGW's own engine; these are the texts it must make.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>

namespace {

struct DoubleCase {
  const char *format;
  double value;
  const char *text;
};

void PrintTo(const DoubleCase &c, std::ostream *out) { *out << c.format << " gives " << c.text; }

class DoubleText : public testing::TestWithParam<DoubleCase> {};

TEST_P(DoubleText, IsPrinted) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, GetParam().format, GetParam().value);
  EXPECT_STREQ(GetParam().text, text);
  EXPECT_EQ(static_cast<int>(std::string(GetParam().text).size()), length);
}

INSTANTIATE_TEST_SUITE_P(
    DialogFormats, DoubleText,
    testing::Values(
        // Slider positions / 8192 as the creation dialog shows them.
        DoubleCase{"%f", 8192 / 8192.0, "1.000000"}, DoubleCase{"%f", 2048 / 8192.0, "0.250000"},
        DoubleCase{"%f", 32767 / 8192.0, "3.999878"}, DoubleCase{"%f", 0 / 8192.0, "0.000000"},
        // Exactly halfway at the sixth decimal: the system runtime rounds
        // away from zero, as Windows programs always showed it (MinGW's
        // engine would round to even, 0.007812).
        DoubleCase{"%f", 64 / 8192.0, "0.007813"},
        // "%04f" is a minimum width, not four decimals.
        DoubleCase{"%04f", 1.0, "1.000000"}, DoubleCase{"%04f", 29999 * 0.0001, "2.999900"},
        DoubleCase{"%04f", 2.9999, "2.999900"}, DoubleCase{"%04f", 1 * 0.0001, "0.000100"},
        // The largest stored gamma the registry can hold, x 0.0001.
        DoubleCase{"%04f", 2147483647 * 0.0001, "214748.364700"},
        DoubleCase{"%04f", -2147483647 * 0.0001, "-214748.364700"}));

TEST(PresetLineText, IndexSeparatorAndGamma) {
  char text[64];
  std::snprintf(text, sizeof text, "%d%s%04f", 0, " > ", 1.0);
  EXPECT_STREQ("0 > 1.000000", text);
  std::snprintf(text, sizeof text, "%d%s%04f", 3, " > ", 1.25);
  EXPECT_STREQ("3 > 1.250000", text);
  std::snprintf(text, sizeof text, "%d%s%04f", 9, " > ", 1 + 0.1 * 9);
  EXPECT_STREQ("9 > 1.900000", text);
}

TEST(RegistryValueNameText, PrefixAndIndex) {
  char text[16];
  std::snprintf(text, sizeof text, "%s%d", "Adjust", 9);
  EXPECT_STREQ("Adjust9", text);
}

// msvcrt's own _snprintf neither terminates a cut text nor says how long it
// would have been; std::snprintf must do both.
TEST(CutText, IsTerminatedAndFullLengthReturned) {
  char text[8] = "xxxxxxx";
  EXPECT_EQ(9, std::snprintf(text, 5, "%d", 123456789));
  EXPECT_STREQ("1234", text);
  EXPECT_EQ(8, std::snprintf(text, 5, "%f", 1.0));
  EXPECT_STREQ("1.00", text);
}

} // namespace
