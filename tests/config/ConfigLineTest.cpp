#include "config/ConfigLine.h"

#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Shift-JIS bytes written out, so that both builds see the same text:
// "表示" (0x95 0x5C 0x8E 0xA6) and "ソフト" (0x83 0x5C 0x83 0x74 0x83 0x67).
// Their second bytes include 0x5C, the backslash.
#define SJIS_FOLDER "\x95\x5c\x8e\xa6"
#define SJIS_FILE "\x83\x5c\x83\x74\x83\x67"

struct LineCase {
  const char *text;
  ConfigLineKind kind;
  const char *path; // null: no path expected
  int width;
  int height;
};

const LineCase kLineCases[] = {
    {"*1024x768 C:\\gamma\\a.qlr\r\n", kResolutionLine, "C:\\gamma\\a.qlr", 1024, 768},
    {"*800 600 a.qlr\r\n", kResolutionLine, "a.qlr", 800, 600},
    {"*800/600/a.qlr\n", kResolutionLine, "a.qlr", 800, 600},
    {"*0x0 a.qlr\r\n", kResolutionLine, "a.qlr", 0, 0},
    {"*800x a.qlr\r\n", kResolutionLine, "a.qlr", 800, 0},
    {"*800x600  a.qlr\r\n", kResolutionLine, " a.qlr", 800, 600},
    {"*800x600 a.qlr\tsecond monitor\r\n", kResolutionLine, "a.qlr", 800, 600},
    {"*800x600 a.qlr  \r\n", kResolutionLine, "a.qlr  ", 800, 600},
    {"*800x600xa.qlr", kResolutionLine, "a.qlr", 800, 600},
    {"*800x600\r\n", kResolutionLine, "", 800, 600},
    {"*800x600", kResolutionLine, "", 800, 600},
    {"*800\r\n", kResolutionLine, "", 800, 0},
    {"*8", kResolutionLine, "", 8, 0},
    {"*0800x0600 a.qlr", kResolutionLine, "a.qlr", 800, 600},
    {"*99999999999x600 a.qlr", kResolutionLine, "a.qlr", INT_MAX, 600},
    {"*1x99999999999999999999 a.qlr", kResolutionLine, "a.qlr", 1, INT_MAX},
    {"*1024x768 C:\\" SJIS_FOLDER "\\" SJIS_FILE ".qlr\r\n", kResolutionLine,
     "C:\\" SJIS_FOLDER "\\" SJIS_FILE ".qlr", 1024, 768},

    {"*default a.qlr\r\n", kDefaultLine, "a.qlr", 0, 0},
    {"*DEFAULT a.qlr\r\n", kDefaultLine, "a.qlr", 0, 0},
    {"*DeFault  a.qlr\r\n", kDefaultLine, " a.qlr", 0, 0},
    {"*default a.qlr\tcomment\n", kDefaultLine, "a.qlr", 0, 0},
    {"*default " SJIS_FILE ".qlr\r\n", kDefaultLine, SJIS_FILE ".qlr", 0, 0},
    {"*default", kDefaultLine, "", 0, 0},
    {"*default \r\n", kDefaultLine, "", 0, 0},
    {"*default\r\n", kIgnoredLine, nullptr, 0, 0},
    {"*default\n", kIgnoredLine, nullptr, 0, 0},
    {"*default\ta.qlr\r\n", kIgnoredLine, nullptr, 0, 0},
    {"*defaults a.qlr\r\n", kIgnoredLine, nullptr, 0, 0},
    {"*dark a.qlr\r\n", kIgnoredLine, nullptr, 0, 0},
    {"*D", kIgnoredLine, nullptr, 0, 0},

    {"*Hookenable\r\n", kHookLine, nullptr, 0, 0},
    {"*Hookdisable", kHookLine, nullptr, 0, 0},
    {"*hookenable\r\n", kIgnoredLine, nullptr, 0, 0},
    {"* a.qlr\r\n", kIgnoredLine, nullptr, 0, 0},
    {"*x800x600 a.qlr\r\n", kIgnoredLine, nullptr, 0, 0},
    {"*\r\n", kIgnoredLine, nullptr, 0, 0},
    {"*", kIgnoredLine, nullptr, 0, 0},
    {"**800x600 a.qlr", kIgnoredLine, nullptr, 0, 0},

    {"a.qlr\r\n", kPlainLine, "a.qlr", 0, 0},
    {"a.qlr", kPlainLine, "a.qlr", 0, 0},
    {" a.qlr  \r\n", kPlainLine, " a.qlr  ", 0, 0},
    {"a.qlr\t; note\r\n", kPlainLine, "a.qlr", 0, 0},
    {"C:\\" SJIS_FOLDER "\\" SJIS_FILE ".qlr\r\n", kPlainLine,
     "C:\\" SJIS_FOLDER "\\" SJIS_FILE ".qlr", 0, 0},
    {"\r\n", kPlainLine, "", 0, 0},
    {"", kPlainLine, "", 0, 0},
    {"#*800x600 a.qlr\r\n", kPlainLine, "#*800x600 a.qlr", 0, 0},
};

