// A program named reg.exe, placed beside quillora.exe by a test: were it
// started, it leaves a file beside itself saying so, writes nothing to the
// registry and ends with 0, as a planted reg.exe could.
#include <windows.h>

int main() {
  char path[MAX_PATH] = "";
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return 2;
  char *name = path;
  for (char *c = path; *c; ++c)
    if (*c == '\\')
      name = c + 1;
  lstrcpyA(name, "stand-in-reg-ran");
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return 3;
  CloseHandle(file);
  return 0;
}
