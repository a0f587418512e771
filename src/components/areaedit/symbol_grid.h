#pragma once
// The point symbol library as a grid of drawn symbols to pick from.

#include <functional>

#include <QColor>
#include <QRect>
#include <QWidget>

namespace legend::areaedit {

/// Every symbol of the display component, 1 ... pointSymbolCount(), drawn
/// in the legend's colour in cells of kColumns per row. Meant to sit in a
/// scroll area; arrow keys move the choice.
class SymbolGrid : public QWidget {
 public:
  static constexpr int kColumns = 8;
  static constexpr int kCellSize = 40;  ///< pixels; a symbol fills most of it

  explicit SymbolGrid(QWidget* parent = nullptr);

  /// The highlighted symbol, 1 ... pointSymbolCount().
  int symbol() const noexcept { return symbol_; }
  /// Highlights @p number without calling back; numbers the library does
  /// not know highlight symbol 1, which is what they draw.
  void setSymbol(int number);
  /// Draws the symbols in @p colour, so the choice is seen as it will be.
  void setSymbolColour(const QColor& colour);
  /// Called after the user chose a symbol.
  void setOnChosen(std::function<void(int)> onChosen) { onChosen_ = std::move(onChosen); }

  /// Where symbol @p number is drawn; empty for numbers outside the library.
  QRect cellRect(int number) const;
  /// The symbol under @p point, or 0.
  int symbolAt(QPoint point) const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void choose(int number);

  int symbol_ = 1;
  QColor colour_ = Qt::black;
  std::function<void(int)> onChosen_;
};

}  // namespace legend::areaedit
