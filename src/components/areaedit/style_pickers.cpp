#include "components/areaedit/style_pickers.h"

#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>

#include "components/areaedit/crisp_painting.h"
#include "components/display/style_labels.h"
#include "components/display/styles.h"

namespace legend::areaedit {
namespace {

// A stretch long enough for a few repeats of the longest pattern and tall
// enough for the widest, so styles that differ only in their ticks can be
// told apart.
constexpr QSize kLineIcon(120, 22);
constexpr double kLinePen = 1.5;
constexpr double kLinePatternLength = 16;
constexpr double kLinePatternWidth = 8;

// Pattern cells are drawn larger than most legends use, so the pattern can
// be recognised in a small swatch.
constexpr QSize kSwatchIcon(44, 32);
constexpr double kSwatchCell = 8;
constexpr QSize kSwatchGrid(64, 58);

}  // namespace

LineStyleList::LineStyleList(QWidget* parent) : QListWidget(parent) {
  setIconSize(kLineIcon);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  for (int style = 0; style < display::lineStyleCount(); ++style)
    addItem(QStringLiteral("%1  %2").arg(style).arg(display::lineStyleLabel(style)));
  drawIcons();
}

void LineStyleList::setColours(const QColor& colour, const QColor& second) {
  if (colour == colour_ && second == second_) return;
  colour_ = colour;
  second_ = second;
  drawIcons();
}

void LineStyleList::setStyle(int style) {
  const QSignalBlocker blocker(this);
  setCurrentRow(style >= 0 && style < count() ? style : 0);
  scrollToItem(currentItem());
}

void LineStyleList::drawIcons() {
  display::LineStyleParams params;
  params.colour = colour_;
  params.secondColour = second_;
  params.penWidth = kLinePen;
  params.patternLength = kLinePatternLength;
  params.patternWidth = kLinePatternWidth;
  const double middle = kLineIcon.height() / 2.0;
  const QPolygonF stretch({QPointF(4, middle), QPointF(kLineIcon.width() - 4, middle)});
  for (int style = 0; style < count(); ++style) {
    item(style)->setIcon(drawnIcon(kLineIcon, [stretch, style, params](QPainter& painter) {
      painter.fillRect(QRect(QPoint(0, 0), kLineIcon), Qt::white);
      painter.setRenderHint(QPainter::Antialiasing);
      display::drawLineStyle(painter, stretch, style, params);
    }));
  }
}

PatternSwatches::PatternSwatches(QWidget* parent) : QListWidget(parent) {
  setViewMode(QListView::IconMode);
  setIconSize(kSwatchIcon);
  setGridSize(kSwatchGrid);
  setMovement(QListView::Static);
  setResizeMode(QListView::Adjust);
  setUniformItemSizes(true);
  setWrapping(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  for (int pattern = 0; pattern < display::fillPatternCount(); ++pattern) {
    auto* entry = new QListWidgetItem(QString::number(pattern), this);
    entry->setToolTip(QStringLiteral("%1 %2").arg(pattern).arg(display::fillPatternLabel(pattern)));
  }
  drawIcons();
}

void PatternSwatches::setColours(const QColor& fill, const QColor& pattern) {
  if (fill == fill_ && pattern == pattern_) return;
  fill_ = fill;
  pattern_ = pattern;
  drawIcons();
}

void PatternSwatches::setPattern(int pattern) {
  const QSignalBlocker blocker(this);
  setCurrentRow(pattern >= 0 && pattern < count() ? pattern : 0);
  scrollToItem(currentItem());
}

void PatternSwatches::drawIcons() {
  const QRect swatch(QPoint(0, 0), kSwatchIcon);
  QPainterPath area;
  area.addRect(QRectF(swatch));
  for (int pattern = 0; pattern < count(); ++pattern) {
    item(pattern)->setIcon(
        drawnIcon(kSwatchIcon, [swatch, area, pattern, fill = fill_, colour = pattern_](QPainter& painter) {
          painter.fillRect(swatch, Qt::white);
          painter.setRenderHint(QPainter::Antialiasing, false);
          display::fillRegion(painter, area, fill, pattern, QSizeF(kSwatchCell, kSwatchCell), colour);
          fillFrame(painter, swatch, colour);
        }));
  }
}

}  // namespace legend::areaedit
