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

#include "gamma/FileName.h"
#include "gamma/MoveFileOver.h"
#include "gamma/NewFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

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
  bool Write(const void *bytes, std::size_t size) {
    return std::fwrite(bytes, 1, size, file) == size;
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

void EncodeInt32(unsigned char *bytes, std::int32_t value) {
  std::uint32_t bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<unsigned char>(bits >> 8 * i);
}

bool SameName(const char *a, const char *b) {
  for (; *a && *b; ++a, ++b)
    if (std::tolower(static_cast<unsigned char>(*a)) !=
        std::tolower(static_cast<unsigned char>(*b)))
      return false;
  return *a == *b;
}

// The try-th candidate for the temporary file: "~" and hexadecimal digits,
// as long as the target's name allows, in the target's folder, written to
// temporary (which holds as many bytes as path). False when there is none.
bool TemporaryPath(const char *path, int attempt, char *temporary) {
  const char *name = FileNameOf(path);
  const std::size_t folderLength = static_cast<std::size_t>(name - path);
  const std::size_t length = std::min(std::strlen(name), kLongestTemporaryName);
  if (length == 0)
    return false;
  char candidate[kLongestTemporaryName + 1] = "~";
  if (length == 1 && attempt > 0)
    return false;
  if (length > 1 &&
      std::snprintf(candidate, sizeof candidate, "~%0*x", static_cast<int>(length - 1),
                    static_cast<unsigned>(attempt)) != static_cast<int>(length))
    return false;
  if (SameName(candidate, name))
    return false;
  std::memcpy(temporary, path, folderLength);
  std::memcpy(temporary + folderLength, candidate, length + 1);
  return true;
}

TemporaryFileObserver temporaryFileObserver = nullptr;
void *temporaryFileContext = nullptr;

// Creates a temporary file that did not exist before, so that no file of
// anyone else is ever overwritten or blocks the save.
std::FILE *CreateTemporaryFile(const char *path, char *temporary) {
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    if (!TemporaryPath(path, attempt, temporary))
      continue;
    int exists = 0;
    if (std::FILE *file = CreateNewFile(temporary, &exists))
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
  unsigned char header[sizeof kMagic + 12];
  std::memcpy(header, kMagic, sizeof kMagic);
  EncodeInt32(header + 8, targetWidth);
  EncodeInt32(header + 12, targetHeight);
  // Only up to the first NUL: a name loaded with an empty first byte is
  // written as no name.
  const std::size_t nameLength = name ? std::strlen(name) : 0;
  EncodeInt32(header + 16, static_cast<std::int32_t>(nameLength));
  unsigned char rampBytes[kRampBytes];
  for (int i = 0; i < kEntryCount; ++i) {
    rampBytes[2 * i] = static_cast<unsigned char>(ramp[i] & 0xFF);
    rampBytes[2 * i + 1] = static_cast<unsigned char>(ramp[i] >> 8);
  }
  unsigned char delayBytes[4];
  EncodeInt32(delayBytes, applyDelay);

  // The temporary name is never longer than the target's.
  std::unique_ptr<char[]> temporary(new (std::nothrow) char[std::strlen(path) + 1]);
  if (!temporary)
    return 0;
  StdioFile file(CreateTemporaryFile(path, temporary.get()));
  if (!file.IsOpen())
    return 0;
  const bool written =
      file.Write(header, sizeof header) && (nameLength == 0 || file.Write(name, nameLength)) &&
      file.Write(rampBytes, sizeof rampBytes) && file.Write(delayBytes, sizeof delayBytes);
  const bool closed = file.Close();
  if (closed && written && temporaryFileObserver)
    temporaryFileObserver(temporaryFileContext, temporary.get());
  if (closed && written && MoveFileOver(temporary.get(), path))
    return 1;
  RemoveFile(temporary.get());
  return 0;
}

void SetTemporaryFileObserver(TemporaryFileObserver observer, void *context) {
  temporaryFileObserver = observer;
  temporaryFileContext = context;
}
