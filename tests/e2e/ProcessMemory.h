#ifndef QUILLORA_TESTS_E2E_PROCESSMEMORY_H
#define QUILLORA_TESTS_E2E_PROCESSMEMORY_H

#include <windows.h>

#include <psapi.h>

#include <cstddef>

// The private memory (commit charge) of another process, or 0 when it cannot
// be read. Wine reports it for processes of its own prefix.
inline std::size_t PrivateBytes(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process)
    return 0;
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  std::size_t bytes = GetProcessMemoryInfo(process, &counters, sizeof counters)
                          ? counters.PagefileUsage
                          : 0;
  CloseHandle(process);
  return bytes;
}

#endif
