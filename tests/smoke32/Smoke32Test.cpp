#include "tests/e2e/DialogDriver.h"
#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "hook/HookCommands.h"
#include "res/resource.h"
#include "ui/SettingsDialog.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The 32-bit program of the win32 build (QUILLORA_EXE, with its own
// QuilHook.dll beside it), driven by this 64-bit test program in a 64-bit
// prefix with its 32-bit half. Where the kernel runs no 32-bit code the
// 32-bit side runs under user-mode emulation, and each start of it costs
// about a minute: so each test starts it once and checks all it can there,
// while everything this side does runs at full speed. Each part checks what
// only the 32-bit program does: its stdcall hook library and the bridge that
// tolerates a cdecl one, its structures handed to the system (the file
// dialog's), and WOW64: the registry's 64-bit view, reg.exe found through
// the file-system redirection, the shell's folders and links.

namespace {

// Emulated, a start of the 32-bit program takes a minute and more on a busy
// machine, and so does the first run of each larger part of Wine in it (the
// common controls, the file dialog, COM, reg.exe). The waits are long
// enough for that; CTest's own limit per test still ends a test that hangs.
const unsigned kStartMs = 300000;
const unsigned kStepMs = 180000;

const char kSettingsCaption[] = "常駐ガンマ設定";
const char kOpenCaption[] = "ガンマファイルの読みこみ";
const char kUnlockCaption[] = "ガンマ範囲の制限";
const char kUnlockedText[] = "制限を解除しました。サインインし直すと有効になります。";
const char kIcmKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ICM";
const char kPresetKey[] = "Software\\Tessivo\\Quil";

std::string Quoted(const std::string &text) {
  return "\"" + text + "\"";
}

std::string FolderOf(const std::string &windowsPath) {
  return windowsPath.substr(0, windowsPath.rfind('\\'));
}

std::string Ansi(const std::wstring &wide) {
  char ansi[MAX_PATH * 2] = "";
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
  return ansi;
}

std::string HexHandle(HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx",
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
  return text;
}

// A DWORD of HKLM's ICM key in one registry view, or -1 when there is none.
long IcmValue(REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIcmKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
    return -1;
  DWORD value = 0, size = sizeof value, type = 0;
  LONG result = RegQueryValueExA(key, "GdiIcmGammaRange", nullptr, &type,
                                 reinterpret_cast<BYTE *>(&value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long>(value) : -1;
}

void DeleteIcmValue(REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIcmKey, 0, KEY_SET_VALUE | view, &key) != ERROR_SUCCESS)
    return;
  RegDeleteValueA(key, "GdiIcmGammaRange");
  RegCloseKey(key);
}

long PresetValue(const char *name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPresetKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return -1;
  DWORD value = 0, size = sizeof value, type = 0;
  LONG result =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long>(value) : -1;
}

std::wstring StartupShortcut() {
  wchar_t folder[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return L"";
  return std::wstring(folder) + L"\\Quillora.lnk";
}

// The target and working folder of a shortcut, as this 64-bit process's
// shell reads them; empty when it cannot be read.
struct ShortcutSeen {
  std::string target;
  std::string workingFolder;
};

ShortcutSeen ReadShortcut(const std::wstring &path) {
  ShortcutSeen seen;
  IShellLinkW *link = nullptr;
  IPersistFile *file = nullptr;
  wchar_t target[MAX_PATH] = L"", folder[MAX_PATH] = L"";
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void **>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) &&
      SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
      SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
      SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH)))
    seen = {Ansi(target), Ansi(folder)};
  if (file)
    file->Release();
  if (link)
    link->Release();
  return seen;
}

