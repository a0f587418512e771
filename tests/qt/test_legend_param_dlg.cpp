// The legend parameter dialog as a user drives it: what the controls show,
// what reaches the caller's head record and block on OK and on Cancel, and
// which typed texts are refused; and the message-box prompter's answers.
#include "editor/legend_param_dlg.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "components/base/message_prompter.h"
#include "legendfile/messages.h"
#include "support/cln_builder.h"
#include "support/scripted_prompter.h"

namespace {

using testcln::Bytes;

using testcln::ScriptedPrompter;

// Each graphic editor stamps 0xEE into the first byte of the record it gets.
class FakeEditors : public legend::editor::AreaEditors {
 public:
  int graphicEdits = 0;
  void EditPntInfo(std::span<std::uint8_t, 94> r, std::string_view, int) override { stamp(r); }
  void EditLinInfo(std::span<std::uint8_t, 67> r, std::string_view) override { stamp(r); }
  void EditRegInfo(std::span<std::uint8_t, 63> r, std::string_view) override { stamp(r); }
  CATT_STRU* EditAttStru(CATT_STRU*) override { return nullptr; }
  void EndAttStru() override {}
  int EditAttRecord(CATT_STRU&, std::span<std::uint8_t>, std::string_view) override { return 1; }

 private:
  void stamp(std::span<std::uint8_t> r) {
    ++graphicEdits;
    r[0] = 0xEE;
  }
};

// A point legend named "旧名" (GBK), described "desc", class code 42, with an
// attribute part after its parameter record; the head is cut out of a whole
// file built byte by byte.
class LegendParamDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    block = testcln::block(testcln::params(1, 10), {}, Bytes(8, 7));
    const Bytes file = testcln::file({{"\xBE\xC9\xC3\xFB", "desc", 1, 42, block, -1, -1, {}}});
    std::copy_n(file.begin() + 16, 333, head.bytes.begin());
    originalHead = headBytes();
    originalBlock = block;
    startingWindows = QApplication::topLevelWidgets().size();
  }
  void TearDown() override {
    dialog.reset();
    EXPECT_EQ(QApplication::topLevelWidgets().size(), startingWindows) << "a window was left behind";
  }

  CLegendParamDlg& open(bool attributeEditing = false) {
    dialog = std::make_unique<CLegendParamDlg>(head.ref(), block, attributeEditing, editors, prompter);
    QObject::connect(dialog.get(), &QDialog::accepted, [this] { ++accepted; });
    return *dialog;
  }
  template <class T>
  T* child(const char* name) {
    T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  Bytes headBytes() const { return Bytes(head.bytes.begin(), head.bytes.end()); }

  legend::HeadRecord head;
  Bytes block;
  Bytes originalHead;
  Bytes originalBlock;
  ScriptedPrompter prompter;
  FakeEditors editors;
  std::unique_ptr<CLegendParamDlg> dialog;
  int accepted = 0;
  qsizetype startingWindows = 0;
};

void typeKey(QWidget* widget, Qt::Key key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &release);
}

TEST_F(LegendParamDlgTest, ShowsTheLegendTypeAndTextsDecodedFromGbk) {
  open();
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("修改图例参数"));
  EXPECT_EQ(child<QGroupBox>("infoGroup")->title(), QStringLiteral("图例信息[点类型]"));
  EXPECT_EQ(child<QLineEdit>("nameEdit")->text(), QStringLiteral("旧名"));
  EXPECT_EQ(child<QLineEdit>("descriptionEdit")->text(), QStringLiteral("desc"));
  EXPECT_EQ(child<QLineEdit>("classCodeEdit")->text(), QStringLiteral("42"));
  EXPECT_TRUE(child<QPushButton>("okButton")->isDefault());
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(LegendParamDlgTest, AttributeButtonsFollowTheAttributeEditingFlag) {
  open(false);
  EXPECT_FALSE(child<QPushButton>("structureButton")->isEnabled());
  EXPECT_FALSE(child<QPushButton>("contentButton")->isEnabled());
  EXPECT_TRUE(child<QPushButton>("graphicButton")->isEnabled());
  dialog.reset();
  open(true);
  EXPECT_TRUE(child<QPushButton>("structureButton")->isEnabled());
  EXPECT_TRUE(child<QPushButton>("contentButton")->isEnabled());
}

TEST_F(LegendParamDlgTest, OkWritesTheGbkNameClassCodeAndEditedRecord) {
  open();
  child<QPushButton>("graphicButton")->click();
  ASSERT_EQ(editors.graphicEdits, 1);
  child<QLineEdit>("nameEdit")->setText(QStringLiteral("道路"));
  QLineEdit* code = child<QLineEdit>("classCodeEdit");
  code->clear();
  typeKey(code, Qt::Key_Minus, QStringLiteral("-"));
  typeKey(code, Qt::Key_7, QStringLiteral("7"));
  child<QPushButton>("okButton")->click();

  EXPECT_EQ(accepted, 1);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(head.view().name(), "\xB5\xC0\xC2\xB7");
  EXPECT_EQ(head.view().description(), "desc");
  EXPECT_EQ(head.view().classCode(), -7);
  Bytes expected = originalBlock;
  expected[0] = 0xEE;
  EXPECT_EQ(block, expected);
}

