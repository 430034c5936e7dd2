#include "app/MainWindow.h"

#include <cstring>

namespace {

HWND mainWindow = nullptr;
int mainWindowRefs = 0;
AppHandler appHandler = nullptr;

const char kBaseDataType[] = "TVXBASEDATA";
const char kDefaultClassName[] = "tvz_MainWnd";
const DWORD kClassNameCapacity = 32;

struct ResourceBytes {
  const BYTE *data;
  DWORD size;
};

// Size 0 when the module has no such resource or it cannot be loaded.
ResourceBytes FindBaseData(HMODULE module, const char *name) {
  ResourceBytes bytes = {nullptr, 0};
  HRSRC info = FindResourceA(module, name, kBaseDataType);
  if (!info)
    return bytes;
  bytes.data = static_cast<const BYTE *>(LockResource(LoadResource(module, info)));
  if (bytes.data)
    bytes.size = SizeofResource(module, info);
  return bytes;
}

// The resource may carry its own NUL or not; it is cut to fit either way.
void ReadClassName(HMODULE module, char (&className)[kClassNameCapacity]) {
  ResourceBytes name = FindBaseData(module, "TVXBASENAME");
  if (name.size == 0)
    return;
  DWORD length = name.size < kClassNameCapacity - 1 ? name.size : kClassNameCapacity - 1;
  std::memcpy(className, name.data, length);
  className[length] = '\0';
}

DWORD StyleFromCode(BYTE code) {
  switch (code) {
  case 1:
    return WS_POPUP | WS_VISIBLE;
  case 2:
    return WS_POPUP;
  default:
    return WS_POPUP | WS_CAPTION | WS_SYSMENU;
  }
}

DWORD ExStyleFromCode(BYTE code) {
  return code == 1 ? WS_EX_TOOLWINDOW : WS_EX_APPWINDOW;
}

// A one-byte resource sets the style only.
void ReadStyles(HMODULE module, DWORD &style, DWORD &exStyle) {
  ResourceBytes codes = FindBaseData(module, "TVXWNDSTYLE");
  if (codes.size == 0)
    return;
  style = StyleFromCode(codes.data[0]);
  if (codes.size > 1)
    exStyle = ExStyleFromCode(codes.data[1]);
}

// SetWindowLongA returns the previous value, and 0 is a valid one (a window
// without extended styles), so only the last error tells a failure apart.
int SetMainWindowLong(int index, DWORD value) {
  SetLastError(0);
  LONG previous = SetWindowLongA(mainWindow, index, static_cast<LONG>(value));
  return previous != 0 || GetLastError() == 0;
}

} // namespace

MainWindow::MainWindow(DWORD style, DWORD exStyle) {
  if (mainWindow)
    Restyle(style, exStyle);
  else
    CreateMainWindow(style, exStyle);
  ++mainWindowRefs;
}

MainWindow::~MainWindow() {
  --mainWindowRefs;
  if (mainWindowRefs == 0 && mainWindow) {
    DestroyWindow(mainWindow);
    mainWindow = nullptr;
  }
}

int CreateMainWindow(DWORD style, DWORD exStyle) {
  HMODULE module = GetModuleHandleA(nullptr);
  char className[kClassNameCapacity];
  std::strcpy(className, kDefaultClassName);
  ReadClassName(module, className);
  ReadStyles(module, style, exStyle);

  WNDCLASSA windowClass = {};
  windowClass.style = CS_BYTEALIGNCLIENT;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = module;
  windowClass.hIcon = LoadIconA(module, "APPICON");
  windowClass.hCursor = LoadCursorA(module, "APPCURSOR");
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  windowClass.lpszClassName = className;
  // Fails harmlessly when an earlier window registered the class already.
  RegisterClassA(&windowClass);

  mainWindow = CreateWindowExA(exStyle, className, nullptr, style, 0, 0, 0, 0, nullptr,
                               LoadMenuA(module, "APPMENU"), module, nullptr);
  return mainWindow != nullptr;
}

int Restyle(DWORD style, DWORD exStyle) {
  if (!SetMainWindowLong(GWL_STYLE, style))
    return 0;
  return SetMainWindowLong(GWL_EXSTYLE, exStyle);
}

void ExitApplication() {
  DestroyWindow(mainWindow);
  mainWindow = nullptr;
  PostQuitMessage(0);
}

HWND GetMainWindow() {
  return mainWindow;
}

void SetAppHandler(AppHandler handler) {
  appHandler = handler;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  BYTE handled = 0;
  if (appHandler) {
    appHandler(window, message, wParam, lParam, &handled);
    if (handled)
      return 0;
  }
  if (message == WM_DESTROY)
    mainWindow = nullptr;
  else if (message == WM_CLOSE)
    PostQuitMessage(0);
  // For WM_CLOSE this destroys the window, and WM_DESTROY above follows.
  return DefWindowProcA(window, message, wParam, lParam);
}
