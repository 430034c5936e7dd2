#include "tests/ui/ShellTrayTips.h"

#include <commctrl.h>

namespace {

const SIZE_T kTextChars = 512;

// Memory in the shell's process: a tooltip writes what it is asked for into
// its own address space.
class RemoteBuffer {
public:
  explicit RemoteBuffer(DWORD processId)
      : process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                            processId)),
        address(process ? VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE)
                        : nullptr) {}
  virtual ~RemoteBuffer() {
    if (address)
      VirtualFreeEx(process, address, 0, MEM_RELEASE);
    if (process)
      CloseHandle(process);
  }
  RemoteBuffer(const RemoteBuffer &) = delete;
  RemoteBuffer &operator=(const RemoteBuffer &) = delete;

  BYTE *At(SIZE_T offset) const { return static_cast<BYTE *>(address) + offset; }
  bool Write(SIZE_T offset, const void *data, SIZE_T size) const {
    return address && WriteProcessMemory(process, At(offset), data, size, nullptr);
  }
  bool Read(SIZE_T offset, void *data, SIZE_T size) const {
    return address && ReadProcessMemory(process, At(offset), data, size, nullptr);
  }

private:
  HANDLE process;
  void *address;
};

// The tooltip's first tool and its text; false when it cannot be read.
bool ReadTool(HWND tooltip, ShellTrayTip &tip) {
  DWORD processId = 0;
  GetWindowThreadProcessId(tooltip, &processId);
  RemoteBuffer remote(processId);
  const SIZE_T textAt = 1024;
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof tool;
  tool.lpszText = reinterpret_cast<LPWSTR>(remote.At(textAt));
  if (!remote.Write(0, &tool, sizeof tool) ||
      !SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(remote.At(0))) ||
      !remote.Read(0, &tool, sizeof tool))
    return false;
  tool.lpszText = reinterpret_cast<LPWSTR>(remote.At(textAt));
  const wchar_t empty = 0;
  if (!remote.Write(0, &tool, sizeof tool) || !remote.Write(textAt, &empty, sizeof empty))
    return false;
  SendMessageW(tooltip, TTM_GETTEXTW, kTextChars, reinterpret_cast<LPARAM>(remote.At(0)));
  wchar_t text[kTextChars + 1] = {};
  if (!remote.Read(textAt, text, kTextChars * sizeof(wchar_t)))
    return false;
  char ansi[2 * kTextChars + 2] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
  tip.tray = tool.hwnd;
  tip.place = tool.rect;
  tip.text = ansi;
  return true;
}

struct Search {
  DWORD shellProcess;
  std::vector<ShellTrayTip> tips;
  std::string balloon;
};

bool IsShellTooltip(HWND window, const Search &search) {
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner == search.shellProcess && lstrcmpA(className, TOOLTIPS_CLASSA) == 0;
}

BOOL CALLBACK CollectTip(HWND window, LPARAM context) {
  auto *search = reinterpret_cast<Search *>(context);
  ShellTrayTip tip;
  // Icons of programs that have ended keep a tooltip with no place.
  if (IsShellTooltip(window, *search) && ReadTool(window, tip) && !IsRectEmpty(&tip.place))
    search->tips.push_back(tip);
  return TRUE;
}

BOOL CALLBACK FindBalloon(HWND window, LPARAM context) {
  auto *search = reinterpret_cast<Search *>(context);
  ShellTrayTip tip;
  if (IsShellTooltip(window, *search) && IsWindowVisible(window) &&
      (GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) && ReadTool(window, tip))
    search->balloon = tip.text;
  return TRUE;
}

Search ShellSearch() {
  Search search = {0, {}, ""};
  HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
  if (tray)
    GetWindowThreadProcessId(tray, &search.shellProcess);
  return search;
}

} // namespace

std::vector<ShellTrayTip> ReadShellTrayTips() {
  Search search = ShellSearch();
  if (search.shellProcess)
    EnumWindows(CollectTip, reinterpret_cast<LPARAM>(&search));
  return search.tips;
}

std::string ReadShellBalloon() {
  Search search = ShellSearch();
  if (search.shellProcess)
    EnumWindows(FindBalloon, reinterpret_cast<LPARAM>(&search));
  return search.balloon;
}

bool PointAt(const ShellTrayTip &tip) {
  LPARAM point =
      MAKELPARAM((tip.place.left + tip.place.right) / 2, (tip.place.top + tip.place.bottom) / 2);
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(tip.tray, WM_MOUSEMOVE, 0, point, SMTO_NORMAL, 10000, &ignored) != 0;
}
