#pragma once
// The drawing operations legend samples, cells and sheets are drawn with.
// Coordinates are pixels with the origin at the bottom-left of the drawing
// area and y growing upwards; colours are numbers of the display palette.
// This header is free of Qt, so the pad's drawing logic links without it
// and is tested with a recording driver; the QPainter implementation is in
// src/components/display.

#include <cstdint>
#include <span>
#include <string_view>

#include "legendfile/layout.h"

/// A point in drawing coordinates.
struct D_DOT {
  double x = 0;
  double y = 0;
  friend bool operator==(const D_DOT&, const D_DOT&) = default;
};

/// A text laid out in a box: characters left to right from the box's
/// top-left corner, a line break starting a new line below the first.
struct TextBox {
  D_DOT topLeft;
  double width = 0;  ///< nothing is drawn beyond the box
  double height = 0;
  double charHeight = 0;   ///< every character is this high
  double charWidth = 0;    ///< a double-byte character is this wide, a single-byte one half of it
  double charSpacing = 0;  ///< added after every character
  double lineSpacing = 1;  ///< a new line starts charHeight x this lower
  int colour = 0;
  friend bool operator==(const TextBox&, const TextBox&) = default;
};

/// How a region's rings are filled: a background colour and a pattern of
/// cells patternSize pixels wide drawn in a second colour over it.
struct RegionFill {
  std::int32_t fillColour = 0;
  int pattern = 0;
  double patternSize = 0;
  std::int32_t patternColour = 0;
  friend bool operator==(const RegionFill&, const RegionFill&) = default;
};

/// A drawing context bound to one surface. The legend pad opens one per pass
/// and closes it at the end; the records passed to DispPnt and DispLin are
/// the caller's (scaled) copies and are not kept.
class KernelDriver {
 public:
  virtual ~KernelDriver() = default;

  /// True starts a pass in drawing coordinates, false ends it.
  virtual void SetDrawing(bool on) = 0;
  /// Releases the surface; no call may follow.
  virtual void CloseWinDriver() = 0;

  /// Line calls until UnlockColor draw in @p colour.
  virtual void LockColor(int colour) = 0;
  virtual void UnlockColor() = 0;
  /// Line and FillRect calls until RestorePen use @p colour.
  virtual void SelectPen(int colour) = 0;
  virtual void RestorePen() = 0;

  virtual void Line(double x1, double y1, double x2, double y2) = 0;
  /// Filled rectangle from corner (x, y); a negative height extends downwards.
  virtual void FillRect(double x, double y, double width, double height, int colour) = 0;

  /// Draws GBK @p text in @p box.
  virtual void DispText(const TextBox& box, std::string_view text) = 0;
  /// Width of GBK @p text in character widths, as DispText lays it out.
  virtual double TextWidth(std::string_view text) = 0;
  /// Number of characters of GBK @p text (a double-byte character is one).
  virtual int CharCount(std::string_view text) = 0;

  /// Restores the pen, brush and colour state; called around every sample.
  /// Ends a clip as well.
  virtual void ResetDrawState() = 0;

  /// Until Unclip (or ResetDrawState, or the end of the pass), nothing is
  /// drawn outside the rectangle with top-left corner (x, y), @p width x
  /// @p height pixels, extending right and down. A new clip replaces the
  /// last one. Drivers that cannot clip may ignore it.
  virtual void ClipRect(double /*x*/, double /*y*/, double /*width*/, double /*height*/) {}
  virtual void Unclip() {}

  /// A point sample at @p position from a point record; annotations and
  /// texts show GBK @p text.
  virtual void DispPnt(D_DOT position, std::string_view text, legend::PointRecordBytes record) = 0;
  /// A line sample along @p points from a line record.
  virtual void DispLin(std::span<const D_DOT> points, legend::LineRecordBytes record) = 0;
  /// Region fill: BeginRegFill sets the fill style, FillPolygons fills rings
  /// of points (ringSizes[i] points each, one after the other in @p points)
  /// with it, EndRegFill ends the fill.
  virtual void BeginRegFill(const RegionFill& fill) = 0;
  virtual void FillPolygons(std::span<const D_DOT> points, std::span<const std::int32_t> ringSizes) = 0;
  virtual void EndRegFill() = 0;

  /// The image legend's icon (32 x 32) centred on @p centre. False when the
  /// icon cannot be drawn.
  virtual bool DispImageIcon(D_DOT centre) = 0;
};
