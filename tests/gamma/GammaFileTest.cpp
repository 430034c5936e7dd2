#include "gamma/GammaRamp.h"

#include "gamma/FileName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#ifdef __linux__
#include <csignal>
#include <sys/resource.h>
#endif

#ifdef _WIN32
#include <thread>
#include <windows.h>
#endif

#ifdef __SANITIZE_ADDRESS__
// No test needs more than a few megabytes at once: a larger allocation means
// the reader believed a name length the file cannot hold, and ends the run.
extern "C" const char *__asan_default_options() {
  return "max_allocation_size_mb=64:allocator_may_return_null=0";
}
#endif

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

const int kRampBytes = 2 * GammaRamp::kEntryCount;

// Gamma files put together byte by byte here, not by the program's writer,
// so that the reader's tests do not take the writer's word for the format.
class FileBuilder {
public:
  FileBuilder &Text(const std::string &text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    return *this;
  }
  FileBuilder &Int32(std::int32_t value) {
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
      bytes.push_back(static_cast<unsigned char>(bits >> shift));
    return *this;
  }
  FileBuilder &Ramp(const std::vector<std::uint16_t> &entries) {
    for (std::uint16_t entry : entries) {
      bytes.push_back(static_cast<unsigned char>(entry & 0xFF));
      bytes.push_back(static_cast<unsigned char>(entry >> 8));
    }
    return *this;
  }
  Bytes bytes;
};

// Every entry different and the three channels different, so that a byte or
// channel read from the wrong place shows.
std::vector<std::uint16_t> Pattern(unsigned offset) {
  std::vector<std::uint16_t> entries(GammaRamp::kEntryCount);
  for (std::size_t i = 0; i < entries.size(); ++i)
    entries[i] = static_cast<std::uint16_t>(i * 40503u + offset);
  return entries;
}

Bytes NamedFile(const std::string &nameBytes, const std::vector<std::uint16_t> &entries,
                std::int32_t delay) {
  return FileBuilder()
      .Text("QLRAMP01")
      .Int32(800)
      .Int32(600)
      .Int32(static_cast<std::int32_t>(nameBytes.size()))
      .Text(nameBytes)
      .Ramp(entries)
      .Int32(delay)
      .bytes;
}

// Everything a load can change, for comparing a ramp before and after.
struct RampState {
  int width, height, delay;
  bool hasName;
  std::string name;
  std::vector<std::uint16_t> entries;

  bool operator==(const RampState &other) const {
    return width == other.width && height == other.height && delay == other.delay &&
           hasName == other.hasName && name == other.name && entries == other.entries;
  }
  friend void PrintTo(const RampState &state, std::ostream *out) {
    *out << state.width << "x" << state.height << ", delay " << state.delay << ", name "
         << (state.hasName ? "\"" + state.name + "\"" : "none") << ", entries " << state.entries[0]
         << " " << state.entries[1] << " ... " << state.entries[767];
  }
};

RampState StateOf(const GammaRamp &ramp) {
  return {ramp.GetTargetWidth(),
          ramp.GetTargetHeight(),
          ramp.GetApplyDelay(),
          ramp.GetName() != nullptr,
          ramp.GetName() ? ramp.GetName() : "",
          std::vector<std::uint16_t>(ramp.Entries(), ramp.Entries() + GammaRamp::kEntryCount)};
}

RampState WithoutName(RampState state) {
  state.hasName = false;
  state.name.clear();
  return state;
}

