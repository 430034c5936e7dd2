#ifndef QUILLORA_GAMMA_GAMMARAMP_H
#define QUILLORA_GAMMA_GAMMARAMP_H

#include "gamma/MonitorInfo.h"

#include <cstdint>

// What one Apply (or ApplyOwnRamps) did on the monitors of the desktop.
struct ApplyOutcome {
  static const int kNamesSize = 160;
  // Display devices attached to the desktop when the ramp was applied.
  int monitorCount;
  // How many of them were to take it, and how many did.
  int monitorsMeant;
  int monitorsTaken;
  // 1 when no monitor took it and the desktop's own DC did.
  int desktopTook;
  // 1 when no monitor can take a ramp at all (MonitorPlanState::
  // kNoGammaSupport) and the desktop's DC refused it too.
  int noGammaSupport;
  // The monitors that refused it, by their own names and Windows numbers,
  // "DELL U2415 (2), Display3 (3)"; empty when none did. Cut short when it
  // does not fit.
  char refused[kNamesSize];
  // The monitors left without it because they show HDR, named the same way.
  char spared[kNamesSize];
};

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

  // Target size and apply delay 0, no name. The entries are 0 until one of
  // the Set* operations or a successful LoadFromFile fills them.
  GammaRamp();
  virtual ~GammaRamp();
  GammaRamp(const GammaRamp &) = delete;
  GammaRamp &operator=(const GammaRamp &) = delete;

  // Entry j = j * 256 + 255 in every channel.
  void SetIdentity();
  // Fills all three channels with the gamma / dark-level curve; every entry
  // is a multiple of 256 or the clamp 65535. Callers pass a gamma of 0.25 or
  // more and a dark level of 0 to 64. Outside that range the result is still
  // defined:
  //  - a gamma that is not above 0 (0, negative, NaN) is taken as 1.0;
  //  - a dark level of 0 or below is no dark level;
  //  - a dark level of 255 or more is taken as 254, the highest level that
  //    leaves a curve to draw;
  //  - values that the curve drives past the 16-bit range (very small or
  //    infinite gammas) are clamped to 0 and 65535.
  void SetCurve(double gamma, int darkLevel);
  // SetCurve with gamma = position / 8192.
  void SetCurveFromSlider(int position, int darkLevel);

  // Puts the ramp on every monitor of the desktop that follows (the monitor
  // plan, below), each through the DC kept for it; a monitor with a file of
  // its own, one left out, one in HDR and one without gamma support are
  // passed over. When none takes it or none is listed, and no monitor was
  // passed over by choice or for HDR, it goes through the desktop's DC. A
  // monitor takes it when its call succeeds and a read-back on the same DC
  // shows the ramp, or cannot be made (TakeDeviceRamp); a kept DC that
  // refuses is made again and tried once more, as it may have gone stale.
  // 1 when at least one monitor (or the desktop) took it, or no monitor was
  // meant to; on 0 the display keeps the ramp it had, or whatever a driver
  // that said TRUE left there. When outcome is given it says what each
  // monitor did. The object is never changed.
  int Apply(ApplyOutcome *outcome = nullptr) const;

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
  //
  // LoadFromFile always drops the current name first. It returns 1 and
  // replaces the target size, name, ramp and apply delay when the file is
  // complete: the magic, the header, the name and the whole ramp, followed
  // either by the 4-byte apply delay or by nothing (apply delay 0). It
  // returns 0 and leaves everything but the name as it was when the file
  // cannot be opened, has the wrong magic, ends inside any field, names more
  // bytes than it holds, or the name cannot be allocated.
  int LoadFromFile(const char *path);
  // Writes the file completely or not at all: 1 when the whole file was
  // written and has taken the place of any file of that name; on 0 an
  // existing file of that name is untouched and no partial file is left.
  // A temporary file that another program holds is waited for, about a
  // second for the move and as long again for its removal (MoveFileOver).
  // The object is never changed.
  int SaveToFile(const char *path) const;

private:
  void ClearName();

  // Held inline so that a ramp object either exists whole or not at all.
  std::uint16_t ramp[kEntryCount];
  int targetWidth;
  int targetHeight;
  char *name;
  int applyDelay;
};

// Called after every ramp the display accepted, whoever applied it, with the
// context given when it was installed. The resident program installs one to
// know which ramp is in force; a process that installs none pays nothing.
typedef void (*AppliedRampObserver)(void *context, const GammaRamp &applied);
// Replaces the observer; a null observer removes it.
void SetAppliedRampObserver(AppliedRampObserver observer, void *context);

// 1 when every monitor of the desktop shows what it should
// (DisplayShowsRamp): `applied` on those that follow, their own ramp on
// those with a file of their own, read through each monitor's DC, or
// through the desktop's DC when no monitor is listed. Monitors left out, in
// HDR or without gamma support are not read; with a null `applied`, nor are
// those that follow. 0 when any monitor read shows another ramp or cannot be
// read.
int ScreenShowsRamp(const std::uint16_t *applied);

// Called by SaveToFile with the path of its temporary file once that is
// written and closed, just before it is moved over the target. Only tests
// install one: they hold the file there as a virus scanner would, which no
// test can make a real scanner do on time. Null removes it.
typedef void (*TemporaryFileObserver)(void *context, const char *temporaryPath);
void SetTemporaryFileObserver(TemporaryFileObserver observer, void *context);

// 1 when the display shows what a reset leaves where its ramps should be:
// at least one monitor read (as ScreenShowsRamp) shows the identity ramp
// (within one level, as DisplayShowsRamp) and not its ramp, and every other
// one shows one of the two. 0 when every monitor shows its ramp, or any
// shows a third ramp, which a program set on purpose, or cannot be read.
int ScreenShowsReset(const std::uint16_t *applied);

// The monitor plan. Every ramp, whichever road it comes by, goes by one plan
// of the monitors, made when the devices are listed: which follow the ramp
// of the roads, which have a file of their own, which are left out, which
// are spared for HDR, which have no gamma support. Apply keeps it between
// calls, with a DC per monitor, and makes it again only after this call or
// when a listed monitor has gone. Call it when the display settings change
// (a monitor may have come) and when the user's choices change.
void ForgetDisplayDevices();

// Gives a monitor's stored choice (MonitorChoice) by its key
// (MonitorInfo::key), and for kMonitorOwnFile the file's path in path
// (pathSize bytes). The resident program installs one that reads the
// registry; without one every monitor follows.
typedef int (*MonitorChoiceSource)(void *context, const char *key, char *path, int pathSize);
void SetMonitorChoiceSource(MonitorChoiceSource source, void *context);

// Puts each monitor with a file of its own back on its own ramp, each
// checked as Apply checks; the others are left alone. 1 when none refused.
// When outcome is given it says what each of those monitors did.
int ApplyOwnRamps(ApplyOutcome *outcome = nullptr);

// The plan as it stands (made now if it was forgotten): how many monitors,
// and each one's description and state, index 0 to the count - 1.
int PlannedMonitorCount();
const MonitorInfo &PlannedMonitor(int index);
MonitorPlanState PlannedMonitorState(int index);

// 1 when a ramp read back from the display shows the ramp that was applied.
// A display keeps fewer bits than it is given (the X server keeps 8 per
// entry, and a driver may round to nearest rather than cut), so the two are
// compared at 8 bits, one level apart allowed, per entry.
int DisplayShowsRamp(const std::uint16_t *displayed, const std::uint16_t *applied);

#endif
