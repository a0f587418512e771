#pragma once
// Drawing the pad's grid and cells through KernelDriver: each shown legend
// as a sample in the lower three quarters of its cell, its caption along
// the top and its display position in the lower-left corner, the selected
// one filled and framed. The passes are what the pad window runs; the
// single-cell functions below them are there for anything else that draws
// legend cells (a sheet renderer, tests).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "components/drawing/kernel_driver.h"
#include "pad/model/pad_geometry.h"
#include "pad/model/pad_surface.h"
#include "pad/model/scale_maxima.h"

namespace legend {
class LegendSet;
class LegendView;
}  // namespace legend

namespace legend::pad {

/// Palette colours of the grid and the cells.
namespace colour {
inline constexpr int kGrid = 0;
inline constexpr int kSelectedFill = 11;
inline constexpr int kFrameLight = 1;  ///< top and left edges of the selected cell
inline constexpr int kFrameDark = 9;   ///< bottom and right edges of the selected cell
inline constexpr int kCaption = 44;
inline constexpr int kSelectedCaption = 160;
inline constexpr int kShadow = 9;
inline constexpr int kSelectedShadow = 1;
inline constexpr int kNumber = 6;
}  // namespace colour

/// What a cell's caption shows.
enum class CaptionMode {
  Names,       ///< the legend's name
  ClassCodes,  ///< the legend's class code in decimal
};

/// Longest caption text handled, in bytes; longer names are shortened first.
inline constexpr std::size_t kCaptionBytes = 99;

/// A caption of at most kCaptionBytes GBK bytes, held without allocating.
class CaptionText {
 public:
  std::string_view view() const noexcept { return {bytes_.data(), length_}; }
  /// Appends @p bytes; false, and nothing appended, when they do not fit.
  bool append(std::string_view bytes) noexcept;

 private:
  std::array<char, kCaptionBytes> bytes_{};
  std::size_t length_ = 0;
};

/// Length of the GBK character at @p at of @p text: two bytes when it and
/// the next byte both have the top bit set, else one.
std::size_t gbkCharBytes(std::string_view text, std::size_t at) noexcept;

/// The whole characters of @p text that fit a caption text.
CaptionText captionWorkText(std::string_view text) noexcept;

/// The longest run of whole characters from the start of @p text whose
/// width, as @p driver estimates it for caption text, stays within @p limit
/// pixels. Double-byte characters are never split.
CaptionText fitCaption(KernelDriver& driver, std::string_view text, std::int32_t limit);

/// A cell: its top-left corner in drawing coordinates and its size.
struct CellFrame {
  DrawPoint topLeft{};
  std::int32_t width = 0;
  std::int32_t height = 0;
};

/// The box a sample is drawn in: top-left (x0, y0) in drawing coordinates.
struct SampleBox {
  std::int32_t x0 = 0;
  std::int32_t y0 = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

enum class SampleResult {
  Drawn,        ///< the sample was handed to the driver
  Nothing,      ///< the legend has no sample (unknown type, missing record)
  ImageFailed,  ///< an image legend whose icon could not be drawn
};

/// Draws the grid lines of @p geometry's cells in the grid colour.
void drawGrid(KernelDriver& driver, const PadGeometry& geometry);

/// Draws the sample of @p legend in @p box of @p cell, scaled against
/// @p maxima. Records that are scaled are copied and the copy scaled; the
/// legend set is not changed.
SampleResult drawSample(KernelDriver& driver, const LegendView& legend, const ScaleMaxima& maxima, const SampleBox& box,
                        const CellFrame& cell);

/// Draws @p legend, shown at display position @p position, into @p cell:
/// frame (when @p selected), sample, caption and number.
SampleResult drawCell(KernelDriver& driver, const LegendView& legend, const ScaleMaxima& maxima, const CellFrame& cell,
                      std::int32_t position, CaptionMode captions, bool selected);

/// Runs the pad's drawing passes against a PadSurface and keeps the cell
/// layout of the last one, which hit testing goes by.
class CellPainter {
 public:
  /// Clears the area and draws the grid and every legend visible at
  /// @p scrollPosition, the selected one of @p legends in the selected style.
  void fullPass(PadSurface& surface, const LegendSet& legends, std::int32_t scrollPosition, CaptionMode captions);

  /// Redraws display position @p position alone (with the grid), normal or
  /// @p selected; nothing when it is not on the grid at @p scrollPosition.
  /// Used when the selection moves, so only the cells concerned are drawn.
  void singleCellPass(PadSurface& surface, const LegendSet& legends, std::int32_t scrollPosition, CaptionMode captions,
                      std::int32_t position, bool selected);

  /// The layout of the last pass; cells of 0 x 0 before the first.
  const PadGeometry& geometry() const noexcept { return geometry_; }

  /// The display position under @p point (window coordinates), or -1; see
  /// PadGeometry::hitTest.
  std::int32_t hitTest(WindowPoint point, AreaSize client, std::int32_t scrollPosition,
                       std::int32_t displayCount) const noexcept {
    return geometry_.hitTest(point, client, scrollPosition, displayCount);
  }

 private:
  PadGeometry geometry_;
};

}  // namespace legend::pad
