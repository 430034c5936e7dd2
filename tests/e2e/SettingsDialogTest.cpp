#include "tests/e2e/DialogDriver.h"
#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "res/resource.h"
#include "ui/SettingsDialog.h"

#include <commctrl.h>
#include <windows.h>

#include <string>

namespace {

const char kSettingsCaption[] = "常駐ガンマ設定";
const char kInvalidValueText[] = "無効な数値です。変更は反映されません。";
const char kHookStateText[] = "フック状態はQuil再起動で有効になります";
const char kCloseQuestionText[] = "設定の変更を反映しますか?";
const char kSaveFailedText[] =
    "設定をレジストリに保存できませんでした。変更はQuilを終了するまで有効です。";
const char *const kLevelTexts[] = {"暗部補正なし", "レベル +8",  "レベル +12",
                                   "レベル +16",   "レベル +20", "レベル +24",
                                   "レベル +32",   "レベル +40", "レベル +64"};
const int kEditingControls[] = {kSettingsLevelLabel, kSettingsLevelCombo, kSettingsGammaText,
                                kSettingsApply,      kSettingsResetGamma, kSettingsSpinner};
const char kPresetKey[] = "Software\\Tessivo\\Quil";
const unsigned kWaitMs = 10000;
// How long a message box or menu that should not come is waited for.
const unsigned kAbsenceMs = 800;

LRESULT Send(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), message, wParam, lParam, SMTO_NORMAL, kWaitMs,
                      &result);
  return static_cast<LRESULT>(result);
}

// What the dialog's own message would be after a user's action: sent, so
// that it has been handled when this returns.
void Notify(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(dialog, message, wParam, lParam, SMTO_NORMAL, kWaitMs, &result);
}

// A line of a list or combo box, in the program's code page. Asked for in
// Unicode: Wine hands another process's ANSI request the Unicode text.
std::string ItemString(HWND dialog, int id, UINT message, int index) {
  wchar_t text[256] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(GetDlgItem(dialog, id), message, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kWaitMs, &length);
  if (static_cast<LRESULT>(length) < 0)
    return "<no line>";
  char ansi[512] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
  return ansi;
}

// The answer to a message box: its text, and whether it was there at all.
struct MessageBoxSeen {
  bool shown;
  std::string text;
  HWND owner;
};

// Finds the message box with this caption, reads it and presses `button`.
MessageBoxSeen AnswerMessageBox(DWORD processId, const char *caption, int button,
                                unsigned timeoutMs = kWaitMs) {
  MessageBoxSeen seen = {false, "", nullptr};
  HWND box = WaitForDialog(processId, caption, timeoutMs);
  if (!box)
    return seen;
  seen.shown = true;
  seen.text = ItemText(box, 0xFFFF);
  seen.owner = GetWindow(box, GW_OWNER);
  PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
  WaitForWindowGone(box, kWaitMs);
  return seen;
}

bool ReadPresetValue(const char *name, DWORD &value) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPresetKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  DWORD size = sizeof value;
  DWORD type = 0;
  LONG result =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_DWORD;
}

bool PresetKeyExists() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPresetKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

DWORD StoredValue(const std::string &name) {
  DWORD value = 0xDEADBEEF;
  EXPECT_TRUE(ReadPresetValue(name.c_str(), value)) << name;
  return value;
}

class SettingsDialogTest : public ResidentFixture {
protected:
  // Opens the dialog through the command, as the tray menu does, with the
  // cursor placed first, and waits for it.
  HWND Open(int cursorX = 100, int cursorY = 120) {
    SetCursorPos(cursorX, cursorY);
    PostMessageA(resident.Window(), WM_COMMAND, IDM_RESIDENTSETTINGS, 0);
    HWND dialog = WaitForDialog(resident.ProcessId(), kSettingsCaption, kWaitMs);
    EXPECT_NE(dialog, nullptr);
    return dialog;
  }

  void Select(HWND dialog, int index) {
    Send(dialog, kSettingsPresetList, LB_SETCURSEL, static_cast<WPARAM>(index));
    Notify(dialog, WM_COMMAND, MAKEWPARAM(kSettingsPresetList, LBN_SELCHANGE),
           reinterpret_cast<LPARAM>(GetDlgItem(dialog, kSettingsPresetList)));
  }

