// The editor's save: what it writes, byte by byte, and what it does when it
// cannot.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <string>

#include "editor/model/editor_messages.h"
#include "legendfile/file_name.h"
#include "legendfile/messages.h"
#include "support/editor_store_fixture.h"

namespace {

using namespace editortest;
namespace msg = legend::messages;
namespace tx = legend::editor::texts;
using legend::editor::EditorSaveStatus;

struct FullDisk : legend::FileOps {
  int failures = 1;
  long write(int fd, const std::uint8_t* data, std::size_t length) override {
    if (failures > 0) {
      --failures;
      errno = ENOSPC;
      return -1;
    }
    return legend::FileOps::write(fd, data, length);
  }
};

TEST(EditorSave, PacksTheLiveLegendsBlocksInFileOrderAfterTheHeadsAndKeepsTheOldTail) {
  std::vector<testcln::Legend> legends = {
      {"far", "", 0, 0, testcln::block(testcln::params(0, 50)), 400},
      {"near", "", 1, 0, testcln::block(testcln::params(1, 60)), 0},
      {"gone", "", 2, 0, testcln::block(testcln::params(2, 30)), 110},
      {"mid", "", 1, 0, testcln::block(testcln::params(1, 70)), 200},
  };
  legends[0].reserved = Bytes(64, 0x77);
  const Bytes old = testcln::file(legends);
  Editor e(old);
  e.store.deleteSelected(Rows({3}));  // rows: near, mid (points), far (line), gone (region)
  ASSERT_EQ(e.store.save(), EditorSaveStatus::Ok);
  EXPECT_TRUE(e.prompter.shown.empty());
  EXPECT_TRUE(e.store.dataAreaBuffer().empty());  // read straight into the new file, held nowhere else
  legends.erase(legends.begin() + 2);
  for (testcln::Legend& legend : legends) legend.blockOffset = -1;
  Bytes expected = testcln::file(legends);
  expected.insert(expected.end(), old.begin() + static_cast<std::ptrdiff_t>(expected.size()), old.end());
  EXPECT_EQ(testcln::read(e.file), expected);
  EXPECT_EQ(e.dir.entries(), std::set<std::string>{"a.CLN"});
}

TEST(EditorSave, WritesAddedAndEditedBlocksFromMemory) {
  Editor e(testcln::file(MixedLegends()));
  FakeDialog dialog;
  e.store.editSelected(Rows({2}), dialog);  // L1 → 9 bytes of 0x5A, named "edited"
  ASSERT_TRUE(e.store.setTemplateName("added"));
  e.store.addFromTemplate();
  ASSERT_EQ(e.store.save(), EditorSaveStatus::Ok);
  auto legends = MixedLegends();
  legends[1].name = "edited";
  legends[1].block = Bytes(9, 0x5A);
  legends.push_back({"added", "", 1, 0, testcln::block(BytesOf(e.store.templatePoint()))});
  EXPECT_EQ(testcln::read(e.file), testcln::file(legends));
}

TEST(EditorSave, UnreadableBlockOpensNoDialogRefusesTheSaveAndLeavesTheFileAsItWas) {
  auto legends = MixedLegends();
  legends[2].blockSize = -4;
  Editor negative(testcln::file(legends));
  EXPECT_EQ(negative.store.save(), EditorSaveStatus::BlockUnreadable);
  legends[2].blockSize = 100000;  // R1 reaching past the end of the file
  const Bytes old = testcln::file(legends);
  Editor e(old);
  FakeDialog dialog;
  e.store.editSelected(Rows({3}), dialog);
  EXPECT_EQ(dialog.runs, 0);
  EXPECT_FALSE(e.store.items()[2].blockInMemory());
  e.store.addFromTemplate();
  EXPECT_EQ(e.store.save(), EditorSaveStatus::BlockUnreadable);
  EXPECT_EQ(e.prompter.shown, (Texts{std::string(tx::kEditReadFailed), std::string(tx::kSaveBlockUnreadable)}));
  EXPECT_EQ(testcln::read(e.file), old);
  EXPECT_EQ(e.dir.entries(), std::set<std::string>{"a.CLN"});
  // Deleted, it no longer stands in the way.
  e.store.deleteSelected(Rows({4}));  // rows: P1, P2, new, L1, R1
  EXPECT_EQ(e.store.save(), EditorSaveStatus::Ok);
  EXPECT_EQ(I32(testcln::read(e.file), 12), 5);
}

TEST(EditorSave, AFailedCommitChangesNothingSoARetryWritesWhatAFirstSaveWould) {
  const Bytes old = testcln::file(MixedLegends());
  // The same commands, before and after a failed commit, on two stores of one file.
  const auto before = [](Editor& e, ParamDialogRunner& dialog) {
    e.store.deleteSelected(Rows({0}));        // P1: every later block moves
    e.store.editSelected(Rows({2}), dialog);  // R1, now owning its block
  };
  const auto after = [](Editor& e, ParamDialogRunner& dialog, FakeEditors& editors) {
    editors.prepared = Structure24();
    e.store.editAttributeStructure(editors);
    e.prompter.answers = {true};
    e.store.batchAttributeChange(Rows({1}));  // L1, a block borrowed by the failed save
    e.store.editSelected(Rows({0}), dialog);  // P2, borrowed too
    e.store.addFromTemplate();
  };
  Editor failing(old);
  FakeDialog dialog;
  FakeEditors editors;
  before(failing, dialog);
  std::vector<legend::HeadRecord> heads;
  for (const auto& item : failing.store.items()) heads.push_back(item.head);
  FullDisk disk;
  EXPECT_EQ(failing.store.commit(disk), EditorSaveStatus::WriteFailed);
  EXPECT_EQ(failing.prompter.shown, Texts{msg::text(legend::LegendStatus::WriteFailed, failing.file.string())});
  EXPECT_EQ(testcln::read(failing.file), old);
  EXPECT_EQ(failing.dir.entries(), std::set<std::string>{"a.CLN"});
  EXPECT_TRUE(failing.store.modified());
  for (std::size_t i = 0; i < heads.size(); ++i)
    EXPECT_EQ(failing.store.items()[i].head.bytes, heads[i].bytes) << "head " << i << " describes the loaded file";
  // An in-place write that failed half way leaves other bytes in the loaded
  // file: the blocks the save read must not be read from it again.
  const std::string garbage(old.size(), '\xEE');
  std::fstream(failing.file, std::ios::binary | std::ios::in | std::ios::out)
      .write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  failing.prompter.shown.clear();
  after(failing, dialog, editors);
  EXPECT_EQ(failing.prompter.shown, Texts{"是否把所选的1个文件的属性数据以当前值赋值?"});
  ASSERT_EQ(failing.store.commit(), EditorSaveStatus::Ok);
  EXPECT_FALSE(failing.store.modified());
  Editor fresh(old);
  FakeDialog freshDialog;
  FakeEditors freshEditors;
  before(fresh, freshDialog);
  after(fresh, freshDialog, freshEditors);
  ASSERT_EQ(fresh.store.commit(), EditorSaveStatus::Ok);
  // The old tail stays in both files; only the one that was overwritten differs there.
  const Bytes saved = testcln::read(failing.file);
  const Bytes expected = testcln::read(fresh.file);
  ASSERT_EQ(saved.size(), expected.size());
  const auto tail =
      std::find_if(saved.rbegin(), saved.rend(), [](std::uint8_t b) { return b != 0xEE; }) - saved.rbegin();
  const std::size_t written = saved.size() - static_cast<std::size_t>(tail);
  ASSERT_LT(written, saved.size());
  EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(written), expected.begin()));
}

