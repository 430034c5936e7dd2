#include "tests/support/WineDisplay.h"

#include <windows.h>

#include <algorithm>

std::vector<std::uint16_t> ReadDisplayRamp() {
  std::vector<std::uint16_t> ramp(768);
  HDC screen = GetDC(nullptr);
  if (!GetDeviceGammaRamp(screen, ramp.data()))
    ramp.clear();
  ReleaseDC(nullptr, screen);
  return ramp;
}

bool SetDisplayRamp(const std::vector<std::uint16_t> &ramp) {
  HDC screen = GetDC(nullptr);
  std::vector<std::uint16_t> copy(ramp);
  bool accepted = SetDeviceGammaRamp(screen, copy.data()) != FALSE;
  ReleaseDC(nullptr, screen);
  return accepted;
}

std::vector<int> HighBytes(const std::vector<std::uint16_t> &ramp) {
  std::vector<int> high;
  for (std::uint16_t entry : ramp)
    high.push_back(entry >> 8);
  return high;
}

namespace {

BOOL CALLBACK AddMonitorDevice(HMONITOR monitor, HDC, LPRECT, LPARAM names) {
  MONITORINFOEXA info;
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info))
    reinterpret_cast<std::vector<std::string> *>(names)->push_back(info.szDevice);
  return TRUE;
}

} // namespace

std::vector<std::string> MonitorDevices() {
  std::vector<std::string> names;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitorDevice, reinterpret_cast<LPARAM>(&names));
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::uint16_t> ReadMonitorRamp(const std::string &deviceName) {
  std::vector<std::uint16_t> ramp(768);
  HDC monitor = CreateDCA(deviceName.c_str(), nullptr, nullptr, nullptr);
  if (!monitor || !GetDeviceGammaRamp(monitor, ramp.data()))
    ramp.clear();
  if (monitor)
    DeleteDC(monitor);
  return ramp;
}

std::string WindowsPath(const std::string &unixPath) {
  std::string path = "Z:" + unixPath;
  for (char &c : path)
    if (c == '/')
      c = '\\';
  return path;
}

int RunCommandLine(const std::string &commandLine, unsigned timeoutMs) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string writable(commandLine);
  if (!CreateProcessA(nullptr, &writable[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  int result = -2;
  if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    result = static_cast<int>(exitCode);
  } else {
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

void RemoveTree(const std::string &windowsPath) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((windowsPath + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..")
        continue;
      std::string child = windowsPath + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(child);
      else
        DeleteFileA(child.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(windowsPath.c_str());
}

std::string FreshFolder(const std::string &parent, const std::string &name) {
  std::string path = parent + "/" + name;
  RemoveTree(WindowsPath(path));
  CreateDirectoryA(WindowsPath(path).c_str(), nullptr);
  return path;
}
