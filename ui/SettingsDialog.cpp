#include "ui/SettingsDialog.h"

#include "config/ResidentPresets.h"

#include <commctrl.h>

#include <algorithm>

int selectedPreset = -1;

namespace {

const int kLowestPosition = 7000;
const int kHighestPosition = 30000;
const int kGammaOnePosition = 10000;
// "確定" takes gammas in the open range between these.
const double kLowestStoredGamma = 0.5;
const double kHighestStoredGamma = 3.0;

// Room for any double that "%04f" prints, even one no preset can hold.
const int kTextSize = 400;

const char *const kLevelTexts[kDarkLevelChoices] = {
    "暗部補正なし", "レベル +8",  "レベル +12", "レベル +16", "レベル +20",
    "レベル +24",   "レベル +32", "レベル +40", "レベル +64",
};

// In the order they are enabled and disabled.
const int kEditingControls[] = {kSettingsLevelLabel, kSettingsLevelCombo, kSettingsGammaText,
                                kSettingsApply,      kSettingsResetGamma, kSettingsSpinner};

ResidentPresets &Presets(DialogWindow *dialog) {
  return *static_cast<ResidentPresets *>(dialog->data);
}

LRESULT SendItem(DialogWindow *dialog, int control, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendDlgItemMessageA(dialog->Handle(), control, message, wParam, lParam);
}

void EnableEditing(DialogWindow *dialog, BOOL enable) {
  for (int control : kEditingControls)
    dialog->EnableItem(control, enable);
}

void ShowGamma(DialogWindow *dialog, double gamma) {
  char text[kTextSize];
  SetDlgItemTextA(dialog->Handle(), kSettingsGammaText, FormatGammaText(text, sizeof text, gamma));
}

// The 32-bit message: a preset above 3.2767 would wrap in the 16-bit one.
// A position beyond the range stands at its nearer end, as the slider does,
// so the next step moves on from there.
void SetSpinnerPos(DialogWindow *dialog, int position) {
  position = std::min(std::max(position, kLowestPosition), kHighestPosition);
  SendItem(dialog, kSettingsSpinner, UDM_SETPOS32, 0, position);
}

void Initialise(DialogWindow *dialog) {
  const ResidentPresets &presets = Presets(dialog);
  selectedPreset = -1;
  char line[kTextSize];
  for (int i = 0; i < ResidentPresets::kCount; ++i)
    SendItem(dialog, kSettingsPresetList, LB_ADDSTRING, 0,
             reinterpret_cast<LPARAM>(FormatPresetLine(line, sizeof line, i, presets.gamma[i])));
  for (const char *text : kLevelTexts)
    SendItem(dialog, kSettingsLevelCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  SendItem(dialog, kSettingsSlider, TBM_SETRANGE, TRUE,
           MAKELPARAM(kLowestPosition, kHighestPosition));
  dialog->SetSliderPos(kGammaOnePosition);
  SendItem(dialog, kSettingsSpinner, UDM_SETRANGE, 0,
           MAKELPARAM(kHighestPosition, kLowestPosition));
  SetSpinnerPos(dialog, kGammaOnePosition);
  CheckDlgButton(dialog->Handle(), kSettingsHookCheck, static_cast<UINT>(presets.hookEnabled));
}

void CancelSelection(DialogWindow *dialog) {
  selectedPreset = -1;
  SendItem(dialog, kSettingsLevelCombo, CB_SETCURSEL, 0, 0);
  SetDlgItemTextA(dialog->Handle(), kSettingsGammaText, "");
  EnableEditing(dialog, FALSE);
}

void SelectPreset(DialogWindow *dialog) {
  LRESULT chosen = SendItem(dialog, kSettingsPresetList, LB_GETCURSEL, 0, 0);
  // Nothing selected (LB_ERR), or a line some other program added: there is
  // no preset to show, so it counts as a cancelled selection.
  if (chosen < 0 || chosen >= ResidentPresets::kCount) {
    CancelSelection(dialog);
    return;
  }
  selectedPreset = static_cast<int>(chosen);
  const ResidentPresets &presets = Presets(dialog);
  SendItem(dialog, kSettingsLevelCombo, CB_SETCURSEL,
           static_cast<WPARAM>(ComboIndexFromLevel(presets.darkLevel[selectedPreset])), 0);
  double gamma = presets.gamma[selectedPreset];
  ShowGamma(dialog, gamma);
  int position = PositionFromGamma(gamma);
  dialog->SetSliderPos(position);
  SetSpinnerPos(dialog, position);
  EnableEditing(dialog, TRUE);
}

void OnListNotification(DialogWindow *dialog, WORD code) {
  if (code == LBN_SELCHANGE)
    SelectPreset(dialog);
  else if (code == LBN_SELCANCEL)
    CancelSelection(dialog);
}

void StoreSelectedPreset(DialogWindow *dialog) {
  if (selectedPreset < 0 || selectedPreset >= ResidentPresets::kCount)
    return;
  int position = static_cast<int>(SendItem(dialog, kSettingsSlider, TBM_GETPOS, 0, 0));
  double gamma = GammaFromPosition(position);
  if (!(gamma > kLowestStoredGamma) || gamma >= kHighestStoredGamma) {
    MessageBoxA(nullptr, "無効な数値です。変更は反映されません。", "main", MB_OK);
    return;
  }
  ResidentPresets &presets = Presets(dialog);
  presets.gamma[selectedPreset] = gamma;
  int comboIndex = static_cast<int>(SendItem(dialog, kSettingsLevelCombo, CB_GETCURSEL, 0, 0));
  presets.darkLevel[selectedPreset] = LevelFromComboIndex(comboIndex);
  char line[kTextSize];
  FormatPresetLine(line, sizeof line, selectedPreset, gamma);
  SendItem(dialog, kSettingsPresetList, LB_DELETESTRING, static_cast<WPARAM>(selectedPreset), 0);
  SendItem(dialog, kSettingsPresetList, LB_INSERTSTRING, static_cast<WPARAM>(selectedPreset),
           reinterpret_cast<LPARAM>(line));
}

void ResetGamma(DialogWindow *dialog) {
  dialog->SetSliderPos(kGammaOnePosition);
  SetSpinnerPos(dialog, kGammaOnePosition);
  SetDlgItemTextA(dialog->Handle(), kSettingsGammaText, "1.0000");
}

void OnCommand(DialogWindow *dialog, WPARAM wParam) {
  switch (LOWORD(wParam)) {
  case IDOK:
    dialog->End(1);
    break;
  case IDCANCEL:
    dialog->End(0);
    break;
  case kSettingsHookCheck:
    Presets(dialog).hookEnabled = IsDlgButtonChecked(dialog->Handle(), kSettingsHookCheck) ? 1 : 0;
    break;
  case kSettingsResetGamma:
    ResetGamma(dialog);
    break;
  case kSettingsApply:
    StoreSelectedPreset(dialog);
    break;
  case kSettingsPresetList:
    OnListNotification(dialog, HIWORD(wParam));
    break;
  default:
    break;
  }
}

void OnSliderMoved(DialogWindow *dialog) {
  int position = static_cast<int>(SendItem(dialog, kSettingsSlider, TBM_GETPOS, 0, 0));
  SetSpinnerPos(dialog, position);
  ShowGamma(dialog, GammaFromPosition(position));
}

void OnSpinnerMoved(DialogWindow *dialog) {
  int position = static_cast<int>(SendItem(dialog, kSettingsSpinner, UDM_GETPOS32, 0, 0));
  dialog->SetSliderPos(position);
  ShowGamma(dialog, GammaFromPosition(position));
}

void OnClose(DialogWindow *dialog) {
  int answer = MessageBoxA(dialog->Handle(), "設定の変更を反映しますか?", "Quil", MB_YESNO);
  dialog->End(answer == IDYES ? 1 : 0);
}

} // namespace

void SettingsDialogHandler(DialogWindow *dialog, UINT message, WPARAM wParam, LPARAM, BYTE *) {
  switch (message) {
  case WM_INITDIALOG:
    Initialise(dialog);
    break;
  case WM_SHOWWINDOW:
    if (wParam)
      PlaceAtCursor(dialog->Handle());
    break;
  case WM_COMMAND:
    OnCommand(dialog, wParam);
    break;
  case WM_HSCROLL:
    OnSliderMoved(dialog);
    break;
  case WM_VSCROLL:
    OnSpinnerMoved(dialog);
    break;
  case WM_CLOSE:
    OnClose(dialog);
    break;
  default:
    break;
  }
}
