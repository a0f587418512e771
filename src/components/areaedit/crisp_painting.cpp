#include "components/areaedit/crisp_painting.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

namespace legend::areaedit {
namespace {

class DrawnIconEngine final : public QIconEngine {
 public:
  DrawnIconEngine(QSize logical, std::function<void(QPainter&)> draw) : logical_(logical), draw_(std::move(draw)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
    if (logical_.isEmpty() || rect.isEmpty() || !draw_) return;
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->translate(rect.topLeft());
    painter->scale(static_cast<qreal>(rect.width()) / logical_.width(),
                   static_cast<qreal>(rect.height()) / logical_.height());
    draw_(*painter);
    painter->restore();
  }

  // Asked for in device pixels: QIcon multiplies the size by the ratio it
  // is drawn at and marks the pixmap with that ratio afterwards.
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap drawn(size);
    drawn.fill(Qt::transparent);
    {
      QPainter painter(&drawn);
      paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    }
    if (mode != QIcon::Disabled) return drawn;
    // Greyed as the style greys the pixmaps of any other icon.
    QStyleOption option;
    option.palette = QApplication::palette();
    return QApplication::style()->generatedIconPixmap(QIcon::Disabled, drawn, &option);
  }

  // Shrunk to fit a smaller size, never enlarged, as a pixmap icon is.
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    if (logical_.width() <= size.width() && logical_.height() <= size.height()) return logical_;
    return logical_.scaled(size, Qt::KeepAspectRatio);
  }

  QIconEngine* clone() const override { return new DrawnIconEngine(logical_, draw_); }

 private:
  QSize logical_;
  std::function<void(QPainter&)> draw_;
};

}  // namespace

void fillFrame(QPainter& painter, const QRect& rect, const QColor& colour, int width) {
  if (rect.isEmpty() || width <= 0) return;
  const int across = std::min(width, rect.width());
  const int down = std::min(width, rect.height());
  painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), down), colour);
  painter.fillRect(QRect(rect.left(), rect.bottom() - down + 1, rect.width(), down), colour);
  painter.fillRect(QRect(rect.left(), rect.top(), across, rect.height()), colour);
  painter.fillRect(QRect(rect.right() - across + 1, rect.top(), across, rect.height()), colour);
}

QIcon drawnIcon(QSize logical, std::function<void(QPainter&)> draw) {
  return QIcon(new DrawnIconEngine(logical, std::move(draw)));
}

}  // namespace legend::areaedit
