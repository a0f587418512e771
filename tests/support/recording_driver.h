#pragma once
// A KernelDriver that keeps what it is asked to draw, call by call, and a
// pad surface that hands it out, so drawing geometry can be checked exactly
// and by name.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "components/drawing/kernel_driver.h"
#include "pad/model/pad_surface.h"

namespace testdraw {

using Record = std::vector<std::uint8_t>;

/// A straight line and the colour it was drawn in (-1: none chosen).
struct LineCall {
  D_DOT from;
  D_DOT to;
  int colour = -1;
  friend bool operator==(const LineCall&, const LineCall&) = default;
};

struct RectCall {
  D_DOT corner;
  double width = 0;
  double height = 0;
  int colour = -1;  ///< the pen's when one is selected
  friend bool operator==(const RectCall&, const RectCall&) = default;
};

struct TextCall {
  TextBox box;
  std::string text;
};

struct PointCall {
  D_DOT position;
  std::string text;
  Record record;  ///< the record as passed
};

struct RegionCall {
  RegionFill fill;
  std::vector<D_DOT> points;
};

struct DrawLog {
  /// The calls' names in order. Colour and pen changes show in the colours
  /// of the lines and rectangles they apply to; measuring leaves no trace.
  std::vector<std::string> ops;
  std::vector<LineCall> lines;
  std::vector<RectCall> rects;
  std::vector<TextCall> texts;
  std::vector<PointCall> points;
  std::vector<RegionCall> regions;
  std::vector<D_DOT> icons;
  bool iconDrawable = true;  ///< what DispImageIcon answers

  /// Forgets the calls; what DispImageIcon answers stays.
  void clear() {
    const bool drawable = iconDrawable;
    *this = DrawLog();
    iconDrawable = drawable;
  }
  /// The texts drawn in @p colour.
  std::vector<std::string> textsIn(int colour) const {
    std::vector<std::string> found;
    for (const TextCall& t : texts)
      if (t.box.colour == colour) found.push_back(t.text);
    return found;
  }
};

/// Measures text with a simple model: a double-byte GBK character (lead and
/// trail byte both with the top bit set) is 1.0 wide, any other byte 0.5.
class RecordingDriver : public KernelDriver {
 public:
  explicit RecordingDriver(DrawLog& log) : log_(log) {}

  void SetDrawing(bool) override { log_.ops.push_back("SetDrawing"); }
  void CloseWinDriver() override { log_.ops.push_back("CloseWinDriver"); }
  void LockColor(int colour) override { locked_ = colour; }
  void UnlockColor() override { locked_ = -1; }
  void SelectPen(int colour) override { pen_ = colour; }
  void RestorePen() override { pen_ = -1; }
  void Line(double x1, double y1, double x2, double y2) override {
    log_.ops.push_back("Line");
    log_.lines.push_back({{x1, y1}, {x2, y2}, locked_ >= 0 ? locked_ : pen_});
  }
  void FillRect(double x, double y, double width, double height, int colour) override {
    log_.ops.push_back("FillRect");
    log_.rects.push_back({{x, y}, width, height, pen_ >= 0 ? pen_ : colour});
  }
  void DispText(const TextBox& box, std::string_view text) override {
    log_.ops.push_back("DispText");
    log_.texts.push_back({box, std::string(text)});
  }
  double TextWidth(std::string_view text) override {
    double width = 0;
    for (const std::size_t length : characters(text)) width += length == 2 ? 1.0 : 0.5;
    return width;
  }
  int CharCount(std::string_view text) override { return static_cast<int>(characters(text).size()); }
  void ResetDrawState() override {
    log_.ops.push_back("ResetDrawState");
    locked_ = pen_ = -1;
  }
  void DispPnt(D_DOT position, std::string_view text, legend::PointRecordBytes record) override {
    log_.ops.push_back("DispPnt");
    log_.points.push_back({position, std::string(text), Record(record.begin(), record.end())});
  }
  void DispLin(std::span<const D_DOT>, legend::LineRecordBytes) override { log_.ops.push_back("DispLin"); }
  void BeginRegFill(const RegionFill& fill) override {
    log_.ops.push_back("BeginRegFill");
    fill_ = fill;
  }
  void FillPolygons(std::span<const D_DOT> points, std::span<const std::int32_t>) override {
    log_.ops.push_back("FillPolygons");
    log_.regions.push_back({fill_, {points.begin(), points.end()}});
  }
  void EndRegFill() override { log_.ops.push_back("EndRegFill"); }
  bool DispImageIcon(D_DOT centre) override {
    log_.ops.push_back("DispImageIcon");
    log_.icons.push_back(centre);
    return log_.iconDrawable;
  }

 private:
  static std::vector<std::size_t> characters(std::string_view text) {
    std::vector<std::size_t> lengths;
    for (std::size_t i = 0; i < text.size(); i += lengths.back())
      lengths.push_back(i + 1 < text.size() && (text[i] & 0x80) && (text[i + 1] & 0x80) ? 2 : 1);
    return lengths;
  }
  DrawLog& log_;
  int locked_ = -1;
  int pen_ = -1;
  RegionFill fill_;
};

/// A drawing area whose drivers all record into one log.
class RecordingSurface : public legend::pad::PadSurface {
 public:
  DrawLog log;
  legend::pad::AreaSize area{120, 312};  ///< cells of 40 x 52
  bool driverAvailable = true;
  std::string total = "unset";
  int areaClears = 0;
  std::vector<legend::pad::WindowRect> cellClears;
  int imageFailures = 0;

  bool exists() const override { return true; }
  legend::pad::AreaSize areaSize() const override { return area; }
  void setTotalText(std::string_view text) override { total = text; }
  void clearArea() override { ++areaClears; }
  void clearCell(const legend::pad::WindowRect& cell) override { cellClears.push_back(cell); }
  std::unique_ptr<KernelDriver> openDriver() override {
    return driverAvailable ? std::make_unique<RecordingDriver>(log) : nullptr;
  }
  void reportImageFailure() override { ++imageFailures; }
};

}  // namespace testdraw
