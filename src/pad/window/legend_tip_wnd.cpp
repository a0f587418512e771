#include "pad/window/legend_tip_wnd.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QChildEvent>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QScreen>
#include <QTextLayout>
#include <QWindow>

namespace {

// The body leaves this many pixels at its left for the pointer.
constexpr int kPointerMargin = 10;
// Half of the factor that inscribes the text rectangle in the ellipse fitting
// the body. The factor is a hair above sqrt(2)/2 and must stay exactly this
// value: the text rectangle's size in whole pixels depends on it.
constexpr double kInscribe = 0.5 * 0.7071085623775818;
// The pointer triangle, its first corner on the window's top-left pixel.
constexpr QPoint kPointer[] = {{0, 0}, {15, 5}, {15, 15}};
// Width (and height) of the frame drawn along the inside of the shape.
constexpr int kFrame = 2;
// The text colour while the alert flag is set.
constexpr Qt::GlobalColor kAlertColour = Qt::red;

// The rounded rectangle covering the pixels left <= x < right, top <= y <
// bottom, its corners cut by an ellipse of ellipseW x ellipseH. Built a row at
// a time from the pixel centres, so the shape is the same on every platform
// and symmetric about both axes.
QRegion roundedRectRegion(int left, int top, int right, int bottom, int ellipseW, int ellipseH) {
  QRegion region;
  const double rx = std::min(ellipseW, right - left) / 2.0;
  const double ry = std::min(ellipseH, bottom - top) / 2.0;
  const double topCentre = top + ry;
  const double bottomCentre = bottom - ry;
  const double leftCentre = left + rx;
  const double rightCentre = right - rx;
  int rowStart = top;
  int runLeft = left;
  int runRight = right;
  auto flush = [&](int rowEnd) {
    if (rowEnd > rowStart && runRight > runLeft)
      region += QRect(runLeft, rowStart, runRight - runLeft, rowEnd - rowStart);
  };
  for (int y = top; y < bottom; ++y) {
    const double yc = y + 0.5;
    double dy = 0.0;
    if (yc < topCentre)
      dy = topCentre - yc;
    else if (yc > bottomCentre)
      dy = yc - bottomCentre;
    int l = left;
    int r = right;
    if (dy > 0.0 && ry > 0.0) {
      const double q = dy / ry;
      const double dx = q >= 1.0 ? 0.0 : rx * std::sqrt(1.0 - q * q);
      // Pixel x is inside when its centre x + 0.5 lies within the ellipse.
      l = std::max(left, static_cast<int>(std::ceil(leftCentre - dx - 0.5)));
      r = std::min(right, static_cast<int>(std::floor(rightCentre + dx - 0.5)) + 1);
    }
    // Equal rows share one rectangle, which keeps the region small.
    if (l != runLeft || r != runRight) {
      flush(y);
      rowStart = y;
      runLeft = l;
      runRight = r;
    }
  }
  flush(bottom);
  return region;
}

// The pixels of @p shape lying within kFrame pixels (across or down) of its
// outside: what a frame of that width drawn inside the shape covers.
QRegion innerFrame(const QRegion& shape) {
  QRegion inner = shape;
  for (int d = 1; d <= kFrame; ++d) {
    inner &= shape.translated(d, 0);
    inner &= shape.translated(-d, 0);
    inner &= shape.translated(0, d);
    inner &= shape.translated(0, -d);
  }
  return shape - inner;
}

// Lays @p text out in lines at most @p width pixels wide: each line break
// of the text starts a new line, and a line that is too wide is broken
// between words, or inside a word wider than the whole line. Hands every
// paragraph's layout, positioned below the one before, to @p laidOut and
// returns the height of all lines.
template <class LaidOut>
int layOutWrapped(const QFont& font, const QString& text, int width, LaidOut&& laidOut) {
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  qreal y = 0;
  for (QString paragraph : text.split(QLatin1Char('\n'))) {
    if (paragraph.endsWith(QLatin1Char('\r'))) paragraph.chop(1);
    QTextLayout layout(paragraph, font);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width);
      line.setPosition(QPointF(0, y));
      y += line.height();
    }
    layout.endLayout();
    laidOut(layout);
  }
  return static_cast<int>(std::ceil(y));
}

// Presses of keys the window system keeps for itself (menu activation) are
// not typing, so they leave the tip alone.
bool isSystemKey(const QKeyEvent& key) {
  return key.key() == Qt::Key_Alt || key.key() == Qt::Key_F10 || (key.modifiers() & Qt::AltModifier);
}

}  // namespace

CLegendTipWnd::CLegendTipWnd() : QWidget(nullptr) {}

