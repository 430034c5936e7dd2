#include "tests/e2e/DialogDriver.h"
#include "tests/e2e/MenuProbe.h"
#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "res/resource.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

const char kCaption[] = "Windowsと同時に起動";

std::wstring Wide(const std::string &ansi) {
  wchar_t wide[MAX_PATH * 2] = L"";
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, MAX_PATH * 2);
  return wide;
}

std::wstring StartupFolder() {
  wchar_t folder[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, folder);
  return folder;
}

// A shortcut as the shell reads it, here in the test's own process.
struct Shortcut {
  bool read = false;
  std::wstring target;
  std::wstring workingFolder;
  std::wstring arguments;
};

Shortcut ReadShortcut(const std::wstring &path) {
  Shortcut shortcut;
  IShellLinkW *link = nullptr;
  IPersistFile *file = nullptr;
  wchar_t target[MAX_PATH] = L"", folder[MAX_PATH] = L"", arguments[MAX_PATH] = L"";
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void **>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) &&
      SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
      SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
      SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH)) &&
      SUCCEEDED(link->GetArguments(arguments, MAX_PATH))) {
    shortcut = {true, target, folder, arguments};
  }
  if (file)
    file->Release();
  if (link)
    link->Release();
  return shortcut;
}

bool WriteShortcut(const std::wstring &path, const std::wstring &target,
                   const std::wstring &workingFolder) {
  IShellLinkW *link = nullptr;
  IPersistFile *file = nullptr;
  bool written =
      SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void **>(&link))) &&
      SUCCEEDED(link->SetPath(target.c_str())) &&
      SUCCEEDED(link->SetWorkingDirectory(workingFolder.c_str())) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) &&
      SUCCEEDED(file->Save(path.c_str(), TRUE));
  if (file)
    file->Release();
  if (link)
    link->Release();
  return written;
}

bool SamePath(const std::wstring &a, const std::wstring &b) {
  return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

bool Exists(const std::wstring &path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every name under the folder, with a mark for folders, depth first.
void ListTree(const std::wstring &folder, std::vector<std::wstring> &names) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..")
      continue;
    bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    names.push_back(folder + L"\\" + name + (isFolder ? L"\\" : L""));
    if (isFolder)
      ListTree(folder + L"\\" + name, names);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

std::vector<std::wstring> Tree(const std::wstring &folder) {
  std::vector<std::wstring> names;
  ListTree(folder, names);
  return names;
}

std::wstring ParentOf(const std::wstring &path) { return path.substr(0, path.rfind(L'\\')); }

const char kApprovedKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";
// 03 and the time it was turned off: Task Manager's "off".
const BYTE kSwitchedOff[12] = {3, 0, 0, 0, 0x40, 0x8a, 0x51, 0x3c, 0x1f, 0x6b, 0xda, 0x01};

bool SetApproval(const char *item, const BYTE *data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kApprovedKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  bool set = RegSetValueExA(key, item, 0, REG_BINARY, data, size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return set;
}

// The value's bytes; empty when there is none.
std::vector<BYTE> Approval(const char *item) {
  HKEY key = nullptr;
  BYTE data[64];
  DWORD size = sizeof data;
  LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, kApprovedKey, 0, KEY_QUERY_VALUE, &key);
  if (result == ERROR_SUCCESS) {
    result = RegQueryValueExA(key, item, nullptr, nullptr, data, &size);
    RegCloseKey(key);
  }
  if (result != ERROR_SUCCESS)
    return {};
  return std::vector<BYTE>(data, data + size);
}

// The values these tests write; the key is the prefix's, shared by all.
void DeleteApprovals() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kApprovedKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  RegDeleteValueA(key, "Quillora.lnk");
  RegDeleteValueA(key, "Other.lnk");
  RegCloseKey(key);
}

class AutostartTest : public ResidentFixture {
protected:
  void SetUp() override {
    ResidentFixture::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    comEntered = true;
    startup = StartupFolder();
    ASSERT_FALSE(startup.empty());
    shortcutPath = startup + L"\\Quillora.lnk";
    DeleteFileW(shortcutPath.c_str());
    DeleteApprovals();
  }

  // The Startup folder is the prefix's, shared by every test: it is left as
  // it was found.
  void TearDown() override {
    ResidentFixture::TearDown();
    DeleteApprovals();
    DeleteFileW(shortcutPath.c_str());
    RemoveDirectoryW(shortcutPath.c_str());
    if (!keptStartup.empty()) {
      DeleteFileW(startup.c_str());
      MoveFileW(keptStartup.c_str(), startup.c_str());
    }
    if (comEntered)
      CoUninitialize();
  }

  // Puts a file where the Startup folder was: no shortcut can be saved.
  void ReplaceStartupFolderWithFile() {
    keptStartup = startup + L".kept";
    ASSERT_TRUE(MoveFileW(startup.c_str(), keptStartup.c_str()));
    std::vector<unsigned char> bytes = {'x'};
    ASSERT_TRUE(WriteFileBytes(WideToAnsi(startup), bytes));
  }

  static std::string WideToAnsi(const std::wstring &wide) {
    char ansi[MAX_PATH * 2] = "";
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
  }

  int MenuCheck() { return TrayMenuCheck(resident, IDM_AUTOSTART); }

  // Chooses the entry; returns once the command has run.
  bool ChooseEntry() { return resident.Send(WM_COMMAND, IDM_AUTOSTART, 0) != 0; }

  std::wstring startup;
  std::wstring shortcutPath;
  std::wstring keptStartup; // the real Startup folder while a file stands in
  bool comEntered = false;
};

TEST_F(AutostartTest, TurningOnWritesAShortcutToThisProgramAndTurningOffDeletesIt) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  EXPECT_EQ(MenuCheck(), 0);

  ASSERT_TRUE(ChooseEntry());
  Shortcut written = ReadShortcut(shortcutPath);
  ASSERT_TRUE(written.read);
  std::wstring program = Wide(ProgramPath());
  EXPECT_TRUE(SamePath(written.target, program)) << WideToAnsi(written.target);
  EXPECT_TRUE(SamePath(written.workingFolder, ParentOf(program)))
      << WideToAnsi(written.workingFolder);
  EXPECT_EQ(written.arguments, L"");
  EXPECT_EQ(MenuCheck(), 1);

  ASSERT_TRUE(ChooseEntry());
  EXPECT_FALSE(Exists(shortcutPath));
  EXPECT_EQ(MenuCheck(), 0);

  // The mark is read each time the menu opens, not remembered: a shortcut
  // the user deletes by hand shows at once.
  ASSERT_TRUE(ChooseEntry());
  EXPECT_EQ(MenuCheck(), 1);
  ASSERT_TRUE(DeleteFileW(shortcutPath.c_str()));
  EXPECT_EQ(MenuCheck(), 0);
  EXPECT_TRUE(Tree(startup).empty()) << "nothing but the shortcut was ever left there";
}

