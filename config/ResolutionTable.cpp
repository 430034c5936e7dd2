#include "config/ResolutionTable.h"

#include "gamma/GammaRamp.h"

#include <cstdlib>
#include <cstring>

namespace {

char *CopyText(const char *text) {
  std::size_t size = std::strlen(text) + 1;
  char *copy = static_cast<char *>(std::malloc(size));
  if (copy)
    std::memcpy(copy, text, size);
  return copy;
}

void Describe(ResolutionEntry &entry, GammaRamp &workRamp, const char *path, int width,
              int height) {
  if (!workRamp.LoadFromFile(path))
    return;
  entry.path = CopyText(path);
  if (!entry.path)
    return;
  if (width >= 1 && height >= 1) {
    entry.width = width;
    entry.height = height;
  } else {
    entry.width = workRamp.GetTargetWidth();
    entry.height = workRamp.GetTargetHeight();
  }
}

} // namespace

void AppendEntry(ResolutionTable &table, GammaRamp *workRamp, const char *path,
                 ResolutionEntry *&tail, int width, int height) {
  ResolutionEntry *entry = static_cast<ResolutionEntry *>(std::calloc(1, sizeof(ResolutionEntry)));
  if (!entry)
    return;
  if (tail)
    tail->next = entry;
  else
    table.head = entry;
  tail = entry;
  if (workRamp && path)
    Describe(*entry, *workRamp, path, width, height);
  ++table.count;
}

int NamesResolution(const ResolutionTable &table, int width, int height) {
  int examined = 0;
  for (const ResolutionEntry *entry = table.head; entry && examined < table.count;
       entry = entry->next, ++examined)
    if (entry->path && entry->width == width && entry->height == height)
      return 1;
  return 0;
}

void FreeResolutionEntries(ResolutionTable &table) {
  ResolutionEntry *entry = table.head;
  while (entry) {
    ResolutionEntry *next = entry->next;
    std::free(entry->path);
    std::free(entry);
    entry = next;
  }
  table.head = nullptr;
}
