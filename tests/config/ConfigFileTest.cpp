#include "config/ConfigFile.h"

#include "GammaFileFixture.h"
#include "gamma/GammaRamp.h"

#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

// "表示ガンマ" and "ソフト": Shift-JIS text whose trail bytes include 0x5C.
const char kJapaneseFolder[] = "表示ガンマ";
const char kJapaneseFile[] = "表示ガンマ\\ソフト.qlr";

std::vector<std::uint16_t> IdentityRamp() {
  std::vector<std::uint16_t> ramp(768);
  for (int i = 0; i < 768; ++i)
    ramp[i] = static_cast<std::uint16_t>((i % 256) * 256 + 255);
  return ramp;
}

// The display keeps the high byte of each entry only.
std::vector<int> HighBytesOf(const std::uint16_t *ramp) {
  return HighBytes(std::vector<std::uint16_t>(ramp, ramp + 768));
}


// Each test runs in a folder of its own, made the current directory, with
// gamma files of known resolutions and ramps next to "quilcfg.txt".
class ConfigFileTest : public testing::Test {
protected:
  void SetUp() override {
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    previousDirectory = previous;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    folder = std::string(temp) + "quilcfg_test_" + std::to_string(GetCurrentProcessId());
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));

    ASSERT_TRUE(WriteGammaFile("a.qlr", 1024, 768));
    ASSERT_TRUE(WriteGammaFile("b.QLR", 640, 480));
    ASSERT_TRUE(WriteGammaFile(" lead.qlr", 1280, 1024));
    ASSERT_TRUE(WriteGammaFile("qlr", 800, 600));
    ASSERT_TRUE(WriteBytes("bad.qlr", "QLRAMP02", 8));
    ASSERT_TRUE(CreateDirectoryA("dir.qlr", nullptr));
    ASSERT_TRUE(CreateDirectoryA(kJapaneseFolder, nullptr));
    ASSERT_TRUE(WriteGammaFile(kJapaneseFile, 1280, 1024));
    std::vector<unsigned char> first = GammaFileBytes(800, 600, PowerRamp(2.0));
    ASSERT_TRUE(WriteBytes("def1.qlr", first.data(), first.size()));
    std::vector<unsigned char> second = GammaFileBytes(1024, 768, PowerRamp(0.5), 1500);
    ASSERT_TRUE(WriteBytes("def2.qlr", second.data(), second.size()));

    ASSERT_TRUE(SetDisplayRamp(IdentityRamp()));
  }

  void TearDown() override {
    FreeResolutionEntries(table);
    SetCurrentDirectoryA(previousDirectory.c_str());
    RemoveTree(folder);
    SetDisplayRamp(IdentityRamp());
  }

  static void WriteConfig(const std::string &text) {
    ASSERT_TRUE(WriteBytes("quilcfg.txt", text.data(), text.size()));
  }

  // Reads the file into a fresh table; a ramp that is passed in may hold
  // anything beforehand.
  void Read(GammaRamp *base, GammaRamp *work) {
    FreeResolutionEntries(table);
    table = {};
    ReadConfigFile(table, base, work);
  }

  // "WxH path" per entry, in list order, after checking count against it.
  std::vector<std::string> Entries() const {
    std::vector<std::string> entries;
    for (const ResolutionEntry *entry = table.head; entry; entry = entry->next)
      entries.push_back(std::to_string(entry->width) + "x" + std::to_string(entry->height) +
                        " " + (entry->path ? entry->path : "(none)"));
    EXPECT_EQ(static_cast<int>(entries.size()), table.count);
    return entries;
  }

  std::string previousDirectory;
  std::string folder;
  ResolutionTable table = {};
  GammaRamp baseRamp;
  GammaRamp workRamp;
};

struct FileCase {
  const char *name;
  std::string text;
  std::vector<std::string> entries;
};

std::string LongLine() {
  std::string first = "*640x480 " + std::string(250, 'x'); // 259 bytes: one piece
  std::string second;
  while (second.size() < 36)
    second += ".\\";
  return first + second + "a.qlr\r\n";
}

std::string DotPath() {
  std::string path;
  while (path.size() < 36)
    path += ".\\";
  return path + "a.qlr";
}

