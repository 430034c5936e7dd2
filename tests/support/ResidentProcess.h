#ifndef QUILLORA_TESTS_SUPPORT_RESIDENTPROCESS_H
#define QUILLORA_TESTS_SUPPORT_RESIDENTPROCESS_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A quillora.exe started by a test. The destructor closes it, and kills it
// when it does not end, so that no test leaves a resident program behind.
class ResidentProcess {
public:
  ResidentProcess();
  virtual ~ResidentProcess();
  ResidentProcess(const ResidentProcess &) = delete;
  ResidentProcess &operator=(const ResidentProcess &) = delete;

  // Starts the command line in workingDir (a Windows path) and waits until
  // the program's main window exists and its message loop answers. 1 on
  // success; 0 when it did not start, ended, or did not become ready.
  int Start(const std::string &commandLine, const std::string &workingDir,
            unsigned readyTimeoutMs = 30000);
  HWND Window() const { return window; }
  // Sends a message to the main window and waits until the program has
  // handled it: 1 then, 0 on timeout or when the program is gone. A test
  // that expects a message to change nothing sends it this way, so that it
  // checks after the handling and not after a guess at how long it takes.
  int Send(UINT message, WPARAM wParam, LPARAM lParam, unsigned timeoutMs = 20000);
  // Returns once the program has handled every message sent to it before,
  // a display change included (sent messages are handled in order): 1 then,
  // 0 on timeout. It says nothing about messages posted to it.
  int Sync(unsigned timeoutMs = 20000);
  DWORD ProcessId() const { return process.dwProcessId; }
  int IsRunning() const;
  // Waits for the end; the exit code, or -2 on timeout.
  int WaitForExit(unsigned timeoutMs);
  // Sends WM_CLOSE to the main window and waits for the end.
  int Close(unsigned timeoutMs);
  // Holds the program's thread, so that a test can queue many messages
  // before it handles the first one.
  void Suspend();
  void Resume();

private:
  int IsStartedUp(HWND mainWindow) const;

  PROCESS_INFORMATION process;
  HWND window;
};

// A top-level window of this class that the process owns, or null.
HWND FindProcessWindow(DWORD processId, const char *className, bool visibleOnly);
// The main window of the program with this process id, or null.
HWND FindMainWindow(DWORD processId);

// Polls until the display's ramp (high bytes) equals the expected one.
bool WaitForDisplayRamp(const std::vector<std::uint16_t> &expected, unsigned timeoutMs);

// 1 when the tray holds an icon of this window and identifier, asked from
// this process as any other program could.
int TrayIconExists(HWND window, UINT id);

#endif
