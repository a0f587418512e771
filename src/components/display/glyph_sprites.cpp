#include "components/display/glyph_sprites.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include <QCoreApplication>
#include <QPainter>

namespace legend::display {

namespace {

// Captions use a few hundred distinct characters in a handful of sizes and
// colours; a damaged file must not grow the cache without end. At most a
// few megabytes per drawing thread.
constexpr std::size_t kMaxSprites = 8192;
// Sprites are for caption-sized glyphs; larger ones are drawn directly.
constexpr double kMaxSpriteExtent = 256;
constexpr int kSubpixelSteps = 4;
constexpr double kSizeUnits = 64;

std::uint32_t packGlyph(std::string_view bytes) {
  std::uint32_t packed = static_cast<std::uint32_t>(bytes.size()) << 16;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    packed |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  return packed;
}

}  // namespace

std::size_t SpriteKeyHash::operator()(const SpriteKey& key) const noexcept {
  std::uint64_t h = 0xcbf29ce484222325;
  const auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 0x100000001b3; };
  mix(key.glyph);
  mix(static_cast<std::uint32_t>(key.pixelSize));
  mix(static_cast<std::uint32_t>(key.width));
  mix(static_cast<std::uint32_t>(key.height));
  mix(static_cast<std::uint32_t>(key.offsetX * kSubpixelSteps + key.offsetY));
  mix(key.colour);
  return static_cast<std::size_t>(h);
}

namespace {
// One cache per drawing thread: threads drawing sheet pages side by side
// share neither a lock nor font state. It goes when its thread ends.
thread_local GlyphSprites threadSprites;

// Fonts let go at exit stay reachable from here, so that leak checkers do
// not count them.
struct LetGoFonts {
  std::unordered_map<int, QFont> fonts;
  LetGoFonts* next;
};
std::atomic<LetGoFonts*> letGoFonts{nullptr};
}  // namespace

GlyphSprites& GlyphSprites::local() { return threadSprites; }

GlyphSprites::~GlyphSprites() {
  // The main thread's cache goes after the application object, and fonts
  // must not outlive that: they are let go undestroyed, as the drawing
  // cache does with its own.
  if (QCoreApplication::instance() != nullptr) return;
  auto* kept = new LetGoFonts{std::move(fonts_), letGoFonts.load()};
  while (!letGoFonts.compare_exchange_weak(kept->next, kept)) {
  }
}

std::optional<SpritePlace> GlyphSprites::place(std::string_view bytes, int pixelSize, QPointF deviceTopLeft,
                                               QSizeF cellSize, const QColor& colour) {
  if (bytes.empty() || bytes.size() > 2 || !(cellSize.width() <= kMaxSpriteExtent) ||
      !(cellSize.height() <= kMaxSpriteExtent) || !std::isfinite(deviceTopLeft.x()) ||
      !std::isfinite(deviceTopLeft.y()))
    return std::nullopt;
  // The cell keeps its position within the pixel to a quarter, so a cached
  // glyph lands where a directly drawn one would.
  double pixelX = std::floor(deviceTopLeft.x());
  double pixelY = std::floor(deviceTopLeft.y());
  auto stepX = static_cast<std::int32_t>(std::lround((deviceTopLeft.x() - pixelX) * kSubpixelSteps));
  auto stepY = static_cast<std::int32_t>(std::lround((deviceTopLeft.y() - pixelY) * kSubpixelSteps));
  if (stepX == kSubpixelSteps) pixelX += 1, stepX = 0;
  if (stepY == kSubpixelSteps) pixelY += 1, stepY = 0;
  const SpriteKey key{packGlyph(bytes),
                      pixelSize,
                      static_cast<std::int32_t>(std::lround(cellSize.width() * kSizeUnits)),
                      static_cast<std::int32_t>(std::lround(cellSize.height() * kSizeUnits)),
                      stepX,
                      stepY,
                      colour.rgba()};
  return SpritePlace{key, QPointF(pixelX, pixelY)};
}

const QImage* GlyphSprites::find(const SpriteKey& key) const {
  const auto found = sprites_.find(key);
  return found == sprites_.end() ? nullptr : &found->second;
}

const QFont& GlyphSprites::fontOf(int pixelSize) {
  const auto found = fonts_.find(pixelSize);
  if (found != fonts_.end()) return found->second;
  QFont font;
  font.setPixelSize(pixelSize);
  font.setStyleStrategy(QFont::PreferAntialias);
  return fonts_.emplace(pixelSize, font).first->second;
}

const QImage& GlyphSprites::add(const SpriteKey& key, const QString& glyph, QSizeF cellSize,
                                const GlyphPlacement& placement, const QColor& colour) {
  if (sprites_.size() >= kMaxSprites) sprites_.clear();
  QImage image;
  if (!glyph.isEmpty()) {
    const double offsetX = double(key.offsetX) / kSubpixelSteps, offsetY = double(key.offsetY) / kSubpixelSteps;
    const int width = std::max(1, static_cast<int>(std::ceil(offsetX + cellSize.width())));
    const int height = std::max(1, static_cast<int>(std::ceil(offsetY + cellSize.height())));
    image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // Each glyph keeps to its own cell, so what the layout promises about
    // widths holds even for glyphs that overhang their advance.
    painter.setClipRect(QRectF(QPointF(offsetX, offsetY), cellSize));
    painter.setFont(fontOf(placement.pixelSize));
    painter.setPen(colour);
    painter.setWorldTransform(QTransform(placement.scaleX, 0, 0, placement.scaleY, offsetX, offsetY));
    painter.drawText(QPointF(0, placement.ascent), glyph);
  }
  return sprites_.insert_or_assign(key, std::move(image)).first->second;
}

}  // namespace legend::display
