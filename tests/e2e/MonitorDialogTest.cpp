// The dialog "モニターごとの設定" in the real program, driven from outside as
// a user would: the list, the three choices, the browse button, OK, Cancel
// and Escape, a file that does not load, a registry that refuses, and a
// choice that outlives the program. Wine shows one monitor, "Display1".
#include "tests/e2e/DialogDriver.h"
#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "gamma/MonitorInfo.h"
#include "res/resource.h"
#include "ui/MonitorDialog.h"

#include <windows.h>

#include <fstream>
#include <string>

namespace {

const char kCaption[] = "モニターごとの設定";
const char kMonitorsKey[] = "Software\\Tessivo\\Quil\\Monitors";
const unsigned kWaitMs = 10000;
const unsigned kAbsenceMs = 800;

void DeleteMonitorKeys() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kMonitorsKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    char name[128];
    while (RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS &&
           RegDeleteKeyA(key, name) == ERROR_SUCCESS) {
    }
    RegCloseKey(key);
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, kMonitorsKey);
}

// The stored choices: key name, Choice and File, one line each.
std::string StoredChoices() {
  std::string stored;
  HKEY monitors = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kMonitorsKey, 0, KEY_READ, &monitors) != ERROR_SUCCESS)
    return stored;
  char name[128];
  for (DWORD i = 0; RegEnumKeyA(monitors, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
    DWORD choice = 99, size = sizeof choice;
    char file[MAX_PATH] = "";
    DWORD fileSize = sizeof file;
    RegGetValueA(monitors, name, "Choice", RRF_RT_REG_DWORD, nullptr, &choice, &size);
    RegGetValueA(monitors, name, "File", RRF_RT_REG_SZ, nullptr, file, &fileSize);
    stored += std::string(name) + " " + std::to_string(choice) + " " + file + "\n";
  }
  RegCloseKey(monitors);
  return stored;
}

void StoreRemembered(const char *key, const char *name, DWORD choice) {
  HKEY monitor = nullptr;
  std::string path = std::string(kMonitorsKey) + "\\" + key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &monitor, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(monitor, "Choice", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&choice),
                 sizeof choice);
  RegSetValueExA(monitor, "Name", 0, REG_SZ, reinterpret_cast<const BYTE *>(name),
                 static_cast<DWORD>(lstrlenA(name) + 1));
  RegCloseKey(monitor);
}

// A line of the list in the program's code page. Asked for in Unicode: Wine
// hands another process's ANSI request the Unicode text.
std::string ListLine(HWND dialog, int index) {
  wchar_t text[256] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(GetDlgItem(dialog, kMonitorList), LB_GETTEXT, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kWaitMs, &length);
  if (static_cast<LRESULT>(length) < 0)
    return "<no line>";
  char ansi[512] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
  return ansi;
}

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), message, wParam, lParam, SMTO_NORMAL, kWaitMs,
                      &result);
  return static_cast<LRESULT>(result);
}

// Sent: handled when this returns.
void Command(HWND dialog, int id, int notification) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, notification),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), SMTO_NORMAL, kWaitMs,
                      &result);
}

struct MessageBoxSeen {
  bool shown;
  std::string text;
};

MessageBoxSeen AnswerMessageBox(DWORD processId, const char *caption, unsigned timeoutMs) {
  MessageBoxSeen seen = {false, ""};
  HWND box = WaitForDialog(processId, caption, timeoutMs);
  if (!box)
    return seen;
  seen.shown = true;
  seen.text = ItemText(box, 0xFFFF);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitForWindowGone(box, kWaitMs);
  return seen;
}

// GetWindowText cannot read an edit control of another process: asked with
// WM_GETTEXT instead.
std::string BoxText(HWND dialog, int id) {
  char text[MAX_PATH + 1] = "";
  DWORD_PTR length = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text,
                      reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kWaitMs, &length);
  return text;
}

int CheckedChoice(HWND dialog) {
  for (int button : {kMonitorFollowButton, kMonitorOwnFileButton, kMonitorLeaveOutButton})
    if (SendItem(dialog, button, BM_GETCHECK) == BST_CHECKED)
      return button;
  return 0;
}

class MonitorDialogTest : public ResidentFixture {
protected:
  void SetUp() override {
    ResidentFixture::SetUp();
    DeleteMonitorKeys();
  }
  void TearDown() override {
    // Before the fixture deletes the key above it, which must be empty.
    DeleteMonitorKeys();
    ResidentFixture::TearDown();
  }

  HWND Open() {
    SetCursorPos(100, 120);
    PostMessageA(resident.Window(), WM_COMMAND, IDM_MONITORSETTINGS, 0);
    HWND dialog = WaitForDialog(resident.ProcessId(), kCaption, kWaitMs);
    EXPECT_NE(dialog, nullptr);
    return dialog;
  }
  void Choose(HWND dialog, int button) { Command(dialog, button, BN_CLICKED); }
  void TypePath(HWND dialog, const std::string &path) {
    SendItem(dialog, kMonitorPathBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  }
  void Finish(HWND dialog, int button) {
    ClickButton(dialog, button);
    EXPECT_TRUE(WaitForWindowGone(dialog, kWaitMs));
  }
  void HotKey(unsigned preset) {
    PostMessageA(resident.Window(), WM_HOOKCOMMAND, preset, 0);
    ASSERT_TRUE(WaitForPostedMessages());
  }
  std::string OwnFile(double gamma) {
    WriteRamp("own.qlr", 0, 0, 0, gamma);
    return WindowsPath(folder + "/own.qlr");
  }
};

TEST_F(MonitorDialogTest, ListsTheAttachedMonitorAndTheRemembered) {
  StoreRemembered("ZZZ9999_T7", "Old TV", kMonitorLeftOut);
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendItem(dialog, kMonitorList, LB_GETCOUNT), 2);
  EXPECT_EQ(ListLine(dialog, 0), "Display1 (1)  640x480  主");
  EXPECT_EQ(ListLine(dialog, 1), "Old TV  (未接続)");
  // The first is selected, and follows until chosen otherwise.
  EXPECT_EQ(CheckedChoice(dialog), kMonitorFollowButton);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kMonitorPathBox)));
  SendItem(dialog, kMonitorList, LB_SETCURSEL, 1);
  Command(dialog, kMonitorList, LBN_SELCHANGE);
  EXPECT_EQ(CheckedChoice(dialog), kMonitorLeaveOutButton);
  Choose(dialog, kMonitorOwnFileButton);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kMonitorPathBox)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kMonitorBrowseButton)));
  Finish(dialog, IDCANCEL);
}

