#include "pad/window/legend_pad_dlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileDialog>
#include <QFrame>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QValidator>
#include <QWheelEvent>

#include <filesystem>
#include <utility>

#include "components/base/message_prompter.h"
#include "components/codec/gbk_text.h"
#include "components/codec/utf8_text.h"
#include "components/display/qpainter_driver.h"
#include "legend/legend_events.h"
#include "legendfile/file_name.h"
#include "legendfile/messages.h"
#include "pad/model/pad_model.h"
#include "pad/window/legend_tip_wnd.h"
#include "pad/window/pad_area.h"
#include "paramdlg/legend_param_dlg.h"
#include "paramdlg/qt_area_editors.h"

static void initPadResources() { Q_INIT_RESOURCE(pad); }

namespace legend::pad {

namespace {

// The pad's controls are laid out on a grid of half-character units, as a
// dialog template would place them; kUnit pixels per unit in both directions.
constexpr int kUnit = 2;
QRect units(int x, int y, int width, int height) { return {x * kUnit, y * kUnit, width * kUnit, height * kUnit}; }

/// The pad's own picture at @p path, scaled to @p size when one is given,
/// made once and then taken from Qt's pixmap cache (which goes with the
/// application): decoding it again, or even asking the resource for its
/// time as a pixmap load does, was a good part of what a new pad cost.
QPixmap padPixmap(const QString& path, QSize size = {}) {
  const QString key = QStringLiteral("legend-pad:%1@%2x%3").arg(path).arg(size.width()).arg(size.height());
  QPixmap pixmap;
  if (QPixmapCache::find(key, &pixmap)) return pixmap;
  pixmap = QPixmap(path);
  if (size.isValid()) pixmap = pixmap.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QPixmapCache::insert(key, pixmap);
  return pixmap;
}

/// What the selection number field takes: an optional minus and digits.
/// Checked by hand: a pattern would cost every new pad its compilation or
/// its matcher's set-up when the field gets its first text.
class SignedDigitsValidator final : public QValidator {
 public:
  using QValidator::QValidator;

  State validate(QString& input, int& /*position*/) const override {
    const qsizetype start = input.startsWith(u'-') ? 1 : 0;
    for (qsizetype i = start; i < input.size(); ++i)
      if (input[i] < u'0' || input[i] > u'9') return Invalid;
    return Acceptable;
  }
};

constexpr int kTipWidth = 120;
constexpr int kTipHeight = 160;
constexpr QColor kTipFill(255, 251, 240);
constexpr QColor kTipFrame(128, 128, 128);
constexpr int kTipFontHeight = 14;
constexpr const char* kTipDefaultText = QT_TRANSLATE_NOOP("legend", "图例没有相应的信息!");
constexpr const char* kSaveFilter = QT_TRANSLATE_NOOP("legend", "图例文件 (*.CLN)");
constexpr const char* kReplaceQuestion = QT_TRANSLATE_NOOP("legend", "%1 已存在。\n要替换它吗?");
constexpr const char* kFindItem = QT_TRANSLATE_NOOP("legend", "查找图例...");
constexpr const char* kFindHint = QT_TRANSLATE_NOOP("legend", "名称、分类码或序号");

// A title bar and a minimise button, nothing else: the pad has a fixed
// size and only its host closes it. A window asking for no button at all
// leaves window managers free to offer every one, maximise included.
constexpr Qt::WindowFlags kPadWindowFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint;

/// A prompter that shows nothing and answers every question with its default.
class SilentPrompter final : public Prompter {
 public:
  void inform(std::string_view) override {}
  bool askYesNo(std::string_view, bool defaultYes) override { return defaultYes; }
  // A beep is no message: a silent pad still beeps at a refused number.
  void beep() override { QApplication::beep(); }
};

}  // namespace

/// The pad window as the pad model sees it.
class PadWindowPort final : public PadPort {
 public:
  explicit PadWindowPort(CLegendPadDlg& pad) : pad_(pad) {}

