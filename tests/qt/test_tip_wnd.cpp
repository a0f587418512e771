// The balloon tip as a user meets it: its alert colour, when it appears and
// goes, and that it leaves no window behind.
#include "pad/window/legend_tip_wnd.h"

#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include "support/widget_driving.h"

namespace {

const QString kDefaultText = QString::fromUtf8("图例没有相应的信息!");

QMouseEvent* mouse(QEvent::Type type, Qt::MouseButton button, QPoint at) {
  return new QMouseEvent(type, QPointF(1, 1), QPointF(at), button, button, Qt::NoModifier);
}
void move(CLegendTipWnd& tip, QObject* target, QPoint at) {
  std::unique_ptr<QMouseEvent> event(mouse(QEvent::MouseMove, Qt::NoButton, at));
  tip.RelayEvent(target, event.get(), at);
}

// Hover moves stay with it, as they do with the pad's drawing area.
class ToolArea : public QWidget {
 public:
  using QWidget::QWidget;
  int presses = 0;

 protected:
  void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
  void mousePressEvent(QMouseEvent*) override { ++presses; }
};

// An owner window at (100,100) whose client area is the one tool, and a tip
// made as the pad makes it; no top-level window may outlive a test.
class LegendTipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner = std::make_unique<QWidget>();
    owner->setGeometry(100, 100, 300, 300);
    area = new ToolArea(owner.get());
    area->setGeometry(0, 0, 300, 300);
    tip = std::make_unique<CLegendTipWnd>();
    ASSERT_TRUE(tip->Create(owner.get(), 120, 160, QColor(255, 251, 240), QColor(128, 128, 128), 14));
    tip->AddTool(area, kDefaultText);
    tip->setFocusProbe([this] { return active; });
  }
  void showTip(const QString& text, bool alert = false) { tip->showTip(area, text, alert); }

  testqt::NoLeakedWindows windows;
  std::unique_ptr<QWidget> owner;
  ToolArea* area = nullptr;
  std::unique_ptr<CLegendTipWnd> tip;
  bool active = true;
};

TEST(LegendTipGeometry, ATipWithNoRoomForItsBodyIsNotMade) {
  // Ten pixels go to the pointer: a tip ten wide has no body.
  CLegendTipWnd noBody;
  EXPECT_FALSE(noBody.Create(nullptr, 10, 160, Qt::white, Qt::gray, 14) || noBody.exists());
}

TEST_F(LegendTipTest, ShowTipShowsAToolsRecordAtThePointer) {
  QWidget green(owner.get()), black(owner.get()), stranger;
  tip->AddTool(&green, "first", Qt::green);
  tip->AddTool(&green, "second", Qt::red);
  tip->AddTool(&black, "black", Qt::black);
  QCursor::setPos(250, 180);
  tip->showTip(&green, std::nullopt, false);
  EXPECT_TRUE(tip->isVisible());
  EXPECT_EQ(tip->geometry(), QRect(QCursor::pos(), QSize(120, 160)));
  EXPECT_EQ(tip->text(), "first");
  EXPECT_EQ(tip->currentTextColour(), QColor(0, 255, 0));
  tip->showTip(&black, std::nullopt, false);
  EXPECT_EQ(tip->currentTextColour(), QColor(0, 0, 0));
  tip->hide();
  tip->showTip(&stranger, std::nullopt, true);
  EXPECT_FALSE(tip->isVisible() || tip->text() != "black");
  EXPECT_TRUE(tip->alert()) << "the alert flag is taken in any case";
}

TEST_F(LegendTipTest, InactiveApplicationShowsNothingButHidingStillWorks) {
  showTip("x", true);
  active = false;
  tip->hideTip();
  EXPECT_FALSE(tip->isVisible() || tip->alert());
  showTip("x");
  move(*tip, area, QPoint(150, 150));
  EXPECT_FALSE(tip->isVisible());
  tip->setFocusProbe(nullptr);  // the application's real state
  owner->show();
  owner->activateWindow();
  for (int i = 0; i < 100 && !QApplication::activeWindow(); ++i) QCoreApplication::processEvents();
  showTip("x");
  EXPECT_TRUE(tip->isVisible());
  EXPECT_EQ(QApplication::activeWindow(), owner.get()) << "the tip never takes activation";
}

TEST_F(LegendTipTest, PressesHideTheTipButDoubleClicksReleasesAndSystemKeysDoNot) {
  const QPoint at(150, 150);
  const struct {
    const char* name;
    QEvent* event;
    bool hides;
  } cases[] = {
      {"left press", mouse(QEvent::MouseButtonPress, Qt::LeftButton, at), true},
      {"key", new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier), true},
      {"middle press", mouse(QEvent::MouseButtonPress, Qt::MiddleButton, at), false},
      {"double click", mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, at), false},
      {"release", mouse(QEvent::MouseButtonRelease, Qt::LeftButton, at), false},
      {"alt key", new QKeyEvent(QEvent::KeyPress, Qt::Key_F, Qt::AltModifier), false},
  };
  for (const auto& c : cases) {
    std::unique_ptr<QEvent> event(c.event);
    move(*tip, area, at);
    ASSERT_TRUE(tip->isVisible() && tip->tracking()) << c.name;
    tip->RelayEvent(owner.get(), event.get(), at);
    EXPECT_EQ(tip->isVisible(), !c.hides) << c.name;
    EXPECT_TRUE(tip->tracking()) << c.name << ": only leaving stops tracking";
    move(*tip, area, QPoint(10, 10));
  }
}

TEST_F(LegendTipTest, PointerEnteringAToolShowsTheTipLeavingItOrTouchingTheTipHidesIt) {
  owner->show();
  tip->relayEventsOf(owner.get());
  std::unique_ptr<QMouseEvent> enter(mouse(QEvent::MouseMove, Qt::NoButton, QPoint(150, 150)));
  QApplication::sendEvent(area, enter.get());
  EXPECT_TRUE(tip->tracking());
  EXPECT_EQ(tip->text(), kDefaultText);
  move(*tip, area, QPoint(120, 120));  // still over the tool, clear of the tip
  EXPECT_TRUE(tip->isVisible());
  move(*tip, area, QPoint(50, 50));
  EXPECT_FALSE(tip->isVisible() || tip->tracking());
  showTip("x");
  std::unique_ptr<QMouseEvent> onTip(mouse(QEvent::MouseMove, Qt::NoButton, QPoint(170, 190)));
  QApplication::sendEvent(tip.get(), onTip.get());
  EXPECT_FALSE(tip->isVisible());
  // Children made later are heard too, and keep their events.
  auto* child = new ToolArea(area);
  showTip("x");
  std::unique_ptr<QMouseEvent> press(mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(101, 101)));
  QApplication::sendEvent(child, press.get());
  EXPECT_FALSE(tip->isVisible());
  EXPECT_EQ(child->presses, 1);
}

TEST_F(LegendTipTest, EitherTheTipOrWhatItWatchesMayGoFirst) {
  auto watched = std::make_unique<QWidget>();
  new QWidget(watched.get());
  tip->relayEventsOf(watched.get());
  watched.reset();
  QPointer<CLegendTipWnd> owned = tip.release();  // now the owner's window deletes it
  owned->relayEventsOf(owner.get());
  owned->showTip(area, std::nullopt, false);
  owner.reset();
  EXPECT_TRUE(owned.isNull());
}

}  // namespace
