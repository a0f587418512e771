#include "pad/window/pad_area.h"

#include <utility>

#include <QPainter>
#include <QtMath>

namespace legend::pad {

PadArea::PadArea(QWidget* parent, std::function<void()> fullPass) : QWidget(parent), fullPass_(std::move(fullPass)) {
  setObjectName(QStringLiteral("drawingArea"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PadArea::clear() {
  if (!imageFits()) {
    const qreal ratio = devicePixelRatioF();
    image_ = QImage(QSize(qCeil(width() * ratio), qCeil(height() * ratio)), QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    imageSize_ = size();
  }
  image_.fill(Qt::white);
}

void PadArea::clearRect(const QRect& rect) {
  if (!imageFits()) return clear();
  QPainter painter(&image_);
  painter.fillRect(rect, Qt::white);
}

void PadArea::paintEvent(QPaintEvent*) {
  // A resized area, one moved to a screen of another density, or one never
  // drawn gets a full pass; otherwise the passes have drawn the image
  // already and it only needs showing.
  if (!imageFits()) fullPass_();
  QPainter painter(this);
  if (imageFits())
    painter.drawImage(QPointF(0, 0), image_);
  else
    painter.fillRect(rect(), Qt::white);
}

}  // namespace legend::pad
