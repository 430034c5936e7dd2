#include "ui/MessageFilter.h"

int AllowThroughMessageFilter(HWND window, UINT message) {
  MessageFilterFunctions filter = FindMessageFilterFunctions();
  if (filter.forWindow)
    return filter.forWindow(window, message, kMessageFilterAllow, nullptr) != FALSE;
  // Vista: the whole process. Its other windows are dialogs, which ignore
  // both messages the program lets through, and the main window checks what
  // a WM_COPYDATA carries before it uses it.
  if (filter.forProcess)
    return filter.forProcess(message, kMessageFilterAdd) != FALSE;
  return 1;
}
