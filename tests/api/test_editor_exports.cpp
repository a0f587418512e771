// The editor functions as a Qt host calls them: this program owns the
// QApplication, loads liblegend.so with dlopen, and answers the library's
// modal windows the way a user would, from inside their modal loops. The
// host also acts on the pad it handed to the editor while the editor runs;
// run under AddressSanitizer in CI.

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include "api/loaded_library.h"
#include "legend/legend.h"
#include "support/cln_builder.h"

// As in the pad test: fontconfig keeps its font cache for the life of the
// process, which the sanitizer build's leak checker would report.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

using apitest::lib;
using testcln::Bytes;

const std::string kDemo = LEGEND_SAMPLES_DIR "/demo.CLN";
const QString kCannotOpen = QStringLiteral("图例文件打开失败!文件名非法!\n请重新'关联图例文件'");

/// A window the library showed, as the user saw it.
struct Shown {
  QString text;  ///< a message box's text
  bool editor = false;
};

// Plays the user while it lives: notes every window that appears and answers
// it from inside its modal loop, since a window left open would hang the
// test. Message boxes get OK; the editor gets 确定 or 取消 while answers are
// left.
class User : public QObject {
 public:
  enum class Answer { Confirm, Cancel };
  /// @p saveAs: the name typed into the file dialog of a new file's 确定.
  explicit User(std::deque<Answer> editorAnswers, QString saveAs = {})
      : answers_(std::move(editorAnswers)), saveAs_(std::move(saveAs)) {
    qApp->installEventFilter(this);
  }
  ~User() override { qApp->removeEventFilter(this); }

  std::vector<Shown> shown;
  /// Runs once, as the host, inside the editor's loop before the user answers.
  std::function<void()> hostAct;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Show && window && window->isWindow()) {
      auto* box = qobject_cast<QMessageBox*>(window);
      shown.push_back({box ? box->text() : QString(), window->objectName() == QStringLiteral("legendEditor")});
      QTimer::singleShot(0, window, [this, target = QPointer<QWidget>(window)] { answer(target); });
    }
    return false;
  }

 private:
  void answer(QWidget* window) {
    if (!window) return;
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
      box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
      return;
    }
    if (auto* files = qobject_cast<QFileDialog*>(window)) {
      // QFileDialog's own accept() is protected; through QDialog it is the
      // same virtual call the Save button makes.
      files->selectFile(saveAs_);
      return saveAs_.isEmpty() ? files->reject() : static_cast<QDialog*>(files)->accept();
    }
    auto* dialog = qobject_cast<QDialog*>(window);
    if (!dialog) return;
    if (hostAct) {
      std::exchange(hostAct, {})();
      // The user answers on a later turn of the loop, after what the act posted.
      QTimer::singleShot(0, window, [this, target = QPointer<QWidget>(window)] { answer(target); });
      return;
    }
    if (answers_.empty()) {
      ADD_FAILURE() << "the editor is still open and no answer is left";
      return dialog->reject();
    }
    const char* name = answers_.front() == Answer::Confirm ? "okButton" : "cancelButton";
    answers_.pop_front();
    // The button as the user clicks it, so its wiring is part of the test.
    auto* button = dialog->findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!button) {
      ADD_FAILURE() << "the editor has no " << name;
      return dialog->reject();
    }
    button->click();
  }

  std::deque<Answer> answers_;
  QString saveAs_;
};

TEST(EditorExports, OpenRefusesAFileItCannotReadWithAMessageAndNoEditor) {
  testcln::TempDir dir;
  const std::string missing = (dir / "missing.CLN").string();
  const std::string tooLong = dir.path().string() + "/" + std::string(300, 'a');
  for (const char* path : {missing.c_str(), static_cast<const char*>(nullptr), tooLong.c_str()}) {
    SCOPED_TRACE(path ? path : "null");
    User user({User::Answer::Confirm});
    EXPECT_EQ(lib().openEditor(path, nullptr, nullptr), 0);
    ASSERT_EQ(user.shown.size(), 1u);
    EXPECT_EQ(user.shown[0].text, kCannotOpen);
  }
  EXPECT_FALSE(std::filesystem::exists(missing)) << "a refused file must not be created";
  User user({User::Answer::Confirm});
  EXPECT_EQ(lib().newEditor(nullptr, nullptr, nullptr), 0) << "no buffer for the new file's name";
  EXPECT_TRUE(user.shown.empty());
}