  // PadSurface
  bool exists() const override;
  AreaSize areaSize() const override;
  void setTotalText(std::string_view text) override;
  void clearArea() override;
  void clearCell(const WindowRect& cell) override;
  std::unique_ptr<KernelDriver> openDriver() override;
  void reportImageFailure() override;
  // PadPort
  void setTitle(std::string_view title) override;
  void setScrollRange(ScrollRange range) override;
  void setScrollPosition(std::int32_t position) override;
  void showSelectedNumber(std::int32_t number) override;
  std::optional<std::int64_t> typedNumber() const override;
  void refuseTypedNumber() override;
  bool tipExists() const override;
  bool tipVisible() const override;
  void showTip(std::string_view text, bool alert) override;
  void hideTip() override;
  bool hasOwner() const override;
  void sendToOwner(int message, std::int32_t legendIndex) override;
  bool runParameterDialog(LegendEdit& edit) override;
  std::optional<int> runMenu(const MenuState& state, WindowPoint at) override;
  std::optional<std::string> chooseSavePath(const std::string& initialPath) override;
  void openFind() override;

 private:
  CLegendPadDlg& pad_;
};

/// Forwards to whichever prompter the pad uses now.
class PadPrompter final : public Prompter {
 public:
  Prompter* target = nullptr;
  void inform(std::string_view text) override { target->inform(text); }
  void informWithDetail(std::string_view text, std::string_view detail) override {
    target->informWithDetail(text, detail);
  }
  bool askYesNo(std::string_view text, bool defaultYes) override { return target->askYesNo(text, defaultYes); }
  void beep() override { target->beep(); }
};

}  // namespace legend::pad

using namespace legend::pad;

struct CLegendPadDlg::Parts {
  Parts(CLegendPadDlg& pad, MapProject* project, bool visible, bool showMessages, QWidget* ownerWindow)
      : port(pad),
        boxes(&pad, legend::tr("图例板")),
        model(port, prompter, project, visible, showMessages),
        owner(ownerWindow),
        editors(&pad) {
    prompter.target = showMessages ? static_cast<legend::Prompter*>(&boxes) : &silent;
  }

  PadWindowPort port;
  legend::MessagePrompter boxes;
  SilentPrompter silent;
  PadPrompter prompter;
  PadModel model;
  QPointer<QWidget> owner;
  std::string initialPath;
  bool created = false;
  bool closed = false;
  /// Events and calls of this pad running now, nested ones counted.
  int busy = 0;
  /// Closed while busy: deleted when the outermost of them ends.
  bool doomed = false;
  /// The popup menu and the dialog (parameters, save as) open now; the pad
  /// closes them when it is closed.
  QPointer<QMenu> menu;
  QPointer<QDialog> dialog;
  /// An image failure message is on its way or shown.
  bool imageReportPending = false;

  PadArea* area = nullptr;
  QScrollBar* scrollBar = nullptr;
  QLineEdit* number = nullptr;
  QPushButton* goTo = nullptr;
  QLabel* total = nullptr;
  /// The find field, hidden until Ctrl+F or the menu opens it.
  QLineEdit* find = nullptr;
  std::optional<QCursor> legendCursor;  // made on the first hover over a legend
  CLegendTipWnd tip;

  legend::editor::QtAreaEditors editors;
  legend::editor::AreaEditors* editorsInUse = &editors;
  SavePathChooser chooseSavePath;
  /// A test's prompter, or null: the overwrite question of the save-as
  /// commands then comes as a message box, messages shown or not, since it
  /// belongs to the file dialog.
  legend::Prompter* questions = nullptr;

  /// The popup menu of a right click waits a double-click interval at
  /// menuAt: a second click in that time makes a double-click and no menu
  /// (a menu open on screen would take the second press away).
  QTimer menuTimer;
  QPoint menuAt;
  /// The release ending a right double-click opens no menu.
  bool rightDoubleClicked = false;
  DriverOpener openDriver;
};

