// The project legend editor as a user drives it: what the dialog shows for a
// file, the commands on the list, and what 确定 and 取消 leave on disk and in
// the caller's path buffer.
#include "editor/legend_edit_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>

#include "editor/model/editor_messages.h"
#include "editor/model/editor_store.h"
#include "legendfile/layout.h"
#include "legendfile/messages.h"
#include "support/cln_builder.h"
#include "support/scripted_prompter.h"
#include "support/stamping_editors.h"
#include "support/widget_driving.h"

namespace {

using testcln::Bytes;
namespace fs = std::filesystem;

// Answers OK by renaming the legend and filling its block with 0x5A.
class FakeRunner : public legend::editor::ParamDialogRunner {
 public:
  int runs = 0;
  bool attributeEditing = false;
  bool run(legend::HeadRef head, std::vector<std::uint8_t>& block, bool attributes) override {
    ++runs;
    attributeEditing = attributes;
    head.setName("edited");
    block.assign(block.size(), 0x5A);
    return true;
  }
};

// Point "点一" (GBK), line "road", region "区", and a legend of type 5 that
// is kept but never listed.
class LegendEditDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    path = fs::path(dir.path().toStdString()) / "test.CLN";
    original = testcln::file({{"\xB5\xE3\xD2\xBB", "p-desc", 1, 7, testcln::block(testcln::params(1, 1))},
                              {"road", "l-desc", 0, -3, testcln::block(testcln::params(0, 2))},
                              {"\xC7\xF8", "", 2, 0, testcln::block(testcln::params(2, 3))},
                              {"other", "", 5, 0, testcln::block({})}});
    testcln::write(path, original);
  }

  CLegendEditDlg& open(const std::string& file) {
    std::memset(buffer, 0, sizeof buffer);
    std::memcpy(buffer, file.data(), file.size());
    dialog = std::make_unique<CLegendEditDlg>(buffer, [this] { ++reloads; });
    dialog->setPrompter(&prompter);
    dialog->setAreaEditors(&editors);
    dialog->setParamDialogRunner(&runner);
    dialog->setFileNameChooser([this] { return chosenName; });
    return *dialog;
  }
  template <class T>
  T* child(const char* name) {
    return testqt::child<T>(*dialog, name);
  }
  QTableView* list() { return child<QTableView>("legendList"); }
  QString cell(int row, int column) { return list()->model()->index(row, column).data().toString(); }
  // One selection change, as a Ctrl+click sequence ends up.
  void select(std::initializer_list<int> rows) {
    QItemSelection selection;
    for (int row : rows) selection.select(list()->model()->index(row, 0), list()->model()->index(row, 0));
    list()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  QString text(const char* label) { return child<QLabel>(label)->text(); }
  const legend::editor::EditorStore& store() { return dialog->store(); }

  testqt::NoLeakedWindows windows;
  QTemporaryDir dir;
  fs::path path;
  Bytes original;
  char buffer[legend::layout::kPathBufferSize]{};
  testcln::ScriptedPrompter prompter;
  testcln::StampingEditors editors;
  FakeRunner runner;
  std::optional<std::string> chosenName;
  std::unique_ptr<CLegendEditDlg> dialog;
  int reloads = 0;
};

TEST_F(LegendEditDlgTest, ShowsTheListedLegendsOfTheFileByTypeWithTheirColumns) {
  open(path.string());
  EXPECT_EQ(text("totalText"), QStringLiteral("3"));
  EXPECT_EQ(text("currentText"), QStringLiteral("0"));
  QAbstractItemModel* model = list()->model();
  ASSERT_EQ(model->rowCount(), 3);
  EXPECT_EQ(QStringList({cell(0, 0), cell(0, 1), cell(0, 2), cell(0, 3)}),
            QStringList({QStringLiteral("点一"), "7", "p-desc", QStringLiteral("102字节")}));
  const QModelIndexList selected = list()->selectionModel()->selectedRows();
  EXPECT_TRUE(selected.size() == 1 && selected[0].row() == 0);
}

TEST_F(LegendEditDlgTest, ABatchAttributeChangeShowsTheNewSizesWhereTheRowsStand) {
  open(path.string());
  child<QCheckBox>("attributeCheck")->click();
  editors.prepared = std::make_unique<CATT_STRU>();
  ASSERT_EQ(editors.prepared->AddFld({"ID", AttFieldType::Int32, 4}), AttStatus::Ok);
  child<QPushButton>("structureButton")->click();
  child<QPushButton>("contentButton")->click();
  select({0, 2});
  prompter.answers = {true};
  child<QPushButton>("batchButton")->click();
  // Each block: parameters, the structure with its size, the 4-byte record with its size.
  const int structure = editors.prepared->CalSize();
  EXPECT_EQ(cell(0, 3), QStringLiteral("%1字节").arg(94 + 8 + structure + 4));
  EXPECT_EQ(cell(1, 3), QStringLiteral("75字节"));
  EXPECT_EQ(cell(2, 3), QStringLiteral("%1字节").arg(63 + 8 + structure + 4));
  EXPECT_EQ(list()->selectionModel()->selectedRows().size(), 2);
}

