#ifndef QUILLORA_GAMMA_CHECKEDRAMP_H
#define QUILLORA_GAMMA_CHECKEDRAMP_H

#include <cstdint>
#include <windows.h>

// Puts a ramp (GammaRamp::kEntryCount entries) on one device context and
// reads it back on the same context. 1 when the call took it and the
// display shows it (DisplayShowsRamp), or when the call took it and the
// read-back fails: a display that cannot be read gives no reason to doubt
// the call. 0 when the call refused it, or when it returned TRUE and the
// display shows another ramp: a driver may drop a ramp its safety checks
// reject "silently", returning TRUE without setting it.
int TakeDeviceRamp(HDC dc, const std::uint16_t *entries);

#endif
