#ifndef QUILLORA_APP_APPSTARTUP_H
#define QUILLORA_APP_APPSTARTUP_H

class InstanceMutex;

// Reads the command line and takes one of three roads: apply a gamma file
// once, end at once (another instance runs), or become resident.
// Returns 1 when the message loop is to run, 0 when the process is to end.
int AppStartup(const InstanceMutex &instanceMutex);

// Loads the gamma file named by an "/E path" argument text and puts it on
// the screen, then lets a resident instance know which ramp it put there.
// Any other text does nothing. Failures are silent.
void ApplyFileOnce(const char *argumentText);

#endif
