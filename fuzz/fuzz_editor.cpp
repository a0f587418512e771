// Loads any bytes into the editor's store as a legend file, runs a command
// script taken from the same input over it (add, edit through the parameter
// dialog's model, delete, reset, template attributes, batch attribute
// change, saves that fail), saves, and reads the file back: it must hold
// exactly the live legends, each with the head and block the commands left.
//
// Input: byte 0 is the script's length n, bytes 1 to n the script, the rest
// the legend file. A script that runs out reads zeros.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "editor/model/editor_store.h"
#include "legendfile/byte_order.h"
#include "legendfile/header.h"
#include "legendfile/layout.h"
#include "paramdlg/model/legend_param_model.h"

namespace {

using legend::editor::EditorSaveStatus;
using legend::editor::EditorStore;
using Bytes = std::vector<std::uint8_t>;

void require(bool condition) {
  if (!condition) abort();
}

class Script {
 public:
  explicit Script(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool done() const noexcept { return at_ >= bytes_.size(); }
  std::uint8_t next() noexcept { return done() ? 0 : bytes_[at_++]; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
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
    // Whatever the outcome, the record is scribbled on: a cancel must still
    // leave it as it was.
    std::fill(record.begin(), record.end(), script_.next());
    switch (script_.next() % 3) {
      case 0: return legend::editor::RecordEditResult::Edited;
      case 1: return legend::editor::RecordEditResult::Cancelled;
      default: return legend::editor::RecordEditResult::Failed;
    }
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
    const legend::HeadRecord headBefore = [&] {
      legend::HeadRecord copy;
      std::copy(head.view().bytes().begin(), head.view().bytes().end(), copy.bytes.begin());
      return copy;
    }();
    const Bytes blockBefore = block;
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
    if ((script_.next() & 1) != 0) {
      // Cancel: nothing of the caller's has changed.
      require(block == blockBefore);
      require(std::equal(headBefore.bytes.begin(), headBefore.bytes.end(), head.view().bytes().begin()));
      return false;
    }
    const bool kept = model.structureUnreadable();
    const std::size_t params = head.view().paramSize();
    if (!model.ok()) return false;
    if (kept) {
      // An unreadable structure and its record stay as they were stored.
      const auto declared = static_cast<std::size_t>(std::max(headBefore.view().blockSize(), 0));
      const std::size_t end = std::min(blockBefore.size(), declared);
      require(block.size() == end);
      require(std::equal(blockBefore.begin() + static_cast<std::ptrdiff_t>(params),
                         blockBefore.begin() + static_cast<std::ptrdiff_t>(end),
                         block.begin() + static_cast<std::ptrdiff_t>(params)));
    }
    return true;
  }

 private:
  Script& script_;
  ScriptedEditors& editors_;
  ScriptedPrompter& prompter_;
};

// Fails one kind of call of a file replacement, every time.
class FailingOps : public legend::FileOps {
 public:
  explicit FailingOps(int which) : which_(which % 4) {}
  int openNew(const std::string& path, unsigned mode) override {
    return which_ == 0 ? fail() : FileOps::openNew(path, mode);
  }
  long write(int fd, const std::uint8_t* data, std::size_t length) override {
    return which_ == 1 ? fail() : FileOps::write(fd, data, length);
  }
  int flush(int fd) override { return which_ == 2 ? fail() : FileOps::flush(fd); }
  int rename(const std::string& from, const std::string& to) override {
    return which_ == 3 ? fail() : FileOps::rename(from, to);
  }

 private:
  static int fail() {
    errno = ENOSPC;
    return -1;
  }
  int which_;
};

// One folder for the whole run, removed at exit.
class WorkFolder {
 public:
  WorkFolder() {
    std::string name = (std::filesystem::temp_directory_path() / "legend-fuzz-editor-XXXXXX").string();
    if (mkdtemp(name.data()) == nullptr) abort();
    folder_ = name;
  }
  ~WorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string file() const { return (folder_ / "in.CLN").string(); }

