// Feeds arbitrary bytes to the gamma file reader. A load either takes the
// file's own bytes, exactly where the layout puts them, or leaves the ramp
// as it was (only the name goes); whatever loads saves and loads back the
// same.
#include "gamma/GammaRamp.h"

#include "ScratchFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kMagic[] = "QLRAMP01";
const long kRampBytes = 2 * GammaRamp::kEntryCount;

std::string TemporaryPath(const char *leaf) {
  static const std::string folder = ScratchFolder("gamma_file_fuzz");
  return folder + "/" + leaf;
}

void Require(bool holds, const char *what) {
  if (!holds) {
    std::fprintf(stderr, "gamma_file_fuzz: %s\n", what);
    std::abort();
  }
}

bool WriteBytes(const std::string &path, const std::uint8_t *data, std::size_t size) {
  std::FILE *file = std::fopen(path.c_str(), "wb");
  if (!file)
    return false;
  bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

std::int32_t Int32At(const std::uint8_t *bytes) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) | bytes[1] << 8 |
                                   bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
}

// What a complete file holds, read straight from its bytes.
struct Layout {
  bool complete;
  std::int32_t width, height, nameLength;
  long rampOffset;
  std::int32_t delay;
};

Layout ReadLayout(const std::uint8_t *data, std::size_t size) {
  Layout layout = {};
  const long length = static_cast<long>(size);
  if (length < 20 || std::memcmp(data, kMagic, 8) != 0)
    return layout;
  layout.width = Int32At(data + 8);
  layout.height = Int32At(data + 12);
  layout.nameLength = Int32At(data + 16);
  layout.rampOffset = 20L + (layout.nameLength > 0 ? layout.nameLength : 0);
  const long afterRamp = length - (layout.rampOffset + kRampBytes);
  // The delay is all there or not at all; bytes after it do not matter.
  layout.complete = afterRamp == 0 || afterRamp >= 4;
  if (afterRamp >= 4)
    layout.delay = Int32At(data + layout.rampOffset + kRampBytes);
  return layout;
}

// A state no gamma file is likely to produce, to tell "unchanged" apart.
// Computed once: the curve's powers would cost more than the load itself.
const GammaRamp &Marker() {
  static GammaRamp *marker = [] {
    GammaRamp *ramp = new GammaRamp;
    ramp->SetCurve(1.7, 13);
    ramp->SetTargetSize(-123, 4567);
    ramp->SetApplyDelay(-89);
    return ramp;
  }();
  return *marker;
}

void FillMarker(GammaRamp &ramp) {
  std::memcpy(ramp.Entries(), Marker().Entries(), kRampBytes);
  ramp.SetTargetSize(Marker().GetTargetWidth(), Marker().GetTargetHeight());
  ramp.SetApplyDelay(Marker().GetApplyDelay());
}

void RequireMarker(const GammaRamp &ramp) {
  const GammaRamp &marker = Marker();
  Require(std::memcmp(ramp.Entries(), marker.Entries(), kRampBytes) == 0 &&
              ramp.GetTargetWidth() == marker.GetTargetWidth() &&
              ramp.GetTargetHeight() == marker.GetTargetHeight() &&
              ramp.GetApplyDelay() == marker.GetApplyDelay(),
          "a refused file changed the ramp");
  Require(ramp.GetName() == nullptr, "a refused file left a name");
}

void RequireFileContent(const GammaRamp &ramp, const Layout &layout, const std::uint8_t *data) {
  Require(ramp.GetTargetWidth() == layout.width && ramp.GetTargetHeight() == layout.height,
          "target size is not the file's");
  Require(ramp.GetApplyDelay() == layout.delay, "apply delay is not the file's");
  const std::uint8_t *rampBytes = data + layout.rampOffset;
  for (int i = 0; i < GammaRamp::kEntryCount; ++i)
    Require(ramp.Entries()[i] == (rampBytes[2 * i] | rampBytes[2 * i + 1] << 8),
            "a ramp entry is not the file's");
  if (layout.nameLength > 0) {
    Require(ramp.GetName() != nullptr, "the name is missing");
    Require(std::memcmp(ramp.GetName(), data + 20, static_cast<std::size_t>(layout.nameLength)) ==
                    0 &&
                ramp.GetName()[layout.nameLength] == '\0',
            "the name is not the file's");
  } else {
    Require(ramp.GetName() == nullptr, "a name without a name length");
  }
}

// A name is written up to its first NUL, so an empty name comes back as none.
bool SameName(const char *a, const char *b) {
  return std::strcmp(a ? a : "", b ? b : "") == 0;
}

bool Same(const GammaRamp &a, const GammaRamp &b) {
  return a.GetTargetWidth() == b.GetTargetWidth() && a.GetTargetHeight() == b.GetTargetHeight() &&
         a.GetApplyDelay() == b.GetApplyDelay() && SameName(a.GetName(), b.GetName()) &&
         std::memcmp(a.Entries(), b.Entries(), kRampBytes) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const std::string input = TemporaryPath("in.qlr");
  static const std::string copy = TemporaryPath("copy.qlr");
  Require(WriteBytes(input, data, size), "cannot write the input file");
  const Layout layout = ReadLayout(data, size);

  GammaRamp loaded;
  FillMarker(loaded);
  const int result = loaded.LoadFromFile(input.c_str());
  Require(result == (layout.complete ? 1 : 0), "accepted a damaged file or refused a whole one");
  if (!result) {
    RequireMarker(loaded);
    return 0;
  }
  RequireFileContent(loaded, layout, data);

  GammaRamp reloaded;
  Require(loaded.SaveToFile(copy.c_str()) && reloaded.LoadFromFile(copy.c_str()) &&
              Same(loaded, reloaded),
          "a loaded ramp does not save and load back the same");
  return 0;
}
