// quilbench: the Windows side of scripts/bench.sh. Each mode prints one
// line of figures for the script's table; none of them judges the result.
//
//   quilbench launch COMMANDLINE CLASS RUNS
//       starts the program RUNS times and prints the median milliseconds
//       from CreateProcess until a window of CLASS exists
//   quilbench wait CLASS SECONDS
//       exits 0 as soon as a window of CLASS exists, 1 after SECONDS
//   quilbench curve RUNS
//       median microseconds of one curve computation, over slider positions
//       and dark levels spread across the dialog's ranges, and of one
//       SetDeviceGammaRamp call
//   quilbench burst CLASS PAIRS
//       posts PAIRS gamma up/down hot-key commands and a last "preset 9" to
//       the window of CLASS and prints the milliseconds until the screen
//       shows the preset's ramp
//   quilbench foreground CLASS EVENTS
//       raises EVENTS foreground changes in a burst, as another program's
//       window coming to the front does, waits until the program's settle
//       delay has passed, and prints how many checks of the display and how
//       many re-applies the program made for them
//   quilbench schedule FOLDER AHEAD FADE
//       writes two gamma files and a "quilcfg.txt" into FOLDER (a Windows
//       path) whose schedule has had one ramp in force for an hour and
//       changes to the other AHEAD seconds from now, with "*fade FADE"
//   quilbench applies CLASS
//       prints how many ramps the schedule of the program applied so far
//   quilbench close CLASS
//       closes the program's window and waits until it is gone
#include "app/AppMessages.h"
#include "gamma/GammaRamp.h"
#include "hook/HookCommands.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Now() {
  static LARGE_INTEGER frequency;
  if (!frequency.QuadPart)
    QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

HWND WaitForWindow(const char *className, double seconds) {
  const double end = Now() + seconds;
  for (;;) {
    if (HWND window = FindWindowA(className, nullptr))
      return window;
    if (Now() > end)
      return nullptr;
    Sleep(1);
  }
}

void WaitUntilGone(const char *className) {
  for (int i = 0; i < 5000 && FindWindowA(className, nullptr); ++i)
    Sleep(1);
}

int Launch(const char *commandLine, const char *className, int runs) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double start = Now();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
      return 1;
    const bool shown = WaitForWindow(className, 30) != nullptr;
    const double elapsed = Now() - start;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    WaitUntilGone(className);
    if (!shown)
      return 1;
    times.push_back(elapsed * 1000);
  }
  std::printf("%.1f\n", Median(times));
  return 0;
}

bool SetScreenRamp(const std::uint16_t *entries) {
  HDC screen = GetDC(nullptr);
  const bool set = SetDeviceGammaRamp(screen, const_cast<std::uint16_t *>(entries));
  ReleaseDC(nullptr, screen);
  return set;
}

// The X server keeps the high byte of each entry.
bool ScreenShows(const GammaRamp &ramp) {
  std::uint16_t screen[GammaRamp::kEntryCount];
  HDC dc = GetDC(nullptr);
  const bool read = GetDeviceGammaRamp(dc, screen);
  ReleaseDC(nullptr, dc);
  for (int i = 0; read && i < GammaRamp::kEntryCount; ++i)
    if (screen[i] >> 8 != ramp.Entries()[i] >> 8)
      return false;
  return read;
}

// Each curve is timed next to an apply, so that both see the machine in the
// same state. The curves spread over the dialog's ranges, but the display
// refuses many of those with a dark level, and a refused call costs less, so
// the applies alternate between two ramps it takes.
int Curve(int runs) {
  GammaRamp curve, gammaOne, gammaOneAndAHalf;
  gammaOne.SetCurve(1.0, 0);
  gammaOneAndAHalf.SetCurve(1.5, 0);
  std::vector<double> curveTimes, applyTimes;
  HDC screen = GetDC(nullptr);
  BOOL applied = TRUE;
  for (int run = 0; applied && run < runs; ++run) {
    const int position = 2048 + run * (32767 - 2048) / runs;
    const GammaRamp &accepted = run % 2 ? gammaOneAndAHalf : gammaOne;
    const double start = Now();
    curve.SetCurveFromSlider(position, run % 65);
    const double computed = Now();
    applied = SetDeviceGammaRamp(screen, const_cast<std::uint16_t *>(accepted.Entries()));
    applyTimes.push_back((Now() - computed) * 1e6);
    curveTimes.push_back((computed - start) * 1e6);
  }
  ReleaseDC(nullptr, screen);
  if (!applied)
    return 1;
  std::printf("%.2f %.2f\n", Median(curveTimes), Median(applyTimes));
  return 0;
}

