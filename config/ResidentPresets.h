#ifndef QUILLORA_CONFIG_RESIDENTPRESETS_H
#define QUILLORA_CONFIG_RESIDENTPRESETS_H

// The ten hot-key presets and the hook flag, kept under
// HKEY_CURRENT_USER\Software\Tessivo\Quil as REG_DWORD values "Gamma0".."Gamma9"
// (gamma x 10000), "Adjust0".."Adjust9" and "HookEnabled".
struct ResidentPresets {
  static const int kCount = 10;
  double gamma[kCount];   // preset i is selected by hook command i
  int darkLevel[kCount];  // 0..64
  int hookEnabled;        // nonzero: the resident start-up starts the hook
};

// Fills every field: gamma 1.0, 1.1, ..., 1.9, dark level 0 and the hook on,
// replaced by what the registry holds. A gamma below 0.5 falls back to its
// default, a dark level above 64 (compared unsigned) becomes 64. Never
// creates the key; a missing key or value keeps the default silently.
void LoadResidentPresets(ResidentPresets &presets);

// Stands for the open registry key while the presets are decoded: 1 with the
// value's data in *value (a value of any type with at most 4 bytes of data,
// zero-extended), 0 when the value is missing, longer or unreadable.
typedef int (*ReadStoredValue)(void *source, const char *name, int *value);

// The decoding behind LoadResidentPresets, apart from the registry: the
// defaults, then every value read delivers, within the limits above. A null
// read stands for a key that could not be opened: the defaults alone.
void DecodeResidentPresets(ResidentPresets &presets, ReadStoredValue read, void *source);

// Creates the key if needed and writes Gamma0, Adjust0, ..., Gamma9,
// Adjust9, HookEnabled in that order, gamma as gamma x 10000 truncated
// toward zero. Returns 1 when every value was written; 0 when the key could
// not be created (nothing is written then) or a write failed (the other
// values are still written), so that the caller can tell the user.
int SaveResidentPresets(const ResidentPresets &presets);

// "KeepGamma" in the same key: whether the resident program puts its ramp
// back after the system resets the display. 1 unless the value is there and
// 0. Only read; the program never writes it, so that existing settings
// stay as they are.
int LoadKeepGamma();

#endif
