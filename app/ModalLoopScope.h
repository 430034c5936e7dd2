#ifndef QUILLORA_APP_MODALLOOPSCOPE_H
#define QUILLORA_APP_MODALLOOPSCOPE_H

#include "app/AppState.h"

// Held around a modal loop of the main window's thread (the tray menu, a
// file dialog, a dialog box). Such a loop can start inside the pause and
// drain that follows an applied ramp, and may stay open for minutes: the
// display changes, timers and hook commands it dispatches must be handled as
// in the main loop, each with its own pause, and not as part of a drain that
// is over for the user. So the loop starts with no drain running and no
// display change in progress, and the outer drain's state comes back when
// the loop ends.
class ModalLoopScope {
public:
  explicit ModalLoopScope(AppState &appState)
      : state(appState), drainDepth(appState.drainDepth),
        displayChangeBusy(appState.displayChangeBusy) {
    state.drainDepth = 0;
    state.displayChangeBusy = 0;
  }
  virtual ~ModalLoopScope() {
    state.drainDepth = drainDepth;
    state.displayChangeBusy = displayChangeBusy;
  }
  ModalLoopScope(const ModalLoopScope &) = delete;
  ModalLoopScope &operator=(const ModalLoopScope &) = delete;

private:
  AppState &state;
  int drainDepth;
  int displayChangeBusy;
};

#endif
