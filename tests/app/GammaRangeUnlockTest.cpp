#include "app/GammaRangeUnlock.h"
#include "app/ElevatedProcess.h"
#include "app/Wow64.h"
#include "tests/app/GammaRangeValue.h"
#include "tests/e2e/DialogDriver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// Stand-ins linked in place of the program's own. Under Wine an elevated
// start asks nothing, runs the system's reg.exe even for an unqualified
// name, and the tests run the 64-bit program only: what Windows would be
// asked to run, and on each kind of system, shows only here.
namespace {

enum class StandIn { kWrites, kEndsWithoutWriting, kRefusedAtThePrompt };

struct Request {
  int count = 0;
  std::string program;
  std::string arguments;
};

StandIn standIn = StandIn::kWrites;
DWORD standInExitCode = 0;
int wow64 = 0;
Request asked;

} // namespace

int RunsUnderWow64() {
  return wow64;
}

int RunElevated(HWND, const char *program, const char *arguments, DWORD *exitCode, DWORD *error) {
  ++asked.count;
  asked.program = program;
  asked.arguments = arguments;
  if (standIn == StandIn::kRefusedAtThePrompt) {
    *error = ERROR_CANCELLED;
    return 0;
  }
  if (standIn == StandIn::kWrites)
    SetGammaRange(256);
  *exitCode = standInExitCode;
  return 1;
}

namespace {

const char kArguments[] = "add \"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ICM\" "
                          "/v GdiIcmGammaRange /t REG_DWORD /d 256 /f";

class GammaRangeUnlockCommand : public testing::Test {
protected:
  void SetUp() override {
    SetGammaRange(-1);
    asked = Request();
    standIn = StandIn::kWrites;
    standInExitCode = 0;
    wow64 = 0;
  }
  void TearDown() override { SetGammaRange(-1); }

  // Runs the command here while a user on another thread answers "はい" to
  // its question and OK to everything after it. The texts of the boxes after
  // the question, in order.
  static std::vector<std::string> Unlock() {
    std::vector<std::string> texts;
    std::atomic<bool> done(false);
    std::thread user([&] {
      bool questionAnswered = false;
      while (!done) {
        HWND box = WaitForDialog(GetCurrentProcessId(), "ガンマ範囲の制限", 200);
        if (!box)
          continue;
        if (questionAnswered)
          texts.push_back(ItemText(box, 65535));
        ClickButton(box, questionAnswered ? IDOK : IDYES);
        questionAnswered = true;
        WaitForWindowGone(box, 10000);
      }
    });
    UnlockGammaRange();
    done = true;
    user.join();
    return texts;
  }

  static std::string SystemReg() {
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\reg.exe";
  }
};

// The program can tell two kinds of system apart. Only a 32-bit program on
// 64-bit Windows needs the switch to the 64-bit view; the 64-bit program
// and 32-bit Windows (whose reg.exe may not know the switch) have one view.
TEST_F(GammaRangeUnlockCommand, AsksForTheSystemFoldersRegExeWithTheSwitchOnlyUnderWow64) {
  const struct {
    const char *system;
    int wow64;
    std::string arguments;
  } kCases[] = {
      {"32-bit program on 64-bit Windows", 1, std::string(kArguments) + " /reg:64"},
      {"64-bit program, or 32-bit Windows", 0, kArguments},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.system);
    SetGammaRange(-1);
    asked = Request();
    wow64 = c.wow64;
    std::vector<std::string> texts = Unlock();
    EXPECT_EQ(asked.count, 1);
    EXPECT_EQ(asked.program, SystemReg());
    EXPECT_EQ(asked.arguments, c.arguments);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("解除しました"), std::string::npos) << texts[0];
  }
}

// Done only when the value reads 256 or more afterwards, whatever reg.exe's
// exit code said; otherwise a failure that names the exit code.
TEST_F(GammaRangeUnlockCommand, TheValueReadBackDecidesAndAFailureNamesTheExitCode) {
  const struct {
    const char *name;
    StandIn standIn;
    DWORD exitCode;
    const char *said;
  } kCases[] = {
      {"written", StandIn::kWrites, 0, "解除しました"},
      {"ends with 0 and writes nothing", StandIn::kEndsWithoutWriting, 0, "終了コード 0)"},
      {"ends with 1 and writes nothing", StandIn::kEndsWithoutWriting, 1, "終了コード 1)"},
      {"refused at the prompt", StandIn::kRefusedAtThePrompt, 0, "取り消されました"},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.name);
    SetGammaRange(-1);
    standIn = c.standIn;
    standInExitCode = c.exitCode;
    std::vector<std::string> texts = Unlock();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(c.said), std::string::npos) << texts[0];
    EXPECT_EQ(GammaRangeUnlocked(), c.standIn == StandIn::kWrites);
  }
}

} // namespace