  void MoveSlider(HWND dialog, int position) {
    Send(dialog, kSettingsSlider, TBM_SETPOS, TRUE, position);
    Notify(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
           reinterpret_cast<LPARAM>(GetDlgItem(dialog, kSettingsSlider)));
  }

  void MoveSpinner(HWND dialog, int position) {
    Send(dialog, kSettingsSpinner, UDM_SETPOS, 0, position);
    Notify(dialog, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position),
           reinterpret_cast<LPARAM>(GetDlgItem(dialog, kSettingsSpinner)));
  }

  void ChooseLevel(HWND dialog, int comboIndex) {
    Send(dialog, kSettingsLevelCombo, CB_SETCURSEL, static_cast<WPARAM>(comboIndex));
  }

  // Posted: some clicks bring up a message box, which a sent click would
  // wait for.
  void Click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }

  void ClickAndWait(HWND dialog, int id) {
    Notify(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
           reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }

  void SetHookCheck(HWND dialog, bool checked) {
    Send(dialog, kSettingsHookCheck, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
    ClickAndWait(dialog, kSettingsHookCheck);
  }

  // Ends the dialog with a button and waits until it is gone.
  void Finish(HWND dialog, int button) {
    Click(dialog, button);
    EXPECT_TRUE(WaitForWindowGone(dialog, kWaitMs));
  }

  // The command has run to its end when a new one is taken again.
  void ExpectCommandsTakenAgain() {
    HWND again = Open();
    ASSERT_NE(again, nullptr);
    Finish(again, IDCANCEL);
  }

  // A message box of the program with this caption within kAbsenceMs.
  bool MessageBoxComes(const char *caption) {
    return WaitForDialog(resident.ProcessId(), caption, kAbsenceMs) != nullptr;
  }

  std::string Line(HWND dialog, int index) {
    return ItemString(dialog, kSettingsPresetList, LB_GETTEXT, index);
  }

  std::string LevelShown(HWND dialog) {
    LRESULT index = Send(dialog, kSettingsLevelCombo, CB_GETCURSEL);
    if (index < 0)
      return "<none>";
    return ItemString(dialog, kSettingsLevelCombo, CB_GETLBTEXT, static_cast<int>(index));
  }

  static int SliderPos(HWND dialog) {
    return static_cast<int>(Send(dialog, kSettingsSlider, TBM_GETPOS));
  }
  static int SpinnerPos(HWND dialog) {
    return static_cast<int>(Send(dialog, kSettingsSpinner, UDM_GETPOS32));
  }

  // One step of the spinner's upper or lower arrow, pressed with the mouse.
  static void StepSpinner(HWND dialog, bool up) {
    HWND spinner = GetDlgItem(dialog, kSettingsSpinner);
    RECT client;
    GetClientRect(spinner, &client);
    LPARAM arrow = MAKELPARAM(client.right / 2, up ? client.bottom / 4 : client.bottom * 3 / 4);
    SendMessageA(spinner, WM_LBUTTONDOWN, MK_LBUTTON, arrow);
    SendMessageA(spinner, WM_LBUTTONUP, 0, arrow);
  }

  static void ExpectEditing(HWND dialog, bool enabled) {
    for (int id : kEditingControls)
      EXPECT_EQ(enabled, IsWindowEnabled(GetDlgItem(dialog, id)) != 0) << "control " << id;
  }

  void ApplyPreset(unsigned preset) { PostMessageA(resident.Window(), WM_HOOKCOMMAND, preset, 0); }
};

TEST_F(SettingsDialogTest, OpensAtTheCursorInsideTheWorkAreaWithTheDefaultPresets) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND dialog = Open(130, 90);
  ASSERT_NE(dialog, nullptr);

  RECT rect;
  GetWindowRect(dialog, &rect);
  EXPECT_EQ(130, rect.left);
  EXPECT_EQ(90, rect.top);
  ASSERT_EQ(10, Send(dialog, kSettingsPresetList, LB_GETCOUNT));
  const char *const lines[] = {"0 > 1.000000", "1 > 1.100000", "2 > 1.200000", "3 > 1.300000",
                               "4 > 1.400000", "5 > 1.500000", "6 > 1.600000", "7 > 1.700000",
                               "8 > 1.800000", "9 > 1.900000"};
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(lines[i], Line(dialog, i));
  EXPECT_EQ(LB_ERR, Send(dialog, kSettingsPresetList, LB_GETCURSEL));

  ASSERT_EQ(9, Send(dialog, kSettingsLevelCombo, CB_GETCOUNT));
  for (int i = 0; i < 9; ++i) {
    Send(dialog, kSettingsLevelCombo, CB_SETCURSEL, static_cast<WPARAM>(i));
    EXPECT_EQ(kLevelTexts[i], LevelShown(dialog));
  }
  Send(dialog, kSettingsLevelCombo, CB_SETCURSEL, static_cast<WPARAM>(-1));

  EXPECT_EQ("", ItemText(dialog, kSettingsGammaText));
  EXPECT_EQ(10000, SliderPos(dialog));
  EXPECT_EQ(7000, Send(dialog, kSettingsSlider, TBM_GETRANGEMIN));
  EXPECT_EQ(30000, Send(dialog, kSettingsSlider, TBM_GETRANGEMAX));
  EXPECT_EQ(10000, SpinnerPos(dialog));
  EXPECT_EQ(BST_CHECKED, Send(dialog, kSettingsHookCheck, BM_GETCHECK));
  for (int id : {kSettingsLevelLabel, kSettingsLevelCombo, kSettingsApply, kSettingsResetGamma,
                 kSettingsSpinner})
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kSettingsGammaText)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kSettingsSlider)));
  Finish(dialog, IDCANCEL);

  // Opened from the tray, the cursor is on the taskbar: the dialog goes
  // above it, with OK and Cancel in sight.
  RECT work = {};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  ASSERT_LT(work.bottom, GetSystemMetrics(SM_CYSCREEN)) << "no taskbar to keep clear of";
  dialog = Open(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  ASSERT_NE(dialog, nullptr);
  GetWindowRect(dialog, &rect);
  EXPECT_EQ(work.right, rect.right);
  EXPECT_EQ(work.bottom, rect.bottom);
  EXPECT_TRUE(LiesInside(dialog, work, {IDOK, IDCANCEL}));
  Finish(dialog, IDCANCEL);
  ExpectCommandsTakenAgain();
  EXPECT_FALSE(PresetKeyExists());
}

