// Feeds arbitrary bytes to the reader of "quilcfg.txt" as a whole file, in a
// folder that holds a few gamma files (good, refused and odd) for its lines
// to name. What must hold whatever the file says:
//  - the table's count is the length of its list, and no more than the
//    pieces the file is read in;
//  - an entry has a path exactly when its file loads, and then the line's
//    size or the file's own; an entry without a path is 0 x 0;
//  - every ramp put on the screen is one of the good files' ramps, and the
//    base ramp is the last of them, or the identity ramp when none was.
#include "config/ConfigFile.h"
#include "config/ConfigLine.h"
#include "config/ResolutionTable.h"
#include "gamma/GammaRamp.h"

#include "FgetsPieces.h"
#include "ScratchFolder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

void Require(bool holds, const char *what) {
  if (!holds) {
    std::fprintf(stderr, "config_file_fuzz: %s\n", what);
    std::abort();
  }
}

// The display, as far as this reader can reach it.
std::vector<std::vector<std::uint16_t>> applied;

std::vector<std::uint16_t> EntriesOf(const GammaRamp &ramp) {
  return std::vector<std::uint16_t>(ramp.Entries(), ramp.Entries() + GammaRamp::kEntryCount);
}

struct GoodFile {
  const char *name;
  int width, height, delay;
  double gamma;
};

// Names the corpus uses; "B.QLR" for the suffix in upper case, "zero.qlr"
// for a file tied to no resolution.
const GoodFile kGoodFiles[] = {
    {"a.qlr", 800, 600, 0, 1.3},
    {"B.QLR", 1024, 768, 2000, 0.8},
    {"zero.qlr", 0, 0, 0, 2.2},
    {"n\xe6\x97\xa5.qlr", 640, 480, 500, 1.6},
};

void WriteFile(const char *name, const char *bytes, std::size_t size) {
  std::FILE *file = std::fopen(name, "wb");
  Require(file && (size == 0 || std::fwrite(bytes, 1, size, file) == size) &&
              std::fclose(file) == 0,
          "cannot write a fixture file");
}

void MakeFixtureFolder() {
  const std::string folder = ScratchFolder("config_file_fuzz");
  Require(chdir(folder.c_str()) == 0, "cannot enter the fixture folder");
  for (const GoodFile &good : kGoodFiles) {
    GammaRamp ramp;
    ramp.SetCurve(good.gamma, 0);
    ramp.SetTargetSize(good.width, good.height);
    ramp.SetApplyDelay(good.delay);
    Require(ramp.SaveToFile(good.name), "cannot write a gamma file");
  }
  WriteFile("bad.qlr", "QLRAMP02", 8);
  WriteFile("short.qlr", "QLRAMP01\x20\x03\x00\x00", 12);
  WriteFile("empty.qlr", "", 0);
  mkdir("dir.qlr", 0700);
}

// Computed once: the curve's powers would cost more than reading the file.
const std::vector<std::vector<std::uint16_t>> &GoodRamps() {
  static const std::vector<std::vector<std::uint16_t>> *ramps = [] {
    auto *list = new std::vector<std::vector<std::uint16_t>>;
    for (const GoodFile &good : kGoodFiles) {
      GammaRamp ramp;
      ramp.SetCurve(good.gamma, 0);
      list->push_back(EntriesOf(ramp));
    }
    return list;
  }();
  return *ramps;
}

bool IsGoodRamp(const std::vector<std::uint16_t> &entries) {
  for (const std::vector<std::uint16_t> &good : GoodRamps())
    if (entries == good)
      return true;
  return false;
}

// What loading a path gives: whether it loads, and the size the file holds.
// The fixture files never change, so each path is loaded once per process.
struct Probe {
  int loads, width, height;
};

const Probe &ProbePath(const char *path) {
  static std::map<std::string, Probe> probes;
  auto known = probes.find(path);
  if (known != probes.end())
    return known->second;
  GammaRamp ramp;
  Probe probe = {ramp.LoadFromFile(path), ramp.GetTargetWidth(), ramp.GetTargetHeight()};
  return probes.emplace(path, probe).first->second;
}

void RequireEntry(const ResolutionEntry &entry) {
  if (!entry.path) {
    Require(entry.width == 0 && entry.height == 0, "an entry without a file has a size");
    return;
  }
  const Probe &probe = ProbePath(entry.path);
  Require(probe.loads == 1, "an entry names a file that does not load");
  bool ownSize = entry.width == probe.width && entry.height == probe.height;
  bool lineSize = entry.width >= 1 && entry.height >= 1;
  Require(ownSize || lineSize, "an entry's size is neither the line's nor the file's");
}

void RequireTable(const ResolutionTable &table, int pieces) {
  int length = 0;
  for (const ResolutionEntry *entry = table.head; entry; entry = entry->next) {
    Require(++length <= table.count, "the list is longer than its count");
    RequireEntry(*entry);
  }
  Require(length == table.count, "count differs from the list");
  Require(table.count <= pieces, "more entries than lines");
}

void RequireBaseRamp(const GammaRamp &baseRamp) {
  for (const std::vector<std::uint16_t> &ramp : applied)
    Require(IsGoodRamp(ramp), "a ramp on the screen is no good file's");
  if (applied.empty()) {
    for (int i = 0; i < GammaRamp::kEntryCount; ++i)
      Require(baseRamp.Entries()[i] == (i % 256) * 256 + 255, "no default loaded, yet no identity");
    return;
  }
  Require(EntriesOf(baseRamp) == applied.back(), "the base ramp is not the last one applied");
  Require(baseRamp.GetTargetWidth() == 0 && baseRamp.GetTargetHeight() == 0,
          "the base ramp keeps a resolution");
}

} // namespace

int GammaRamp::Apply(ApplyOutcome *) const {
  applied.push_back(EntriesOf(*this));
  return 1;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  MakeFixtureFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  WriteFile("quilcfg.txt", reinterpret_cast<const char *>(data), size);
  applied.clear();
  ResolutionTable table = {nullptr, 0};
  GammaRamp baseRamp;
  GammaRamp workRamp;
  // Neither the identity ramp nor a good file's: any value will do.
  std::fill(baseRamp.Entries(), baseRamp.Entries() + GammaRamp::kEntryCount, 12345);
  ReadConfigFile(table, &baseRamp, &workRamp);
  RequireTable(table, CountPieces(data, size));
  RequireBaseRamp(baseRamp);
  FreeResolutionEntries(table);
  Require(table.head == nullptr, "freeing left entries");
  return 0;
}
