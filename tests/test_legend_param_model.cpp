// Legend parameter dialog model: what reaches the caller's head record and
// block on OK and on Cancel, reading hostile blocks, and the attribute
// commands, driven through a scripted prompter and a fake component.
#include "paramdlg/model/legend_param_model.h"

#include <gtest/gtest.h>

#include <climits>

#include "legendfile/messages.h"
#include "support/cln_builder.h"
#include "support/editor_store_fixture.h"
#include "support/scripted_prompter.h"
#include "support/stamping_editors.h"

namespace {

namespace msg = legend::messages;
using legend::editor::LegendParamModel;
using editortest::Structure24;
using testcln::Bytes;

// Fields ID (int32) and NAME (text 20): a record of 24 bytes.
const std::vector<testcln::Field> kFields24 = {{"ID", 4, 4}, {"NAME", 1, 20}};

struct Fixture {
  legend::HeadRecord head;
  Bytes block;
  testcln::ScriptedPrompter prompter;
  testcln::StampingEditors editors;
  std::unique_ptr<LegendParamModel> model;

  // The head comes out of a whole file built by the test builder.
  Fixture(std::int8_t type, Bytes blockBytes, bool attributeEditing, std::int64_t blockSize = -1)
      : block(std::move(blockBytes)) {
    prompter.expectedDefault = false;  // every question of the dialog defaults to No
    const Bytes file = testcln::file({{"name", "desc", type, 42, block, -1, blockSize, {}}});
    std::copy_n(file.begin() + 16, 333, head.bytes.begin());
    model = std::make_unique<LegendParamModel>(head.ref(), block, attributeEditing, editors, prompter);
    model->open();
  }
  Bytes headBytes() const { return Bytes(head.bytes.begin(), head.bytes.end()); }
};

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(LegendParamModel, PointLegendFromPadWritesOnlyTheParameterRecordOnOk) {
  const Bytes original = testcln::block(testcln::params(1, 10), testcln::structure(kFields24), Bytes(24, 7));
  Fixture f(1, original, false);
  EXPECT_FALSE(f.model->attributeButtonsEnabled());
  EXPECT_EQ(f.model->attributeStructure(), nullptr);
  f.model->editGraphicParameters();
  EXPECT_EQ(f.editors.calls, std::vector<std::string>{"点图例参数编辑"});
  f.model->setName(std::string(127, 'n'));  // the longest name
  ASSERT_TRUE(f.model->ok());
  Bytes expected = original;
  expected[0] = 0xEE;
  EXPECT_EQ(f.block, expected);
  EXPECT_EQ(f.head.view().blockSize(), static_cast<std::int32_t>(original.size()));
  EXPECT_EQ(f.head.view().name(), std::string(127, 'n'));
  EXPECT_EQ(f.head.view().classCode(), 42);
  // The pad hands over the record alone while the head declares the whole
  // block: that is no reason to complain.
  Fixture pad(1, testcln::params(1, 10), false, static_cast<std::int64_t>(original.size()));
  EXPECT_TRUE(pad.prompter.shown.empty());
  pad.model->editGraphicParameters();
  ASSERT_TRUE(pad.model->ok());
  EXPECT_EQ(pad.block.size(), 94u);
  EXPECT_EQ(pad.block[0], 0xEE);
  Fixture cut(1, Bytes(10, 1), false);  // shorter than the record: never written past
  EXPECT_EQ(cut.prompter.shown, std::vector<std::string>{std::string(msg::kParamSizeWrong)});
  ASSERT_TRUE(cut.model->ok());
  EXPECT_EQ(cut.block, Bytes(10, 1));
}

TEST(LegendParamModel, UnknownTypeCopiesNoRecordAndIgnoresParameterCommands) {
  const Bytes original(10, 9);
  Fixture f(5, original, false);
  EXPECT_EQ(f.model->typeTag(), "[未知类型]");
  f.model->editGraphicParameters();
  f.prompter.answers = {true};
  f.model->setDefault();
  EXPECT_TRUE(f.editors.calls.empty());
  ASSERT_TRUE(f.model->ok());
  EXPECT_EQ(f.block, original);
}

TEST(LegendParamModel, BlockOfParametersOnlyLoadsNoAttributesAndOkWritesOnlyTexts) {
  const Bytes original = testcln::params(0, 3);
  Fixture f(0, original, true);
  EXPECT_EQ(f.prompter.shown, std::vector<std::string>{std::string(msg::kParamSizeWrong)});
  EXPECT_EQ(f.model->attributeStructure(), nullptr);
  f.model->editAttributeContent();
  EXPECT_EQ(f.prompter.shown.back(), msg::kStructureEmpty);
  f.model->editGraphicParameters();
  f.model->setDescription("d2");
  ASSERT_TRUE(f.model->ok());
  EXPECT_EQ(f.block, original);
  EXPECT_EQ(f.head.view().description(), "d2");
}

TEST(LegendParamModel, NewStructureAsksBeforeDroppingARecord) {
  Fixture empty(1, testcln::block(testcln::params(1, 0)), true);
  empty.model->editAttributeStructure();  // component returns nothing
  empty.editors.prepared = Structure24();
  empty.model->editAttributeStructure();  // zero-length record: no question
  EXPECT_TRUE(empty.prompter.shown.empty());
  EXPECT_EQ(empty.model->attributeRecord(), Bytes(24, 0));
  Fixture f(1, testcln::block(testcln::params(1, 0), testcln::structure({{"A", 2, 1}}), Bytes{5}), true);
  f.editors.prepared = Structure24();
  f.prompter.answers = {false, true};
  f.model->editAttributeStructure();
  EXPECT_EQ(f.prompter.shown, std::vector<std::string>{std::string(msg::kStructureChangeLosesRecord)});
  EXPECT_EQ(f.model->attributeStructure()->FieldCount(), 1);
  EXPECT_EQ(f.model->attributeRecord(), Bytes{5});
  f.model->editAttributeStructure();
  EXPECT_EQ(*f.model->attributeStructure(), *f.editors.prepared);
  EXPECT_EQ(f.model->attributeRecord(), Bytes(24, 0));
  f.model->editAttributeContent();
  ASSERT_TRUE(f.model->ok());
  EXPECT_EQ(f.block, testcln::block(testcln::params(1, 0), testcln::structure(kFields24), Bytes(24, 0xAB)));
}

TEST(LegendParamModel, ClassCodeConvertsLikeADecimalConversionAndSaturates) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"abc", 0}, {"+2147483647", INT32_MAX}, {"99999999999", INT32_MAX}, {"-99999999999999999999999", INT32_MIN}};
  for (const auto& [text, code] : cases) EXPECT_EQ(legend::editor::parseClassCode(text), code) << text;
  Fixture f(1, testcln::params(1, 0), false);
  f.model->setClassCodeText("  -12abc");
  ASSERT_TRUE(f.model->ok());
  EXPECT_EQ(testcln::get32At(f.headBytes(), 265), static_cast<std::uint32_t>(-12));
}

