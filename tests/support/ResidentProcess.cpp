#include "tests/support/ResidentProcess.h"

#include "tests/support/WineDisplay.h"

#include <shellapi.h>

namespace {

struct WindowSearch {
  DWORD processId;
  const char *className;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto *search = reinterpret_cast<WindowSearch *>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (owner == search->processId && lstrcmpA(className, search->className) == 0 &&
      (!search->visibleOnly || IsWindowVisible(window))) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

} // namespace

HWND FindProcessWindow(DWORD processId, const char *className, bool visibleOnly) {
  WindowSearch search = {processId, className, visibleOnly, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindMainWindow(DWORD processId) { return FindProcessWindow(processId, "TVX_QUILWND", false); }

ResidentProcess::ResidentProcess() : process(), window(nullptr) {}

ResidentProcess::~ResidentProcess() {
  if (!process.hProcess)
    return;
  if (IsRunning() && Close(5000) == -2)
    TerminateProcess(process.hProcess, 99);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

int ResidentProcess::Start(const std::string &commandLine, const std::string &workingDir,
                           unsigned readyTimeoutMs) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::string writable(commandLine);
  if (!CreateProcessA(nullptr, &writable[0], nullptr, nullptr, FALSE, 0, nullptr,
                      workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &process))
    return 0;
  // Generous: on a busy machine Wine may take seconds to start a program.
  DWORD start = GetTickCount();
  do {
    window = FindMainWindow(process.dwProcessId);
    if (window && IsStartedUp(window))
      return 1;
    if (!IsRunning())
      return 0;
    Sleep(50);
  } while (GetTickCount() - start < readyTimeoutMs);
  return 0;
}

// The resident start-up disables the window, then adds the tray icon, and
// the rest of it pumps no messages. A message sent while the shell adds the
// icon is answered inside that call, so the icon must exist first: then an
// answer comes from the message loop, after the start-up ended.
int ResidentProcess::IsStartedUp(HWND mainWindow) const {
  if (!(GetWindowLongA(mainWindow, GWL_STYLE) & WS_DISABLED) || !TrayIconExists(mainWindow, 0))
    return 0;
  DWORD_PTR ignored = 0;
  for (int round = 0; round < 2; ++round) {
    if (!SendMessageTimeoutA(mainWindow, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored))
      return 0;
    Sleep(20);
  }
  return 1;
}

int ResidentProcess::IsRunning() const {
  return process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

int ResidentProcess::WaitForExit(unsigned timeoutMs) {
  if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0)
    return -2;
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  return static_cast<int>(exitCode);
}

int ResidentProcess::Close(unsigned timeoutMs) {
  if (window)
    PostMessageA(window, WM_CLOSE, 0, 0);
  return WaitForExit(timeoutMs);
}

int ResidentProcess::Send(UINT message, WPARAM wParam, LPARAM lParam, unsigned timeoutMs) {
  DWORD_PTR ignored = 0;
  return window && SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs,
                                       &ignored)
             ? 1
             : 0;
}

int ResidentProcess::Sync(unsigned timeoutMs) { return Send(WM_NULL, 0, 0, timeoutMs); }

void ResidentProcess::Suspend() { SuspendThread(process.hThread); }

void ResidentProcess::Resume() { ResumeThread(process.hThread); }

bool WaitForDisplayRamp(const std::vector<std::uint16_t> &expected, unsigned timeoutMs) {
  std::vector<int> wanted = HighBytes(expected);
  DWORD start = GetTickCount();
  do {
    if (HighBytes(ReadDisplayRamp()) == wanted)
      return true;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

int TrayIconExists(HWND window, UINT id) {
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = id;
  data.uFlags = 0;
  return Shell_NotifyIconA(NIM_MODIFY, &data) ? 1 : 0;
}
