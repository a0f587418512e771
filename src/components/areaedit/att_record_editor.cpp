#include "components/areaedit/att_record_editor.h"
#include "components/base/message_prompter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "components/codec/gbk_text.h"
#include "components/codec/utf8_text.h"

namespace {

// Refuses typing or pasting what a text field cannot hold, so the user sees
// the limit while typing rather than only on OK.
class GbkFieldValidator : public QValidator {
 public:
  GbkFieldValidator(std::size_t maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}
  State validate(QString& input, int&) const override {
    return legend::encodeGbkField(input, maxBytes_) ? Acceptable : Invalid;
  }

 private:
  std::size_t maxBytes_;
};

QString editorName(int index) { return QStringLiteral("field_%1").arg(index); }

std::pair<int, int> smallIntegerRange(AttFieldType type) {
  switch (type) {
    case AttFieldType::Int8: return {std::numeric_limits<std::int8_t>::min(), std::numeric_limits<std::int8_t>::max()};
    case AttFieldType::Int16:
      return {std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()};
    default: return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
  }
}

// The one table from a refused field to what the user reads.
QString refusalMessage(AttStatus status, bool textRefused, const AttField& field) {
  const QString name = legend::decodeGbk(field.name);
  if (textRefused || field.type == AttFieldType::Text) return legend::tr("属性值无法保存:") + name;
  if (status == AttStatus::WrongValueKind) return legend::tr("属性值不是有效数值:") + name;
  return legend::tr("属性值超出范围:") + name;
}

}  // namespace

AttRecordForm::AttRecordForm(const CATT_STRU& structure, QWidget* parent) : QWidget(parent), structure_(structure) {
  auto* layout = new QFormLayout(this);
  const auto& fields = structure_.Fields();
  editors_.reserve(fields.size());
  const QLocale c = QLocale::c();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const AttField& field = fields[i];
    const int index = static_cast<int>(i);
    QWidget* editor = nullptr;
    QWidget* row = nullptr;
    switch (field.type) {
      case AttFieldType::Text: {
        auto* edit = new QLineEdit(this);
        edit->setValidator(new GbkFieldValidator(static_cast<std::size_t>(field.length), edit));
        editor = edit;
        break;
      }
      case AttFieldType::Int8:
      case AttFieldType::Int16:
      case AttFieldType::Int32: {
        auto* spin = new QSpinBox(this);
        const auto [low, high] = smallIntegerRange(field.type);
        spin->setRange(low, high);
        editor = spin;
        break;
      }
      case AttFieldType::Int64: {
        // A 64-bit value does not fit a spin box; the range is checked on store.
        auto* edit = new QLineEdit(this);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]{0,19}")), edit));
        editor = edit;
        break;
      }
      case AttFieldType::Float:
      case AttFieldType::Double: {
        auto* edit = new QLineEdit(this);
        const double limit = field.type == AttFieldType::Float ? double{std::numeric_limits<float>::max()}
                                                               : std::numeric_limits<double>::max();
        auto* validator = new QDoubleValidator(-limit, limit, field.decimals, edit);
        validator->setNotation(QDoubleValidator::StandardNotation);
        validator->setLocale(c);
        edit->setValidator(validator);
        editor = edit;
        break;
      }
      case AttFieldType::Date: {
        row = new QWidget(this);
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        auto* date = new QDateEdit(row);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        date->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
        date->setCalendarPopup(true);
        // 0 in the record means no date, which a date editor cannot show.
        auto* none = new QCheckBox(legend::tr("无日期"), row);
        none->setObjectName(editorName(index) + QStringLiteral("_none"));
        connect(none, &QCheckBox::toggled, date, &QWidget::setDisabled);
        rowLayout->addWidget(date, 1);
        rowLayout->addWidget(none);
        editor = date;
        break;
      }
      case AttFieldType::Time: {
        auto* time = new QTimeEdit(this);
        time->setDisplayFormat(QStringLiteral("HH:mm:ss.zzz"));
        editor = time;
        break;
      }
    }
    editor->setObjectName(editorName(index));
    editors_.push_back(editor);
    layout->addRow(legend::decodeGbk(field.name), row != nullptr ? row : editor);
  }
}

QWidget* AttRecordForm::editor(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= editors_.size()) return nullptr;
  return editors_[static_cast<std::size_t>(index)];
}

void AttRecordForm::load(std::span<const std::uint8_t> record) {
  const QLocale c = QLocale::c();
  const auto& fields = structure_.Fields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const AttField& field = fields[i];
    const auto index = static_cast<std::int16_t>(i);
    QWidget* widget = editors_[i];
    AttValue value;
    const bool ok = structure_.GetValue(record, index, value) == AttStatus::Ok;
    switch (field.type) {
      case AttFieldType::Text: {
        const auto* text = std::get_if<std::string>(&value);
        static_cast<QLineEdit*>(widget)->setText(ok && text != nullptr ? legend::decodeGbk(*text) : QString());
        break;
      }
      case AttFieldType::Int8:
      case AttFieldType::Int16:
      case AttFieldType::Int32: {
        auto* spin = static_cast<QSpinBox*>(widget);
        const auto* number = std::get_if<std::int64_t>(&value);
        spin->setValue(ok && number != nullptr ? static_cast<int>(*number) : spin->minimum());
        break;
      }
      case AttFieldType::Int64: {
        const auto* number = std::get_if<std::int64_t>(&value);
        static_cast<QLineEdit*>(widget)->setText(ok && number != nullptr ? QString::number(*number) : QString());
        break;
      }
      case AttFieldType::Float:
      case AttFieldType::Double: {
        const auto* real = std::get_if<double>(&value);
        // NaN or infinity could not be written back, so it starts empty.
        const bool shown = ok && real != nullptr && std::isfinite(*real);
        static_cast<QLineEdit*>(widget)->setText(shown ? c.toString(*real, 'f', field.decimals) : QString());
        break;
      }
      case AttFieldType::Date: {
        auto* date = static_cast<QDateEdit*>(widget);
        auto* none = findChild<QCheckBox*>(editorName(static_cast<int>(i)) + QStringLiteral("_none"));
        const auto* stored = std::get_if<AttDate>(&value);
        if (ok && stored != nullptr) {
          date->setDate(QDate(stored->year, stored->month, stored->day));
          none->setChecked(false);
        } else {
          date->setDate(QDate::currentDate());
          none->setChecked(true);
        }
        break;
      }
      case AttFieldType::Time: {
        auto* time = static_cast<QTimeEdit*>(widget);
        const auto* stored = std::get_if<AttTime>(&value);
        time->setTime(ok && stored != nullptr ? QTime(stored->hour, stored->minute, stored->second, stored->millisecond)
                                              : time->minimumTime());
        break;
      }
    }
  }
}

