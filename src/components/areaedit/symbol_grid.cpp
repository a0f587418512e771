#include "components/areaedit/symbol_grid.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <QToolTip>
#include "components/areaedit/crisp_painting.h"

#include "components/display/style_labels.h"
#include "components/display/styles.h"

namespace legend::areaedit {
namespace {

using display::pointSymbolCount;

constexpr int kSymbolMargin = 6;  // free pixels around a symbol in its cell
constexpr double kSymbolPen = 1.0;
constexpr int kChosenFrame = 2;  // pixels: the chosen cell's frame, over the grid lines

int rowsFor(int count) { return (count + SymbolGrid::kColumns - 1) / SymbolGrid::kColumns; }

}  // namespace

SymbolGrid::SymbolGrid(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setFixedSize(sizeHint());
}

QSize SymbolGrid::sizeHint() const { return {kColumns * kCellSize + 1, rowsFor(pointSymbolCount()) * kCellSize + 1}; }

void SymbolGrid::setSymbol(int number) {
  symbol_ = number >= 1 && number <= pointSymbolCount() ? number : 1;
  update();
}

void SymbolGrid::setSymbolColour(const QColor& colour) {
  colour_ = colour;
  update();
}

QRect SymbolGrid::cellRect(int number) const {
  if (number < 1 || number > pointSymbolCount()) return {};
  const int index = number - 1;
  return {(index % kColumns) * kCellSize, (index / kColumns) * kCellSize, kCellSize, kCellSize};
}

int SymbolGrid::symbolAt(QPoint point) const {
  if (point.x() < 0 || point.y() < 0 || point.x() >= kColumns * kCellSize) return 0;
  const int number = (point.y() / kCellSize) * kColumns + point.x() / kCellSize + 1;
  return number <= pointSymbolCount() ? number : 0;
}

void SymbolGrid::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), Qt::white);
  const QRect chosen = cellRect(symbol_);
  painter.fillRect(chosen, palette().color(QPalette::Highlight).lighter(170));
  const QSizeF size(kCellSize - 2 * kSymbolMargin, kCellSize - 2 * kSymbolMargin);
  for (int number = 1; number <= pointSymbolCount(); ++number) {
    const QRect cell = cellRect(number);
    if (!cell.intersects(event->rect())) continue;
    painter.save();
    display::drawPointSymbol(painter, number, QRectF(cell).center(), size, 0, colour_, kSymbolPen);
    painter.restore();
  }
  // Filled rather than stroked, so the lines cover whole pixels at any
  // pixel ratio.
  const QColor line(Qt::lightGray);
  for (int column = 0; column <= kColumns; ++column) painter.fillRect(column * kCellSize, 0, 1, height(), line);
  for (int row = 0; row <= rowsFor(pointSymbolCount()); ++row) painter.fillRect(0, row * kCellSize, width(), 1, line);
  fillFrame(painter, chosen, palette().color(QPalette::Highlight), kChosenFrame);
}

void SymbolGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (const int number = symbolAt(event->position().toPoint()); number != 0) choose(number);
}

void SymbolGrid::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left: choose(symbol_ - 1); break;
    case Qt::Key_Right: choose(symbol_ + 1); break;
    case Qt::Key_Up: choose(symbol_ - kColumns); break;
    case Qt::Key_Down: choose(symbol_ + kColumns); break;
    default: QWidget::keyPressEvent(event); return;
  }
}

bool SymbolGrid::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    if (const int number = symbolAt(help->pos()); number != 0)
      QToolTip::showText(help->globalPos(), QStringLiteral("%1 %2").arg(number).arg(display::pointSymbolLabel(number)),
                         this, cellRect(number));
    else
      QToolTip::hideText();
    return true;
  }
  return QWidget::event(event);
}

void SymbolGrid::choose(int number) {
  if (number < 1 || number > pointSymbolCount()) return;
  symbol_ = number;
  update();
  if (onChosen_) onChosen_(number);
}

}  // namespace legend::areaedit
