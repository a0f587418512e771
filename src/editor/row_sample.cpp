#include "editor/row_sample.h"

#include <cmath>
#include <memory>

#include <QImage>

#include "components/areaedit/sample_preview.h"
#include "components/display/qpainter_driver.h"
#include "components/drawing/graphic_records.h"
#include "legendfile/layout.h"

namespace legend::editor {

namespace {

// A region sample leaves a pixel of white round it, so neighbouring rows
// with the same fill stay apart.
constexpr double kRegionMargin = 1;

void drawRegion(KernelDriver& driver, RegionRecordBytes record, int size) {
  const double low = kRegionMargin;
  const double high = size - kRegionMargin;
  const D_DOT corners[4] = {{low, high}, {high, high}, {high, low}, {low, low}};
  const std::int32_t ringSizes[1] = {4};
  driver.ResetDrawState();
  driver.BeginRegFill(records::regionFillOf(record));
  driver.FillPolygons(corners, ringSizes);
  driver.EndRegFill();
  driver.ResetDrawState();
}

}  // namespace

QPixmap drawRowSample(std::int32_t image, std::span<const std::uint8_t> record, int size, qreal ratio) {
  const std::size_t wanted = image == 0   ? layout::kPointRecordSize
                             : image == 1 ? layout::kLineRecordSize
                             : image == 2 ? layout::kRegionRecordSize
                                          : 0;
  if (wanted == 0 || record.size() != wanted || size <= 0 || !(ratio > 0)) return {};
  const int pixels = static_cast<int>(std::ceil(size * ratio));
  QImage canvas(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  canvas.setDevicePixelRatio(ratio);
  canvas.fill(Qt::white);
  {
    // The driver paints in logical pixels; the image's ratio puts each of
    // them on ratio x ratio device pixels, lines drawn at device resolution.
    const std::unique_ptr<KernelDriver> driver = ::OpenWinDriver(&canvas);
    if (!driver) return {};
    driver->SetDrawing(true);
    const QSize area(size, size);
    switch (image) {
      case 0:
        areaedit::drawPointPreview(*driver, PointRecordBytes(record.first<layout::kPointRecordSize>()), area);
        break;
      case 1: areaedit::drawLinePreview(*driver, LineRecordBytes(record.first<layout::kLineRecordSize>()), area); break;
      default: drawRegion(*driver, RegionRecordBytes(record.first<layout::kRegionRecordSize>()), size); break;
    }
    driver->SetDrawing(false);
    driver->CloseWinDriver();
  }
  return QPixmap::fromImage(canvas);
}

}  // namespace legend::editor