CLegendTipWnd::~CLegendTipWnd() {
  // Owners outliving the tip must not keep calling into a dead filter; those
  // already gone have taken their filter lists with them.
  for (const QPointer<QWidget>& widget : watched_) {
    if (widget) widget->removeEventFilter(this);
  }
  watched_.clear();
  tools_.clear();
}

bool CLegendTipWnd::Create(QWidget* parent, int width, int height, const QColor& fillColour, const QColor& frameColour,
                           int fontHeight, const QString& fontFace) {
  width_ = width;
  height_ = height;
  fillColour_ = fillColour;
  frameColour_ = frameColour;
  fontHeight_ = fontHeight;
  fontFace_ = fontFace;
  textColour_ = Qt::black;

  const int w = width - kPointerMargin;
  const int h = height;
  if (w <= 0 || h <= 0) return false;
  const int a = static_cast<int>(w * kInscribe);
  const int b = static_cast<int>(h * kInscribe);
  // The corners are the exclusive right and bottom edges of the area the
  // text may use, so the area is right - left pixels wide.
  baseTextRect_ = QRect(QPoint(w / 2 - a + kPointerMargin, h / 2 - b), QPoint(w / 2 + a + kPointerMargin, h / 2 + b));
  cornerWidth_ = w / 6;
  cornerHeight_ = h / 6;
  pointer_ = QRegion(QPolygon(std::begin(kPointer), std::end(kPointer)), Qt::OddEvenFill);
  setGrowth(0);
  const QRegion shape = body_ | pointer_;
  if (shape.isEmpty()) return false;

  // A tool tip window: frameless, above its owner, never activated, and gone
  // with the owner's window.
  setParent(parent ? parent->window() : nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
  setAttribute(Qt::WA_ShowWithoutActivating);
  // Where the window system cannot cut windows to a shape, what lies outside
  // the shape must at least stay unpainted.
  setAttribute(Qt::WA_TranslucentBackground);
  setFocusPolicy(Qt::NoFocus);
  // Hover moves must arrive to hide the tip when the pointer runs onto it.
  setMouseTracking(true);
  setGeometry(0, 0, width, height);
  setMask(shape);

  font_ = QApplication::font();
  if (!fontFace_.isEmpty()) font_.setFamilies({fontFace_});
  font_.setStyleHint(QFont::SansSerif);
  if (fontHeight > 0) font_.setPixelSize(fontHeight);
  setFont(font_);

  hide();
  created_ = true;
  return true;
}

void CLegendTipWnd::AddTool(QWidget* tool, const QString& defaultText, const QColor& textColour) {
  auto found = tools_.find(tool);
  if (found != tools_.end()) {
    // A widget destroyed and a new one made at its address is a new tool.
    if (!tool || found->second.window) return;
    tools_.erase(found);
  }
  tools_.emplace(tool, Tool{tool, defaultText, textColour.isValid() ? textColour : textColour_});
  // Without tracking, a widget hears of the pointer only while a button is
  // held, and the tip could never show on entering it.
  if (tool) tool->setMouseTracking(true);
}

const CLegendTipWnd::Tool* CLegendTipWnd::findTool(const QWidget* tool) const {
  const auto found = tools_.find(tool);
  if (found == tools_.end()) return nullptr;
  if (tool && !found->second.window) return nullptr;  // destroyed since it was added
  return &found->second;
}

void CLegendTipWnd::showTip(QWidget* tool, const std::optional<QString>& text, bool alert) {
  alert_ = alert;
  if (!created_ || !focusProbe_()) return;
  const Tool* record = findTool(tool);
  if (!record) return;
  textColour_ = record->textColour;
  text_ = text.value_or(record->defaultText);
  currentTool_ = tool;
  fitText(QCursor::pos());
  showAt(QCursor::pos());
  repaint();
}

void CLegendTipWnd::hideTip() {
  // A tip the pointer brings back on entering a tool is no alert.
  alert_ = false;
  hide();
}

void CLegendTipWnd::RelayEvent(QObject* target, const QEvent* event, QPoint globalPos) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (!isSystemKey(*static_cast<const QKeyEvent*>(event)) && isVisible()) hide();
      return;
    case QEvent::MouseButtonPress: {
      const Qt::MouseButton button = static_cast<const QMouseEvent*>(event)->button();
      if ((button == Qt::LeftButton || button == Qt::RightButton) && isVisible()) hide();
      return;
    }
    case QEvent::MouseMove: break;
    default: return;
  }
  if (!created_ || !focusProbe_() || tools_.empty()) return;
  if (tracking_) {
    // The tip stays while the pointer is over the tool it was shown for, and
    // goes as soon as anything else (the tip itself included) is under it.
    if (!currentTool_ || QApplication::widgetAt(globalPos) != currentTool_.data()) {
      tracking_ = false;
      hide();
    }
    return;
  }
  for (const auto& [key, record] : tools_) {
    if (!record.window || record.window.data() != target) continue;
    tracking_ = true;
    textColour_ = record.textColour;
    text_ = record.defaultText;
    currentTool_ = record.window;
    fitText(globalPos);
    showAt(globalPos);
    return;
  }
}