class CLegendPadDlg::Busy {
 public:
  explicit Busy(CLegendPadDlg& pad) noexcept : pad_(pad) { ++pad_.parts_->busy; }
  // Deleted later, not now: the event or call that ends here is still on
  // the stack of whoever delivered it.
  ~Busy() {
    if (--pad_.parts_->busy == 0 && pad_.parts_->doomed) pad_.deleteLater();
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  CLegendPadDlg& pad_;
};

CLegendPadDlg::CLegendPadDlg(std::string_view path, int visible, int showMessages, MapProject* project, QWidget* owner)
    : QDialog(nullptr, kPadWindowFlags),
      parts_(std::make_unique<Parts>(*this, project, visible != 0, showMessages != 0, owner)) {
  initPadResources();
  parts_->initialPath = std::string(path);
  setObjectName(QStringLiteral("legendPad"));
  setWindowTitle(legend::tr("图例选择板"));
  setModal(false);
  buildControls();
  parts_->menuTimer.setSingleShot(true);
  QObject::connect(&parts_->menuTimer, &QTimer::timeout, this, [this] {
    const Busy busy(*this);
    parts_->model.openMenu(areaPoint(parts_->menuAt), areaSize());
  });
  parts_->chooseSavePath = [this](const std::string& initial) -> std::optional<std::string> {
    QFileDialog dialog(nullptr, QString(), QString::fromStdString(initial), legend::tr(kSaveFilter));
    parts_->dialog = &dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The name typed may still get its extension; the pad asks about
    // replacing a file once it knows the final name.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.selectFile(QString::fromStdString(initial));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
  };
}

CLegendPadDlg::~CLegendPadDlg() { closeOnce(); }

void CLegendPadDlg::closeOnce() {
  Parts& p = *parts_;
  if (!p.created || p.closed) return;
  p.closed = true;
  // What the pad has open goes with it. Each ends its modal loop, and the
  // code that opened it finds the pad closed when the loop returns.
  if (p.menu) p.menu->close();
  if (p.dialog) p.dialog->reject();
  // A menu still waiting to open would open on a pad that is gone.
  p.menuTimer.stop();
  p.tip.hideTip();
  hide();
  // However the pad goes, the project hears that nothing is selected and
  // unsaved changes are offered for saving.
  p.model.close();
}

void CLegendPadDlg::buildControls() {
  Parts& p = *parts_;
  setFixedSize(units(0, 0, 80, 192).size());
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);

  p.area = new PadArea(this, [this] { parts_->model.paint(); });
  p.area->setGeometry(units(1, 2, 70, 159));

  p.scrollBar = new QScrollBar(Qt::Vertical, this);
  p.scrollBar->setObjectName(QStringLiteral("scrollBar"));
  p.scrollBar->setGeometry(units(71, 1, 8, 160));
  p.scrollBar->setPageStep(kGridRows);
  p.scrollBar->setSingleStep(1);
  // The grid follows the thumb only when it is released. Every way the bar
  // moves (arrows, trough, keys, its context menu, a finished drag) ends in
  // a new value; the model takes it, clamps it and sets the bar back, so
  // grid and thumb always show the same row.
  p.scrollBar->setTracking(false);
  QObject::connect(p.scrollBar, &QScrollBar::valueChanged, this, [this](int value) {
    parts_->model.scroll(ScrollCode::ThumbPosition, value);
    if (parts_->scrollBar->value() != parts_->model.scrollPosition())
      parts_->port.setScrollPosition(parts_->model.scrollPosition());
  });
  // The wheel over the bar scrolls the grid as it does over the grid.
  p.scrollBar->installEventFilter(this);

  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  frame->setGeometry(units(1, 163, 77, 27));
  frame->lower();

  auto* numberLabel = new QLabel(legend::tr("选择序号"), this);
  numberLabel->setGeometry(units(3, 166, 32, 10));
  p.number = new QLineEdit(this);
  p.number->setObjectName(QStringLiteral("selectedNumber"));
  p.number->setGeometry(units(35, 166, 29, 10));
  p.number->setValidator(new SignedDigitsValidator(p.number));
  p.number->setText(QStringLiteral("-1"));
  // Selecting tells the owner, whose handler may close the pad.
  QObject::connect(p.number, &QLineEdit::returnPressed, this, [this] {
    const Busy busy(*this);
    parts_->model.goToTypedNumber();
  });

