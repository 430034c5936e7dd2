// Gamma files (.qlr), all integers little-endian, no padding:
//
//   offset    size   field
//   0         8      magic "QLRAMP01", no terminator
//   8         4      target width (0 = any resolution)
//   12        4      target height
//   16        4      name length N (0 or below = no name)
//   20        N      name bytes, no terminator (only when N > 0)
//   20 + N    1536   ramp: 768 16-bit entries, red, green, blue
//   1556 + N  4      apply delay in milliseconds
//
// Files that end right after the ramp are accepted with apply delay 0.

#include "gamma/GammaRamp.h"

#include "gamma/MoveFileOver.h"
#include "gamma/NewFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

const char kMagic[8] = {'Q', 'L', 'R', 'A', 'M', 'P', '0', '1'};
const int kRampBytes = 2 * GammaRamp::kEntryCount;
// The new file is written beside the old one and renamed over it only when
// complete, so that a failed save never leaves a cut-off gamma file behind.
// Its name is no longer than the target's own: a path that fits where the
// target's fits (a 260-byte buffer, say) fits for the temporary file too.
const std::size_t kLongestTemporaryName = 8;
const int kTemporaryNameTries = 64;

class StdioFile {
public:
  StdioFile(const char *path, const char *mode) : file(std::fopen(path, mode)) {}
  explicit StdioFile(std::FILE *opened) : file(opened) {}
  virtual ~StdioFile() { Close(); }
  StdioFile(const StdioFile &) = delete;
  StdioFile &operator=(const StdioFile &) = delete;

  bool IsOpen() const { return file != nullptr; }
  std::size_t ReadSome(void *buffer, std::size_t size) { return std::fread(buffer, 1, size, file); }
  bool Read(void *buffer, std::size_t size) { return ReadSome(buffer, size) == size; }
  bool Write(const std::vector<unsigned char> &bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  // Bytes between the read position and the end, or -1 when unknown.
  long BytesLeft() {
    long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0)
      return -1;
    long end = std::ftell(file);
    if (std::fseek(file, position, SEEK_SET) != 0 || end < position)
      return -1;
    return end - position;
  }
  // True when the file was closed with all its buffered data written.
  bool Close() {
    if (!file)
      return true;
    bool closed = std::fclose(file) == 0;
    file = nullptr;
    return closed;
  }

private:
  std::FILE *file;
};

std::int32_t DecodeInt32(const unsigned char *bytes) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i)
    bits = bits << 8 | bytes[i];
  return static_cast<std::int32_t>(bits);
}

void EncodeInt32(std::vector<unsigned char> &bytes, std::int32_t value) {
  std::uint32_t bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8)
    bytes.push_back(static_cast<unsigned char>(bits >> shift));
}

bool SameName(const std::string &a, const std::string &b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The try-th candidate for the temporary file: "~" and hexadecimal digits,
// as long as the target's name allows, in the target's folder. Empty when
// there is none.
std::string TemporaryPath(const std::string &path, int attempt) {
  const std::size_t folderEnd = path.find_last_of("/\\:") + 1; // 0 when none
  const std::string name = path.substr(folderEnd);
  const std::size_t length = std::min(name.size(), kLongestTemporaryName);
  if (length == 0)
    return std::string();
  char candidate[kLongestTemporaryName + 1] = "~";
  if (length == 1 && attempt > 0)
    return std::string();
  if (length > 1 &&
      std::snprintf(candidate, sizeof candidate, "~%0*x", static_cast<int>(length - 1),
                    static_cast<unsigned>(attempt)) != static_cast<int>(length))
    return std::string();
  if (SameName(candidate, name))
    return std::string();
  return path.substr(0, folderEnd) + candidate;
}

// Creates a temporary file that did not exist before, so that no file of
// anyone else is ever overwritten or blocks the save.
std::FILE *CreateTemporaryFile(const std::string &path, std::string &temporary) {
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    temporary = TemporaryPath(path, attempt);
    if (temporary.empty())
      continue;
    int exists = 0;
    if (std::FILE *file = CreateNewFile(temporary.c_str(), &exists))
      return file;
    if (!exists)
      return nullptr;
  }
  return nullptr;
}

} // namespace

int GammaRamp::LoadFromFile(const char *path) {
  StdioFile file(path, "rb");
  ClearName();
  if (!file.IsOpen())
    return 0;
  unsigned char magic[sizeof kMagic];
  if (!file.Read(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0)
    return 0;

  // Everything is read into locals first: a file that turns out to be cut
  // off must not leave the object half old, half new.
  unsigned char header[12];
  if (!file.Read(header, sizeof header))
    return 0;
  const std::int32_t width = DecodeInt32(header);
  const std::int32_t height = DecodeInt32(header + 4);
  const std::int32_t nameLength = DecodeInt32(header + 8);

  std::unique_ptr<char[]> loadedName;
  if (nameLength > 0) {
    // A length the file cannot hold is a damaged file, not a request for a
    // huge buffer.
    const long long available = file.BytesLeft();
    if (available < 0 || nameLength > available - kRampBytes)
      return 0;
    loadedName.reset(new (std::nothrow) char[static_cast<std::size_t>(nameLength) + 1]);
    if (!loadedName || !file.Read(loadedName.get(), static_cast<std::size_t>(nameLength)))
      return 0;
    loadedName[nameLength] = '\0';
  }

  unsigned char rampBytes[kRampBytes];
  if (!file.Read(rampBytes, sizeof rampBytes))
    return 0;

  unsigned char delayBytes[4];
  const std::size_t delayRead = file.ReadSome(delayBytes, sizeof delayBytes);
  if (delayRead != 0 && delayRead != sizeof delayBytes)
    return 0;

  targetWidth = width;
  targetHeight = height;
  name = loadedName.release();
  for (int i = 0; i < kEntryCount; ++i)
    ramp[i] = static_cast<std::uint16_t>(rampBytes[2 * i] | rampBytes[2 * i + 1] << 8);
  applyDelay = delayRead == 0 ? 0 : DecodeInt32(delayBytes);
  return 1;
}

int GammaRamp::SaveToFile(const char *path) const {
  std::vector<unsigned char> bytes(kMagic, kMagic + sizeof kMagic);
  EncodeInt32(bytes, targetWidth);
  EncodeInt32(bytes, targetHeight);
  // Only up to the first NUL: a name loaded with an empty first byte is
  // written as no name.
  const std::size_t nameLength = name ? std::strlen(name) : 0;
  EncodeInt32(bytes, static_cast<std::int32_t>(nameLength));
  if (nameLength > 0)
    bytes.insert(bytes.end(), name, name + nameLength);
  for (std::uint16_t entry : ramp) {
    bytes.push_back(static_cast<unsigned char>(entry & 0xFF));
    bytes.push_back(static_cast<unsigned char>(entry >> 8));
  }
  EncodeInt32(bytes, applyDelay);

  std::string temporary;
  StdioFile file(CreateTemporaryFile(path, temporary));
  if (!file.IsOpen())
    return 0;
  const bool written = file.Write(bytes);
  if (file.Close() && written && MoveFileOver(temporary.c_str(), path))
    return 1;
  std::remove(temporary.c_str());
  return 0;
}
