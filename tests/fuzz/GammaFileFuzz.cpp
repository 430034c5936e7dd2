// Feeds arbitrary bytes to the gamma file reader. Whatever it accepts must
// save and load back to the same object.
#include "gamma/GammaRamp.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string TemporaryPath(const char *leaf) {
  return "/tmp/gamma_file_fuzz." + std::to_string(getpid()) + "." + leaf;
}

bool WriteBytes(const std::string &path, const std::uint8_t *data, std::size_t size) {
  std::FILE *file = std::fopen(path.c_str(), "wb");
  if (!file)
    return false;
  bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

// A name is written up to its first NUL, so an empty name comes back as none.
bool SameName(const char *a, const char *b) {
  return std::strcmp(a ? a : "", b ? b : "") == 0;
}

bool Same(const GammaRamp &a, const GammaRamp &b) {
  return a.GetTargetWidth() == b.GetTargetWidth() && a.GetTargetHeight() == b.GetTargetHeight() &&
         a.GetApplyDelay() == b.GetApplyDelay() && SameName(a.GetName(), b.GetName()) &&
         std::memcmp(a.Entries(), b.Entries(), 2 * GammaRamp::kEntryCount) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const std::string input = TemporaryPath("in.qlr");
  static const std::string copy = TemporaryPath("copy.qlr");
  if (!WriteBytes(input, data, size))
    std::abort();
  GammaRamp loaded;
  if (!loaded.LoadFromFile(input.c_str()))
    return 0;
  GammaRamp reloaded;
  if (!loaded.SaveToFile(copy.c_str()) || !reloaded.LoadFromFile(copy.c_str()) ||
      !Same(loaded, reloaded))
    std::abort();
  return 0;
}
