#include "app/ResidentSettingsCommand.h"

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "config/ResidentPresets.h"
#include "hook/HookModule.h"
#include "res/resource.h"
#include "ui/DialogWindow.h"
#include "ui/SettingsDialog.h"

#include <new>

namespace {

int HookRuns(const AppState &state) {
  return state.hookModule && state.hookModule->IsStarted();
}

void TakeOver(AppState &state, const ResidentPresets &edited) {
  // The hook flag too: the next opening of the dialog shows, and its OK
  // saves, the choice the user made, not the one read at start.
  state.presets = edited;
  // The user believes the settings are kept; without this they would be
  // silently gone at the next start.
  if (!SaveResidentPresets(edited))
    MessageBoxA(nullptr,
                "設定をレジストリに保存できませんでした。変更はQuilを終了するまで有効です。",
                "main", MB_OK);
  if ((edited.hookEnabled != 0) != (HookRuns(state) != 0))
    MessageBoxA(nullptr, "フック状態はQuil再起動で有効になります", "main", MB_OK);
}

} // namespace

void RunResidentSettingsCommand(AppState &state) {
  DialogWindow *dialog = new (std::nothrow) DialogWindow(SettingsDialogHandler);
  if (!dialog)
    return;
  ResidentPresets edited = state.presets;
  dialog->data = &edited;
  // A template that cannot be shown fails here with 0 or -1: nothing is
  // taken over.
  if (dialog->ShowModal(IDD_RESIDENTSETTINGS, GetMainWindow()) == 1)
    TakeOver(state, edited);
  delete dialog;
}
