#pragma once
// Painting that stays sharp at any pixel ratio. A stroked line one logical
// pixel wide is centred on a pixel's edge, so on a screen of ratio 2 it
// lands on the device pixels either side of that edge, half in the wrong
// logical pixel; and an icon drawn once at its logical size is enlarged
// into a blur. Frames here are filled, and icons are drawn where they are
// shown, at the resolution of the device they are shown on.

#include <functional>

#include <QColor>
#include <QIcon>
#include <QRect>
#include <QSize>

class QPainter;

namespace legend::areaedit {

/// Fills the pixels along the inside of @p rect, @p width logical pixels
/// deep, in @p colour: at ratio 1 exactly what a @p width pixel pen draws
/// for drawRect(rect.adjusted(0, 0, -1, -1)).
void fillFrame(QPainter& painter, const QRect& rect, const QColor& colour, int width = 1);

/// An icon of @p logical size whose pixels @p draw paints, in logical
/// pixels, each time it is shown or asked for a pixmap, at the density of
/// the device it goes to.
QIcon drawnIcon(QSize logical, std::function<void(QPainter&)> draw);

}  // namespace legend::areaedit