  p.goTo = new QPushButton(this);
  p.goTo->setObjectName(QStringLiteral("goToButton"));
  p.goTo->setGeometry(units(66, 166, 10, 10));
  p.goTo->setAutoDefault(false);
  p.goTo->setIcon(QIcon(padPixmap(QStringLiteral(":/legend/pad/bitmap136.png"))));
  p.goTo->setIconSize(QSize(10, 10));
  p.goTo->setToolTip(legend::tr("选择此序号的图例"));
  QObject::connect(p.goTo, &QPushButton::clicked, this, [this] {
    const Busy busy(*this);
    parts_->model.goToTypedNumber();
  });

  auto* icon = new QLabel(this);
  icon->setGeometry(units(2, 174, 16, 16));
  icon->setPixmap(padPixmap(QStringLiteral(":/legend/pad/icon153.png"), units(0, 0, 14, 14).size()));
  auto* totalLabel = new QLabel(legend::tr("图例总数"), this);
  totalLabel->setGeometry(units(19, 178, 32, 10));
  p.total = new QLabel(this);
  p.total->setObjectName(QStringLiteral("totalText"));
  p.total->setAlignment(Qt::AlignCenter);
  p.total->setGeometry(units(50, 178, 26, 10));

  buildFind();
}

void CLegendPadDlg::buildFind() {
  Parts& p = *parts_;
  // Over the number row, inside the lower frame: the grid stays in view,
  // and the selected number shows again once the field is closed.
  p.find = new QLineEdit(this);
  p.find->setObjectName(QStringLiteral("findField"));
  p.find->setGeometry(units(2, 164, 75, 13));
  p.find->setPlaceholderText(legend::tr(kFindHint));
  p.find->installEventFilter(this);
  p.find->hide();

  auto* open = new QAction(this);
  open->setObjectName(QStringLiteral("findAction"));
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  QObject::connect(open, &QAction::triggered, this, [this] { openFind(); });
  addAction(open);
  auto* next = new QAction(this);
  next->setObjectName(QStringLiteral("findNextAction"));
  next->setShortcut(QKeySequence(Qt::Key_F3));
  QObject::connect(next, &QAction::triggered, this, [this] { findNext(); });
  addAction(next);
}

void CLegendPadDlg::openFind() {
  QLineEdit* find = parts_->find;
  find->show();
  find->raise();
  find->setFocus(Qt::ShortcutFocusReason);
  find->selectAll();
}

void CLegendPadDlg::closeFind() {
  parts_->find->hide();
  setFocus(Qt::OtherFocusReason);
}

void CLegendPadDlg::findNext() {
  Parts& p = *parts_;
  if (p.find->text().trimmed().isEmpty()) {
    openFind();
    return;
  }
  // Selecting tells the owner, whose handler may close the pad.
  const Busy busy(*this);
  if (!p.model.find(p.find->text().toStdString())) p.prompter.beep();
}

bool CLegendPadDlg::create() {
  Parts& p = *parts_;
  if (p.created) return true;
  if (p.model.setPath(p.initialPath) != legend::LegendStatus::Ok) return false;
  p.created = true;
  p.model.load();
  showSelection();
  p.tip.Create(this, kTipWidth, kTipHeight, kTipFill, kTipFrame, kTipFontHeight);
  // Its text takes the tip's own colour, black.
  p.tip.AddTool(p.area, legend::tr(kTipDefaultText));
  p.tip.relayEventsOf(this);
  // A pad created invisible only answers queries; it is never shown.
  if (p.model.visible()) show();
  return true;
}

