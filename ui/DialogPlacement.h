#ifndef QUILLORA_UI_DIALOGPLACEMENT_H
#define QUILLORA_UI_DIALOGPLACEMENT_H

// Where a dialog opened at the mouse cursor goes, apart from Windows: the
// arithmetic builds natively too. Coordinates are the virtual screen's, so a
// monitor left of or above the primary one has negative ones.

// A rectangle as Windows gives it: right and bottom lie just outside.
struct PlacementArea {
  int left;
  int top;
  int right;
  int bottom;
};

// The top-left corner for a window of width x height wanted at (*x, *y),
// moved the least that keeps it inside the area: first its right and bottom
// edges are pulled in, then its left and top edges, so that a window larger
// than the area starts at the area's left or top edge and its title bar and
// first controls stay on it. Sizes of 0 or below count as 0. The area's
// right and bottom less the size must fit in an int, as they do for any
// screen and window Windows gives.
void KeepInsideArea(int *x, int *y, int width, int height, const PlacementArea &area);

#endif