TEST(LegendParamModel, SetDefaultOnRegionResetsTextsRecordAndEveryField) {
  const std::vector<testcln::Field> three = {{"A", 2, 1}, {"B", 2, 1}, {"C", 2, 1}};
  Fixture f(2, testcln::block(testcln::params(2, 1), testcln::structure(three), Bytes(3, 1)), true);
  f.prompter.answers = {false, true};
  f.model->setDefault();
  EXPECT_EQ(f.model->name(), "name");
  EXPECT_EQ(f.model->attributeStructure()->FieldCount(), 3);
  f.model->setDefault();
  EXPECT_EQ(f.prompter.shown, std::vector<std::string>(2, std::string(msg::kResetAllLegendInfo)));
  EXPECT_EQ(f.model->name(), "CLN");
  EXPECT_EQ(f.model->description(), "\xC7\xF8\xCD\xBC\xC0\xFD");
  EXPECT_EQ(f.model->classCodeText(), "");
  const Bytes region = Cat(Cat(Cat(testcln::le32(3), {5, 0, 0, 0, 0xC0, 0x40}), {0, 0, 0xC0, 0x40}), testcln::le32(4));
  Bytes expected = Cat(region, Bytes(63 - region.size(), 0));
  EXPECT_EQ(Bytes(f.model->regionRecord().begin(), f.model->regionRecord().end()), expected);
  EXPECT_EQ(f.model->attributeStructure()->FieldCount(), 0);
  EXPECT_FALSE(f.model->attributeRecord().has_value());
  ASSERT_TRUE(f.model->ok());
  EXPECT_EQ(f.head.view().classCode(), 0);
  EXPECT_EQ(f.block, testcln::block(expected, testcln::structure({})));
}

TEST(LegendParamModel, NothingReachesTheCallerOnCancelOrARefusedOk) {
  const Bytes original = testcln::block(testcln::params(0, 4), testcln::structure(kFields24), Bytes(24, 2));
  Fixture f(0, original, true);
  const Bytes head = f.headBytes();
  f.editors.prepared = Structure24();
  f.prompter.answers = {true, true};
  f.model->editGraphicParameters();
  f.model->editAttributeContent();
  f.model->editAttributeStructure();
  f.model->setDefault();
  f.model->setName(std::string(128, 'n'));
  EXPECT_FALSE(f.model->ok());
  EXPECT_EQ(f.prompter.shown.back(), msg::kTextTooLong);
  f.model.reset();
  EXPECT_EQ(f.block, original);
  EXPECT_EQ(f.headBytes(), head);
}

