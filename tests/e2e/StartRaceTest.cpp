#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// Many starts at the same moment: each process is created suspended and all
// are let go together, so that they meet at the single-instance mutex.

namespace {

const int kStarts = 20;
const unsigned kTimeoutMs = 60000;

// A started process, killed by the destructor if it still runs.
class StartedProcess {
public:
  StartedProcess() : info() {}
  virtual ~StartedProcess() {
    if (!info.hProcess)
      return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
      HWND window = FindMainWindow(info.dwProcessId);
      if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(info.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 99);
      WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  StartedProcess(const StartedProcess &) = delete;
  StartedProcess &operator=(const StartedProcess &) = delete;

  int CreateSuspended(const std::string &commandLine, const std::string &workingDir) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string writable(commandLine);
    return CreateProcessA(nullptr, &writable[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                          nullptr, workingDir.c_str(), &startup, &info)
               ? 1
               : 0;
  }
  void Resume() { ResumeThread(info.hThread); }
  HANDLE Handle() const { return info.hProcess; }
  DWORD Id() const { return info.dwProcessId; }
  int Running() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
  }

private:
  PROCESS_INFORMATION info;
};

using Processes = std::vector<std::unique_ptr<StartedProcess>>;

class StartRaceTest : public ResidentFixture {
protected:
  void StartAllAtOnce(Processes &processes, const std::vector<std::string> &commandLines) {
    for (const std::string &line : commandLines) {
      processes.emplace_back(new StartedProcess);
      ASSERT_TRUE(processes.back()->CreateSuspended(line, WindowsPath(folder))) << line;
    }
    for (auto &process : processes)
      process->Resume();
  }

  // Polls until no more than `left` of them run, then gives how many run.
  static int WaitUntilAtMost(const Processes &processes, int left) {
    int running = 0;
    DWORD start = GetTickCount();
    do {
      running = static_cast<int>(std::count_if(processes.begin(), processes.end(),
                                               [](const auto &p) { return p->Running(); }));
      if (running <= left)
        break;
      Sleep(50);
    } while (GetTickCount() - start < kTimeoutMs);
    return running;
  }

  std::string Quoted() const { return "\"" + ProgramPath() + "\""; }
};

TEST_F(StartRaceTest, TwentyPlainStartsLeaveOneResidentAndTheRestEndWithZero) {
  Processes processes;
  StartAllAtOnce(processes, std::vector<std::string>(kStarts, Quoted()));
  ASSERT_EQ(WaitUntilAtMost(processes, 1), 1) << "exactly one start stays";

  const StartedProcess *stayed = nullptr;
  for (const auto &process : processes) {
    if (process->Running())
      stayed = process.get();
    else
      EXPECT_EQ(process->ExitCode(), 0u);
  }
  ASSERT_NE(stayed, nullptr);
  // The one that stayed is a working resident instance, and stays so.
  HWND window = nullptr;
  for (int tries = 0; tries < 200 && !(window && TrayIconExists(window, 0)); ++tries) {
    Sleep(50);
    window = FindMainWindow(stayed->Id());
  }
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(TrayIconExists(window, 0));
  DWORD_PTR ignored = 0;
  EXPECT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored));
  EXPECT_TRUE(stayed->Running());

  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(stayed->Handle(), kTimeoutMs), WAIT_OBJECT_0);
  EXPECT_EQ(stayed->ExitCode(), 0u);
  EXPECT_FALSE(TrayIconExists(window, 0));
}

TEST_F(StartRaceTest, TwentyOneShotStartsBesideAResidentOneAllApplyTheirFile) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  std::vector<std::string> lines;
  std::vector<std::vector<int>> ramps;
  for (int i = 0; i < kStarts; ++i) {
    std::string name = "once" + std::to_string(i) + ".qlr";
    ramps.push_back(HighBytes(WriteRamp(name, 0, 0, 0, 1.1 + 0.05 * i)));
    lines.push_back(Quoted() + " /E " + WindowsPath(folder + "/" + name));
  }
  Processes processes;
  StartAllAtOnce(processes, lines);
  ASSERT_EQ(WaitUntilAtMost(processes, 0), 0) << "every one-shot start ends";
  for (const auto &process : processes)
    EXPECT_EQ(process->ExitCode(), 0u);

  // Each applied its file; the display keeps whichever came last.
  std::vector<int> shown = HighBytes(ReadDisplayRamp());
  EXPECT_NE(std::find(ramps.begin(), ramps.end(), shown), ramps.end());

  // The resident instance is untouched and still does its work.
  EXPECT_TRUE(resident.IsRunning());
  EXPECT_TRUE(TrayIconExists(resident.Window(), 0));
  EXPECT_TRUE(PostMessageA(resident.Window(), WM_HOOKCOMMAND, HOOKCMD_RESET, 0));
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.0, 0), 5000));
  EXPECT_EQ(resident.Close(10000), 0);
}

} // namespace
