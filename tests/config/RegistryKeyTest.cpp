#include "config/RegistryKey.h"

#include "RegistryFixture.h"

namespace {

using ConfigRegistryKeyTest = PresetsKeyTest;

TEST_F(ConfigRegistryKeyTest, OpenNeverCreatesAndAClosedKeyDoesNothing) {
  RegistryKey key;
  EXPECT_EQ(0, key.Open(kKey, HKEY_CURRENT_USER));
  EXPECT_FALSE(KeyExists());

  int value = 1234;
  EXPECT_EQ(-1, key.GetDword("Gamma0", &value, 99));
  EXPECT_EQ(1234, value);
  EXPECT_EQ(0, key.SetDword("Gamma0", 5));
  EXPECT_EQ(0, key.Close());
}

TEST_F(ConfigRegistryKeyTest, CreateWritesAndReadsDwords) {
  RegistryKey key;
  ASSERT_EQ(1, key.Create(kKey, HKEY_CURRENT_USER));
  EXPECT_TRUE(KeyExists());
  EXPECT_EQ(1, key.SetDword("Adjust1", -1));
  ASSERT_EQ(1, key.Open(kKey, HKEY_CURRENT_USER)); // closes the created one first

  int value = 0;
  EXPECT_EQ(0, key.GetDword("Adjust1", &value, 99));
  EXPECT_EQ(-1, value);
  EXPECT_EQ(-1, key.GetDword("Missing", &value, 99));
  EXPECT_EQ(99, value);
  EXPECT_EQ(-1, key.GetDword("Adjust1", nullptr, 99));
  EXPECT_EQ(1, key.Close());
  EXPECT_EQ(0, key.Close());
}

TEST_F(ConfigRegistryKeyTest, GetDwordTakesAnyTypeUpToFourBytes) {
  struct RawCase {
    DWORD type;
    const char *data;
    DWORD size;
    int result;
    int value;
  } const cases[] = {
      {REG_BINARY, "\x07", 1, 0, 7},
      {REG_BINARY, "\x01\x02\x03", 3, 0, 0x030201},
      {REG_BINARY, "", 0, 0, 0},
      {REG_SZ, "ab", 3, 0, 0x006261},
      {REG_BINARY, "\x01\x02\x03\x04\x05", 5, -1, 42},
      {REG_SZ, "abcde", 6, -1, 42},
  };
  for (const RawCase &c : cases) {
    SCOPED_TRACE(c.size);
    SetRaw("Value", c.type, c.data, c.size);
    RegistryKey key;
    ASSERT_EQ(1, key.Open(kKey, HKEY_CURRENT_USER));
    int value = -1; // all bits set: a partial read would show them
    EXPECT_EQ(c.result, key.GetDword("Value", &value, 42));
    EXPECT_EQ(c.value, value);
  }
}

} // namespace
