#ifndef QUILLORA_GAMMA_ADVANCEDCOLOR_H
#define QUILLORA_GAMMA_ADVANCEDCOLOR_H

// What the two advanced-colour queries of DisplayConfigGetDeviceInfo said
// about one monitor. A result is the query's return code (0: answered).
struct AdvancedColorAnswers {
  // DISPLAYCONFIG_DEVICE_INFO_GET_ADVANCED_COLOR_INFO_2 (Windows 11 24H2 and
  // later), and its activeColorMode.
  long info2Result;
  unsigned activeColorMode;
  // DISPLAYCONFIG_DEVICE_INFO_GET_ADVANCED_COLOR_INFO, and its bit field.
  long infoResult;
  unsigned infoBits;
};

// 1 when the monitor shows HDR. The newer query says it outright (active
// colour mode HDR); an SDR monitor under Auto Color Management reports wide
// colour there, not HDR. Where only the older one answers, advanced colour
// enabled means HDR, unless wide colour is merely enforced on an SDR
// monitor. A query that fails (Wine 8 answers ERROR_INVALID_PARAMETER)
// means not HDR.
int ShowsHdr(const AdvancedColorAnswers &answers);

#endif
