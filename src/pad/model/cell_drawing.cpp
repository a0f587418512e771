#include "pad/model/cell_drawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <span>

#include "components/drawing/graphic_records.h"
#include "legendfile/byte_order.h"
#include "legendfile/layout.h"
#include "legendfile/legend_set.h"

namespace legend::pad {
namespace {

namespace point = records::point;
namespace line = records::line;
using records::PointType;

// Caption text is laid out with these character metrics; fitting estimates
// widths with the same ones so the fitted text is what gets drawn.
constexpr double kCharWidth = 12.0;
constexpr double kCharSpacing = 1.0;
constexpr double kLineSpacing = 2.0;
// Room the caption leaves free at the cell's sides.
constexpr std::int32_t kCaptionMargin = 6;
// Height of the position number's top above the cell's bottom edge.
constexpr std::int32_t kNumberRise = 15;

using PointRecord = std::array<std::uint8_t, layout::kPointRecordSize>;
using LineRecord = std::array<std::uint8_t, layout::kLineRecordSize>;

/// A scaled size as the records hold it. Edited records need not lie within
/// the maxima, so a result beyond float range saturates instead of being an
/// undefined conversion.
float narrow(double value) noexcept {
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (value > kLargest) return std::numeric_limits<float>::infinity();
  if (value < -kLargest) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

/// Multiplies the float at @p offset by @p factor and divides it by @p maximum.
template <std::size_t N>
float scaleFloat(std::array<std::uint8_t, N>& record, std::size_t offset, double factor, double maximum) noexcept {
  const float scaled = narrow(static_cast<double>(load_le<float>(record, offset)) * factor / maximum);
  store_le<float>(record, offset, scaled);
  return scaled;
}

/// A copy of @p record for a sample to scale.
template <std::size_t N>
std::array<std::uint8_t, N> copyOf(std::span<const std::uint8_t, N> record) noexcept {
  std::array<std::uint8_t, N> copy;
  std::copy(record.begin(), record.end(), copy.begin());
  return copy;
}

void drawLine(KernelDriver& driver, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  driver.Line(x1, y1, x2, y2);
}

SampleResult drawLineSample(KernelDriver& driver, LineRecordBytes record, const ScaleMaxima& maxima,
                            const SampleBox& box, const CellFrame& cell) {
  LineRecord copy = copyOf(record);
  const std::int32_t left = box.x0 + box.width / 6;
  const std::int32_t y = box.y0 - 3 * box.height / 4;
  const D_DOT points[2] = {{static_cast<double>(left), static_cast<double>(y)},
                           {static_cast<double>(left + 2 * box.width / 3), static_cast<double>(y)}};
  scaleFloat(copy, line::kPatternLength, 2.0 * cell.width, maxima.lineX);
  scaleFloat(copy, line::kPatternWidth, 2.0 * cell.height, maxima.lineY);
  driver.DispLin(points, copy);
  return SampleResult::Drawn;
}

SampleResult drawRegionSample(KernelDriver& driver, RegionRecordBytes record, const SampleBox& box) {
  const double top = box.y0 - (box.height - 1) * 0.25;
  const double bottom = top - (box.height - 1) * 0.75;
  const double left = box.x0 + 1;
  const double right = box.x0 + box.width;
  const D_DOT corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  const std::int32_t ringSizes[1] = {4};
  // A region's record is not scaled, so it is read where the set keeps it.
  driver.BeginRegFill(records::regionFillOf(record));
  driver.FillPolygons(corners, ringSizes);
  driver.EndRegFill();
  return SampleResult::Drawn;
}

/// Annotation and text legends: a three-character sample text sized by the
/// record's character height and width, centred in the box.
D_DOT scaleTextSample(PointRecord& copy, PointType type, const ScaleMaxima& maxima, const SampleBox& box) {
  // Angle and spacing would push the sample out of its cell.
  store_le<std::int32_t>(copy, point::kTextAngle, 0);
  store_le<std::int32_t>(copy, point::kTextSpacing, 0);
  const bool annotation = type == PointType::Annotation;
  const bool inRow = copy[annotation ? point::kAnnotationLayout : point::kTextLayout] == 0;
  const std::int32_t w = box.width;
  const std::int32_t h = box.height;
  const std::int32_t captionBand = h / 4;
  if (inRow) {
    const std::int32_t room = 3 * h / 4 - 2;
    const double height = scaleFloat(copy, point::kTextHeight, room, maxima.pointHeight);
    const double width = scaleFloat(copy, point::kTextWidth, w / 3, maxima.pointWidth);
    const double x = box.x0 + (w - 3 * width) * 0.5;
    // An annotation is anchored at its bottom, a text at its top.
    const double y = annotation ? box.y0 - captionBand - height - (room - height) * 0.5
                                : box.y0 - captionBand - (room - height) * 0.5;
    return {x, y};
  }
  const double height = scaleFloat(copy, point::kTextHeight, (3 * h - 6) / 12, maxima.pointHeight);
  const double width = scaleFloat(copy, point::kTextWidth, 3 * w / 4, maxima.pointWidth);
  return {box.x0 + (w - width) * 0.5, box.y0 - captionBand - ((3 * h - 6) / 4 - 3 * height) * 0.5};
}

SampleResult drawPointSample(KernelDriver& driver, PointRecordBytes record, const ScaleMaxima& maxima,
                             const SampleBox& box, const CellFrame& cell) {
  PointRecord copy = copyOf(record);
  const std::int32_t w = box.width;
  const std::int32_t h = box.height;
  const double centreX = box.x0 + w / 2;
  std::string_view text;
  D_DOT position;
  switch (const auto type = static_cast<PointType>(copy[point::kType])) {
    case PointType::Annotation:
    case PointType::Text:
      text = type == PointType::Annotation ? records::kAnnotationSample : records::kTextSample;
      position = scaleTextSample(copy, type, maxima, box);
      break;
    case PointType::Symbol:
      scaleFloat(copy, point::kSymbolHeight, 0.75 * h - 1, maxima.pointHeight);
      scaleFloat(copy, point::kSymbolWidth, 0.75 * w - 2, maxima.pointWidth);
      position = {centreX, box.y0 - 0.625 * h + 1};
      break;
    case PointType::Dot:
    case PointType::Ring: {
      const double size = load_le<double>(copy, point::kMarkerSize) * (0.375 * cell.width) / maxima.pointSize;
      store_le<double>(copy, point::kMarkerSize, size);
      position = {centreX, box.y0 - 0.625 * h};
      break;
    }
    case PointType::Image:
      // Images always show the same icon, whatever their record says.
      return driver.DispImageIcon({centreX, static_cast<double>(box.y0 - 5 * h / 8)}) ? SampleResult::Drawn
                                                                                      : SampleResult::ImageFailed;
    default:  // no rule places an unknown point type
      return SampleResult::Nothing;
  }
  driver.DispPnt(position, text, copy);
  return SampleResult::Drawn;
}

/// The caption of @p legend before fitting.
CaptionText captionOf(const LegendView& legend, CaptionMode captions) noexcept {
  if (captions == CaptionMode::Names) return captionWorkText(legend.head().name());
  std::array<char, 16> digits;
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), legend.head().classCode());
  return captionWorkText(std::string_view(digits.data(), static_cast<std::size_t>(result.ptr - digits.data())));
}

/// The three texts of a cell share a box sized by the cell's inner size;
/// each is drawn from its own corner in its own colour.
void drawText(KernelDriver& driver, TextBox box, double x, double y, int colourNumber, std::string_view text) {
  box.topLeft = {x, y};
  box.colour = colourNumber;
  driver.DispText(box, text);
}

/// The selected cell: filled, with light top and left edges and a double
/// dark bottom and right edge, so it looks pressed in.
void drawSelectedFrame(KernelDriver& driver, std::int32_t x, std::int32_t y, std::int32_t cw, std::int32_t ch) {
  driver.SelectPen(colour::kSelectedFill);
  driver.FillRect(x + 1, y - 1, cw - 1, -(ch - 1), colour::kSelectedFill);
  driver.RestorePen();
  driver.SelectPen(colour::kFrameLight);
  drawLine(driver, x + 1, y - 1, x + cw, y - 1);
  drawLine(driver, x + 1, y - 1, x + 1, y - ch);
  driver.RestorePen();
  driver.SelectPen(colour::kFrameDark);
  drawLine(driver, x + cw - 1, y - ch + 1, x + cw - 1, y);
  drawLine(driver, x + cw - 1, y - ch + 1, x, y - ch + 1);
  drawLine(driver, x + cw - 2, y - ch + 2, x + cw - 2, y - 1);
  drawLine(driver, x + cw - 2, y - ch + 2, x + 1, y - ch + 2);
  driver.RestorePen();
}

/// @p value in decimal, held without allocating.
class Decimal {
 public:
  explicit Decimal(std::int32_t value) noexcept
      : length_(static_cast<std::size_t>(std::to_chars(digits_.data(), digits_.data() + digits_.size(), value).ptr -
                                         digits_.data())) {}
  std::string_view view() const noexcept { return {digits_.data(), length_}; }