TEST_F(MonitorDialogTest, LeftOutThenItsOwnFileAndTheChoiceOutlivesTheProgram) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Choose(dialog, kMonitorLeaveOutButton);
  Finish(dialog, IDOK);
  std::string stored = StoredChoices();
  EXPECT_NE(stored.find(" 2 \n"), std::string::npos) << stored;
  // Left out: a hot key sets nothing on it.
  HotKey(HOOKCMD_PRESET5);
  ExpectStill(startRamp, 300);

  ASSERT_EQ(resident.Close(kWaitMs), 0);
  ASSERT_TRUE(StartResident(ProgramPath()));
  HotKey(HOOKCMD_PRESET5);
  ExpectStill(startRamp, 300);
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(CheckedChoice(dialog), kMonitorLeaveOutButton) << "the choice did not survive";

  // Its own file, chosen with 「参照...」 in the load command's open dialog:
  // applied at OK, and left alone by the hot keys.
  std::string own = OwnFile(1.7);
  Choose(dialog, kMonitorOwnFileButton);
  ClickButton(dialog, kMonitorBrowseButton);
  HWND open = WaitForDialog(resident.ProcessId(), "ガンマファイルの読みこみ", kWaitMs);
  ASSERT_NE(open, nullptr);
  TypeFileName(open, own);
  ASSERT_TRUE(WaitForWindowGone(open, kWaitMs));
  // The box is filled once the open dialog has returned.
  for (DWORD start = GetTickCount();
       BoxText(dialog, kMonitorPathBox).empty() && GetTickCount() - start < kWaitMs;)
    Sleep(20);
  EXPECT_EQ(BoxText(dialog, kMonitorPathBox), own);
  Finish(dialog, IDOK);
  ExpectDisplay(CurveRamp(1.7, 0));
  HotKey(HOOKCMD_PRESET3);
  ExpectStill(CurveRamp(1.7, 0), 300);
  stored = StoredChoices();
  EXPECT_NE(stored.find(" 1 " + own + "\n"), std::string::npos) << stored;

  // Back to the common ramp: it takes the ramp in force at once, and the
  // next hot key.
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Choose(dialog, kMonitorFollowButton);
  Finish(dialog, IDOK);
  HotKey(HOOKCMD_PRESET3);
  ExpectDisplay(CurveRamp(1.3, 0));
}

TEST_F(MonitorDialogTest, CancelAndEscapeStoreNothing) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  for (bool escape : {false, true}) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Choose(dialog, kMonitorLeaveOutButton);
    if (escape) {
      HWND list = GetDlgItem(dialog, kMonitorList);
      PostMessageA(list, WM_KEYDOWN, VK_ESCAPE, 0);
      PostMessageA(list, WM_KEYUP, VK_ESCAPE, 0);
      EXPECT_TRUE(WaitForWindowGone(dialog, kWaitMs)) << "Escape";
    } else {
      Finish(dialog, IDCANCEL);
    }
    EXPECT_EQ(StoredChoices(), "") << (escape ? "Escape" : "Cancel");
  }
  HotKey(HOOKCMD_PRESET5);
  ExpectDisplay(CurveRamp(1.5, 0));
}

TEST_F(MonitorDialogTest, AFileThatDoesNotLoadIsRefusedAndNothingStored) {
  std::ofstream(folder + "/notes.qlr") << "not a gamma file";
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Choose(dialog, kMonitorOwnFileButton);
  std::string bad = WindowsPath(folder + "/notes.qlr");
  TypePath(dialog, bad);
  ClickButton(dialog, IDOK);
  MessageBoxSeen refused = AnswerMessageBox(resident.ProcessId(), "Quil", kWaitMs);
  EXPECT_TRUE(refused.shown);
  EXPECT_EQ(refused.text, "ガンマファイルとして読みこめませんでした。\n" + bad);
  EXPECT_TRUE(IsWindow(dialog)) << "the dialog closed";
  EXPECT_EQ(StoredChoices(), "");
  Finish(dialog, IDCANCEL);
  ExpectStill(startRamp, 300);
}

// Software\Tessivo made volatile: a lasting key cannot be created below it,
// as on a registry that refuses writes.
TEST_F(MonitorDialogTest, ARegistryThatRefusesIsToldAndTheMonitorStillFollows) {
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessivo\\Quil");
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessivo");
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tessivo", 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr));
  RegCloseKey(key);
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Choose(dialog, kMonitorLeaveOutButton);
  Finish(dialog, IDOK);
  MessageBoxSeen failure = AnswerMessageBox(resident.ProcessId(), "main", kWaitMs);
  EXPECT_TRUE(failure.shown);
  EXPECT_EQ(failure.text, "モニターごとの設定をレジストリに保存できませんでした。");
  HotKey(HOOKCMD_PRESET5);
  ExpectDisplay(CurveRamp(1.5, 0));
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessivo");
}

} // namespace
