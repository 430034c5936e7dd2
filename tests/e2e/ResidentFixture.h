#ifndef QUILLORA_TESTS_E2E_RESIDENTFIXTURE_H
#define QUILLORA_TESTS_E2E_RESIDENTFIXTURE_H

#include "tests/support/GammaFileWriter.h"
#include "tests/support/ResidentProcess.h"
#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>

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
  // Expects the display still to hold `ramp` after `ms`.
  void ExpectStill(const std::vector<std::uint16_t> &ramp, unsigned ms);

  std::string folder; // Linux path
  std::vector<std::uint16_t> startRamp;
  ResidentProcess resident;
};

bool SetDisplayMode(int width, int height);
void DeletePresets();
void SetPresetValue(const char *name, std::uint32_t value);
// The curve the program computes for a gamma and dark level.
std::vector<std::uint16_t> CurveRamp(double gamma, int darkLevel);

#endif
