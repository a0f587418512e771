#include "components/areaedit/att_stru_editor.h"
#include "components/base/message_prompter.h"

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <utility>

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "components/codec/gbk_text.h"
#include "components/codec/ui_language.h"

namespace legend::areaedit {
namespace {

struct TypeLabel {
  AttFieldType type;
  const char* label;  // UTF-8
};

constexpr std::array<TypeLabel, 9> kTypeLabels{{
    {AttFieldType::Text, QT_TRANSLATE_NOOP("legend", "文本")},
    {AttFieldType::Int8, QT_TRANSLATE_NOOP("legend", "字节整数")},
    {AttFieldType::Int16, QT_TRANSLATE_NOOP("legend", "短整数")},
    {AttFieldType::Int32, QT_TRANSLATE_NOOP("legend", "整数")},
    {AttFieldType::Int64, QT_TRANSLATE_NOOP("legend", "长整数")},
    {AttFieldType::Float, QT_TRANSLATE_NOOP("legend", "单精度")},
    {AttFieldType::Double, QT_TRANSLATE_NOOP("legend", "双精度")},
    {AttFieldType::Date, QT_TRANSLATE_NOOP("legend", "日期")},
    {AttFieldType::Time, QT_TRANSLATE_NOOP("legend", "时间")},
}};

// A new text field needs some length; ten bytes holds a short label.
constexpr std::int32_t kDefaultTextLength = 10;

bool isReal(AttFieldType type) { return type == AttFieldType::Float || type == AttFieldType::Double; }

}  // namespace

QString attFieldTypeLabel(AttFieldType type) {
  for (const auto& entry : kTypeLabels) {
    if (entry.type == type) return legend::tr(entry.label);
  }
  return {};
}

QString describeProblem(const AttStruProblem& problem) {
  QString reason;
  switch (problem.fault) {
    case AttStruFault::EmptyName: reason = legend::tr("字段名称为空"); break;
    case AttStruFault::NameNotGbk: reason = legend::tr("字段名称含有不能保存的字符"); break;
    case AttStruFault::NameTooLong: reason = legend::tr("字段名称超过%1字节").arg(CATT_STRU::kMaxNameBytes); break;
    case AttStruFault::DuplicateName: reason = legend::tr("字段名称重复"); break;
    case AttStruFault::BadLength: reason = legend::tr("文本长度应在1到%1之间").arg(CATT_STRU::kMaxTextLength); break;
    case AttStruFault::BadDecimals: reason = legend::tr("小数位应在0到%1之间").arg(CATT_STRU::kMaxDecimals); break;
    case AttStruFault::TooManyFields: reason = legend::tr("字段数超过%1").arg(CATT_STRU::kMaxFields); break;
  }
  return legend::tr("第%1行: %2").arg(problem.row + 1).arg(reason);
}

AttStruTable::AttStruTable(const CATT_STRU* source) {
  if (source == nullptr) return;
  for (const AttField& field : source->Fields()) {
    rows_.push_back({decodeGbk(field.name), field.type, field.length, field.decimals});
  }
}

void AttStruTable::setName(int index, const QString& name) { rows_.at(static_cast<std::size_t>(index)).name = name; }

void AttStruTable::setType(int index, AttFieldType type) {
  AttStruRow& r = rows_.at(static_cast<std::size_t>(index));
  if (type == AttFieldType::Text) {
    if (r.type != AttFieldType::Text) r.length = kDefaultTextLength;
  } else {
    r.length = AttFieldWidth(type);
  }
  if (!isReal(type)) r.decimals = 0;
  r.type = type;
}

void AttStruTable::setLength(int index, std::int32_t length) {
  AttStruRow& r = rows_.at(static_cast<std::size_t>(index));
  if (r.type == AttFieldType::Text) r.length = length;
}

void AttStruTable::setDecimals(int index, int decimals) {
  AttStruRow& r = rows_.at(static_cast<std::size_t>(index));
  if (isReal(r.type)) r.decimals = decimals;
}

QString AttStruTable::freshName() const {
  for (int n = rowCount() + 1;; ++n) {
    const QString candidate = legend::tr("字段%1").arg(n);
    const bool used = std::any_of(rows_.begin(), rows_.end(), [&](const AttStruRow& r) { return r.name == candidate; });
    if (!used) return candidate;
  }
}

int AttStruTable::add() { return insert(rowCount()); }

int AttStruTable::insert(int before) {
  const int at = std::clamp(before, 0, rowCount());
  AttStruRow fresh;
  fresh.name = freshName();
  rows_.insert(rows_.begin() + at, std::move(fresh));
  return at;
}

bool AttStruTable::remove(int index) {
  if (index < 0 || index >= rowCount()) return false;
  rows_.erase(rows_.begin() + index);
  return true;
}

bool AttStruTable::moveUp(int index) {
  if (index <= 0 || index >= rowCount()) return false;
  std::swap(rows_[static_cast<std::size_t>(index)], rows_[static_cast<std::size_t>(index - 1)]);
  return true;
}

bool AttStruTable::moveDown(int index) { return moveUp(index + 1); }

std::optional<AttStruProblem> AttStruTable::validate() const {
  if (rowCount() > CATT_STRU::kMaxFields) return AttStruProblem{CATT_STRU::kMaxFields, AttStruFault::TooManyFields};
  std::set<std::string> seen;
  for (int i = 0; i < rowCount(); ++i) {
    const AttStruRow& r = row(i);
    if (r.name.isEmpty()) return AttStruProblem{i, AttStruFault::EmptyName};
    const GbkEncodeResult encoded = encodeGbkField(r.name, CATT_STRU::kMaxNameBytes);
    if (encoded.error == GbkFieldError::NotRepresentable) return AttStruProblem{i, AttStruFault::NameNotGbk};
    if (encoded.error == GbkFieldError::TooLong) return AttStruProblem{i, AttStruFault::NameTooLong};
    if (!seen.insert(encoded.bytes).second) return AttStruProblem{i, AttStruFault::DuplicateName};
    if (r.type == AttFieldType::Text && (r.length < 1 || r.length > CATT_STRU::kMaxTextLength)) {
      return AttStruProblem{i, AttStruFault::BadLength};
    }
    if (r.decimals < 0 || r.decimals > CATT_STRU::kMaxDecimals || (r.decimals != 0 && !isReal(r.type))) {
      return AttStruProblem{i, AttStruFault::BadDecimals};
    }
  }
  return std::nullopt;
}

std::optional<CATT_STRU> AttStruTable::toStructure() const {
  if (validate()) return std::nullopt;
  CATT_STRU result;
  for (const AttStruRow& r : rows_) {
    AttField field;
    field.name = encodeGbkField(r.name, CATT_STRU::kMaxNameBytes).bytes;
    field.type = r.type;
    field.length = r.length;
    field.decimals = static_cast<std::uint8_t>(r.decimals);
    if (result.AddFld(field) != AttStatus::Ok) return std::nullopt;
  }
  return result;
}

namespace {

enum Column { kNameColumn, kTypeColumn, kLengthColumn, kDecimalsColumn, kColumnCount };

// The dialog only mirrors the table: every edit goes into the AttStruTable and
// structural changes redraw the grid from it, so the two cannot drift apart.
class AttStruDialog {
 public:
  AttStruDialog(QWidget* parent, AttStruTable& table) : dialog_(parent), table_(table) {
    dialog_.setObjectName(QStringLiteral("attStruEditor"));
    dialog_.setWindowTitle(legend::tr("属性结构编辑"));

    grid_ = new QTableWidget(0, kColumnCount, &dialog_);
    grid_->setObjectName(QStringLiteral("fieldTable"));
    grid_->setHorizontalHeaderLabels(
        {legend::tr("名称"), legend::tr("类型"), legend::tr("长度"), legend::tr("小数位")});
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const char* text) {
      auto* b = new QPushButton(legend::tr(text), &dialog_);
      b->setObjectName(QString::fromLatin1(name));
      b->setAutoDefault(false);
      buttons->addWidget(b);
      return b;
    };
    QPushButton* add = button("addButton", QT_TRANSLATE_NOOP("legend", "添加"));
    QPushButton* insert = button("insertButton", QT_TRANSLATE_NOOP("legend", "插入"));
    QPushButton* del = button("deleteButton", QT_TRANSLATE_NOOP("legend", "删除"));
    QPushButton* up = button("upButton", QT_TRANSLATE_NOOP("legend", "上移"));
    QPushButton* down = button("downButton", QT_TRANSLATE_NOOP("legend", "下移"));
    buttons->addStretch();
    QPushButton* ok = button("okButton", QT_TRANSLATE_NOOP("legend", "确定"));
    QPushButton* cancel = button("cancelButton", QT_TRANSLATE_NOOP("legend", "取消"));

