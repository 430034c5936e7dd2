// Decodes the presets from registry values of any type, length and content,
// through the seam that stands for the registry key. The input says, value
// by value, whether it exists, its type and its data. Whatever it says:
//  - a preset gamma is at least 0.5 and is either the stored value x 0.0001
//    or its default 1.0 + 0.1 x i;
//  - a dark level is 0..64: the stored one, or 64 for any other;
//  - the hook flag is the stored value, or 1 when none can be read.
#include "config/ResidentPresets.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

void Require(bool holds, const char *what) {
  if (!holds) {
    std::fprintf(stderr, "resident_presets_fuzz: %s\n", what);
    std::abort();
  }
}

struct StoredValue {
  std::uint32_t type; // REG_DWORD, REG_SZ, REG_BINARY or anything: never asked for
  std::vector<std::uint8_t> data;
};

using FakeKey = std::map<std::string, StoredValue>;

std::vector<std::string> ValueNames() {
  std::vector<std::string> names;
  for (int i = 0; i < ResidentPresets::kCount; ++i) {
    names.push_back("Gamma" + std::to_string(i));
    names.push_back("Adjust" + std::to_string(i));
  }
  names.push_back("HookEnabled");
  return names;
}

// What RegQueryValueExA does with a 4-byte buffer: a value that fits arrives
// whatever its type, a longer one does not arrive at all.
bool Query(const FakeKey &key, const std::string &name, std::int32_t *value) {
  auto found = key.find(name);
  if (found == key.end() || found->second.data.size() > 4)
    return false;
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < found->second.data.size(); ++i)
    bits |= static_cast<std::uint32_t>(found->second.data[i]) << (8 * i);
  *value = static_cast<std::int32_t>(bits);
  return true;
}

int ReadFakeKey(void *source, const char *name, int *value) {
  std::int32_t stored = 0;
  if (!Query(*static_cast<FakeKey *>(source), name, &stored))
    return 0;
  *value = stored;
  return 1;
}

// keyOpened 0: the key could not be opened, so nothing was read at all.
void RequireDecoded(const ResidentPresets &presets, const FakeKey &key, bool keyOpened) {
  for (int i = 0; i < ResidentPresets::kCount; ++i) {
    const double defaultGamma = 1 + 0.1 * i;
    const double gamma = presets.gamma[i];
    Require(std::isfinite(gamma) && gamma >= 0.5, "a preset gamma below 0.5");
    // An unreadable value counts as its stored default, 10000 + 1000 x i.
    std::int32_t stored = 10000 + 1000 * i;
    Query(key, "Gamma" + std::to_string(i), &stored);
    if (keyOpened && stored * 0.0001 >= 0.5)
      Require(gamma == stored * 0.0001, "a valid stored gamma was not taken");
    else
      Require(gamma == defaultGamma, "an unusable gamma did not fall back to its default");

    const int level = presets.darkLevel[i];
    Require(level >= 0 && level <= 64, "a dark level outside 0..64");
    stored = 0;
    Query(key, "Adjust" + std::to_string(i), &stored);
    Require(level == (stored >= 0 && stored <= 64 ? stored : 64),
            "a dark level is neither the stored one nor the limit");
  }
  std::int32_t hook = 0;
  Require(presets.hookEnabled == (Query(key, "HookEnabled", &hook) ? hook : 1),
          "the hook flag is neither the stored value nor 1");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  static const std::vector<std::string> names = ValueNames();
  FakeKey key;
  for (const std::string &name : names) {
    if (!input.ConsumeBool())
      continue;
    StoredValue value;
    value.type = input.ConsumeIntegral<std::uint32_t>();
    value.data = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 8));
    key[name] = value;
  }
  ResidentPresets presets;
  std::memset(&presets, 0xA5, sizeof presets); // nothing may come from here
  DecodeResidentPresets(presets, ReadFakeKey, &key);
  RequireDecoded(presets, key, true);

  // A key that cannot be opened gives the defaults alone.
  std::memset(&presets, 0xA5, sizeof presets);
  DecodeResidentPresets(presets, nullptr, nullptr);
  RequireDecoded(presets, FakeKey(), false);
  return 0;
}
