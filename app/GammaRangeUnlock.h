#ifndef QUILLORA_APP_GAMMARANGEUNLOCK_H
#define QUILLORA_APP_GAMMARANGEUNLOCK_H

// Windows refuses ramps far from the identity unless the machine-wide value
// GdiIcmGammaRange is 256 or more; it is read at sign-in.

// 1 when the value in the 64-bit view of HKLM is 256 or more.
int GammaRangeUnlocked();
// The menu command: asks, writes the value with administrator rights and
// reports the outcome, each in a message box of the main window.
void UnlockGammaRange();

#endif
