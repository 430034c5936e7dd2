// The process-wide objects are built here, before WinMain, in the order the
// program relies on, and destroyed in reverse order after it returns.
#include "app/AppStartup.h"
#include "app/InstanceMutex.h"
#include "gamma/GammaRamp.h"

#include <windows.h>

static InstanceMutex instanceMutex("TVZ_QUILLORA_APP_21567890");

static void RunMessageLoop() {
  MSG message;
  // GetMessageA gives -1 on an error; that must end the loop, not spin it.
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (!AppStartup(instanceMutex))
    return 0;
  RunMessageLoop();
  return 0;
}
