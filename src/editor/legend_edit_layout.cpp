#include "editor/legend_edit_layout.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include <QAbstractItemModel>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QVBoxLayout>

#include "components/codec/ui_language.h"
#include "editor/model/editor_store.h"

namespace legend::editor {

namespace {

// Label colours of the command captions: the two that open or change legends
// in teal, deleting in amber.
const QColor kAddEditLabelColour(51, 153, 153);
const QColor kDeleteLabelColour(217, 153, 76);

constexpr int kIconSize = 32;
constexpr const char* kFilterHint = QT_TRANSLATE_NOOP("legend", "按名称、分类码或描述筛选");

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

/// A caption over a command button with an icon, centred in the command
/// column.
std::pair<QLabel*, QPushButton*> captioned(QWidget& d, const DialogUnits& units, QVBoxLayout* into, const char* text,
                                           const char* labelName, const char* buttonName, const char* icon) {
  auto* label = makeLabel(legend::tr(text), labelName, &d);
  label->setAlignment(Qt::AlignCenter);
  label->setFixedSize(units.size(32, 9));
  const QSize size = units.size(22, 17);
  auto* button = makeButton(QString(), buttonName, &d);
  button->setFixedSize(size);
  button->setIcon(QIcon(QString::fromLatin1(icon)));
  button->setIconSize(QSize(kIconSize, kIconSize).boundedTo(size - QSize(6, 6)));
  button->setToolTip(legend::tr(text));
  into->addWidget(label, 0, Qt::AlignHCenter);
  into->addWidget(button, 0, Qt::AlignHCenter);
  return {label, button};
}

/// 图例类型: the type of new legends.
QGroupBox* buildTypeGroup(QDialog& d, const DialogUnits& units, EditorControls& c) {
  auto* group = new QGroupBox(legend::tr("图例类型"), &d);
  group->setFixedSize(units.size(74, 44));
  auto* rows = new QVBoxLayout(group);
  rows->setContentsMargins(units.x(8), 0, units.x(4), 0);
  rows->setSpacing(units.y(1));
  c.types = new QButtonGroup(&d);
  const struct {
    const char* text;
    const char* objectName;
    int choice;
  } radios[] = {{QT_TRANSLATE_NOOP("legend", "点类型图例"), "pointRadio", EditorStore::kPointChoice},
                {QT_TRANSLATE_NOOP("legend", "线类型图例"), "lineRadio", EditorStore::kLineChoice},
                {QT_TRANSLATE_NOOP("legend", "区类型图例"), "regionRadio", EditorStore::kRegionChoice}};
  for (const auto& r : radios) {
    auto* radio = new QRadioButton(legend::tr(r.text), group);
    radio->setObjectName(QString::fromLatin1(r.objectName));
    radio->setFixedHeight(units.y(10));
    rows->addWidget(radio);
    c.types->addButton(radio, r.choice);
  }
  return group;
}

/// 图例信息: the texts and the graphic parameters of new legends.
QGroupBox* buildInfoGroup(QDialog& d, const DialogUnits& units, EditorControls& c) {
  auto* group = new QGroupBox(legend::tr("图例信息"), &d);
  group->setFixedSize(units.size(74, 91));
  auto* rows = new QVBoxLayout(group);
  rows->setContentsMargins(units.x(4), units.y(1), units.x(4), 0);
  rows->setSpacing(units.y(2));
  c.defaultButton = makeButton(legend::tr("设为默认值"), "defaultButton", group);
  c.defaultButton->setFixedHeight(units.y(12));
  rows->addWidget(c.defaultButton);
  rows->addSpacing(units.y(1));
  c.nameEdit = new QLineEdit(group);
  c.nameEdit->setObjectName(QStringLiteral("nameEdit"));
  c.descriptionEdit = new QLineEdit(group);
  c.descriptionEdit->setObjectName(QStringLiteral("descriptionEdit"));
  c.classCodeEdit = new QLineEdit(group);
  c.classCodeEdit->setObjectName(QStringLiteral("classCodeEdit"));
  c.classCodeEdit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), c.classCodeEdit));
  for (const auto& [text, edit] : {std::pair{QT_TRANSLATE_NOOP("legend", "名称:"), c.nameEdit},
                                   std::pair{QT_TRANSLATE_NOOP("legend", "描述:"), c.descriptionEdit},
                                   std::pair{QT_TRANSLATE_NOOP("legend", "分类码:"), c.classCodeEdit}}) {
    edit->setFixedHeight(units.y(12));
    rows->addLayout(labelled(makeLabel(legend::tr(text), nullptr, group), edit));
  }
  rows->addWidget(makeLine(group, QFrame::HLine));
  auto* parameters = new QHBoxLayout;
  parameters->addWidget(makeIcon(":/legend/editor/icon163.png", units.size(20, 17), group));
  c.paramButton = makeButton(legend::tr("图例参数"), "paramButton", group);
  c.paramButton->setFixedSize(units.size(40, 15));
  parameters->addWidget(c.paramButton, 0, Qt::AlignRight);
  rows->addLayout(parameters);
  rows->addStretch(1);
  return group;
}

