#include "pad/model/pad_geometry.h"

#include <algorithm>
#include <cmath>

namespace legend::pad {

PadGeometry::PadGeometry(AreaSize area) noexcept
    : area_{std::max(area.width, 0), std::max(area.height, 0)},
      cellWidth_(area_.width / kGridColumns),
      cellHeight_(area_.height / kGridRows) {}

WindowRect PadGeometry::cellRect(std::int32_t cell) const noexcept {
  const std::int32_t left = cellWidth_ * column(cell);
  const std::int32_t top = cellHeight_ * row(cell);
  return {left, top, left + cellWidth_, top + cellHeight_};
}

DrawPoint PadGeometry::cellTopLeft(std::int32_t cell) const noexcept {
  return {cellWidth_ * column(cell), area_.height - cellHeight_ * row(cell)};
}

std::int32_t PadGeometry::hitTest(WindowPoint point, AreaSize client, std::int32_t scrollPosition,
                                  std::int32_t displayCount) const noexcept {
  if (!WindowRect{0, 0, client.width, client.height}.contains(point) || displayCount < 1) return -1;
  const std::int64_t first = firstVisible(scrollPosition);
  for (std::int32_t cell = 0; cell < kGridCells; ++cell) {
    const std::int64_t position = first + cell;
    // Cells are filled in order, so the first one without a legend ends
    // the grid: nothing after it can be hit either.
    if (position < 0 || position >= displayCount) return -1;
    if (cellRect(cell).contains(point)) return static_cast<std::int32_t>(position);
  }
  return -1;
}

ScrollRange scrollRangeFor(std::int32_t displayCount) noexcept {
  const double rows = std::ceil(static_cast<double>(std::max(displayCount, 0)) / kGridColumns);
  return {ScrollRange::kMinimum, static_cast<std::int32_t>(rows)};
}

}  // namespace legend::pad