TEST_F(LegendParamDlgTest, CancelLeavesHeadAndBlockUntouched) {
  open();
  child<QPushButton>("graphicButton")->click();
  child<QLineEdit>("nameEdit")->setText(QStringLiteral("道路"));
  child<QLineEdit>("classCodeEdit")->setText(QStringLiteral("9"));
  child<QPushButton>("cancelButton")->click();

  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(accepted, 0);
  EXPECT_EQ(headBytes(), originalHead);
  EXPECT_EQ(block, originalBlock);
}

TEST_F(LegendParamDlgTest, NameGbkCannotHoldIsRefusedAndNothingWritten) {
  open();
  child<QPushButton>("graphicButton")->click();
  child<QLineEdit>("nameEdit")->setText(QStringLiteral("路") + QString::fromUtf8("\xF0\x9F\x98\x80"));
  child<QPushButton>("okButton")->click();

  EXPECT_EQ(accepted, 0);
  EXPECT_EQ(prompter.shown, std::vector<std::string>{"名称含有无法保存的字符!"});
  EXPECT_EQ(headBytes(), originalHead);
  EXPECT_EQ(block, originalBlock);
}

TEST_F(LegendParamDlgTest, DescriptionOverTheFieldLengthIsRefused) {
  open();
  // 64 Chinese characters are 128 GBK bytes, one more than the field holds.
  child<QLineEdit>("descriptionEdit")->setText(QString(64, QChar(0x8DEF)));
  child<QPushButton>("okButton")->click();

  EXPECT_EQ(accepted, 0);
  EXPECT_EQ(prompter.shown, std::vector<std::string>{std::string(legend::messages::kTextTooLong)});
  EXPECT_EQ(headBytes(), originalHead);
}

TEST_F(LegendParamDlgTest, ClassCodeEditRejectsLetters) {
  open();
  QLineEdit* code = child<QLineEdit>("classCodeEdit");
  code->clear();
  typeKey(code, Qt::Key_1, QStringLiteral("1"));
  typeKey(code, Qt::Key_A, QStringLiteral("a"));
  typeKey(code, Qt::Key_2, QStringLiteral("2"));
  EXPECT_EQ(code->text(), QStringLiteral("12"));
}

TEST_F(LegendParamDlgTest, SetDefaultShowsTheNewTextsOnlyWhenConfirmed) {
  open();
  QLineEdit* name = child<QLineEdit>("nameEdit");
  name->setText(QStringLiteral("道路"));
  prompter.answers = {false, true};
  child<QPushButton>("defaultButton")->click();
  EXPECT_EQ(name->text(), QStringLiteral("道路")) << "declining keeps what was typed";

  child<QPushButton>("defaultButton")->click();
  EXPECT_EQ(name->text(), QStringLiteral("CLN"));
  EXPECT_EQ(child<QLineEdit>("descriptionEdit")->text(), QStringLiteral("点图例"));
  EXPECT_EQ(child<QLineEdit>("classCodeEdit")->text(), QString());
  EXPECT_EQ(headBytes(), originalHead) << "nothing is written before OK";
}

// Answers the next message box once it is running modally.
void answerNextBox(QMessageBox::StandardButton choice, QString* text, QMessageBox::StandardButton* defaultButton) {
  QTimer::singleShot(0, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      ADD_FAILURE() << "no message box is open";
      return;
    }
    *text = box->text();
    *defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton;
    box->button(choice)->click();
  });
}

TEST(MessagePrompter, AskYesNoReturnsTheChosenButtonAndOffersTheGivenDefault) {
  const qsizetype windows = QApplication::topLevelWidgets().size();
  legend::MessagePrompter prompter;
  QString text;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;

  answerNextBox(QMessageBox::Yes, &text, &defaultButton);
  EXPECT_TRUE(prompter.askYesNo("是否继续?", false));
  EXPECT_EQ(text, QStringLiteral("是否继续?"));
  EXPECT_EQ(defaultButton, QMessageBox::No);

  answerNextBox(QMessageBox::No, &text, &defaultButton);
  EXPECT_FALSE(prompter.askYesNo("x", true));
  EXPECT_EQ(defaultButton, QMessageBox::Yes);

  answerNextBox(QMessageBox::Ok, &text, &defaultButton);
  prompter.inform("编辑失败!");
  EXPECT_EQ(text, QStringLiteral("编辑失败!"));
  EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
}

}  // namespace
