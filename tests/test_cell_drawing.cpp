// The pad's cell layout and hit test, caption fitting, the scale maxima and
// the drawing passes as a recording driver sees them (cells of 40 x 52).

#include "pad/model/cell_drawing.h"

#include <gtest/gtest.h>

#include <bit>
#include <utility>

#include "legendfile/legend_set.h"
#include "support/cln_builder.h"
#include "support/recording_driver.h"

namespace {

using namespace legend::pad;
using testcln::Bytes;
using testdraw::RectCall;
using Numbers = std::vector<double>;
using Texts = std::vector<std::string>;

const std::string kTu = "\xcd\xbc", kLi = "\xc0\xfd";        // 图, 例
const std::string kLead = "\xcd";                            // a lead byte alone
const std::string kTextSample = "\xce\xc4\xb1\xbe\xc0\xe0";  // 文本类

float f32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::bit_cast<float>(testcln::get32At(b, at));
}
Bytes pointRecord(std::uint8_t type, float at2 = 0, float at6 = 0, float at10 = 0) {
  Bytes r(94, 0);
  r[0] = type;
  testcln::putF32At(r, 2, at2);
  testcln::putF32At(r, 6, at6);
  testcln::putF32At(r, 10, at10);
  return r;
}
Bytes lineRecord(float at13, float at17) {
  Bytes r(67, 0);
  testcln::putF32At(r, 13, at13);
  testcln::putF32At(r, 17, at17);
  return r;
}
testcln::Legend legendOf(std::int8_t type, Bytes record, std::string name = "", std::int32_t code = 0) {
  return {.name = std::move(name), .type = type, .classCode = code, .block = testcln::block(std::move(record))};
}
testcln::Legend region(std::string name = "", std::int32_t code = 0) {
  Bytes r(63, 0);
  testcln::put32At(r, 0, 7);      // fill colour
  r[4] = 3;                       // pattern
  testcln::putF32At(r, 6, 2.5f);  // pattern size
  testcln::put32At(r, 14, 12);    // pattern colour
  return legendOf(2, r, std::move(name), code);
}
std::vector<testcln::Legend> regions(int n) { return std::vector<testcln::Legend>(std::size_t(n), region()); }

TEST(PadGeometry, CellsTruncateTheStripsBesideThemHitNothingAndTheLastRowCanScrollToTheTop) {
  const PadGeometry g(AreaSize{100, 200});
  EXPECT_EQ(std::pair(g.cellWidth(), g.cellHeight()), std::pair(33, 33));
  EXPECT_EQ(g.cellRect(17), (WindowRect{66, 165, 99, 198})) << "strips of 1 and 2 pixels are left";
  EXPECT_EQ(g.cellTopLeft(17), (DrawPoint{66, 35}));
  struct Row {
    const char* name;
    WindowPoint point;
    std::int32_t scroll, count, hit;
  };
  const Row rows[] = {
      {"last-pixel-of-last-cell", {98, 197}, 1, 18, 17},
      {"right-edge-is-the-next-cell", {33, 0}, 1, 18, 1},
      {"right-strip", {99, 10}, 1, 18, -1},
      {"cell-without-legend", {40, 33}, 1, 4, -1},
      {"after-the-last-legend", {34, 0}, 3, 7, -1},
  };
  for (const Row& row : rows) EXPECT_EQ(g.hitTest(row.point, g.area(), row.scroll, row.count), row.hit) << row.name;
  EXPECT_EQ(PadGeometry().hitTest({0, 0}, {100, 200}, 1, 18), -1) << "before the first pass";
  EXPECT_EQ(scrollRangeFor(7), (ScrollRange{1, 3}));
  EXPECT_EQ(scrollRangeFor(0).clamp(4), 1);
}

TEST(CaptionFitting, KeepsTheWholeCharactersWhoseEstimatedWidthFits) {
  // Estimated: a single byte 0.5 x 12 + 1 = 7 pixels, a double-byte character 13.
  std::string longName;
  for (int i = 0; i < 63; ++i) longName += kTu;
  struct Row {
    const char* name;
    std::string text;
    std::int32_t limit;
    std::string fitted;
  };
  const Row rows[] = {
      {"width-equal-to-limit-fits", "abcd", 28, "abcd"},
      {"double-byte-cut-where-a-lead-byte-would-fit", kTu + kLi + kTu + kLi, 34, kTu + kLi},
      {"lead-byte-before-ascii-is-one-character", kLead + "ab", 14, kLead + "a"},
      {"negative-limit-of-a-tiny-cell", "a", -3, ""},
      {"long-name-shortened", std::string(127, 'a'), 10000, std::string(99, 'a')},
      {"long-double-byte-name-shortened-to-whole-characters", longName + "x", 10000, longName.substr(0, 98)},
  };
  for (const Row& row : rows) {
    testdraw::DrawLog log;
    testdraw::RecordingDriver driver(log);
    EXPECT_EQ(fitCaption(driver, row.text, row.limit).view(), row.fitted) << row.name;
  }
}

