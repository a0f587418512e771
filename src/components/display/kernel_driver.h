#pragma once
// The drawing operations legend samples, cells and sheets are drawn with.
// Coordinates are pixels with the origin at the bottom-left of the drawing
// area and y growing upwards; colours are numbers of the display palette.
// This header is free of Qt so the pad's drawing logic can be tested with a
// recording driver; the QPainter implementation lives beside it.

#include <cstdint>

/// A point in drawing coordinates.
struct D_DOT {
  double x = 0;
  double y = 0;
};

/// Size in bytes of the graphic parameter records the samples are drawn from.
inline constexpr int kPntInfoBytes = 94;
inline constexpr int kLinInfoBytes = 67;
inline constexpr int kRegInfoBytes = 63;

/// A drawing context bound to one surface. The legend pad opens one per pass
/// and closes it at the end; the records passed to DispPnt, DispLin and
/// BeginRegFill are the caller's (scaled) copies and are not kept.
class KernelDriver {
 public:
  virtual ~KernelDriver() = default;

  /// Set-up steps run after opening; the QPainter driver needs none.
  virtual void SetupDriverA() {}
  virtual void SetupDriverB() {}
  /// 1 starts a pass in drawing coordinates, 0 ends it.
  virtual void SetDrawing(int on) = 0;
  /// Releases the surface; no call may follow.
  virtual void CloseWinDriver() = 0;

  /// Line calls until UnlockColor draw in @p colour.
  virtual void LockColor(int colour) = 0;
  virtual void UnlockColor() = 0;
  /// Line and FillRect calls until RestorePen use @p colour.
  virtual void SelectPen(int style, int width, int colour) = 0;
  virtual void RestorePen() = 0;

  virtual void Line(double x1, double y1, double x2, double y2, int mode) = 0;
  /// Filled rectangle from corner (x, y); a negative height extends downwards.
  virtual void FillRect(double x, double y, double width, double height, int colour) = 0;

  /// Draws GBK @p text with its top-left at (x, y) inside a box of
  /// boxWidth x boxHeight, characters textHeight high and charWidth wide.
  virtual void DispText(double x, double y, float boxWidth, float boxHeight, float textHeight, float charWidth,
                        const char* text, int a, int b, int c, float charSpacing, float lineSpacing, int d,
                        int colour) = 0;
  /// Width of GBK @p text in character widths, as DispText lays it out.
  virtual double TextWidth(const char* text, int a, int b) = 0;
  /// Number of characters of GBK @p text (a double-byte character is one).
  virtual int CharCount(const char* text) = 0;

  /// Restores the pen, brush and colour state; called around every sample.
  /// Ends a clip as well.
  virtual void ResetDrawState(int mode) = 0;

  /// Until Unclip (or ResetDrawState, or the end of the pass), nothing is
  /// drawn outside the rectangle with top-left corner (x, y), @p width x
  /// @p height pixels, extending right and down. A new clip replaces the
  /// last one. Drivers that cannot clip may ignore it.
  virtual void ClipRect(double /*x*/, double /*y*/, double /*width*/, double /*height*/) {}
  virtual void Unclip() {}

  /// A point sample at @p position from a 94-byte point record.
  virtual void DispPnt(D_DOT position, const char* text, std::int16_t textLength, const std::uint8_t* pntInfo,
                       int mode) = 0;
  /// A line sample along @p count points from a 67-byte line record.
  virtual void DispLin(const D_DOT* points, int count, const std::uint8_t* linInfo, int mode) = 0;
  /// Region fill: BeginRegFill sets the fill style, FillPolygons fills rings
  /// of points (counts[i] points each) with it, EndRegFill ends the fill.
  virtual void BeginRegFill(std::int32_t fillColour, int pattern, double patternSize, std::int32_t patternColour) = 0;
  virtual void FillPolygons(const D_DOT* points, const std::int32_t* counts, int rings) = 0;
  virtual void EndRegFill() = 0;

  /// The image legend's icon (32 x 32) centred on @p centre. False when the
  /// icon cannot be drawn.
  virtual bool DispImageIcon(D_DOT centre) = 0;
};