AttStatus AttRecordForm::storeField(std::span<std::uint8_t> record, std::int16_t index, bool& textRefused) const {
  const AttField& field = *structure_.Field(index);
  QWidget* widget = editors_[static_cast<std::size_t>(index)];
  const QLocale c = QLocale::c();
  switch (field.type) {
    case AttFieldType::Text: {
      const auto encoded =
          legend::encodeGbkField(static_cast<QLineEdit*>(widget)->text(), static_cast<std::size_t>(field.length));
      if (!encoded) {
        textRefused = true;
        return AttStatus::OutOfRange;
      }
      return structure_.SetValue(record, index, encoded.bytes);
    }
    case AttFieldType::Int8:
    case AttFieldType::Int16:
    case AttFieldType::Int32:
      return structure_.SetValue(record, index, std::int64_t{static_cast<QSpinBox*>(widget)->value()});
    case AttFieldType::Int64: {
      const QString text = static_cast<QLineEdit*>(widget)->text();
      bool parsed = false;
      const qlonglong number = text.toLongLong(&parsed);
      // Digits that parse to nothing are too many for 64 bits.
      if (!parsed)
        return text.contains(QRegularExpression(QStringLiteral("[0-9]"))) ? AttStatus::OutOfRange
                                                                          : AttStatus::WrongValueKind;
      return structure_.SetValue(record, index, std::int64_t{number});
    }
    case AttFieldType::Float:
    case AttFieldType::Double: {
      bool parsed = false;
      const double real = c.toDouble(static_cast<QLineEdit*>(widget)->text(), &parsed);
      if (!parsed) return AttStatus::WrongValueKind;
      return structure_.SetValue(record, index, real);
    }
    case AttFieldType::Date: {
      auto* none = findChild<QCheckBox*>(editorName(index) + QStringLiteral("_none"));
      if (none->isChecked()) return structure_.SetValue(record, index, std::monostate{});
      const QDate date = static_cast<QDateEdit*>(widget)->date();
      return structure_.SetValue(record, index, AttDate{date.year(), date.month(), date.day()});
    }
    case AttFieldType::Time: {
      const QTime time = static_cast<QTimeEdit*>(widget)->time();
      return structure_.SetValue(record, index, AttTime{time.hour(), time.minute(), time.second(), time.msec()});
    }
  }
  return AttStatus::WrongValueKind;
}

AttRecordStoreResult AttRecordForm::store(std::span<std::uint8_t> record) const {
  AttRecordStoreResult result;
  // Written into a copy first so a refused field leaves the record whole.
  std::vector<std::uint8_t> scratch(record.begin(), record.end());
  for (std::size_t i = 0; i < editors_.size(); ++i) {
    const auto index = static_cast<std::int16_t>(i);
    bool textRefused = false;
    const AttStatus status = storeField(scratch, index, textRefused);
    if (status != AttStatus::Ok) {
      result.field = index;
      result.message = refusalMessage(status, textRefused, *structure_.Field(index));
      return result;
    }
  }
  std::copy(scratch.begin(), scratch.end(), record.begin());
  result.stored = true;
  return result;
}

AttRecordEditResult EditAttRecord(CATT_STRU& structure, std::span<std::uint8_t> record, std::string_view title,
                                  int /*flag*/, QWidget* parent) {
  if (structure.FieldCount() <= 0 || structure.CalLengthOffset() != 0 ||
      record.size() < static_cast<std::size_t>(structure.RecordLength()))
    return AttRecordEditResult::Failed;

  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("attRecordEditor"));
  dialog.setWindowTitle(legend::uiText(title));
  auto* layout = new QVBoxLayout(&dialog);
  auto* scroll = new QScrollArea(&dialog);
  scroll->setObjectName(QStringLiteral("fieldScroll"));
  scroll->setWidgetResizable(true);
  auto* form = new AttRecordForm(structure);
  form->setObjectName(QStringLiteral("fieldForm"));
  form->load(record);
  scroll->setWidget(form);
  layout->addWidget(scroll);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  // The library's own words, whatever translations the host has loaded.
  buttons->button(QDialogButtonBox::Ok)->setText(legend::tr("确定"));
  buttons->button(QDialogButtonBox::Cancel)->setText(legend::tr("取消"));
  buttons->setObjectName(QStringLiteral("buttons"));
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    const AttRecordStoreResult stored = form->store(record);
    if (!stored) {
      legend::MessagePrompter(&dialog, dialog.windowTitle()).inform(stored.message.toStdString());
      if (QWidget* bad = form->editor(stored.field)) bad->setFocus();
      return;
    }
    dialog.accept();
  });
  return dialog.exec() == QDialog::Accepted ? AttRecordEditResult::Saved : AttRecordEditResult::Cancelled;
}
