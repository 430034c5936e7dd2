#ifndef QUILLORA_GAMMA_DISPLAYDC_H
#define QUILLORA_GAMMA_DISPLAYDC_H

#include <windows.h>

// A device context made for one display device (\\.\DISPLAY1 ...) with
// CreateDCA, deleted with DeleteDC on every path out.
class DisplayDC {
public:
  explicit DisplayDC(const char *deviceName)
      : dc(CreateDCA(deviceName, nullptr, nullptr, nullptr)) {}
  virtual ~DisplayDC() { Release(); }
  DisplayDC(const DisplayDC &) = delete;
  DisplayDC &operator=(const DisplayDC &) = delete;

  // Null when the device is gone or no context could be made.
  HDC Get() const { return dc; }
  void Release() {
    if (dc)
      DeleteDC(dc);
    dc = nullptr;
  }

private:
  HDC dc;
};

#endif
