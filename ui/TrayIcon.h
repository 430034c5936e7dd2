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

#endif
