#ifndef QUILLORA_CONFIG_RESOLUTIONTABLE_H
#define QUILLORA_CONFIG_RESOLUTIONTABLE_H

class GammaRamp;

// Which gamma file belongs to which screen resolution, in the order of the
// configuration file. Consumers take the first entry that matches.
struct ResolutionEntry {
  int width;  // 0 when the entry's file failed to load
  int height; // 0 when the entry's file failed to load
  char *path; // owned copy; null when the file failed to load
  ResolutionEntry *next;
};

struct ResolutionTable {
  ResolutionEntry *head;
  // Entries appended so far, failed ones included. Only AppendEntry
  // changes it; freeing the entries leaves it as it is.
  int count;
};

// Appends an entry after tail (as the head when tail is null) and makes it
// the new tail. Loads path into workRamp to check it: on success the entry
// keeps a copy of path and width x height, or the file's own resolution when
// either is below 1; on failure, or without a workRamp, it stays 0 x 0
// without a path. count grows by one in both cases. Only when no memory is
// left for the entry itself is nothing appended.
void AppendEntry(ResolutionTable &table, GammaRamp *workRamp, const char *path,
                 ResolutionEntry *&tail, int width, int height);

// 1 when an entry whose file loaded is for width x height: that resolution
// has a ramp of its own. Looks at no more than count entries.
int NamesResolution(const ResolutionTable &table, int width, int height);

// Frees every entry and its path and empties the list; count stays.
void FreeResolutionEntries(ResolutionTable &table);

#endif
