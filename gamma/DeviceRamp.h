#ifndef QUILLORA_GAMMA_DEVICERAMP_H
#define QUILLORA_GAMMA_DEVICERAMP_H

#include <cstdint>
#include <windows.h>

// The program's only calls that put a ramp (GammaRamp::kEntryCount entries)
// on a device context and read one from it.
//
// They have a file of their own so that a test can link other definitions
// in their place: a driver's safety check may drop a ramp silently (the call
// returns TRUE and sets nothing), and a display may fail to hand its ramp
// back; Wine does neither, so the tests stand in for them here.

// 1 when SetDeviceGammaRamp returned TRUE.
int SetDeviceRamp(HDC dc, const std::uint16_t *entries);
// 1 when GetDeviceGammaRamp filled `entries`; on 0 they are undefined.
int GetDeviceRamp(HDC dc, std::uint16_t *entries);

#endif
