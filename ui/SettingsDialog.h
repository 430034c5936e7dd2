#ifndef QUILLORA_UI_SETTINGSDIALOG_H
#define QUILLORA_UI_SETTINGSDIALOG_H

// The resident gamma settings dialog (template 111): the ten hot-key
// presets and the hook flag, edited in a ResidentPresets that the caller
// owns and hands over as the dialog's data. The dialog touches neither the
// registry nor the screen.

#include "ui/DialogWindow.h"
#include "ui/PresetEditing.h"

#include <windows.h>

// The controls of template 111.
enum SettingsControl {
  kSettingsApply = 1002,      // "確定": store the slider's gamma and the level
  kSettingsResetGamma = 1003, // "1.0に戻す"
  kSettingsHookCheck = 1005,  // "キーフックを使用"
  kSettingsSlider = 1006,     // gamma x 10000, 7000..30000
  kSettingsPresetList = 1013, // one line per preset
  kSettingsLevelCombo = 1014, // the dark-level table
  kSettingsLevelLabel = 1015, // "暗部補正 : "
  kSettingsGammaText = 1017,
  kSettingsSpinner = 1018, // gamma x 10000, 7000..30000
};

// The preset chosen in the list, 0..9, or -1. One dialog at a time, so one
// per process; reset whenever a dialog initialises.
extern int selectedPreset;

// dialog->data is the ResidentPresets being edited. Ends the dialog with 1
// from "OK" or a Yes to the closing question, with 0 otherwise.
void SettingsDialogHandler(DialogWindow *dialog, UINT message, WPARAM wParam, LPARAM lParam,
                           BYTE *handled);

#endif