void CLegendPadDlg::destroyPad() {
  Parts& p = *parts_;
  if (p.doomed) return;  // closed again while the first close asks its question
  p.doomed = true;
  // The save question is a modal loop: host calls during it find the pad
  // closed, and the object must outlive it.
  ++p.busy;
  closeOnce();
  --p.busy;
  // Closed from inside one of its own events or loops (an owner closing the
  // pad while it is told of a click, a host timer while a dialog is open):
  // the pad has ended for the project and the user, and the object goes
  // when the outermost of them has returned.
  if (p.busy == 0) delete this;
}

legend::LegendStatus CLegendPadDlg::reload() {
  const Busy busy(*this);
  const legend::LegendStatus status = parts_->model.load();
  showSelection();
  return status;
}

legend::LegendStatus CLegendPadDlg::setNewFile(std::string_view path) {
  const Busy busy(*this);
  const legend::LegendStatus status = parts_->model.setNewFile(path);
  showSelection();
  return status;
}

void CLegendPadDlg::showSelection() {
  // A load may have dropped the selection; the number field must not keep
  // naming a legend of the file before.
  parts_->port.showSelectedNumber(parts_->model.legends().selectedPosition());
}

const std::string& CLegendPadDlg::path() const { return parts_->model.legends().path(); }

std::int16_t CLegendPadDlg::getType(std::int32_t index) const { return parts_->model.legends().getType(index); }
std::int16_t CLegendPadDlg::getPointInfo(std::uint8_t* out, std::int32_t index) const {
  return parts_->model.legends().getPointInfo(out, index);
}
std::int16_t CLegendPadDlg::getLineInfo(std::uint8_t* out, std::int32_t index) const {
  return parts_->model.legends().getLineInfo(out, index);
}
std::int16_t CLegendPadDlg::getRegionInfo(std::uint8_t* out, std::int32_t index) const {
  return parts_->model.legends().getRegionInfo(out, index);
}
std::int16_t CLegendPadDlg::getHeadInfo(std::uint8_t* out, std::int32_t index) const {
  return parts_->model.legends().getHeadInfo(out, index);
}
legend::LegendStatus CLegendPadDlg::getAttributeInfo(std::int32_t index, legend::AttributeInfo& out) {
  const Busy busy(*this);  // its messages are modal loops
  return parts_->model.attributeInfo(index, out);
}

PadModel& CLegendPadDlg::model() { return parts_->model; }
const PadModel& CLegendPadDlg::model() const { return parts_->model; }
QWidget* CLegendPadDlg::drawingArea() const { return parts_->area; }
CLegendTipWnd& CLegendPadDlg::tipWindow() const { return parts_->tip; }

void CLegendPadDlg::setSavePathChooser(SavePathChooser chooser) { parts_->chooseSavePath = std::move(chooser); }

void CLegendPadDlg::setPrompter(legend::Prompter* prompter) {
  Parts& p = *parts_;
  p.questions = prompter;
  if (prompter != nullptr)
    p.prompter.target = prompter;
  else
    p.prompter.target = p.model.showMessages() ? static_cast<legend::Prompter*>(&p.boxes) : &p.silent;
}

void CLegendPadDlg::setAreaEditors(legend::editor::AreaEditors* editors) {
  parts_->editorsInUse = editors != nullptr ? editors : &parts_->editors;
}

void CLegendPadDlg::setDriverOpener(DriverOpener opener) { parts_->openDriver = std::move(opener); }

WindowPoint CLegendPadDlg::areaPoint(QPoint globalPos) const {
  const QPoint local = parts_->area->mapFromGlobal(globalPos);
  return {local.x(), local.y()};
}

AreaSize CLegendPadDlg::areaSize() const { return {parts_->area->width(), parts_->area->height()}; }

// --- events ----------------------------------------------------------------------

bool CLegendPadDlg::event(QEvent* event) {
  // The deferred deletion ends the object inside this call: nothing of it
  // may be touched afterwards.
  if (event->type() == QEvent::DeferredDelete) return QDialog::event(event);
  const Busy busy(*this);
  return dispatch(event);
}

