// Loads any bytes into the editor's store as a legend file, runs a command
// script taken from the same input over it, saves, and reads the file back:
// the editor must open what it wrote without a word, holding the live legends.
//
// Input: byte 0 is the script's length n, bytes 1 to n the script, the rest
// the legend file. A script that runs out reads zeros.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "editor/model/editor_store.h"
#include "legendfile/layout.h"
#include "paramdlg/model/legend_param_model.h"

namespace {

using legend::editor::EditorSaveStatus;
using legend::editor::EditorStore;

void require(bool condition) {
  if (!condition) abort();
}

struct Script {
  std::span<const std::uint8_t> bytes;
  std::size_t at = 0;
  bool done() const noexcept { return at >= bytes.size(); }
  std::uint8_t next() noexcept { return done() ? 0 : bytes[at++]; }
};

class ScriptedPrompter : public legend::Prompter {
 public:
  explicit ScriptedPrompter(Script& script) : script_(script) {}
  void inform(std::string_view) override { ++messages; }
  bool askYesNo(std::string_view, bool) override { return (script_.next() & 1) != 0; }
  int messages = 0;

 private:
  Script& script_;
};

class ScriptedEditors : public legend::editor::AreaEditors {
 public:
  explicit ScriptedEditors(Script& script) : script_(script) {}
  void EditPntInfo(std::span<std::uint8_t, 94> r, std::string_view) override { poke(r); }
  void EditLinInfo(std::span<std::uint8_t, 67> r, std::string_view) override { poke(r); }
  void EditRegInfo(std::span<std::uint8_t, 63> r, std::string_view) override { poke(r); }
  std::optional<CATT_STRU> editAttributeStructure(const CATT_STRU*) override {
    const int fields = script_.next() % 4;
    if (fields == 0) return std::nullopt;
    CATT_STRU edited;
    for (int i = 0; i < fields; ++i) {
      const auto type = static_cast<AttFieldType>(script_.next() % 9 + 1);
      const std::int32_t length = type == AttFieldType::Text ? script_.next() % 8 + 1 : AttFieldWidth(type);
      edited.AddFld({"F" + std::to_string(i), type, length});
    }
    return edited;
  }
  legend::editor::RecordEditResult EditAttRecord(CATT_STRU&, std::span<std::uint8_t> record,
                                                 std::string_view) override {
    // The record is scribbled on whatever the outcome: a cancel must still leave it as it was.
    std::fill(record.begin(), record.end(), script_.next());
    return static_cast<legend::editor::RecordEditResult>(script_.next() % 3);
  }

 private:
  void poke(std::span<std::uint8_t> r) { r[script_.next() % r.size()] = script_.next(); }
  Script& script_;
};

// The parameter dialog as the user drives it: a few commands, then OK or Cancel.
class ModelDialog : public legend::editor::ParamDialogRunner {
 public:
  ModelDialog(Script& script, ScriptedEditors& editors, ScriptedPrompter& prompter)
      : script_(script), editors_(editors), prompter_(prompter) {}
  bool run(legend::HeadRef head, std::vector<std::uint8_t>& block, bool attributeEditing) override {
    const std::vector<std::uint8_t> headBefore(head.view().bytes().begin(), head.view().bytes().end());
    const std::vector<std::uint8_t> blockBefore = block;
    legend::editor::LegendParamModel model(head, block, attributeEditing, editors_, prompter_);
    model.open();
    for (int steps = script_.next() % 5; steps > 0; --steps) {
      switch (script_.next() % 5) {
        case 0: model.editGraphicParameters(); break;
        case 1: model.editAttributeStructure(); break;
        case 2: model.editAttributeContent(); break;
        case 3: model.setDefault(); break;
        default: model.setName(std::string(script_.next() % 4, 'n')); break;
      }
    }
    if ((script_.next() & 1) == 0) return model.ok();
    // Cancel: nothing of the caller's has changed.
    require(block == blockBefore);
    require(std::equal(headBefore.begin(), headBefore.end(), head.view().bytes().begin()));
    return false;
  }

 private:
  Script& script_;
  ScriptedEditors& editors_;
  ScriptedPrompter& prompter_;
};

std::vector<std::int32_t> pickRows(Script& script, const EditorStore& store, int most) {
  std::vector<std::int32_t> rows;  // sorted, as the list's selection comes
  for (int n = script.next() % (most + 1); n > 0; --n)
    rows.push_back(static_cast<std::int32_t>(script.next() % (store.rows().size() + 1)));
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string path =
      (std::filesystem::temp_directory_path() / ("legend-fuzz-editor-" + std::to_string(::getpid()) + ".CLN")).string();
  const std::size_t scriptSize = std::min<std::size_t>(data[0], size - 1);
  Script script{{data + 1, scriptSize}};
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 1 + scriptSize),
              static_cast<std::streamsize>(size - 1 - scriptSize));
    require(out.good());
  }

  ScriptedPrompter prompter(script);
  ScriptedEditors editors(script);
  ModelDialog dialog(script, editors, prompter);
  EditorStore store(prompter);
  store.load(path);
  store.open();
  while (!script.done()) {
    switch (script.next() % 8) {
      case 0:
        store.setTypeChoice(script.next() % 4);
        store.setAttributesEnabled((script.next() & 1) != 0);
        store.setTemplateName(std::string(script.next() % 4, 'a'));
        store.setTemplateClassCode(std::to_string(static_cast<std::int8_t>(script.next())));
        store.addFromTemplate();
        break;
      case 1: store.editSelected(pickRows(script, store, 1), dialog); break;
      case 2: store.deleteSelected(pickRows(script, store, 3)); break;
      case 3: store.resetTemplate(); break;
      case 4:
        store.setTypeChoice(script.next() % 4);
        store.editTemplateParameters(editors);
        break;
      case 5: store.editAttributeStructure(editors); break;
      case 6: store.editAttributeContent(editors); break;
      default: store.batchAttributeChange(pickRows(script, store, 3)); break;
    }
    require(store.liveCount() <= legend::layout::kMaxLegends);
    require(static_cast<std::size_t>(store.totalListed()) == store.rows().size());
  }

  const std::int32_t live = store.liveCount();
  if (store.commit() == EditorSaveStatus::Ok) {
    require(!store.modified());
    Script silent;
    ScriptedPrompter quiet(silent);
    EditorStore reloaded(quiet);
    reloaded.load(path);
    require(quiet.messages == 0);
    require(reloaded.liveCount() == live);
  }
  std::filesystem::remove(path);
  return 0;
}
