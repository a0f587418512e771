// The host acting while the pad runs one of its modal loops: a timer fires
// inside the loop, reloads the pad, gives it another file or closes it, and
// the loop is then left as a user would leave it. Under AddressSanitizer
// nothing the pad held when the loop began may be touched after it is freed.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "legend/map_project.h"
#include "legendfile/messages.h"
#include "pad/model/pad_model.h"
#include "pad/window/legend_pad_dlg.h"
#include "paramdlg/legend_param_dlg.h"
#include "support/cln_builder.h"

namespace {

namespace command = legend::pad::command;

class CountingProject : public MapProject {
 public:
  int cleared = 0;
  short sSetSelCLNFlg(short flag) override {
    ++cleared;
    return MapProject::sSetSelCLNFlg(flag);
  }
};

QWidget* topModal() {
  if (QWidget* popup = QApplication::activePopupWidget()) return popup;
  return QApplication::activeModalWidget();
}

/// Fires once inside the loop @p isTheLoop recognises, then leaves every
/// modal loop it finds: the parameter dialog with 确定 (an edit that must not
/// land on what the host loaded meanwhile), everything else with Cancel, No
/// or Escape. It also counts the questions about unsaved edits.
class Host : public QObject {
 public:
  Host(std::function<bool(QWidget*)> isTheLoop, std::function<void()> act)
      : isTheLoop_(std::move(isTheLoop)), act_(std::move(act)) {
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    timer_.start(0);
  }
  int saveQuestions = 0;
  bool acted = false;

 private:
  void tick() {
    QWidget* top = topModal();
    if (top == nullptr) return;
    if (!acted && isTheLoop_(top)) {
      // From a timer of its own, so that this one fires again in any loop
      // the host's call opens (the question before a reload, say).
      acted = true;
      QTimer::singleShot(0, this, [this] {
        leaving_ = true;
        act_();
      });
      return;
    }
    if (!leaving_) {
      // The graphic editor opens from inside the parameter dialog's loop;
      // the click comes from its own timer, so this one can fire in the
      // loop the click opens.
      if (auto* params = dynamic_cast<CLegendParamDlg*>(top))
        QTimer::singleShot(0, params->findChild<QPushButton*>(QStringLiteral("graphicButton")), &QPushButton::click);
      return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(top); box && !asked_.contains(box)) {
      asked_.insert(box);
      saveQuestions += box->text().startsWith(QString::fromUtf8(legend::messages::kSavePrompt.data()));
    }
    if (auto* menu = qobject_cast<QMenu*>(top))
      menu->close();
    else if (auto* params = dynamic_cast<CLegendParamDlg*>(top))
      params->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    else if (auto* dialog = qobject_cast<QDialog*>(top))
      dialog->reject();
  }

  std::function<bool(QWidget*)> isTheLoop_;
  std::function<void()> act_;
  bool leaving_ = false;
  QTimer timer_;
  QSet<QWidget*> asked_;
};

struct ModalLoop {
  const char* name;
  bool modified;                             ///< the pad has unsaved edits when the loop opens
  std::function<void(CLegendPadDlg&)> open;  ///< runs the loop until it is left
  std::function<bool(QWidget*)> isTheLoop;
};

template <class T>
bool is(QWidget* widget) {
  return dynamic_cast<T*>(widget) != nullptr;  // not every dialog of ours has Q_OBJECT
}

class PadLifetime : public ::testing::Test {
 protected:
  QPoint cellZero(CLegendPadDlg& pad) const { return pad.drawingArea()->mapToGlobal(QPoint(10, 10)); }

  testcln::TempDir dir;
  CountingProject project;
  QWidget owner;
};

TEST_F(PadLifetime, TheHostMayReloadSwitchOrCloseThePadFromInsideEachOfItsModalLoops) {
  const std::string own = (dir / "pad.CLN").string();
  const std::string other = (dir / "other.CLN").string();
  const std::vector<testcln::Legend> legends(3,
                                             {.name = "p", .type = 1, .block = testcln::block(testcln::params(1, 1))});
  testcln::write(other, testcln::file(legends));
  const ModalLoop loops[] = {
      {"parameter-dialog", false, [this](CLegendPadDlg& pad) { pad.runCommand(command::kEditLegend, cellZero(pad)); },
       is<CLegendParamDlg>},
      {"graphic-editor", false, [this](CLegendPadDlg& pad) { pad.runCommand(command::kEditLegend, cellZero(pad)); },
       [](QWidget* w) { return is<QDialog>(w) && !is<CLegendParamDlg>(w) && !is<QMessageBox>(w); }},
      {"popup-menu", true,
       [this](CLegendPadDlg& pad) {
         const QPoint global = cellZero(pad);
         QMouseEvent release(QEvent::MouseButtonRelease, pad.mapFromGlobal(global), global, Qt::RightButton,
                             Qt::NoButton, Qt::NoModifier);
         QApplication::sendEvent(&pad, &release);
         // The menu opens once no second click has come for a double-click
         // interval; the host acts inside it and closes it.
         const QDeadlineTimer wait(QApplication::doubleClickInterval() * 2);
         while (!wait.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
       },
       is<QMenu>},
      {"question-before-reload", true, [](CLegendPadDlg& pad) { pad.reload(); }, is<QMessageBox>},
      {"question-at-closing", true, [](CLegendPadDlg& pad) { pad.destroyPad(); }, is<QMessageBox>},
      {"message-after-a-failed-load", false,
       [&](CLegendPadDlg& pad) { pad.setNewFile((dir / "missing.CLN").string()); }, is<QMessageBox>},
      {"save-as-dialog", false, [](CLegendPadDlg& pad) { pad.runCommand(command::kSaveWholeFileAs, {}); },
       is<QFileDialog>},
  };
  enum class Act { Reload, Switch, Close };
  for (const ModalLoop& loop : loops) {
    for (const Act act : {Act::Reload, Act::Switch, Act::Close}) {
      SCOPED_TRACE(std::string(loop.name) + " " + std::to_string(static_cast<int>(act)));
      testcln::write(own, testcln::file(legends));
      project.cleared = 0;
      QPointer<CLegendPadDlg> pad = new CLegendPadDlg(own, 1, 1, &project, &owner);
      ASSERT_TRUE(pad->create());
      pad->model().legends().setModified(loop.modified);
      const bool closing = act == Act::Close || std::string_view(loop.name) == "question-at-closing";
      Host host(loop.isTheLoop, [&] {
        if (act == Act::Reload) pad->reload();
        if (act == Act::Switch) pad->setNewFile(other);
        if (act == Act::Close) pad->destroyPad();
      });
      loop.open(*pad);
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_TRUE(host.acted);
      EXPECT_LE(host.saveQuestions, 1);
      EXPECT_EQ(pad.isNull(), closing);
      if (closing) {
        EXPECT_EQ(project.cleared, 1) << "the project hears of the close once";
        continue;
      }
      EXPECT_EQ(pad->path() == other, act == Act::Switch);
      EXPECT_FALSE(pad->model().legends().modified());
      pad->destroyPad();
    }
  }
  QApplication::processEvents();
  EXPECT_EQ(topModal(), nullptr);
}

}  // namespace
