#include "ui/WinEventHook.h"

namespace {

// The callback carries no context of its own, only the hook's handle: the
// hooks held are listed here to find the window to tell. The program holds
// two.
const int kMaxHooks = 4;
WinEventHook *heldHooks[kMaxHooks] = {};

int Hold(WinEventHook *hook) {
  for (WinEventHook *&slot : heldHooks)
    if (!slot) {
      slot = hook;
      return 1;
    }
  return 0;
}

void Release(const WinEventHook *hook) {
  for (WinEventHook *&slot : heldHooks)
    if (slot == hook)
      slot = nullptr;
}

} // namespace

WinEventHook::WinEventHook() : hook(nullptr), window(nullptr), message(0) {}

WinEventHook::~WinEventHook() {
  Unregister();
}

int WinEventHook::Register(DWORD event, HWND target, UINT targetMessage) {
  Unregister();
  if (!Hold(this))
    return 0;
  window = target;
  message = targetMessage;
  hook = SetWinEventHook(event, event, nullptr, &WinEventHook::Notify, 0, 0,
                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  if (!hook)
    Release(this);
  return hook != nullptr;
}

int WinEventHook::Unregister() {
  if (!hook)
    return 0;
  UnhookWinEvent(hook);
  hook = nullptr;
  Release(this);
  return 1;
}

// Posted, not sent: the callback may run inside any wait of the thread that
// pumps messages, and the window's work then waits for the loop. A burst of
// events is a burst of small messages.
void CALLBACK WinEventHook::Notify(HWINEVENTHOOK hook, DWORD event, HWND, LONG, LONG, DWORD,
                                   DWORD) {
  for (const WinEventHook *held : heldHooks)
    if (held && held->hook == hook)
      PostMessageA(held->window, held->message, event, 0);
}