    auto* layout = new QVBoxLayout(&dialog_);
    layout->addWidget(grid_);
    layout->addLayout(buttons);

    QObject::connect(add, &QPushButton::clicked, &dialog_, [this] { redraw(table_.add()); });
    QObject::connect(insert, &QPushButton::clicked, &dialog_,
                     [this] { redraw(table_.insert(std::max(grid_->currentRow(), 0))); });
    QObject::connect(del, &QPushButton::clicked, &dialog_, [this] {
      const int current = grid_->currentRow();
      if (table_.remove(current)) redraw(std::min(current, table_.rowCount() - 1));
    });
    QObject::connect(up, &QPushButton::clicked, &dialog_, [this] {
      const int current = grid_->currentRow();
      if (table_.moveUp(current)) redraw(current - 1);
    });
    QObject::connect(down, &QPushButton::clicked, &dialog_, [this] {
      const int current = grid_->currentRow();
      if (table_.moveDown(current)) redraw(current + 1);
    });
    QObject::connect(ok, &QPushButton::clicked, &dialog_, [this] { tryAccept(); });
    QObject::connect(cancel, &QPushButton::clicked, &dialog_, &QDialog::reject);
    QObject::connect(grid_, &QTableWidget::itemChanged, &dialog_, [this](QTableWidgetItem* item) { takeEdit(item); });