 private:
  std::array<char, 11> digits_{};  // room for "-2147483648"
  std::size_t length_;
};

/// Opens the surface's driver and starts a pass on it: null when there is
/// no driver.
std::unique_ptr<KernelDriver> beginPass(PadSurface& surface) {
  std::unique_ptr<KernelDriver> driver = surface.openDriver();
  if (!driver) return nullptr;
  driver->SetDrawing(true);
  return driver;
}

void endPass(KernelDriver& driver) {
  driver.SetDrawing(false);
  driver.CloseWinDriver();
}

CellFrame frameOf(const PadGeometry& geometry, std::int32_t cell) noexcept {
  return {geometry.cellTopLeft(cell), geometry.cellWidth(), geometry.cellHeight()};
}

bool hasLegendsToShow(const LegendSet& legends) noexcept { return !legends.empty() && legends.displayCount() > 0; }

}  // namespace

bool CaptionText::append(std::string_view bytes) noexcept {
  if (bytes.size() > kCaptionBytes - length_) return false;
  std::memcpy(bytes_.data() + length_, bytes.data(), bytes.size());
  length_ += bytes.size();
  return true;
}

std::size_t gbkCharBytes(std::string_view text, std::size_t at) noexcept {
  const auto highBit = [&text](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0x80u) != 0; };
  return at + 1 < text.size() && highBit(at) && highBit(at + 1) ? 2 : 1;
}

