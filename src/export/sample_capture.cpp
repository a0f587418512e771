#include "export/sample_capture.h"

#include <cstring>

#include "legendfile/legend_set.h"
#include "pad/model/cell_drawing.h"
#include "pad/model/scale_maxima.h"

namespace legend::exporter {
namespace {

/// A driver that draws nothing and keeps the sample the pad asks for.
class CapturingDriver final : public KernelDriver {
 public:
  CapturingDriver(CapturedSample& sample, D_DOT middle) : sample_(sample), middle_(middle) {}

  void SetDrawing(int) override {}
  void CloseWinDriver() override {}
  void LockColor(int) override {}
  void UnlockColor() override {}
  void SelectPen(int, int, int) override {}
  void RestorePen() override {}
  void Line(double, double, double, double, int) override {}
  void FillRect(double, double, double, double, int) override {}
  void DispText(double, double, float, float, float, float, const char*, int, int, int, float, float, int,
                int) override {}
  double TextWidth(const char*, int, int) override { return 0; }
  int CharCount(const char*) override { return 0; }
  void ResetDrawState(int) override {}

  void DispPnt(D_DOT position, const char* text, std::int16_t textLength, const std::uint8_t* pntInfo,
               int) override {
    sample_.kind = CapturedSample::Kind::Point;
    sample_.offset = {position.x - middle_.x, position.y - middle_.y};
    std::memcpy(sample_.point.data(), pntInfo, sample_.point.size());
    if (text != nullptr && textLength > 0) sample_.text.assign(text, static_cast<std::size_t>(textLength));
  }
  void DispLin(const D_DOT*, int, const std::uint8_t* linInfo, int) override {
    sample_.kind = CapturedSample::Kind::Line;
    std::memcpy(sample_.line.data(), linInfo, sample_.line.size());
  }
  void BeginRegFill(std::int32_t fillColour, int pattern, double patternSize, std::int32_t patternColour) override {
    sample_.kind = CapturedSample::Kind::Region;
    sample_.region = {fillColour, pattern, patternSize, patternColour};
  }
  void FillPolygons(const D_DOT*, const std::int32_t*, int) override {}
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
  CapturingDriver driver(sample, middle);
  pad::drawSample(driver, legends, maxima, legendIndex, box, frame);
  return sample;
}

}  // namespace legend::exporter