INPUT Key(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// Ctrl+Alt+Shift+key, pressed and released, through the system's input as a
// keyboard would give it.
bool PressHotKey(WORD key) {
  INPUT keys[] = {Key(VK_CONTROL, false), Key(VK_MENU, false),  Key(VK_SHIFT, false),
                  Key(key, false),        Key(key, true),       Key(VK_SHIFT, true),
                  Key(VK_MENU, true),     Key(VK_CONTROL, true)};
  return SendInput(ARRAYSIZE(keys), keys, sizeof(INPUT)) == ARRAYSIZE(keys);
}

// A message box of the process with this caption: its text, after pressing
// `button`; "<none>" when none came within timeoutMs.
std::string AnswerMessageBox(DWORD processId, const char *caption, int button, unsigned timeoutMs) {
  HWND box = WaitForDialog(processId, caption, timeoutMs);
  if (!box)
    return "<none>";
  std::string text = ItemText(box, 0xFFFF);
  PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
  EXPECT_TRUE(WaitForWindowGone(box, kStepMs));
  return text;
}

bool IsWow64(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  BOOL wow64 = FALSE;
  bool asked = process && IsWow64Process(process, &wow64);
  if (process)
    CloseHandle(process);
  return asked && wow64;
}

class Smoke32Test : public ::testing::Test {
protected:
  void SetUp() override {
    // A 64-bit program here would pass every check without showing anything
    // of the 32-bit one.
    DWORD type = 0;
    ASSERT_TRUE(GetBinaryTypeA(Program().c_str(), &type)) << Program();
    ASSERT_EQ(type, static_cast<DWORD>(SCS_32BIT_BINARY)) << Program();
    ASSERT_TRUE(SetDisplayMode(1024, 768));
    folder = FreshFolder(FreshFolder(QUIL_TEST_BINARY_DIR, "smoke32"), TestName());
    ASSERT_TRUE(SetDisplayRamp(CurveRamp(0.9, 0)));
  }

  void TearDown() override {
    if (resident.IsRunning()) {
      EXPECT_EQ(resident.Close(kStepMs), 0);
    } else if (HasFailure() && resident.Window()) {
      // A failed step with the program gone: its exit code tells a Windows
      // exception (0xC0000005 and the like) from an emulator that died.
      std::printf("the 32-bit program had ended, exit code 0x%08X\n",
                  static_cast<unsigned>(resident.WaitForExit(0)));
    }
  }

  static std::string Program() { return WindowsPath(QUILLORA_EXE); }

  static std::string TestName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }

  // Starts the program (quoted path, no arguments) in the working folder.
  void StartResident(const std::string &program) {
    ASSERT_TRUE(resident.Start(Quoted(program), WindowsPath(folder), kStartMs));
    EXPECT_TRUE(IsWow64(resident.ProcessId())) << "the program runs as a 32-bit process";
  }

  // The tray menu's Exit ends the program with code 0 and takes its icon.
  void ExitThroughTheMenu() {
    HWND window = resident.Window();
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(resident.WaitForExit(kStepMs), 0);
    EXPECT_FALSE(TrayIconExists(window, 0));
  }

  std::string folder; // Linux path
  ResidentProcess resident;
};

// Several program starts of one run read what an earlier one wrote; each
// test cleans up only what it alone uses.

TEST_F(Smoke32Test, OneShotAppliesAFile) {
  GammaFileContent content;
  content.width = 1024;
  content.height = 768;
  content.ramp = CurveRamp(2.0, 0);
  ASSERT_TRUE(WriteGammaFile(folder + "/明るめ.qlr", content));
  std::string file = WindowsPath(folder + "/明るめ.qlr");
  EXPECT_EQ(RunCommandLine(Quoted(Program()) + " /E " + Quoted(file), kStartMs), 0);
  EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(content.ramp));
}

// One start of the resident program with its real QuilHook.dll: hot keys
// through the hook, the settings dialog saving a preset, the load command's
// file dialog, the autostart and unlock entries, and Exit.
class Smoke32ResidentTest : public Smoke32Test {
protected:
  void SetUp() override {
    Smoke32Test::SetUp();
    DeletePresets();
    DeleteIcmValue(KEY_WOW64_64KEY);
    DeleteIcmValue(KEY_WOW64_32KEY);
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    shortcut = StartupShortcut();
    ASSERT_FALSE(shortcut.empty());
    DeleteFileW(shortcut.c_str());
  }

  void TearDown() override {
    Smoke32Test::TearDown();
    DeleteFileW(shortcut.c_str());
    DeleteIcmValue(KEY_WOW64_64KEY);
    CoUninitialize();
  }

  // The first key the hook sees may come while the emulator still
  // translates the hook's code, later than the system waits for a
  // low-level hook, and then passes unseen. The key selects a preset, so
  // pressing it again changes nothing else; a hook that never works never
  // changes the ramp.
  bool HotKeyShows(WORD key, const std::vector<std::uint16_t> &ramp) {
    for (int press = 0; press < 6; ++press) {
      if (!PressHotKey(key))
        return false;
      if (WaitForDisplayRamp(ramp, 10000))
        return true;
    }
    return false;
  }

