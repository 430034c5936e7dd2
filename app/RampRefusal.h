#ifndef QUILLORA_APP_RAMPREFUSAL_H
#define QUILLORA_APP_RAMPREFUSAL_H

#include "app/AppState.h"

class GammaRamp;

// Applies the ramp on a road of the resident program and, when the screen
// refuses it, tells the user with a tray balloon that names `what` was
// refused. A run of refusals shows one balloon: the next can come only after
// a ramp has been taken, so a held hot key shows one. A balloon the shell
// refused does not count. 1 when the screen took the ramp.
int ApplyAndReport(AppState &state, const GammaRamp &ramp, const char *what);
// When some monitors took the ramp and others refused it, one balloon per
// run of such applies names those that refused; one per run of applies
// that spared monitors in HDR names those. When no monitor can take a ramp
// at all, the balloon says so and does not send the user to the unlock.
//
// Puts each monitor with a file of its own back on its ramp (ApplyOwnRamps)
// and names those that refused it, as above.
void ApplyOwnRampsAndReport(AppState &state);
// The same report for a ramp that another part applied and the screen refused.
void ReportRefusal(AppState &state, const char *what);

#endif
