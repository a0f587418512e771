// The host acting on the pad it handed to the editor while the editor runs:
// from a timer inside the editor's loop, or inside the parameter dialog the
// editor opens, it reloads the pad, gives it another file or closes it; the
// editor is then confirmed, writes its file and brings the pad up to date,
// if there still is one. Run under AddressSanitizer in CI.

#include <cstring>
#include <filesystem>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

#include "api/loaded_library.h"
#include "legend/legend.h"
#include "support/cln_builder.h"

// Fontconfig's cache lives as long as the process; see test_exports.cpp.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

using apitest::lib;

const QString kParamTitle = QStringLiteral("修改图例参数");

bool isEditor(const QWidget* w) { return w->objectName() == QStringLiteral("legendEditor"); }

QAbstractButton* button(QWidget* window, const char* name) {
  auto* found = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

TEST(EditorLifetime, TheHostMayReloadSwitchOrCloseTheEditorsPadWhileTheEditorRuns) {
  testcln::TempDir dir;
  const auto file = dir / "edited.CLN";
  const auto other = dir / "other.CLN";
  std::filesystem::copy_file(LEGEND_SAMPLES_DIR "/demo.CLN", other);
  enum class Act { Reload, Switch, Close };
  for (const bool insideParams : {false, true}) {
    for (const Act act : {Act::Reload, Act::Switch, Act::Close}) {
      SCOPED_TRACE(std::to_string(insideParams) + " " + std::to_string(static_cast<int>(act)));
      std::filesystem::copy_file(other, file, std::filesystem::copy_options::overwrite_existing);
      void* pad = lib().create(file.c_str(), 1, 1, nullptr, nullptr);
      ASSERT_NE(pad, nullptr);
      // Plays the host once the chosen loop runs, then the user: Cancel in
      // the parameter dialog, OK in message boxes, 确定 in the editor.
      bool acted = false;
      bool editing = false;
      QTimer player;
      QObject::connect(&player, &QTimer::timeout, [&] {
        QWidget* top = QApplication::activeModalWidget();
        if (top == nullptr) return;
        const bool params = top->windowTitle() == kParamTitle;
        if (!acted && params == insideParams && (params || isEditor(top))) {
          acted = true;
          if (act == Act::Reload) lib().reload(pad);
          if (act == Act::Switch) lib().setFile(pad, other.c_str());
          if (act == Act::Close) lib().close(pad);
          return;
        }
        if (!acted && isEditor(top) && !editing) {
          // From a timer of its own, so that this one fires in the dialog's loop.
          editing = true;
          top->findChild<QTableView*>(QStringLiteral("legendList"))->selectRow(0);
          QTimer::singleShot(0, button(top, "editButton"), &QAbstractButton::click);
        } else if (auto* box = qobject_cast<QMessageBox*>(top)) {
          box->accept();
        } else if (acted) {
          button(top, params ? "cancelButton" : "okButton")->click();
        }
      });
      player.start(0);
      EXPECT_EQ(lib().openEditor(file.c_str(), pad, nullptr), 1);
      player.stop();
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
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
