// The least a resident gamma tray tool has to do, as a yardstick for
// Quillora's own cost (scripts/bench.sh runs the two side by side): a hidden
// window, a tray icon with a popup menu, a low-level keyboard hook, one
// registry read and one gamma ramp applied. A hot-key command posted to the
// window applies a ramp again, as Quillora's hot keys do. Nothing more.
#include <windows.h>

#include <shellapi.h>

#include <cmath>

namespace {

const char kClassName[] = "QUIL_MINIMAL_TRAY";
const UINT kTrayMessage = WM_APP + 1;
const UINT kHotKeyCommand = WM_USER + 100;
const UINT kExitCommand = 1;

WORD gammaRamp[3][256];
WORD identityRamp[3][256];
HMENU menu;

void FillRamps(double gamma) {
  for (int j = 0; j < 256; ++j) {
    WORD curve = static_cast<WORD>(std::pow(j / 255.0, 1.0 / gamma) * 255.0) << 8;
    for (int channel = 0; channel < 3; ++channel) {
      gammaRamp[channel][j] = curve;
      identityRamp[channel][j] = static_cast<WORD>(j * 256 + 255);
    }
  }
}

void ApplyRamp(WORD (*ramp)[256]) {
  HDC screen = GetDC(nullptr);
  SetDeviceGammaRamp(screen, ramp);
  ReleaseDC(nullptr, screen);
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD ReadHookSetting() {
  DWORD value = 1, size = sizeof value;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tessivo\\Quil", 0, KEY_READ, &key) ==
      ERROR_SUCCESS) {
    RegQueryValueExA(key, "HookEnabled", nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
  }
  return value;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case kTrayMessage:
    if (lParam == WM_RBUTTONDOWN || lParam == WM_LBUTTONDOWN) {
      POINT cursor;
      GetCursorPos(&cursor);
      SetForegroundWindow(window);
      if (TrackPopupMenu(menu, TPM_RETURNCMD, cursor.x, cursor.y, 0, window, nullptr) ==
          static_cast<BOOL>(kExitCommand))
        DestroyWindow(window);
    }
    return 0;
  case kHotKeyCommand:
    // A preset applies the gamma curve, any other command the identity.
    ApplyRamp(wParam <= 9 ? gammaRamp : identityRamp);
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
  HWND window =
      CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!window)
    return 1;

  menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, kExitCommand, "Exit");
  NOTIFYICONDATAA icon = {};
  icon.cbSize = sizeof icon;
  icon.hWnd = window;
  icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  icon.uCallbackMessage = kTrayMessage;
  icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  lstrcpyA(icon.szTip, "MINIMAL");
  Shell_NotifyIconA(NIM_ADD, &icon);

  HHOOK hook =
      ReadHookSetting() ? SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, instance, 0) : nullptr;
  FillRamps(1.9);
  ApplyRamp(gammaRamp);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (hook)
    UnhookWindowsHookEx(hook);
  Shell_NotifyIconA(NIM_DELETE, &icon);
  DestroyMenu(menu);
  return 0;
}
