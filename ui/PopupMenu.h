#ifndef QUILLORA_UI_POPUPMENU_H
#define QUILLORA_UI_POPUPMENU_H

#include <windows.h>

// The menu resource whose first popup opens at the mouse cursor.
class PopupMenu {
public:
  PopupMenu();
  // Destroys the menu if one is loaded.
  virtual ~PopupMenu();
  PopupMenu(const PopupMenu &) = delete;
  PopupMenu &operator=(const PopupMenu &) = delete;

  // Loads the menu resource with this numeric identifier from the program's
  // own module. A menu loaded before is replaced, not destroyed. 1 when a
  // menu was loaded; on 0 no menu is held.
  int Load(int identifier);

  // Opens the first popup with its top left corner at the cursor and waits
  // for the user; the queued messages are dispatched first. Returns the
  // identifier of the chosen command, or 0: no owner, no menu or popup, the
  // menu was dismissed, or a WM_QUIT was queued (the menu then stays closed
  // and the WM_QUIT, with exit code 0, stays queued). No WM_COMMAND is sent
  // to the owner.
  int Track(HWND owner);

  // Puts the check mark on the entry of this command, or takes it off. 1
  // when the menu holds the entry.
  int SetCheck(int command, int checked);

  // Greys the entry of this command out, or makes it choosable again. 1
  // when the menu holds the entry.
  int SetEnabled(int command, int enabled);

  // Destroys the held menu. The result of DestroyMenu, or 0 with no menu.
  int Destroy();

  HMENU Menu() const { return menu; }

private:
  HMENU menu;
};

#endif