// The tests of one program run in parallel, so each test gets a folder of
// its own inside the build tree.
class GammaFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string leaf = std::string(test->test_suite_name()) + "." + test->name();
    for (char &c : leaf)
      if (c == '/')
        c = '_';
    folder = std::string(QUIL_TEST_BINARY_DIR) + "/files/" + leaf;
    std::error_code error;
    fs::remove_all(Host(folder), error);
    ASSERT_TRUE(fs::create_directories(Host(folder), error)) << folder << ": " << error.message();
  }

  // Under Wine a Linux path is reached through drive Z:.
  static std::string Host(const std::string &linuxPath) {
#ifdef _WIN32
    return "Z:" + linuxPath;
#else
    return linuxPath;
#endif
  }

  std::string PathOf(const std::string &leaf) const {
    return Host(folder + "/" + leaf);
  }

  std::string Write(const std::string &leaf, const Bytes &bytes) const {
    const std::string path = PathOf(leaf);
    std::FILE *file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (file) {
      if (!bytes.empty()) {
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
      }
      EXPECT_EQ(std::fclose(file), 0);
    }
    return path;
  }

  static Bytes Read(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(Host(folder), error), end; !error && it != end;
         it.increment(error))
      names.push_back(it->path().filename().string());
    return names;
  }

  // A ramp in a known state that carries a name, as a load would leave it.
  void PrepareNamed(GammaRamp &ramp) {
    ASSERT_EQ(
        ramp.LoadFromFile(Write("earlier.qlr", NamedFile("earlier", Pattern(5), 300)).c_str()), 1);
    ASSERT_NE(ramp.GetName(), nullptr);
  }

  std::string folder;
};

