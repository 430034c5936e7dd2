#ifndef QUILLORA_GAMMA_DISPLAYDEVICES_H
#define QUILLORA_GAMMA_DISPLAYDEVICES_H

#include "gamma/MonitorInfo.h"

#include <windows.h>

// The program's only calls that list the monitors of the desktop and make
// a device context for one.
//
// They have files of their own (DisplayDevices.cpp, MonitorDC.cpp) so that a
// test can link other definitions in their place: a set of monitors with
// names, keys, HDR and gamma support of its own choosing, which Wine's one X
// screen cannot stage, or a record of which device each ramp went to.

// Fills list with the display devices attached to the desktop, mirror
// drivers left out, in the order EnumDisplayDevicesA lists them; returns
// how many (0 when none is listed). Devices past max are left out.
int ListMonitors(MonitorInfo *list, int max);
// A DC for one device (MonitorInfo::device); null when it cannot be made.
// The caller deletes it with DeleteDC.
HDC OpenMonitorDC(const char *device);
// 1 when the device can take a ramp: its driver claims gamma ramps
// (COLORMGMTCAPS has CM_GAMMA_RAMP), or it hands its ramp back. Wine
// answers COLORMGMTCAPS with 0 and takes ramps all the same, and a driver
// may do as Wine does; a device that does neither has no ramp to set.
int MonitorTakesRamps(HDC dc);

#endif