/// The command column: 确定 and 取消, then the list commands, each under its
/// caption, spaced as the template spaces them.
QVBoxLayout* buildCommands(QDialog& d, const DialogUnits& units, EditorControls& c) {
  auto* column = new QVBoxLayout;
  column->setSpacing(0);
  column->addSpacing(units.y(4));
  c.okButton = makeButton(legend::tr("确定"), "okButton", &d);
  c.cancelButton = makeButton(legend::tr("取消"), "cancelButton", &d);
  for (QPushButton* button : {c.okButton, c.cancelButton}) {
    // A translation longer than the template's caption widens its button
    // instead of being cut off; the command column has the room.
    const int textWidth = button->fontMetrics().horizontalAdvance(button->text()) + units.x(6);
    button->setFixedSize(std::max(units.x(22), textWidth), units.y(21));
    column->addWidget(button, 0, Qt::AlignHCenter);
    column->addSpacing(units.y(3));
  }
  column->addSpacing(units.y(1));
  QLabel* add = nullptr;
  QLabel* edit = nullptr;
  QLabel* remove = nullptr;
  std::tie(add, c.addButton) = captioned(d, units, column, QT_TRANSLATE_NOOP("legend", "添加"), "addLabel", "addButton",
                                         ":/legend/editor/icon138.png");
  column->addSpacing(units.y(2));
  std::tie(edit, c.editButton) = captioned(d, units, column, QT_TRANSLATE_NOOP("legend", "编辑"), "editLabel",
                                           "editButton", ":/legend/editor/icon137.png");
  column->addSpacing(units.y(3));
  std::tie(remove, c.deleteButton) = captioned(d, units, column, QT_TRANSLATE_NOOP("legend", "删除"), "deleteLabel",
                                               "deleteButton", ":/legend/editor/icon148.png");
  column->addStretch(1);
  colourLabel(add, kAddEditLabelColour);
  colourLabel(edit, kAddEditLabelColour);
  colourLabel(remove, kDeleteLabelColour);
  return column;
}

