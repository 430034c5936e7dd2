#ifndef QUILLORA_GAMMA_FILENAME_H
#define QUILLORA_GAMMA_FILENAME_H

// The file name part of an ANSI path: what follows its last "\", "/" or
// ":". Stepped character by character, so that the second byte of a
// double-byte character (0x5C in "表" or "ソ" in CP932) is never taken for
// a separator.
const char *FileNameOf(const char *path);

#endif
