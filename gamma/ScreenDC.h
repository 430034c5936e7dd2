#ifndef QUILLORA_GAMMA_SCREENDC_H
#define QUILLORA_GAMMA_SCREENDC_H

#include <windows.h>

// The device context of the whole desktop (GetDC with no window), released
// with ReleaseDC on every path out.
class ScreenDC {
public:
  ScreenDC() : dc(GetDC(nullptr)) {}
  virtual ~ScreenDC() { Release(); }
  ScreenDC(const ScreenDC &) = delete;
  ScreenDC &operator=(const ScreenDC &) = delete;

  // Null when no context could be had.
  HDC Get() const { return dc; }
  void Release() {
    if (dc)
      ReleaseDC(nullptr, dc);
    dc = nullptr;
  }

private:
  HDC dc;
};

#endif
