#include "editor/legend_edit_dlg.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>
#include <tuple>
#include <vector>

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include "components/base/busy_indicator.h"
#include "components/codec/gbk_text.h"
#include "components/base/message_prompter.h"
#include "components/base/select_file_name.h"
#include "components/codec/utf8_text.h"
#include "editor/legend_list_model.h"
#include "paramdlg/legend_param_dlg.h"
#include "editor/model/editor_messages.h"
#include "editor/model/editor_store.h"
#include "paramdlg/qt_area_editors.h"
#include "legendfile/file_io.h"
#include "legendfile/layout.h"
#include "legendfile/messages.h"

static void initEditorResources() { Q_INIT_RESOURCE(editor); }

namespace {

using legend::fromUtf8;
using legend::editor::EditorStore;
using legend::editor::LegendListModel;

/// Asked before a file the editor could not read is replaced by the legends
/// of this run: whatever the file held would be gone.
constexpr std::string_view kOverwriteUnloaded = "图例文件未能读入,保存将覆盖原文件!\n是否继续?";
constexpr const char* kSelectingText = "正在选择图例...";
constexpr const char* kBatchText = "正在统改属性...";

/// Popup menu command ids, as the host's menus number them.
constexpr int kSelectAllCommand = 55810;
constexpr int kInvertCommand = 55811;

// Label colours of the command captions: the two that open or change legends
// in teal, deleting in amber.
const QColor kAddEditLabelColour(51, 153, 153);
const QColor kDeleteLabelColour(217, 153, 76);

constexpr int kIconSize = 32;
/// The widest a column starts out, in CJK glyphs.
constexpr int kWidestColumnGlyphs = 12;

/// The controls are sized in dialog units, as the editor's template sizes
/// them: a unit is an eighth of a CJK glyph across and of a text line down,
/// so the layout keeps its proportions under any font while every caption
/// fits its control.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    x_ = std::max(1.5, metrics.horizontalAdvance(QChar(0x56FE)) / 7.0);  // 图
    y_ = std::max(1.5, metrics.height() / 7.5);
  }
  int x(int units) const { return static_cast<int>(std::lround(units * x_)); }
  int y(int units) const { return static_cast<int>(std::lround(units * y_)); }
  QSize size(int width, int height) const { return {x(width), y(height)}; }

 private:
  double x_;
  double y_;
};

/// Forwards to whichever prompter the editor uses now, and counts the
/// messages, so the editor can tell whether loading the file reported one.
class EditorPrompter final : public legend::Prompter {
 public:
  legend::Prompter* target = nullptr;
  int messages = 0;
  void inform(std::string_view text) override {
    ++messages;
    target->inform(text);
  }
  bool askYesNo(std::string_view text, bool defaultYes) override { return target->askYesNo(text, defaultYes); }
  void beep() override { target->beep(); }
};

QPushButton* makeButton(const QString& text, const char* objectName, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(objectName));
  // Enter typed into an edit must not save and close the editor.
  button->setAutoDefault(false);
  return button;
}

QLabel* makeLabel(const QString& text, const char* objectName, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  if (objectName != nullptr) label->setObjectName(QString::fromLatin1(objectName));
  return label;
}