void CLegendTipWnd::relayEventsOf(QWidget* owner) {
  if (owner) watch(owner);
}

void CLegendTipWnd::setFocusProbe(std::function<bool()> probe) {
  focusProbe_ = probe ? std::move(probe) : std::function<bool()>(&CLegendTipWnd::applicationHasFocus);
}

bool CLegendTipWnd::applicationHasFocus() {
  if (QApplication::activeWindow()) return true;
  // A host may have windows that are not widgets. A hidden window can still be
  // named the focus window where the window system never says otherwise.
  const QWindow* focus = QGuiApplication::focusWindow();
  return focus && focus->isVisible();
}

void CLegendTipWnd::watch(QWidget* widget) {
  // The tip may be a child of the window it relays for; its own events are
  // its own business.
  if (widget == this || isAncestorOf(widget)) return;
  std::erase_if(watched_, [](const QPointer<QWidget>& w) { return w.isNull(); });
  if (std::find(watched_.begin(), watched_.end(), widget) == watched_.end()) watched_.emplace_back(widget);
  widget->installEventFilter(this);
  for (QObject* child : widget->children()) {
    if (child && child->isWidgetType()) watch(static_cast<QWidget*>(child));
  }
}

bool CLegendTipWnd::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ChildAdded: {
      QObject* child = static_cast<QChildEvent*>(event)->child();
      if (child && child->isWidgetType()) watch(static_cast<QWidget*>(child));
      break;
    }
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
      RelayEvent(watched, event, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
      break;
    case QEvent::KeyPress: RelayEvent(watched, event, QCursor::pos()); break;
    default: break;
  }
  return false;  // the owner handles every event as if the tip were not there
}

bool CLegendTipWnd::singleLine() const {
  return QFontMetrics(font_).horizontalAdvance(text_) < textRect_.right() - textRect_.left();
}

int CLegendTipWnd::wrappedTextHeight() const {
  return layOutWrapped(font_, text_, baseTextRect_.right() - baseTextRect_.left(), [](const QTextLayout&) {});
}

void CLegendTipWnd::fitText(QPoint globalPos) {
  int growth = 0;
  if (!singleLine()) growth = std::max(0, wrappedTextHeight() - (baseTextRect_.bottom() - baseTextRect_.top()));
  // The balloon hangs from the pointer; it grows no further than the screen
  // reaches below it.
  if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
    const int room = screen->availableGeometry().bottom() + 1 - globalPos.y() - height_;
    growth = std::min(growth, std::max(0, room));
  }
  if (growth != growth_) setGrowth(growth);
}

void CLegendTipWnd::setGrowth(int growth) {
  // Growing keeps the pointer, the corners and the text's top-left where
  // they are; the body and the text area only reach further down.
  growth_ = growth;
  textRect_ = baseTextRect_.adjusted(0, 0, 0, growth);
  body_ = roundedRectRegion(kPointerMargin, 0, width_, height_ + growth, cornerWidth_, cornerHeight_);
  setMask(body_ | pointer_);
}

void CLegendTipWnd::showAt(QPoint globalPos) {
  // The pointer's tip sits on the mouse hot spot.
  setGeometry(QRect(globalPos, QSize(width_, height_ + growth_)));
  // A window being shown comes up on top already.
  if (isVisible()) raise();
  show();
  update();
}

void CLegendTipWnd::paintEvent(QPaintEvent*) {
  const QRegion shape = body_ | pointer_;
  if (shape.isEmpty()) return;
  QPainter painter(this);
  painter.setClipRegion(shape);
  painter.fillRect(shape.boundingRect(), fillColour_);
  painter.setClipRegion(innerFrame(shape));
  painter.fillRect(shape.boundingRect(), frameColour_);

  // The corners name exclusive edges; see Create.
  const QRect area(textRect_.left(), textRect_.top(), textRect_.right() - textRect_.left(),
                   textRect_.bottom() - textRect_.top());
  painter.setClipRect(area);
  painter.setFont(font_);
  painter.setPen(alert_ ? QColor(kAlertColour) : textColour_);
  if (singleLine()) {
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text_);
  } else {
    layOutWrapped(font_, text_, area.width(),
                  [&painter, &area](const QTextLayout& layout) { layout.draw(&painter, area.topLeft()); });
  }
}

void CLegendTipWnd::mouseMoveEvent(QMouseEvent* event) {
  if (isVisible()) {
    hide();
    return;
  }
  QWidget::mouseMoveEvent(event);
}