const char kNulText[] = "a.qlr\0*800x600 a.qlr\r\nb.QLR\rb.QLR\r\n*640x480 a.qlr";

const FileCase kFileCases[] = {
    {"resolution lines",
     "*800x600 a.qlr\r\n"
     "*800 600 b.QLR\r\n"
     "*0x0 a.qlr\r\n"
     "*800x b.QLR\r\n"
     "*1024x768  lead.qlr\r\n"
     "*1024x768 missing.qlr\r\n"
     "*1280x1024 dir.qlr\r\n"
     "*640x480 bad.qlr\r\n"
     "*800x600 a.qlr\tthe old monitor\r\n"
     "*800x600\r\n"
     "*1600x1200 b.QLR",
     {"800x600 a.qlr", "800x600 b.QLR", "1024x768 a.qlr", "640x480 b.QLR",
      "1024x768  lead.qlr", "0x0 (none)", "0x0 (none)", "0x0 (none)", "800x600 a.qlr",
      "0x0 (none)", "1600x1200 b.QLR"}},
    {"plain lines",
     "a.qlr\r\n"
     "b.QLR\n"
     "qlr\r\n"
     "a.qlr  \r\n"
     "missing.qlr\r\n"
     "dir.qlr\r\n"
     "bad.qlr\r\n"
     "\r\n"
     " lead.qlr\r\n"
     "a.qlr\t; preferred\r\n",
     {"1024x768 a.qlr", "640x480 b.QLR", "0x0 (none)", "0x0 (none)", "1280x1024  lead.qlr",
      "1024x768 a.qlr"}},
    {"ignored, hook and default lines add nothing",
     "*hookenable\r\n*Hookenable\r\n*Hookdisable a.qlr\r\n* a.qlr\r\n*xa.qlr\r\n"
     "*default\r\n*default a.qlr\r\n*\r\n#a.qlr\r\n",
     {}},
    {"Shift-JIS paths stay whole",
     std::string("*1024x768 ") + kJapaneseFile + "\r\n" + kJapaneseFile + "\r\n",
     {std::string("1024x768 ") + kJapaneseFile, std::string("1280x1024 ") + kJapaneseFile}},
    {"a 300-byte line is read as two lines",
     LongLine() + "b.QLR\r\n",
     {"0x0 (none)", "1024x768 " + DotPath(), "640x480 b.QLR"}},
    {"a NUL ends the line; a lone CR does not",
     std::string(kNulText, sizeof kNulText - 1),
     {"1024x768 a.qlr", "640x480 b.QLR", "640x480 a.qlr"}},
};

TEST_F(ConfigFileTest, BuildsTheTableInFileOrder) {
  for (const FileCase &c : kFileCases) {
    SCOPED_TRACE(c.name);
    WriteConfig(c.text);
    Read(&baseRamp, &workRamp);
    EXPECT_EQ(c.entries, Entries());
  }
}

TEST_F(ConfigFileTest, DefaultLineLoadsAppliesAndDropsTheResolution) {
  WriteConfig("*DEFAULT def1.qlr\r\n*640x480 b.QLR\r\n");
  Read(&baseRamp, &workRamp);
  EXPECT_EQ(HighBytes(PowerRamp(2.0)), HighBytesOf(baseRamp.Entries()));
  EXPECT_EQ(0, baseRamp.GetTargetWidth());
  EXPECT_EQ(0, baseRamp.GetTargetHeight());
  EXPECT_EQ(HighBytes(PowerRamp(2.0)), HighBytes(ReadDisplayRamp()));
  EXPECT_EQ(std::vector<std::string>{"640x480 b.QLR"}, Entries());
}

