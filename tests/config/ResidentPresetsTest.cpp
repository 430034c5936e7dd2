#include "config/ResidentPresets.h"

#include "RegistryFixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class ConfigPresetsTest : public PresetsKeyTest {
protected:
  static ResidentPresets Load() {
    ResidentPresets presets;
    std::memset(&presets, 0xA5, sizeof presets); // nothing may come from here
    LoadResidentPresets(presets);
    return presets;
  }
};

TEST_F(ConfigPresetsTest, DefaultsWithoutKeyAndReadingDoesNotCreateIt) {
  const double kDefaults[10] = {1.0, 1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9};
  ResidentPresets presets = Load();
  for (int i = 0; i < 10; ++i) {
    EXPECT_DOUBLE_EQ(kDefaults[i], presets.gamma[i]) << i;
    EXPECT_EQ(0, presets.darkLevel[i]) << i;
  }
  EXPECT_EQ(1, presets.hookEnabled);
  EXPECT_FALSE(KeyExists());
}

// Reading asks for no more than reading: a key the user may read but not
// change still gives its values.
TEST_F(ConfigPresetsTest, AKeyTheUserMayOnlyReadGivesItsValues) {
  SetDwordValue("Gamma3", 25000);
  SetDwordValue("KeepGamma", 0);
  ReadOnlyKey readOnly(HKEY_CURRENT_USER, kKey);
  EXPECT_DOUBLE_EQ(2.5, Load().gamma[3]);
  EXPECT_EQ(0, LoadKeepGamma());
  EXPECT_EQ(0, SaveResidentPresets(Load()));
}

TEST_F(ConfigPresetsTest, DefaultsForValuesMissingFromAnExistingKey) {
  SetDwordValue("Gamma7", 25000);
  ResidentPresets presets = Load();
  EXPECT_DOUBLE_EQ(2.5, presets.gamma[7]);
  EXPECT_DOUBLE_EQ(1.6, presets.gamma[6]);
  EXPECT_EQ(0, presets.darkLevel[7]);
  EXPECT_EQ(1, presets.hookEnabled);
}

TEST_F(ConfigPresetsTest, GammaBelowOneHalfFallsBackWithNoUpperLimit) {
  struct GammaCase {
    int index;
    int stored;
    double expected;
  } const cases[] = {
      {0, 4999, 1.0},  {3, 5000, 0.5},   {2, 0, 1.2},       {2, -1, 1.2},
      {2, -20000, 1.2}, {4, 30000, 3.0}, {9, 2147483647, 214748.3647},
  };
  for (const GammaCase &c : cases) {
    SCOPED_TRACE(c.stored);
    DeleteKey();
    std::string name = "Gamma" + std::to_string(c.index);
    SetDwordValue(name.c_str(), c.stored);
    EXPECT_DOUBLE_EQ(c.expected, Load().gamma[c.index]);
  }
}

TEST_F(ConfigPresetsTest, DarkLevelAboveSixtyFourComparedUnsignedBecomesSixtyFour) {
  struct LevelCase {
    int stored;
    int expected;
  } const cases[] = {{0, 0}, {17, 17}, {64, 64}, {65, 64}, {-1, 64}, {-2147483647 - 1, 64}};
  for (const LevelCase &c : cases) {
    SCOPED_TRACE(c.stored);
    SetDwordValue("Adjust5", c.stored);
    EXPECT_EQ(c.expected, Load().darkLevel[5]);
  }
}

TEST_F(ConfigPresetsTest, HookFlagIsTakenAsStored) {
  for (int stored : {0, 7, 1}) {
    SetDwordValue("HookEnabled", stored);
    EXPECT_EQ(stored, Load().hookEnabled);
  }
}

