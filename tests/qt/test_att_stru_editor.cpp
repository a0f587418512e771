// The attribute structure editor: the table logic driven directly, and the
// modal dialog driven through its buttons.
#include "components/areaedit/att_stru_editor.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>

#include "support/widget_driving.h"

namespace {

using legend::areaedit::AttStruFault;
using legend::areaedit::AttStruProblem;
using legend::areaedit::AttStruTable;

// Names in GBK: "名称" and plain ASCII, with text, double and date fields.
CATT_STRU sample() {
  CATT_STRU s;
  EXPECT_EQ(s.AddFld({.name = "\xC3\xFB\xB3\xC6", .type = AttFieldType::Text, .length = 20}), AttStatus::Ok);
  EXPECT_EQ(s.AddFld({.name = "area", .type = AttFieldType::Double, .length = 8, .decimals = 3}), AttStatus::Ok);
  EXPECT_EQ(s.AddFld({.name = "built", .type = AttFieldType::Date, .length = 4}), AttStatus::Ok);
  return s;
}

std::vector<QString> names(const AttStruTable& t) {
  std::vector<QString> out;
  for (int i = 0; i < t.rowCount(); ++i) out.push_back(t.row(i).name);
  return out;
}

TEST(AttStruTable, RowsFromAStructureGiveAnEqualStructureBack) {
  const CATT_STRU s = sample();
  const AttStruTable t(&s);
  ASSERT_EQ(t.rowCount(), 3);
  EXPECT_EQ(t.row(0).name, QStringLiteral("名称"));
  EXPECT_EQ(t.toStructure(), std::optional<CATT_STRU>(s));
  EXPECT_EQ(AttStruTable(nullptr).rowCount(), 0);
}

TEST(AttStruTable, AddInsertDeleteAndMoveKeepTheExpectedOrder) {
  const CATT_STRU s = sample();
  AttStruTable t(&s);
  EXPECT_EQ(t.add(), 3);
  const QString added = t.row(3).name;
  EXPECT_EQ(t.insert(1), 1);
  const QString inserted = t.row(1).name;
  EXPECT_NE(added, inserted) << "fresh names must not collide";
  EXPECT_EQ(names(t), (std::vector<QString>{"名称", inserted, "area", "built", added}));
  EXPECT_TRUE(t.moveUp(2));
  EXPECT_TRUE(t.moveDown(3));
  EXPECT_EQ(names(t), (std::vector<QString>{"名称", "area", inserted, added, "built"}));
  // Moves past either end and deleting a missing row are refused.
  EXPECT_EQ((std::array{t.moveUp(0), t.moveDown(4), t.remove(2), t.remove(4)}),
            (std::array{false, false, true, false}));
  EXPECT_EQ(names(t), (std::vector<QString>{"名称", "area", added, "built"}));
  EXPECT_FALSE(t.validate().has_value());
}

TEST(AttStruTable, TypeChangeFixesTheLengthAndDropsDecimalsOnNonRealTypes) {
  const CATT_STRU s = sample();
  AttStruTable t(&s);
  t.setType(1, AttFieldType::Int16);
  EXPECT_EQ(std::pair(t.row(1).length, t.row(1).decimals), std::pair(2, 0));
  t.setLength(1, 50);
  EXPECT_EQ(t.row(1).length, 2) << "only text takes a typed length";
  t.setType(0, AttFieldType::Text);
  EXPECT_EQ(t.row(0).length, 20) << "text keeps its length";
}

TEST(AttStruTable, RefusedRowsAreReportedWithTheirRowAndReason) {
  const CATT_STRU s = sample();
  const auto refusal = [&s](std::function<void(AttStruTable&)> edit) {
    AttStruTable t(&s);
    edit(t);
    EXPECT_EQ(t.validate().has_value(), !t.toStructure().has_value());
    return t.validate();
  };
  using P = std::optional<AttStruProblem>;
  EXPECT_EQ(refusal([](auto& t) { t.setName(2, QString()); }), P({2, AttStruFault::EmptyName}));
  EXPECT_EQ(refusal([](auto& t) { t.setName(2, QStringLiteral("名称")); }), P({2, AttStruFault::DuplicateName}));
  // 16 two-byte characters are 32 bytes; 15 and an ASCII letter are the most a name holds.
  EXPECT_EQ(refusal([](auto& t) { t.setName(1, QString(16, QChar(0x540D))); }), P({1, AttStruFault::NameTooLong}));
  EXPECT_EQ(refusal([](auto& t) { t.setName(1, QStringLiteral("a\U0001F600")); }), P({1, AttStruFault::NameNotGbk}));
  EXPECT_EQ(refusal([](auto& t) { t.setLength(0, 0); }), P({0, AttStruFault::BadLength}));
  EXPECT_EQ(refusal([](auto& t) { t.setLength(0, 65536); }), P({0, AttStruFault::BadLength}));
  EXPECT_EQ(refusal([](auto& t) { t.setDecimals(1, 16); }), P({1, AttStruFault::BadDecimals}));
  EXPECT_EQ(refusal([](auto& t) {
              t.setName(1, QString(15, QChar(0x540D)) + QLatin1Char('x'));
              t.setLength(0, 65535);
            }),
            std::nullopt);
}

class AttStruDialogTest : public ::testing::Test {
 protected:
  static std::optional<CATT_STRU> edit(const CATT_STRU& current, std::function<void(QDialog&)> script) {
    testqt::onModal(script);
    return legend::areaedit::editAttributeStructure(nullptr, current);
  }
  static std::function<void(QDialog&)> pressing(std::vector<const char*> buttons) {
    return [buttons](QDialog& d) {
      for (const char* name : buttons) press(d, name);
    };
  }
  static void press(QDialog& dialog, const char* name) {
    if (auto* button = testqt::child<QPushButton>(dialog, name)) button->click();
  }

  testqt::NoLeakedWindows windows;
};

TEST_F(AttStruDialogTest, OnlyOkAfterAnEditGivesTheEditedStructure) {
  const CATT_STRU s = sample();
  EXPECT_FALSE(edit(s, pressing({"okButton"})));
  EXPECT_FALSE(edit(s, pressing({"addButton", "cancelButton"})));
  // An added row is an integer, whose length is fixed, until its type is text.
  bool lengthEditableAsInteger = true;
  const std::optional<CATT_STRU> added = edit(s, [&](QDialog& d) {
    press(d, "addButton");
    auto* grid = testqt::child<QTableWidget>(d, "fieldTable");
    lengthEditableAsInteger = (grid->item(3, 2)->flags() & Qt::ItemIsEditable) != 0;
    auto* combo = qobject_cast<QComboBox*>(grid->cellWidget(3, 1));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(combo->findText(QStringLiteral("文本")));
    grid->item(3, 2)->setText(QStringLiteral("30"));
    press(d, "okButton");
  });
  EXPECT_FALSE(lengthEditableAsInteger);
  ASSERT_TRUE(added);
  ASSERT_EQ(added->FieldCount(), 4);
  EXPECT_EQ(added->Fields()[3].type, AttFieldType::Text);
  EXPECT_EQ(added->Fields()[3].length, 30);
  // The first row is current on opening: it cannot move up, and delete removes it.
  const std::optional<CATT_STRU> deleted = edit(*added, pressing({"upButton", "deleteButton", "okButton"}));
  ASSERT_TRUE(deleted);
  EXPECT_EQ(deleted->FieldCount(), 3);
  EXPECT_EQ(deleted->Fields()[0].name, "area");
}

}  // namespace
