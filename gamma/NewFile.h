#ifndef QUILLORA_GAMMA_NEWFILE_H
#define QUILLORA_GAMMA_NEWFILE_H

#include <cstdio>

// Creates the file for binary writing, only if no file or folder of that
// name exists yet: an existing file is never opened, let alone truncated.
// Null on failure; *exists is then 1 when the name was taken.
std::FILE *CreateNewFile(const char *path, int *exists);

#endif
