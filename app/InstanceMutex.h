#ifndef QUILLORA_APP_INSTANCEMUTEX_H
#define QUILLORA_APP_INSTANCEMUTEX_H

#include <windows.h>

// Marks that an instance of the program exists, through a named mutex that
// is never waited on or owned. The mutex lives as long as this object.
class InstanceMutex {
public:
  // Opens the named mutex, or creates it when it does not exist yet. When
  // both fail the object behaves as if it were the first instance.
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

#endif