TEST_F(ConfigPresetsTest, ValueTooLongForADwordGivesTheDefaultUntilSaved) {
  SetRaw("Gamma1", REG_SZ, "abcde", 6);
  ResidentPresets presets = Load();
  EXPECT_DOUBLE_EQ(1.1, presets.gamma[1]);

  SaveResidentPresets(presets);
  DWORD type = 0, data = 0;
  ASSERT_TRUE(Query("Gamma1", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ(11000u, data);
}

// Gamma3 leaves 0x000186A0 in whatever variable it is read into; a two-byte
// Adjust3 read after it must not keep the 0x01 of the third byte, which would
// turn the level 5 into 65541 and then 64.
TEST_F(ConfigPresetsTest, ShortValueLeavesNoStaleBytes) {
  SetDwordValue("Gamma3", 100000);
  const unsigned char level[] = {5, 0};
  SetRaw("Adjust3", REG_BINARY, level, sizeof level);
  const unsigned char flag[] = {0};
  SetRaw("HookEnabled", REG_BINARY, flag, 0);
  ResidentPresets presets = Load();
  EXPECT_DOUBLE_EQ(10.0, presets.gamma[3]);
  EXPECT_EQ(5, presets.darkLevel[3]);
  EXPECT_EQ(0, presets.hookEnabled);
}

TEST_F(ConfigPresetsTest, SaveTruncatesGammaAndCreatesTheKey) {
  ResidentPresets presets = Load();
  ASSERT_FALSE(KeyExists());
  presets.gamma[0] = 0.5005;
  presets.gamma[1] = 1.1;
  presets.gamma[2] = 2.99999;
  presets.gamma[3] = 1e12; // beyond any DWORD: stops at the largest
  presets.darkLevel[4] = 64;
  presets.darkLevel[9] = 13;
  presets.hookEnabled = 0;
  SaveResidentPresets(presets);
  ASSERT_TRUE(KeyExists());

  struct Stored {
    const char *name;
    DWORD value;
  } const expected[] = {
      {"Gamma0", 5004},  {"Gamma1", 11000}, {"Gamma2", 29999},  {"Gamma3", 2147483647},
      {"Gamma9", 19000}, {"Adjust0", 0},    {"Adjust4", 64},    {"Adjust9", 13},
      {"HookEnabled", 0},
  };
  for (const Stored &s : expected) {
    SCOPED_TRACE(s.name);
    DWORD type = 0, data = 0;
    ASSERT_TRUE(Query(s.name, type, data));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(s.value, data);
  }

  ResidentPresets reloaded = Load();
  EXPECT_DOUBLE_EQ(0.5004, reloaded.gamma[0]);
  EXPECT_DOUBLE_EQ(1.1, reloaded.gamma[1]);
  EXPECT_EQ(13, reloaded.darkLevel[9]);
  EXPECT_EQ(0, reloaded.hookEnabled);
}

// Wine lists a key's values sorted by name, not in the order they were
// written, so the order is observed where it exists: in the calls to
// RegSetValueExA. The program's import of that function is pointed at a
// recorder that passes every call on to the real one.
std::vector<std::string> recordedNames;
decltype(&RegSetValueExA) realRegSetValueExA = nullptr;
// A value whose write the recorder refuses, as a full or locked registry
// would; empty for none.
std::string refusedName;

LONG WINAPI RecordingRegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                    const BYTE *data, DWORD size) {
  recordedNames.push_back(name ? name : "");
  if (name && refusedName == name)
    return ERROR_ACCESS_DENIED;
  return realRegSetValueExA(key, name, reserved, type, data, size);
}

// Swaps the address in the program's import table slot for
// advapi32!RegSetValueExA; returns the one it held, or null if not found.
void *SwapRegSetValueImport(void *replacement) {
  BYTE *base = reinterpret_cast<BYTE *>(GetModuleHandleA(nullptr));
  auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(base);
  auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY &imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  auto *module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress);
  for (; module->Name; ++module) {
    if (lstrcmpiA(reinterpret_cast<const char *>(base + module->Name), "advapi32.dll") != 0)
      continue;
    auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + module->OriginalFirstThunk);
    auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + module->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
        continue;
      auto *byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
      if (lstrcmpA(reinterpret_cast<const char *>(byName->Name), "RegSetValueExA") != 0)
        continue;
      DWORD protection;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
      void *previous = reinterpret_cast<void *>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<decltype(slots->u1.Function)>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      return previous;
    }
  }
  return nullptr;
}

TEST_F(ConfigPresetsTest, SaveWritesInPresetOrderThenTheHookFlag) {
  void *real = SwapRegSetValueImport(reinterpret_cast<void *>(&RecordingRegSetValueExA));
  ASSERT_NE(nullptr, real);
  realRegSetValueExA = reinterpret_cast<decltype(&RegSetValueExA)>(real);
  recordedNames.clear();
  refusedName.clear();
  ResidentPresets presets = Load();
  EXPECT_EQ(1, SaveResidentPresets(presets));
  SwapRegSetValueImport(real);

  std::vector<std::string> expected;
  for (int i = 0; i < 10; ++i) {
    expected.push_back("Gamma" + std::to_string(i));
    expected.push_back("Adjust" + std::to_string(i));
  }
  expected.push_back("HookEnabled");
  EXPECT_EQ(expected, recordedNames);
}

// One refused write fails the save as a whole, so that the user can be
// told, yet every other value is still written, in the same order.
TEST_F(ConfigPresetsTest, ARefusedWriteFailsTheSaveAndTheRestIsWritten) {
  void *real = SwapRegSetValueImport(reinterpret_cast<void *>(&RecordingRegSetValueExA));
  ASSERT_NE(nullptr, real);
  realRegSetValueExA = reinterpret_cast<decltype(&RegSetValueExA)>(real);
  recordedNames.clear();
  ResidentPresets presets = Load();
  presets.darkLevel[3] = 20;
  presets.hookEnabled = 0;
  for (const char *name : {"Gamma0", "Adjust3", "HookEnabled"}) {
    SCOPED_TRACE(name);
    refusedName = name;
    recordedNames.clear();
    DeleteKey();
    EXPECT_EQ(0, SaveResidentPresets(presets));
    EXPECT_EQ(21u, recordedNames.size());
    DWORD type = 0, data = 0;
    EXPECT_EQ(refusedName != "Gamma9", Query("Gamma9", type, data));
    EXPECT_EQ(refusedName != "Adjust3", Query("Adjust3", type, data));
    EXPECT_EQ(refusedName != "HookEnabled", Query("HookEnabled", type, data));
  }
  refusedName.clear();
  SwapRegSetValueImport(real);
}

// A volatile parent key refuses a lasting key below it: the key cannot be
// created, nothing is written, and the save says so.
TEST_F(ConfigPresetsTest, AKeyThatCannotBeCreatedFailsTheSave) {
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessivo");
  HKEY parent = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tessivo", 0, nullptr,
                                           REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &parent,
                                           nullptr));
  RegCloseKey(parent);
  ResidentPresets presets = Load();
  EXPECT_EQ(0, SaveResidentPresets(presets));
  EXPECT_FALSE(KeyExists());
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessivo");
  EXPECT_EQ(1, SaveResidentPresets(presets));
  EXPECT_TRUE(KeyExists());
}

} // namespace
