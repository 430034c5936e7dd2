#ifndef QUILLORA_CONFIG_CONFIGFILE_H
#define QUILLORA_CONFIG_CONFIGFILE_H

#include "config/ResolutionTable.h"

class GammaRamp;

// Reads "quilcfg.txt" from the current directory, once per resident start.
//
// Resolution lines ("*1024x768 path") and plain lines naming an existing
// file that ends in "qlr" are appended to the table (see AppendEntry),
// after any entries it already holds; workRamp is used to check each file.
// Every "*default path" line that loads replaces baseRamp, gets target size
// 0 x 0 and is put on the screen at once. Lines starting with "*H" are
// reserved and change nothing: the hook follows the registry alone.
//
// When the file cannot be opened, or no default line loaded, baseRamp is
// set to the identity ramp without being applied. A null ramp is left out
// of everything that would use it. Never fails: returns 0 only when the
// screen refused the last default ramp that loaded, so that the caller can
// say so, and 1 otherwise.
int ReadConfigFile(ResolutionTable &table, GammaRamp *baseRamp, GammaRamp *workRamp);

#endif
