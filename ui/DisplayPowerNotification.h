#ifndef QUILLORA_UI_DISPLAYPOWERNOTIFICATION_H
#define QUILLORA_UI_DISPLAYPOWERNOTIFICATION_H

#include <windows.h>

// What the system sends a window registered for a power setting:
// WM_POWERBROADCAST with wParam kPowerSettingChange and lParam pointing to a
// PowerSettingMessage whose Data holds a DWORD. For the console display
// state that is 0 off, 1 on, 2 dimmed; for the monitor's power, 0 off, 1 on.
// The program is built for systems older than these messages, so their
// numbers are its own.
const WPARAM kPowerSettingChange = 0x8013; // PBT_POWERSETTINGCHANGE
const DWORD kConsoleDisplayOn = 1;
struct PowerSettingMessage { // POWERBROADCAST_SETTING
  GUID PowerSetting;
  DWORD DataLength;
  UCHAR Data[1];
};
// GUID_CONSOLE_DISPLAY_STATE, from Windows 8.
const GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// GUID_MONITOR_POWER_ON, Vista and 7 (later systems keep it for older
// programs).
const GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

// 1 when a WM_POWERBROADCAST with these parameters says that the display
// has been switched on, in either setting's words.
int SaysDisplayCameOn(WPARAM event, LPARAM data);

// RegisterPowerSettingNotification and its undoing, looked up at run time,
// so that the program still starts on systems that lack them. Null when the
// function is missing or the system refused. In a file of their own, so that
// a test can link its own in their place.
HANDLE RegisterPowerSetting(HWND window, const GUID &setting);
void UnregisterPowerSetting(HANDLE registration);

// Asks the system to tell one window when the display is switched on or
// off: the console display state where the system knows it (Windows 8 on),
// else the monitor's power (Windows 7 refuses the first). Without either the
// window simply never hears of the display's power.
class DisplayPowerNotification {
public:
  DisplayPowerNotification();
  // Unregisters.
  virtual ~DisplayPowerNotification();
  DisplayPowerNotification(const DisplayPowerNotification &) = delete;
  DisplayPowerNotification &operator=(const DisplayPowerNotification &) = delete;

  // 1 when the system took one of the registrations; 0 when the function is
  // missing or both calls failed. A registration held is dropped first.
  int Register(HWND window);
  // 1 when a registration was dropped; 0 when none was held.
  int Unregister();
  int IsRegistered() const { return registration != nullptr; }

private:
  HANDLE registration;
};

#endif
