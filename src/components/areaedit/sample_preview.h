#pragma once
// The live sample in the graphic editors: the record being edited, drawn
// through the display component's driver with the calls the pad's cells
// use, so what the editor shows is what the pad will show.

#include <functional>

#include <QSize>
#include <QWidget>

#include "components/drawing/kernel_driver.h"

namespace legend::areaedit {

/// The pad scales its samples against the largest sizes of the open file.
/// An editor knows a single legend, so its preview stands for a pad whose
/// largest sizes are these: twice those of a new legend, so a new legend
/// fills about half the preview and growing or shrinking a size shows.
inline constexpr double kPreviewPointSize = 12;   ///< pixels: heights, widths, diameters
inline constexpr double kPreviewLineFactor = 20;  ///< fine units: pattern length and width

/// Draws point record @p record centred in an area of @p area pixels, sizes
/// scaled against kPreviewPointSize, or less where the sample would not fit
/// whole; annotations and texts show the pad's sample words.
void drawPointPreview(KernelDriver& driver, PointRecordBytes record, QSize area);
/// Draws line record @p record across the middle two thirds of @p area, its
/// pattern stretched as the pad stretches it in a cell of that size.
void drawLinePreview(KernelDriver& driver, LineRecordBytes record, QSize area);
/// Fills most of @p area with region record @p record, unscaled, as the pad does.
void drawRegionPreview(KernelDriver& driver, RegionRecordBytes record, QSize area);

/// A white sheet on which a drawing function paints through a KernelDriver
/// opened on the widget for each paint event.
class SamplePreview : public QWidget {
 public:
  using Draw = std::function<void(KernelDriver&, QSize)>;

  explicit SamplePreview(Draw draw, QWidget* parent = nullptr);
  QSize sizeHint() const override { return {240, 120}; }
  QSize minimumSizeHint() const override { return {220, 110}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Draw draw_;
};

}  // namespace legend::areaedit
