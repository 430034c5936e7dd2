#include "config/StartupApproval.h"

#include "RegistryFixture.h"

#include <string>
#include <vector>

namespace {

const char kKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";
const char kItem[] = "Quillora.lnk";
const char kOther[] = "Other.lnk";

typedef std::vector<unsigned char> Bytes;

// What Task Manager writes: the switch in four bytes, then the time it was
// turned off (zero while on).
Bytes Written(unsigned char state, bool stamped) {
  Bytes bytes = {state, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  if (stamped)
    bytes = {state, 0, 0, 0, 0x40, 0x8a, 0x51, 0x3c, 0x1f, 0x6b, 0xda, 0x01};
  return bytes;
}

// The key's values as the test found them are put back at the end: the
// prefix is shared with the end-to-end tests.
class StartupApprovalTest : public testing::Test {
protected:
  void SetUp() override {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
    Delete(kItem);
    Delete(kOther);
  }
  void TearDown() override {
    Delete(kItem);
    Delete(kOther);
  }

  static void Set(const char *name, const Bytes &bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, REG_BINARY, bytes.data(),
                                            static_cast<DWORD>(bytes.size())));
    RegCloseKey(key);
  }
  static void Delete(const char *name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
      return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
  }
  // The value's bytes, or "none" when there is no value.
  static std::string Read(const char *name) {
    HKEY key = nullptr;
    unsigned char data[512];
    DWORD size = sizeof data, type = 0;
    LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &key);
    if (result == ERROR_SUCCESS) {
      result = RegQueryValueExA(key, name, nullptr, &type, data, &size);
      RegCloseKey(key);
    }
    if (result != ERROR_SUCCESS)
      return "none";
    std::string text;
    for (DWORD i = 0; i < size; ++i)
      text += "0123456789abcdef"[data[i] >> 4], text += "0123456789abcdef"[data[i] & 15];
    return text;
  }
};

struct SwitchCase {
  const char *name;
  bool present;
  Bytes bytes;
  bool off;
};

// Odd first byte: off. Even, no value, an empty one, or one too long to be
// Windows' own (it writes 12 bytes): on. Turning the item on deletes a
// value that says off and leaves any other as it was, its own included.
TEST_F(StartupApprovalTest, AnOddFirstByteIsOffAndTurningOnDeletesOnlyThat) {
  Bytes longOff(65, 0);
  longOff[0] = 3;
  const SwitchCase kCases[] = {
      {"no value", false, {}, false},
      {"02 and 8 bytes", true, Written(2, false), false},
      {"03 and a time stamp", true, Written(3, true), true},
      {"06", true, Written(6, false), false},
      {"07", true, Written(7, true), true},
      {"empty", true, {}, false},
      {"one byte 03", true, {3}, true},
      {"far longer than Windows writes, 03", true, longOff, false},
  };
  Bytes otherOff = Written(3, true);
  for (const SwitchCase &c : kCases) {
    SCOPED_TRACE(c.name);
    Delete(kItem);
    if (c.present)
      Set(kItem, c.bytes);
    Set(kOther, otherOff);
    std::string before = Read(kItem);
    EXPECT_EQ(c.off, StartupItemSwitchedOff(kItem) != 0);

    EXPECT_EQ(1, SwitchStartupItemOn(kItem));
    EXPECT_EQ(c.off ? "none" : before, Read(kItem));
    EXPECT_EQ(0, StartupItemSwitchedOff(kItem));
    EXPECT_EQ(Read(kOther), "030000004"
                            "08a513c1f6bda01")
        << "another item's switch";
  }
}

// Task Manager may have made the key: without it the item is on, and
// turning it on creates nothing.
TEST_F(StartupApprovalTest, NoKeyIsOnAndIsNotCreated) {
  RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
  EXPECT_EQ(0, StartupItemSwitchedOff(kItem));
  EXPECT_EQ(1, SwitchStartupItemOn(kItem));
  HKEY key = nullptr;
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key));
}

// A key the user may not change still reads, and the failure to turn the
// item on is reported, not taken for done.
TEST_F(StartupApprovalTest, AKeyThatCannotBeChangedReadsAndFailsToTurnOn) {
  Set(kItem, Written(3, true));
  ReadOnlyKey readOnly(HKEY_CURRENT_USER, kKey);
  EXPECT_EQ(1, StartupItemSwitchedOff(kItem));
  EXPECT_EQ(0, SwitchStartupItemOn(kItem));
  EXPECT_EQ(1, StartupItemSwitchedOff(kItem));
}

} // namespace
