#ifndef QUILLORA_GAMMA_MOVEFILEOVER_H
#define QUILLORA_GAMMA_MOVEFILEOVER_H

// Renames the file `from` to `to`, replacing a file `to` that exists, in one
// step of the file system: a reader sees either the old or the new file.
// Both paths must lie in the same folder. 1 on success; on 0 both files are
// as they were.
//
// On Windows a virus scanner or an indexer opens a file just written, often
// without letting others delete or rename it, and closes it a moment later.
// While a file is held so (the sharing violation or access denied that
// Windows reports), this and RemoveFile try again for about a second; any
// other failure returns at once.
int MoveFileOver(const char *from, const char *to);

// Deletes the file. 1 on success; 0 when it could not be deleted, also after
// another program held it for longer than the retries wait.
int RemoveFile(const char *path);

#endif
