// The pad as its user and its host experience it, without a window: what a
// click, a typed number, a scroll request or a menu command changes, which
// cells are redrawn, and what the project and the owner hear, in which order.

#include "pad/model/pad_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/resource.h>

#include "legend/map_project.h"
#include "legendfile/messages.h"
#include "pad/model/scale_maxima.h"
#include "support/cln_builder.h"
#include "support/recording_driver.h"
#include "support/scripted_prompter.h"

namespace {

using legend::pad::AreaSize;
using legend::pad::PadModel;
using legend::pad::ScrollCode;
using legend::pad::WindowPoint;
using testcln::points;
namespace command = legend::pad::command;

/// One log for the project's calls and the owner's messages, so their order shows.
using EventLog = std::vector<std::string>;

class LoggingProject : public MapProject {
 public:
  explicit LoggingProject(EventLog& log) : log_(log) {}
  short sSetSelCLNFlg(short flag) override {
    log_.push_back("sSetSelCLNFlg " + std::to_string(flag));
    return MapProject::sSetSelCLNFlg(flag);
  }
  short sSetSelCLNHeadInfo(char* type, std::int32_t* code, char* reserved, std::int32_t* size, char* name,
                           char* description) override {
    log_.push_back("sSetSelCLNHeadInfo " + std::to_string(*type) + " " + std::to_string(*code) + " " +
                   std::to_string(*size) + " " + name + " " + description + (reserved ? " !" : ""));
    return MapProject::sSetSelCLNHeadInfo(type, code, reserved, size, name, description);
  }
  short sSetSelCLNAttInfo(CATT_STRU* s, char* r, std::int32_t length) override {
    log_.push_back("sSetSelCLNAttInfo " + std::to_string(length));
    return MapProject::sSetSelCLNAttInfo(s, r, length);
  }
  short sSetSelCLNLinInfo(LIN_INFOstruct* i) override { return note("Lin"), MapProject::sSetSelCLNLinInfo(i); }

 private:
  void note(const char* kind) { log_.push_back(std::string("sSetSelCLN") + kind + "Info"); }
  EventLog& log_;
};

/// The window as the model sees it: draws into a recording driver and
/// records everything else.
class FakePort : public legend::pad::PadPort {
 public:
  explicit FakePort(EventLog& log) : log_(log) {}

  testdraw::RecordingSurface surface;
  legend::pad::ScrollRange range{};
  std::int32_t scrollPosition = -99;
  std::string number = "-1";
  int refusals = 0;
  bool tipShown = false;
  /// The modal loops, played by the test; the host may act inside them.
  std::function<bool(legend::pad::LegendEdit&)> dialog;
  std::function<std::optional<int>()> menu;
  std::function<std::optional<std::string>()> savePath;

  bool exists() const override { return surface.exists(); }
  AreaSize areaSize() const override { return surface.areaSize(); }
  void setTotalText(std::string_view text) override { surface.setTotalText(text); }
  void clearArea() override { surface.clearArea(); }
  void clearCell(const legend::pad::WindowRect& cell) override { surface.clearCell(cell); }
  std::unique_ptr<KernelDriver> openDriver() override { return surface.openDriver(); }
  void reportImageFailure() override {}
  void setTitle(std::string_view) override {}
  void setScrollRange(legend::pad::ScrollRange r) override { range = r; }
  void setScrollPosition(std::int32_t position) override { scrollPosition = position; }
  void showSelectedNumber(std::int32_t n) override { number = std::to_string(n); }
  std::optional<std::int64_t> typedNumber() const override {
    try {
      return std::stoll(number);
    } catch (...) {
      return std::nullopt;
    }
  }
  void refuseTypedNumber() override { ++refusals; }
  bool tipExists() const override { return true; }
  bool tipVisible() const override { return tipShown; }
  void showTip(std::string_view, bool) override { tipShown = true; }
  void hideTip() override { tipShown = false; }
  bool owner = true;
  bool hasOwner() const override { return owner; }
  void sendToOwner(int message, std::int32_t index) override {
    log_.push_back((message == legend::pad::kLegendSelected ? "WM_LEGEND_SELECTED " : "WM_LEGEND_DESELECTED ") +
                   std::to_string(index));
  }
  bool runParameterDialog(legend::pad::LegendEdit& edit) override { return dialog ? dialog(edit) : false; }
  std::optional<int> runMenu(const legend::pad::MenuState&, WindowPoint) override {
    return menu ? menu() : std::nullopt;
  }
  std::optional<std::string> chooseSavePath(const std::string&) override {
    return savePath ? savePath() : std::nullopt;
  }
  void openFind() override {}

