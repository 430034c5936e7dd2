#include "app/InstanceMutex.h"

InstanceMutex::InstanceMutex(const char *name) : handle(nullptr), existed(0) {
  // Nothing waits on the mutex or owns it: the right to wait is the least a
  // handle can carry, and a normal program has it on a normal program's
  // mutex.
  handle = OpenMutexA(SYNCHRONIZE, FALSE, name);
  existed = SaysAnotherInstance({kOpenMutex, handle != nullptr, GetLastError()});
  if (existed)
    return;
  // Another instance may create it between the two calls; then this one must
  // not become resident as well.
  handle = CreateMutexA(nullptr, FALSE, name);
  existed = SaysAnotherInstance({kCreateMutex, handle != nullptr, GetLastError()});
}

InstanceMutex::~InstanceMutex() {
  if (handle)
    CloseHandle(handle);
}

int InstanceMutex::Existed() const { return existed; }

int SaysAnotherInstance(const MutexAnswer &answer) {
  if (!answer.gotHandle)
    return answer.error == ERROR_ACCESS_DENIED;
  // An opened mutex exists; a created one may have existed already.
  return answer.call == kOpenMutex || answer.error == ERROR_ALREADY_EXISTS;
}
