#include "components/areaedit/palette_picker.h"

#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>

#include "components/areaedit/crisp_painting.h"
#include "components/codec/ui_language.h"
#include "components/display/palette.h"

namespace legend::areaedit {
namespace {

using display::kPaletteSize;
using display::paletteColour;

constexpr int kRows = kPaletteSize / PaletteGrid::kColumns;
constexpr int kSwatchSize = 16;

bool inPalette(unsigned number) { return number < static_cast<unsigned>(kPaletteSize); }

/// A dark or light frame, whichever stands out against @p fill.
QColor contrastTo(const QColor& fill) { return fill.lightnessF() > 0.55 ? QColor(Qt::black) : QColor(Qt::white); }

}  // namespace

PaletteGrid::PaletteGrid(int current, QWidget* parent)
    : QWidget(parent), current_(current >= 0 && current < kPaletteSize ? current : 0) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setFixedSize(sizeHint());
}

QSize PaletteGrid::sizeHint() const { return {kColumns * kCellSize + 1, kRows * kCellSize + 1}; }

QRect PaletteGrid::cellRect(int number) const {
  if (number < 0 || number >= kPaletteSize) return {};
  return {(number % kColumns) * kCellSize, (number / kColumns) * kCellSize, kCellSize, kCellSize};
}

int PaletteGrid::entryAt(QPoint point) const {
  if (point.x() < 0 || point.y() < 0) return -1;
  const int column = point.x() / kCellSize;
  const int row = point.y() / kCellSize;
  if (column >= kColumns || row >= kRows) return -1;
  return row * kColumns + column;
}

void PaletteGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (int number = 0; number < kPaletteSize; ++number) {
    const QRect cell = cellRect(number);
    painter.fillRect(cell.adjusted(1, 1, 0, 0), paletteColour(number));
  }
  // Frame the chosen entry twice so it shows on light and on dark colours.
  const QRect chosen = cellRect(current_);
  fillFrame(painter, chosen.adjusted(1, 1, 0, 0), contrastTo(paletteColour(current_)));
  fillFrame(painter, chosen.adjusted(0, 0, 1, 1), palette().color(QPalette::Highlight));
}

void PaletteGrid::mousePressEvent(QMouseEvent* event) {
  const int number = entryAt(event->position().toPoint());
  if (event->button() != Qt::LeftButton || number < 0) return;
  moveCurrent(number);
  if (onPicked_) onPicked_(number);
}

void PaletteGrid::mouseMoveEvent(QMouseEvent* event) {
  // The number is what a map maker writes down to match another legend.
  const int number = entryAt(event->position().toPoint());
  if (number >= 0)
    QToolTip::showText(event->globalPosition().toPoint(), legend::tr("颜色号 %1").arg(number), this, cellRect(number));
}

void PaletteGrid::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left: moveCurrent(current_ - 1); break;
    case Qt::Key_Right: moveCurrent(current_ + 1); break;
    case Qt::Key_Up: moveCurrent(current_ - kColumns); break;
    case Qt::Key_Down: moveCurrent(current_ + kColumns); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (onPicked_) onPicked_(current_);
      break;
    default: QWidget::keyPressEvent(event); return;
  }
}

void PaletteGrid::moveCurrent(int number) {
  if (number < 0 || number >= kPaletteSize) return;
  current_ = number;
  update();
}

ColourButton::ColourButton(QWidget* parent) : QPushButton(parent) {
  setAutoDefault(false);
  showColour();
  connect(this, &QPushButton::clicked, this, [this] { openPopup(); });
}

void ColourButton::setColour(unsigned number) {
  colour_ = number;
  showColour();
}

void ColourButton::showColour() {
  const QSize size(kSwatchSize, kSwatchSize);
  const QColor fill = paletteColour(inPalette(colour_) ? static_cast<int>(colour_) : -1);
  const QColor frame = palette().color(QPalette::WindowText);
  setIcon(drawnIcon(size, [size, fill, frame](QPainter& painter) {
    painter.fillRect(QRect(QPoint(0, 0), size), fill);
    fillFrame(painter, QRect(QPoint(0, 0), size), frame);
  }));
  setIconSize(size);
  // A number outside the palette draws black; say so rather than hide it.
  setText(inPalette(colour_) ? QString::number(colour_) : legend::tr("%1 (无效)").arg(colour_));
}

PaletteGrid* ColourButton::openGrid() const {
  for (PaletteGrid* grid : findChildren<PaletteGrid*>(QStringLiteral("paletteGrid")))
    if (grid->isVisible()) return grid;
  return nullptr;
}

void ColourButton::openPopup() {
  auto* popup = new QFrame(this, Qt::Popup);
  popup->setObjectName(QStringLiteral("palettePopup"));
  popup->setAttribute(Qt::WA_DeleteOnClose);
  popup->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* grid = new PaletteGrid(inPalette(colour_) ? static_cast<int>(colour_) : 0, popup);
  grid->setObjectName(QStringLiteral("paletteGrid"));
  auto* layout = new QVBoxLayout(popup);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(grid);
  grid->setOnPicked([this, popup](int number) {
    popup->close();
    setColour(static_cast<unsigned>(number));
    if (onChanged_) onChanged_(colour_);
  });
  popup->adjustSize();
  popup->move(mapToGlobal(rect().bottomLeft()));
  popup->show();
  grid->setFocus();
}

}  // namespace legend::areaedit