 private:
  EventLog& log_;
};

/// The scripted user; the host may act while a question is open.
class HostPrompter : public testcln::ScriptedPrompter {
 public:
  std::function<void()> duringQuestion;
  bool askYesNo(std::string_view text, bool defaultYes) override {
    if (duringQuestion) std::exchange(duringQuestion, {})();
    return ScriptedPrompter::askYesNo(text, defaultYes);
  }
};

std::string nameInFile(const std::filesystem::path& file, std::size_t index) {
  const testcln::Bytes bytes = testcln::read(file);
  return reinterpret_cast<const char*>(&bytes.at(16 + 333 * index));
}

std::string naming(std::string_view text, const std::filesystem::path& file) {
  return std::string(text) + "\n" + file.string();
}

// Cells of the recording surface are 40 x 52; the centre of cell k.
WindowPoint cellCentre(int cell) { return {40 * (cell % 3) + 20, 52 * (cell / 3) + 26}; }
constexpr AreaSize kClient{120, 312};

class PadModelTest : public ::testing::Test {
 protected:
  // The maxima as in a fresh process: the pads of earlier tests raised them.
  void SetUp() override { legend::pad::scaleMaxima() = {}; }

  PadModel& open(const std::vector<testcln::Legend>& legends, bool visible = true, bool showMessages = true) {
    testcln::write(path(), testcln::file(legends));
    return openPath(path().string(), visible, showMessages);
  }
  PadModel& openPath(const std::string& file, bool visible = true, bool showMessages = true) {
    model = std::make_unique<PadModel>(port, prompter, &project, visible, showMessages);
    EXPECT_EQ(model->setPath(file), legend::LegendStatus::Ok);
    model->load();
    // The pointer starts off every legend, whatever earlier tests' pads tipped.
    model->mouseMove({-1, -1}, kClient);
    return *model;
  }
  std::filesystem::path path() const { return dir / "pad.CLN"; }

  void rename(PadModel& pad, int cell, const std::string& name) {
    port.dialog = [name](legend::pad::LegendEdit& edit) { return edit.head.ref().setName(name); };
    pad.editLegendAt(cellCentre(cell), kClient);
    ASSERT_TRUE(pad.legends().modified());
  }

  testcln::TempDir dir;
  EventLog log;
  FakePort port{log};
  LoggingProject project{log};
  HostPrompter prompter;
  std::unique_ptr<PadModel> model;
};

TEST_F(PadModelTest, AReloadGoesBackToTheTopAndAHiddenPadDrawsNothing) {
  PadModel& pad = open(points(7));
  pad.scroll(ScrollCode::Bottom);
  pad.load();
  EXPECT_EQ(port.scrollPosition, 1);
  FakePort hiddenPort{log};
  PadModel hidden(hiddenPort, prompter, nullptr, false, true);
  ASSERT_EQ(hidden.setPath(path().string()), legend::LegendStatus::Ok);
  hidden.load();
  EXPECT_EQ(hiddenPort.surface.areaClears, 0);
  EXPECT_EQ(hidden.legends().count(), 7);
}

TEST_F(PadModelTest, ClickSelectsTellsProjectThenOwnerAndASecondClickDeselects) {
  // The line comes first in the file but last on the pad: messages carry the
  // file index, the number field the display position.
  const testcln::Bytes attributes = testcln::structure({{"h", 4, 4}});
  const std::vector<testcln::Legend> legends{{.name = "road",
                                              .description = "main",
                                              .type = 0,
                                              .classCode = 7,
                                              .block = testcln::block(testcln::params(0, 1), attributes, {1, 0, 0, 0})},
                                             testcln::sample(1, 0),
                                             testcln::sample(1, 1)};
  PadModel& pad = open(legends);
  pad.click(cellCentre(2), kClient);
  const auto blockSize = std::to_string(legends[0].block.size());
  EXPECT_EQ(log, (EventLog{"sSetSelCLNHeadInfo 0 7 " + blockSize + " road main", "sSetSelCLNAttInfo 4",
                           "sSetSelCLNLinInfo", "WM_LEGEND_SELECTED 0"}));
  EXPECT_EQ(port.number, "2");
  EXPECT_EQ(project.record(), (std::vector<unsigned char>{1, 0, 0, 0}));
  const testcln::Bytes line = testcln::params(0, 1);
  EXPECT_TRUE(std::equal(line.begin(), line.end(), project.line().bytes));
  log.clear();
  pad.click(cellCentre(0), kClient);  // another legend: no deselection message for the old one
  EXPECT_EQ(log.back(), "WM_LEGEND_SELECTED 1");
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](auto& s) { return s.starts_with("WM_LEGEND_DESELECTED"); }), 0);
  log.clear();
  pad.click(cellCentre(0), kClient);
  EXPECT_EQ(log, (EventLog{"sSetSelCLNFlg 0", "WM_LEGEND_DESELECTED 1"}));
  EXPECT_EQ(port.number, "-1");
  pad.click(cellCentre(0), kClient);
  EXPECT_EQ(log.back(), "WM_LEGEND_SELECTED 1");
}