bool CLegendPadDlg::dispatch(QEvent* event) {
  switch (static_cast<int>(event->type())) {
    case WM_LEGEND_RELOAD: reload(); return true;
    case QEvent::WindowDeactivate:
      QDialog::event(event);
      parts_->model.focusLost();
      return true;
    default: return QDialog::event(event);
  }
}

void CLegendPadDlg::keyPressEvent(QKeyEvent* event) {
  PadKey key = PadKey::Other;
  switch (event->key()) {
    case Qt::Key_Up: key = PadKey::Up; break;
    case Qt::Key_Down: key = PadKey::Down; break;
    case Qt::Key_PageUp: key = PadKey::PageUp; break;
    case Qt::Key_PageDown: key = PadKey::PageDown; break;
    case Qt::Key_Home: key = PadKey::Home; break;
    case Qt::Key_End: key = PadKey::End; break;
    default: break;
  }
  parts_->model.key(key);
  // Escape and Enter must not close the pad as they would a dialog: only
  // its host closes it.
  if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CLegendPadDlg::mousePressEvent(QMouseEvent* event) {
  Parts& p = *parts_;
  const QPoint global = event->globalPosition().toPoint();
  if (event->button() == Qt::LeftButton) {
    p.model.click(areaPoint(global), areaSize());
  } else if (event->button() == Qt::RightButton) {
    // A second press this soon starts a double-click: the first click's
    // menu is not wanted.
    p.menuTimer.stop();
    p.rightDoubleClicked = false;
    p.model.rightButtonPressed();
  }
  QDialog::mousePressEvent(event);
}

void CLegendPadDlg::mouseReleaseEvent(QMouseEvent* event) {
  QDialog::mouseReleaseEvent(event);
  if (event->button() != Qt::RightButton) return;
  Parts& p = *parts_;
  if (std::exchange(p.rightDoubleClicked, false)) return;
  p.menuAt = event->globalPosition().toPoint();
  p.menuTimer.start(QApplication::doubleClickInterval());
}

void CLegendPadDlg::mouseDoubleClickEvent(QMouseEvent* event) {
  Parts& p = *parts_;
  if (event->button() == Qt::RightButton) {
    p.menuTimer.stop();
    p.rightDoubleClicked = true;
    p.model.editLegendAt(areaPoint(event->globalPosition().toPoint()), areaSize());
  }
  // The second press of a left double-click is no click of its own: the
  // legend its first press selected stays selected. (The default handling
  // would take it for a press and deselect the legend again.)
  event->accept();
}

void CLegendPadDlg::wheelEvent(QWheelEvent* event) {
  parts_->model.wheel(event->angleDelta().y(), QApplication::wheelScrollLines());
  event->accept();
}

bool CLegendPadDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parts_->scrollBar && event->type() == QEvent::Wheel) {
    wheelEvent(static_cast<QWheelEvent*>(event));
    return true;
  }
  if (watched == parts_->find && event->type() == QEvent::KeyPress) {
    // Enter finds, Escape closes the field; neither reaches the pad, where
    // Escape would be taken for a key of the grid.
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter: findNext(); return true;
      case Qt::Key_Escape: closeFind(); return true;
      default: break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void CLegendPadDlg::mouseMoveEvent(QMouseEvent* event) {
  Parts& p = *parts_;
  const WindowPoint point = areaPoint(event->globalPosition().toPoint());
  const AreaSize client{p.area->width(), p.area->height()};
  // The legend cursor over a cell, the ordinary one elsewhere. It is made
  // on the first hover rather than with the pad, whose opening it slowed.
  if (p.model.hitTest(point, client) >= 0) {
    if (!p.legendCursor) {
      const QPixmap cursor = padPixmap(QStringLiteral(":/legend/pad/cursor155.png"));
      p.legendCursor = cursor.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(cursor, 1, 1);
    }
    setCursor(*p.legendCursor);
  } else {
    unsetCursor();
  }
  p.model.mouseMove(point, client);
  QDialog::mouseMoveEvent(event);
}

void CLegendPadDlg::closeEvent(QCloseEvent* event) {
  // The pad has no close box; whatever else asks it to close, only the host
  // that created it ends it.
  event->ignore();
}

void CLegendPadDlg::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  parts_->model.moved();
}