TEST_F(SettingsDialogTest, SelectingAPresetShowsItsLevelGammaAndPositions) {
  SetPresetValue("Gamma2", 12000);
  SetPresetValue("Adjust2", 16);
  SetPresetValue("Gamma5", 15000);
  SetPresetValue("Adjust5", 10); // not one of the combo box's levels
  SetPresetValue("Gamma7", 50000);
  SetPresetValue("Gamma9", 2147483647);
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);

  Select(dialog, 2);
  EXPECT_EQ("レベル +16", LevelShown(dialog));
  EXPECT_EQ("1.200000", ItemText(dialog, kSettingsGammaText));
  EXPECT_EQ(12000, SliderPos(dialog));
  EXPECT_EQ(12000, SpinnerPos(dialog));
  ExpectEditing(dialog, true);

  Select(dialog, 5);
  EXPECT_EQ("暗部補正なし", LevelShown(dialog));
  EXPECT_EQ("1.500000", ItemText(dialog, kSettingsGammaText));

  // The largest gamma the registry can hold: shown as it is, the slider at
  // its top end.
  EXPECT_EQ("9 > 214748.364700", Line(dialog, 9));
  Select(dialog, 9);
  EXPECT_EQ("214748.364700", ItemText(dialog, kSettingsGammaText));
  EXPECT_EQ(30000, SliderPos(dialog));
  EXPECT_EQ(30000, SpinnerPos(dialog));

  // Above 3.2767 a 16-bit position wraps: the spinner must stand at its top
  // like the slider, and step down from there.
  Select(dialog, 7);
  EXPECT_EQ("5.000000", ItemText(dialog, kSettingsGammaText));
  EXPECT_EQ(30000, SliderPos(dialog));
  EXPECT_EQ(30000, SpinnerPos(dialog));
  StepSpinner(dialog, false);
  EXPECT_EQ(29999, SpinnerPos(dialog));
  EXPECT_EQ(29999, SliderPos(dialog));
  EXPECT_EQ("2.999900", ItemText(dialog, kSettingsGammaText));

  // A level outside the table becomes 0 when the preset is confirmed.
  Select(dialog, 5);
  ClickAndWait(dialog, kSettingsApply);
  EXPECT_EQ("5 > 1.500000", Line(dialog, 5));
  Finish(dialog, IDOK);
  ExpectCommandsTakenAgain();
  EXPECT_EQ(0u, StoredValue("Adjust5"));
  EXPECT_EQ(15000u, StoredValue("Gamma5"));
  EXPECT_EQ(16u, StoredValue("Adjust2"));
  EXPECT_EQ(2147483647u, StoredValue("Gamma9"));
}