TEST_F(AutostartTest, AShortcutToACopyInAnotherFolderReadsAsOffAndIsReplaced) {
  std::string older = FreshFolder(folder, "older");
  std::wstring olderProgram = Wide(WindowsPath(older) + "\\quillora.exe");
  ASSERT_TRUE(CopyFileW(Wide(ProgramPath()).c_str(), olderProgram.c_str(), FALSE));
  ASSERT_TRUE(WriteShortcut(shortcutPath, olderProgram, ParentOf(olderProgram)));
  ASSERT_TRUE(StartResident(ProgramPath()));
  EXPECT_EQ(MenuCheck(), 0);

  ASSERT_TRUE(ChooseEntry());
  Shortcut replaced = ReadShortcut(shortcutPath);
  ASSERT_TRUE(replaced.read);
  EXPECT_TRUE(SamePath(replaced.target, Wide(ProgramPath()))) << WideToAnsi(replaced.target);
  EXPECT_EQ(MenuCheck(), 1);
}

// Task Manager's Startup tab turned the entry off: the shortcut is still
// there and points here, but Windows will not start it. The entry reads as
// off, and choosing it turns Windows' switch back on by deleting the value,
// leaving another item's switch alone. The table of values is read by
// StartupApprovalTest, in-process.
TEST_F(AutostartTest, SwitchedOffInTaskManagerReadsAsOffAndChoosingItTurnsItOn) {
  ASSERT_TRUE(WriteShortcut(shortcutPath, Wide(ProgramPath()), ParentOf(Wide(ProgramPath()))));
  ASSERT_TRUE(SetApproval("Quillora.lnk", kSwitchedOff, sizeof kSwitchedOff));
  ASSERT_TRUE(SetApproval("Other.lnk", kSwitchedOff, sizeof kSwitchedOff));
  ASSERT_TRUE(StartResident(ProgramPath()));
  EXPECT_EQ(MenuCheck(), 0);

  ASSERT_TRUE(ChooseEntry());
  EXPECT_EQ(MenuCheck(), 1);
  EXPECT_TRUE(Approval("Quillora.lnk").empty());
  EXPECT_EQ(Approval("Other.lnk"), std::vector<BYTE>(kSwitchedOff, kSwitchedOff + 12));
  Shortcut shortcut = ReadShortcut(shortcutPath);
  ASSERT_TRUE(shortcut.read);
  EXPECT_TRUE(SamePath(shortcut.target, Wide(ProgramPath()))) << WideToAnsi(shortcut.target);
}

struct BlockedCase {
  const char *name;
  bool fileForFolder; // a file stands where the Startup folder was
  bool folderForShortcut; // a folder stands where the shortcut goes
};

void PrintTo(const BlockedCase &c, std::ostream *out) { *out << c.name; }

