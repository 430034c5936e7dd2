#ifndef QUILLORA_APP_RESIDENTSETTINGSCOMMAND_H
#define QUILLORA_APP_RESIDENTSETTINGSCOMMAND_H

struct AppState;

// The settings command of the tray menu: shows the settings dialog on a copy
// of the presets and, when the user confirms, takes the copy over (the hot
// keys use its gammas and dark levels at once) and saves it, hook flag
// included, to the registry. The hook flag is the saved choice: the hook
// itself starts or stops only at the next start, so whenever the choice
// differs from whether the hook runs now the user is told. A save that fails
// is reported too: the changes then last for this run only.
void RunResidentSettingsCommand(AppState &state);

#endif