TEST_F(SettingsDialogTest, ConfirmedPresetsAreSavedAndUsedByTheHotKeysAtOnce) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);

  Select(dialog, 4);
  MoveSlider(dialog, 29999);
  EXPECT_EQ(29999, SpinnerPos(dialog));
  EXPECT_EQ("2.999900", ItemText(dialog, kSettingsGammaText));
  ChooseLevel(dialog, 2);
  ClickAndWait(dialog, kSettingsApply);
  EXPECT_EQ("4 > 2.999900", Line(dialog, 4));
  ExpectEditing(dialog, true);

  // The top of the slider is refused, and the preset stays.
  MoveSlider(dialog, 30000);
  Click(dialog, kSettingsApply);
  MessageBoxSeen refused = AnswerMessageBox(resident.ProcessId(), "main", IDOK);
  EXPECT_TRUE(refused.shown);
  EXPECT_EQ(kInvalidValueText, refused.text);
  EXPECT_EQ("4 > 2.999900", Line(dialog, 4));

  // The stored gamma brings the slider back to where it was stored from.
  Select(dialog, 0);
  Select(dialog, 4);
  EXPECT_EQ(29999, SliderPos(dialog));
  EXPECT_EQ(29999, SpinnerPos(dialog));
  EXPECT_EQ("レベル +12", LevelShown(dialog));

  Select(dialog, 1);
  MoveSlider(dialog, 15000);
  ChooseLevel(dialog, 0);
  ClickAndWait(dialog, kSettingsApply);
  Finish(dialog, IDOK);
  EXPECT_FALSE(MessageBoxComes("main")) << "the hook flag did not change";

  ExpectCommandsTakenAgain();
  EXPECT_EQ(29999u, StoredValue("Gamma4"));
  EXPECT_EQ(12u, StoredValue("Adjust4"));
  EXPECT_EQ(15000u, StoredValue("Gamma1"));
  EXPECT_EQ(0u, StoredValue("Adjust1"));
  EXPECT_EQ(10000u, StoredValue("Gamma0"));
  EXPECT_EQ(19000u, StoredValue("Gamma9"));
  EXPECT_EQ(1u, StoredValue("HookEnabled"));

  ApplyPreset(HOOKCMD_PRESET1);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.5, 0), kWaitMs));
}

TEST_F(SettingsDialogTest, SliderSpinnerAndResetAreAScratchEditor) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);

  // They work with nothing selected, too.
  MoveSpinner(dialog, 12345);
  EXPECT_EQ(12345, SliderPos(dialog));
  EXPECT_EQ("1.234500", ItemText(dialog, kSettingsGammaText));

  Select(dialog, 3);
  MoveSlider(dialog, 20000);
  ClickAndWait(dialog, kSettingsResetGamma);
  EXPECT_EQ("1.0000", ItemText(dialog, kSettingsGammaText));
  EXPECT_EQ(10000, SliderPos(dialog));
  EXPECT_EQ(10000, SpinnerPos(dialog));
  EXPECT_EQ("3 > 1.300000", Line(dialog, 3));

  StepSpinner(dialog, true);
  EXPECT_EQ(10001, SpinnerPos(dialog));
  EXPECT_EQ(10001, SliderPos(dialog));
  EXPECT_EQ("1.000100", ItemText(dialog, kSettingsGammaText));

  // OK without "確定" keeps every preset.
  Finish(dialog, IDOK);
  ExpectCommandsTakenAgain();
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(static_cast<DWORD>(10000 + 1000 * i), StoredValue("Gamma" + std::to_string(i)));
}

