// The editor's store without its window: loading, the list and selection,
// the template and the commands that add, edit, delete and give attributes.
// The save is in test_editor_save.cpp.
#include "editor/model/editor_store.h"

#include <gtest/gtest.h>

#include "editor/model/editor_messages.h"
#include "legendfile/messages.h"
#include "support/editor_store_fixture.h"

namespace {

using namespace editortest;
namespace msg = legend::messages;
namespace tx = legend::editor::texts;
using legend::editor::EditorSaveStatus;

TEST(EditorStoreLoad, ListsPointsThenLinesThenRegionsAndKeepsUnknownTypesUnlisted) {
  Editor e(testcln::file(MixedLegends()));
  EXPECT_TRUE(e.prompter.shown.empty());
  EXPECT_EQ(e.store.liveCount(), 5);
  EXPECT_EQ(e.store.otherCount(), 1);
  EXPECT_EQ(e.rowNames(), (Texts{"P1", "P2", "L1", "R1"}));
  const LegendRow& line = e.store.rows()[2];
  EXPECT_EQ(line.legendIndex, 1);
  EXPECT_EQ(line.image, 1);
  // Nothing is read from the data area before a command needs it.
  for (const auto& item : e.store.items()) EXPECT_FALSE(item.blockInMemory());
}

// The message stays the described one; the reason the file inspection finds
// comes beneath it with the path (each kind of damage is the inspection's test).
TEST(EditorStoreLoad, AFailureLeavesAnEmptyStoreWithItsMessageThePathAndTheReason) {
  Bytes cutHeads = testcln::file(MixedLegends());
  cutHeads.resize(16 + 333 * 4);
  Editor e(cutHeads);
  EXPECT_EQ(e.prompter.shown, Texts{msg::text(legend::LegendStatus::IllegalLegendFile)});
  EXPECT_EQ(e.prompter.details, Texts{e.file.string() + "\n图例头记录超出了文件末尾。"});
  EXPECT_EQ(e.store.liveCount(), 0);
  EXPECT_TRUE(e.store.rows().empty());
}

TEST(EditorStoreAdd, MakesALegendFromTheTemplateAsTheLastOfItsGroup) {
  Editor e(testcln::file(MixedLegends()));
  FakeEditors editors;
  editors.prepared = Structure24();
  e.store.editAttributeStructure(editors);  // a structure, but the box is unchecked
  e.store.setTypeChoice(EditorStore::kPointChoice);
  ASSERT_TRUE(e.store.setTemplateName("new"));
  EXPECT_FALSE(e.store.setTemplateName(std::string(128, 'n')));
  EXPECT_EQ(e.prompter.shown, Texts{std::string(msg::kTextTooLong)});
  e.store.setTemplateClassCode("0012");
  e.store.selectionChanged(Rows({2}));
  e.store.addFromTemplate();
  ASSERT_EQ(e.store.items().size(), 6u);
  const auto head = e.store.items()[5].head.view();
  EXPECT_EQ(head.type(), 1);
  EXPECT_EQ(head.classCode(), 12);
  EXPECT_EQ(head.blockOffset(), 0u);
  EXPECT_EQ(head.blockSize(), 102);
  EXPECT_EQ(e.block(5), testcln::block(BytesOf(e.store.templatePoint())));
  EXPECT_EQ(e.rowNames(), (Texts{"P1", "P2", "new", "L1", "R1"}));
}

TEST(EditorStoreAdd, WithTheBoxCheckedCarriesStructureAndRecord) {
  Editor e;
  FakeEditors editors;
  editors.prepared = Structure24();
  e.store.editAttributeStructure(editors);
  e.store.editAttributeContent(editors);  // fills the record with 0xAB
  e.store.setAttributesEnabled(true);
  e.store.setTypeChoice(EditorStore::kLineChoice);
  e.store.addFromTemplate();
  const Bytes expected = testcln::block(BytesOf(e.store.templateLine()),
                                        testcln::structure({{"ID", 4, 4}, {"NAME", 1, 20}}), Bytes(24, 0xAB));
  EXPECT_EQ(e.block(0), expected);
}

TEST(EditorStoreEdit, LoadedLegendOwnsTheDialogsBlockOnlyAfterOk) {
  const auto legends = MixedLegends();
  Editor e(testcln::file(legends));
  FakeDialog dialog;
  e.store.editSelected(Rows({}), dialog);
  EXPECT_EQ(dialog.runs, 0);
  dialog.answer = false;
  e.store.editSelected(Rows({2}), dialog);  // row 2 is legend 1, the line
  EXPECT_EQ(dialog.blockOnEntry, legends[1].block);
  EXPECT_FALSE(e.store.items()[1].blockInMemory());
  dialog.answer = true;
  e.store.editSelected(Rows({2}), dialog);
  EXPECT_EQ(dialog.blockOnEntry, legends[1].block);
  EXPECT_TRUE(e.store.items()[1].editedBlock());
  EXPECT_EQ(e.block(1), Bytes(9, 0x5A));
  EXPECT_EQ(e.store.rows()[2].sizeText(), "9字节");
  // A second edit works on the block the legend now owns.
  e.store.editSelected(Rows({2}), dialog);
  EXPECT_EQ(dialog.blockOnEntry, Bytes(9, 0x5A));
}

TEST(EditorStoreDelete, AsksOnlyForSeveralRowsAndKeepsTheItemsInPlace) {
  Editor e(testcln::file(MixedLegends()));
  FakeDialog dialog;
  e.store.editSelected(Rows({1}), dialog);
  e.store.deleteSelected(Rows({1}));  // P2, no question
  EXPECT_FALSE(e.store.items()[4].blockInMemory());
  EXPECT_TRUE(e.prompter.shown.empty());
  EXPECT_EQ(e.store.pointList(), (std::vector<std::int32_t>{0, -1}));
  EXPECT_EQ(e.rowNames(), (Texts{"P1", "L1", "R1"}));
  e.prompter.expectedDefault = false;
  e.prompter.answers = {false, true};
  e.store.deleteSelected(Rows({0, 1, 2}));
  EXPECT_EQ(e.prompter.shown, Texts{"是否要删除所选的3个图例?"});
  EXPECT_EQ(e.store.liveCount(), 4);
  e.store.deleteSelected(Rows({0, 1, 1, 2}));  // a row named twice counts once
  EXPECT_EQ(e.store.liveCount(), 1);
  EXPECT_EQ(e.store.totalListed(), 0);
  EXPECT_EQ(e.store.currentRow(), 0);
  // A legend added after a deletion gets a new index at the end.
  e.store.setTypeChoice(EditorStore::kPointChoice);
  e.store.addFromTemplate();
  EXPECT_EQ(e.store.rows()[0].legendIndex, 5);
  EXPECT_EQ(e.store.pointList(), (std::vector<std::int32_t>{-1, -1, 5}));
}

TEST(EditorStoreAttributes, ContentNeedsFieldsAndANewStructureAsksBeforeDroppingARecord) {
  Editor e;
  FakeEditors editors;
  e.store.editAttributeContent(editors);
  EXPECT_EQ(e.prompter.shown, Texts{std::string(msg::kStructureEmpty)});
  ASSERT_NE(e.store.templateStructure(), nullptr);  // the empty structure stays
  EXPECT_TRUE(editors.calls.empty());
  editors.prepared = Structure24();
  e.store.editAttributeStructure(editors);
  EXPECT_EQ(*e.store.templateStructure(), *editors.prepared);
  e.store.editAttributeContent(editors);
  EXPECT_EQ(e.store.templateRecord(), Bytes(24, 0xAB));
  e.prompter.shown.clear();
  editors.prepared = std::make_unique<CATT_STRU>();
  ASSERT_EQ(editors.prepared->AddFld({"K", AttFieldType::Int8, 1}), AttStatus::Ok);
  e.prompter.expectedDefault = false;
  e.prompter.answers = {false, true};
  e.store.editAttributeStructure(editors);
  EXPECT_EQ(e.store.templateRecord(), Bytes(24, 0xAB));
  EXPECT_EQ(e.store.templateStructure()->FieldCount(), 2);
  e.store.editAttributeStructure(editors);
  EXPECT_EQ(e.store.templateRecord(), Bytes(1, 0));
  EXPECT_EQ(e.prompter.shown, Texts(2, std::string(msg::kStructureChangeLosesRecord)));
}

TEST(EditorStoreBatch, GivesEachSelectedLegendTheTemplateAttributesKeepingItsParameters) {
  auto legends = MixedLegends();
  legends[1].block = testcln::block(testcln::params(0, 20), testcln::structure({{"A", 2, 1}}), Bytes{9});
  Editor e(testcln::file(legends));
  e.store.batchAttributeChange(Rows({}));
  EXPECT_EQ(e.prompter.shown, Texts{std::string(tx::kBatchNothingSelected)});
  e.prompter.expectedDefault = true;
  e.prompter.answers = {false};
  e.store.batchAttributeChange(Rows({0, 2}));
  EXPECT_EQ(e.prompter.shown.back(), "属性结构为空!\n属性记录为空!\n是否把所选的2个文件的属性数据以当前值赋值?");
  for (const auto& item : e.store.items()) EXPECT_FALSE(item.blockInMemory());
  EXPECT_FALSE(e.store.modified());
  e.prompter.shown.clear();
  FakeEditors editors;
  editors.prepared = Structure24();
  e.store.editAttributeStructure(editors);
  e.store.editAttributeContent(editors);
  FakeDialog dialog;
  e.store.editSelected(Rows({3}), dialog);  // R1 now owns a 9-byte block of 0x5A
  e.prompter.answers = {true};
  e.store.batchAttributeChange(Rows({2, 3}));
  const Bytes structure = testcln::structure({{"ID", 4, 4}, {"NAME", 1, 20}});
  // The line's parameters come from the file; the region's from its own block.
  EXPECT_EQ(e.block(1), testcln::block(testcln::params(0, 20), structure, Bytes(24, 0xAB)));
  Bytes regionParams(9, 0x5A);
  regionParams.resize(63, 0);
  EXPECT_EQ(e.block(2), testcln::block(regionParams, structure, Bytes(24, 0xAB)));
  EXPECT_TRUE(e.store.items()[1].editedBlock());
  EXPECT_EQ(e.store.items()[1].head.view().blockSize(), 67 + 8 + 32 + 24);
  // Without attributes the blocks shrink to P + 8.
  e.store.resetTemplate();
  e.prompter.answers = {true};
  e.store.batchAttributeChange(Rows({0}));
  EXPECT_EQ(e.block(0), testcln::block(testcln::params(1, 10)));
}

TEST(EditorStoreBatch, LegendWhoseParametersCannotBeReadIsSkipped) {
  Bytes bytes = testcln::file(MixedLegends());
  testcln::put32At(bytes, 16 + 333 * 2 + 257, 100000);  // R1 lies past the end of the file
  Editor e(bytes);
  e.prompter.answers = {true};
  e.store.batchAttributeChange(Rows({0, 3}));
  EXPECT_EQ(e.prompter.shown.back(), tx::kEditReadFailed);
  EXPECT_FALSE(e.store.items()[2].blockInMemory());
  EXPECT_TRUE(e.store.items()[0].editedBlock());
}

TEST(EditorStoreAdd, RefusesALegendPastWhatALegendFileHolds) {
  // One point legend and 32766 of an unlisted type: the list stays short.
  std::vector<testcln::Legend> legends(32767, testcln::Legend{"", "", 3, 0, testcln::block({})});
  legends[0] = {"P", "", 1, 0, testcln::block(testcln::params(1, 1))};
  Editor e(testcln::file(legends));
  e.store.addFromTemplate();
  EXPECT_EQ(e.prompter.shown, Texts{std::string(tx::kLegendLimit)});
  EXPECT_FALSE(e.store.modified());
  e.store.deleteSelected(Rows({0}));
  e.store.addFromTemplate();
  EXPECT_EQ(e.store.liveCount(), 32767);
  ASSERT_EQ(e.store.commit(), EditorSaveStatus::Ok);
  Editor again(testcln::read(e.file));
  EXPECT_EQ(again.store.liveCount(), 32767);
  EXPECT_EQ(again.prompter.shown, Texts{});
}

}  // namespace