// --- menu ----------------------------------------------------------------------------

std::unique_ptr<QMenu> CLegendPadDlg::popupMenu(QPoint globalPos) {
  return menuFor(parts_->model.menuState(areaPoint(globalPos), areaSize()));
}

std::unique_ptr<QMenu> CLegendPadDlg::menuFor(const MenuState& state) const {
  auto menu = std::make_unique<QMenu>();
  menu->setObjectName(QStringLiteral("padMenu"));
  auto add = [&menu](int id, const QString& text, bool enabled, std::optional<bool> checked = {}) {
    QAction* action = menu->addAction(text);
    action->setData(id);
    action->setEnabled(enabled);
    if (checked) {
      action->setCheckable(true);
      action->setChecked(*checked);
    }
  };
  add(command::kEditLegend, legend::tr("编辑图例"), state.editEnabled);
  menu->addSeparator();
  add(command::kSave, legend::tr("保存图例文件"), state.saveEnabled);
  add(command::kSaveWholeFileAs, legend::tr("整个文件另存为.."), true);
  add(command::kSaveDisplayAs, legend::tr("当前显示另存为.."), true);
  menu->addSeparator();
  add(command::kShowPoints, legend::tr("显示点图例"), state.pointsEnabled, state.pointsChecked);
  add(command::kShowLines, legend::tr("显示线图例"), state.linesEnabled, state.linesChecked);
  add(command::kShowRegions, legend::tr("显示区图例"), state.regionsEnabled, state.regionsChecked);
  add(command::kTips, legend::tr("显示图例内容提示"), true, state.tipsChecked);
  menu->addSeparator();
  add(command::kCaptionMode, legend::uiText(state.captionCommandText), true);
  menu->addSeparator();
  add(command::kFind, legend::tr(kFindItem), true);
  return menu;
}

void CLegendPadDlg::runCommand(int id, QPoint globalPos) {
  const Busy busy(*this);
  parts_->model.runCommand(id, areaPoint(globalPos), areaSize());
}

// --- the port --------------------------------------------------------------------------