 private:
  std::filesystem::path folder_;
};

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  require(out.good());
}

std::vector<std::int32_t> pickRows(Script& script, const EditorStore& store, int most) {
  std::vector<std::int32_t> rows;
  for (int n = script.next() % (most + 1); n > 0; --n)
    rows.push_back(static_cast<std::int32_t>(script.next() % (store.rows().size() + 1)));
  std::sort(rows.begin(), rows.end());
  return rows;
}

void checkCounts(const EditorStore& store) {
  const auto live = std::count_if(store.items().begin(), store.items().end(), [](const auto& i) { return i.keep; });
  require(live == store.liveCount());
  require(store.liveCount() <= legend::layout::kMaxLegends);
  require(static_cast<std::size_t>(store.totalListed()) == store.rows().size());
}

struct Expected {
  legend::HeadRecord head;
  Bytes block;
};

/// Every live legend as the save must write it; false when a block is in
/// neither memory nor the loaded file, which the save must refuse.
bool expectedLegends(const EditorStore& store, std::span<const std::uint8_t> loaded, std::vector<Expected>& out) {
  const std::uint64_t dataArea = legend::layout::data_area_offset(store.fileLegendCount());
  for (std::size_t i = 0; i < store.items().size(); ++i) {
    const auto& item = store.items()[i];
    if (!item.keep) continue;
    Expected legend{item.head, {}};
    if (item.blockInMemory()) {
      const auto block = store.blockBytes(static_cast<std::int32_t>(i));
      legend.block.assign(block.begin(), block.end());
    } else {
      const auto view = item.head.view();
      const std::uint64_t start = dataArea + view.blockOffset();
      if (view.blockSize() < 0 || start + static_cast<std::uint64_t>(view.blockSize()) > loaded.size()) return false;
      legend.block.assign(loaded.begin() + static_cast<std::ptrdiff_t>(start),
                          loaded.begin() + static_cast<std::ptrdiff_t>(start + view.blockSize()));
    }
    out.push_back(std::move(legend));
  }
  return true;
}

void checkWritten(const Bytes& file, std::vector<Expected>& expected) {
  const auto header = legend::makeHeader();
  require(file.size() >= legend::layout::kPreambleSize);
  require(std::equal(header.begin(), header.end(), file.begin()));
  require(legend::load_le<std::int32_t>(file, legend::layout::kCountOffset) ==
          static_cast<std::int32_t>(expected.size()));
  const std::uint64_t dataArea = legend::layout::data_area_offset(static_cast<std::int64_t>(expected.size()));
  std::uint64_t running = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    legend::HeadRef head = expected[i].head.ref();
    head.setBlockOffset(static_cast<std::uint32_t>(running));
    head.setBlockSize(static_cast<std::int32_t>(expected[i].block.size()));
    const std::uint64_t headAt = legend::layout::head_offset(static_cast<std::int64_t>(i));
    require(std::equal(expected[i].head.bytes.begin(), expected[i].head.bytes.end(),
                       file.begin() + static_cast<std::ptrdiff_t>(headAt)));
    require(dataArea + running + expected[i].block.size() <= file.size());
    require(std::equal(expected[i].block.begin(), expected[i].block.end(),
                       file.begin() + static_cast<std::ptrdiff_t>(dataArea + running)));
    running += expected[i].block.size();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const WorkFolder folder;
  const std::string path = folder.file();
  const std::size_t scriptSize = std::min<std::size_t>(data[0], size - 1);
  Script script({data + 1, scriptSize});
  const std::span<const std::uint8_t> loaded(data + 1 + scriptSize, size - 1 - scriptSize);
  writeFile(path, loaded);
  Bytes onDisk(loaded.begin(), loaded.end());

  ScriptedPrompter prompter(script);
  ScriptedEditors editors(script);
  ModelDialog dialog(script, editors, prompter);
  EditorStore store(prompter);
  store.load(path);
  store.open();
  checkCounts(store);

  while (!script.done()) {
    switch (script.next() % 9) {
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
      case 7: store.batchAttributeChange(pickRows(script, store, 3)); break;
      default: {
        FailingOps ops(script.next());
        if (store.commit(ops) == EditorSaveStatus::Ok)
          onDisk = readFile(path);
        else
          require(readFile(path) == onDisk);
        break;
      }
    }
    checkCounts(store);
  }

  std::vector<Expected> expected;
  const bool complete = expectedLegends(store, loaded, expected);
  const EditorSaveStatus status = store.commit();
  if (!complete) {
    require(status != EditorSaveStatus::Ok);
    require(readFile(path) == onDisk);
    return 0;
  }
  require(status == EditorSaveStatus::Ok);
  require(!store.modified());
  checkWritten(readFile(path), expected);

  // The editor opens what it wrote, without a word.
  Script silent({});
  ScriptedPrompter quiet(silent);
  EditorStore reloaded(quiet);
  reloaded.load(path);
  require(quiet.messages == 0);
  require(reloaded.liveCount() == static_cast<std::int32_t>(expected.size()));
  return 0;
}