TEST(EditorSave, ModifiedCountsOnlyWhatOkWouldWrite) {
  Editor e(testcln::file(MixedLegends()));
  FakeEditors editors;
  FakeDialog dialog;
  e.store.editTemplateParameters(editors);
  e.store.editAttributeContent(editors);
  e.store.deleteSelected(Rows({}));
  dialog.answer = false;
  e.store.editSelected(Rows({0}), dialog);
  EXPECT_FALSE(e.store.modified());
  dialog.answer = true;
  e.store.editSelected(Rows({0}), dialog);
  EXPECT_TRUE(e.store.modified());
}

TEST(EditorSave, NoPathOrUncreatableFileIsReported) {
  const std::string cannotOpen = msg::text(legend::LegendStatus::CannotOpenWritable);
  Editor fresh;
  EXPECT_EQ(fresh.store.save(), EditorSaveStatus::CannotOpenWritable);
  ASSERT_TRUE(fresh.store.setPath((fresh.dir / "no-such-folder" / "x.CLN").string()));
  EXPECT_EQ(fresh.store.save(), EditorSaveStatus::CannotCreate);
  EXPECT_EQ(fresh.prompter.shown, Texts(2, cannotOpen));
  // A path past the 260-byte buffer is refused, never cut to fit.
  const std::string tooLong = "/" + std::string(259, 'p');
  Prompter p;
  EditorStore store(p);
  store.load(tooLong);
  EXPECT_EQ(store.save(), EditorSaveStatus::PathTooLong);
  EXPECT_EQ(p.shown, Texts(2, msg::text(legend::LegendStatus::PathTooLong, tooLong)));
}

TEST(EditorSave, NameCompletionLooksAtTheLastComponentOnlyAndFitsThePathBuffer) {
  const struct {
    std::string chosen;
    std::optional<std::string> completed;
  } cases[] = {
      {"/d/a.b/c.txt", "/d/a.b/c.CLN"},
      {"/d/", std::nullopt},
      {std::string(256, 'n'), std::nullopt},
      {std::string(255, 'n') + ".txt", std::string(255, 'n') + ".CLN"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen.substr(0, 12));
    EXPECT_EQ(legend::completeLegendFileName(c.chosen), c.completed);
  }
}

TEST(EditorSave, NewFilePathAsksBeforeReplacingAFileTheDialogNeverNamed) {
  Editor e;
  testcln::write(e.dir / "x.CLN", Bytes{1});
  const std::string dir = e.dir.path().string();
  e.prompter.expectedDefault = false;
  // The dialog confirmed x.CLN itself, or a name that completes to nothing there.
  EXPECT_EQ(e.store.newFilePath(dir + "/x.CLN"), dir + "/x.CLN");
  EXPECT_EQ(e.store.newFilePath(dir + "/y.txt"), dir + "/y.CLN");
  EXPECT_TRUE(e.prompter.shown.empty());
  e.prompter.answers = {false, true};
  EXPECT_EQ(e.store.newFilePath(dir + "/x"), std::nullopt);
  EXPECT_EQ(e.store.newFilePath(dir + "/x.txt"), dir + "/x.CLN");
  EXPECT_EQ(e.prompter.shown, Texts(2, "图例文件已存在,是否覆盖?\n" + dir + "/x.CLN"));
  EXPECT_EQ(testcln::read(e.dir / "x.CLN"), Bytes{1});
}

}  // namespace