class CellPass : public ::testing::Test {
 protected:
  void SetUp() override { scaleMaxima() = {}; }
  /// Loads @p legends, then raises the maxima from the loaded set.
  void load(const std::vector<testcln::Legend>& legends) {
    ASSERT_EQ(set_.setNewFile(written(legends)), legend::LegendStatus::Ok);
    updateScaleMaxima(set_);
  }
  /// Loads @p legends as the pad does: the maxima are gathered as the
  /// records are read.
  void loadCollecting(const std::vector<testcln::Legend>& legends) {
    ASSERT_EQ(set_.setPath(written(legends)), legend::LegendStatus::Ok);
    MaximaCollector collector(set_);
    ASSERT_EQ(set_.load(&collector), legend::LegendStatus::Ok);
    set_.rebuildDisplayList();
    scaleMaxima().raiseTo(collector.found());
  }
  std::string written(const std::vector<testcln::Legend>& legends) {
    const auto path = dir_ / ("set" + std::to_string(++files_) + ".CLN");
    testcln::write(path, testcln::file(legends));
    return path.string();
  }
  void fullPass(std::int32_t scroll = 1, CaptionMode captions = CaptionMode::Names) {
    surface_.log.clear();
    painter_.fullPass(surface_, set_, scroll, captions);
  }
  void cellPass(std::int32_t position, bool selected, std::int32_t scroll = 1) {
    surface_.log.clear();
    painter_.singleCellPass(surface_, set_, scroll, CaptionMode::Names, position, selected);
  }
  Texts numbers() const { return log_.textsIn(colour::kNumber); }

  testcln::TempDir dir_;
  int files_ = 0;
  legend::LegendSet set_;
  testdraw::RecordingSurface surface_;
  const testdraw::DrawLog& log_ = surface_.log;
  CellPainter painter_;
};

/// The box the three texts of a cell are drawn in.
TextBox cellText(D_DOT topLeft, double width, double height, double charHeight, int colour) {
  return {.topLeft = topLeft,
          .width = width,
          .height = height,
          .charHeight = charHeight,
          .charWidth = 12,
          .charSpacing = 1,
          .lineSpacing = 2,
          .colour = colour};
}

TEST_F(CellPass, AnEmptyDisplayListDrawsOnlyTheGridAndTotalZero) {
  fullPass();
  Texts grid{"SetDrawing"};
  grid.insert(grid.end(), 11, "Line");
  grid.insert(grid.end(), {"SetDrawing", "CloseWinDriver"});
  EXPECT_EQ(log_.ops, grid);
  EXPECT_EQ(surface_.total, "0");
  load(regions(2));
  surface_.driverAvailable = false;
  fullPass();
  EXPECT_EQ(surface_.areaClears, 2) << "cleared even when nothing can be drawn";
  EXPECT_EQ(painter_.geometry().cellWidth(), 40) << "a pass that draws nothing keeps the last cell size";
}