TEST_F(LegendEditDlgTest, NewFileStartsEmptyWithTheAttributeControlsFollowingTheirCheckBox) {
  open("");
  EXPECT_EQ(list()->model()->rowCount(), 0);
  EXPECT_TRUE(child<QRadioButton>("pointRadio")->isChecked());
  EXPECT_FALSE(child<QWidget>("structureButton")->isEnabled());
  child<QCheckBox>("attributeCheck")->click();
  EXPECT_TRUE(child<QWidget>("structureButton")->isEnabled());
  EXPECT_TRUE(store().attributesEnabled());
}

TEST_F(LegendEditDlgTest, EditActsOnlyOnOneSelectedRow) {
  open(path.string());
  select({1});
  child<QPushButton>("editButton")->click();
  EXPECT_TRUE(runner.attributeEditing);
  EXPECT_EQ(cell(1, 0), QStringLiteral("edited"));
  EXPECT_TRUE(std::ranges::equal(store().blockBytes(1), Bytes(75, 0x5A)));
  select({0, 2});
  child<QPushButton>("editButton")->click();
  EXPECT_EQ(runner.runs, 1);
  EXPECT_EQ(prompter.beeps, 1);
  EXPECT_EQ(text("currentText"), QStringLiteral("1")) << "several selected rows leave the current row";
}

TEST_F(LegendEditDlgTest, OkOnANewFileNamesTheWrittenFileInTheCallersBufferAndAsksAgainAfterAFailure) {
  open("");
  dialog->show();
  child<QPushButton>("addButton")->click();
  chosenName.reset();  // the name prompt cancelled
  child<QPushButton>("okButton")->click();
  // A folder that does not exist: reported, nothing handed to the caller,
  // and the next 确定 asks for a name again.
  chosenName = dir.path().toStdString() + "/missing/new";
  child<QPushButton>("okButton")->click();
  EXPECT_EQ(prompter.shown.back(), legend::messages::text(legend::LegendStatus::CannotOpenWritable));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(reloads, 0);
  chosenName = dir.path().toStdString() + "/new.txt";
  child<QPushButton>("okButton")->click();
  const std::string written = dir.path().toStdString() + "/new.CLN";
  EXPECT_EQ(std::string(buffer), written);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(reloads, 1);
  EXPECT_EQ(testcln::get32At(testcln::read(written), 12), 1u);
}

TEST_F(LegendEditDlgTest, LeavingWithUnsavedChangesAsksFirstAndTheDeleteKeyDeletesOnlyFromTheList) {
  open(path.string());
  dialog->show();
  prompter.expectedDefault = false;
  select({0});
  testqt::typeKey(list(), Qt::Key_Delete, {});
  EXPECT_EQ(list()->model()->rowCount(), 2);
  EXPECT_TRUE(prompter.shown.empty()) << "one row is deleted without a question";
  testqt::typeKey(child<QLineEdit>("nameEdit"), Qt::Key_Delete, {});
  EXPECT_EQ(list()->model()->rowCount(), 2) << "Delete in an edit deletes text";
  prompter.answers = {false, true};
  testqt::typeKey(dialog.get(), Qt::Key_Escape, {});
  EXPECT_TRUE(dialog->isVisible());
  child<QPushButton>("cancelButton")->click();
  EXPECT_EQ(prompter.shown, std::vector<std::string>(2, std::string(legend::editor::texts::kDiscardChanges)));
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(testcln::read(path), original);
  EXPECT_EQ(reloads, 0);
  EXPECT_EQ(std::string(buffer), path.string());
}

TEST_F(LegendEditDlgTest, OkOverAFileThatCouldNotBeReadAsksBeforeReplacingIt) {
  const Bytes garbage{'n', 'o', 't', ' ', 'a', ' ', 'l', 'e', 'g', 'e', 'n', 'd', 0, 0, 0, 0};
  testcln::write(path, garbage);
  // Loading happens before a test can script the prompter: the real message box is closed.
  QString loadMessage;
  testqt::answerBox(QMessageBox::NoButton, &loadMessage);
  open(path.string());
  EXPECT_TRUE(loadMessage.contains(QStringLiteral("图例文件非法")));
  dialog->show();
  prompter.expectedDefault = false;
  prompter.answers = {false, true};
  child<QPushButton>("okButton")->click();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(testcln::read(path), garbage);
  child<QPushButton>("okButton")->click();
  EXPECT_EQ(prompter.shown, std::vector<std::string>(2, "图例文件未能读入,保存将覆盖原文件!\n是否继续?"));
  EXPECT_EQ(testcln::get32At(testcln::read(path), 12), 0u);
  EXPECT_EQ(reloads, 1);
}

}  // namespace