TEST_F(PadModelTest, GoToSelectsScrollsAndRefusesNumbersOutsideTheList) {
  PadModel& pad = open(points(30));
  port.number = "20";
  pad.goToTypedNumber();
  EXPECT_EQ(pad.scrollPosition(), 7);
  EXPECT_EQ(pad.legends().selectedPosition(), 20);
  log.clear();
  for (const char* bad : {"30", "-1", "", "99999999999999999999"}) {
    port.number = bad;
    pad.goToTypedNumber();
  }
  EXPECT_EQ(port.refusals, 4);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(pad.legends().selectedPosition(), 20);
}

TEST_F(PadModelTest, FindSelectsTheNextAnswerByNameClassCodeOrPositionAsAClickWould) {
  std::vector<testcln::Legend> legends = points(30);
  legends[4].name = "Railway";
  legends[25].name = "old railway";
  legends[27].classCode = 4;  // the class code 4, as well as display position 4
  PadModel& pad = open(legends);
  EXPECT_TRUE(pad.find("RAIL"));
  EXPECT_EQ(pad.legends().selectedPosition(), 4);
  EXPECT_EQ(log.back(), "WM_LEGEND_SELECTED 4");
  EXPECT_TRUE(pad.find("RAIL"));
  EXPECT_TRUE(pad.find("RAIL"));  // round to the first again
  EXPECT_EQ(pad.legends().selectedPosition(), 4);
  // A new text starts from the first position: 4 is a position, in the
  // names p14 and p24, and the class code of legend 27.
  for (const std::int32_t expected : {4, 14, 24, 27}) {
    EXPECT_TRUE(pad.find("4"));
    EXPECT_EQ(pad.legends().selectedPosition(), expected);
  }
  log.clear();
  EXPECT_FALSE(pad.find("motorway"));
  EXPECT_FALSE(pad.find("  "));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(pad.legends().selectedPosition(), 27);
}

TEST_F(PadModelTest, ScrollBarMovesByRowsAndPagesWithinTheRange) {
  PadModel& pad = open(points(7));  // range 1 ... 3
  const int passes = port.surface.areaClears;
  pad.scroll(ScrollCode::PageDown);
  EXPECT_EQ(pad.scrollPosition(), 3);
  pad.scroll(ScrollCode::ThumbPosition, 2);
  EXPECT_EQ(pad.scrollPosition(), 2);
  pad.scroll(ScrollCode::ThumbPosition, INT32_MAX);
  EXPECT_EQ(pad.scrollPosition(), 3);
  pad.scroll(ScrollCode::LineDown);  // already at the bottom: no pass
  EXPECT_EQ(port.surface.areaClears, passes + 3);
  EXPECT_EQ(port.scrollPosition, 3);
}

TEST_F(PadModelTest, MenuGraysAndUnchecksTheFilterOfATypeTheFileLacksAndEditsOnlyOnALegend) {
  PadModel& pad = open({testcln::sample(2, 0), testcln::sample(0, 0)});
  const legend::pad::MenuState state = pad.menuState(cellCentre(1), kClient);
  EXPECT_TRUE(state.editEnabled);
  EXPECT_FALSE(state.saveEnabled);
  EXPECT_FALSE(state.pointsEnabled || state.pointsChecked);
  EXPECT_TRUE(state.linesEnabled && state.linesChecked && state.regionsEnabled && state.regionsChecked);
  EXPECT_FALSE(pad.menuState(cellCentre(2), kClient).editEnabled);
}

