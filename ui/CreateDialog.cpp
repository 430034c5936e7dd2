#include "ui/CreateDialog.h"

#include "ui/GammaFileDialog.h"

#include "gamma/GammaRamp.h"
#include "res/resource.h"

#include <commctrl.h>
#include <cstdio>

namespace {

const int kSliderMin = 2048;
const int kSliderMax = 32767;
const int kSliderOne = 8192; // gamma 1.0
const int kDelaySteps = 100;
const int kDelayStepMs = 100;
const int kDarkLevelMax = 64;

struct Resolution {
  const char *text;
  int width;
  int height;
};

// In list order; the first entry saves a file for any resolution.
const Resolution kResolutions[] = {
    {"設定無し", 0, 0},      {"640x480", 640, 480},     {"800x600", 800, 600},
    {"1024x768", 1024, 768}, {"1280x1024", 1280, 1024},
};

CreateDialogState *StateOf(DialogWindow *dialog) {
  return static_cast<CreateDialogState *>(dialog->data);
}

void SetItemText(DialogWindow *dialog, int controlId, const char *text) {
  SetWindowTextA(dialog->Item(controlId), text);
}

void SetItemNumber(DialogWindow *dialog, int controlId, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  SetItemText(dialog, controlId, text);
}

LRESULT SendItem(DialogWindow *dialog, int controlId, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(dialog->Item(controlId), message, wParam, lParam);
}

void Initialise(DialogWindow *dialog) {
  PlaceAtCursor(dialog->Handle());
  SendItem(dialog, IDC_GAMMASLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(kSliderMin, kSliderMax));
  SendItem(dialog, IDC_GAMMASLIDER, TBM_SETPOS, TRUE, kSliderOne);
  SetItemText(dialog, IDC_GAMMATEXT, "1.0");
  SendItem(dialog, IDC_DELAYSPIN, UDM_SETRANGE, 0, MAKELPARAM(kDelaySteps, 0));
  SendItem(dialog, IDC_DELAYSPIN, UDM_SETPOS, 0, 0);
  SetItemText(dialog, IDC_DELAYTEXT, "0");
  SendItem(dialog, IDC_DARKSPIN, UDM_SETRANGE, 0, MAKELPARAM(kDarkLevelMax, 0));
  SendItem(dialog, IDC_DARKSPIN, UDM_SETPOS, 0, 0);
  SetItemText(dialog, IDC_DARKTEXT, "0");
  for (const Resolution &resolution : kResolutions)
    SendItem(dialog, IDC_RESOLUTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(resolution.text));
  SendItem(dialog, IDC_RESOLUTION, CB_SETCURSEL, 0, 0);
}

// The screen keeps its old ramp when it refuses one, so without this line a
// refused preview looks like a slider that does nothing. The file can still
// be saved: another display may take it.
void ShowPreview(DialogWindow *dialog, const GammaRamp &ramp) {
  SetItemText(dialog, IDC_REFUSEDTEXT, ramp.Apply() ? "" : "画面がこのガンマを受け付けませんでした");
}

void OnSlider(DialogWindow *dialog, CreateDialogState &state) {
  int position = static_cast<int>(SendItem(dialog, IDC_GAMMASLIDER, TBM_GETPOS, 0, 0));
  state.gammaPos = position;
  char text[32];
  std::snprintf(text, sizeof text, "%f", position * 0.0001220703125);
  SetItemText(dialog, IDC_GAMMATEXT, text);
  state.ramp->SetCurveFromSlider(position, state.darkLevel);
  ShowPreview(dialog, *state.ramp);
}

// The high word of UDM_GETPOS is the control's error flag.
int SpinnerPos(HWND spinner) {
  return LOWORD(SendMessageA(spinner, UDM_GETPOS, 0, 0));
}

void OnSpinner(DialogWindow *dialog, CreateDialogState &state, HWND spinner) {
  switch (GetDlgCtrlID(spinner)) {
  case IDC_DELAYSPIN:
    state.delayMs = SpinnerPos(spinner) * kDelayStepMs;
    SetItemNumber(dialog, IDC_DELAYTEXT, state.delayMs);
    break;
  case IDC_DARKSPIN:
    // Computed, not applied: the screen shows the new level from the next
    // slider movement on, a save writes it at once.
    state.darkLevel = SpinnerPos(spinner);
    SetItemNumber(dialog, IDC_DARKTEXT, state.darkLevel);
    state.ramp->SetCurveFromSlider(state.gammaPos, state.darkLevel);
    break;
  default:
    break;
  }
}

// The slider and the dark level go back with the ramp, so that what the
// screen, the slider and the texts show is what a save writes and what the
// next dark-level change starts from. Delay and resolution belong to the
// file, not to the ramp, and stay.
void OnReset(DialogWindow *dialog, CreateDialogState &state) {
  state.ramp->SetIdentity();
  ShowPreview(dialog, *state.ramp);
  dialog->SetSliderPos(kSliderOne);
  SetItemText(dialog, IDC_GAMMATEXT, "1.0");
  state.gammaPos = kSliderOne;
  state.darkLevel = 0;
  SendItem(dialog, IDC_DARKSPIN, UDM_SETPOS, 0, 0);
  SetItemText(dialog, IDC_DARKTEXT, "0");
}

const Resolution &SelectedResolution(HWND window) {
  LRESULT selection = SendDlgItemMessageA(window, IDC_RESOLUTION, CB_GETCURSEL, 0, 0);
  int count = static_cast<int>(sizeof kResolutions / sizeof kResolutions[0]);
  if (selection < 0 || selection >= count)
    return kResolutions[0];
  return kResolutions[selection];
}

void SaveRamp(DialogWindow *dialog, CreateDialogState &state) {
  // Held now: "閉じる" pressed while the save dialog is open unbinds the
  // object, but the window, and the resolution chosen in it, live until this
  // handler has returned.
  HWND window = dialog->Handle();
  char path[MAX_PATH] = "";
  // The save dialog belongs to the window that owns this dialog (the
  // program's main window), as the open dialog of the load command does.
  if (!ChooseGammaFileToSave(GetWindow(window, GW_OWNER), path, sizeof path))
    return;
  const Resolution &resolution = SelectedResolution(window);
  state.ramp->SetTargetSize(resolution.width, resolution.height);
  state.ramp->SetApplyDelay(state.delayMs);
  // The save dialog has closed either way; without a word the user would
  // take a failed save for a saved file.
  if (!state.ramp->SaveToFile(path))
    MessageBoxA(window, "ガンマファイルを保存できませんでした。", "ガンマファイルの保存",
                MB_OK | MB_ICONWARNING);
}

// Set while a save runs. Its file dialog belongs to the main window, so this
// dialog stays enabled and "保存" can come again meanwhile; a file dialog
// opened inside another one breaks the system's file dialog (a burst of
// clicks crashed it), and one save at a time is all a user means anyway.
int saveRunning = 0;

void OnSave(DialogWindow *dialog, CreateDialogState &state) {
  if (saveRunning)
    return;
  saveRunning = 1;
  SaveRamp(dialog, state);
  saveRunning = 0;
}

void OnCommand(DialogWindow *dialog, CreateDialogState &state, int command) {
  switch (command) {
  case IDC_RESET:
    OnReset(dialog, state);
    break;
  case IDC_SAVE:
    OnSave(dialog, state);
    break;
  default:
    break;
  }
}

} // namespace

void CreateDialogHandler(DialogWindow *dialog, UINT message, WPARAM wParam, LPARAM lParam, BYTE *) {
  if (message == WM_INITDIALOG) {
    Initialise(dialog);
    return;
  }
  // The dialog can be left even without a state to work on.
  if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_APPLY)) {
    dialog->End(LOWORD(wParam) == IDC_APPLY ? 1 : 0);
    return;
  }
  CreateDialogState *state = StateOf(dialog);
  if (!state || !state->ramp)
    return;
  switch (message) {
  case WM_HSCROLL:
    OnSlider(dialog, *state);
    break;
  case WM_VSCROLL:
    OnSpinner(dialog, *state, reinterpret_cast<HWND>(lParam));
    break;
  case WM_COMMAND:
    OnCommand(dialog, *state, LOWORD(wParam));
    break;
  default:
    break;
  }
}
