#ifndef QUILLORA_UI_DISPLAYPOWERNOTIFICATION_H
#define QUILLORA_UI_DISPLAYPOWERNOTIFICATION_H

#include <windows.h>

// What the system sends a window registered for the console display state:
// WM_POWERBROADCAST with wParam kPowerSettingChange and lParam pointing to a
// PowerSettingMessage whose Data holds a DWORD, 0 off, 1 on, 2 dimmed. The
// program is built for systems older than these messages, so their numbers
// are its own.
const WPARAM kPowerSettingChange = 0x8013; // PBT_POWERSETTINGCHANGE
const DWORD kConsoleDisplayOn = 1;
struct PowerSettingMessage { // POWERBROADCAST_SETTING
  GUID PowerSetting;
  DWORD DataLength;
  UCHAR Data[1];
};
// GUID_CONSOLE_DISPLAY_STATE
const GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

// 1 when a WM_POWERBROADCAST with these parameters says that the console
// display has been switched on.
int SaysDisplayCameOn(WPARAM event, LPARAM data);

// Asks the system to tell one window when the console display is switched
// on or off. RegisterPowerSettingNotification is looked up at run time, so
// that the program still starts on systems that lack it: the window then
// simply never hears of the display's power.
class DisplayPowerNotification {
public:
  DisplayPowerNotification();
  // Unregisters.
  virtual ~DisplayPowerNotification();
  DisplayPowerNotification(const DisplayPowerNotification &) = delete;
  DisplayPowerNotification &operator=(const DisplayPowerNotification &) = delete;

  // 1 when the system took the registration; 0 when the function is
  // missing or the call failed. A registration held is dropped first.
  int Register(HWND window);
  // 1 when a registration was dropped; 0 when none was held.
  int Unregister();
  int IsRegistered() const { return registration != nullptr; }

private:
  HANDLE registration;
};

#endif