std::string Printable(const char *text) {
  std::string out;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
    char escaped[8];
    if (*p < 32 || *p >= 127)
      std::snprintf(escaped, sizeof escaped, "\\x%02x", *p);
    else
      std::snprintf(escaped, sizeof escaped, "%c", *p);
    out += escaped;
  }
  return out;
}

TEST(ConfigLineTest, ClassifiesAndSplitsEachKindOfLine) {
  for (const LineCase &c : kLineCases) {
    SCOPED_TRACE(Printable(c.text));
    std::vector<char> text(c.text, c.text + std::strlen(c.text) + 1);
    ConfigLine line = ParseConfigLine(text.data());
    EXPECT_EQ(c.kind, line.kind);
    if (c.path) {
      ASSERT_NE(nullptr, line.path);
      EXPECT_EQ(std::string(c.path), std::string(line.path));
    } else {
      EXPECT_EQ(nullptr, line.path);
    }
    EXPECT_EQ(c.width, line.width);
    EXPECT_EQ(c.height, line.height);
  }
}

// Time and fade lines give their value in seconds; a line that does not
// parse is skipped like any other ignored line, so older readers and this
// one agree on what a broken line does.
TEST(ConfigLineTest, TimeAndFadeLinesParseOnlyWhenWellFormed) {
  struct ValueCase {
    const char *text;
    ConfigLineKind kind;
    const char *path; // null: no path expected
    int seconds;
  } const cases[] = {
      {"*time 19:00 C:\\gamma\\e.qlr\r\n", kTimeLine, "C:\\gamma\\e.qlr", 19 * 3600},
      {"*time 7:05 m.qlr\n", kTimeLine, "m.qlr", 7 * 3600 + 5 * 60},
      {"*time 07:05 m.qlr", kTimeLine, "m.qlr", 7 * 3600 + 5 * 60},
      {"*time 19:00:30 e.qlr\r\n", kTimeLine, "e.qlr", 19 * 3600 + 30},
      {"*time 0:00 a.qlr", kTimeLine, "a.qlr", 0},
      {"*time 23:59:59 a.qlr", kTimeLine, "a.qlr", 86399},
      {"*TIME 12:00 a.qlr\tcomment", kTimeLine, "a.qlr", 12 * 3600},
      {"*time 12:00  a.qlr ", kTimeLine, " a.qlr ", 12 * 3600},
      {"*time 12:00 " SJIS_FILE ".qlr\r\n", kTimeLine, SJIS_FILE ".qlr", 12 * 3600},
      {"*time 24:00 a.qlr", kIgnoredLine, nullptr, 0},
      {"*time 7:5 a.qlr", kIgnoredLine, nullptr, 0},
      {"*time 19:60 a.qlr", kIgnoredLine, nullptr, 0},
      {"*time 19:00:60 a.qlr", kIgnoredLine, nullptr, 0},
      {"*time 19:00:5 a.qlr", kIgnoredLine, nullptr, 0},
      {"*time 019:00 a.qlr", kIgnoredLine, nullptr, 0},
      {"*time 19 a.qlr", kIgnoredLine, nullptr, 0},
      {"*time 19: a.qlr", kIgnoredLine, nullptr, 0},
      {"*time -1:00 a.qlr", kIgnoredLine, nullptr, 0},
      {"*time 19.00 a.qlr", kIgnoredLine, nullptr, 0},
      {"*time 19:00a.qlr", kIgnoredLine, nullptr, 0},
      {"*time 19:00\ta.qlr", kIgnoredLine, nullptr, 0},
      {"*time 19:00\r\n", kIgnoredLine, nullptr, 0},
      {"*time 19:00 \r\n", kIgnoredLine, nullptr, 0},
      {"*time 19:00", kIgnoredLine, nullptr, 0},
      {"*time\r\n", kIgnoredLine, nullptr, 0},
      {"*times 19:00 a.qlr", kIgnoredLine, nullptr, 0},

      {"*fade 20\r\n", kFadeLine, nullptr, 20 * 60},
      {"*fade 0", kFadeLine, nullptr, 0},
      {"*fade 45s\r\n", kFadeLine, nullptr, 45},
      {"*FADE 45S", kFadeLine, nullptr, 45},
      {"*fade 0s", kFadeLine, nullptr, 0},
      {"*fade 30 \tminutes", kFadeLine, nullptr, 30 * 60},
      {"*fade 1440", kFadeLine, nullptr, 86400},
      {"*fade 86400s", kFadeLine, nullptr, 86400},
      {"*fade 007", kFadeLine, nullptr, 7 * 60},
      {"*fade 1441", kIgnoredLine, nullptr, 0},
      {"*fade 86401s", kIgnoredLine, nullptr, 0},
      {"*fade 99999999999999", kIgnoredLine, nullptr, 0},
      {"*fade -5", kIgnoredLine, nullptr, 0},
      {"*fade 1.5", kIgnoredLine, nullptr, 0},
      {"*fade 20m", kIgnoredLine, nullptr, 0},
      {"*fade 20 s", kIgnoredLine, nullptr, 0},
      {"*fade s", kIgnoredLine, nullptr, 0},
      {"*fade \r\n", kIgnoredLine, nullptr, 0},
      {"*fade", kIgnoredLine, nullptr, 0},
      {"*fader 20", kIgnoredLine, nullptr, 0},
  };
  for (const ValueCase &c : cases) {
    SCOPED_TRACE(Printable(c.text));
    std::vector<char> text(c.text, c.text + std::strlen(c.text) + 1);
    ConfigLine line = ParseConfigLine(text.data());
    EXPECT_EQ(c.kind, line.kind);
    if (c.path) {
      ASSERT_NE(nullptr, line.path);
      EXPECT_EQ(std::string(c.path), std::string(line.path));
    } else {
      EXPECT_EQ(nullptr, line.path);
    }
    EXPECT_EQ(c.seconds, line.seconds);
  }
}

