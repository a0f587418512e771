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

#include "editor/model/editor_store.h"

namespace legend::editor {

namespace {

// Label colours of the command captions: the two that open or change legends
// in teal, deleting in amber.
const QColor kAddEditLabelColour(51, 153, 153);
const QColor kDeleteLabelColour(217, 153, 76);

constexpr int kIconSize = 32;

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

/// The template half: type, texts, parameters and attributes of new legends,
/// with the command column beside it.
QLayout* buildTemplate(QDialog& d, const DialogUnits& units, EditorControls& c) {
  const int column = units.x(74);

  auto* typeGroup = new QGroupBox(QStringLiteral("图例类型"), &d);
  typeGroup->setFixedWidth(column);
  auto* typeRows = new QVBoxLayout(typeGroup);
  typeRows->setContentsMargins(units.x(8), units.y(1), units.x(4), units.y(1));
  typeRows->setSpacing(units.y(1));
  c.types = new QButtonGroup(&d);
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
    c.types->addButton(radio, r.choice);
  }

  auto* infoGroup = new QGroupBox(QStringLiteral("图例信息"), &d);
  infoGroup->setFixedWidth(column);
  auto* infoRows = new QVBoxLayout(infoGroup);
  infoRows->setContentsMargins(units.x(4), units.y(2), units.x(4), units.y(2));
  infoRows->setSpacing(units.y(2));
  c.defaultButton = makeButton(QStringLiteral("设为默认值"), "defaultButton", infoGroup);
  c.defaultButton->setFixedHeight(units.y(12));
  infoRows->addWidget(c.defaultButton);
  c.nameEdit = new QLineEdit(infoGroup);
  c.nameEdit->setObjectName(QStringLiteral("nameEdit"));
  c.descriptionEdit = new QLineEdit(infoGroup);
  c.descriptionEdit->setObjectName(QStringLiteral("descriptionEdit"));
  c.classCodeEdit = new QLineEdit(infoGroup);
  c.classCodeEdit->setObjectName(QStringLiteral("classCodeEdit"));
  c.classCodeEdit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), c.classCodeEdit));
  for (const auto& [text, edit] : {std::pair{"名称:", c.nameEdit}, std::pair{"描述:", c.descriptionEdit},
                                   std::pair{"分类码:", c.classCodeEdit}}) {
    edit->setFixedHeight(units.y(12));
    infoRows->addLayout(labelled(makeLabel(QString::fromUtf8(text), nullptr, infoGroup), edit));
  }
  infoRows->addWidget(makeLine(infoGroup, QFrame::HLine));
  auto* paramRow = new QHBoxLayout;
  paramRow->addWidget(makeIcon(":/legend/editor/icon163.png", units.size(20, 17), infoGroup));
  c.paramButton = makeButton(QStringLiteral("图例参数"), "paramButton", infoGroup);
  c.paramButton->setFixedSize(units.size(40, 15));
  paramRow->addWidget(c.paramButton, 0, Qt::AlignRight);
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
  c.okButton = makeButton(QStringLiteral("确定"), "okButton", &d);
  c.cancelButton = makeButton(QStringLiteral("取消"), "cancelButton", &d);
  for (QPushButton* button : {c.okButton, c.cancelButton}) {
    button->setFixedSize(units.size(22, 21));
    closing->addWidget(button, 0, Qt::AlignHCenter);
  }
  auto* commands = new QVBoxLayout;
  commands->setSpacing(units.y(1));
  QLabel* addLabel = nullptr;
  QLabel* editLabel = nullptr;
  QLabel* deleteLabel = nullptr;
  std::tie(addLabel, c.addButton) = captioned(commands, "添加", "addLabel", "addButton", ":/legend/editor/icon138.png");
  commands->addSpacing(units.y(2));
  std::tie(editLabel, c.editButton) =
      captioned(commands, "编辑", "editLabel", "editButton", ":/legend/editor/icon137.png");
  commands->addSpacing(units.y(2));
  std::tie(deleteLabel, c.deleteButton) =
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
  c.attributeCheck = new QCheckBox(&d);
  c.attributeCheck->setObjectName(QStringLiteral("attributeCheck"));
  c.attributeCheck->setToolTip(QStringLiteral("新图例带属性结构和属性内容"));
  attributeIcons->addWidget(c.attributeCheck, 0, Qt::AlignHCenter);
  auto* attributeButtons = new QVBoxLayout;
  attributeButtons->setSpacing(units.y(2));
  c.structureButton = makeButton(QStringLiteral("属性结构"), "structureButton", &d);
  c.contentButton = makeButton(QStringLiteral("属性内容"), "contentButton", &d);
  for (QPushButton* button : {c.structureButton, c.contentButton}) {
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
  std::tie(c.batchLabel, c.batchButton) =
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

/// The list half: the counters over the legend list.
QLayout* buildList(QDialog& d, const DialogUnits& units, QAbstractItemModel* model, EditorControls& c) {
  auto* counters = new QGridLayout;
  counters->setContentsMargins(units.x(1), units.y(5), 0, 0);
  counters->setVerticalSpacing(units.y(2));
  c.total = makeLabel(QString(), "totalText", &d);
  c.current = makeLabel(QString(), "currentText", &d);
  counters->addWidget(makeLabel(QStringLiteral("图例总数:"), nullptr, &d), 0, 0);
  counters->addWidget(c.total, 0, 1);
  counters->addWidget(makeLabel(QStringLiteral("当前图例号:"), nullptr, &d), 1, 0);
  counters->addWidget(c.current, 1, 1);
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
  // The selection stays visible while another control has the focus.
  QPalette listPalette = c.list->palette();
  listPalette.setBrush(QPalette::Inactive, QPalette::Highlight,
                       listPalette.brush(QPalette::Active, QPalette::Highlight));
  listPalette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                       listPalette.brush(QPalette::Active, QPalette::HighlightedText));
  c.list->setPalette(listPalette);

  auto* column = new QVBoxLayout;
  column->setSpacing(units.y(3));
  column->addLayout(counters);
  column->addWidget(makeLine(&d, QFrame::HLine));
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
  dialog.resize(units.size(202, 189));
  // The controls get their places now, so the list's width is known before
  // the dialog is shown.
  halves->activate();
  return c;
}

}  // namespace legend::editor
