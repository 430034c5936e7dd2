#ifndef QUILLORA_TESTS_SUPPORT_WINEDISPLAY_H
#define QUILLORA_TESTS_SUPPORT_WINEDISPLAY_H

#include <cstdint>
#include <string>
#include <vector>

// The real screen's gamma ramp, read and set through GDI. The X server keeps
// 8 significant bits per entry, so ramps are compared by their high bytes.
std::vector<std::uint16_t> ReadDisplayRamp();
bool SetDisplayRamp(const std::vector<std::uint16_t> &ramp);
std::vector<int> HighBytes(const std::vector<std::uint16_t> &ramp);
// The display devices of the desktop's monitors (\\.\DISPLAY1 ...), as the
// monitors report them, sorted by name.
std::vector<std::string> MonitorDevices();
// The ramp one monitor shows, read through a DC of its own device; empty
// when it cannot be read.
std::vector<std::uint16_t> ReadMonitorRamp(const std::string &deviceName);

// A Linux path as Wine's Z: drive sees it.
std::string WindowsPath(const std::string &unixPath);

// Starts a program with exactly this command line (as Explorer would build
// it) and waits up to timeoutMs. Returns its exit code, or -1 when it did not
// start and -2 when it was still running at the timeout (it is then killed).
int RunCommandLine(const std::string &commandLine, unsigned timeoutMs);

// Deletes a folder with everything in it (Windows path).
void RemoveTree(const std::string &windowsPath);

// A fresh, empty folder inside parent (Linux paths).
std::string FreshFolder(const std::string &parent, const std::string &name);

#endif