TEST(ConfigLineTest, TrimCutsAtControlBytesOnly) {
  struct TrimCase {
    const char *text;
    const char *trimmed;
  } const cases[] = {
      {"a.qlr\r\n", "a.qlr"},
      {"a.qlr\ttail", "a.qlr"},
      {"a b.qlr \x1f x", "a b.qlr "},
      {"\x01" "abc", ""},
      {"", ""},
      {"no control", "no control"},
      {"\x7f\x80\xff\xa0", "\x7f\x80\xff\xa0"},
      {SJIS_FOLDER "\\" SJIS_FILE ".qlr\r\n", SJIS_FOLDER "\\" SJIS_FILE ".qlr"},
  };
  for (const TrimCase &c : cases) {
    SCOPED_TRACE(Printable(c.text));
    std::vector<char> text(c.text, c.text + std::strlen(c.text) + 1);
    TrimAtControl(text.data());
    EXPECT_EQ(std::string(c.trimmed), std::string(text.data()));
  }
}

TEST(ConfigLineTest, SuffixTestIgnoresCaseAndNeedsALongerName) {
  struct SuffixCase {
    const char *name;
    const char *suffix;
    int result;
  } const cases[] = {
      {"a.qlr", "qlr", 1},   {"A.QLR", "qlr", 1},     {"a.QlR", "qlr", 1},
      {"aqlr", "qlr", 1},    {"qlr", "qlr", 0},        {"lr", "qlr", 0},
      {"", "qlr", 0},        {"a.qlr ", "qlr", 0},     {"a.qlr\r", "qlr", 0},
      {"a.qlx", "qlr", 0},   {"a", "", 1},             {"", "", 0},
      {nullptr, "qlr", 0},   {"a.qlr", nullptr, 0},    {nullptr, nullptr, 0},
      {SJIS_FILE ".qlr", "qlr", 1},
  };
  for (const SuffixCase &c : cases) {
    SCOPED_TRACE(c.name ? Printable(c.name) : std::string("(null)"));
    EXPECT_EQ(c.result, EndsWithNoCase(c.name, c.suffix));
  }
}