class AutostartBlocked : public AutostartTest, public ::testing::WithParamInterface<BlockedCase> {};

// The save fails before the shortcut's name is reached, or only when the
// finished shortcut is moved onto it: either way the user is told why, and
// the folder is left as it was, with no temporary file in it.
TEST_P(AutostartBlocked, SaysWhyAndLeavesNothingBehind) {
  const BlockedCase &c = GetParam();
  if (c.fileForFolder)
    ReplaceStartupFolderWithFile();
  if (c.folderForShortcut) {
    ASSERT_TRUE(CreateDirectoryW(shortcutPath.c_str(), nullptr));
  }
  std::vector<std::wstring> before = Tree(ParentOf(startup));
  ASSERT_TRUE(StartResident(ProgramPath()));

  PostMessageA(resident.Window(), WM_COMMAND, IDM_AUTOSTART, 0);
  HWND box = WaitForDialog(resident.ProcessId(), kCaption, 20000);
  ASSERT_NE(box, nullptr);
  std::string text = ItemText(box, 65535);
  EXPECT_NE(text.find("書きこめません"), std::string::npos) << text;
  EXPECT_NE(text.find(WideToAnsi(startup)), std::string::npos) << text;
  ClickButton(box, IDOK);
  EXPECT_TRUE(WaitForWindowGone(box, 10000));

  EXPECT_TRUE(resident.Sync());
  EXPECT_EQ(Tree(ParentOf(startup)), before);
  EXPECT_EQ(MenuCheck(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, AutostartBlocked,
                         ::testing::Values(BlockedCase{"FileForTheFolder", true, false},
                                           BlockedCase{"FolderForTheShortcut", false, true}),
                         [](const ::testing::TestParamInfo<BlockedCase> &p) {
                           return std::string(p.param.name);
                         });

// A program the shell started from a shortcut, closed at the end as
// ResidentProcess closes its own.
class ShellStartedProgram {
public:
  explicit ShellStartedProgram(const std::wstring &shortcut) {
    SHELLEXECUTEINFOW request = {};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOCLOSEPROCESS;
    request.lpFile = shortcut.c_str();
    request.nShow = SW_SHOWNORMAL;
    started = ShellExecuteExW(&request) != FALSE;
    process = request.hProcess;
  }
  virtual ~ShellStartedProgram() {
    if (HWND window = FindWindowA("TVX_QUILWND", nullptr))
      PostMessageA(window, WM_CLOSE, 0, 0);
    if (process) {
      if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process, 99);
      CloseHandle(process);
    }
  }
  ShellStartedProgram(const ShellStartedProgram &) = delete;
  ShellStartedProgram &operator=(const ShellStartedProgram &) = delete;

  bool started = false;
  HANDLE process = nullptr;
};

// Started from elsewhere (a command prompt in another folder), so the
// shortcut's folder can only come from the program's own path; the shell
// then starts it there, and there it finds its configuration file.
TEST_F(AutostartTest, UnpackedIntoAJapaneseFolderItStartsThereFromItsShortcut) {
  std::string unpacked = FreshFolder(folder, "ガンマ 展開先");
  std::string binaries = std::string(QUILLORA_EXE).substr(0, std::string(QUILLORA_EXE).rfind('/'));
  for (const char *name : {"quillora.exe", "QuilHook.dll"}) {
    ASSERT_TRUE(CopyFileA(WindowsPath(binaries + "/" + name).c_str(),
                          WindowsPath(unpacked + "/" + name).c_str(), FALSE))
        << name;
  }
  GammaFileContent base;
  base.ramp = CurveRamp(1.3, 0);
  ASSERT_TRUE(WriteGammaFile(unpacked + "/基本.qlr", base));
  std::string config = "*default 基本.qlr\r\n";
  ASSERT_TRUE(WriteFileBytes(unpacked + "/quilcfg.txt",
                             std::vector<unsigned char>(config.begin(), config.end())));
  std::string program = WindowsPath(unpacked) + "\\quillora.exe";
  ASSERT_TRUE(StartResident(program));
  ExpectDisplay(startRamp); // no configuration file where it was started

  ASSERT_TRUE(ChooseEntry());
  Shortcut written = ReadShortcut(shortcutPath);
  ASSERT_TRUE(written.read);
  EXPECT_TRUE(SamePath(written.target, Wide(program))) << WideToAnsi(written.target);
  EXPECT_TRUE(SamePath(written.workingFolder, Wide(WindowsPath(unpacked))))
      << WideToAnsi(written.workingFolder);
  EXPECT_EQ(written.arguments, L"");
  EXPECT_EQ(MenuCheck(), 1);
  ASSERT_EQ(resident.Close(10000), 0);

  ShellStartedProgram atSignIn(shortcutPath);
  ASSERT_TRUE(atSignIn.started);
  // The default line is applied at start.
  EXPECT_TRUE(WaitForDisplayRamp(base.ramp, 30000));
}

} // namespace
