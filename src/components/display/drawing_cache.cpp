#include "components/display/drawing_cache.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <optional>

#include <QFontMetricsF>
#include <QHash>

namespace legend::display {
namespace {

// Glyphs are rasterised at most this size and scaled beyond it.
constexpr int kMaxPixelSize = 128;
// Captions use a few hundred distinct characters at most; a damaged file
// must not grow the table without end.
constexpr qsizetype kMaxGlyphsPerFont = 4096;

struct FontEntry {
  CachedFont font;
  std::optional<QFontMetricsF> metrics;
  QHash<QString, GlyphExtent> glyphs;
};

/// Everything kept between passes, behind one lock: drawing may happen on
/// any thread (sheets are written away from the user interface).
struct Store {
  std::mutex lock;
  std::array<std::optional<FontEntry>, kMaxPixelSize + 1> fonts;
  QString iconPath;
  std::optional<QImage> icon;
};

// Never destroyed: fonts and images must not outlive the application object
// that made them, which is gone by the time statics are torn down.
Store& store = *new Store;

FontEntry& fontEntry(int pixelSize) {
  const auto size = static_cast<std::size_t>(std::clamp(pixelSize, 1, kMaxPixelSize));
  std::optional<FontEntry>& entry = store.fonts[size];
  if (!entry) {
    entry.emplace();
    QFont font;
    font.setPixelSize(static_cast<int>(size));
    font.setStyleStrategy(QFont::PreferAntialias);
    entry->metrics.emplace(font);
    entry->font = CachedFont{font, entry->metrics->ascent(), entry->metrics->height()};
  }
  return *entry;
}

}  // namespace

namespace drawing_cache {

CachedFont font(int pixelSize) {
  std::lock_guard guard(store.lock);
  return fontEntry(pixelSize).font;
}

GlyphExtent glyph(int pixelSize, const QString& glyph) {
  std::lock_guard guard(store.lock);
  FontEntry& entry = fontEntry(pixelSize);
  if (const auto found = entry.glyphs.constFind(glyph); found != entry.glyphs.constEnd()) return found.value();
  const QFontMetricsF& metrics = *entry.metrics;
  const QRectF ink = metrics.boundingRect(glyph).translated(0, metrics.ascent());
  const GlyphExtent extent{metrics.horizontalAdvance(glyph), ink.left(), ink.top(), ink.right(), ink.bottom()};
  if (entry.glyphs.size() >= kMaxGlyphsPerFont) entry.glyphs.clear();
  entry.glyphs.insert(glyph, extent);
  return extent;
}

QImage icon(const QString& path) {
  std::lock_guard guard(store.lock);
  if (!store.icon || store.iconPath != path) {
    store.icon = QImage(path);
    store.iconPath = path;
  }
  return *store.icon;
}

}  // namespace drawing_cache
}  // namespace legend::display
