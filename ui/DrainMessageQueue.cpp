#include "ui/DrainMessageQueue.h"

int DrainMessageQueue(HWND window) {
  MSG message;
  int quitRemoved = 0;
  while (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT)
      quitRemoved = 1;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (quitRemoved)
    PostQuitMessage(0);
  return quitRemoved;
}