/// The attributes of new legends, in a box that reaches under the command
/// column, where 统改属性 gives them to the selected legends.
QFrame* buildAttributes(QDialog& d, const DialogUnits& units, EditorControls& c) {
  auto* box = makeLine(&d, QFrame::Box);
  box->setFixedSize(units.size(111, 36));
  auto* pictureAndCheck = new QVBoxLayout;
  pictureAndCheck->setSpacing(units.y(1));
  pictureAndCheck->addWidget(makeIcon(":/legend/editor/icon145.png", units.size(20, 17), box));
  c.attributeCheck = new QCheckBox(box);
  c.attributeCheck->setObjectName(QStringLiteral("attributeCheck"));
  c.attributeCheck->setToolTip(legend::tr("新图例带属性结构和属性内容"));
  pictureAndCheck->addWidget(c.attributeCheck, 0, Qt::AlignHCenter);
  pictureAndCheck->addStretch(1);
  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(units.y(2));
  buttons->addSpacing(units.y(3));
  c.structureButton = makeButton(legend::tr("属性结构"), "structureButton", box);
  c.contentButton = makeButton(legend::tr("属性内容"), "contentButton", box);
  for (QPushButton* button : {c.structureButton, c.contentButton}) {
    button->setFixedSize(units.size(40, 13));
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  auto* batch = new QVBoxLayout;
  batch->setSpacing(units.y(1));
  batch->addSpacing(units.y(3));
  std::tie(c.batchLabel, c.batchButton) = captioned(d, units, batch, QT_TRANSLATE_NOOP("legend", "统改属性"),
                                                    "batchLabel", "batchButton", ":/legend/editor/icon135.png");
  batch->addStretch(1);
  // The parts sit where the template puts them: the picture 5 units in, the
  // buttons at 29, 统改属性 in the command column's 32 units from 77.
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(units.x(5), units.y(2), units.x(2), 0);
  row->setSpacing(0);
  row->addLayout(pictureAndCheck);
  row->addSpacing(units.x(4));
  row->addLayout(buttons);
  row->addStretch(1);
  row->addLayout(batch);
  return box;
}

/// The template half: type, texts, parameters and attributes of new legends,
/// with the command column beside them.
QLayout* buildTemplate(QDialog& d, const DialogUnits& units, EditorControls& c) {
  auto* groups = new QVBoxLayout;
  groups->setSpacing(units.y(3));
  groups->addWidget(buildTypeGroup(d, units, c));
  groups->addWidget(buildInfoGroup(d, units, c));
  auto* columns = new QHBoxLayout;
  columns->setSpacing(units.x(3));
  columns->addLayout(groups);
  auto* commands = buildCommands(d, units, c);
  auto* commandColumn = new QWidget(&d);
  commandColumn->setFixedWidth(units.x(32));
  commandColumn->setLayout(commands);
  commands->setContentsMargins(0, 0, 0, 0);
  columns->addWidget(commandColumn);
  auto* half = new QVBoxLayout;
  half->setSpacing(units.y(2));
  half->addLayout(columns);
  half->addWidget(buildAttributes(d, units, c));
  // A taller dialog lengthens the list; the template keeps its place.
  half->addStretch(1);
  return half;
}

/// The list half: the counters over the legend list.
QLayout* buildList(QDialog& d, const DialogUnits& units, QAbstractItemModel* model, EditorControls& c) {
  auto* counters = new QGridLayout;
  counters->setContentsMargins(units.x(1), units.y(5), 0, 0);
  counters->setVerticalSpacing(units.y(2));
  c.total = makeLabel(QString(), "totalText", &d);
  c.current = makeLabel(QString(), "currentText", &d);
  counters->addWidget(makeLabel(legend::tr("图例总数:"), nullptr, &d), 0, 0);
  counters->addWidget(c.total, 0, 1);
  counters->addWidget(makeLabel(legend::tr("当前图例号:"), nullptr, &d), 1, 0);
  counters->addWidget(c.current, 1, 1);
  for (QLabel* label : d.findChildren<QLabel*>()) {
    if (counters->indexOf(label) >= 0) label->setFixedHeight(units.y(10));
  }
  for (QLabel* number : {c.total, c.current}) {
    number->setAlignment(Qt::AlignCenter);
    number->setMinimumWidth(units.x(28));
  }
  counters->setColumnStretch(2, 1);

  c.list = new QTableView(&d);
  c.list->setObjectName(QStringLiteral("legendList"));
  c.list->setModel(model);
  c.list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  c.list->setSelectionBehavior(QAbstractItemView::SelectRows);
  c.list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  c.list->setShowGrid(true);
  c.list->setWordWrap(false);
  c.list->setIconSize(QSize(20, 20));
  c.list->verticalHeader()->hide();
  c.list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  c.list->verticalHeader()->setDefaultSectionSize(std::max(22, c.list->fontMetrics().height() + 6));
  c.list->horizontalHeader()->setHighlightSections(false);
  c.list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The room kept for a vertical scroll bar goes to the last column while
  // the list has none, instead of showing as a gap after the header.
  c.list->horizontalHeader()->setStretchLastSection(true);
  // The selection stays visible while another control has the focus.
  QPalette listPalette = c.list->palette();
  listPalette.setBrush(QPalette::Inactive, QPalette::Highlight,
                       listPalette.brush(QPalette::Active, QPalette::Highlight));
  listPalette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                       listPalette.brush(QPalette::Active, QPalette::HighlightedText));
  c.list->setPalette(listPalette);

  // Sorting starts on the first header click; until then the rows keep the
  // store's order.
  c.list->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  c.list->horizontalHeader()->setSortIndicatorShown(true);
  c.list->setSortingEnabled(true);

  c.filter = new QLineEdit(&d);
  c.filter->setObjectName(QStringLiteral("filterEdit"));
  c.filter->setPlaceholderText(legend::tr(kFilterHint));
  c.filter->setClearButtonEnabled(true);

  // The counters, the rule at 36 units and the list from 42, as the template
  // places them; the filter field takes the top of the list's place.
  auto* column = new QVBoxLayout;
  column->setSpacing(0);
  column->addLayout(counters);
  column->addSpacing(units.y(4));
  auto* rule = makeLine(&d, QFrame::HLine);
  rule->setFixedHeight(units.y(2));
  column->addWidget(rule);
  column->addSpacing(units.y(4));
  column->addWidget(c.filter);
  column->addSpacing(units.y(2));
  column->addWidget(c.list, 1);
  return column;
}

}  // namespace

EditorControls layOutEditor(QDialog& dialog, QAbstractItemModel* model) {
  EditorControls c;
  const DialogUnits units(dialog.font());
  auto* halves = new QHBoxLayout(&dialog);
  halves->setContentsMargins(units.x(6), units.y(5), units.x(6), units.y(8));
  halves->setSpacing(units.x(2));
  halves->addLayout(buildTemplate(dialog, units, c));
  halves->addLayout(buildList(dialog, units, model, c), 1);
  // The template's size is the least the editor takes, as window managers
  // are told.
  dialog.setMinimumSize(units.size(202, 189));
  dialog.resize(dialog.minimumSize());
  // The controls get their places now, so the list's width is known before
  // the dialog is shown.
  halves->activate();
  return c;
}

}  // namespace legend::editor
