#ifndef QUILLORA_UI_PRESETEDITING_H
#define QUILLORA_UI_PRESETEDITING_H

// The numbers and texts of the resident gamma settings dialog that need no
// window: the dark-level table of its combo box, the gamma as slider
// position (gamma x 10000) and the lines of its preset list.

#include <cstddef>

// The nine dark levels of the combo box, index 0 ("no correction") first.
const int kDarkLevelChoices = 9;

// The level of a combo index; 0 for an index outside 1..8, -1 (nothing
// chosen) included.
int LevelFromComboIndex(int index);
// The combo index of a level; 0 for a level that is not in the table.
int ComboIndexFromLevel(int level);

// Slider and spinner positions are gamma x 10000, truncated toward zero.
// A gamma whose position lies beyond the 32-bit range (none the registry
// can hold) stops at the range's ends; NaN gives 0.
int PositionFromGamma(double gamma);
double GammaFromPosition(int position);

// "i > g.gggggg": the list line of preset i. Always terminated; text that
// does not fit is cut. Returns the buffer.
char *FormatPresetLine(char *buffer, std::size_t size, int index, double gamma);
// The gamma as the dialog's gamma text shows it, with six decimals.
char *FormatGammaText(char *buffer, std::size_t size, double gamma);

#endif
