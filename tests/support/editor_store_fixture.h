#pragma once
// What the editor store's tests share: a prompter, area editors and a
// parameter dialog that record their calls, a list sink, and an Editor that
// loads a legend file built byte by byte into a store.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/attstru/att_stru.h"
#include "editor/model/editor_store.h"
#include "support/cln_builder.h"
#include "support/scripted_prompter.h"
#include "support/stamping_editors.h"

namespace editortest {

using legend::editor::EditorStore;
using legend::editor::LegendListSink;
using legend::editor::LegendRow;
using legend::editor::ParamDialogRunner;
using testcln::Bytes;
using Texts = std::vector<std::string>;

using Prompter = testcln::ScriptedPrompter;

using FakeEditors = testcln::StampingEditors;

// Stands in for the parameter dialog: renames the legend and, on OK,
// replaces the block with a 9-byte marker block.
class FakeDialog : public ParamDialogRunner {
 public:
  bool answer = true;
  int runs = 0;
  Bytes blockOnEntry;
  bool run(legend::HeadRef head, std::vector<std::uint8_t>& block, bool attributeEditing) override {
    ++runs;
    EXPECT_TRUE(attributeEditing);
    blockOnEntry = block;
    if (!answer) return false;
    head.setName("edited");
    block.assign(9, 0x5A);
    head.setBlockSize(9);
    return true;
  }
};

/// A list that takes every row, so the store builds its list as for a window.
class AcceptingSink : public LegendListSink {
 public:
  void clear() override {}
  bool insertRow(std::int32_t, const LegendRow&) override { return true; }
  void setCurrentRow(std::int32_t) override {}
  void changeRow(std::int32_t, const LegendRow&) override {}
};

inline std::unique_ptr<CATT_STRU> Structure24() {
  auto s = std::make_unique<CATT_STRU>();
  EXPECT_EQ(s->AddFld({"ID", AttFieldType::Int32, 4}), AttStatus::Ok);
  EXPECT_EQ(s->AddFld({"NAME", AttFieldType::Text, 20}), AttStatus::Ok);
  return s;
}

inline Bytes BytesOf(std::span<const std::uint8_t> s) { return Bytes(s.begin(), s.end()); }
inline std::int32_t I32(const Bytes& b, std::size_t at) { return static_cast<std::int32_t>(testcln::get32At(b, at)); }
// Point "P1" (102), line "L1" (75), region "R1" (71), a type-3 legend, point "P2".
inline std::vector<testcln::Legend> MixedLegends() {
  return {
      {"P1", "first", 1, 7, testcln::block(testcln::params(1, 10))},
      {"L1", "line", 0, -3, testcln::block(testcln::params(0, 20))},
      {"R1", "area", 2, 0, testcln::block(testcln::params(2, 30))},
      {"X", "odd", 3, 1, testcln::block({})},
      {"P2", "second", 1, 12, testcln::block(testcln::params(1, 40))},
  };
}

struct Editor {
  testcln::TempDir dir;
  std::filesystem::path file = dir / "a.CLN";
  Prompter prompter;
  AcceptingSink sink;
  EditorStore store{prompter};

  explicit Editor(const Bytes& bytes, bool open = true) {
    testcln::write(file, bytes);
    init(file.string(), open);
  }
  Editor() { init({}, true); }
  void init(const std::string& path, bool open) {
    store.setListSink(&sink);
    store.load(path);
    if (open) store.open();
  }
  Texts rowNames() const {
    Texts names;
    for (const LegendRow& r : store.rows()) names.push_back(r.name);
    return names;
  }
  Bytes block(std::int32_t index) const {
    const auto b = store.blockBytes(index);
    return Bytes(b.begin(), b.end());
  }
};

inline std::vector<std::int32_t> Rows(std::initializer_list<std::int32_t> rows) { return rows; }

}  // namespace editortest
