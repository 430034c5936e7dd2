#include "ui/TrayIcon.h"

#include <cstring>

namespace {

const DWORD kIconDataSize = 88;
const int kTipCapacity = 64;

// Bytes of text that fit in capacity - 1 bytes without leaving half of a
// double-byte character at the end.
int FittingLength(const char *text, int capacity) {
  int length = lstrlenA(text);
  if (length < capacity)
    return length;
  int fitting = 0;
  while (fitting < capacity - 1) {
    int step = IsDBCSLeadByte(static_cast<BYTE>(text[fitting])) ? 2 : 1;
    if (fitting + step > capacity - 1)
      break;
    fitting += step;
  }
  return fitting;
}

} // namespace

static_assert(sizeof(NOTIFYICONDATAA) >= kIconDataSize, "the first version is a prefix");

TrayIcon::TrayIcon() : added(0) {
  std::memset(&iconData, 0, sizeof iconData);
  iconData.cbSize = kIconDataSize;
}

TrayIcon::~TrayIcon() {
  Remove();
}

int TrayIcon::Add(HWND window, HICON icon, UINT callbackMessage, const char *tip, UINT identifier) {
  if (added)
    Remove();
  iconData.hWnd = window;
  iconData.hIcon = icon;
  if (tip) {
    SetTip(tip);
    iconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  } else {
    iconData.uFlags = NIF_MESSAGE | NIF_ICON;
  }
  iconData.uID = identifier;
  iconData.uCallbackMessage = callbackMessage;
  if (!Shell_NotifyIconA(NIM_ADD, &iconData))
    return 0;
  added = 1;
  return 1;
}

void TrayIcon::SetTip(const char *tip) {
  if (!tip)
    return;
  int length = FittingLength(tip, kTipCapacity);
  std::memcpy(iconData.szTip, tip, length);
  iconData.szTip[length] = '\0';
  if (added) {
    iconData.uFlags = NIF_TIP;
    Shell_NotifyIconA(NIM_MODIFY, &iconData);
  }
}

int TrayIcon::Remove() {
  if (!added)
    return 0;
  iconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  Shell_NotifyIconA(NIM_DELETE, &iconData);
  added = 0;
  return 1;
}
