// The legend parameter dialog as a user drives it: what the controls show,
// what reaches the caller's head record and block on OK and on Cancel, and
// which typed texts are refused.
#include "paramdlg/legend_param_dlg.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "support/cln_builder.h"
#include "support/scripted_prompter.h"
#include "support/stamping_editors.h"
#include "support/widget_driving.h"

namespace {

using testcln::Bytes;
using testqt::typeKey;

// A point legend named "旧名" (GBK), described "desc", class code 42, with an
// attribute part; the head is cut out of a whole file built byte by byte.
class LegendParamDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    block = testcln::block(testcln::params(1, 10), {}, Bytes(8, 7));
    const Bytes file = testcln::file({{"\xBE\xC9\xC3\xFB", "desc", 1, 42, block, -1, -1, {}}});
    std::copy_n(file.begin() + 16, 333, head.bytes.begin());
    originalHead = headBytes();
    originalBlock = block;
  }

  void open(bool attributeEditing = false) {
    dialog = std::make_unique<CLegendParamDlg>(head.ref(), block, attributeEditing, editors, prompter);
    QObject::connect(dialog.get(), &QDialog::accepted, [this] { ++accepted; });
  }
  template <class T>
  T* child(const char* name) {
    return testqt::child<T>(*dialog, name);
  }
  void press(const char* name) { child<QPushButton>(name)->click(); }
  Bytes headBytes() const { return Bytes(head.bytes.begin(), head.bytes.end()); }

  testqt::NoLeakedWindows windows;
  legend::HeadRecord head;
  Bytes block, originalHead, originalBlock;
  testcln::ScriptedPrompter prompter;
  testcln::StampingEditors editors;
  std::unique_ptr<CLegendParamDlg> dialog;
  int accepted = 0;
};

TEST_F(LegendParamDlgTest, ShowsTheLegendDecodedFromGbkAndAttributeButtonsFollowTheFlag) {
  open(false);
  EXPECT_EQ(child<QGroupBox>("infoGroup")->title(), QStringLiteral("图例信息[点类型]"));
  EXPECT_EQ(child<QLineEdit>("nameEdit")->text(), QStringLiteral("旧名"));
  EXPECT_EQ(child<QLineEdit>("classCodeEdit")->text(), QStringLiteral("42"));
  EXPECT_FALSE(child<QPushButton>("structureButton")->isEnabled() || child<QPushButton>("contentButton")->isEnabled());
  EXPECT_TRUE(child<QPushButton>("graphicButton")->isEnabled());
  open(true);
  EXPECT_TRUE(child<QPushButton>("structureButton")->isEnabled() && child<QPushButton>("contentButton")->isEnabled());
}

TEST_F(LegendParamDlgTest, OkWritesTheGbkNameTypedClassCodeAndEditedRecord) {
  open();
  press("graphicButton");
  child<QLineEdit>("nameEdit")->setText(QStringLiteral("道路"));
  QLineEdit* code = child<QLineEdit>("classCodeEdit");
  code->clear();
  const std::pair<Qt::Key, const char*> keys[] = {{Qt::Key_Minus, "-"}, {Qt::Key_7, "7"}, {Qt::Key_A, "a"}};
  for (const auto& [key, text] : keys) typeKey(code, key, QString::fromLatin1(text));  // letters are not taken
  EXPECT_EQ(code->text(), QStringLiteral("-7"));
  press("okButton");
  EXPECT_EQ(accepted, 1);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(head.view().name(), "\xB5\xC0\xC2\xB7");
  EXPECT_EQ(head.view().classCode(), -7);
  Bytes expected = originalBlock;
  expected[0] = 0xEE;
  EXPECT_EQ(block, expected);
}

// GBK conversion is the window's: a name it cannot hold is refused there.
TEST_F(LegendParamDlgTest, ANameGbkCannotHoldIsRefusedAndLeavesHeadAndBlockUntouched) {
  open();
  press("graphicButton");
  child<QLineEdit>("nameEdit")->setText(QStringLiteral("路") + QString::fromUtf8("\xF0\x9F\x98\x80"));
  press("okButton");
  EXPECT_EQ(accepted, 0);
  EXPECT_EQ(prompter.shown, std::vector<std::string>{"名称含有无法保存的字符!"});
  EXPECT_EQ(headBytes(), originalHead);
  EXPECT_EQ(block, originalBlock);
}

}  // namespace
