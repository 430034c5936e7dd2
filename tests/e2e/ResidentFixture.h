#ifndef QUILLORA_TESTS_E2E_RESIDENTFIXTURE_H
#define QUILLORA_TESTS_E2E_RESIDENTFIXTURE_H

#include "tests/support/GammaFileWriter.h"
#include "tests/support/ResidentProcess.h"
#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A working folder for a resident quillora.exe, the display in a known mode
// with a known ramp, and no presets in the registry.
class ResidentFixture : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a gamma file of a plain power curve into the working folder.
  std::vector<std::uint16_t> WriteRamp(const std::string &name, int width, int height,
                                       int applyDelay, double gamma);
  void WriteConfig(const std::string &text);
  // Starts the program (quoted path, no arguments) in the working folder.
  int StartResident(const std::string &program);
  std::string ProgramPath() const; // the built quillora.exe, Windows path
  // Expects the display to hold `ramp` once the program has handled every
  // message sent to it so far (a display change included).
  void ExpectDisplay(const std::vector<std::uint16_t> &ramp);
  // The same after `ms`: for what the program does by itself, on a timer.
  void ExpectStill(const std::vector<std::uint16_t> &ramp, unsigned ms);
  // Changes the display mode and returns once the program has handled the
  // change, its pause after applying a ramp included. ChangeDisplaySettingsA
  // alone returns once every window has handled WM_DISPLAYCHANGE, but gives
  // up on a window after 2 s; a change that arrived during the program's
  // pause would be passed over.
  bool ChangeDisplayMode(int width, int height);
  // Returns once the program has handled every message posted to it so far:
  // true then. Posted messages are handled in order, and a button press on
  // the tray icon opens the menu, which another process can see; the menu
  // is then dismissed, which runs no command.
  bool WaitForPostedMessages();
  static std::string TestFolderName();

  std::string folder; // Linux path
  std::vector<std::uint16_t> startRamp;
  ResidentProcess resident;
};

bool SetDisplayMode(int width, int height);
// The tray menu the program has open, waiting up to timeoutMs; or null.
HWND WaitForProgramMenu(DWORD processId, unsigned timeoutMs);
// Whether the program's menu has closed within timeoutMs.
bool WaitForProgramMenuGone(DWORD processId, unsigned timeoutMs);
// Returns at GetTickCount() value `tick` (at once when that has passed).
void WaitUntil(DWORD tick);
void DeletePresets();
void SetPresetValue(const char *name, std::uint32_t value);
// The curve the program computes for a gamma and dark level.
std::vector<std::uint16_t> CurveRamp(double gamma, int darkLevel);

#endif