void colourLabel(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

/// A picture beside a group of controls, as large as fits @p cell.
QLabel* makeIcon(const char* path, const QSize& cell, QWidget* parent) {
  auto* icon = new QLabel(parent);
  icon->setFixedSize(cell);
  icon->setAlignment(Qt::AlignCenter);
  icon->setPixmap(QIcon(QString::fromLatin1(path)).pixmap(cell.boundedTo(QSize(kIconSize, kIconSize))));
  return icon;
}

QFrame* makeLine(QWidget* parent, QFrame::Shape shape) {
  auto* line = new QFrame(parent);
  line->setFrameShape(shape);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

/// A label and the edit that fills the rest of its row.
QHBoxLayout* labelled(QLabel* label, QLineEdit* edit) {
  auto* row = new QHBoxLayout;
  row->setSpacing(0);
  row->addWidget(label);
  row->addWidget(edit, 1);
  return row;
}

}  // namespace

struct CLegendEditDlg::Parts {
  /// Runs the real parameter dialog over the editor, with the editor's
  /// area editors and prompter.
  class ParamRunner final : public legend::editor::ParamDialogRunner {
   public:
    explicit ParamRunner(Parts& parts) : parts_(parts) {}
    bool run(legend::HeadRef head, std::vector<std::uint8_t>& block, bool attributeEditing) override {
      CLegendParamDlg dialog(head, block, attributeEditing, *parts_.editorsInUse, parts_.prompter, &parts_.dialog);
      return dialog.exec() == QDialog::Accepted;
    }

   private:
    Parts& parts_;
  };

  /// Rows the store rebuilds during a command reach the view as one reset.
  class Rebuild {
   public:
    explicit Rebuild(Parts& parts) : parts_(parts) { parts_.model->beginRebuild(); }
    ~Rebuild() {
      parts_.model->endRebuild();
      parts_.showCounters();
    }
    Rebuild(const Rebuild&) = delete;
    Rebuild& operator=(const Rebuild&) = delete;

   private:
    Parts& parts_;
  };

  /// The Delete key in the list deletes as 删除 does; in an edit it keeps
  /// deleting text. A held key deletes once: each of its repeats would
  /// take the next row, one row asks nothing, and the list would empty
  /// within a second. Only the left button's double click edits a row: the
  /// view reports any button's, and a middle or right double click must do
  /// no more than its two single clicks.
  class ListInput final : public QObject {
   public:
    explicit ListInput(Parts& parts) : parts_(parts) {}
    void watch(QAbstractItemView* list) {
      // Kept, not asked for: events still come while the list is destroyed.
      list_ = list;
      viewport_ = list->viewport();
      list_->installEventFilter(this);
      viewport_->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
      const QEvent::Type type = event->type();
      if (watched == list_ && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Delete || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
          return false;
        if (type == QEvent::KeyRelease) {
          lastRelease_ = key->timestamp();
          return false;
        }
        // X11 repeats a held key as a release and a press of one and the
        // same moment, and Qt does not always see the pair as a repeat.
        const bool repeat = key->isAutoRepeat() || (lastRelease_ != 0 && key->timestamp() == lastRelease_);
        if (!repeat) parts_.deleteSelected();
        return true;
      }
      if (watched == viewport_ && type == QEvent::MouseButtonDblClick) {
        const auto* click = static_cast<QMouseEvent*>(event);
        if (click->button() == Qt::LeftButton) return false;
        QMouseEvent press(QEvent::MouseButtonPress, click->position(), click->scenePosition(),
                          click->globalPosition(), click->button(), click->buttons(), click->modifiers(),
                          click->pointingDevice());
        QCoreApplication::sendEvent(watched, &press);
        return true;
      }
      return false;
    }

   private:
    Parts& parts_;
    QObject* list_ = nullptr;
    QObject* viewport_ = nullptr;
    /// When the Delete key last came up, in the window system's time.
    std::uint64_t lastRelease_ = 0;
  };

  Parts(CLegendEditDlg& dlg, char* name, std::function<void()> reload)
      : dialog(dlg), fileName(name), reloadPad(std::move(reload)), boxes(&dlg), store(prompter), editors(&dlg),
        runner(*this), listInput(*this) {
    prompter.target = &boxes;
  }

  void build();
  /// The template half: type, texts, parameters and attributes of new
  /// legends, with the command column beside it.
  QLayout* buildTemplate(const DialogUnits& units);
  /// The list half: the counters over the legend list.
  QLayout* buildList(const DialogUnits& units);
  void connectCommands();
  /// Column widths for the loaded legends, and a dialog wide enough for them.
  void fitColumns();
  FileNameChooser defaultChooser();
  void showCounters();
  std::vector<std::int32_t> selectedRows() const;
  void makeCurrent(int row);
  void transferType();
  bool transferTexts();
  void attributesToggled(bool on);
  void selectAll();
  void invertSelection();
  void batchAttributes();
  void deleteSelected();

  CLegendEditDlg& dialog;
  char* fileName;
  std::function<void()> reloadPad;
  legend::MessagePrompter boxes;
  EditorPrompter prompter;
  EditorStore store;
  legend::editor::QtAreaEditors editors;
  legend::editor::AreaEditors* editorsInUse = &editors;
  ParamRunner runner;
  legend::editor::ParamDialogRunner* runnerInUse = &runner;
  FileNameChooser chooseName;
  legend::FileOps* fileOps = &legend::FileOps::system();
  /// Where the name prompt starts: the last name chosen for a new file whose
  /// save failed, so a retry need not type it again.
  std::string lastChosenName;
  /// Loading reported a failure: the file, if it exists, holds what this
  /// run never saw.
  bool loadFailed = false;

  LegendListModel* model = nullptr;
  QButtonGroup* types = nullptr;
  QLineEdit* nameEdit = nullptr;
  QLineEdit* descriptionEdit = nullptr;
  QLineEdit* classCodeEdit = nullptr;
  QCheckBox* attributeCheck = nullptr;
  QPushButton* structureButton = nullptr;
  QPushButton* contentButton = nullptr;
  QPushButton* batchButton = nullptr;
  QLabel* batchLabel = nullptr;
  QLabel* total = nullptr;
  QLabel* current = nullptr;
  QTableView* list = nullptr;
  QPushButton* defaultButton = nullptr;
  QPushButton* paramButton = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;
  QPushButton* addButton = nullptr;
  QPushButton* editButton = nullptr;
  QPushButton* deleteButton = nullptr;
  ListInput listInput;
  QMenu* menu = nullptr;
};

CLegendEditDlg::CLegendEditDlg(char* fileName, std::function<void()> reloadPad, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      parts_(std::make_unique<Parts>(*this, fileName, std::move(reloadPad))) {
  initEditorResources();
  Parts& p = *parts_;
  setObjectName(QStringLiteral("legendEditor"));
  setModal(true);

  const std::string path =
      fileName != nullptr ? std::string(fileName, strnlen(fileName, legend::layout::kPathBufferSize)) : std::string();
  const int before = p.prompter.messages;
  p.store.load(path);
  p.loadFailed = p.prompter.messages != before;

  p.chooseName = p.defaultChooser();

  setWindowTitle(fromUtf8(p.store.windowTitle()));
  p.build();
  {
    Parts::Rebuild rebuild(p);
    p.store.open();
  }
  p.fitColumns();
  p.types->button(p.store.typeChoice())->setChecked(true);
  p.attributesToggled(p.attributeCheck->isChecked());
}

CLegendEditDlg::~CLegendEditDlg() {
  // The controls call into the parts through their signals, so they go
  // while the parts are still whole, not after, with the QDialog base.
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) delete child;
  parts_->store.setListSink(nullptr);
}

void CLegendEditDlg::Parts::build() {
  CLegendEditDlg& d = dialog;
  const DialogUnits units(d.font());
  auto* halves = new QHBoxLayout(&d);
  halves->setContentsMargins(units.x(6), units.y(5), units.x(6), units.y(8));
  halves->setSpacing(units.x(2));
  halves->addLayout(buildTemplate(units));
  halves->addLayout(buildList(units), 1);
  connectCommands();
  d.resize(units.size(202, 189));
  // Children get their places now, so fitColumns sees the list's width.
  halves->activate();
}

QLayout* CLegendEditDlg::Parts::buildTemplate(const DialogUnits& units) {
  CLegendEditDlg& d = dialog;
  const int column = units.x(74);

  auto* typeGroup = new QGroupBox(QStringLiteral("图例类型"), &d);
  typeGroup->setFixedWidth(column);
  auto* typeRows = new QVBoxLayout(typeGroup);
  typeRows->setContentsMargins(units.x(8), units.y(1), units.x(4), units.y(1));
  typeRows->setSpacing(units.y(1));
  types = new QButtonGroup(&d);
  const struct {
    const char* text;
    const char* objectName;
    int choice;
  } radios[] = {{"点类型图例", "pointRadio", EditorStore::kPointChoice},
                {"线类型图例", "lineRadio", EditorStore::kLineChoice},
                {"区类型图例", "regionRadio", EditorStore::kRegionChoice}};
  for (const auto& r : radios) {
    auto* radio = new QRadioButton(QString::fromUtf8(r.text), typeGroup);
    radio->setObjectName(QString::fromLatin1(r.objectName));
    radio->setFixedHeight(units.y(10));
    typeRows->addWidget(radio);
    types->addButton(radio, r.choice);
  }

  auto* infoGroup = new QGroupBox(QStringLiteral("图例信息"), &d);
  infoGroup->setFixedWidth(column);
  auto* infoRows = new QVBoxLayout(infoGroup);
  infoRows->setContentsMargins(units.x(4), units.y(2), units.x(4), units.y(2));
  infoRows->setSpacing(units.y(2));
  defaultButton = makeButton(QStringLiteral("设为默认值"), "defaultButton", infoGroup);
  defaultButton->setFixedHeight(units.y(12));
  infoRows->addWidget(defaultButton);
  nameEdit = new QLineEdit(infoGroup);
  nameEdit->setObjectName(QStringLiteral("nameEdit"));
  descriptionEdit = new QLineEdit(infoGroup);
  descriptionEdit->setObjectName(QStringLiteral("descriptionEdit"));
  classCodeEdit = new QLineEdit(infoGroup);
  classCodeEdit->setObjectName(QStringLiteral("classCodeEdit"));
  classCodeEdit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), classCodeEdit));
  for (const auto& [text, edit] : {std::pair{"名称:", nameEdit}, std::pair{"描述:", descriptionEdit},
                                   std::pair{"分类码:", classCodeEdit}}) {
    edit->setFixedHeight(units.y(12));
    infoRows->addLayout(labelled(makeLabel(QString::fromUtf8(text), nullptr, infoGroup), edit));
  }
  infoRows->addWidget(makeLine(infoGroup, QFrame::HLine));
  auto* paramRow = new QHBoxLayout;
  paramRow->addWidget(makeIcon(":/legend/editor/icon163.png", units.size(20, 17), infoGroup));
  paramButton = makeButton(QStringLiteral("图例参数"), "paramButton", infoGroup);
  paramButton->setFixedSize(units.size(40, 15));
  paramRow->addWidget(paramButton, 0, Qt::AlignRight);
  infoRows->addLayout(paramRow);

  // The command column: 确定 and 取消, then the list commands, each under
  // its caption.
  const QSize commandSize = units.size(22, 17);
  const auto captioned = [&](QVBoxLayout* into, const char* text, const char* labelName, const char* buttonName,
                             const char* icon) {
    auto* label = makeLabel(QString::fromUtf8(text), labelName, &d);
    label->setAlignment(Qt::AlignCenter);
    label->setFixedWidth(units.x(32));
    auto* button = makeButton(QString(), buttonName, &d);
    button->setFixedSize(commandSize);
    button->setIcon(QIcon(QString::fromLatin1(icon)));
    button->setIconSize(QSize(kIconSize, kIconSize).boundedTo(commandSize - QSize(6, 6)));
    button->setToolTip(QString::fromUtf8(text));
    into->addWidget(label, 0, Qt::AlignHCenter);
    into->addWidget(button, 0, Qt::AlignHCenter);
    return std::pair(label, button);
  };
  auto* closing = new QVBoxLayout;
  closing->setSpacing(units.y(3));
  okButton = makeButton(QStringLiteral("确定"), "okButton", &d);
  cancelButton = makeButton(QStringLiteral("取消"), "cancelButton", &d);
  for (QPushButton* button : {okButton, cancelButton}) {
    button->setFixedSize(units.size(22, 21));
    closing->addWidget(button, 0, Qt::AlignHCenter);
  }
  auto* commands = new QVBoxLayout;
  commands->setSpacing(units.y(1));
  QLabel* addLabel = nullptr;
  QLabel* editLabel = nullptr;
  QLabel* deleteLabel = nullptr;
  std::tie(addLabel, addButton) = captioned(commands, "添加", "addLabel", "addButton", ":/legend/editor/icon138.png");
  commands->addSpacing(units.y(2));
  std::tie(editLabel, editButton) =
      captioned(commands, "编辑", "editLabel", "editButton", ":/legend/editor/icon137.png");
  commands->addSpacing(units.y(2));
  std::tie(deleteLabel, deleteButton) =
      captioned(commands, "删除", "deleteLabel", "deleteButton", ":/legend/editor/icon148.png");
  colourLabel(addLabel, kAddEditLabelColour);
  colourLabel(editLabel, kAddEditLabelColour);
  colourLabel(deleteLabel, kDeleteLabelColour);

  // The attributes of new legends, in a box that also holds 统改属性
  // under the command column. The box goes first, so it lies beneath.
  auto* attributeFrame = makeLine(&d, QFrame::Box);
  auto* attributeIcons = new QVBoxLayout;
  attributeIcons->setSpacing(units.y(1));
  attributeIcons->addWidget(makeIcon(":/legend/editor/icon145.png", units.size(20, 17), &d));
  attributeCheck = new QCheckBox(&d);
  attributeCheck->setObjectName(QStringLiteral("attributeCheck"));
  attributeCheck->setToolTip(QStringLiteral("新图例带属性结构和属性内容"));
  attributeIcons->addWidget(attributeCheck, 0, Qt::AlignHCenter);
  auto* attributeButtons = new QVBoxLayout;
  attributeButtons->setSpacing(units.y(2));
  structureButton = makeButton(QStringLiteral("属性结构"), "structureButton", &d);
  contentButton = makeButton(QStringLiteral("属性内容"), "contentButton", &d);
  for (QPushButton* button : {structureButton, contentButton}) {
    button->setFixedSize(units.size(40, 13));
    attributeButtons->addWidget(button);
  }
  auto* attributes = new QHBoxLayout;
  attributes->setContentsMargins(units.x(4), units.y(2), units.x(4), units.y(2));
  attributes->addLayout(attributeIcons);
  attributes->addLayout(attributeButtons);
  attributes->addStretch();
  auto* batch = new QVBoxLayout;
  batch->setContentsMargins(0, units.y(4), 0, units.y(3));
  batch->setSpacing(units.y(1));
  std::tie(batchLabel, batchButton) =
      captioned(batch, "统改属性", "batchLabel", "batchButton", ":/legend/editor/icon135.png");

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(units.x(3));
  grid->setVerticalSpacing(units.y(2));
  grid->addWidget(typeGroup, 0, 0);
  grid->addLayout(closing, 0, 1, Qt::AlignTop);
  grid->addWidget(infoGroup, 1, 0);
  grid->addLayout(commands, 1, 1, Qt::AlignTop);
  grid->addWidget(attributeFrame, 2, 0, 1, 2);
  grid->addLayout(attributes, 2, 0);
  grid->addLayout(batch, 2, 1);
  // A taller dialog lengthens the list; the template keeps its place.
  auto* half = new QVBoxLayout;
  half->addLayout(grid);
  half->addStretch(1);
  return half;
}

