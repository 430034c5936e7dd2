#ifndef QUILLORA_GAMMA_DESKTOPRAMP_H
#define QUILLORA_GAMMA_DESKTOPRAMP_H

#include <cstdint>

// Puts a ramp (GammaRamp::kEntryCount entries) on the desktop's own DC,
// GetDC with no window: the road of last resort when no monitor's DC takes
// it. 1 when the display took it and shows it (TakeDeviceRamp).
//
// It has a file of its own so that a test can link another definition in
// its place: since Windows 10 1903 an extended desktop of two monitors
// refuses every ramp on this DC, and Wine never does, so the tests stand in
// for that refusal here.
int SetDesktopRamp(const std::uint16_t *entries);

#endif
