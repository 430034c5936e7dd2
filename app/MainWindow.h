#ifndef QUILLORA_APP_MAINWINDOW_H
#define QUILLORA_APP_MAINWINDOW_H

#include <windows.h>

// The one hidden top-level window through which the program receives all of
// its messages. The window is process-wide; MainWindow objects only count
// references to it, and the last one to go destroys it.
//
// The class name and the initial styles can be replaced by the custom
// resources "TVXBASENAME" and "TVXWNDSTYLE" (type "TVXBASEDATA") of the
// program's own module.

// The application's message handler. It sees every message of the main
// window before the window's own handling; setting *handled to non-zero (it
// is 0 on entry) makes the window procedure return 0 without any default
// processing.
typedef void (*AppHandler)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, BYTE *handled);

class MainWindow {
public:
  // Creates the main window with these styles, or restyles it when it
  // already exists. Takes a reference either way, even when creation fails.
  MainWindow(DWORD style, DWORD exStyle);
  // Drops the reference; the last one destroys the window if it still exists.
  virtual ~MainWindow();
  MainWindow(const MainWindow &) = delete;
  MainWindow &operator=(const MainWindow &) = delete;
};

// Registers the window class and creates the window, the resources taking
// precedence over the arguments. 1 when the window exists afterwards; on 0
// GetMainWindow is null.
int CreateMainWindow(DWORD style, DWORD exStyle);

// Sets both styles on the existing window, the extended style only once the
// style has been set. No repositioning or frame refresh. 1 when both were
// set; 0 without a window, which is then left as it was.
int Restyle(DWORD style, DWORD exStyle);

// Destroys the window and posts WM_QUIT with exit code 0.
void ExitApplication();

// The main window, or null before creation and after destruction.
HWND GetMainWindow();

// Installs the handler that sees every message first; null removes it.
void SetAppHandler(AppHandler handler);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
