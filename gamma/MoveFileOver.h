#ifndef QUILLORA_GAMMA_MOVEFILEOVER_H
#define QUILLORA_GAMMA_MOVEFILEOVER_H

// Renames the file `from` to `to`, replacing a file `to` that exists, in one
// step of the file system: a reader sees either the old or the new file.
// Both paths must lie in the same folder. 1 on success; on 0 both files are
// as they were.
int MoveFileOver(const char *from, const char *to);

#endif
