#pragma once
// The balloon tip: a shaped popup (a rounded body with a small pointer at its
// top-left corner whose tip sits on the mouse pointer) that shows a text for
// the tool window under the pointer. It knows nothing of legends: only tools
// (windows registered with a default text and a text colour), the current
// text, and the colours and sizes given to Create.

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QWidget>

class CLegendTipWnd : public QWidget {
 public:
  /// Constructed empty: no window until Create.
  CLegendTipWnd();
  ~CLegendTipWnd() override;

  /// Creates the hidden tip window owned by @p parent's window, @p width x
  /// @p height pixels, filled with @p fillColour inside a frame of
  /// @p frameColour; an empty @p fontFace means the default face. False when
  /// the shape cannot be made.
  bool Create(QWidget* parent, int width, int height, const QColor& fillColour, const QColor& frameColour,
              int fontHeight, const QString& fontFace = {});
  /// Whether Create succeeded.
  bool exists() const noexcept { return created_; }

  /// Registers @p tool (may be null) with its default text and text colour
  /// (none given: the tip's current text colour). A tool already registered
  /// keeps its first record.
  void AddTool(QWidget* tool, const QString& defaultText, const QColor& textColour = QColor());

  /// Shows the tip for @p tool at the pointer with @p text, or the tool's
  /// default text when there is none; @p alert paints the text in the alert
  /// colour. Nothing is shown while no window of the application has the
  /// keyboard focus, or for a tool never added.
  void showTip(QWidget* tool, const std::optional<QString>& text, bool alert);
  /// Hides the tip; shown again by a pointer entering a tool, its text is in
  /// the tool's colour.
  void hideTip();

  /// Looks at an event the owner is about to handle: key and button presses
  /// hide the tip; mouse moves show it on entering a tool and hide it on
  /// leaving. @p globalPos is the pointer position of the event.
  void RelayEvent(QObject* target, const QEvent* event, QPoint globalPos);
  /// Hands every event of @p owner and of its child widgets (present and
  /// future) to RelayEvent before they are handled.
  void relayEventsOf(QWidget* owner);

  // Geometry and state, for the owner and for checks.
  /// Where the text goes. right() and bottom() are exclusive edges, unlike
  /// QRect's usual inclusive ones: the text area is right() - left() pixels
  /// wide and bottom() - top() high. A text that needs more lines than the
  /// area holds makes the balloon grow downwards, and the area with it.
  QRect textRect() const noexcept { return textRect_; }
  QRegion bodyRegion() const { return body_; }
  QRegion pointerRegion() const { return pointer_; }
  const QString& text() const noexcept { return text_; }
  const QColor& currentTextColour() const noexcept { return textColour_; }
  bool tracking() const noexcept { return tracking_; }
  /// Whether the text is painted in the alert colour.
  bool alert() const noexcept { return alert_; }
  /// The tool the tip was last shown for (null when none or destroyed).
  QWidget* currentTool() const noexcept { return currentTool_.data(); }

  /// Replaces the check that some window of the application has the keyboard
  /// focus (null restores it): where no window can be activated, as on a
  /// display-less test run, the tip would otherwise never show.
  void setFocusProbe(std::function<bool()> probe);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Tool {
    QPointer<QWidget> window;
    QString defaultText;
    QColor textColour;
  };
  void showAt(QPoint globalPos);
  /// Whether the text goes on one centred line.
  bool singleLine() const;
  int wrappedTextHeight() const;
  /// Grows (or shrinks back) the balloon for the text to show at @p globalPos.
  void fitText(QPoint globalPos);
  void setGrowth(int growth);
  static bool applicationHasFocus();
  const Tool* findTool(const QWidget* tool) const;
  void watch(QWidget* widget);

  bool created_ = false;
  QPointer<QWidget> currentTool_;
  QRegion body_;
  QRegion pointer_;
  QRect textRect_;
  QRect baseTextRect_;  // the text area at the size given to Create
  int cornerWidth_ = 0;
  int cornerHeight_ = 0;
  int growth_ = 0;  // pixels added below the size given to Create
  QString text_;
  bool tracking_ = false;
  QColor textColour_{Qt::black};
  QColor fillColour_;
  QColor frameColour_;
  std::map<const QWidget*, Tool> tools_;  // keyed by the object given to AddTool
  int width_ = 0;
  int height_ = 0;
  int fontHeight_ = 0;
  QString fontFace_;
  bool alert_ = false;
  QFont font_;
  std::function<bool()> focusProbe_ = &CLegendTipWnd::applicationHasFocus;
  std::vector<QPointer<QWidget>> watched_;  // widgets carrying this tip's event filter
};