QLayout* CLegendEditDlg::Parts::buildList(const DialogUnits& units) {
  CLegendEditDlg& d = dialog;
  auto* counters = new QGridLayout;
  counters->setContentsMargins(units.x(1), units.y(5), 0, 0);
  counters->setVerticalSpacing(units.y(2));
  total = makeLabel(QString(), "totalText", &d);
  current = makeLabel(QString(), "currentText", &d);
  counters->addWidget(makeLabel(QStringLiteral("图例总数:"), nullptr, &d), 0, 0);
  counters->addWidget(total, 0, 1);
  counters->addWidget(makeLabel(QStringLiteral("当前图例号:"), nullptr, &d), 1, 0);
  counters->addWidget(current, 1, 1);
  for (QLabel* number : {total, current}) {
    number->setAlignment(Qt::AlignCenter);
    number->setMinimumWidth(units.x(28));
  }
  counters->setColumnStretch(2, 1);

  model = new LegendListModel(&d);
  list = new QTableView(&d);
  list->setObjectName(QStringLiteral("legendList"));
  list->setModel(model);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setShowGrid(true);
  list->setWordWrap(false);
  list->setIconSize(QSize(20, 20));
  list->verticalHeader()->hide();
  list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  list->verticalHeader()->setDefaultSectionSize(std::max(22, list->fontMetrics().height() + 6));
  list->horizontalHeader()->setHighlightSections(false);
  list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The selection stays visible while another control has the focus.
  QPalette listPalette = list->palette();
  listPalette.setBrush(QPalette::Inactive, QPalette::Highlight,
                       listPalette.brush(QPalette::Active, QPalette::Highlight));
  listPalette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                       listPalette.brush(QPalette::Active, QPalette::HighlightedText));
  list->setPalette(listPalette);
  model->setCurrentRowHandler([this](int row) { makeCurrent(row); });
  store.setListSink(model);

  auto* column = new QVBoxLayout;
  column->setSpacing(units.y(3));
  column->addLayout(counters);
  column->addWidget(makeLine(&d, QFrame::HLine));
  column->addWidget(list, 1);
  return column;
}