namespace legend::pad {

bool PadWindowPort::exists() const { return pad_.parts_->created && !pad_.parts_->closed; }

AreaSize PadWindowPort::areaSize() const { return {pad_.parts_->area->width(), pad_.parts_->area->height()}; }

void PadWindowPort::setTotalText(std::string_view text) { pad_.parts_->total->setText(fromUtf8(text)); }

void PadWindowPort::clearArea() {
  pad_.parts_->area->clear();
  pad_.parts_->area->update();
}

void PadWindowPort::clearCell(const WindowRect& cell) {
  const QRect rect(QPoint(cell.left, cell.top), QPoint(cell.right - 1, cell.bottom - 1));
  pad_.parts_->area->clearRect(rect);
  pad_.parts_->area->update(rect);
}

std::unique_ptr<KernelDriver> PadWindowPort::openDriver() {
  CLegendPadDlg::Parts& p = *pad_.parts_;
  if (p.area->image().isNull()) p.area->clear();
  if (p.openDriver) return p.openDriver(p.area->image());
  return OpenWinDriver(&p.area->image());
}

void PadWindowPort::reportImageFailure() {
  CLegendPadDlg::Parts& p = *pad_.parts_;
  if (!p.model.showMessages() || p.imageReportPending) return;
  p.imageReportPending = true;
  // Told from the event loop, never from inside a pass: the area may be
  // painting, and a message box is a modal loop in which the host may act.
  // One message stands for the failures of every pass until it is closed.
  QMetaObject::invokeMethod(
      &pad_,
      [&pad = pad_] {
        CLegendPadDlg::Parts& parts = *pad.parts_;
        if (!parts.closed) parts.prompter.inform(legend::messages::kImageLegendFailed);
        parts.imageReportPending = false;
      },
      Qt::QueuedConnection);
}

void PadWindowPort::setTitle(std::string_view title) { pad_.setWindowTitle(fromUtf8(title)); }

void PadWindowPort::setScrollRange(ScrollRange range) {
  QScrollBar* bar = pad_.parts_->scrollBar;
  const QSignalBlocker block(bar);
  bar->setRange(range.minimum, std::max(range.minimum, range.maximum));
}

void PadWindowPort::setScrollPosition(std::int32_t position) {
  QScrollBar* bar = pad_.parts_->scrollBar;
  const QSignalBlocker block(bar);
  bar->setValue(position);
  bar->setSliderPosition(position);
}

void PadWindowPort::showSelectedNumber(std::int32_t number) { pad_.parts_->number->setText(QString::number(number)); }

std::optional<std::int64_t> PadWindowPort::typedNumber() const {
  bool ok = false;
  const qlonglong value = pad_.parts_->number->text().trimmed().toLongLong(&ok);
  if (!ok) return std::nullopt;
  return value;
}

void PadWindowPort::refuseTypedNumber() {
  QLineEdit* number = pad_.parts_->number;
  number->selectAll();
  number->setFocus();
  pad_.parts_->prompter.beep();
}

bool PadWindowPort::tipExists() const { return pad_.parts_->tip.exists(); }
bool PadWindowPort::tipVisible() const { return pad_.parts_->tip.isVisible(); }

void PadWindowPort::showTip(std::string_view text, bool alert) {
  pad_.parts_->tip.showTip(pad_.parts_->area, decodeGbk(text), alert);
}

void PadWindowPort::hideTip() { pad_.parts_->tip.hideTip(); }

bool PadWindowPort::hasOwner() const { return !pad_.parts_->owner.isNull(); }

void PadWindowPort::sendToOwner(int message, std::int32_t legendIndex) {
  if (QWidget* owner = pad_.parts_->owner.data()) {
    LegendEvent event(message, legendIndex, 0);
    QCoreApplication::sendEvent(owner, &event);
  }
}

bool PadWindowPort::runParameterDialog(LegendEdit& edit) {
  CLegendPadDlg::Parts& p = *pad_.parts_;
  CLegendParamDlg dialog(edit.head.ref(), edit.record, false, *p.editorsInUse, p.prompter, nullptr);
  p.dialog = &dialog;
  return dialog.exec() == QDialog::Accepted;
}

std::optional<int> PadWindowPort::runMenu(const MenuState& state, WindowPoint at) {
  CLegendPadDlg::Parts& p = *pad_.parts_;
  const std::unique_ptr<QMenu> menu = pad_.menuFor(state);
  p.menu = menu.get();
  const QAction* chosen = menu->exec(p.area->mapToGlobal(QPoint(at.x, at.y)));
  if (chosen == nullptr) return std::nullopt;
  return chosen->data().toInt();
}

void PadWindowPort::openFind() { pad_.openFind(); }

std::optional<std::string> PadWindowPort::chooseSavePath(const std::string& initialPath) {
  CLegendPadDlg::Parts& p = *pad_.parts_;
  std::optional<std::string> path = p.chooseSavePath(initialPath);
  if (!path || p.closed) return std::nullopt;
  // A name that cannot be completed (too long, or a folder) goes to the
  // save as typed, which refuses it with its own message.
  if (std::optional<std::string> completed = legend::completeLegendFileName(*path)) path = std::move(completed);
  // The file dialog asked about the name typed, not about the final one.
  std::error_code error;
  if (std::filesystem::exists(*path, error)) {
    legend::Prompter& ask = p.questions != nullptr ? *p.questions : p.boxes;
    const QString question = legend::tr(kReplaceQuestion).arg(QString::fromStdString(*path));
    if (!ask.askYesNo(question.toStdString(), false)) return std::nullopt;
  }
  return path;
}

}  // namespace legend::pad