TEST_F(SettingsDialogTest, CancelledAndEmptySelectionsLeaveNothingToEdit) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  HWND list = GetDlgItem(dialog, kSettingsPresetList);

  Select(dialog, 3);
  ChooseLevel(dialog, 4);
  Notify(dialog, WM_COMMAND, MAKEWPARAM(kSettingsPresetList, LBN_SELCANCEL),
         reinterpret_cast<LPARAM>(list));
  EXPECT_EQ("", ItemText(dialog, kSettingsGammaText));
  EXPECT_EQ("暗部補正なし", LevelShown(dialog));
  ExpectEditing(dialog, false);

  // A change notification with no selection, as any program can send it:
  // there is no preset to show or to store into.
  Select(dialog, 6);
  Send(dialog, kSettingsPresetList, LB_SETCURSEL, static_cast<WPARAM>(-1));
  Notify(dialog, WM_COMMAND, MAKEWPARAM(kSettingsPresetList, LBN_SELCHANGE),
         reinterpret_cast<LPARAM>(list));
  EXPECT_EQ("", ItemText(dialog, kSettingsGammaText));
  EXPECT_EQ("暗部補正なし", LevelShown(dialog));
  ExpectEditing(dialog, false);
  MoveSlider(dialog, 30000);
  Click(dialog, kSettingsApply);
  EXPECT_FALSE(MessageBoxComes("main")) << "\"確定\" without a preset does nothing";
  MoveSlider(dialog, 20000);
  ClickAndWait(dialog, kSettingsApply);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ("" + std::to_string(i) + " > 1." + std::to_string(i) + "00000", Line(dialog, i));

  // A line another program added is no preset either.
  Select(dialog, 6);
  DWORD_PTR added = 0;
  SendMessageTimeoutW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"10 > 5.000000"),
                      SMTO_NORMAL, kWaitMs, &added);
  ASSERT_EQ(10u, added);
  Select(dialog, 10);
  EXPECT_EQ("", ItemText(dialog, kSettingsGammaText));
  ExpectEditing(dialog, false);

  Finish(dialog, IDOK);
  ExpectCommandsTakenAgain();
  EXPECT_TRUE(resident.IsRunning());
  EXPECT_EQ(16000u, StoredValue("Gamma6"));
  EXPECT_EQ(0u, StoredValue("Adjust6"));
}

// The box shows the saved choice, not the one the hook started with; the
// notice comes whenever that choice differs from whether the hook runs.
TEST_F(SettingsDialogTest, TheHookChoiceIsKeptAndTakesEffectAtTheNextStart) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  SetHookCheck(dialog, false);
  Finish(dialog, IDOK);
  MessageBoxSeen notice = AnswerMessageBox(resident.ProcessId(), "main", IDOK);
  EXPECT_TRUE(notice.shown);
  EXPECT_EQ(kHookStateText, notice.text);
  EXPECT_EQ(nullptr, notice.owner);
  EXPECT_EQ(0u, StoredValue("HookEnabled"));

  // Untouched, the choice stays off; the hook still runs until the next
  // start, so the notice still holds.
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(BST_UNCHECKED, Send(dialog, kSettingsHookCheck, BM_GETCHECK));
  Finish(dialog, IDOK);
  notice = AnswerMessageBox(resident.ProcessId(), "main", IDOK);
  EXPECT_TRUE(notice.shown);
  EXPECT_EQ(kHookStateText, notice.text);
  ExpectCommandsTakenAgain();
  EXPECT_EQ(0u, StoredValue("HookEnabled"));

  // Back on: what runs already, so nothing to restart for.
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(BST_UNCHECKED, Send(dialog, kSettingsHookCheck, BM_GETCHECK));
  SetHookCheck(dialog, true);
  Finish(dialog, IDOK);
  EXPECT_FALSE(MessageBoxComes("main"));
  ExpectCommandsTakenAgain();
  EXPECT_EQ(1u, StoredValue("HookEnabled"));
}