void CLegendEditDlg::Parts::connectCommands() {
  CLegendEditDlg& d = dialog;
  QObject::connect(types, &QButtonGroup::idClicked, &d, [this](int) { transferType(); });
  QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, &d, [this] {
    store.selectionChanged(selectedRows());
    showCounters();
  });
  QObject::connect(list, &QAbstractItemView::doubleClicked, &d, [this] {
    Rebuild rebuild(*this);
    store.editSelected(selectedRows(), *runnerInUse);
  });

  menu = new QMenu(&d);
  menu->setObjectName(QStringLiteral("legendMenu"));
  QAction* selectAllAction = menu->addAction(QStringLiteral("选中全部"));
  selectAllAction->setObjectName(QStringLiteral("selectAllAction"));
  selectAllAction->setData(kSelectAllCommand);
  selectAllAction->setShortcut(QKeySequence::SelectAll);
  QAction* invertAction = menu->addAction(QStringLiteral("反向选择"));
  invertAction->setObjectName(QStringLiteral("invertAction"));
  invertAction->setData(kInvertCommand);
  // Ctrl+A anywhere in the editor, except in an edit, which keeps it for its text.
  d.addAction(selectAllAction);
  QObject::connect(selectAllAction, &QAction::triggered, &d, [this] { selectAll(); });
  QObject::connect(invertAction, &QAction::triggered, &d, [this] { invertSelection(); });
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(list, &QWidget::customContextMenuRequested, &d,
                   [this](const QPoint& at) { menu->exec(list->viewport()->mapToGlobal(at)); });

  QObject::connect(okButton, &QPushButton::clicked, &d, &CLegendEditDlg::accept);
  QObject::connect(cancelButton, &QPushButton::clicked, &d, &CLegendEditDlg::reject);
  QObject::connect(addButton, &QPushButton::clicked, &d, [this] {
    if (!transferTexts()) return;
    transferType();
    Rebuild rebuild(*this);
    store.addFromTemplate();
  });
  QObject::connect(editButton, &QPushButton::clicked, &d, [this] {
    Rebuild rebuild(*this);
    store.editSelected(selectedRows(), *runnerInUse);
  });
  QObject::connect(deleteButton, &QPushButton::clicked, &d, [this] { deleteSelected(); });
  listInput.watch(list);
  QObject::connect(defaultButton, &QPushButton::clicked, &d, [this] {
    store.resetTemplate();
    nameEdit->clear();
    descriptionEdit->clear();
    classCodeEdit->clear();
  });
  QObject::connect(paramButton, &QPushButton::clicked, &d, [this] {
    transferType();
    store.editTemplateParameters(*editorsInUse);
  });
  QObject::connect(attributeCheck, &QCheckBox::toggled, &d, [this](bool on) { attributesToggled(on); });
  QObject::connect(structureButton, &QPushButton::clicked, &d,
                   [this] { store.editAttributeStructure(*editorsInUse); });
  QObject::connect(contentButton, &QPushButton::clicked, &d, [this] { store.editAttributeContent(*editorsInUse); });
  QObject::connect(batchButton, &QPushButton::clicked, &d, [this] { batchAttributes(); });
}

