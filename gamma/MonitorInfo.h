#ifndef QUILLORA_GAMMA_MONITORINFO_H
#define QUILLORA_GAMMA_MONITORINFO_H

// One monitor of the desktop as the system describes it when the devices
// are listed: what the ramp goes by, and what the user is shown.
struct MonitorInfo {
  static const int kDeviceSize = 32;
  static const int kKeySize = 96;
  static const int kNameSize = 64;

  // \\.\DISPLAY1 ...: the device its DC is made for. Windows numbers these
  // afresh at boot and after a sleep, so they name no monitor for long.
  char device[kDeviceSize];
  // What names the same monitor across boots and re-plugs into the same
  // port, and keeps two identical models apart (DisplayDevices.cpp).
  char key[kKeySize];
  // The monitor's own name (from its EDID), in the ANSI code page.
  char friendlyName[kNameSize];
  int primary;
  int width;
  int height;
  // Advanced colour is in HDR mode: a ramp would tint the picture.
  int hdr;
};

// What a monitor stored choice says, as the registry keeps it.
enum MonitorChoice {
  kMonitorFollows = 0, // the ramp every road applies (the default)
  kMonitorOwnFile = 1, // one gamma file of its own
  kMonitorLeftOut = 2, // never set, never read back
};

// What an apply does with a monitor, made from its choice and its state
// when the devices are listed.
enum class MonitorPlanState {
  kFollows,
  kOwnFile,
  kLeftOut,
  // In HDR: no ramp, whatever its choice.
  kSpared,
  // Neither claims gamma ramps nor hands one back: remote desktop, the
  // basic display driver, virtual monitors.
  kNoGammaSupport,
};

#endif