    redraw(table_.rowCount() > 0 ? 0 : -1);
  }

  bool exec() { return dialog_.exec() == QDialog::Accepted; }

 private:
  void redraw(int current) {
    redrawing_ = true;
    grid_->setRowCount(table_.rowCount());
    for (int i = 0; i < table_.rowCount(); ++i) drawRow(i);
    redrawing_ = false;
    if (current >= 0) grid_->setCurrentCell(current, kNameColumn);
  }

  void drawRow(int i) {
    const AttStruRow& r = table_.row(i);
    grid_->setItem(i, kNameColumn, new QTableWidgetItem(r.name));

    auto* combo = new QComboBox;
    combo->setObjectName(QStringLiteral("typeCombo"));
    for (const auto& entry : kTypeLabels) combo->addItem(legend::tr(entry.label), static_cast<int>(entry.type));
    combo->setCurrentIndex(combo->findData(static_cast<int>(r.type)));
    QObject::connect(combo, &QComboBox::currentIndexChanged, &dialog_, [this, combo](int index) {
      // The combo's row moves with insertions, so look it up instead of capturing it.
      for (int row = 0; row < grid_->rowCount(); ++row) {
        if (grid_->cellWidget(row, kTypeColumn) != combo) continue;
        table_.setType(row, static_cast<AttFieldType>(combo->itemData(index).toInt()));
        redrawing_ = true;
        drawNumbers(row);
        redrawing_ = false;
      }
    });
    grid_->setCellWidget(i, kTypeColumn, combo);
    drawNumbers(i);
  }

  void drawNumbers(int i) {
    const AttStruRow& r = table_.row(i);
    auto number = [](int value, bool editable) {
      auto* item = new QTableWidgetItem(QString::number(value));
      if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
      return item;
    };
    grid_->setItem(i, kLengthColumn, number(r.length, r.type == AttFieldType::Text));
    grid_->setItem(i, kDecimalsColumn, number(r.decimals, isReal(r.type)));
  }

  void takeEdit(QTableWidgetItem* item) {
    if (redrawing_) return;
    const int i = item->row();
    bool parsed = false;
    switch (item->column()) {
      case kNameColumn: table_.setName(i, item->text()); break;
      case kLengthColumn: {
        // Unreadable input becomes 0 so OK reports it rather than keeping the old value silently.
        const int value = item->text().toInt(&parsed);
        table_.setLength(i, parsed ? value : 0);
        break;
      }
      case kDecimalsColumn: {
        const int value = item->text().toInt(&parsed);
        table_.setDecimals(i, parsed ? value : -1);
        break;
      }
      default: break;
    }
  }

  void tryAccept() {
    if (const auto problem = table_.validate()) {
      legend::MessagePrompter(&dialog_, dialog_.windowTitle()).inform(describeProblem(*problem).toStdString());
      grid_->setCurrentCell(problem->row, kNameColumn);
      return;
    }
    dialog_.accept();
  }

  QDialog dialog_;
  AttStruTable& table_;
  QTableWidget* grid_ = nullptr;
  bool redrawing_ = false;
};

}  // namespace

std::optional<CATT_STRU> editAttributeStructure(QWidget* parent, const CATT_STRU& current) {
  AttStruTable table(&current);
  AttStruDialog dialog(parent, table);
  if (!dialog.exec()) return std::nullopt;
  std::optional<CATT_STRU> edited = table.toStructure();
  if (!edited) return std::nullopt;
  // Offsets are part of equality; bring the caller's up to date so stale ones
  // do not count as a change.
  CATT_STRU before(current);
  before.CalLengthOffset();
  if (*edited == before) return std::nullopt;
  return edited;
}

}  // namespace legend::areaedit
