#include "tests/support/GammaFileWriter.h"
#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const unsigned kTimeoutMs = 20000;

std::string Quoted(const std::string &text) { return "\"" + text + "\""; }

class OneShotTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder = FreshFolder(QUIL_TEST_BINARY_DIR, "one shot data");
    program = Quoted(WindowsPath(QUILLORA_EXE));
    fileRamp = PowerRamp(2.0);
    GammaFileContent content;
    content.width = 1024;
    content.height = 768;
    content.ramp = fileRamp;
    content.applyDelay = 2000;
    // One file in a folder with a space in its name, one whose whole path
    // has no space.
    spacedPath = WindowsPath(folder + "/bright ramp.qlr");
    ASSERT_TRUE(WriteGammaFile(folder + "/bright ramp.qlr", content));
    plainPath = WindowsPath(std::string(QUIL_TEST_BINARY_DIR) + "/plain.qlr");
    ASSERT_TRUE(WriteGammaFile(std::string(QUIL_TEST_BINARY_DIR) + "/plain.qlr", content));
    startRamp = PowerRamp(0.8);
    ASSERT_TRUE(SetDisplayRamp(startRamp));
  }

  void ExpectDisplayHolds(const std::vector<std::uint16_t> &ramp) {
    EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(ramp));
  }

  std::string folder, program, spacedPath, plainPath;
  std::vector<std::uint16_t> fileRamp, startRamp;
};

struct OneShotCase {
  const char *name;
  // The command line after the quoted program path; {S} stands for the path
  // with a space, {P} for the one without.
  const char *arguments;
  bool applies;
};

void PrintTo(const OneShotCase &c, std::ostream *out) { *out << c.name; }

std::string Expand(std::string text, const std::string &spaced, const std::string &plain) {
  for (std::string::size_type at; (at = text.find("{S}")) != std::string::npos;)
    text.replace(at, 3, spaced);
  for (std::string::size_type at; (at = text.find("{P}")) != std::string::npos;)
    text.replace(at, 3, plain);
  return text;
}

class OneShotCommandLine : public OneShotTest,
                           public ::testing::WithParamInterface<OneShotCase> {};

TEST_P(OneShotCommandLine, AppliesOnlyAnEFileAndEnds) {
  const OneShotCase &c = GetParam();
  std::string commandLine = program + Expand(c.arguments, spacedPath, plainPath);
  EXPECT_EQ(RunCommandLine(commandLine, kTimeoutMs), 0) << commandLine;
  ExpectDisplayHolds(c.applies ? fileRamp : startRamp);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OneShotCommandLine,
    ::testing::Values(OneShotCase{"QuotedPathWithSpace", " /E \"{S}\"", true},
                      OneShotCase{"LowerCaseSwitch", " /e {P}", true},
                      OneShotCase{"UnquotedPathWithSpace", " /E {S}", true},
                      OneShotCase{"UnquotedPathWithTrailingText", " /E {P} now", false},
                      OneShotCase{"MissingClosingQuote", " /E \"{S}", true},
                      OneShotCase{"TextAfterClosingQuote", " /E \"{S}\" and more", true},
                      OneShotCase{"TwoSpaces", "  /E \"{S}\"", false},
                      OneShotCase{"OtherSwitch", " /X", false},
                      OneShotCase{"SwitchAlone", " /E", false},
                      OneShotCase{"MissingFile", " /E \"{S}.missing\"", false}),
    [](const ::testing::TestParamInfo<OneShotCase> &param) { return param.param.name; });

TEST_F(OneShotTest, WrongMagicAppliesNothing) {
  std::vector<unsigned char> bytes = GammaFileBytes({0, 0, "", fileRamp, 0});
  bytes[7] = '2';
  ASSERT_TRUE(WriteFileBytes(folder + "/wrong.qlr", bytes));
  EXPECT_EQ(RunCommandLine(program + " /E " + WindowsPath(folder + "/wrong.qlr"), kTimeoutMs), 0);
  ExpectDisplayHolds(startRamp);
}

} // namespace