  void SavePreset3As1Point6() {
    PostMessageA(resident.Window(), WM_COMMAND, IDM_RESIDENTSETTINGS, 0);
    HWND dialog = WaitForDialog(resident.ProcessId(), kSettingsCaption, kStepMs);
    ASSERT_NE(dialog, nullptr);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, kSettingsPresetList), LB_SETCURSEL, 3, 0, SMTO_NORMAL,
                        kStepMs, &ignored);
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(kSettingsPresetList, LBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, kSettingsPresetList)),
                        SMTO_NORMAL, kStepMs, &ignored);
    DragSlider(dialog, kSettingsSlider, 16000);
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(kSettingsApply, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, kSettingsApply)), SMTO_NORMAL,
                        kStepMs, &ignored);
    ClickButton(dialog, IDOK);
    EXPECT_TRUE(WaitForWindowGone(dialog, kStepMs));
    // The presets are saved once the dialog has gone: the command is over
    // when the program answers again.
    EXPECT_TRUE(resident.Sync(kStepMs));
  }

  void LoadFileThroughTheDialog(const std::string &name) {
    PostMessageA(resident.Window(), WM_COMMAND, IDM_LOADFILE, 0);
    HWND open = WaitForDialog(resident.ProcessId(), kOpenCaption, kStepMs);
    ASSERT_NE(open, nullptr);
    TypeFileName(open, WindowsPath(folder) + "\\" + name);
    EXPECT_TRUE(WaitForWindowGone(open, kStepMs));
  }

  std::wstring shortcut;
};

TEST_F(Smoke32ResidentTest, HookSettingsFileDialogAutostartUnlockAndExit) {
  GammaFileContent loaded;
  loaded.ramp = CurveRamp(1.3, 0);
  ASSERT_TRUE(WriteGammaFile(folder + "/読みこみ.qlr", loaded));
  StartResident(Program());

  // The stdcall entry points of the real library, found by their plain
  // names: preset 2 is 1.2 while the registry holds none.
  EXPECT_TRUE(HotKeyShows('2', CurveRamp(1.2, 0))) << "Ctrl+Alt+Shift+2 through QuilHook.dll";

  SavePreset3As1Point6();
  EXPECT_EQ(PresetValue("Gamma3"), 16000);
  EXPECT_EQ(PresetValue("HookEnabled"), 1);
  EXPECT_TRUE(HotKeyShows('3', CurveRamp(1.6, 0))) << "the saved preset, used at once";

  // The 32-bit OPENFILENAMEA, and a Japanese file name in it.
  LoadFileThroughTheDialog("読みこみ.qlr");
  // Without its dialog the program does not answer the next steps either:
  // end here instead of waiting out each of them.
  if (HasFatalFailure())
    return;
  EXPECT_TRUE(WaitForDisplayRamp(loaded.ramp, kStepMs));

  // The 32-bit shell's Startup folder and link object; this 64-bit shell
  // reads the link.
  ASSERT_TRUE(resident.Send(WM_COMMAND, IDM_AUTOSTART, 0, kStepMs));
  ShortcutSeen link = ReadShortcut(shortcut);
  EXPECT_EQ(link.target, Program());
  EXPECT_EQ(link.workingFolder, FolderOf(Program()));

  // reg.exe, reached from the 32-bit program, writes the 64-bit view, and
  // the program reads it back there before it reports success.
  PostMessageA(resident.Window(), WM_COMMAND, IDM_UNLOCKGAMMARANGE, 0);
  EXPECT_NE(AnswerMessageBox(resident.ProcessId(), kUnlockCaption, IDYES, kStepMs), "<none>");
  EXPECT_EQ(AnswerMessageBox(resident.ProcessId(), kUnlockCaption, IDOK, kStepMs), kUnlockedText);
  EXPECT_EQ(IcmValue(KEY_WOW64_64KEY), 256);

  ExitThroughTheMenu();
}

// A second start, with a hook library whose entry points are cdecl: the
// bridge calls them without losing the stack, and the program reads the
// preset the first start saved.
TEST_F(Smoke32Test, SecondStartWithACdeclHookLibraryReadsTheSavedPreset) {
  std::string program = WindowsPath(folder + "/quillora.exe");
  ASSERT_TRUE(CopyFileA(Program().c_str(), program.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(WindowsPath(CDECL_HOOK_DLL).c_str(),
                        WindowsPath(folder + "/QuilHook.dll").c_str(), FALSE));
  std::string logPath = folder + "/hook.log";
  SetEnvironmentVariableA("QUIL_HOOK_LOG", WindowsPath(logPath).c_str());
  StartResident(program);
  SetEnvironmentVariableA("QUIL_HOOK_LOG", nullptr);
  auto log = [&] {
    std::ifstream file(logPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  };
  std::string started = "load\r\nStartHook QuilHook.dll\r\nRegisterQuilWindow " +
                        HexHandle(resident.Window()) + "\r\n";
  EXPECT_EQ(log(), started);

  // The stand-in installs no hook: the command comes as the hook posts it.
  PostMessageA(resident.Window(), WM_HOOKCOMMAND, HOOKCMD_PRESET3, 0);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.6, 0), kStepMs))
      << "preset 3 as the first start saved it";

  ExitThroughTheMenu();
  EXPECT_EQ(log(), started + "EndHook\r\nunload\r\n");
  DeletePresets();
}

} // namespace
