#include "tests/support/GammaFileReader.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::int32_t GetInt32(const std::vector<unsigned char> &bytes, std::size_t at) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i)
    bits = bits << 8 | bytes[at + static_cast<std::size_t>(i)];
  return static_cast<std::int32_t>(bits);
}

#ifdef _WIN32
// Opened with delete sharing: Windows refuses to replace a file that someone
// holds open without it, so a test polling for a saved file would otherwise
// make the very save it waits for fail now and then.
bool ReadFileBytes(const std::string &path, std::vector<unsigned char> &bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  unsigned char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.insert(bytes.end(), buffer, buffer + got);
  CloseHandle(file);
  return true;
}
#else
bool ReadFileBytes(const std::string &path, std::vector<unsigned char> &bytes) {
  std::FILE *file = std::fopen(path.c_str(), "rb");
  if (!file)
    return false;
  unsigned char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + got);
  std::fclose(file);
  return true;
}
#endif

} // namespace

bool ReadGammaFile(const std::string &path, GammaFileContent &content) {
  std::vector<unsigned char> bytes;
  const std::size_t header = 20, rampBytes = 1536;
  if (!ReadFileBytes(path, bytes) || bytes.size() < header ||
      std::memcmp(bytes.data(), "QLRAMP01", 8) != 0)
    return false;
  std::int32_t nameLength = GetInt32(bytes, 16);
  std::size_t name = nameLength > 0 ? static_cast<std::size_t>(nameLength) : 0;
  if (bytes.size() != header + name + rampBytes + 4)
    return false;
  content.width = GetInt32(bytes, 8);
  content.height = GetInt32(bytes, 12);
  content.name.assign(bytes.begin() + header, bytes.begin() + static_cast<long>(header + name));
  content.ramp.resize(768);
  for (std::size_t i = 0; i < 768; ++i)
    content.ramp[i] = static_cast<std::uint16_t>(bytes[header + name + 2 * i] |
                                                 bytes[header + name + 2 * i + 1] << 8);
  content.applyDelay = GetInt32(bytes, header + name + rampBytes);
  return true;
}
