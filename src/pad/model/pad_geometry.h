#pragma once
// Where the pad's 3 x 6 cells lie on its drawing area, which display
// positions the scroll position brings onto them, and which cell a pointer
// is over. Plain arithmetic, so the window only forwards sizes and events.

#include <cstdint>

namespace legend::pad {

inline constexpr std::int32_t kGridColumns = 3;
inline constexpr std::int32_t kGridRows = 6;
inline constexpr std::int32_t kGridCells = kGridColumns * kGridRows;

/// Size of the drawing area in pixels.
struct AreaSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const AreaSize&, const AreaSize&) = default;
};

/// A point in window coordinates: origin at the drawing area's top-left, y down.
struct WindowPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

/// A rectangle in window coordinates; the right and bottom edges are outside.
struct WindowRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool contains(WindowPoint p) const noexcept { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

/// A point in drawing coordinates: origin at the drawing area's bottom-left, y up.
struct DrawPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const DrawPoint&, const DrawPoint&) = default;
};

/// The cell layout of one drawing area. Cells are numbered 0 ... 17 row by
/// row from the top-left; the strips right of the third column and below the
/// sixth row, left over by the truncating division, belong to no cell.
class PadGeometry {
 public:
  /// No drawing pass yet: cells of 0 x 0 that nothing can hit.
  PadGeometry() = default;
  /// The layout of a @p area drawing area (negative sizes count as 0).
  explicit PadGeometry(AreaSize area) noexcept;

  AreaSize area() const noexcept { return area_; }
  std::int32_t cellWidth() const noexcept { return cellWidth_; }
  std::int32_t cellHeight() const noexcept { return cellHeight_; }

  static constexpr std::int32_t row(std::int32_t cell) noexcept { return cell / kGridColumns; }
  static constexpr std::int32_t column(std::int32_t cell) noexcept { return cell % kGridColumns; }

  /// Cell @p cell in window coordinates, for invalidation and hit testing.
  WindowRect cellRect(std::int32_t cell) const noexcept;
  /// Top-left corner of cell @p cell in drawing coordinates; the cell extends
  /// right and down (towards smaller y) from it.
  DrawPoint cellTopLeft(std::int32_t cell) const noexcept;

  /// The display position under @p point, or -1. The point must lie in the
  /// @p client area as it is now, and in a cell of this layout (that of the
  /// last pass) holding one of the @p displayCount legends shown from
  /// @p scrollPosition on.
  std::int32_t hitTest(WindowPoint point, AreaSize client, std::int32_t scrollPosition,
                       std::int32_t displayCount) const noexcept;

 private:
  AreaSize area_{};
  std::int32_t cellWidth_ = 0;
  std::int32_t cellHeight_ = 0;
};

/// The scroll bar's range: one position per row of three legends, position
/// 1 showing the first row. The last row can be scrolled to the top.
struct ScrollRange {
  static constexpr std::int32_t kMinimum = 1;
  std::int32_t minimum = kMinimum;
  std::int32_t maximum = 0;  ///< below the minimum for an empty display list

  /// @p position brought into the range; the minimum wins when the range is
  /// empty, so an empty list stays at position 1.
  std::int32_t clamp(std::int32_t position) const noexcept {
    if (position > maximum) position = maximum;
    if (position < minimum) position = minimum;
    return position;
  }
  friend bool operator==(const ScrollRange&, const ScrollRange&) = default;
};

/// 1 ... ceil(@p displayCount / 3).
ScrollRange scrollRangeFor(std::int32_t displayCount) noexcept;

/// The display position shown in the top-left cell at @p scrollPosition.
/// Wide, so that no position a caller passes can overflow it.
constexpr std::int64_t firstVisible(std::int32_t scrollPosition) noexcept {
  return (static_cast<std::int64_t>(scrollPosition) - 1) * kGridColumns;
}

/// Whether display position @p position is on the grid at @p scrollPosition.
constexpr bool isVisible(std::int32_t position, std::int32_t scrollPosition, std::int32_t displayCount) noexcept {
  const std::int64_t first = firstVisible(scrollPosition);
  return position >= 0 && position >= first && position <= first + (kGridCells - 1) && position < displayCount;
}

/// The cell showing @p position at @p scrollPosition; only meaningful when
/// the position is visible.
constexpr std::int32_t cellOf(std::int32_t position, std::int32_t scrollPosition) noexcept {
  return static_cast<std::int32_t>(position - firstVisible(scrollPosition));
}

}  // namespace legend::pad
