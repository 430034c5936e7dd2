#ifndef QUILLORA_APP_RESIDENTSTARTUP_H
#define QUILLORA_APP_RESIDENTSTARTUP_H

// Turns the first instance into the tray-resident program: menu, tray icon,
// hidden disabled tool window, message handler, ramps, configuration file,
// hook library and presets. Never fails; a step that fails leaves the rest
// to run. Returns 1.
int StartResident();

// Releases what StartResident built, after the message loop has ended. The
// ramp last applied stays on the screen.
void AppShutdown();

#endif
