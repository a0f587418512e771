#pragma once
// KernelDriver over QPainter: draws legend samples, cells and sheets into a
// widget, an image, a PDF or an SVG.

#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRectF>

#include "components/display/styles.h"
#include "components/drawing/kernel_driver.h"

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
  /// whole device. An image or pixmap with a device pixel ratio above one
  /// (a QImage sized for a high-density screen, setDevicePixelRatio set) is
  /// drawn at its device pixels while drawing coordinates stay logical
  /// pixels: the area is the whole logical pixels it covers.
  explicit QPainterDriver(QPaintDevice& device);
  /// Draws within @p area of the device @p painter is active on; the
  /// painter must stay active until the driver is closed.
  QPainterDriver(QPainter& painter, const QRect& area);
  ~QPainterDriver() override;

  QPainterDriver(const QPainterDriver&) = delete;
  QPainterDriver& operator=(const QPainterDriver&) = delete;

  void SetDrawing(bool on) override;
  void CloseWinDriver() override;

  /// A locked colour takes precedence over a selected pen for Line.
  void LockColor(int colour) override;
  void UnlockColor() override;
  /// Frames drawn with the pen are one pixel wide.
  void SelectPen(int colour) override;
  void RestorePen() override;

  void Line(double x1, double y1, double x2, double y2) override;
  /// With a pen selected the rectangle takes the pen's colour.
  void FillRect(double x, double y, double width, double height, int colour) override;

  /// Each glyph is scaled to the box's character height x its advance.
  void DispText(const TextBox& box, std::string_view text) override;
  /// The widest line in character widths; line breaks count nothing.
  double TextWidth(std::string_view text) override;
  /// Characters other than line breaks.
  int CharCount(std::string_view text) override;

  void ResetDrawState() override;
  void ClipRect(double x, double y, double width, double height) override;
  void Unclip() override;

  /// Anchor @p position: annotations (type 0) in a row hang their bottom-left
  /// corner on it, every other text layout its top-left corner; symbols,
  /// dots, rings and the image are centred on it.
  /// A text ends at its first NUL byte, if any.
  void DispPnt(D_DOT position, std::string_view text, PointRecordBytes record) override;
  void DispLin(std::span<const D_DOT> points, LineRecordBytes record) override;
  void BeginRegFill(const RegionFill& fill) override;
  /// Rings are combined even-odd, so an inner ring makes a hole. Ring sizes
  /// that are negative, implausibly large or more than the points given make
  /// the call draw nothing.
  void FillPolygons(std::span<const D_DOT> points, std::span<const std::int32_t> ringSizes) override;
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
  /// Fills @p rect, whose edges lie on device pixel edges.
  void fillAligned(const QRectF& rect, const QColor& colour);
  void drawPointText(QPointF anchor, std::string_view text, PointRecordBytes record, bool annotation);

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

/// The line style number of line record @p record.
int lineStyleOf(LineRecordBytes record);
/// The parameters DispLin draws line record @p record with.
LineStyleParams lineStyleParams(LineRecordBytes record);

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
/// a PDF or SVG generator); null when @p device is null.
std::unique_ptr<KernelDriver> OpenWinDriver(QPaintDevice* device);
/// A driver drawing within @p area of the device @p painter is active on;
/// null when the painter is not active.
std::unique_ptr<KernelDriver> OpenWinDriver(QPainter& painter, QRect area);