TEST_F(ConfigFileTest, TheLastDefaultThatLoadsStays) {
  WriteConfig("*default def1.qlr\r\n*Default def2.qlr\r\n*default missing.qlr\r\n"
              "*default bad.qlr\r\n*default dir.qlr\r\n*default\r\n");
  Read(&baseRamp, &workRamp);
  EXPECT_EQ(HighBytes(PowerRamp(0.5)), HighBytesOf(baseRamp.Entries()));
  EXPECT_EQ(0, baseRamp.GetTargetWidth());
  EXPECT_EQ(HighBytes(PowerRamp(0.5)), HighBytes(ReadDisplayRamp()));

  // With the order reversed the first file is the one that stays.
  WriteConfig("*default def2.qlr\r\n*default def1.qlr\r\n*default missing.qlr\r\n");
  Read(&baseRamp, &workRamp);
  EXPECT_EQ(HighBytes(PowerRamp(2.0)), HighBytesOf(baseRamp.Entries()));
  EXPECT_EQ(HighBytes(PowerRamp(2.0)), HighBytes(ReadDisplayRamp()));
}

// Without a default that loads, the base ramp becomes the identity but is
// not put on the screen: the display keeps what it had.
TEST_F(ConfigFileTest, WithoutALoadedDefaultTheBaseIsIdentityAndNotApplied) {
  const std::vector<std::uint16_t> before = PowerRamp(2.0);
  ASSERT_TRUE(SetDisplayRamp(before));
  struct NoDefaultCase {
    const char *name;
    bool directory; // "quilcfg.txt" is a folder
    const char *text; // null: no configuration file
  } const cases[] = {
      {"no configuration file", false, nullptr},
      {"a folder named like it", true, nullptr},
      {"empty file", false, ""},
      {"keyword alone or failing defaults", false,
       "*default\r\n*DEFAULT\n*default missing.qlr\r\n*default bad.qlr\r\n*default\ta.qlr\r\n"
       "*defaults a.qlr\r\n"},
  };
  for (const NoDefaultCase &c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileA("quilcfg.txt");
    RemoveDirectoryA("quilcfg.txt");
    if (c.directory) {
      ASSERT_TRUE(CreateDirectoryA("quilcfg.txt", nullptr));
    }
    if (c.text)
      WriteConfig(c.text);
    baseRamp.SetCurve(3.0, 0);
    Read(&baseRamp, &workRamp);
    EXPECT_EQ(IdentityRamp(), std::vector<std::uint16_t>(baseRamp.Entries(),
                                                         baseRamp.Entries() + 768));
    EXPECT_EQ(HighBytes(before), HighBytes(ReadDisplayRamp()));
    EXPECT_EQ(nullptr, table.head);
    EXPECT_EQ(0, table.count);
  }
  RemoveDirectoryA("quilcfg.txt");
}

TEST_F(ConfigFileTest, MissingRampsAreLeftOut) {
  WriteConfig("*default def1.qlr\r\n*800x600 a.qlr\r\na.qlr\r\n");
  Read(nullptr, nullptr);
  EXPECT_EQ((std::vector<std::string>{"0x0 (none)", "0x0 (none)"}), Entries());
  EXPECT_EQ(HighBytes(IdentityRamp()), HighBytes(ReadDisplayRamp()));

  DeleteFileA("quilcfg.txt");
  Read(nullptr, nullptr);
  EXPECT_EQ(0, table.count);
}

// Junk of every kind, weighted toward the bytes the reader looks at, must
// never crash it; what it makes of it must still be a consistent table.
TEST_F(ConfigFileTest, SurvivesArbitraryBytes) {
  const char *pieces[] = {"*", "*8", "*800x600 ", "*default ", "*D", "*H", "a.qlr", "b.QLR",
                          "def1.qlr", "dir.qlr", "qlr", "\r\n", "\n", "\r", "\t", " ", "x"};
  std::mt19937 random(77);
  for (int round = 0; round < 40; ++round) {
    std::string text;
    while (text.size() < 4000) {
      if (random() % 3 == 0)
        text += static_cast<char>(random() % 256);
      else
        text += pieces[random() % (sizeof pieces / sizeof pieces[0])];
      if (random() % 50 == 0)
        text += std::string(random() % 600, static_cast<char>('0' + random() % 10));
    }
    WriteConfig(text);
    Read(&baseRamp, &workRamp);
    Entries(); // checks count against the list
    for (const ResolutionEntry *entry = table.head; entry; entry = entry->next) {
      if (!entry->path) {
        EXPECT_EQ(0, entry->width);
        EXPECT_EQ(0, entry->height);
      }
    }
  }
}

} // namespace
