#pragma once
// A KernelDriver that records every call with its arguments, and a pad
// surface that hands it out, so drawing geometry can be checked exactly.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "components/display/kernel_driver.h"
#include "pad/model/pad_surface.h"

namespace testdraw {

/// One driver call; numbers in argument order, whatever their type.
struct Call {
  std::string op;
  std::vector<double> args{};
  std::string text{};                  ///< DispText, DispPnt (its length), TextWidth, CharCount
  std::vector<D_DOT> points{};         ///< DispPnt, DispImageIcon: one; DispLin, FillPolygons: all
  std::vector<std::uint8_t> record{};  ///< DispPnt, DispLin: the record as passed
};

struct DrawLog {
  std::vector<Call> calls;
  bool iconDrawable = true;  ///< what DispImageIcon answers

  std::vector<Call> of(std::string_view op) const {
    std::vector<Call> found;
    for (const Call& c : calls)
      if (c.op == op) found.push_back(c);
    return found;
  }
  /// The calls' names, without the measuring calls of caption fitting.
  std::vector<std::string> ops() const {
    std::vector<std::string> names;
    for (const Call& c : calls)
      if (c.op != "TextWidth" && c.op != "CharCount") names.push_back(c.op);
    return names;
  }
};

/// Measures text with a simple model: a double-byte GBK character (lead and
/// trail byte both with the top bit set) is 1.0 wide, any other byte 0.5.
class RecordingDriver : public KernelDriver {
 public:
  explicit RecordingDriver(DrawLog& log) : log_(log) {}

  void SetupDriverA() override { add("SetupDriverA"); }
  void SetupDriverB() override { add("SetupDriverB"); }
  void SetDrawing(int on) override { add("SetDrawing", on); }
  void CloseWinDriver() override { add("CloseWinDriver"); }
  void LockColor(int colour) override { add("LockColor", colour); }
  void UnlockColor() override { add("UnlockColor"); }
  void SelectPen(int style, int width, int colour) override { add("SelectPen", style, width, colour); }
  void RestorePen() override { add("RestorePen"); }
  void Line(double x1, double y1, double x2, double y2, int mode) override { add("Line", x1, y1, x2, y2, mode); }
  void FillRect(double x, double y, double w, double h, int colour) override { add("FillRect", x, y, w, h, colour); }
  void DispText(double x, double y, float boxWidth, float boxHeight, float textHeight, float charWidth,
                const char* text, int a, int b, int c, float charSpacing, float lineSpacing, int d,
                int colour) override {
    add("DispText", x, y, boxWidth, boxHeight, textHeight, charWidth, a, b, c, charSpacing, lineSpacing, d, colour)
        .text = text;
  }
  double TextWidth(const char* text, int a, int b) override {
    add("TextWidth", a, b).text = text;
    double width = 0;
    for (const std::size_t length : characters(text)) width += length == 2 ? 1.0 : 0.5;
    return width;
  }
  int CharCount(const char* text) override {
    add("CharCount").text = text;
    return static_cast<int>(characters(text).size());
  }
  void ResetDrawState(int mode) override { add("ResetDrawState", mode); }
  void DispPnt(D_DOT position, const char* text, std::int16_t length, const std::uint8_t* info, int mode) override {
    Call& c = add("DispPnt", length, mode);
    c.text.assign(text, static_cast<std::size_t>(length));
    c.points = {position};
    c.record.assign(info, info + kPntInfoBytes);
  }
  void DispLin(const D_DOT* points, int count, const std::uint8_t* info, int mode) override {
    Call& c = add("DispLin", count, mode);
    c.points.assign(points, points + count);
    c.record.assign(info, info + kLinInfoBytes);
  }
  void BeginRegFill(std::int32_t fill, int pattern, double size, std::int32_t patternColour) override {
    add("BeginRegFill", fill, pattern, size, patternColour);
  }
  void FillPolygons(const D_DOT* points, const std::int32_t* counts, int rings) override {
    Call& c = add("FillPolygons", rings);
    for (int r = 0; r < rings; ++r) {
      c.args.push_back(counts[r]);
      c.points.insert(c.points.end(), points, points + counts[r]);
      points += counts[r];
    }
  }
  void EndRegFill() override { add("EndRegFill"); }
  bool DispImageIcon(D_DOT centre) override {
    add("DispImageIcon").points = {centre};
    return log_.iconDrawable;
  }

 private:
  template <typename... Args>
  Call& add(const char* op, Args... args) {
    log_.calls.push_back({op, {static_cast<double>(args)...}});
    return log_.calls.back();
  }
  static std::vector<std::size_t> characters(std::string_view text) {
    std::vector<std::size_t> lengths;
    for (std::size_t i = 0; i < text.size(); i += lengths.back())
      lengths.push_back(i + 1 < text.size() && (text[i] & 0x80) && (text[i + 1] & 0x80) ? 2 : 1);
    return lengths;
  }
  DrawLog& log_;
};

/// A drawing area whose drivers all record into one log.
class RecordingSurface : public legend::pad::PadSurface {
 public:
  DrawLog log;
  legend::pad::AreaSize area{120, 312};  ///< cells of 40 x 52
  bool windowExists = true;
  bool driverAvailable = true;
  std::string total = "unset";
  int areaClears = 0;
  std::vector<legend::pad::WindowRect> cellClears;
  int imageFailures = 0;

  bool exists() const override { return windowExists; }
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
