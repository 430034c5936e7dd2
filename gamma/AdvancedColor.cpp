#include "gamma/AdvancedColor.h"

namespace {

// From the SDK's wingdi.h: DISPLAYCONFIG_ADVANCED_COLOR_MODE_HDR, and the
// bits advancedColorEnabled and wideColorEnforced of
// DISPLAYCONFIG_GET_ADVANCED_COLOR_INFO.
const unsigned kActiveColorModeHdr = 2;
const unsigned kAdvancedColorEnabled = 1u << 1;
const unsigned kWideColorEnforced = 1u << 2;

} // namespace

int ShowsHdr(const AdvancedColorAnswers &answers) {
  if (answers.info2Result == 0)
    return answers.activeColorMode == kActiveColorModeHdr;
  if (answers.infoResult == 0)
    return (answers.infoBits & kAdvancedColorEnabled) && !(answers.infoBits & kWideColorEnforced);
  return 0;
}
