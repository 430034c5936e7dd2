#ifndef QUILLORA_APP_APPLIEDRAMPNOTICE_H
#define QUILLORA_APP_APPLIEDRAMPNOTICE_H

#include "gamma/GammaRamp.h"

#include <cstdint>
#include <windows.h>

// A ramp applied by one process of the program is news for the resident
// instance: its keeper would otherwise take the display for reset and put
// its own older ramp back over the user's choice. The notice is a
// WM_COPYDATA to the resident main window carrying the ramp's entries.

// Sends the ramp to every main window of the program that another process
// owns; only a resident one handles it. Gives up on a window that does not
// answer within a short time, so that a busy or hung instance cannot hold
// up the caller.
void TellResidentOfAppliedRamp(const GammaRamp &applied);

// The entries a WM_COPYDATA's lParam carries when it is such a notice, or
// null for anything else.
const std::uint16_t *AppliedRampInNotice(LPARAM lParam);

#endif
