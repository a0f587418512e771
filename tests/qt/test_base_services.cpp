// The legend file-name dialog, driven through Qt's own dialog as a user
// would, and the busy indicator, run against a clock the test moves.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include "components/base/busy_indicator.h"
#include "components/base/select_file_name.h"
#include "support/widget_driving.h"

namespace {

using namespace Qt::StringLiterals;

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The dialogs block in exec(), so the test speaks to them from timers.
class SelectFileName : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    for (const QString& name : {u"河流.CLN"_s, u"城市.CLN"_s})
      ASSERT_TRUE(QFile(inDir(name)).open(QIODevice::WriteOnly));
    // A box nobody answers would hang the run; close it and fail instead.
    QObject::connect(&watchdog_, &QTimer::timeout, [] {
      while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        ADD_FAILURE() << "left open: " << dialog->metaObject()->className();
        dialog->reject();
      }
    });
    watchdog_.start(5000);
  }
  QString inDir(const QString& name) const { return QDir(dir_.path()).filePath(name); }

  // Runs @p act on the file dialog once it has listed the test folder; the
  // listing arrives from a thread and would otherwise reselect the start name
  // after the test chose.
  void whenFileDialog(std::function<void(QFileDialog*)> act) {
    whenModal(
        [this](QWidget* w) {
          auto* model = w->findChild<QFileSystemModel*>();
          return w->objectName() == u"selectFileDialog"_s && model && model->rowCount(model->index(dir_.path())) >= 2;
        },
        [act](QWidget* w) { act(static_cast<QFileDialog*>(w)); });
  }
  // Types @p file as a user would and presses the accept button. selectFile
  // would not do: it skips a name box that has focus, and focus depends on
  // when the window gets activated; and a list selection beats typed text.
  static void choose(QFileDialog* dialog, const QString& file) {
    dialog->findChild<QListView*>(u"listView"_s)->clearSelection();
    dialog->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(file);
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own, which checks the choice
  }

  QTemporaryDir dir_;
  QTimer watchdog_;
  QObject timers_;

 private:
  void whenModal(std::function<bool(QWidget*)> wanted, std::function<void(QWidget*)> act) {
    auto* poll = new QTimer(&timers_);
    QObject::connect(poll, &QTimer::timeout, [poll, wanted, act] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !wanted(modal)) return;
      poll->stop();
      act(modal);
    });
    poll->start(10);
  }
};

TEST_F(SelectFileName, opensAtTheGivenFileCompletesABareNameAndKeepsThePathOnCancel) {
  std::string path = localPath(inDir(u"河流.CLN"_s));
  QStringList startFiles;
  QString question;
  whenFileDialog([&](QFileDialog* dialog) {
    startFiles = dialog->selectedFiles();
    testqt::answerBox(QMessageBox::Yes, &question);
    choose(dialog, inDir(u"城市"_s));  // 城市.CLN exists
  });
  ASSERT_TRUE(legend::SelectFileName(nullptr, true, path));
  EXPECT_EQ(path, QDir(dir_.path()).absolutePath().toStdString() + "/\xe5\x9f\x8e\xe5\xb8\x82.CLN");
  EXPECT_EQ(startFiles, QStringList{inDir(u"河流.CLN"_s)});
  EXPECT_TRUE(question.contains(u"城市.CLN"_s)) << question.toStdString();
  for (const bool forSaving : {false, true}) {
    whenFileDialog([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(legend::SelectFileName(nullptr, forSaving, path)) << forSaving;
    EXPECT_EQ(path, localPath(inDir(u"城市.CLN"_s)));
  }
}

// Time stands still until the test moves it.
class Busy : public ::testing::Test {
 protected:
  void SetUp() override {
    legend::SetBusyClock([this] { return now_; });
  }
  void TearDown() override {
    legend::SetBusyClock({});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(dialog(), nullptr);
  }
  static QProgressDialog* dialog() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == u"busyDialog"_s) return qobject_cast<QProgressDialog*>(top);
    }
    return nullptr;
  }
  static bool waiting() {
    return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
  }

  std::int64_t now_ = 1000;
};

TEST_F(Busy, cursorWaitsFromTheOutermostBeginToItsEndAndStrayEndsAreHarmless) {
  legend::EndBusy();
  {
    legend::BusyScope outer(u"outer"_s, 10);
    { legend::BusyScope inner(u"inner"_s, 5); }
    EXPECT_TRUE(waiting());
    // A short job shows no window.
    for (int i = 1; i <= 10; ++i, now_ += 40) legend::StepBusy(i);
    EXPECT_EQ(dialog(), nullptr);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  legend::EndBusy();
  // A stray End must not have eaten the depth of the next pair.
  legend::BeginBusy(u"again"_s, 1);
  legend::BeginBusy(u"nested"_s, 1);
  legend::EndBusy();
  EXPECT_TRUE(waiting());
  legend::EndBusy();
}

TEST_F(Busy, totalsBeyondAnIntStillFillTheBar) {
  const std::int64_t total = std::int64_t{1} << 40;
  legend::BusyScope scope(u"huge"_s, total);
  now_ += legend::kBusyDialogDelayMs;
  legend::StepBusy(total / 2);
  ASSERT_NE(dialog(), nullptr);
  EXPECT_NEAR(dialog()->value(), dialog()->maximum() / 2, 1);
}

}  // namespace
