#include "ui/PopupMenu.h"

#include "ui/DrainMessageQueue.h"

PopupMenu::PopupMenu() : menu(nullptr) {}

PopupMenu::~PopupMenu() {
  Destroy();
}

int PopupMenu::Load(int identifier) {
  menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(identifier));
  return menu != nullptr;
}

int PopupMenu::Track(HWND owner) {
  if (!owner)
    return 0;
  // No menu 0 exists, so this leaves the menu empty and the call ends below.
  if (!menu)
    Load(0);
  POINT cursor = {0, 0};
  GetCursorPos(&cursor);
  HMENU popup = GetSubMenu(menu, 0);
  if (!popup)
    return 0;
  // Without the owner in the foreground the menu would not close when the
  // user clicks elsewhere.
  SetForegroundWindow(owner);
  // The menu's own message loop would swallow a pending WM_QUIT, and a
  // program that is quitting has no use for a menu anyway.
  if (DrainMessageQueue(nullptr))
    return 0;
  return TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, cursor.x, cursor.y,
                        0, owner, nullptr);
}

int PopupMenu::SetCheck(int command, int checked) {
  UINT state = checked ? MF_CHECKED : MF_UNCHECKED;
  return menu && CheckMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | state) !=
                     static_cast<DWORD>(-1);
}

int PopupMenu::SetEnabled(int command, int enabled) {
  UINT state = enabled ? MF_ENABLED : MF_GRAYED;
  // The previous state, or -1 when there is no such entry.
  return menu && EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | state) != -1;
}

int PopupMenu::Destroy() {
  if (!menu)
    return 0;
  BOOL destroyed = DestroyMenu(menu);
  menu = nullptr;
  return destroyed ? 1 : 0;
}