TEST_F(SettingsDialogTest, CancelAndEnterDiscardEveryChange) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  for (bool byEnter : {false, true}) {
    SCOPED_TRACE(byEnter ? "Enter" : "Cancel");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Select(dialog, 0);
    MoveSlider(dialog, 15000);
    ClickAndWait(dialog, kSettingsApply);
    SetHookCheck(dialog, false);
    if (byEnter) {
      HWND list = GetDlgItem(dialog, kSettingsPresetList);
      PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
      PostMessageA(list, WM_KEYUP, VK_RETURN, 0);
      EXPECT_TRUE(WaitForWindowGone(dialog, kWaitMs));
    } else {
      Finish(dialog, IDCANCEL);
    }
    EXPECT_FALSE(MessageBoxComes("main"));
    ExpectCommandsTakenAgain();
    EXPECT_FALSE(PresetKeyExists());
    // The hot keys still use the old preset 0, gamma 1.0.
    ApplyPreset(HOOKCMD_PRESET0);
    EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.0, 0), kWaitMs));
    ASSERT_TRUE(SetDisplayRamp(startRamp));
  }
}

TEST_F(SettingsDialogTest, TheClosingQuestionDecides) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  for (int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Select(dialog, 7);
    MoveSlider(dialog, 22000);
    ClickAndWait(dialog, kSettingsApply);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    MessageBoxSeen question = AnswerMessageBox(resident.ProcessId(), "Quil", answer);
    EXPECT_TRUE(question.shown);
    EXPECT_EQ(kCloseQuestionText, question.text);
    EXPECT_EQ(dialog, question.owner);
    EXPECT_TRUE(WaitForWindowGone(dialog, kWaitMs));
    ExpectCommandsTakenAgain();
    if (answer == IDNO) {
      EXPECT_FALSE(PresetKeyExists());
    } else {
      EXPECT_EQ(22000u, StoredValue("Gamma7"));
    }
  }
}

TEST_F(SettingsDialogTest, CommandsAndTrayClicksAreDroppedWhileTheDialogIsOpen) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND window = resident.Window();
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);

  // Sent: each returns once handled, and one that opened a menu or a second
  // dialog would not return while that is open.
  EXPECT_TRUE(resident.Send(WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN, 5000));
  EXPECT_TRUE(resident.Send(WM_COMMAND, IDM_RESIDENTSETTINGS, 0, 5000));
  EXPECT_TRUE(resident.Send(WM_COMMAND, IDM_EXIT, 0, 5000));
  EXPECT_EQ(nullptr, FindProcessWindow(resident.ProcessId(), "#32768", true)) << "a menu opened";
  EXPECT_TRUE(IsWindow(dialog));
  // Hook commands are still handled.
  ApplyPreset(HOOKCMD_PRESET5);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.5, 0), kWaitMs));

  Finish(dialog, IDCANCEL);
  // Nothing was queued for later: no second dialog, and the program runs.
  EXPECT_EQ(nullptr, WaitForDialog(resident.ProcessId(), kSettingsCaption, kAbsenceMs));
  EXPECT_TRUE(resident.IsRunning());

  // A dismissed menu's identifier 0 leaves the program ready for commands.
  PostMessageA(window, WM_COMMAND, 0, 0);
  ExpectCommandsTakenAgain();
}

// Software\Tessivo made volatile: a lasting key cannot be created below it,
// so the save fails as it would on a registry that refuses writes.
class UnsavableSettingsTest : public SettingsDialogTest {
protected:
  void SetUp() override {
    SettingsDialogTest::SetUp();
    RegDeleteKeyA(HKEY_CURRENT_USER, kPresetKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessivo");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tessivo", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
  }
  void TearDown() override {
    SettingsDialogTest::TearDown();
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessivo");
  }
};

TEST_F(UnsavableSettingsTest, AFailedSaveIsReportedAndTheChangesHoldForThisRun) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Select(dialog, 2);
  MoveSlider(dialog, 8000);
  ClickAndWait(dialog, kSettingsApply);
  SetHookCheck(dialog, false);
  Finish(dialog, IDOK);

  MessageBoxSeen failure = AnswerMessageBox(resident.ProcessId(), "main", IDOK);
  EXPECT_TRUE(failure.shown);
  EXPECT_EQ(kSaveFailedText, failure.text);
  MessageBoxSeen notice = AnswerMessageBox(resident.ProcessId(), "main", IDOK);
  EXPECT_TRUE(notice.shown);
  EXPECT_EQ(kHookStateText, notice.text);
  ExpectCommandsTakenAgain();
  EXPECT_FALSE(PresetKeyExists());

  ApplyPreset(HOOKCMD_PRESET2);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(0.8, 0), kWaitMs));
}

} // namespace