TEST_F(GammaFileTest, SavesTheExampleByteForByte) {
  GammaRamp ramp;
  const std::vector<std::uint16_t> entries = Pattern(1);
  std::copy(entries.begin(), entries.end(), ramp.Entries());
  ramp.SetTargetSize(1024, 768);
  ramp.SetApplyDelay(2000);
  ASSERT_EQ(ramp.SaveToFile(PathOf("example.qlr").c_str()), 1);

  Bytes expected = {'Q',  'L',  'R',  'A',  'M',  'P',  '0',  '1',  0x00, 0x04,
                    0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  for (std::uint16_t entry : entries) {
    expected.push_back(static_cast<unsigned char>(entry & 0xFF));
    expected.push_back(static_cast<unsigned char>(entry >> 8));
  }
  expected.insert(expected.end(), {0xD0, 0x07, 0x00, 0x00});
  ASSERT_EQ(expected.size(), 1560u);
  EXPECT_EQ(Read(PathOf("example.qlr")), expected);
  EXPECT_EQ(Listing(), std::vector<std::string>{"example.qlr"});
}

TEST_F(GammaFileTest, SaveThenLoadKeepsEveryField) {
  // Name bytes as a Japanese Windows would store them (CP932), with a 0x5C
  // trail byte.
  const std::string name = "dark \x83\x5C\x83\x74\x83\x67";
  const Bytes original = FileBuilder()
                             .Text("QLRAMP01")
                             .Int32(-1280)
                             .Int32(INT_MAX)
                             .Int32(static_cast<std::int32_t>(name.size()))
                             .Text(name)
                             .Ramp(Pattern(2))
                             .Int32(INT_MIN)
                             .bytes;
  GammaRamp loaded;
  ASSERT_EQ(loaded.LoadFromFile(Write("original.qlr", original).c_str()), 1);
  ASSERT_EQ(loaded.SaveToFile(PathOf("copy.qlr").c_str()), 1);
  EXPECT_EQ(Read(PathOf("copy.qlr")), original);

  GammaRamp reloaded;
  ASSERT_EQ(reloaded.LoadFromFile(PathOf("copy.qlr").c_str()), 1);
  EXPECT_EQ(StateOf(reloaded), StateOf(loaded));
  EXPECT_EQ(StateOf(reloaded), (RampState{-1280, INT_MAX, INT_MIN, true, name, Pattern(2)}));

  GammaRamp unnamed;
  unnamed.SetCurve(2.0, 13);
  unnamed.SetTargetSize(640, 480);
  unnamed.SetApplyDelay(150);
  ASSERT_EQ(unnamed.SaveToFile(PathOf("unnamed.qlr").c_str()), 1);
  EXPECT_EQ(Read(PathOf("unnamed.qlr")).size(), 1560u);
  ASSERT_EQ(reloaded.LoadFromFile(PathOf("unnamed.qlr").c_str()), 1);
  EXPECT_EQ(StateOf(reloaded), StateOf(unnamed));
}

TEST_F(GammaFileTest, NameStartingWithNulIsSavedAsNoName) {
  GammaRamp ramp;
  ASSERT_EQ(
      ramp.LoadFromFile(
          Write("leading zero.qlr", NamedFile(std::string("\0ab", 3), Pattern(3), 9)).c_str()),
      1);
  ASSERT_NE(ramp.GetName(), nullptr);
  EXPECT_STREQ(ramp.GetName(), "");
  ASSERT_EQ(ramp.SaveToFile(PathOf("saved.qlr").c_str()), 1);
  EXPECT_EQ(Read(PathOf("saved.qlr")), NamedFile("", Pattern(3), 9));
}

struct WrongMagic {
  const char *label;
  const char *bytes; // the first 8 bytes of the file
};

class GammaFileWrongMagic : public GammaFileTest,
                            public ::testing::WithParamInterface<WrongMagic> {};

TEST_P(GammaFileWrongMagic, IsRejectedAndOnlyTheNameIsLost) {
  GammaRamp ramp;
  PrepareNamed(ramp);
  const RampState before = StateOf(ramp);
  const Bytes file = FileBuilder()
                         .Text(std::string(GetParam().bytes, 8))
                         .Int32(1)
                         .Int32(2)
                         .Int32(0)
                         .Ramp(Pattern(4))
                         .Int32(3)
                         .bytes;
  EXPECT_EQ(ramp.LoadFromFile(Write("wrong.qlr", file).c_str()), 0);
  EXPECT_EQ(StateOf(ramp), WithoutName(before));
}

const WrongMagic kWrongMagics[] = {
    {"Q_lower", "qLRAMP01"},    {"L_lower", "QlRAMP01"},      {"R_lower", "QLrAMP01"},
    {"A_lower", "QLRaMP01"},    {"M_lower", "QLRAmP01"},      {"P_lower", "QLRAMp01"},
    {"first_byte", "RLRAMP01"}, {"seventh_byte", "QLRAMP11"}, {"last_byte", "QLRAMP02"},
    {"nul_first", "\0LRAMP01"}, {"nul_last", "QLRAMP0\0"},    {"shifted", "XQLRAMP0"},
};

INSTANTIATE_TEST_SUITE_P(GammaFile, GammaFileWrongMagic, ::testing::ValuesIn(kWrongMagics),
                         [](const ::testing::TestParamInfo<WrongMagic> &magic) {
                           return std::string(magic.param.label);
                         });

TEST_F(GammaFileTest, MissingFileClearsTheNameAndKeepsTheRest) {
  GammaRamp ramp;
  PrepareNamed(ramp);
  const RampState before = StateOf(ramp);
  EXPECT_EQ(ramp.LoadFromFile(PathOf("missing.qlr").c_str()), 0);
  EXPECT_EQ(StateOf(ramp), WithoutName(before));
}

TEST_F(GammaFileTest, NameLengthZeroOrBelowMeansNoNameAndTheRampFollowsAtOnce) {
  for (std::int32_t length : {0, -1, -5, INT_MIN}) {
    const Bytes file = FileBuilder()
                           .Text("QLRAMP01")
                           .Int32(1024)
                           .Int32(768)
                           .Int32(length)
                           .Ramp(Pattern(6))
                           .Int32(42)
                           .bytes;
    GammaRamp ramp;
    PrepareNamed(ramp);
    EXPECT_EQ(ramp.LoadFromFile(Write("unnamed.qlr", file).c_str()), 1) << length;
    EXPECT_EQ(StateOf(ramp), (RampState{1024, 768, 42, false, "", Pattern(6)})) << length;
  }
}

TEST_F(GammaFileTest, NameOfFiveBytesIsTerminatedAndTheRampStartsAt25) {
  GammaRamp ramp;
  ASSERT_EQ(ramp.LoadFromFile(Write("five.qlr", NamedFile("abcde", Pattern(7), 5)).c_str()), 1);
  EXPECT_EQ(StateOf(ramp), (RampState{800, 600, 5, true, "abcde", Pattern(7)}));
  EXPECT_EQ(std::string(ramp.GetName()).size(), 5u);
}

// A file is complete with its ramp: the apply delay may be missing (delay
// 0), but a cut anywhere before, or inside the delay, makes it corrupt. A
// corrupt file must not leave the ramp half old, half new.
TEST_F(GammaFileTest, FileCutShortIsRejectedUnlessItEndsAfterTheRamp) {
  const Bytes full = NamedFile("abcde", Pattern(8), 2000);
  const std::size_t rampEnd = 20 + 5 + kRampBytes;
  ASSERT_EQ(full.size(), rampEnd + 4);
  GammaRamp ramp;
  PrepareNamed(ramp);
  const RampState before = WithoutName(StateOf(ramp));
  for (std::size_t length = 0; length <= full.size(); ++length) {
    const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
    const int result = ramp.LoadFromFile(Write("cut.qlr", cut).c_str());
    if (length == rampEnd || length == full.size()) {
      ASSERT_EQ(result, 1) << length;
      const int delay = length == rampEnd ? 0 : 2000;
      ASSERT_EQ(StateOf(ramp), (RampState{800, 600, delay, true, "abcde", Pattern(8)})) << length;
      ramp.SetTargetSize(before.width, before.height);
      ramp.SetApplyDelay(before.delay);
      std::copy(before.entries.begin(), before.entries.end(), ramp.Entries());
    } else {
      ASSERT_EQ(result, 0) << length;
      ASSERT_EQ(StateOf(ramp), before) << length;
    }
  }
}

// A name length is only believed when the file holds that many bytes and a
// whole ramp after them; nothing is allocated for a length the file cannot
// hold. (One byte too many still leaves a ramp, but cuts the delay to three
// bytes; four too many would be a valid file without a delay.)
TEST_F(GammaFileTest, NameLongerThanTheFileIsRejectedWithoutAllocating) {
  const std::string nameBytes = "0123456789";
  const std::int32_t fits = static_cast<std::int32_t>(nameBytes.size());
  for (std::int32_t length :
       {fits + 1, fits + 5, fits + kRampBytes, 0x10000000, INT_MAX - 1, INT_MAX}) {
    const Bytes file = FileBuilder()
                           .Text("QLRAMP01")
                           .Int32(1)
                           .Int32(2)
                           .Int32(length)
                           .Text(nameBytes)
                           .Ramp(Pattern(9))
                           .Int32(3)
                           .bytes;
    GammaRamp ramp;
    PrepareNamed(ramp);
    const RampState before = WithoutName(StateOf(ramp));
    EXPECT_EQ(ramp.LoadFromFile(Write("long.qlr", file).c_str()), 0) << length;
    EXPECT_EQ(StateOf(ramp), before) << length;
  }
  // The same file with its true length, once without its delay.
  const Bytes exact = FileBuilder()
                          .Text("QLRAMP01")
                          .Int32(1)
                          .Int32(2)
                          .Int32(fits)
                          .Text(nameBytes)
                          .Ramp(Pattern(9))
                          .bytes;
  GammaRamp ramp;
  EXPECT_EQ(ramp.LoadFromFile(Write("exact.qlr", exact).c_str()), 1);
  EXPECT_EQ(StateOf(ramp), (RampState{1, 2, 0, true, nameBytes, Pattern(9)}));
}

TEST_F(GammaFileTest, SaveReplacesAnExistingFileWhole) {
  Write("target.qlr", Bytes(5000, 0xEE));
  GammaRamp ramp;
  ramp.SetIdentity();
  ramp.SetApplyDelay(1);
  ASSERT_EQ(ramp.SaveToFile(PathOf("target.qlr").c_str()), 1);
  const Bytes expected = FileBuilder()
                             .Text("QLRAMP01")
                             .Int32(0)
                             .Int32(0)
                             .Int32(0)
                             .Ramp(StateOf(ramp).entries)
                             .Int32(1)
                             .bytes;
  EXPECT_EQ(Read(PathOf("target.qlr")), expected);
  EXPECT_EQ(Listing(), std::vector<std::string>{"target.qlr"});
}

TEST_F(GammaFileTest, SaveIntoMissingFolderFailsAndCreatesNothing) {
  GammaRamp ramp;
  ramp.SetIdentity();
  EXPECT_EQ(ramp.SaveToFile(PathOf("no such folder/ramp.qlr").c_str()), 0);
  EXPECT_TRUE(Listing().empty());
}

TEST_F(GammaFileTest, SaveOverAFolderFailsAndLeavesNothingBehind) {
  std::error_code error;
  ASSERT_TRUE(fs::create_directory(PathOf("taken.qlr"), error));
  GammaRamp ramp;
  ramp.SetIdentity();
  EXPECT_EQ(ramp.SaveToFile(PathOf("taken.qlr").c_str()), 0);
  EXPECT_EQ(Listing(), std::vector<std::string>{"taken.qlr"});
  EXPECT_TRUE(fs::is_directory(PathOf("taken.qlr"), error));
}

#ifdef __linux__
// A file-size limit makes the kernel fail the writes part-way, as a full disk
// would. Wine offers no way to make a write fail, so this runs natively only.
TEST_F(GammaFileTest, WriteErrorReportsFailureAndKeepsTheOldFile) {
  const Bytes old = NamedFile("old", Pattern(10), 7);
  Write("target.qlr", old);
  GammaRamp ramp;
  ramp.SetCurve(2.0, 0);

  rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const int result = ramp.SaveToFile(PathOf("target.qlr").c_str());
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_EQ(result, 0);
  EXPECT_EQ(Read(PathOf("target.qlr")), old);
  EXPECT_EQ(Listing(), std::vector<std::string>{"target.qlr"});
}
#endif

// The new file is written under a temporary name first; whatever that name,
// a path that fits in a 260-byte buffer must save, in short names too.
class GammaFileSaveName : public GammaFileTest, public ::testing::WithParamInterface<int> {};

TEST_P(GammaFileSaveName, PathsUpTo259CharactersSaveAndLeaveOnlyTheTarget) {
  const int wanted = GetParam();
  const std::size_t leafLength = wanted < 0 ? static_cast<std::size_t>(-wanted)
                                            : static_cast<std::size_t>(wanted) - PathOf("").size();
  ASSERT_GE(leafLength, 1u);
  const std::string leaf = std::string(leafLength - 1, 'n') + "q";
  GammaRamp ramp;
  ramp.SetCurve(1.5, 3);
  ramp.SetApplyDelay(77);
  ASSERT_EQ(ramp.SaveToFile(PathOf(leaf).c_str()), 1) << PathOf(leaf).size() << " characters";
  GammaRamp loaded;
  ASSERT_EQ(loaded.LoadFromFile(PathOf(leaf).c_str()), 1);
  EXPECT_EQ(StateOf(loaded), StateOf(ramp));
  EXPECT_EQ(Listing(), std::vector<std::string>{leaf});
}

// Positive: the whole path's length; negative: only the file name's.
INSTANTIATE_TEST_SUITE_P(GammaFile, GammaFileSaveName, ::testing::Values(256, 259, -1, -2, -8));

TEST_F(GammaFileTest, StrayFilesBesideTheTargetNeitherBlockTheSaveNorAreTouched) {
  const Bytes stray = {'s', 't', 'r', 'a', 'y'};
  const std::string strayPath = Write("target.qlr.tmp", stray);
  std::error_code error;
  fs::permissions(strayPath, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                  error);
  ASSERT_FALSE(error) << error.message();
  Write("target.qlr", Bytes(40, 0xEE));
  GammaRamp ramp;
  ramp.SetIdentity();
  ASSERT_EQ(ramp.SaveToFile(PathOf("target.qlr").c_str()), 1);
  GammaRamp loaded;
  ASSERT_EQ(loaded.LoadFromFile(PathOf("target.qlr").c_str()), 1);
  EXPECT_EQ(StateOf(loaded), StateOf(ramp));
  EXPECT_EQ(Read(strayPath), stray);
  std::vector<std::string> names = Listing();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"target.qlr", "target.qlr.tmp"}));
  // Whichever file ended up read-only, the next run must be able to remove it.
  for (const std::string &name : Listing())
    fs::permissions(PathOf(name), fs::perms::owner_all, error);
}

