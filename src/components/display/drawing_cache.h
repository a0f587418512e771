#pragma once
// What every drawing pass would otherwise build again: fonts at the pixel
// sizes glyphs are drawn at, the measurements of the glyphs drawn and the
// image legend's icon. The pad opens a driver per pass, so none of this can
// live in the driver. Entries are bounded and shared by all threads that
// draw.

#include <QFont>
#include <QImage>
#include <QString>

namespace legend::display {

/// A font at one pixel size with the measurements glyph cells use.
struct CachedFont {
  QFont font;
  double ascent = 0;
  double height = 0;
};

/// How one glyph sits in its font: its advance and the extent of its ink
/// relative to the advance box (origin at the box's top-left).
struct GlyphExtent {
  double advance = 0;
  double inkLeft = 0;
  double inkTop = 0;
  double inkRight = 0;
  double inkBottom = 0;
};

namespace drawing_cache {

/// The default font at @p pixelSize, antialiased.
CachedFont font(int pixelSize);
/// The extent of @p glyph in the font of @p pixelSize.
GlyphExtent glyph(int pixelSize, const QString& glyph);
/// The image legend's icon; null when it cannot be read.
QImage icon(const QString& path);

}  // namespace drawing_cache
}  // namespace legend::display
