// tray_probe WINDOW IDENTIFIER: exit code 1 when the tray holds the icon of
// that window (decimal handle) and identifier, else 0; 2 on bad arguments.
// Modifying an icon with no flags changes nothing and succeeds only while the
// icon exists, so another process can ask without disturbing it.
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>

int main(int argc, char **argv) {
  if (argc != 3)
    return 2;
  NOTIFYICONDATAA data = {};
  data.cbSize = 88;
  data.hWnd = reinterpret_cast<HWND>(std::strtoul(argv[1], nullptr, 10));
  data.uID = static_cast<UINT>(std::strtoul(argv[2], nullptr, 10));
  data.uFlags = 0;
  return Shell_NotifyIconA(NIM_MODIFY, &data) ? 1 : 0;
}