// In CP932 the second byte of "表" (95 5C) and "ソ" (83 5C) is the byte of
// "\". A save writes its temporary file into the folder part of the path,
// so that part must end where the folder really ends.
struct FileNameCase {
  const char *path;
  std::size_t nameStart;
};

TEST(FileNameOf, StepsOverTheSecondByteOfDoubleByteCharacters) {
  const FileNameCase cases[] = {
      {"dir\\\x95\x5c.qlr", 4},
      {"dir/\x83\x5c", 4},
      {"\x95\x5c\\\x83\x5c.qlr", 3},
      {"C:\x95\x5c", 2},
      {"a\\b/c.qlr", 4},
      {"plain.qlr", 0},
      {"dir\\", 4},
      {"\x95", 0}, // a lead byte cut off at the end
  };
  for (const FileNameCase &c : cases)
    EXPECT_EQ(FileNameOf(c.path) - c.path, static_cast<std::ptrdiff_t>(c.nameStart)) << c.path;
}

// A name of one double-byte character leaves no room for a temporary name
// if the folder part swallows its lead byte: the save then failed.
TEST_F(GammaFileTest, NamesWhoseSecondByteIsABackslashSave) {
  for (const char *leaf : {"\x95\x5c", "\x83\x5c.qlr"}) {
    GammaRamp ramp;
    ramp.SetCurve(1.2, 8);
    ASSERT_EQ(ramp.SaveToFile(PathOf(leaf).c_str()), 1) << leaf;
    GammaRamp loaded;
    ASSERT_EQ(loaded.LoadFromFile(PathOf(leaf).c_str()), 1) << leaf;
    EXPECT_EQ(StateOf(loaded), StateOf(ramp));
  }
  EXPECT_EQ(Listing().size(), 2u) << "no temporary file is left beside them";
}

