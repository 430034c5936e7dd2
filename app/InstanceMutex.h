#ifndef QUILLORA_APP_INSTANCEMUTEX_H
#define QUILLORA_APP_INSTANCEMUTEX_H

#include <windows.h>

// Marks that an instance of the program exists, through a named mutex that
// is never waited on or owned. The mutex lives as long as this object.
class InstanceMutex {
public:
  // Opens the named mutex, or creates it when it does not exist yet. When
  // both fail for another reason than a mutex the program may not open, the
  // object behaves as if it were the first instance.
  explicit InstanceMutex(const char *name);
  virtual ~InstanceMutex();
  InstanceMutex(const InstanceMutex &) = delete;
  InstanceMutex &operator=(const InstanceMutex &) = delete;

  // 1 when the mutex already existed, that is another instance runs.
  int Existed() const;

private:
  HANDLE handle;
  int existed;
};

// Which call a MutexAnswer comes from.
enum MutexCall { kOpenMutex, kCreateMutex };

// What the system answered one call for the instance mutex: whether it gave
// a handle, and GetLastError() right after the call.
struct MutexAnswer {
  MutexCall call;
  int gotHandle;
  DWORD error;
};

// 1 when the answer says that another instance holds the mutex. An elevated
// instance's mutex exists but may not be opened from a normal one: the
// system then answers ERROR_ACCESS_DENIED, and that is another instance too.
int SaysAnotherInstance(const MutexAnswer &answer);

#endif
