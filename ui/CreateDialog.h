#ifndef QUILLORA_UI_CREATEDIALOG_H
#define QUILLORA_UI_CREATEDIALOG_H

#include "ui/DialogWindow.h"

#include <windows.h>

class GammaRamp;

// What the gamma creation dialog (template 104) builds, owned by whoever
// shows it; the dialog reaches it through its data member and leaves it
// behind for the caller to read.
struct CreateDialogState {
  GammaRamp *ramp; // the ramp built and previewed; identity to start with
  int gammaPos;    // gamma slider position, gamma = gammaPos / 8192; 8192 to start
  int delayMs;     // apply delay saved with the file, 0 to 10000; 0 to start
  int darkLevel;   // 0 to 64; 0 to start
};

// The creation dialog's DialogHandler. The slider is previewed on the screen
// at once; the dark level is only computed into the ramp, and shows from the
// next slider movement on. While the screen refuses the last preview, the
// line at the bottom says so. "戻す" returns everything the ramp is made of,
// slider and dark level, to their starting values and the screen to the
// identity ramp. "保存" writes the ramp as it was last computed, with the
// chosen resolution and delay, through a save dialog owned by the dialog's
// owner window; a file that cannot be written is reported in a message box.
// The dialog ends with 1 from "適用" (Enter) and 0 from "閉じる" (Escape,
// the close button).
void CreateDialogHandler(DialogWindow *dialog, UINT message, WPARAM wParam, LPARAM lParam,
                         BYTE *handled);

#endif
