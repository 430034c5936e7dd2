#include "tests/support/GammaFileReader.h"

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