CaptionText captionWorkText(std::string_view text) noexcept {
  CaptionText work;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = gbkCharBytes(text, at);
    if (!work.append(text.substr(at, length))) break;
    at += length;
  }
  return work;
}

CaptionText fitCaption(KernelDriver& driver, std::string_view text, std::int32_t limit) {
  const CaptionText work = captionWorkText(text);
  const std::string_view all = work.view();
  CaptionText fitted;
  CaptionText candidate;
  for (std::size_t at = 0; at < all.size();) {
    const std::size_t length = gbkCharBytes(all, at);
    candidate.append(all.substr(at, length));  // a prefix of the work text always fits
    const double estimate = driver.TextWidth(candidate.view()) * kCharWidth +
                            static_cast<double>(driver.CharCount(candidate.view())) * kCharSpacing;
    // A width the driver cannot give (NaN) is taken as too wide.
    if (!(std::trunc(estimate) <= limit)) break;
    fitted = candidate;
    at += length;
  }
  return fitted;
}

void drawGrid(KernelDriver& driver, const PadGeometry& geometry) {
  const std::int32_t width = geometry.area().width;
  const std::int32_t height = geometry.area().height;
  driver.LockColor(colour::kGrid);
  for (std::int32_t i = 0; i <= kGridRows; ++i) {
    const std::int32_t y = i * geometry.cellHeight() + 1;
    drawLine(driver, 0, y, width, y);
  }
  for (std::int32_t i = 0; i <= kGridColumns; ++i) {
    const std::int32_t x = i * geometry.cellWidth();
    drawLine(driver, x, 1, x, height + 1);
  }
  driver.UnlockColor();
}

SampleResult drawSample(KernelDriver& driver, const LegendView& legend, const ScaleMaxima& maxima, const SampleBox& box,
                        const CellFrame& cell) {
  if (const std::optional<LineRecordBytes> record = legend.lineRecord())
    return drawLineSample(driver, *record, maxima, box, cell);
  if (const std::optional<PointRecordBytes> record = legend.pointRecord())
    return drawPointSample(driver, *record, maxima, box, cell);
  if (const std::optional<RegionRecordBytes> record = legend.regionRecord())
    return drawRegionSample(driver, *record, box);
  return SampleResult::Nothing;
}

