#include "tests/e2e/ResidentFixture.h"

#include "tests/e2e/ProcessMemory.h"

#include <windows.h>

#include <cstdio>
#include <random>
#include <string>

// Configuration files far beyond what anyone writes by hand, or not text at
// all: the program must still start, in bounded time, with memory that
// follows the entries it keeps rather than the size of the file.

namespace {

// Generous: a slow machine must not fail the test, a hang must.
const unsigned kStartTimeoutMs = 300000;
// Far above what an entry costs (its node, its path, the heap's overhead),
// far below what keeping every line or the whole file would cost.
const std::size_t kBytesPerEntry = 256;
const std::size_t kSlackBytes = 4 << 20;

class LargeConfigTest : public ResidentFixture {
protected:
  // Starts the program on the configuration already written and reports how
  // long its start took and how much more private memory it holds than a
  // run without configuration.
  std::size_t StartAndMeasure(const char *what) {
    DWORD started = GetTickCount();
    EXPECT_TRUE(resident.Start("\"" + ProgramPath() + "\"", WindowsPath(folder), kStartTimeoutMs));
    DWORD elapsed = GetTickCount() - started;
    std::size_t bytes = PrivateBytes(resident.ProcessId());
    // The system C runtime's printf knows no %zu.
    std::printf("%s: ready after %lu ms, %lu KiB private (without configuration %lu KiB)\n", what,
                static_cast<unsigned long>(elapsed), static_cast<unsigned long>(bytes >> 10),
                static_cast<unsigned long>(baselineBytes >> 10));
    return bytes > baselineBytes ? bytes - baselineBytes : 0;
  }

  void SetUp() override {
    ResidentFixture::SetUp();
    ASSERT_TRUE(StartResident(ProgramPath()));
    baselineBytes = PrivateBytes(resident.ProcessId());
    ASSERT_GT(baselineBytes, 0u) << "the program's memory cannot be read";
    ASSERT_EQ(resident.Close(10000), 0);
  }

  std::size_t baselineBytes = 0;
};

TEST_F(LargeConfigTest, HundredThousandLines) {
  std::vector<std::uint16_t> at800 = WriteRamp("a.qlr", 800, 600, 0, 1.4);
  std::vector<std::uint16_t> base = WriteRamp("base.qlr", 0, 0, 0, 1.2);
  std::string text;
  int kept = 0;
  for (int i = 0; i < 100000; ++i) {
    switch (i % 5) {
    case 0: // an entry with its file
      text += "*800x600 a.qlr\r\n";
      ++kept;
      break;
    case 1: // an entry whose file is missing: kept, without a path
      text += "*1024x768 missing" + std::to_string(i) + ".qlr\r\n";
      ++kept;
      break;
    case 2: // a plain line naming a file that is not there: passed over
      text += "gone" + std::to_string(i) + ".qlr\r\n";
      break;
    case 3: // a line that names nothing
      text += "; line " + std::to_string(i) + " of a very long file\r\n";
      break;
    default:
      text += "*Hookenable\r\n";
      break;
    }
  }
  text += "*default base.qlr\r\n";
  WriteConfig(text);

  std::size_t grown = StartAndMeasure("100,000 lines");
  std::printf("%d entries kept, %lu bytes each\n", kept, static_cast<unsigned long>(grown / kept));
  EXPECT_LT(grown, kept * kBytesPerEntry + kSlackBytes);

  // The table it built works: the first 800 x 600 entry, and the default
  // ramp for a size that no line names.
  EXPECT_TRUE(WaitForDisplayRamp(base, 2000));
  ASSERT_TRUE(SetDisplayMode(800, 600));
  EXPECT_TRUE(WaitForDisplayRamp(at800, 5000));
  ASSERT_TRUE(SetDisplayMode(1024, 768));
  EXPECT_TRUE(WaitForDisplayRamp(base, 5000)) << "missing files never match";
  EXPECT_EQ(resident.Close(30000), 0);
}

TEST_F(LargeConfigTest, TenMegabytesOfBinaryJunk) {
  std::mt19937 random(20261210); // a fixed random start value: the same junk every run
  std::vector<unsigned char> junk(10 << 20);
  for (unsigned char &byte : junk)
    byte = static_cast<unsigned char>(random());
  ASSERT_TRUE(WriteFileBytes(folder + "/quilcfg.txt", junk));

  std::size_t grown = StartAndMeasure("10 MB of junk");
  // Junk names no file, so hardly a line is kept; the file itself is read
  // line by line, never held whole.
  EXPECT_LT(grown, kSlackBytes);
  DWORD_PTR ignored = 0;
  EXPECT_TRUE(SendMessageTimeoutA(resident.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored));
  EXPECT_EQ(resident.Close(30000), 0);
}

} // namespace