void CLegendEditDlg::Parts::fitColumns() {
  // The header text and its padding are the least a column gets; wider
  // texts widen it up to a cap, so a map maker reads names, class codes and
  // sizes side by side instead of behind "..." or a scroll bar. A long
  // description still ends in "..." and shows whole in its tooltip.
  const QFontMetrics headerMetrics(list->horizontalHeader()->font());
  const int cap = list->fontMetrics().horizontalAdvance(QChar(0x56FE)) * kWidestColumnGlyphs;
  int columnsWidth = 0;
  for (int column = 0; column < LegendListModel::kColumnCount; ++column) {
    const int least = headerMetrics.horizontalAdvance(LegendListModel::headerText(column)) +
                      LegendListModel::columnPadding(column);
    list->resizeColumnToContents(column);
    const int width = std::max(least, std::min(cap, list->columnWidth(column)));
    list->setColumnWidth(column, width);
    columnsWidth += width;
  }
  const int wanted = columnsWidth + 2 * list->frameWidth() + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  if (wanted > list->width()) dialog.resize(dialog.width() + wanted - list->width(), dialog.height());
}

CLegendEditDlg::FileNameChooser CLegendEditDlg::Parts::defaultChooser() {
  return [this]() -> std::optional<std::string> {
    std::string chosen = lastChosenName;
    if (!legend::SelectFileName(&dialog, true, chosen)) return std::nullopt;
    return chosen;
  };
}