TEST_F(PadModelTest, ACancelledEditOrADoubleClickBesideTheLegendsChangesNothing) {
  PadModel& pad = open(points(3));
  pad.click(cellCentre(1), kClient);
  log.clear();
  int runs = 0;
  port.dialog = [&runs](legend::pad::LegendEdit& edit) {
    ++runs;
    edit.record[44] = 9;
    return false;
  };
  pad.runCommand(command::kEditLegend, cellCentre(1), kClient);
  pad.editLegendAt(cellCentre(8), kClient);  // nothing there: no dialog
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(pad.legends().modified());
  EXPECT_NE(pad.legends().points().record(1)[44], 9);
  EXPECT_TRUE(log.empty());
}

TEST_F(PadModelTest, APadWithoutAnOwnerTellsItsProjectNothingOfSelectionsOrEdits) {
  port.owner = false;
  PadModel& pad = open(points(2));
  pad.click(cellCentre(1), kClient);
  rename(pad, 1, "renamed");
  pad.click(cellCentre(1), kClient);
  EXPECT_TRUE(log.empty()) << log.front();
  EXPECT_EQ(pad.legends().selectedIndex(), -1);
}

TEST_F(PadModelTest, SavingTheDisplayAsWritesItAloneAndOverThePadsOwnFileReadsItBack) {
  std::vector<testcln::Legend> legends = points(2);
  legends.push_back({.name = "line", .type = 0, .block = testcln::block(testcln::params(0, 1))});
  PadModel& pad = open(legends);
  pad.runCommand(command::kShowPoints, {}, kClient);
  port.savePath = [&] { return (dir / "lines.CLN").string(); };
  pad.runCommand(command::kSaveDisplayAs, {}, kClient);
  EXPECT_LT(testcln::read(dir / "lines.CLN").size(), testcln::read(path()).size()) << "the display alone";
  EXPECT_EQ(pad.legends().count(), 3);
  // Over its own file the line's block moves: the pad reads the file back
  // rather than look for the line where it was, and the host, given the
  // line as legend 2, hears that it is gone.
  pad.click(cellCentre(0), kClient);
  rename(pad, 0, "kept");
  log.clear();
  port.savePath = [&] { return path().string(); };
  pad.runCommand(command::kSaveDisplayAs, {}, kClient);
  ASSERT_EQ(pad.legends().count(), 1);
  EXPECT_EQ(pad.legends().head(0).name(), "kept");
  EXPECT_FALSE(pad.legends().modified());
  EXPECT_EQ(log, (EventLog{"sSetSelCLNFlg 0", "WM_LEGEND_DESELECTED 2"}));
  EXPECT_EQ(port.number, "-1");
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(PadModelTest, ClosingAsksAboutChangesOnlyWhenShowingMessages) {
  PadModel& pad = open(points(1));
  pad.legends().setModified(true);
  prompter.answers = {false};
  pad.close();
  EXPECT_EQ(prompter.shown, std::vector<std::string>{std::string(legend::messages::kSavePrompt)});
  EXPECT_FALSE(pad.legends().modified());
  PadModel& quiet = open(points(1), true, false);
  quiet.legends().setModified(true);
  quiet.close();
  EXPECT_EQ(prompter.shown.size(), 1u);  // no new question
  EXPECT_FALSE(quiet.legends().modified());
}

TEST_F(PadModelTest, EditsAreOfferedForTheOldFileBeforeAReloadOrASwitchAndNeverWrittenOverAnotherFile) {
  const auto other = dir / "other.CLN";
  testcln::write(other, testcln::file(points(4)));
  const testcln::Bytes otherBytes = testcln::read(other);
  PadModel& pad = open(points(2));
  rename(pad, 0, "kept");
  prompter.answers = {true};
  ASSERT_EQ(pad.setNewFile(other.string()), legend::LegendStatus::Ok);
  EXPECT_EQ(prompter.shown, std::vector<std::string>{naming(legend::messages::kSavePrompt, path())});
  EXPECT_EQ(nameInFile(path(), 0), "kept");
  EXPECT_EQ(pad.legends().count(), 4);
  EXPECT_FALSE(pad.legends().modified());
  rename(pad, 1, "dropped");
  prompter.answers = {false};
  pad.load();
  EXPECT_EQ(prompter.shown.back(), naming(legend::messages::kSavePrompt, other));
  EXPECT_EQ(pad.legends().head(1).name(), "p1");
  EXPECT_EQ(testcln::read(other), otherBytes);
  // A file the pad failed to load leaves it nothing to save over that file.
  rename(pad, 0, "lost");
  const auto notes = dir / "notes.txt";
  testcln::write(notes, testcln::Bytes(40, 'n'));
  prompter.answers = {false};
  pad.setNewFile(notes.string());
  EXPECT_EQ(prompter.shown.back(), "图例文件非法,无法打开!");
  EXPECT_FALSE(pad.menuState({}, kClient).saveEnabled);
  pad.runCommand(command::kSave, {}, kClient);
  pad.close();
  EXPECT_EQ(prompter.shown.size(), 4u) << "no question at closing";
  EXPECT_EQ(testcln::read(notes), testcln::Bytes(40, 'n'));
  // Nor are edits written over a file someone else changed since the pad read it.
  PadModel& again = open(points(2));
  rename(again, 0, "mine");
  testcln::write(path(), otherBytes);
  again.load();
  EXPECT_EQ(prompter.shown.back(), naming(legend::messages::kEditsLostFileChanged, path()));
  EXPECT_EQ(testcln::read(path()), otherBytes);
  EXPECT_EQ(again.legends().count(), 4);
}

TEST_F(PadModelTest, EditsWhoseSaveFailedBeforeAReloadAreKeptAndTheFileIsNotReadAgain) {
  PadModel& pad = open(points(2));
  rename(pad, 0, "unsaved");
  const testcln::Bytes before = testcln::read(path());
  prompter.answers = {true};
  // Writes past 100 bytes fail, even for root.
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  const sighandler_t handler = ::signal(SIGXFSZ, SIG_IGN);
  const rlimit full{100, old.rlim_max};
  ::setrlimit(RLIMIT_FSIZE, &full);
  EXPECT_EQ(pad.load(), legend::LegendStatus::WriteFailed);
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, handler);
  EXPECT_EQ(prompter.shown.back(), legend::messages::text(legend::LegendStatus::WriteFailed, path().string()));
  EXPECT_EQ(testcln::read(path()), before);
  EXPECT_TRUE(pad.legends().modified());
  EXPECT_EQ(pad.legends().head(0).name(), "unsaved");
}

