#ifndef QUILLORA_UI_SESSIONNOTIFICATION_H
#define QUILLORA_UI_SESSIONNOTIFICATION_H

#include <windows.h>

// Asks the system to send one window WM_WTSSESSION_CHANGE when the session
// is locked, unlocked or (re)connected. wtsapi32.dll and its two functions
// are looked up at run time, so that the program still starts where they
// are missing: the window then simply never hears of session changes.
class SessionNotification {
public:
  SessionNotification();
  // Unregisters the window, then unloads the library.
  virtual ~SessionNotification();
  SessionNotification(const SessionNotification &) = delete;
  SessionNotification &operator=(const SessionNotification &) = delete;

  // Registers the window for the changes of this session. 1 when the system
  // took it; 0 when the library or function is missing or the call failed.
  // A registered window is unregistered first.
  int Register(HWND window);
  // 1 when a registered window was unregistered; 0 when none was.
  int Unregister();
  int IsRegistered() const { return window != nullptr; }

private:
  HMODULE library;
  HWND window;
};

#endif