SampleResult drawCell(KernelDriver& driver, const LegendView& legend, const ScaleMaxima& maxima, const CellFrame& cell,
                      std::int32_t position, CaptionMode captions, bool selected) {
  const std::int32_t x = cell.topLeft.x;
  const std::int32_t y = cell.topLeft.y;
  const std::int32_t cw = cell.width;
  const std::int32_t ch = cell.height;
  const CaptionText caption = fitCaption(driver, captionOf(legend, captions).view(), cw - kCaptionMargin);

  driver.ResetDrawState();
  // The selected cell's frame takes a pixel more on each side, and its
  // texts sit in a box a pixel smaller.
  SampleBox box{x + 1, y - 1, cw - 2, ch - 2};
  std::int32_t innerWidth = cw;
  std::int32_t innerHeight = ch;
  if (selected) {
    drawSelectedFrame(driver, x, y, cw, ch);
    box = {x + 2, y - 2, cw - 5, ch - 5};
    innerWidth = cw - 1;
    innerHeight = ch - 1;
  }
  // A sample larger than its box (a thick line, a symbol drawn beyond its
  // nominal size) would cover the neighbouring cells.
  driver.ClipRect(box.x0, box.y0, box.width, box.height);
  const SampleResult result = drawSample(driver, legend, maxima, box, cell);
  driver.Unclip();
  driver.ResetDrawState();

  const auto textHeight = static_cast<std::int32_t>(innerHeight * 0.25 - 2);
  TextBox text;
  text.width = innerWidth - kCaptionMargin;
  text.height = innerHeight - 2;
  text.charHeight = textHeight;
  text.charWidth = kCharWidth;
  text.charSpacing = kCharSpacing;
  text.lineSpacing = kLineSpacing;
  drawText(driver, text, x + 4, y - 2, selected ? colour::kSelectedShadow : colour::kShadow, caption.view());
  drawText(driver, text, x + 3, y - 1, selected ? colour::kSelectedCaption : colour::kCaption, caption.view());
  // The number hangs 15 pixels above the cell's bottom edge, or higher where
  // a large cell's text is too tall to end above the edge.
  const std::int32_t numberRise = std::max(kNumberRise, textHeight + 2);
  drawText(driver, text, x + 4, y - innerHeight + numberRise, colour::kNumber, Decimal(position).view());
  return result;
}

void CellPainter::fullPass(PadSurface& surface, const LegendSet& legends, std::int32_t scrollPosition,
                           CaptionMode captions) {
  if (!surface.exists()) return;
  surface.setTotalText(Decimal(legends.displayCount()).view());
  surface.clearArea();
  bool imageFailed = false;
  {
    const std::unique_ptr<KernelDriver> driver = beginPass(surface);
    if (!driver) return;
    geometry_ = PadGeometry(surface.areaSize());
    drawGrid(*driver, geometry_);
    // A scroll position below 1 shows nothing rather than positions before
    // the first legend.
    const std::int64_t first = firstVisible(scrollPosition);
    if (hasLegendsToShow(legends) && first >= 0) {
      const ScaleMaxima& maxima = scaleMaxima();
      for (std::int32_t cell = 0; cell < kGridCells && first + cell < legends.displayCount(); ++cell) {
        const auto position = static_cast<std::int32_t>(first + cell);
        const std::optional<LegendView> legend = legends.view(legends.legendAt(position));
        if (!legend) continue;
        const bool selected = position == legends.selectedPosition();
        if (drawCell(*driver, *legend, maxima, frameOf(geometry_, cell), position, captions, selected) ==
            SampleResult::ImageFailed)
          imageFailed = true;
      }
    }
    endPass(*driver);
  }
  // Once a pass, with the driver closed: one message says it for every
  // image cell, and whatever the report does cannot meet a pass half done.
  if (imageFailed) surface.reportImageFailure();
}

void CellPainter::singleCellPass(PadSurface& surface, const LegendSet& legends, std::int32_t scrollPosition,
                                 CaptionMode captions, std::int32_t position, bool selected) {
  if (!surface.exists()) return;
  surface.setTotalText(Decimal(legends.displayCount()).view());
  if (!isVisible(position, scrollPosition, legends.displayCount())) return;
  const std::int32_t cell = cellOf(position, scrollPosition);
  // The cell is where the last pass drew it; the area may have been resized since.
  surface.clearCell(geometry_.cellRect(cell));
  bool imageFailed = false;
  {
    const std::unique_ptr<KernelDriver> driver = beginPass(surface);
    if (!driver) return;
    geometry_ = PadGeometry(surface.areaSize());
    drawGrid(*driver, geometry_);
    const std::optional<LegendView> legend = legends.view(legends.legendAt(position));
    imageFailed = hasLegendsToShow(legends) && legend &&
                  drawCell(*driver, *legend, scaleMaxima(), frameOf(geometry_, cell), position, captions, selected) ==
                      SampleResult::ImageFailed;
    endPass(*driver);
  }
  if (imageFailed) surface.reportImageFailure();
}

}  // namespace legend::pad