// The normal cell's number box is checked with the scroll position.
TEST_F(CellPass, ASelectedCellIsPressedInWithItsSampleAndTextsInset) {
  load(regions(5));
  fullPass();
  cellPass(4, true);  // the middle cell of the second row: (40, 260)
  const testdraw::RegionCall& fill = log_.regions.at(0);
  EXPECT_EQ((Numbers{fill.points[0].x, fill.points[0].y, fill.points[2].x, fill.points[2].y}),
            (Numbers{43, 246.5, 77, 212}));
  EXPECT_EQ(fill.fill, (RegionFill{.fillColour = 7, .pattern = 3, .patternSize = 2.5, .patternColour = 12}));
  const TextBox boxes[] = {cellText({44, 258}, 33, 49, 10, colour::kSelectedShadow),
                           cellText({43, 259}, 33, 49, 10, colour::kSelectedCaption),
                           cellText({44, 224}, 33, 49, 10, colour::kNumber)};
  ASSERT_EQ(log_.texts.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(log_.texts[i].box, boxes[i]) << i;
  EXPECT_EQ(log_.texts[2].text, "4");
  EXPECT_EQ(log_.rects.at(0), (RectCall{{41, 259}, 39, -51, colour::kSelectedFill}));
}

TEST_F(CellPass, CaptionsShowNamesOrClassCodesFittedToTheCell) {
  const auto captions = [this](CaptionMode mode) {
    fullPass(1, mode);
    return log_.textsIn(colour::kCaption);
  };
  load({region("road", -42)});
  EXPECT_EQ(captions(CaptionMode::Names), Texts{"road"});
  EXPECT_EQ(captions(CaptionMode::ClassCodes), Texts{"-42"});
}

TEST_F(CellPass, TheScrollPositionChoosesWhichLegendsFillTheCellsFromTheTopLeft) {
  load(regions(30));
  fullPass(7);  // the last rows of thirty
  const Texts drawn = numbers();
  ASSERT_EQ(drawn.size(), 12u);
  EXPECT_EQ((Texts{drawn.front(), drawn.back()}), (Texts{"18", "29"}));
  EXPECT_EQ(surface_.total, "30");
  EXPECT_EQ(log_.texts[2].box.topLeft, (D_DOT{4, 312 - 52 + 15}));
}

TEST_F(CellPass, ASingleCellPassRedrawsOnlyThatCellWhereTheLastPassPutIt) {
  load(regions(7));
  fullPass();
  EXPECT_EQ(painter_.hitTest({45, 60}, surface_.area, 1, 7), 4);
  surface_.area = {150, 312};  // resized since: cells 50 wide from now on
  cellPass(4, true);
  EXPECT_EQ(surface_.cellClears, (std::vector<WindowRect>{{40, 52, 80, 104}}));
  ASSERT_EQ(log_.regions.size(), 1u);
  EXPECT_EQ(log_.regions[0].points[0].x, 50 + 2 + 1);
  EXPECT_EQ(numbers(), Texts{"4"});
  cellPass(3, false, 2);  // scrolled into the top-left cell
  EXPECT_EQ(numbers(), Texts{"3"});
  for (const std::int32_t hidden : {1, 7, -1}) {  // above the grid, past the list, no selection
    cellPass(hidden, false, 2);
    EXPECT_TRUE(log_.ops.empty()) << hidden;
  }
}

class ScaledSamples : public CellPass {};

TEST_F(ScaledSamples, TextHeightsAreSharesOfTheLargestShownAndTheStoredRecordsStay) {
  std::vector<testcln::Legend> legends;
  for (const float height : {2.0f, 4.0f, 8.0f}) {
    Bytes r = pointRecord(5, height, 3, 45);  // 45: an angle the sample drops
    r[23] = 1;                                // an annotation's layout byte, not a text's
    legends.push_back(legendOf(1, r));
  }
  load(legends);
  fullPass();
  const std::vector<testdraw::PointCall>& samples = log_.points;
  ASSERT_EQ(samples.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(f32At(samples[i].record, 2), 35 / float(4 >> i)) << "3 x 50 / 4 - 2 = 35 for the largest";
    EXPECT_EQ(f32At(samples[i].record, 10), 0);
    EXPECT_EQ(samples[i].text, kTextSample);
    const auto stored = std::as_const(set_).points().record(std::int32_t(i));
    EXPECT_EQ(f32At(Bytes(stored.begin(), stored.end()), 2), float(2 << i));
  }
}

TEST_F(ScaledSamples, AnUnknownPointTypeGetsOnlyItsCaptionAndNumber) {
  load({legendOf(1, pointRecord(7))});
  cellPass(0, false);
  EXPECT_TRUE(log_.points.empty() && log_.icons.empty());
  EXPECT_EQ(numbers(), Texts{"0"});
}

TEST_F(ScaledSamples, MaximaAreRaisedOnlyByTheNamedFieldsOfShownLegendsAndNeverFall) {
  Bytes dot = pointRecord(2), unscaledRegion(63, 0);
  testcln::putF64At(dot, 2, 9);
  testcln::putF32At(unscaledRegion, 13, 1000);
  const std::vector<testcln::Legend> legends = {
      legendOf(1, pointRecord(0, 5, 6)),
      legendOf(1, pointRecord(1, 100, 7, 3)),  // a symbol's offset 2 is no size
      legendOf(1, dot),
      legendOf(1, pointRecord(4, 500, 500, 500)),
      legendOf(0, lineRecord(11, 12)),
      legendOf(2, unscaledRegion)};
  const ScaleMaxima& m = scaleMaxima();
  const auto all = [&m] { return Numbers{m.lineX, m.lineY, m.pointHeight, m.pointWidth, m.pointSize}; };
  // Gathered from the loaded set, or by the load itself as a pad loads.
  for (const bool collecting : {false, true}) {
    const auto loadThem = [&](const std::vector<testcln::Legend>& these) {
      collecting ? loadCollecting(these) : load(these);
    };
    scaleMaxima() = {};
    set_.setShowLines(true);
    set_.setShowPoints(true);
    loadThem(legends);
    EXPECT_EQ(all(), (Numbers{11, 12, 7, 6, 9})) << collecting;
    loadThem({legendOf(1, pointRecord(5, 2, 3)), legendOf(0, lineRecord(4, 4))});
    EXPECT_EQ(all(), (Numbers{11, 12, 7, 6, 9})) << collecting;
    scaleMaxima() = {};
    set_.setShowLines(false);
    set_.setShowPoints(false);
    loadThem(legends);
    EXPECT_EQ(all(), (Numbers{1, 1, 1, 1, 1})) << "hidden legends count for nothing; " << collecting;
  }
}

}  // namespace
