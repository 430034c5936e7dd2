#ifndef QUILLORA_UI_DIALOGWINDOW_H
#define QUILLORA_UI_DIALOGWINDOW_H

#include <windows.h>

class DialogWindow;

// Receives every message of a bound dialog. *handled is 0 on entry; setting
// it to non-zero makes the dialog procedure return TRUE, which skips the
// default dialog processing. The result is ignored.
typedef void (*DialogHandler)(DialogWindow *dialog, UINT message, WPARAM wParam, LPARAM lParam,
                              BYTE *handled);

// A modal dialog made from a numeric template, bound to its window from
// WM_INITDIALOG on through the window property "GP", handing every message
// to a plain handler function with a data block that the caller owns.
class DialogWindow {
public:
  explicit DialogWindow(DialogHandler handler);
  // Ends a dialog that is still bound; one ended through End is left alone.
  virtual ~DialogWindow();
  DialogWindow(const DialogWindow &) = delete;
  DialogWindow &operator=(const DialogWindow &) = delete;

  // Shows the dialog from the program's own module and runs its modal loop.
  // Returns the result given to End, or DialogBoxParamA's failure value (0 or
  // -1) when the template or one of its control classes is missing.
  INT_PTR ShowModal(int templateId, HWND owner);

  // Ends the dialog with this result and unbinds the object, although the
  // window lives on until the modal loop ends. 0 without a bound window.
  int End(INT_PTR result);

  HWND Handle() const { return hwnd; }
  HWND Item(int controlId) const;
  void EnableItem(int controlId, BOOL enable) const;
  // Control 1006 is the gamma slider of both dialogs.
  void SetSliderPos(int position) const;

  // Stores the position and moves a bound window there. With clamp the
  // right and bottom edges are first kept inside the screen; the left and
  // top edges are not.
  void MoveTo(int left, int top, int clamp);

  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  void *data;
  HICON icon;

private:
  int y;
  int x;
  int modal;
  HWND hwnd;
  DialogHandler handler;

  static DialogWindow *Bind(HWND window, LPARAM initParam);
};

// Moves the window's top-left corner to the mouse cursor, keeping the whole
// window inside the work area of the monitor under the cursor (clear of the
// taskbar) where it fits, and its left and top edges inside it where it does
// not. Both dialogs open this way. Returns SetWindowPos's result.
BOOL PlaceAtCursor(HWND window);

#endif
