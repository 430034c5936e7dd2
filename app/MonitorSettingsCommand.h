#ifndef QUILLORA_APP_MONITORSETTINGSCOMMAND_H
#define QUILLORA_APP_MONITORSETTINGSCOMMAND_H

#include "app/AppState.h"

// The menu entry "モニターごとの設定...": opens the dialog with every monitor
// attached now and every one remembered in the registry, and on "OK"
// stores the changed choices and applies them at once. A registry that
// refuses is told in a message, and the monitors stay as they were.
void RunMonitorSettingsCommand(AppState &state);

#endif
