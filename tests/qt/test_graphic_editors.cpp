// The point, line and region editors as a user drives them: the bytes OK
// writes, every byte kept by Cancel and untouched fields, clean values for a
// new point type.
#include "components/areaedit/graphic_editors.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <functional>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPushButton>

#include "components/areaedit/palette_picker.h"
#include "components/areaedit/symbol_grid.h"
#include "support/widget_driving.h"

namespace {

using legend::areaedit::ColourButton;
using legend::areaedit::PaletteGrid;
using legend::areaedit::SymbolGrid;
using testqt::child;

// Field offsets spelled out again, so a wrong constant in the library
// cannot pass by agreeing with itself.
constexpr std::size_t kPointColour = 44;

/// A record whose bytes are all different, so a byte written by mistake shows.
template <std::size_t N>
std::array<std::uint8_t, N> patterned() {
  std::array<std::uint8_t, N> r;
  for (std::size_t i = 0; i < N; ++i) r[i] = static_cast<std::uint8_t>(0x90 + 7 * i);
  return r;
}

template <class T, std::size_t N>
void put(std::array<std::uint8_t, N>& r, std::size_t at, T value) {
  using Raw = std::conditional_t<sizeof(T) == 2, std::uint16_t, std::uint32_t>;
  const Raw raw = std::bit_cast<Raw>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) r[at + i] = static_cast<std::uint8_t>(raw >> (8 * i));
}

/// A symbol point: symbol 3, 8 x 8, angle 0, pen 1, colour 5, other bytes patterned.
std::array<std::uint8_t, 94> symbolRecord() {
  auto r = patterned<94>();
  r[0] = 1;
  put<std::uint32_t>(r, 2, 3);
  put<float>(r, 6, 8);
  put<float>(r, 10, 8);
  put<float>(r, 14, 0);
  put<float>(r, 18, 1);
  put<std::uint32_t>(r, kPointColour, 5);
  return r;
}

/// Runs @p step on the open dialog; a step that fails and leaves it open
/// closes it so the test can end.
void onDialog(std::function<void(QDialog&)> step) {
  testqt::onModal([step](QDialog& dialog) {
    step(dialog);
    if (dialog.isVisible()) ADD_FAILURE() << "the step left the dialog open", dialog.reject();
  });
}

void pickColour(QDialog& dialog, const char* name, int number) {
  auto* button = child<ColourButton>(dialog, name);
  button->click();
  PaletteGrid* grid = button->openGrid();
  ASSERT_NE(grid, nullptr) << "the palette did not open";
  testqt::leftClick(grid, grid->cellRect(number).center());
  EXPECT_EQ(button->openGrid(), nullptr) << "picking closes the palette";
}

void chooseSymbol(QDialog& dialog, int number) {
  auto* grid = child<SymbolGrid>(dialog, "symbolGrid");
  testqt::leftClick(grid, grid->cellRect(number).center());
}

void ok(QDialog& dialog) { child<QPushButton>(dialog, "okButton")->click(); }
void cancel(QDialog& dialog) { child<QPushButton>(dialog, "cancelButton")->click(); }

class GraphicEditorsTest : public ::testing::Test {
 protected:
  testqt::NoLeakedWindows windows;
};

TEST_F(GraphicEditorsTest, PointOkWritesTheEditedSymbolFieldsAndNothingElse) {
  auto record = symbolRecord();
  const auto original = record;
  onDialog([&](QDialog& dialog) {
    EXPECT_EQ(child<QComboBox>(dialog, "pointType")->currentText(), QStringLiteral("符号"));
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(dialog, "symbolHeight")->value(), 8.0);
    child<QDoubleSpinBox>(dialog, "symbolHeight")->setValue(12.5);
    child<QDoubleSpinBox>(dialog, "symbolAngle")->setValue(-30);
    chooseSymbol(dialog, 7);
    pickColour(dialog, "colourButton", 44);
    ok(dialog);
  });
  EXPECT_TRUE(EditPntInfo(record, "点图例参数编辑"));
  auto expected = original;
  put<std::uint32_t>(expected, 2, 7);
  put<float>(expected, 6, 12.5f);
  put<float>(expected, 14, -30.0f);
  put<std::uint32_t>(expected, kPointColour, 44);
  EXPECT_EQ(record, expected);
}