int Burst(const char *className, int pairs) {
  HWND window = FindWindowA(className, nullptr);
  GammaRamp identity, preset9;
  identity.SetIdentity();
  preset9.SetCurve(1.9, 0);
  if (!window || !SetScreenRamp(identity.Entries()))
    return 1;
  const double start = Now();
  for (int i = 0; i < pairs; ++i) {
    PostMessageA(window, WM_HOOKCOMMAND, HOOKCMD_GAMMAUP, 0);
    PostMessageA(window, WM_HOOKCOMMAND, HOOKCMD_GAMMADOWN, 0);
  }
  PostMessageA(window, WM_HOOKCOMMAND, HOOKCMD_PRESET9, 0);
  while (!ScreenShows(preset9)) {
    if (Now() - start > 120)
      return 1;
    Sleep(1);
  }
  std::printf("%.0f\n", (Now() - start) * 1000);
  return 0;
}

int KeeperCount(HWND window, const char *property) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(window, property)));
}

int Foreground(const char *className, int events) {
  HWND program = FindWindowA(className, nullptr);
  // Wine passes on an event only when it names a window.
  HWND front = CreateWindowExA(0, "STATIC", "front", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  if (!program || !front)
    return 1;
  const int checks = KeeperCount(program, "QuilloraKeepChecks");
  const int putBack = KeeperCount(program, "QuilloraKeepPutBack");
  // Makes this thread's message queue, and with it Wine's copy of which hooks
  // are active, now that the program has hooked the event.
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  for (int i = 0; i < events; ++i)
    NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, front, OBJID_WINDOW, CHILDID_SELF);
  // Well past the settle delay of half a second, then the program has
  // handled everything before an answer.
  Sleep(2000);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(program, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result))
    return 1;
  std::printf("%d %d\n", KeeperCount(program, "QuilloraKeepChecks") - checks,
              KeeperCount(program, "QuilloraKeepPutBack") - putBack);
  DestroyWindow(front);
  return 0;
}

// "*time" text for the local time `offset` seconds from now.
void TimeOfDay(int offset, char *text, std::size_t size) {
  SYSTEMTIME local;
  GetLocalTime(&local);
  int second = ((local.wHour * 60 + local.wMinute) * 60 + local.wSecond + offset) % 86400;
  second = (second + 86400) % 86400;
  std::snprintf(text, size, "%02d:%02d:%02d", second / 3600, second / 60 % 60, second % 60);
}

int Schedule(const char *folder, int ahead, const char *fade) {
  const double gammas[] = {1.2, 2.0};
  std::string paths[2];
  for (int i = 0; i < 2; ++i) {
    GammaRamp ramp;
    ramp.SetCurve(gammas[i], 0);
    paths[i] = std::string(folder) + (i ? "\\evening.qlr" : "\\morning.qlr");
    if (!ramp.SaveToFile(paths[i].c_str()))
      return 1;
  }
  char morning[16];
  char evening[16];
  TimeOfDay(-3600, morning, sizeof morning);
  TimeOfDay(ahead, evening, sizeof evening);
  std::FILE *config = std::fopen((std::string(folder) + "\\quilcfg.txt").c_str(), "wb");
  if (!config)
    return 1;
  std::fprintf(config, "*time %s %s\r\n*time %s %s\r\n*fade %s\r\n", morning,
               paths[0].c_str(), evening, paths[1].c_str(), fade);
  return std::fclose(config) == 0 ? 0 : 1;
}

int Close(const char *className) {
  HWND program = FindWindowA(className, nullptr);
  if (!program)
    return 1;
  PostMessageA(program, WM_CLOSE, 0, 0);
  WaitUntilGone(className);
  return FindWindowA(className, nullptr) ? 1 : 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc == 5 && std::strcmp(argv[1], "launch") == 0)
    return Launch(argv[2], argv[3], std::atoi(argv[4]));
  if (argc == 4 && std::strcmp(argv[1], "wait") == 0)
    return WaitForWindow(argv[2], std::atof(argv[3])) ? 0 : 1;
  if (argc == 3 && std::strcmp(argv[1], "curve") == 0)
    return Curve(std::atoi(argv[2]));
  if (argc == 4 && std::strcmp(argv[1], "burst") == 0)
    return Burst(argv[2], std::atoi(argv[3]));
  if (argc == 4 && std::strcmp(argv[1], "foreground") == 0)
    return Foreground(argv[2], std::atoi(argv[3]));
  if (argc == 5 && std::strcmp(argv[1], "schedule") == 0)
    return Schedule(argv[2], std::atoi(argv[3]), argv[4]);
  if (argc == 3 && std::strcmp(argv[1], "applies") == 0) {
    HWND program = FindWindowA(argv[2], nullptr);
    std::printf("%d\n", program ? KeeperCount(program, "QuilloraScheduleApplies") : -1);
    return program ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "close") == 0)
    return Close(argv[2]);
  std::fprintf(stderr, "usage: quilbench launch|wait|curve|burst|foreground|schedule|applies|close ...\n");
  return 2;
}