TEST_F(PadModelTest, WorkAndRequestsBegunOnASetNeverLandOnTheOneTheHostLoadsMeanwhile) {
  const std::string other = (dir / "other.CLN").string();
  testcln::write(other, testcln::file(points(4)));
  for (const char* host : {"reload", "switch", "close"}) {
    SCOPED_TRACE(host);
    PadModel& pad = open(points(3));
    pad.click(cellCentre(0), kClient);
    log.clear();
    const std::string_view act = host;
    port.dialog = [&](legend::pad::LegendEdit& edit) {
      if (act == "reload") pad.load();
      if (act == "switch") pad.setNewFile(other);
      if (act == "close") pad.close();
      return edit.head.ref().setName("late");
    };
    pad.editLegendAt(cellCentre(0), kClient);
    EXPECT_FALSE(pad.legends().modified());
    EXPECT_NE(pad.legends().head(0).name(), "late");
    const std::string dropped(legend::messages::kEditDroppedByReload);
    EXPECT_EQ(prompter.shown, std::vector<std::string>(act != "close", dropped));
    EXPECT_EQ(log, EventLog(act == "close", "sSetSelCLNFlg 0")) << "the owner hears nothing of the old legend";
    prompter.shown.clear();
  }
  PadModel& pad = open(points(3));
  port.menu = [&]() -> std::optional<int> {
    pad.load();
    return command::kCaptionMode;
  };
  pad.openMenu(cellCentre(0), kClient);
  EXPECT_EQ(pad.captionMode(), legend::pad::CaptionMode::Names) << "chosen from the menu of the set before";
  port.savePath = [&]() -> std::optional<std::string> {
    pad.setNewFile(other);
    return (dir / "copy.CLN").string();
  };
  pad.runCommand(command::kSaveWholeFileAs, {}, kClient);
  EXPECT_EQ(prompter.shown, std::vector<std::string>{std::string(legend::messages::kCopyDroppedByReload)});
  EXPECT_FALSE(std::filesystem::exists(dir / "copy.CLN"));
  // Requests while the question before a reload is open wait for the answer.
  PadModel& asked = open(points(2));
  rename(asked, 0, "saved");
  prompter.duringQuestion = [&] {
    asked.load();
    asked.setNewFile(other);  // the last request wins
  };
  prompter.answers = {true};
  prompter.shown.clear();
  asked.load();
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(nameInFile(path(), 0), "saved");
  EXPECT_EQ(asked.legends().path(), other);
}

}  // namespace
