#include "app/InstanceMutex.h"

InstanceMutex::InstanceMutex(const char *name) : handle(nullptr), existed(0) {
  handle = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name);
  if (handle) {
    existed = 1;
    return;
  }
  handle = CreateMutexA(nullptr, FALSE, name);
  // Another instance may have created it between the two calls; then this
  // one must not become resident as well.
  if (handle && GetLastError() == ERROR_ALREADY_EXISTS)
    existed = 1;
}

InstanceMutex::~InstanceMutex() {
  if (handle)
    CloseHandle(handle);
}

int InstanceMutex::Existed() const { return existed; }
