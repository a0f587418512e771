// The real pad window driven as a host drives it: clicks, the number field,
// scroll bar, wheel and keys, editing, saving, reloading, and what the owner
// receives while a click is handled.

#include "pad/window/legend_pad_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "components/display/palette.h"
#include "components/drawing/graphic_records.h"
#include "legend/legend_events.h"
#include "legend/map_project.h"
#include "pad/model/pad_model.h"
#include "pad/model/scale_maxima.h"
#include "support/cln_builder.h"
#include "support/recording_driver.h"
#include "support/scripted_prompter.h"
#include "support/stamping_editors.h"
#include "support/widget_driving.h"

namespace {

namespace command = legend::pad::command;

/// An owner that asks the pad about the legend while it is being told of it.
class Owner : public QWidget {
 public:
  CLegendPadDlg* pad = nullptr;
  std::vector<std::string> events;
  bool closeOnSelection = false;

 protected:
  bool event(QEvent* e) override {
    const int type = static_cast<int>(e->type());
    if (type == WM_LEGEND_SELECTED || type == WM_LEGEND_DESELECTED) {
      const auto index = static_cast<std::int32_t>(static_cast<LegendEvent*>(e)->wParam());
      events.push_back((type == WM_LEGEND_SELECTED ? "selected " : "deselected ") + std::to_string(index) + " type " +
                       std::to_string(pad->getType(index)));
      if (closeOnSelection) pad->destroyPad();
      return true;
    }
    return QWidget::event(e);
  }
};

class LegendPadDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The maxima as in a fresh process: the pads of earlier tests raised them.
    legend::pad::scaleMaxima() = {};
  }
  void TearDown() override {
    if (pad) pad->destroyPad();
    QApplication::processEvents();
  }

  CLegendPadDlg& open(int legends, int visible = 1, int showMessages = 1) {
    testcln::write(file(), testcln::file(testcln::points(legends)));
    return openPath(file().string(), visible, showMessages);
  }
  CLegendPadDlg& openPath(const std::string& path, int visible = 1, int showMessages = 1) {
    pad = new CLegendPadDlg(path, visible, showMessages, &project, &owner);
    owner.pad = pad;
    pad->setPrompter(&prompter);
    pad->setAreaEditors(&editors);
    EXPECT_TRUE(pad->create());
    return *pad;
  }
  std::filesystem::path file() const { return dir / "pad.CLN"; }

  /// The centre of cell @p cell of the drawing area, whose cells are 46 x 53.
  QPoint cell(int cell) const { return {46 * (cell % 3) + 23, 53 * (cell / 3) + 26}; }
  void mouse(QEvent::Type type, Qt::MouseButton button, QPoint areaPoint) {
    const QPoint global = pad->drawingArea()->mapToGlobal(areaPoint);
    QMouseEvent event(type, pad->mapFromGlobal(global), global, button,
                      type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(pad, &event);
  }
  void click(QPoint areaPoint) { mouse(QEvent::MouseButtonPress, Qt::LeftButton, areaPoint); }

  testqt::NoLeakedWindows windows;
  testcln::TempDir dir;
  MapProject project;
  Owner owner;
  testcln::ScriptedPrompter prompter;
  testcln::StampingEditors editors;
  CLegendPadDlg* pad = nullptr;
};

TEST_F(LegendPadDlgTest, OpensVisibleWithItsTotalAndNoCloseBox) {
  open(7);
  EXPECT_FALSE(pad->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(testqt::child<QLabel>(*pad, "totalText")->text(), QStringLiteral("7"));
  QCloseEvent close;
  QApplication::sendEvent(pad, &close);  // only the host ends a pad
  EXPECT_TRUE(pad->isVisible());
}

TEST_F(LegendPadDlgTest, ClickTellsTheOwnerWhoCanQueryThePadOrCloseItDuringTheMessage) {
  open(4);
  click(cell(1));
  EXPECT_EQ(owner.events, std::vector<std::string>{"selected 1 type 1"});
  click(cell(1));
  EXPECT_EQ(owner.events.back(), "deselected 1 type 1");
  QPointer<CLegendPadDlg> alive(pad);
  owner.closeOnSelection = true;
  click(cell(1));
  pad = nullptr;
  EXPECT_EQ(owner.events.back(), "selected 1 type 1");
  EXPECT_FALSE(project.selected());  // the project heard of the close at once
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull());
}

