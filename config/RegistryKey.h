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

  // Closes any open key, then opens an existing one for reading only
  // (KEY_QUERY_VALUE), so that a key the user may read but not change still
  // gives its values; SetDword and DeleteValue fail on it. 1 on success; 0
  // leaves no key open. Never creates the key.
  int Open(const char *subKey, HKEY root);
  // The same, to read and change its values (KEY_QUERY_VALUE |
  // KEY_SET_VALUE). Never creates the key.
  int OpenToChange(const char *subKey, HKEY root);
  // Closes any open key, then opens an existing one for reading in the
  // 64-bit view, which a 32-bit process on 64-bit Windows is otherwise
  // redirected away from. 1 on success; 0 leaves no key open.
  int OpenToRead64(const char *subKey, HKEY root);
  // The same, to list its subkeys (KEY_ENUMERATE_SUB_KEYS) as well as read.
  int OpenToList(const char *subKey, HKEY root);
  // Closes any open key, then opens or creates one to read and change its
  // values (KEY_QUERY_VALUE | KEY_SET_VALUE). 1 on success; 0 leaves no key
  // open.
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
  // Reads a value of any type into data, which holds *size bytes, and sets
  // *size to the value's length. Returns 0 then; -1 when the value is
  // missing, longer than *size or unreadable (data and *size then say
  // nothing), and without an open key or with a null size.
  int GetBytes(const char *name, unsigned char *data, DWORD *size);
  // Writes a REG_SZ from a NUL-terminated ANSI text. 0 without an open key
  // or when the write fails.
  int SetString(const char *name, const char *text);
  // The name of subkey `index` (0, 1, ...) into name, which holds size
  // bytes. 1 when there is one; 0 past the last, without an open key, or
  // when the name does not fit.
  int SubKeyName(DWORD index, char *name, DWORD size);
  // Deletes a value. 1 when it is gone, also when there was none; 0 without
  // an open key or when the key refuses.
  int DeleteValue(const char *name);

private:
  int OpenWith(const char *subKey, HKEY root, REGSAM access);

  HKEY key;
};

#endif
