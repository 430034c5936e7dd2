#include "ui/DialogPlacement.h"

#include <algorithm>

namespace {

int KeepInside(int position, int size, int low, int high) {
  return std::max(std::min(position, high - std::max(size, 0)), low);
}

} // namespace

void KeepInsideArea(int *x, int *y, int width, int height, const PlacementArea &area) {
  *x = KeepInside(*x, width, area.left, area.right);
  *y = KeepInside(*y, height, area.top, area.bottom);
}