TEST_F(LegendPadDlgTest, TheThumbOnceReleasedTheWheelAndTheKeysMoveTheGrid) {
  open(30);  // range 1 ... 10
  QScrollBar* bar = testqt::child<QScrollBar>(*pad, "scrollBar");
  bar->setSliderDown(true);
  bar->setSliderPosition(8);
  EXPECT_EQ(pad->model().scrollPosition(), 1) << "the grid waits for the drag to end";
  bar->setSliderDown(false);
  EXPECT_EQ(pad->model().scrollPosition(), 8);
  auto turn = [](QWidget* target, int delta) {
    QWheelEvent wheel(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
  };
  const int rows = QApplication::wheelScrollLines();
  turn(pad, 120);
  EXPECT_EQ(bar->value(), 8 - rows);
  testqt::typeKey(pad, Qt::Key_End, {});
  EXPECT_EQ(bar->value(), 10);
  testqt::typeKey(pad, Qt::Key_Escape, {});
  EXPECT_TRUE(pad->isVisible());
}

TEST_F(LegendPadDlgTest, SamplesStayInsideTheirCells) {
  // A line as thick as the pad would cover every cell around its own.
  testcln::Bytes record(testcln::paramBytes(0), 0);
  record[legend::records::line::kColour] = 3;
  testcln::putF32At(record, legend::records::line::kPenWidth, 400);
  testcln::write(file(), testcln::file({{.name = "", .type = 0, .block = testcln::block(record)}}));
  openPath(file().string());
  const QImage image = pad->drawingArea()->grab().toImage();
  const QRgb line = legend::display::paletteColour(3).rgb();
  EXPECT_EQ(image.pixel(cell(0)), line);
  for (const int other : {1, 3, 4}) EXPECT_NE(image.pixel(cell(other)), line) << "cell " << other;
}

TEST_F(LegendPadDlgTest, ARightDoubleClickEditsThroughTheParameterDialogAndSaveAndSaveAsWrite) {
  open(3);
  click(cell(2));
  testqt::onModal([](QDialog& dialog) {
    testqt::child<QLineEdit>(dialog, "nameEdit")->setText(QStringLiteral("kept"));
    testqt::child<QPushButton>(dialog, "graphicButton")->click();
    testqt::child<QPushButton>(dialog, "okButton")->click();
  });
  mouse(QEvent::MouseButtonDblClick, Qt::RightButton, cell(2));
  EXPECT_EQ(pad->model().legends().head(2).name(), "kept");
  EXPECT_EQ(pad->model().legends().points().record(2)[0], 0xEE);
  pad->runCommand(command::kSave, {});
  std::string offered;
  pad->setSavePathChooser([&](const std::string& initial) -> std::optional<std::string> {
    offered = initial;
    return (dir / "copy.CLN").string();
  });
  pad->runCommand(command::kSaveWholeFileAs, {});
  EXPECT_EQ(offered, file().string());
  EXPECT_EQ(testcln::read(dir / "copy.CLN"), testcln::read(file()));
}

TEST_F(LegendPadDlgTest, TheLegendCursorShowsOverLegendsOnly) {
  open(2);
  for (const int twice : {0, 1}) {
    mouse(QEvent::MouseMove, Qt::NoButton, cell(1));
    EXPECT_EQ(pad->cursor().shape(), Qt::BitmapCursor) << twice;
    mouse(QEvent::MouseMove, Qt::NoButton, cell(4));  // an empty cell
    EXPECT_EQ(pad->cursor().shape(), Qt::ArrowCursor) << twice;
  }
}

// Typing with a real keyboard and Return are the real-input test's.
TEST_F(LegendPadDlgTest, TheNumberFieldTakesOnlyASignedNumber) {
  open(4);
  auto* number = testqt::child<QLineEdit>(*pad, "selectedNumber");
  number->clear();
  for (const QChar typed : QStringLiteral("x-a2-\uFF13.")) testqt::typeKey(number, Qt::Key_unknown, typed);
  EXPECT_EQ(number->text(), QStringLiteral("-2")) << "letters, a second minus, wide digits and points are refused";
}

TEST_F(LegendPadDlgTest, ReloadEventReadsTheFileAgainAndClearsTheSelection) {
  open(2);
  click(cell(0));
  testcln::write(file(), testcln::file(testcln::points(4)));
  LegendEvent reload(WM_LEGEND_RELOAD);
  QApplication::sendEvent(pad, &reload);
  EXPECT_EQ(testqt::child<QLabel>(*pad, "totalText")->text(), QStringLiteral("4"));
  EXPECT_EQ(testqt::child<QLineEdit>(*pad, "selectedNumber")->text(), QStringLiteral("-1"));
}

TEST_F(LegendPadDlgTest, PadWithoutMessagesShowsNoneEvenFromItsDialogs) {
  // A block that is only the parameter record makes the parameter dialog
  // complain when it opens, unless the pad keeps quiet.
  testcln::write(file(), testcln::file({{.name = "bare", .type = 1, .block = testcln::params(1, 1)}}));
  openPath(file().string(), 1, 0);
  pad->setPrompter(nullptr);  // the pad's own choice: silence
  int boxes = 0;
  int dialogs = 0;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    if (qobject_cast<QMessageBox*>(modal) != nullptr)
      ++boxes;
    else
      ++dialogs;
    modal->close();
  });
  watcher.start(10);
  pad->runCommand(command::kEditLegend, pad->drawingArea()->mapToGlobal(cell(0)));
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(boxes, 0);
}

TEST_F(LegendPadDlgTest, AnImageLegendWhoseIconCannotBeDrawnIsReportedOnceAfterItsPasses) {
  // Point type 4, the image: both cells fail in each of two passes.
  testcln::write(file(), testcln::file({{.type = 1, .block = testcln::block(testcln::params(1, 4))},
                                        {.type = 1, .block = testcln::block(testcln::params(1, 4))}}));
  testdraw::DrawLog drawn;
  drawn.iconDrawable = false;
  openPath(file().string());
  pad->setDriverOpener([&](QImage&) { return std::make_unique<testdraw::RecordingDriver>(drawn); });
  pad->reload();
  pad->runCommand(command::kCaptionMode, {});
  EXPECT_TRUE(prompter.shown.empty()) << "never from inside a pass";
  QApplication::processEvents();
  EXPECT_EQ(prompter.shown, std::vector<std::string>{"图象图例显示失败!"});
}

}  // namespace
