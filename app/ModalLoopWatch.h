#ifndef QUILLORA_APP_MODALLOOPWATCH_H
#define QUILLORA_APP_MODALLOOPWATCH_H

#include "app/AppState.h"

#include <windows.h>

class ModalLoopScope;

// Every modal loop the resident program enters besides the tray menu's
// (a dialog box, a message box, a file dialog) runs for as long as a
// top-level dialog window of the main thread exists. Such a loop may be
// opened by any handler, also by a dialog button whose click the pause and
// drain after an applied ramp dispatches. A thread hook sees each of those
// windows come and go and holds a ModalLoopScope for its lifetime, so that
// every such loop starts clean and the outer state comes back when it ends,
// wherever it was opened from.
//
// Owns the hook; one per process, on the thread that owns the main window.
class ModalLoopWatch {
public:
  explicit ModalLoopWatch(AppState &appState);
  // Removes the hook and ends the scopes of windows still open, innermost
  // first.
  virtual ~ModalLoopWatch();
  ModalLoopWatch(const ModalLoopWatch &) = delete;
  ModalLoopWatch &operator=(const ModalLoopWatch &) = delete;

private:
  static LRESULT CALLBACK OnWindowEvent(int code, WPARAM wParam, LPARAM lParam);
  void OnCreate(HWND window, const CREATESTRUCTA &creation);
  void OnDestroy(HWND window);

  // Dialogs nest far less deeply than this; one beyond it runs its loop
  // with the state as it finds it.
  static const int kMostOpen = 16;

  AppState &state;
  HHOOK hook;
  int openCount;
  HWND openWindows[kMostOpen];
  ModalLoopScope *openScopes[kMostOpen];
};

#endif
