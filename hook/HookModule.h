#ifndef QUILLORA_HOOK_HOOKMODULE_H
#define QUILLORA_HOOK_HOOKMODULE_H

#include <windows.h>

// The program's side of the hot-key library QuilHook.dll: loads it, starts
// its keyboard hook for the main window and ends the hook and unloads the
// library when destroyed. The library reports hot keys by posting
// WM_HOOKCOMMAND (hook/HookCommands.h) to the window given to Start.
//
// Unloaded: the library was not found or lacks an entry point; Start and
//   Stop do nothing.
// Loaded:   the library is loaded, its hook not started.
// Started:  StartHook and RegisterQuilWindow have been called.
class HookModule {
public:
  // Loads "QuilHook.dll" through the system's usual search and looks up
  // StartHook, EndHook and RegisterQuilWindow. A library that lacks any of
  // them is unloaded again. Never fails loudly: IsLoaded tells.
  HookModule();
  // Ends a started hook, then unloads the library.
  virtual ~HookModule();
  HookModule(const HookModule &) = delete;
  HookModule &operator=(const HookModule &) = delete;

  // Calls StartHook("QuilHook.dll"), then RegisterQuilWindow(window). The
  // library runs the hook on a thread of its own, so the calling thread's
  // pauses hold up no key press. 1 when this call started the hook; 0,
  // calling nothing, when Unloaded or already Started.
  int Start(HWND window);
  // Calls EndHook, which returns once the hook and its thread are gone. 1
  // when this call ended a started hook; 0, calling nothing, when not
  // Started.
  int Stop();

  int IsLoaded() const { return library != nullptr; }
  int IsStarted() const { return started; }

private:
  HMODULE library;
  int started;
};

#endif
