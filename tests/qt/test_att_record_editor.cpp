// The attribute record editor as a user drives it: the values it shows, what
// reaches the record on OK, which inputs are refused, and that Cancel and a
// record too short for the structure leave the record alone.
#include "components/areaedit/att_record_editor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>

#include "support/widget_driving.h"

namespace {

// "四个汉字" in GBK: four characters, eight bytes.
const QString kEightGbkBytes = QString::fromUtf8("\xE5\x9B\x9B\xE4\xB8\xAA\xE6\xB1\x89\xE5\xAD\x97");

class AttRecordEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<AttField> fields = {
        {"\xC3\xFB\xB3\xC6", AttFieldType::Text, 6, 0, 0},  // "名称"
        {"i8", AttFieldType::Int8, 1, 0, 0},
        {"i16", AttFieldType::Int16, 2, 0, 0},
        {"i32", AttFieldType::Int32, 4, 0, 0},
        {"i64", AttFieldType::Int64, 8, 0, 0},
        {"f", AttFieldType::Float, 4, 2, 0},
        {"d", AttFieldType::Double, 8, 3, 0},
        {"date", AttFieldType::Date, 4, 0, 0},
        {"time", AttFieldType::Time, 4, 0, 0},
    };
    for (const AttField& field : fields) ASSERT_EQ(stru.AddFld(field), AttStatus::Ok) << field.name;
    record.assign(static_cast<std::size_t>(stru.RecordLength()), 0);
    const AttValue values[] = {std::string("ab"),
                               std::int64_t{-5},
                               std::int64_t{-30000},
                               std::int64_t{2000000000},
                               std::int64_t{-9000000000000000000},
                               1.25,
                               -2.5,
                               AttDate{2024, 2, 29},
                               AttTime{23, 59, 58, 7}};
    for (std::int16_t i = 0; i < 9; ++i) ASSERT_EQ(stru.SetValue(record, i, values[i]), AttStatus::Ok);
    original = record;
  }

  AttValue get(std::int16_t index) const {
    AttValue value;
    EXPECT_EQ(stru.GetValue(record, index, value), AttStatus::Ok);
    return value;
  }
  void openForm() {
    form = std::make_unique<AttRecordForm>(stru);
    form->load(record);
  }
  template <class T>
  T* field(int index) {
    auto* widget = qobject_cast<T*>(form->editor(index));
    EXPECT_NE(widget, nullptr) << index;
    return widget;
  }
  QLineEdit* line(int index) { return field<QLineEdit>(index); }
  QCheckBox* noDate() { return testqt::child<QCheckBox>(*form, "field_7_none"); }

  testqt::NoLeakedWindows windows;
  CATT_STRU stru;
  std::vector<std::uint8_t> record, original;
  std::unique_ptr<AttRecordForm> form;
};

TEST_F(AttRecordEditorTest, showsTheRecordsValuesAndStoresEditedOnes) {
  openForm();
  EXPECT_EQ(line(0)->text(), QStringLiteral("ab"));
  EXPECT_EQ(field<QSpinBox>(1)->value(), -5);
  EXPECT_EQ(field<QSpinBox>(2)->value(), -30000);
  EXPECT_EQ(line(4)->text(), QStringLiteral("-9000000000000000000"));
  EXPECT_EQ(line(5)->text(), QStringLiteral("1.25"));
  EXPECT_EQ(line(6)->text(), QStringLiteral("-2.500"));
  EXPECT_EQ(field<QDateEdit>(7)->date(), QDate(2024, 2, 29));
  EXPECT_FALSE(noDate()->isChecked());
  EXPECT_EQ(field<QTimeEdit>(8)->time(), QTime(23, 59, 58, 7));
  // Unreadable stored values start empty or at the minimum.
  std::fill_n(record.begin() + stru.Field(7)->offset, 4, std::uint8_t{0xFF});  // date -1
  std::fill_n(record.begin() + stru.Field(8)->offset, 4, std::uint8_t{0xFF});  // beyond a day
  openForm();
  EXPECT_TRUE(noDate()->isChecked());
  EXPECT_EQ(field<QTimeEdit>(8)->time(), QTime(0, 0));
  // What the user changes reaches the record.
  line(0)->setText(QString::fromUtf8("\xE6\xB1\x89x"));  // "汉x": three GBK bytes
  field<QSpinBox>(1)->setValue(127);
  field<QSpinBox>(2)->setValue(-32768);
  field<QSpinBox>(3)->setValue(-7);
  line(4)->setText(QStringLiteral("9223372036854775807"));
  line(5)->setText(QStringLiteral("-3.75"));
  line(6)->setText(QStringLiteral("1e3"));
  noDate()->setChecked(true);
  field<QTimeEdit>(8)->setTime(QTime(0, 0, 1, 500));
  ASSERT_TRUE(form->store(record));
  const AttValue expected[] = {std::string("\xBA\xBAx"),
                               std::int64_t{127},
                               std::int64_t{-32768},
                               std::int64_t{-7},
                               std::int64_t{9223372036854775807},
                               -3.75,
                               1000.0,
                               std::monostate{},
                               AttTime{0, 0, 1, 500}};
  for (std::int16_t i = 0; i < 9; ++i) EXPECT_EQ(get(i), expected[i]) << i;
}

