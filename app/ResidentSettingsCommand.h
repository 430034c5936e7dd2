#ifndef QUILLORA_APP_RESIDENTSETTINGSCOMMAND_H
#define QUILLORA_APP_RESIDENTSETTINGSCOMMAND_H

struct AppState;

// The settings command of the tray menu: shows the settings dialog on a copy
// of the live presets and, when the user confirms, takes over its gammas and
// dark levels (the hot keys use them at once) and saves the copy, hook flag
// included, to the registry. The live hook flag stays as it was read at
// start; a changed one takes effect at the next start, which the user is
// told. A save that fails is reported too: the changes then last for this
// run only.
void RunResidentSettingsCommand(AppState &state);

#endif
