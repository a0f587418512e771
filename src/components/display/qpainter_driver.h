#pragma once
// KernelDriver over QPainter: draws legend samples, cells and sheets into a
// widget, an image, a PDF or an SVG.

#include <memory>
#include <optional>

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRectF>

#include "components/display/kernel_driver.h"
#include "components/display/styles.h"

class QPaintDevice;

namespace legend::display {

/// Registers the library's resources (the image legend's icon). The driver
/// factories call it; anything else that reads ":/legend/..." must too.
void initResources();

/// Draws in drawing coordinates (pixels, origin at the bottom-left of its
/// area, y up) on a QPainter it either owns (one per pass over a device) or
/// borrows (so a sheet can put many pads on one page).
///
/// An integer coordinate names a pixel, as on a raster screen: drawing
/// (x, y) is device pixel (x, height - y). Lines and point samples are
/// centred on the pixels they name; rectangles and polygons cover the
/// pixels between their corners, the top row being the one named by the
/// upper corner.
class QPainterDriver final : public KernelDriver {
 public:
  /// Draws on @p device, which must outlive the driver; the area is the
  /// whole device.
  explicit QPainterDriver(QPaintDevice& device);
  /// Draws within @p area of the device @p painter is active on; the
  /// painter must stay active until the driver is closed.
  QPainterDriver(QPainter& painter, const QRect& area);
  ~QPainterDriver() override;

  QPainterDriver(const QPainterDriver&) = delete;
  QPainterDriver& operator=(const QPainterDriver&) = delete;

  void SetDrawing(int on) override;
  void CloseWinDriver() override;

  /// A locked colour takes precedence over a selected pen for Line.
  void LockColor(int colour) override;
  void UnlockColor() override;
  /// The pad's frames are one pixel wide whatever @p style and @p width say.
  void SelectPen(int style, int width, int colour) override;
  void RestorePen() override;

  void Line(double x1, double y1, double x2, double y2, int mode) override;
  /// With a pen selected the rectangle takes the pen's colour.
  void FillRect(double x, double y, double width, double height, int colour) override;

  /// Lays characters out left to right: a double-byte character takes
  /// @p charWidth, a single-byte one half of it, each followed by
  /// @p charSpacing; each glyph is scaled to textHeight x its advance. A
  /// line break starts a new line textHeight x lineSpacing lower. Nothing is
  /// drawn outside the box.
  void DispText(double x, double y, float boxWidth, float boxHeight, float textHeight, float charWidth,
                const char* text, int a, int b, int c, float charSpacing, float lineSpacing, int d,
                int colour) override;
  /// The widest line in character widths; line breaks count nothing.
  double TextWidth(const char* text, int a, int b) override;
  /// Characters other than line breaks.
  int CharCount(const char* text) override;

  void ResetDrawState(int mode) override;
  void ClipRect(double x, double y, double width, double height) override;
  void Unclip() override;

  /// Anchor @p position: annotations (type 0) in a row hang their bottom-left
  /// corner on it, every other text layout its top-left corner; symbols,
  /// dots, rings and the image are centred on it.
  void DispPnt(D_DOT position, const char* text, std::int16_t textLength, const std::uint8_t* pntInfo,
               int mode) override;
  void DispLin(const D_DOT* points, int count, const std::uint8_t* linInfo, int mode) override;
  void BeginRegFill(std::int32_t fillColour, int pattern, double patternSize, std::int32_t patternColour) override;
  /// Rings are combined even-odd, so an inner ring makes a hole. A negative
  /// or implausibly large count makes the call draw nothing.
  void FillPolygons(const D_DOT* points, const std::int32_t* counts, int rings) override;
  void EndRegFill() override;

  bool DispImageIcon(D_DOT centre) override;

  /// The drawing area in device coordinates.
  QRectF area() const { return area_; }

 private:
  struct RegionStyle {
    QColor fill;
    int pattern = 0;
    double size = 0;
    QColor patternColour;
  };

  bool drawing() const { return drawing_ && painter_ != nullptr && painter_->isActive(); }
  QPointF edge(double x, double y) const;
  QPointF centre(double x, double y) const;
  void drawPointText(QPointF anchor, const char* text, std::int16_t textLength, const std::uint8_t* pntInfo,
                     bool annotation);

  QPaintDevice* device_ = nullptr;  // set when the driver owns its painter
  std::unique_ptr<QPainter> ownPainter_;
  QPainter* painter_ = nullptr;
  QRectF area_;
  bool clipToArea_ = false;
  bool drawing_ = false;
  bool clipped_ = false;  // a state saved for ClipRect is on the painter's stack
  std::optional<QColor> lockedColour_;
  std::optional<QColor> penColour_;
  std::optional<RegionStyle> region_;
  std::optional<QImage> icon_;
};

/// The line style number of the 67-byte line record @p linInfo.
int lineStyleOf(const std::uint8_t* linInfo);
/// The parameters DispLin draws the 67-byte line record @p linInfo with.
LineStyleParams lineStyleParams(const std::uint8_t* linInfo);

/// How a ring of @p diameter with outlines @p penWidth wide is drawn: an
/// outline of @p radius, @p strokeWidth wide, around a dot of @p dotDiameter.
struct RingShape {
  double radius = 0;
  double strokeWidth = 0;
  double dotDiameter = 0;
};
RingShape ringShape(double diameter, double penWidth);

}  // namespace legend::display

/// A driver drawing on @p device (a widget inside its paint event, an image,
/// a PDF or SVG generator); null when @p device is null. @p mode is unused.
std::unique_ptr<KernelDriver> OpenWinDriver(QPaintDevice* device, int mode);
/// A driver drawing within @p area of the device @p painter is active on;
/// null when the painter is not active.
std::unique_ptr<KernelDriver> OpenWinDriver(QPainter& painter, QRect area);
