#pragma once
// Lists of the display component's line styles and fill patterns, each
// entry drawn by the display component in the legend's own colours.

#include <QColor>
#include <QListWidget>

namespace legend::areaedit {

/// One row per line style, 0 ... lineStyleCount() - 1: a drawn stretch of
/// the style beside its number and name. The row is the style number.
class LineStyleList : public QListWidget {
 public:
  explicit LineStyleList(QWidget* parent = nullptr);
  /// Redraws every entry in @p colour and @p second.
  void setColours(const QColor& colour, const QColor& second);
  /// Selects the row of @p style without emitting; unknown styles select
  /// style 0, which is what they draw.
  void setStyle(int style);

 private:
  void drawIcons();

  QColor colour_ = Qt::black;
  QColor second_ = Qt::white;
};

/// One swatch per fill pattern, 0 ... fillPatternCount() - 1, laid out as a
/// grid of icons; the row is the pattern number.
class PatternSwatches : public QListWidget {
 public:
  explicit PatternSwatches(QWidget* parent = nullptr);
  void setColours(const QColor& fill, const QColor& pattern);
  /// As LineStyleList::setStyle, for patterns.
  void setPattern(int pattern);

 private:
  void drawIcons();

  QColor fill_ = Qt::white;
  QColor pattern_ = Qt::black;
};

}  // namespace legend::areaedit
