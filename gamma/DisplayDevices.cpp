// The display configuration's types come with Windows 7's headers; the
// calls themselves are looked up at run time, so the program still starts
// on the older systems the rest of the build targets.
#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0601
#define _WIN32_WINNT 0x0601
#include "gamma/DisplayDevices.h"

#include "gamma/AdvancedColor.h"

#include <cstdio>
#include <cstring>

namespace {

// Windows 7 and later; the program starts on Vista too, so they are looked
// up rather than imported.
typedef LONG(WINAPI *BufferSizesCall)(UINT32, UINT32 *, UINT32 *);
typedef LONG(WINAPI *QueryCall)(UINT32, UINT32 *, DISPLAYCONFIG_PATH_INFO *, UINT32 *,
                                DISPLAYCONFIG_MODE_INFO *, DISPLAYCONFIG_TOPOLOGY_ID *);
typedef LONG(WINAPI *DeviceInfoCall)(DISPLAYCONFIG_DEVICE_INFO_HEADER *);

// The SDK's DISPLAYCONFIG_DEVICE_INFO_GET_ADVANCED_COLOR_INFO_2 and its
// reply (Windows 11 24H2), which MinGW's headers do not have yet.
const int kGetAdvancedColorInfo2 = 15;
struct AdvancedColorInfo2 {
  DISPLAYCONFIG_DEVICE_INFO_HEADER header;
  UINT32 bits;
  DISPLAYCONFIG_COLOR_ENCODING colorEncoding;
  UINT32 bitsPerColorChannel;
  UINT32 activeColorMode;
};

const UINT32 kMaxPaths = 16;

// The active paths of the display configuration: source (\\.\DISPLAYn) to
// target (the monitor). Empty where the system has no such call or the
// configuration does not fit.
struct DisplayConfig {
  DeviceInfoCall deviceInfo;
  UINT32 pathCount;
  DISPLAYCONFIG_PATH_INFO paths[kMaxPaths];
  DISPLAYCONFIG_MODE_INFO modes[2 * kMaxPaths];
};

void QueryPaths(DisplayConfig &config) {
  config.pathCount = 0;
  HMODULE user32 = GetModuleHandleA("user32.dll");
  BufferSizesCall sizes = reinterpret_cast<BufferSizesCall>(
      reinterpret_cast<void *>(GetProcAddress(user32, "GetDisplayConfigBufferSizes")));
  QueryCall query = reinterpret_cast<QueryCall>(
      reinterpret_cast<void *>(GetProcAddress(user32, "QueryDisplayConfig")));
  config.deviceInfo = reinterpret_cast<DeviceInfoCall>(
      reinterpret_cast<void *>(GetProcAddress(user32, "DisplayConfigGetDeviceInfo")));
  UINT32 pathCount = 0, modeCount = 0;
  if (!sizes || !query || !config.deviceInfo ||
      sizes(QDC_ONLY_ACTIVE_PATHS, &pathCount, &modeCount) != ERROR_SUCCESS ||
      pathCount > kMaxPaths || modeCount > 2 * kMaxPaths)
    return;
  // A change between the two calls makes the query fail: the fallback
  // serves until the next listing.
  if (query(QDC_ONLY_ACTIVE_PATHS, &pathCount, config.paths, &modeCount, config.modes, nullptr) ==
      ERROR_SUCCESS)
    config.pathCount = pathCount;
}

template <typename Reply>
LONG AskDevice(const DisplayConfig &config, Reply &reply, int type, const LUID &adapter,
               UINT32 id) {
  std::memset(&reply, 0, sizeof reply);
  reply.header.type = static_cast<DISPLAYCONFIG_DEVICE_INFO_TYPE>(type);
  reply.header.size = sizeof reply;
  reply.header.adapterId = adapter;
  reply.header.id = id;
  return config.deviceInfo(&reply.header);
}

// The path whose source is this GDI device, or null.
const DISPLAYCONFIG_PATH_INFO *FindPath(const DisplayConfig &config, const char *device) {
  for (UINT32 i = 0; i < config.pathCount; ++i) {
    DISPLAYCONFIG_SOURCE_DEVICE_NAME source;
    const DISPLAYCONFIG_PATH_SOURCE_INFO &info = config.paths[i].sourceInfo;
    if (AskDevice(config, source, DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME, info.adapterId,
                  info.id) != ERROR_SUCCESS)
      continue;
    char name[CCHDEVICENAME];
    if (WideCharToMultiByte(CP_ACP, 0, source.viewGdiDeviceName, -1, name, sizeof name, nullptr,
                            nullptr) &&
        lstrcmpiA(name, device) == 0)
      return &config.paths[i];
  }
  return nullptr;
}

// The hardware part of a monitor's device path,
// \\?\DISPLAY#DEL40A3#5&2b5e3a3c&0&UID4353#{...} gives DEL40A3: its maker
// and product. The instance part after it may change when the monitor is
// plugged in again, so it is left out. 0 when the path has no such part.
int HardwarePart(const char *devicePath, char *part, int size) {
  const char *start = std::strchr(devicePath, '#');
  const char *end = start ? std::strchr(start + 1, '#') : nullptr;
  if (!end || end == start + 1 || end - start > size)
    return 0;
  lstrcpynA(part, start + 1, static_cast<int>(end - start));
  return 1;
}

// From the display configuration: the maker and product (the device path's
// hardware part, or the EDID codes without a path) tell models apart, and
// the target's id, which stands for the adapter's connector, keeps two of
// one model apart and stays the same across boots.
void DescribeFromTarget(const DisplayConfig &config, const DISPLAYCONFIG_PATH_INFO &path,
                        MonitorInfo &monitor) {
  const DISPLAYCONFIG_PATH_TARGET_INFO &target = path.targetInfo;
  DISPLAYCONFIG_TARGET_DEVICE_NAME name;
  if (AskDevice(config, name, DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME, target.adapterId,
                target.id) != ERROR_SUCCESS)
    return;
  char devicePath[256];
  char hardware[MonitorInfo::kKeySize - 16];
  WideCharToMultiByte(CP_ACP, 0, name.monitorDevicePath, -1, devicePath, sizeof devicePath, nullptr,
                      nullptr);
  if (!HardwarePart(devicePath, hardware, sizeof hardware))
    std::snprintf(hardware, sizeof hardware, "EDID%04X%04X", name.edidManufactureId,
                  name.edidProductCodeId);
  std::snprintf(monitor.key, sizeof monitor.key, "%s_T%X", hardware,
                static_cast<unsigned>(target.id));
  if (name.monitorFriendlyDeviceName[0])
    WideCharToMultiByte(CP_ACP, 0, name.monitorFriendlyDeviceName, -1, monitor.friendlyName,
                        sizeof monitor.friendlyName, nullptr, nullptr);

  AdvancedColorInfo2 info2;
  DISPLAYCONFIG_GET_ADVANCED_COLOR_INFO info;
  AdvancedColorAnswers answers;
  answers.info2Result =
      AskDevice(config, info2, kGetAdvancedColorInfo2, target.adapterId, target.id);
  answers.activeColorMode = info2.activeColorMode;
  answers.infoResult = AskDevice(config, info, DISPLAYCONFIG_DEVICE_INFO_GET_ADVANCED_COLOR_INFO,
                                 target.adapterId, target.id);
  answers.infoBits = info.value;
  monitor.hdr = ShowsHdr(answers);
}

// Where the display configuration cannot say (Vista, a failed query): the
// monitor's interface path and the device's number. The number changes
// across boots, so a choice made under one key is not found under the
// other; the monitor then follows until it is chosen again.
void DescribeFromDevice(MonitorInfo &monitor) {
  DISPLAY_DEVICEA attached;
  attached.cb = sizeof attached;
  char hardware[MonitorInfo::kKeySize - 16] = "Monitor";
  if (EnumDisplayDevicesA(monitor.device, 0, &attached, EDD_GET_DEVICE_INTERFACE_NAME)) {
    HardwarePart(attached.DeviceID, hardware, sizeof hardware);
    lstrcpynA(monitor.friendlyName, attached.DeviceString, sizeof monitor.friendlyName);
  }
  const char *number = monitor.device + std::strlen(monitor.device);
  while (number > monitor.device && number[-1] >= '0' && number[-1] <= '9')
    --number;
  std::snprintf(monitor.key, sizeof monitor.key, "%s_D%s", hardware, number);
}

void Describe(const DisplayConfig &config, const DISPLAY_DEVICEA &device, MonitorInfo &monitor) {
  std::memset(&monitor, 0, sizeof monitor);
  lstrcpynA(monitor.device, device.DeviceName, sizeof monitor.device);
  monitor.primary = (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0;
  DEVMODEA mode;
  mode.dmSize = sizeof mode;
  mode.dmDriverExtra = 0;
  if (EnumDisplaySettingsA(device.DeviceName, ENUM_CURRENT_SETTINGS, &mode)) {
    monitor.width = static_cast<int>(mode.dmPelsWidth);
    monitor.height = static_cast<int>(mode.dmPelsHeight);
  }
  const DISPLAYCONFIG_PATH_INFO *path = FindPath(config, device.DeviceName);
  if (path)
    DescribeFromTarget(config, *path, monitor);
  if (!monitor.key[0])
    DescribeFromDevice(monitor);
  if (!monitor.friendlyName[0])
    lstrcpynA(monitor.friendlyName, device.DeviceName, sizeof monitor.friendlyName);
}

} // namespace

int ListMonitors(MonitorInfo *list, int max) {
  DisplayConfig config;
  QueryPaths(config);
  int count = 0;
  DISPLAY_DEVICEA device;
  device.cb = sizeof device;
  for (DWORD index = 0; count < max && EnumDisplayDevicesA(nullptr, index, &device, 0); ++index) {
    // A mirror driver (a remote-control or capture tool) copies what the
    // monitors show and shows nothing itself; an adapter output without a
    // monitor of the desktop takes no ramp that anyone would see.
    if ((device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) &&
        !(device.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER))
      Describe(config, device, list[count++]);
    device.cb = sizeof device;
  }
  return count;
}