#ifdef _WIN32
// A virus scanner opens a file just written, without sharing its deletion,
// and closes it a moment later. Held over the moment the save moves its
// temporary file, the move and then the removal fail with a sharing
// violation until the holder lets go. Held briefly, the save waits and
// succeeds; held past the move's second of retries but not the removal's,
// the save fails and still leaves no temporary file.
struct HeldCase {
  const char *name;
  DWORD holdMs;
  int saved;
};

void PrintTo(const HeldCase &heldCase, std::ostream *out) {
  *out << heldCase.name;
}

class HeldTemporaryFile : public GammaFileTest, public ::testing::WithParamInterface<HeldCase> {
protected:
  void TearDown() override {
    SetTemporaryFileObserver(nullptr, nullptr);
    if (holder.joinable())
      holder.join();
  }

  // Opens the temporary file as a scanner does and lets go after holdMs,
  // from a thread of its own, while the save goes on.
  static void Hold(void *context, const char *temporaryPath) {
    auto *test = static_cast<HeldTemporaryFile *>(context);
    HANDLE file = CreateFileA(temporaryPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    test->held = file != INVALID_HANDLE_VALUE;
    const DWORD holdMs = test->GetParam().holdMs;
    test->holder = std::thread([file, holdMs] {
      Sleep(holdMs);
      CloseHandle(file);
    });
  }

  std::thread holder;
  bool held = false;
};

TEST_P(HeldTemporaryFile, IsWaitedForAndNeverLeftBehind) {
  const Bytes old = NamedFile("old", Pattern(10), 7);
  Write("target.qlr", old);
  GammaRamp ramp;
  ramp.SetCurve(2.0, 4);
  SetTemporaryFileObserver(Hold, this);
  const int saved = ramp.SaveToFile(PathOf("target.qlr").c_str());
  SetTemporaryFileObserver(nullptr, nullptr);
  holder.join();
  ASSERT_TRUE(held);

  EXPECT_EQ(saved, GetParam().saved);
  if (saved) {
    GammaRamp loaded;
    ASSERT_EQ(loaded.LoadFromFile(PathOf("target.qlr").c_str()), 1);
    EXPECT_EQ(StateOf(loaded), StateOf(ramp));
  } else {
    EXPECT_EQ(Read(PathOf("target.qlr")), old);
  }
  EXPECT_EQ(Listing(), std::vector<std::string>{"target.qlr"});
}

// The retries wait about a second each: half a second of margin either way.
INSTANTIATE_TEST_SUITE_P(GammaFile, HeldTemporaryFile,
                         ::testing::Values(HeldCase{"Briefly", 300, 1},
                                           HeldCase{"PastTheMove", 1500, 0}),
                         [](const ::testing::TestParamInfo<HeldCase> &param) {
                           return std::string(param.param.name);
                         });
#endif

} // namespace