TEST_F(GraphicEditorsTest, CancelLeavesEveryRecordByteIdentical) {
  // Patterned records are nonsense under every field: the dialogs repair
  // what they show, and Cancel must still give back every byte. The three
  // editors share the path that writes on OK.
  auto point = patterned<94>();
  point[0] = 5;
  const auto pointBefore = point;
  onDialog([](QDialog& dialog) {
    child<QComboBox>(dialog, "pointType")->setCurrentIndex(1);
    chooseSymbol(dialog, 2);
    pickColour(dialog, "colourButton", 9);
    cancel(dialog);
  });
  EXPECT_FALSE(EditPntInfo(point, "p"));
  EXPECT_EQ(point, pointBefore);
}

TEST_F(GraphicEditorsTest, ChangingThePointTypeStartsFromCleanFields) {
  auto record = symbolRecord();
  const auto original = record;
  onDialog([](QDialog& dialog) {
    auto* type = child<QComboBox>(dialog, "pointType");
    type->setCurrentIndex(3);  // ring: its diameter overlaps the symbol number and height
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(dialog, "diameter")->value(), 6.0);
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(dialog, "ringPenWidth")->value(), 1.0);
    type->setCurrentIndex(5);  // text: the bytes below are its clean values
    child<QComboBox>(dialog, "textLayout")->setCurrentIndex(1);
    ok(dialog);
  });
  ASSERT_TRUE(EditPntInfo(record, "p"));
  auto expected = original;
  expected[0] = 5;
  put<float>(expected, 2, 6.0f);
  put<float>(expected, 6, 6.0f);
  put<float>(expected, 10, 0.0f);
  put<float>(expected, 14, 0.0f);
  expected[35] = 1;
  EXPECT_EQ(record, expected);
}

TEST_F(GraphicEditorsTest, LineOkWritesStyleColoursAndPatternInFineUnits) {
  auto record = patterned<67>();
  put<std::uint16_t>(record, 0, 14);
  put<std::uint32_t>(record, 4, 3);
  put<float>(record, 8, 1.2f);
  put<float>(record, 13, 10.0f);
  put<float>(record, 17, 10.0f);
  put<std::uint32_t>(record, 21, 2);
  const auto original = record;
  onDialog([](QDialog& dialog) {
    EXPECT_EQ(child<QListWidget>(dialog, "lineStyle")->currentRow(), 14);
    child<QListWidget>(dialog, "lineStyle")->setCurrentRow(3);
    child<QDoubleSpinBox>(dialog, "patternLength")->setValue(2.5);
    child<QDoubleSpinBox>(dialog, "patternWidth")->setValue(0.75);
    pickColour(dialog, "colourButton", 7);
    pickColour(dialog, "secondColourButton", 160);
    ok(dialog);
  });
  ASSERT_TRUE(EditLinInfo(record, "线图例参数编辑"));
  auto expected = original;
  put<std::uint16_t>(expected, 0, 3);
  put<std::uint32_t>(expected, 4, 7);
  put<float>(expected, 13, 20.0f);
  put<float>(expected, 17, 12.0f);
  put<std::uint32_t>(expected, 21, 160);
  EXPECT_EQ(record, expected) << "the untouched pen width 1.2 keeps its exact bits";
}

TEST_F(GraphicEditorsTest, RegionOkWritesPatternCellAndColours) {
  auto record = patterned<63>();
  put<std::uint32_t>(record, 0, 3);
  put<std::uint16_t>(record, 4, 5);
  put<float>(record, 6, 6.0f);
  put<float>(record, 10, 6.0f);
  put<std::uint32_t>(record, 14, 4);
  const auto original = record;
  onDialog([](QDialog& dialog) {
    EXPECT_EQ(child<QListWidget>(dialog, "fillPattern")->currentRow(), 5);
    child<QListWidget>(dialog, "fillPattern")->setCurrentRow(2);
    child<QDoubleSpinBox>(dialog, "patternWidth")->setValue(9);
    child<QDoubleSpinBox>(dialog, "patternHeight")->setValue(7.5);
    pickColour(dialog, "colourButton", 252);
    pickColour(dialog, "patternColourButton", 14);
    ok(dialog);
  });
  ASSERT_TRUE(EditRegInfo(record, "区图例参数编辑"));
  auto expected = original;
  put<std::uint32_t>(expected, 0, 252);
  put<std::uint16_t>(expected, 4, 2);
  put<float>(expected, 6, 9.0f);
  put<float>(expected, 10, 7.5f);
  put<std::uint32_t>(expected, 14, 14);
  EXPECT_EQ(record, expected);
}

}  // namespace
