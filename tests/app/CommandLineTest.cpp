#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

struct ArgumentCase {
  const char *commandLine;
  const char *argumentText; // null: none
};

void PrintTo(const ArgumentCase &c, std::ostream *out) { *out << c.commandLine; }

class ArgumentTextTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentTextTest, StartsTwoCharactersAfterTheSecondQuote) {
  const ArgumentCase &c = GetParam();
  const char *found = FindArgumentText(c.commandLine);
  if (!c.argumentText) {
    EXPECT_EQ(found, nullptr) << "found: " << found;
  } else {
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(found, c.argumentText);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArgumentTextTest,
    ::testing::Values(ArgumentCase{"\"C:\\q\\quillora.exe\" /E \"a b.qlr\"", "/E \"a b.qlr\""},
                      ArgumentCase{"\"C:\\q\\quillora.exe\"  /E a.qlr", " /E a.qlr"},
                      ArgumentCase{"\"C:\\q\\quillora.exe\"", nullptr},
                      ArgumentCase{"\"C:\\q\\quillora.exe\" ", nullptr},
                      ArgumentCase{"\"C:\\q\\quillora.exe\" x", "x"},
                      // The separator is skipped whatever it is.
                      ArgumentCase{"\"C:\\q\\quillora.exe\"x/E", "/E"},
                      ArgumentCase{"C:\\q\\quillora.exe /E a.qlr", nullptr},
                      // Without a quoted program path the quotes around the
                      // file are taken for the program's.
                      ArgumentCase{"C:\\q\\quillora.exe /E \"a.qlr\"", nullptr},
                      ArgumentCase{"C:\\q\\quillora.exe /E \"a.qlr\" /X", "/X"},
                      ArgumentCase{"\"C:\\q\\quillora.exe /E", nullptr},
                      ArgumentCase{"", nullptr}));

struct PathCase {
  const char *argumentText;
  const char *path; // null: not an /E switch
};

void PrintTo(const PathCase &c, std::ostream *out) { *out << c.argumentText; }

class ApplyPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ApplyPathTest, FollowsTheSwitch) {
  const PathCase &c = GetParam();
  std::string text = c.argumentText;
  const char *path = FindApplyPath(&text[0]);
  if (!c.path) {
    EXPECT_EQ(path, nullptr) << "path: " << path;
  } else {
    ASSERT_NE(path, nullptr);
    EXPECT_STREQ(path, c.path);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyPathTest,
    ::testing::Values(PathCase{"/E \"C:\\a b\\c.qlr\"", "C:\\a b\\c.qlr"},
                      PathCase{"/e C:\\a b\\c.qlr", "C:\\a b\\c.qlr"},
                      PathCase{"/E c.qlr  ", "c.qlr  "},
                      PathCase{"/E \"c.qlr", "c.qlr"},
                      PathCase{"/E \"c.qlr\" more text", "c.qlr"},
                      PathCase{"/Exc.qlr", "c.qlr"}, PathCase{"/E", ""}, PathCase{"/E ", ""},
                      PathCase{"/E \"", ""}, PathCase{"/X c.qlr", nullptr},
                      PathCase{" /E c.qlr", nullptr}, PathCase{"E c.qlr", nullptr},
                      PathCase{"/", nullptr}));
