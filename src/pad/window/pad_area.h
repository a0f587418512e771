#pragma once
// The pad's drawing area.

#include <functional>

#include <QImage>
#include <QSize>
#include <QWidget>

namespace legend::pad {

/// The drawing area: the cells are drawn into an image that the area shows.
/// The area lets pointer events through to the pad, which hit-tests them.
///
/// The image has the screen's pixel density: on a high-density screen it
/// holds more device pixels than the area has logical ones, and painters on
/// it scale, so the cells keep their geometry in logical pixels while lines
/// and glyphs are drawn at the screen's own resolution.
class PadArea final : public QWidget {
 public:
  PadArea(QWidget* parent, std::function<void()> fullPass);

  QImage& image() { return image_; }
  /// Makes the image white, first sizing it to the area if it no longer fits.
  void clear();
  void clearRect(const QRect& rect);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  // Kept beside the image: at a fractional ratio the image's own logical
  // size is rounded and no longer says which area it was made for.
  bool imageFits() const { return imageSize_ == size() && image_.devicePixelRatio() == devicePixelRatioF(); }

  std::function<void()> fullPass_;
  QImage image_;
  QSize imageSize_;
};

}  // namespace legend::pad