TEST(EditorExports, CancelWritesNothingConfirmWritesAndReloadsThePadAndANewFileIsNamedInTheCallersBuffer) {
  testcln::TempDir dir;
  const auto path = dir / "edited.CLN";
  std::filesystem::copy_file(kDemo, path);
  void* pad = lib().create(path.c_str(), 0, 0, nullptr, nullptr);
  ASSERT_NE(pad, nullptr);
  ASSERT_NE(lib().type(pad, 3), -1) << "the pad starts on the 25 legends of the sample";
  // The file changes behind the pad's back; only a reload shows the change.
  const Bytes three = testcln::file({{.name = "region", .type = 2, .block = testcln::block(testcln::params(2, 1))},
                                     {.name = "point", .type = 1, .block = testcln::block(testcln::params(1, 2))},
                                     {.name = "line", .type = 0, .block = testcln::block(testcln::params(0, 3))}});
  testcln::write(path, three);
  User user({User::Answer::Cancel, User::Answer::Cancel, User::Answer::Confirm, User::Answer::Confirm},
            QString::fromStdString((dir / "fresh").string()));
  std::array<char, LEGEND_PATH_BUFFER> buffer;
  buffer.fill('x');
  buffer.back() = '\0';
  EXPECT_EQ(lib().newEditor(buffer.data(), nullptr, nullptr), 2);
  EXPECT_EQ(buffer[0], '\0') << "the buffer holds the empty text";
  EXPECT_EQ(lib().openEditor(path.c_str(), pad, nullptr), 2);
  EXPECT_EQ(testcln::read(path), three);
  EXPECT_NE(lib().type(pad, 3), -1) << "a cancelled editor leaves the pad as it was";

  EXPECT_EQ(lib().openEditor(path.c_str(), pad, nullptr), 1);
  EXPECT_NE(lib().type(pad, 2), -1);
  EXPECT_EQ(lib().type(pad, 3), -1) << "the pad shows the three legends of the written file";
  ASSERT_EQ(user.shown.size(), 3u) << "no message on a successful save";
  EXPECT_TRUE(user.shown[0].editor && user.shown[1].editor && user.shown[2].editor);
  EXPECT_EQ(lib().newEditor(buffer.data(), nullptr, nullptr), 1);
  const std::string expected = (dir / "fresh.CLN").string();
  EXPECT_STREQ(buffer.data(), expected.c_str());
  EXPECT_TRUE(std::filesystem::exists(expected));
  lib().close(pad);
}

// The parameter dialog the editor opens edits the editor's own copy and never
// sees the pad, so the editor's own loop is where the host's act matters.
TEST(EditorLifetime, TheHostMayReloadSwitchOrCloseTheEditorsPadWhileTheEditorRuns) {
  testcln::TempDir dir;
  const auto file = dir / "edited.CLN";
  const auto other = dir / "other.CLN";
  std::filesystem::copy_file(kDemo, other);
  enum class Act { Reload, Switch, Close };
  for (const Act act : {Act::Reload, Act::Switch, Act::Close}) {
    SCOPED_TRACE(static_cast<int>(act));
    std::filesystem::copy_file(other, file, std::filesystem::copy_options::overwrite_existing);
    void* pad = lib().create(file.c_str(), 1, 1, nullptr, nullptr);
    ASSERT_NE(pad, nullptr);
    bool acted = false;
    User user({User::Answer::Confirm});
    user.hostAct = [&] {
      acted = true;
      if (act == Act::Reload) lib().reload(pad);
      if (act == Act::Switch) lib().setFile(pad, other.c_str());
      if (act == Act::Close) lib().close(pad);
    };
    EXPECT_EQ(lib().openEditor(file.c_str(), pad, nullptr), 1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(acted);
    if (act == Act::Close) continue;
    char shown[LEGEND_PATH_BUFFER] = {};
    lib().file(pad, shown);
    EXPECT_EQ(std::string(shown), (act == Act::Switch ? other : file).string());
    EXPECT_NE(lib().type(pad, 0), -1);
    lib().close(pad);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The host's own application, made before the library is loaded: the
  // library must use it rather than start one of its own.
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
