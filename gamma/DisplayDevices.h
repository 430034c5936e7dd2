#ifndef QUILLORA_GAMMA_DISPLAYDEVICES_H
#define QUILLORA_GAMMA_DISPLAYDEVICES_H

// The names of the display devices attached to the desktop (\\.\DISPLAY1,
// \\.\DISPLAY2 ...), one per monitor that shows part of it, in the order
// EnumDisplayDevicesA lists them.
class DisplayDevices {
public:
  static const int kMaxDevices = 16;
  static const int kNameSize = 32;

  // Empty until Enumerate.
  DisplayDevices();
  virtual ~DisplayDevices();
  DisplayDevices(const DisplayDevices &) = delete;
  DisplayDevices &operator=(const DisplayDevices &) = delete;

  // Lists the devices afresh and returns how many there are; 0 when none is
  // attached or the system lists none. Devices past kMaxDevices are left out.
  int Enumerate();
  int Count() const { return count; }
  // Index 0 to Count() - 1.
  const char *Name(int index) const { return names[index]; }

private:
  char names[kMaxDevices][kNameSize];
  int count;
};

#endif
