#include "export/sample_capture.h"

#include <algorithm>
#include <optional>

#include "legendfile/legend_set.h"
#include "pad/model/cell_drawing.h"
#include "pad/model/scale_maxima.h"

namespace legend::exporter {
namespace {

/// A driver that draws nothing and keeps the sample the pad asks for.
class CapturingDriver final : public KernelDriver {
 public:
  CapturingDriver(CapturedSample& sample, D_DOT middle) : sample_(sample), middle_(middle) {}

  void SetDrawing(bool) override {}
  void CloseWinDriver() override {}
  void LockColor(int) override {}
  void UnlockColor() override {}
  void SelectPen(int) override {}
  void RestorePen() override {}
  void Line(double, double, double, double) override {}
  void FillRect(double, double, double, double, int) override {}
  void DispText(const TextBox&, std::string_view) override {}
  double TextWidth(std::string_view) override { return 0; }
  int CharCount(std::string_view) override { return 0; }
  void ResetDrawState() override {}

  void DispPnt(D_DOT position, std::string_view text, PointRecordBytes record) override {
    sample_.kind = CapturedSample::Kind::Point;
    sample_.offset = {position.x - middle_.x, position.y - middle_.y};
    std::copy(record.begin(), record.end(), sample_.point.begin());
    sample_.text.assign(text);
  }
  void DispLin(std::span<const D_DOT>, LineRecordBytes record) override {
    sample_.kind = CapturedSample::Kind::Line;
    std::copy(record.begin(), record.end(), sample_.line.begin());
  }
  void BeginRegFill(const RegionFill& fill) override {
    sample_.kind = CapturedSample::Kind::Region;
    sample_.region = fill;
  }
  void FillPolygons(std::span<const D_DOT>, std::span<const std::int32_t>) override {}
  void EndRegFill() override {}
  bool DispImageIcon(D_DOT centre) override {
    sample_.kind = CapturedSample::Kind::Image;
    sample_.offset = {centre.x - middle_.x, centre.y - middle_.y};
    return true;
  }

 private:
  CapturedSample& sample_;
  D_DOT middle_;
};

}  // namespace

CapturedSample captureSample(const LegendSet& legends, const pad::ScaleMaxima& maxima, std::int32_t legendIndex,
                             CellSize cell) {
  // A normal (unselected) cell whose top-left corner is the drawing origin's
  // row at the cell's top; its sample box is the pad's.
  const pad::CellFrame frame{{0, cell.height}, cell.width, cell.height};
  const pad::SampleBox box{frame.topLeft.x + 1, frame.topLeft.y - 1, cell.width - 2, cell.height - 2};
  // The pad centres point samples on the middle of the box below the
  // caption band: half across, five eighths down.
  const D_DOT middle{box.x0 + box.width / 2.0, box.y0 - 0.625 * box.height};
  CapturedSample sample;
  const std::optional<LegendView> legend = legends.view(legendIndex);
  if (!legend) return sample;
  CapturingDriver driver(sample, middle);
  pad::drawSample(driver, *legend, maxima, box, frame);
  return sample;
}

}  // namespace legend::exporter
