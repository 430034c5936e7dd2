#ifndef QUILLORA_TESTS_FUZZ_SCRATCHFOLDER_H
#define QUILLORA_TESTS_FUZZ_SCRATCHFOLDER_H

#include <string>
#include <sys/stat.h>
#include <unistd.h>

// A folder of this process for the files the readers are given. In memory
// where there is such a file system: every input is written as a file, and
// a disk with discard on makes each rewrite cost milliseconds.
inline std::string ScratchFolder(const char *target) {
  struct stat status;
  const char *base = stat("/dev/shm", &status) == 0 && S_ISDIR(status.st_mode) ? "/dev/shm" : "/tmp";
  std::string folder = std::string(base) + "/" + target + "." + std::to_string(getpid());
  mkdir(folder.c_str(), 0700);
  return folder;
}

#endif
