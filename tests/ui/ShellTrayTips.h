#ifndef QUILLORA_TESTS_UI_SHELLTRAYTIPS_H
#define QUILLORA_TESTS_UI_SHELLTRAYTIPS_H

#include <windows.h>

#include <string>
#include <vector>

// The tips of the icons the shell shows, read from the shell's own tooltips,
// as any other program could read them. The shell keeps one tooltip per
// shown icon, covering the icon's place in the tray.
struct ShellTrayTip {
  HWND tray;        // the window that shows the icon
  RECT place;       // the icon's place in it
  std::string text; // in the ANSI code page
};

std::vector<ShellTrayTip> ReadShellTrayTips();

// The text of the balloon the shell shows (a visible balloon tooltip of the
// shell), or "" when none is up.
std::string ReadShellBalloon();

// Moves the mouse, as far as the shell can tell, onto the icon; the shell
// then sends the icon's owner its callback message with WM_MOUSEMOVE.
// Returns once the shell has handled the move.
bool PointAt(const ShellTrayTip &tip);

#endif