// Where each problem lies is the file inspection's test; here, which message
// each group of problems gives.
TEST(LegendParamModel, OpeningNeverReadsPastTheBlock) {
  const Bytes p = testcln::params(1, 0);
  const Bytes s = testcln::structure(kFields24);
  struct Case {
    const char* name;
    Bytes block;
    std::string_view message;
    std::int16_t fields;
  } cases[] = {
      {"S-huge", Cat(p, testcln::le32(INT32_MAX)), msg::kNegativeStructureSize, 0},
      {"R-past-end", testcln::block(p, s, Bytes(24, 1)), msg::kNegativeRecordSize, 2},
  };
  cases[1].block.pop_back();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f(1, c.block, true);
    EXPECT_EQ(f.prompter.shown, std::vector<std::string>{std::string(c.message)});
    ASSERT_NE(f.model->attributeStructure(), nullptr);
    EXPECT_EQ(f.model->attributeStructure()->FieldCount(), c.fields);
    EXPECT_FALSE(f.model->attributeRecord().has_value());
  }
}

TEST(LegendParamModel, RecordEditorGetsAFullLengthBufferAndOnlyAFailureIsReported) {
  const Bytes shortRecord = {1, 2, 3};
  const Bytes original = testcln::block(testcln::params(1, 0), testcln::structure(kFields24), shortRecord);
  Fixture f(1, original, true);
  f.editors.recordResult = legend::editor::RecordEditResult::Cancelled;
  f.model->editAttributeContent();
  EXPECT_EQ(f.editors.recordOnEntry, Cat(shortRecord, Bytes(21, 0)));
  EXPECT_TRUE(f.prompter.shown.empty()) << "leaving the record editor is no failure";
  EXPECT_EQ(f.model->attributeRecord(), shortRecord);
  ASSERT_TRUE(f.model->ok());
  EXPECT_EQ(f.block, original);
  f.editors.recordResult = legend::editor::RecordEditResult::Failed;
  f.model->editAttributeContent();
  EXPECT_EQ(f.prompter.shown, std::vector<std::string>{std::string(msg::kRecordEditFailed)});
  EXPECT_EQ(f.model->attributeRecord(), Bytes(24, 0xAB));
}

TEST(LegendParamModel, StructureTheComponentCannotReadIsKeptWithItsRecordUntilReplacedOnPurpose) {
  // Read only in part, so written back it would lose what could not be read.
  const Bytes record = {1, 2, 3, 4, 5}, structure = Cat(testcln::structure(kFields24), {0xEE, 0xEE});
  {
    const Bytes original = testcln::block(testcln::params(2, 1), structure, record);
    Fixture f(2, original, true);
    EXPECT_EQ(f.prompter.shown, std::vector<std::string>{std::string(msg::kStructureUnreadable)});
    EXPECT_TRUE(f.model->structureUnreadable());
    // 属性内容 says why it cannot; 属性结构 asks first and opens nothing on No.
    f.model->editAttributeContent();
    EXPECT_EQ(f.prompter.shown.back(), msg::kUnreadableStructureContent);
    f.editors.prepared = Structure24();
    f.prompter.answers = {false};
    f.model->editAttributeStructure();
    EXPECT_EQ(f.prompter.shown.back(), msg::kReplaceUnreadableStructure);
    EXPECT_TRUE(f.editors.calls.empty());
    f.model->editGraphicParameters();
    f.model->setName("kept");
    ASSERT_TRUE(f.model->ok());
    Bytes expected = original;
    expected[0] = 0xEE;
    EXPECT_EQ(f.block, expected);
    EXPECT_EQ(f.head.view().blockSize(), static_cast<std::int32_t>(expected.size()));
  }
  // Agreed to, the new structure replaces it without the record question.
  Fixture f(2, testcln::block(testcln::params(2, 1), structure, record), true);
  f.editors.prepared = Structure24();
  f.prompter.answers = {true};
  f.model->editAttributeStructure();
  EXPECT_FALSE(f.model->structureUnreadable());
  EXPECT_EQ(f.model->attributeRecord(), Bytes(24, 0));
  ASSERT_TRUE(f.model->ok());
  EXPECT_EQ(f.block, testcln::block(testcln::params(2, 1), testcln::structure(kFields24), Bytes(24, 0)));
  // 设为默认值 resets the attributes too, as it says it will.
  Fixture reset(2, testcln::block(testcln::params(2, 1), structure, record), true);
  reset.prompter.answers = {true};
  reset.model->setDefault();
  ASSERT_TRUE(reset.model->ok());
  EXPECT_EQ(reset.block.size(), 63u + 8 + testcln::structure({}).size());
}

}  // namespace
