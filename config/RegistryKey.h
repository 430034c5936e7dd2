#ifndef QUILLORA_CONFIG_REGISTRYKEY_H
#define QUILLORA_CONFIG_REGISTRYKEY_H

#include <windows.h>

// One open registry key, closed by the destructor.
class RegistryKey {
public:
  RegistryKey();
  virtual ~RegistryKey();
  RegistryKey(const RegistryKey &) = delete;
  RegistryKey &operator=(const RegistryKey &) = delete;

  // Closes any open key, then opens an existing one with KEY_ALL_ACCESS.
  // 1 on success; 0 leaves no key open. Never creates the key.
  int Open(const char *subKey, HKEY root);
  // Closes any open key, then opens an existing one for reading in the
  // 64-bit view, which a 32-bit process on 64-bit Windows is otherwise
  // redirected away from. 1 on success; 0 leaves no key open.
  int OpenToRead64(const char *subKey, HKEY root);
  // Closes any open key, then opens or creates one with KEY_ALL_ACCESS.
  // 1 on success; 0 leaves no key open.
  int Create(const char *subKey, HKEY root);
  // 1 when a key was open and is now closed; 0 when none was open.
  int Close();

  // Writes a REG_DWORD. 0 without an open key or when the write fails.
  int SetDword(const char *name, int value);
  // Reads a value of at most 4 bytes of data, whatever its type, into *out
  // and returns 0. Data shorter than 4 bytes is zero-extended, so nothing of
  // what *out held before survives. Returns -1 and stores defaultValue when
  // the value is missing, longer or unreadable; returns -1 and leaves *out
  // untouched without an open key or with a null out.
  int GetDword(const char *name, int *out, int defaultValue);

private:
  HKEY key;
};

#endif
