#pragma once
// Choosing a colour number of the display palette: a grid of all 256
// entries, and a button that shows the chosen entry and opens the grid.

#include <functional>

#include <QPushButton>
#include <QRect>
#include <QWidget>

namespace legend::areaedit {

/// The whole palette as a 16 x 16 grid, row by row from entry 0, so the
/// basic colours fill the top row and each ramp reads left to right.
class PaletteGrid : public QWidget {
 public:
  static constexpr int kColumns = 16;
  static constexpr int kCellSize = 18;  ///< pixels, big enough to tell ramp steps apart

  explicit PaletteGrid(int current, QWidget* parent = nullptr);

  int current() const noexcept { return current_; }
  /// Called with the entry the user clicked or confirmed with Enter.
  void setOnPicked(std::function<void(int)> onPicked) { onPicked_ = std::move(onPicked); }
  /// Where entry @p number is drawn; empty outside the palette.
  QRect cellRect(int number) const;
  /// The entry under @p point, or -1.
  int entryAt(QPoint point) const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void moveCurrent(int number);

  int current_;
  std::function<void(int)> onPicked_;
};

/// A button showing a swatch and the number of the chosen palette entry;
/// clicking it opens a PaletteGrid ("paletteGrid") as a popup.
class ColourButton : public QPushButton {
 public:
  explicit ColourButton(QWidget* parent = nullptr);

  /// The stored number, which may lie outside the palette when a record
  /// came from elsewhere; it is kept until the user picks another.
  unsigned colour() const noexcept { return colour_; }
  /// Shows @p number without calling back.
  void setColour(unsigned number);
  /// Called after the user picked an entry.
  void setOnChanged(std::function<void(unsigned)> onChanged) { onChanged_ = std::move(onChanged); }
  /// The open popup's grid, or null.
  PaletteGrid* openGrid() const;

 private:
  void openPopup();
  void showColour();

  unsigned colour_ = 0;
  std::function<void(unsigned)> onChanged_;
};

}  // namespace legend::areaedit
