#ifndef QUILLORA_GAMMA_GAMMARAMP_H
#define QUILLORA_GAMMA_GAMMARAMP_H

#include <cstdint>

// One gamma ramp for the whole screen: 256 entries of red, then green, then
// blue, exactly the array SetDeviceGammaRamp takes, plus what a gamma file
// stores with it (target resolution, optional name, apply delay).
//
// Everything here but Apply is portable; Apply is the only call into GDI and
// lives in GammaRampApply.cpp, which the native build leaves out.
class GammaRamp {
public:
  static const int kChannelSize = 256;
  static const int kEntryCount = 3 * kChannelSize;

  GammaRamp();
  virtual ~GammaRamp();
  GammaRamp(const GammaRamp &) = delete;
  GammaRamp &operator=(const GammaRamp &) = delete;

  // Entry j = j * 256 + 255 in every channel.
  void SetIdentity();
  // Fills all three channels with the gamma / dark-level curve.
  void SetCurve(double gamma, int darkLevel);
  // SetCurve with gamma = position / 8192.
  void SetCurveFromSlider(int position, int darkLevel);

  // Puts the ramp on the screen. 1 when the display accepted it; on 0 the
  // display keeps the ramp it had.
  int Apply() const;

  void SetTargetSize(int width, int height);
  int GetTargetWidth() const;
  int GetTargetHeight() const;
  void SetApplyDelay(int milliseconds);
  int GetApplyDelay() const;
  // Null when the ramp was not loaded from a file that carries a name.
  const char *GetName() const;

  const std::uint16_t *Entries() const;
  std::uint16_t *Entries();

  // Gamma file (.qlr). See GammaFile.cpp for the layout.
  int LoadFromFile(const char *path);
  int SaveToFile(const char *path) const;

private:
  // Held inline so that a ramp object either exists whole or not at all.
  std::uint16_t ramp[kEntryCount];
  int targetWidth;
  int targetHeight;
  char *name;
  int applyDelay;
};

#endif
