#ifndef QUILLORA_UI_TRAYICON_H
#define QUILLORA_UI_TRAYICON_H

#include <windows.h>

#include <shellapi.h>

// One icon in the notification area. The shell is given the record of its
// first version (88 bytes), which every shell understands.
class TrayIcon {
public:
  TrayIcon();
  // Removes the icon if it is shown.
  virtual ~TrayIcon();
  TrayIcon(const TrayIcon &) = delete;
  TrayIcon &operator=(const TrayIcon &) = delete;

  // Shows the icon; a shown icon is removed and added again. The shell sends
  // callbackMessage to the window, with the identifier in wParam and the
  // mouse message in lParam. Without a tip (null) the previous tip stays in
  // the record but is not sent. 1 when the shell took the icon; on 0 the
  // icon is not shown.
  int Add(HWND window, HICON icon, UINT callbackMessage, const char *tip, UINT identifier);

  // Stores the tip, cut to at most 63 bytes without splitting a double-byte
  // character, and sends it at once when the icon is shown. Null does
  // nothing.
  void SetTip(const char *tip);

  // Asks the shell for a warning balloon at the shown icon; the texts are
  // cut like the tip. 1 when the shell took the request, 0 when the icon is
  // not shown or the shell refused.
  int ShowBalloon(const char *title, const char *text);

  // Asks the shell whether it holds an icon of the window and identifier of
  // the last Add: a shell too busy to answer an Add in time may have taken
  // the icon all the same. When it does, the icon counts as shown from now
  // on. 1 when the icon is shown.
  int AdoptIfShown();

  // Takes the icon off the tray. 1 when it was shown, 0 (and nothing sent
  // to the shell) when it was not.
  int Remove();

  int IsAdded() const { return added; }
  const NOTIFYICONDATAA &IconData() const { return iconData; }

private:
  int added;
  int balloonsRequested;
  NOTIFYICONDATAA iconData;
};

// The icon resource `id` of `module` at the small icon size
// (SM_CXSMICON x SM_CYSMICON, 16 pixels at 100 %, 20 at 125 %, 24 at 150 %),
// the size the notification area shows: the icon's image drawn for that
// size where the resource has one. LoadIcon would give the large size, which
// the shell scales down. The caller destroys it (DestroyIcon). Null when it
// cannot be loaded.
HICON LoadSmallIcon(HINSTANCE module, int id);

#endif
