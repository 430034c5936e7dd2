#include "ui/DialogPlacement.h"

#include <algorithm>

namespace {

// In 64 bits: an area and a size near the int range cannot overflow.
int KeepInside(int position, int size, int low, int high) {
  long long placed =
      std::min<long long>(position, static_cast<long long>(high) - std::max(size, 0));
  return static_cast<int>(std::max<long long>(placed, low));
}

} // namespace

void KeepInsideArea(int *x, int *y, int width, int height, const PlacementArea &area) {
  *x = KeepInside(*x, width, area.left, area.right);
  *y = KeepInside(*y, height, area.top, area.bottom);
}
