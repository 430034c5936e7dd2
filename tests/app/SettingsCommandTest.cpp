#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/MenuCommands.h"
#include "res/resource.h"

#include "tests/config/RegistryFixture.h"

#include <cstring>

namespace {

// This test program carries no dialog templates, so the settings dialog
// cannot be shown: DialogBoxParamA fails as for a damaged resource.
class SettingsCommandTest : public PresetsKeyTest {
protected:
  void SetUp() override {
    PresetsKeyTest::SetUp();
    AppState &state = GetAppState();
    for (int i = 0; i < ResidentPresets::kCount; ++i) {
      state.presets.gamma[i] = 2.0 + i;
      state.presets.darkLevel[i] = i;
    }
    state.presets.hookEnabled = 1;
    state.commandBusy = 0;
  }
};

TEST_F(SettingsCommandTest, ATemplateThatCannotBeShownTakesOverAndSavesNothing) {
  AppState &state = GetAppState();
  ResidentPresets before = state.presets;
  RunMenuCommand(IDM_RESIDENTSETTINGS);
  EXPECT_EQ(0, std::memcmp(&before, &state.presets, sizeof before));
  EXPECT_FALSE(KeyExists());
  EXPECT_EQ(0, state.commandBusy);
}

TEST_F(SettingsCommandTest, ACommandDuringACommandAndIdentifierZeroDoNothing) {
  AppState &state = GetAppState();
  MainWindow window(WS_POPUP, 0);
  ASSERT_TRUE(IsWindow(GetMainWindow()));
  state.commandBusy = 1;
  RunMenuCommand(IDM_EXIT);
  EXPECT_TRUE(IsWindow(GetMainWindow())) << "exit ran during a command";
  EXPECT_EQ(1, state.commandBusy) << "the running command's flag was cleared";

  state.commandBusy = 0;
  RunMenuCommand(0);
  EXPECT_EQ(0, state.commandBusy);
  EXPECT_TRUE(IsWindow(GetMainWindow()));
}

} // namespace