TEST_F(AttRecordEditorTest, refusesOutOfRangeInputAndKeepsTheWholeRecord) {
  openForm();
  // Typing is judged by the editors' ranges and validators.
  auto* int8 = field<QSpinBox>(1);
  EXPECT_EQ(std::pair(int8->minimum(), int8->maximum()), std::pair(-128, 127));
  QString typed = kEightGbkBytes;
  int pos = 0;
  EXPECT_EQ(line(0)->validator()->validate(typed, pos), QValidator::Invalid);
  // What a program sets anyway is refused on store; an earlier field never reaches the record.
  field<QSpinBox>(1)->setValue(3);
  line(4)->setText(QStringLiteral("9223372036854775808"));
  const AttRecordStoreResult result = form->store(record);
  EXPECT_FALSE(result);
  EXPECT_EQ(result.field, 4);
  EXPECT_EQ(result.message, QString::fromUtf8("属性值超出范围:i64"));
  EXPECT_EQ(record, original);
}

QPushButton* dialogButton(QDialog& dialog, QDialogButtonBox::StandardButton which) {
  return testqt::child<QDialogButtonBox>(dialog, "buttons")->button(which);
}

TEST_F(AttRecordEditorTest, dialogKeepsARefusedFieldOpenWithAMessageAndWritesTheRecordOnlyOnOk) {
  QString message;
  bool stayedOpen = false;
  testqt::onModal([&](QDialog& dialog) {
    testqt::child<QSpinBox>(dialog, "field_1")->setValue(9);
    testqt::child<QLineEdit>(dialog, "field_0")->setText(kEightGbkBytes);
    testqt::answerBox(QMessageBox::NoButton, &message);
    dialogButton(dialog, QDialogButtonBox::Ok)->click();
    stayedOpen = dialog.isVisible();
    dialogButton(dialog, QDialogButtonBox::Cancel)->click();
  });
  EXPECT_EQ(EditAttRecord(stru, record, "属性", 0), AttRecordEditResult::Cancelled);
  EXPECT_EQ(message, QString::fromUtf8("属性值无法保存:名称"));
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(record, original);
  testqt::onModal([](QDialog& dialog) {
    testqt::child<QSpinBox>(dialog, "field_1")->setValue(9);
    dialogButton(dialog, QDialogButtonBox::Ok)->click();
  });
  EXPECT_EQ(EditAttRecord(stru, record, "t", 0), AttRecordEditResult::Saved);
  EXPECT_EQ(get(1), AttValue(std::int64_t{9}));
}

TEST_F(AttRecordEditorTest, shortRecordOrEmptyStructureFailsAtOnce) {
  // No dialog step is armed: a dialog shown here would never close.
  std::span<std::uint8_t> shortRecord(record.data(), record.size() - 1);
  EXPECT_EQ(EditAttRecord(stru, shortRecord, "t", 0), AttRecordEditResult::Failed);
  CATT_STRU empty;
  EXPECT_EQ(EditAttRecord(empty, record, "t", 0), AttRecordEditResult::Failed);
  EXPECT_EQ(record, original);
}

}  // namespace
