#include "ui/TrayIcon.h"

#include <cstring>

namespace {

const DWORD kIconDataSize = 88;
const int kTipCapacity = 64;
const int kBalloonTextCapacity = 256;

// The shell shows only the last of several balloon requests, so the number
// of requests is kept where another process can read it (a window property
// of the icon's window); it is the only way to tell one balloon for a burst
// from one per ramp.
const char kBalloonCountProperty[] = "QuilloraBalloonRequests";

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

void CopyFitting(char *target, const char *text, int capacity) {
  int length = FittingLength(text, capacity);
  std::memcpy(target, text, length);
  target[length] = '\0';
}

} // namespace

static_assert(sizeof(NOTIFYICONDATAA) >= kIconDataSize, "the first version is a prefix");

TrayIcon::TrayIcon() : added(0), balloonsRequested(0) {
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
  CopyFitting(iconData.szTip, tip, kTipCapacity);
  if (added) {
    iconData.uFlags = NIF_TIP;
    Shell_NotifyIconA(NIM_MODIFY, &iconData);
  }
}

// Sent with the record of the second version, the first that knows
// balloons; the icon itself keeps its first-version record.
int TrayIcon::ShowBalloon(const char *title, const char *text) {
  if (!added || !title || !text)
    return 0;
  NOTIFYICONDATAA balloon;
  std::memset(&balloon, 0, sizeof balloon);
  balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
  balloon.hWnd = iconData.hWnd;
  balloon.uID = iconData.uID;
  balloon.uFlags = NIF_INFO;
  CopyFitting(balloon.szInfo, text, kBalloonTextCapacity);
  CopyFitting(balloon.szInfoTitle, title, kTipCapacity);
  balloon.dwInfoFlags = NIIF_WARNING;
  if (!Shell_NotifyIconA(NIM_MODIFY, &balloon))
    return 0;
  ++balloonsRequested;
  SetPropA(iconData.hWnd, kBalloonCountProperty,
           reinterpret_cast<HANDLE>(static_cast<INT_PTR>(balloonsRequested)));
  return 1;
}

// A modification without flags changes nothing, and the shell takes it only
// for an icon it holds.
int TrayIcon::AdoptIfShown() {
  if (added)
    return 1;
  if (!iconData.hWnd)
    return 0;
  NOTIFYICONDATAA query;
  std::memset(&query, 0, sizeof query);
  query.cbSize = kIconDataSize;
  query.hWnd = iconData.hWnd;
  query.uID = iconData.uID;
  added = Shell_NotifyIconA(NIM_MODIFY, &query) != FALSE;
  return added;
}

int TrayIcon::Remove() {
  if (!added)
    return 0;
  iconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  Shell_NotifyIconA(NIM_DELETE, &iconData);
  RemovePropA(iconData.hWnd, kBalloonCountProperty);
  added = 0;
  return 1;
}

// LoadIconMetric of comctl32 would do the same, but loading comctl32 at
// start-up costs a resident program 1.7 MB under Wine (see SystemLibrary),
// and the icon has an image drawn for every size from 100 % to 300 %, so
// that no scaling is left for it to do better.
HICON LoadSmallIcon(HINSTANCE module, int id) {
  return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                       LR_DEFAULTCOLOR));
}
