#pragma once
// Glyphs already squeezed into their cells, kept as small images. A caption
// glyph is drawn scaled to its cell, and a scaled glyph misses the raster
// engine's own glyph cache: every one would be rasterised again, its mask
// allocated and cleared each time. The pad and the sheets draw the same few
// characters at the same few cell sizes thousands of times, so each
// distinct one is rasterised once per thread and blitted after that.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QString>

namespace legend::display {

/// What makes two sprites the same picture.
struct SpriteKey {
  std::uint32_t glyph = 0;  ///< the character's bytes, packed with their count
  std::int32_t pixelSize = 0;
  std::int32_t width = 0;    ///< cell width in 1/64 pixel
  std::int32_t height = 0;   ///< cell height in 1/64 pixel
  std::int32_t offsetX = 0;  ///< where the cell starts within its first pixel, in quarters
  std::int32_t offsetY = 0;
  QRgb colour = 0;

  bool operator==(const SpriteKey&) const = default;
};

struct SpriteKeyHash {
  std::size_t operator()(const SpriteKey& key) const noexcept;
};

/// Where a sprite goes: its key and the device pixel its top-left corner
/// covers.
struct SpritePlace {
  SpriteKey key;
  QPointF devicePixel;
};

/// How a glyph fills its cell: the pixel size of its font, the font's
/// ascent, and how far the glyph is stretched each way.
struct GlyphPlacement {
  int pixelSize = 0;
  double ascent = 0;
  double scaleX = 1;
  double scaleY = 1;
};

/// The sprites of the calling thread. Fonts are made per thread too, so
/// threads drawing sheet pages side by side share no font state.
class GlyphSprites {
 public:
  GlyphSprites() = default;
  ~GlyphSprites();
  GlyphSprites(const GlyphSprites&) = delete;
  GlyphSprites& operator=(const GlyphSprites&) = delete;

  /// The calling thread's cache.
  static GlyphSprites& local();

  /// The place of a glyph of GBK @p bytes (one or two) in a cell of
  /// @p cellSize whose top-left corner lies at @p deviceTopLeft; nothing for
  /// glyphs too large to keep.
  static std::optional<SpritePlace> place(std::string_view bytes, int pixelSize, QPointF deviceTopLeft, QSizeF cellSize,
                                          const QColor& colour);

  /// The sprite kept under @p key, or null.
  const QImage* find(const SpriteKey& key) const;
  /// Rasterises @p glyph as @p key describes it, clipped to its cell, and
  /// keeps it; an empty @p glyph keeps a null image (nothing to draw).
  const QImage& add(const SpriteKey& key, const QString& glyph, QSizeF cellSize, const GlyphPlacement& placement,
                    const QColor& colour);

 private:
  const QFont& fontOf(int pixelSize);

  std::unordered_map<SpriteKey, QImage, SpriteKeyHash> sprites_;
  std::unordered_map<int, QFont> fonts_;
};

}  // namespace legend::display
