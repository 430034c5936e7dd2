#ifndef QUILLORA_TESTS_SUPPORT_GAMMAFILEREADER_H
#define QUILLORA_TESTS_SUPPORT_GAMMAFILEREADER_H

#include "tests/support/GammaFileWriter.h"

#include <string>

// Reads a gamma file that the program wrote, byte by byte and independently
// of the program's own reader. Strict: false unless the file is the magic,
// the header, the name, the 768 entries and the apply delay, and nothing
// more.
bool ReadGammaFile(const std::string &path, GammaFileContent &content);

#endif