void CLegendEditDlg::Parts::showCounters() {
  total->setText(QString::number(store.totalListed()));
  current->setText(QString::number(store.currentRow()));
}

std::vector<std::int32_t> CLegendEditDlg::Parts::selectedRows() const {
  const QModelIndexList indexes = list->selectionModel()->selectedRows();
  std::vector<std::int32_t> rows;
  rows.reserve(static_cast<std::size_t>(indexes.size()));
  for (const QModelIndex& index : indexes) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void CLegendEditDlg::Parts::makeCurrent(int row) {
  const QModelIndex index = model->index(row, 0);
  list->setFocus();
  list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  list->scrollTo(index);
}

void CLegendEditDlg::Parts::transferType() {
  const int choice = types->checkedId();
  if (choice >= 0) store.setTypeChoice(choice);
}

bool CLegendEditDlg::Parts::transferTexts() {
  // Both texts are checked before the store takes either, so a refusal
  // leaves the template as it was.
  const auto encode = [this](QLineEdit* edit, std::string_view notStorable) {
    legend::GbkEncodeResult encoded = legend::encodeGbkField(edit->text());
    if (!encoded) {
      prompter.inform(encoded.error == legend::GbkFieldError::TooLong ? legend::messages::kTextTooLong : notStorable);
      edit->setFocus();
      edit->selectAll();
    }
    return encoded;
  };
  legend::GbkEncodeResult name = encode(nameEdit, legend::messages::kNameNotStorable);
  if (!name) return false;
  legend::GbkEncodeResult description = encode(descriptionEdit, legend::messages::kDescriptionNotStorable);
  if (!description) return false;
  if (!store.setTemplateName(std::move(name.bytes))) return false;
  if (!store.setTemplateDescription(std::move(description.bytes))) return false;
  store.setTemplateClassCode(classCodeEdit->text().toStdString());
  return true;
}

void CLegendEditDlg::Parts::attributesToggled(bool on) {
  store.setAttributesEnabled(on);
  structureButton->setEnabled(on);
  contentButton->setEnabled(on);
  batchButton->setEnabled(on);
  batchLabel->setEnabled(on);
}

void CLegendEditDlg::Parts::selectAll() {
  const int rows = model->rowCount();
  if (rows == 0) return;
  legend::BusyScope busy(QString::fromUtf8(kSelectingText), rows, &dialog);
  // One selection range, not a change per row: every change re-gathers the
  // selection, which would make selecting thousands of rows quadratic.
  const QItemSelection all(model->index(0, 0), model->index(rows - 1, LegendListModel::kColumnCount - 1));
  list->selectionModel()->select(all, QItemSelectionModel::Select);
  legend::StepBusy(rows);
}

void CLegendEditDlg::Parts::invertSelection() {
  const int rows = model->rowCount();
  if (rows == 0) return;
  legend::BusyScope busy(QString::fromUtf8(kSelectingText), rows, &dialog);
  QItemSelectionModel* selection = list->selectionModel();
  QItemSelection inverted;
  const int lastColumn = LegendListModel::kColumnCount - 1;
  int runStart = -1;
  for (int row = 0; row < rows; ++row) {
    const bool selected = selection->isRowSelected(row);
    if (!selected && runStart < 0) runStart = row;
    if (selected && runStart >= 0) {
      inverted.select(model->index(runStart, 0), model->index(row - 1, lastColumn));
      runStart = -1;
    }
    legend::StepBusy(row + 1);
  }
  if (runStart >= 0) inverted.select(model->index(runStart, 0), model->index(rows - 1, lastColumn));
  // The current row keeps its focus; only the selected states flip.
  selection->select(inverted, QItemSelectionModel::ClearAndSelect);
}

void CLegendEditDlg::Parts::deleteSelected() {
  Rebuild rebuild(*this);
  store.deleteSelected(selectedRows());
}

void CLegendEditDlg::Parts::batchAttributes() {
  const std::vector<std::int32_t> rows = selectedRows();
  // The indicator starts with the first legend, after the question: a busy
  // cursor over a question would tell the user to wait for themselves.
  std::optional<legend::BusyScope> busy;
  std::int64_t done = 0;
  store.batchAttributeChange(rows, [&] {
    if (!busy) busy.emplace(QString::fromUtf8(kBatchText), static_cast<std::int64_t>(rows.size()), &dialog);
    legend::StepBusy(++done);
  });
}

void CLegendEditDlg::accept() {
  Parts& p = *parts_;
  const bool newFile = p.store.path().empty();
  if (newFile) {
    const std::optional<std::string> chosen = p.chooseName ? p.chooseName() : std::nullopt;
    if (!chosen || chosen->empty()) return;
    const std::optional<std::string> path = p.store.newFilePath(*chosen);
    if (!path) return;
    if (!p.store.setPath(*path)) {
      p.prompter.inform(legend::messages::text(legend::LegendStatus::PathTooLong, *path));
      return;
    }
    p.lastChosenName = *path;
  } else if (p.loadFailed &&
             QFileInfo::exists(QFile::decodeName(QByteArray::fromStdString(p.store.path())))) {
    if (!p.prompter.askYesNo(kOverwriteUnloaded, false)) return;
  }

  // The save has reported its failure; the editor stays open with every
  // edit so the user can try again or leave. A new file is named again,
  // since the folder chosen may be the reason.
  if (p.store.commit(*p.fileOps) != legend::editor::EditorSaveStatus::Ok) {
    if (newFile) p.store.setPath({});
    return;
  }
  if (newFile && p.fileName != nullptr) {
    // The caller learns the name only of a file that exists; completion
    // keeps it within the buffer with its NUL.
    const std::string& path = p.store.path();
    const std::size_t length = std::min(path.size(), legend::layout::kMaxPathBytes);
    std::memcpy(p.fileName, path.data(), length);
    p.fileName[length] = '\0';
  }
  QDialog::accept();
  if (p.reloadPad) p.reloadPad();
}

void CLegendEditDlg::reject() {
  Parts& p = *parts_;
  if (p.store.modified() && !p.prompter.askYesNo(legend::editor::texts::kDiscardChanges, /*defaultYes=*/false))
    return;
  QDialog::reject();
}

legend::editor::EditorStore& CLegendEditDlg::store() { return parts_->store; }

void CLegendEditDlg::setPrompter(legend::Prompter* prompter) {
  parts_->prompter.target = prompter != nullptr ? prompter : &parts_->boxes;
}

void CLegendEditDlg::setAreaEditors(legend::editor::AreaEditors* editors) {
  parts_->editorsInUse = editors != nullptr ? editors : &parts_->editors;
}

void CLegendEditDlg::setParamDialogRunner(legend::editor::ParamDialogRunner* runner) {
  parts_->runnerInUse = runner != nullptr ? runner : &parts_->runner;
}

void CLegendEditDlg::setFileNameChooser(FileNameChooser chooser) {
  parts_->chooseName = chooser ? std::move(chooser) : parts_->defaultChooser();
}

void CLegendEditDlg::setFileOps(legend::FileOps* ops) {
  parts_->fileOps = ops != nullptr ? ops : &legend::FileOps::system();
}
