#include "app/ModalLoopWatch.h"

#include "app/ModalLoopScope.h"

#include <new>

namespace {

// The window class of dialog boxes, message boxes and the common dialogs.
const char kDialogClass[] = "#32770";

ModalLoopWatch *activeWatch = nullptr;

int IsDialogWindow(HWND window, const CREATESTRUCTA &creation) {
  char className[sizeof kDialogClass + 1];
  // A common dialog holds dialogs of its own as child windows; they run no
  // loop.
  if (creation.style & WS_CHILD)
    return 0;
  return GetClassNameA(window, className, sizeof className) > 0 &&
         lstrcmpA(className, kDialogClass) == 0;
}

} // namespace

ModalLoopWatch::ModalLoopWatch(AppState &appState)
    : state(appState), hook(nullptr), openCount(0), openWindows(), openScopes() {
  activeWatch = this;
  hook = SetWindowsHookExA(WH_CBT, &ModalLoopWatch::OnWindowEvent, nullptr, GetCurrentThreadId());
}

ModalLoopWatch::~ModalLoopWatch() {
  if (hook)
    UnhookWindowsHookEx(hook);
  hook = nullptr;
  while (openCount > 0)
    delete openScopes[--openCount];
  if (activeWatch == this)
    activeWatch = nullptr;
}

LRESULT CALLBACK ModalLoopWatch::OnWindowEvent(int code, WPARAM wParam, LPARAM lParam) {
  HWND window = reinterpret_cast<HWND>(wParam);
  if (activeWatch && code == HCBT_CREATEWND)
    activeWatch->OnCreate(window, *reinterpret_cast<CBT_CREATEWNDA *>(lParam)->lpcs);
  else if (activeWatch && code == HCBT_DESTROYWND)
    activeWatch->OnDestroy(window);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ModalLoopWatch::OnCreate(HWND window, const CREATESTRUCTA &creation) {
  if (openCount >= kMostOpen || !IsDialogWindow(window, creation))
    return;
  ModalLoopScope *scope = new (std::nothrow) ModalLoopScope(state);
  if (!scope)
    return;
  openWindows[openCount] = window;
  openScopes[openCount] = scope;
  ++openCount;
}

// Modal loops end in the reverse order of their start; the scopes of any
// window opened after this one end with it.
void ModalLoopWatch::OnDestroy(HWND window) {
  int found = openCount - 1;
  while (found >= 0 && openWindows[found] != window)
    --found;
  if (found < 0)
    return;
  while (openCount > found)
    delete openScopes[--openCount];
}
