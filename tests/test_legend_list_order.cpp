// Which rows the editor's filter keeps, and the records the list draws its
// row samples from.

#include "editor/model/legend_list_order.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "legendfile/legend_query.h"
#include "support/editor_store_fixture.h"

namespace {

using namespace editortest;
using legend::LegendQuery;

Texts kept(const std::vector<LegendRow>& rows, std::string_view typed) {
  Texts names;
  const LegendQuery query(typed);
  for (const LegendRow& row : rows)
    if (legend::editor::rowAnswers(row, query)) names.push_back(row.name);
  return names;
}

TEST(LegendListOrder, FilterKeepsRowsByNameDescriptionOrClassCode) {
  Editor e(testcln::file(MixedLegends()));
  const std::vector<LegendRow>& rows = e.store.rows();  // P1 (7), P2 (12), L1 (-3), R1 (0)
  EXPECT_EQ(kept(rows, "AREA"), (Texts{"R1"}));         // its description
  EXPECT_EQ(kept(rows, "12"), (Texts{"P2"}));
  EXPECT_EQ(kept(rows, "-3"), (Texts{"L1"}));
}

TEST(LegendListOrder, SampleRecordsComeFromMemoryOrTheFileAndNeverCutShort) {
  std::vector<testcln::Legend> legends = MixedLegends();
  legends.push_back({"cut", "", 1, 5, testcln::block(testcln::params(1, 50)), -1, -1});
  testcln::Bytes bytes = testcln::file(legends);
  bytes.resize(bytes.size() - 30);  // the last block ends early
  Editor e(bytes);
  EXPECT_EQ(e.store.graphicRecord(2), testcln::params(2, 30));
  EXPECT_TRUE(e.store.graphicRecord(3).empty());  // a type with no record
  EXPECT_TRUE(e.store.graphicRecord(5).empty());
  EXPECT_TRUE(e.store.graphicRecord(99).empty());
  FakeDialog dialog;  // a legend the dialog gave a new block draws from that block
  dialog.answer = true;
  const std::int32_t rows[] = {0};
  e.store.editSelected(rows, dialog);
  EXPECT_TRUE(e.store.graphicRecord(0).empty());  // the 9-byte block holds no whole point record
}

}  // namespace