TEST(ConfigLineTest, FileExistsForFilesAndDirectoriesOnly) {
  TestFolder folder;
  ASSERT_TRUE(folder.Ready()) << folder.Path();
  const char file[] = "config_line_test_file.qlr";
  std::FILE *out = std::fopen(file, "wb");
  ASSERT_NE(nullptr, out);
  std::fputs("x", out);
  std::fclose(out);
  const char empty[] = "config_line_test_empty.qlr";
  out = std::fopen(empty, "wb");
  ASSERT_NE(nullptr, out);
  std::fclose(out);

  EXPECT_EQ(1, FileExists(file));
  EXPECT_EQ(1, FileExists(empty));
  EXPECT_EQ(1, FileExists("."));
  EXPECT_EQ(0, FileExists("config_line_test_missing.qlr"));
  EXPECT_EQ(0, FileExists(""));
  EXPECT_EQ(0, FileExists(nullptr));
}

// Whatever bytes a line holds, parsing stays inside it and hands back a path
// that lies within the line and holds no control byte. The line sits in a
// buffer of exactly its own size, so the sanitizers see any stray read.
TEST(ConfigLineTest, SurvivesArbitraryBytes) {
  std::mt19937 random(20240611);
  const char *prefixes[] = {"",         "*",     "*1",          "*9x",         "*d",
                            "*D",       "*default", "*H",       "*12345678901x", "*time ",
                            "*time 1", "*time 12:3", "*fade ", "*fade 9"};
  for (int round = 0; round < 20000; ++round) {
    std::string text = prefixes[round % (sizeof prefixes / sizeof prefixes[0])];
    int length = static_cast<int>(random() % (kConfigLineSize - text.size()));
    for (int i = 0; i < length; ++i) {
      unsigned value = random() % 6 == 0 ? random() % 48 : random() % 256;
      text += static_cast<char>(value == 0 ? 'x' : value);
    }
    // An embedded NUL ends the line for every reader; put one in at times.
    std::size_t size = text.size() + 1;
    char *line = static_cast<char *>(std::malloc(size));
    ASSERT_NE(nullptr, line);
    std::memcpy(line, text.c_str(), size);
    if (round % 7 == 0 && size > 2)
      line[random() % (size - 1)] = '\0';
    std::size_t length_before = std::strlen(line);

    ConfigLine parsed = ParseConfigLine(line);
    if (parsed.path) {
      ASSERT_GE(parsed.path, line);
      ASSERT_LE(parsed.path, line + length_before);
      for (const char *p = parsed.path; *p; ++p)
        ASSERT_GE(static_cast<unsigned char>(*p), 32u);
    }
    if (parsed.kind != kResolutionLine) {
      ASSERT_EQ(0, parsed.width);
      ASSERT_EQ(0, parsed.height);
    }
    ASSERT_GE(parsed.width, 0);
    ASSERT_GE(parsed.height, 0);
    if (parsed.kind == kTimeLine) {
      ASSERT_LT(parsed.seconds, 86400);
      ASSERT_NE('\0', *parsed.path);
    }
    if (parsed.kind != kTimeLine && parsed.kind != kFadeLine) {
      ASSERT_EQ(0, parsed.seconds);
    }
    ASSERT_GE(parsed.seconds, 0);
    ASSERT_LE(parsed.seconds, kLongestFadeSeconds);
    std::free(line);
  }
}

} // namespace
