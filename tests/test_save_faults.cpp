// Every save against the file system: each system call of each save failed in
// turn, and each save run as an ordinary user over files it may not replace
// by rename (write-protected, hard-linked, of a group it is not in, in a
// folder it cannot write).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>

#include "editor/model/editor_store.h"
#include "legendfile/messages.h"
#include "legendfile/pad_save.h"
#include "support/as_unprivileged.h"
#include "support/cln_builder.h"
#include "support/scripted_prompter.h"

namespace legend {
namespace {

namespace fs = std::filesystem;
using editor::EditorSaveStatus;
using testcln::Bytes;

/// The real system calls, except call number failAt of the run (from 1) or
/// the first failCount calls named failKind. A save may get past a new file
/// it cannot make or own (it writes in place instead), a backup place that
/// fails (it tries the next) and cleaning up; any other failure it must
/// report, and `failed` says which kind the failing call was.
class FaultyOps : public FileOps {
 public:
  int failAt = 0, failCount = 0;
  std::string failKind;
  int error = EIO;  ///< 0: a failing write returns 0, as a full disk may
  std::size_t writeLimit = SIZE_MAX;
  std::vector<std::string> calls;
  std::optional<std::pair<std::string, bool>> failed;  ///< kind, must be reported
  int opened = 0, closed = 0;

  int openExisting(const std::string& path, Access access) override {
    return track(fails("openExisting", true) ? -1 : FileOps::openExisting(path, access), path);
  }
  int openNew(const std::string& path, unsigned mode) override {
    return track(fails("openNew", false) ? -1 : FileOps::openNew(path, mode), path);
  }
  long read(int fd, std::uint8_t* data, std::size_t length, std::uint64_t offset) override {
    return fails("read", true) ? -1 : FileOps::read(fd, data, length, offset);
  }
  long write(int fd, const std::uint8_t* data, std::size_t length) override {
    if (fails("write", !backup(fd))) return error == 0 ? 0 : -1;
    files_[fd].second = true;
    return FileOps::write(fd, data, std::min(length, writeLimit));
  }
  int status(int fd, struct stat& out) override { return fails("status", false) ? -1 : FileOps::status(fd, out); }
  int changeOwner(int fd, uid_t owner, gid_t group) override {
    return fails("changeOwner", false) ? -1 : FileOps::changeOwner(fd, owner, group);
  }
  int changeMode(int fd, unsigned mode) override {
    return fails("changeMode", false) ? -1 : FileOps::changeMode(fd, mode);
  }
  int truncate(int fd, std::uint64_t length) override {
    return fails("truncate", true) ? -1 : FileOps::truncate(fd, length);
  }
  int flush(int fd) override { return fails("flush", !backup(fd)) ? -1 : FileOps::flush(fd); }
  // Like Linux, a close that reports an error has still released the descriptor.
  int close(int fd) override {
    ++closed;
    const bool wrote = !backup(fd) && files_[fd].second;
    files_.erase(fd);
    const int result = FileOps::close(fd);
    return fails("close", wrote) ? -1 : result;
  }
  int rename(const std::string& from, const std::string& to) override {
    renamed_ = true;
    return fails("rename", true) ? -1 : FileOps::rename(from, to);
  }
  int unlink(const std::string& path) override { return fails("unlink", false) ? -1 : FileOps::unlink(path); }
  // Before a rename the only folder synced is the backup's.
  int syncFolder(const std::string& folder) override {
    return fails("syncFolder", renamed_) ? -1 : FileOps::syncFolder(folder);
  }

 private:
  bool fails(const std::string& kind, bool mustReport) {
    calls.push_back(kind);
    const bool byKind = kind == failKind && failCount > 0;
    if (failAt != static_cast<int>(calls.size()) && !byKind) return false;
    failCount -= byKind;
    failed = {kind, mustReport};
    errno = error;
    return true;
  }
  int track(int fd, const std::string& path) {
    opened += fd >= 0;
    if (fd >= 0) files_[fd] = {path, false};
    return fd;
  }
  bool backup(int fd) { return files_[fd].first.ends_with(".bak"); }
  std::map<int, std::pair<std::string, bool>> files_;  ///< path, written to
  bool renamed_ = false;
};

/// What a save left on disk, by what it told the user.
enum class Outcome { Ok, Untouched, BackupKept, Unconfirmed };

Outcome outcomeOf(LegendStatus s) {
  return s == LegendStatus::Ok                      ? Outcome::Ok
         : s == LegendStatus::WriteFailedBackupKept ? Outcome::BackupKept
         : s == LegendStatus::SaveUnconfirmed       ? Outcome::Unconfirmed
                                                    : Outcome::Untouched;
}
Outcome outcomeOf(EditorSaveStatus s) {
  return s == EditorSaveStatus::Ok            ? Outcome::Ok
         : s == EditorSaveStatus::BackupKept  ? Outcome::BackupKept
         : s == EditorSaveStatus::Unconfirmed ? Outcome::Unconfirmed
                                              : Outcome::Untouched;
}

struct Saved {
  Outcome outcome;
  std::vector<std::string> shown;  ///< the messages the user saw
};

const Bytes kPadFile = testcln::file({
    {"P", "point", 1, 1, testcln::block(testcln::params(1, 10), testcln::structure({{"code", 4, 4}}), {7, 0, 0, 0})},
    {"L", "line", 0, 2, testcln::block(testcln::params(0, 20)), 300},
    {"R", "region", 2, 3, testcln::block(testcln::params(2, 30))},
});
const Bytes kOldCopy(3000, 0x44);

/// A save from the pad file to the target (the pad file itself unless it is
/// a copy); a copy of the display writes as a copy of the whole file does.
struct SaveKind {
  const char* name;
  bool copy;
  std::function<Saved(const std::string& pad, const std::string& target, FileOps& ops)> run;
};

Saved padSave(const std::string& pad, const std::function<SaveResult(LegendSet&)>& save) {
  LegendSet set;
  EXPECT_EQ(set.setNewFile(pad), LegendStatus::Ok);
  EXPECT_TRUE(set.headRef(0).setName("edited"));
  set.setModified(true);
  const SaveResult result = save(set);
  return {outcomeOf(result.status), result ? std::vector<std::string>{} : std::vector{result.message()}};
}

const SaveKind kSaves[] = {
    {"pad-in-place", false,
     [](const std::string& pad, const std::string&, FileOps& ops) {
       return padSave(pad, [&](LegendSet& set) { return saveInPlace(set, ops); });
     }},
    {"pad-copy-whole-file", true,
     [](const std::string& pad, const std::string& target, FileOps& ops) {
       return padSave(pad, [&](LegendSet& set) { return saveCopy(set, target, CopyScope::WholeFile, ops); });
     }},
    {"editor", false,
     [](const std::string& pad, const std::string&, FileOps& ops) {
       testcln::ScriptedPrompter prompter;
       editor::EditorStore store(prompter);
       store.load(pad);
       store.open();
       store.addFromTemplate();
       const Outcome outcome = outcomeOf(store.save(ops));
       return Saved{outcome, prompter.shown};
     }},
};

/// A folder with the pad file and, for a copy, an older destination; with a
/// second hard link to the target when the save is to write in place.
struct Scene {
  testcln::TempDir dir;
  std::string pad = (dir / "pad.CLN").string(), target = pad, link = (dir / "link.CLN").string();
  Bytes old;
  std::set<std::string> entries;

  Scene(const SaveKind& kind, bool linked) {
    testcln::write(pad, kPadFile);
    if (kind.copy) testcln::write(target = (dir / "copy.CLN").string(), kOldCopy);
    old = testcln::read(target);
    if (linked) fs::create_hard_link(target, link);
    entries = dir.entries();
  }
  std::vector<std::string> strays() const {
    std::vector<std::string> found;
    for (const std::string& name : dir.entries())
      if (!entries.contains(name)) found.push_back((dir / name).string());
    return found;
  }
};

ino_t inodeOf(const std::string& path) {
  struct stat s {};
  return ::stat(path.c_str(), &s) == 0 ? s.st_ino : 0;
}

TEST(SaveFaults, EveryFailingStepOfEverySaveIsReportedAndLeavesTheOldBytesOrANamedCopy) {
  testcln::TempDir cache;  // where a backup goes when the file's folder refuses it
  ::setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
  for (const SaveKind& kind : kSaves) {
    for (const bool inPlace : {false, true}) {
      SCOPED_TRACE(std::string(kind.name) + (inPlace ? " in place" : " by rename"));
      Bytes expected;
      std::vector<std::string> sequence;
      {
        Scene scene(kind, inPlace);
        FaultyOps ops;
        ASSERT_EQ(kind.run(scene.pad, scene.target, ops).outcome, Outcome::Ok);
        expected = testcln::read(scene.target);
        sequence = ops.calls;
        // The hard link is what sends the save down the in-place path.
        ASSERT_EQ(std::ranges::count(sequence, "rename"), inPlace ? 0 : 1);
      }
      for (std::size_t step = 1; step <= sequence.size(); ++step) {
        for (const int error : {EIO, 0}) {
          if (error == 0 && sequence[step - 1] != "write") continue;
          SCOPED_TRACE("call " + std::to_string(step) + " " + sequence[step - 1] + " failing with " +
                       std::to_string(error));
          Scene scene(kind, inPlace);
          FaultyOps ops;
          ops.failAt = static_cast<int>(step);
          ops.error = error;
          const Saved saved = kind.run(scene.pad, scene.target, ops);
          ASSERT_TRUE(ops.failed);
          EXPECT_EQ(ops.closed, ops.opened);  // each descriptor closed exactly once
          EXPECT_FALSE(ops.failed->second && saved.outcome == Outcome::Ok);
          EXPECT_EQ(saved.shown.size(), saved.outcome == Outcome::Ok ? 0u : 1u);
          const std::vector<std::string> strays = scene.strays();
          const bool backupLeft = ops.failed->first == "unlink";  // its removal failed, after the save
          if (saved.outcome == Outcome::BackupKept) {
            ASSERT_EQ(strays.size(), 1u);
            EXPECT_EQ(testcln::read(strays[0]), scene.old);
            EXPECT_EQ(saved.shown[0], messages::text(LegendStatus::WriteFailedBackupKept, strays[0]));
          } else {
            const bool untouched = saved.outcome == Outcome::Untouched;
            EXPECT_EQ(testcln::read(scene.target), untouched ? scene.old : expected);
            EXPECT_EQ(strays.size(), backupLeft ? 1u : 0u);
          }
          if (inPlace) {
            EXPECT_EQ(inodeOf(scene.link), inodeOf(scene.target));
          }
          EXPECT_TRUE(cache.entries().empty());
        }
      }
    }
  }
  ::unsetenv("XDG_CACHE_HOME");
}

TEST(SaveFaults, SavesGetPastNameCollisionsAndShortWrites) {
  for (const bool inPlace : {false, true}) {
    Scene reference(kSaves[0], inPlace);
    ASSERT_EQ(kSaves[0].run(reference.pad, reference.target, FileOps::system()).outcome, Outcome::Ok);
    for (const bool collisions : {true, false}) {
      SCOPED_TRACE(std::string(collisions ? "names taken" : "one-byte writes") + (inPlace ? " in place" : ""));
      Scene scene(kSaves[0], inPlace);
      FaultyOps ops;
      if (collisions) {
        ops.failKind = "openNew", ops.failCount = 3, ops.error = EEXIST;
      } else {
        ops.writeLimit = 1;
      }
      EXPECT_EQ(kSaves[0].run(scene.pad, scene.target, ops).outcome, Outcome::Ok);
      EXPECT_EQ(testcln::read(scene.target), testcln::read(reference.target));
      EXPECT_TRUE(scene.strays().empty());
    }
  }
}

struct Meta {
  uid_t uid;
  gid_t gid;
  mode_t mode;
  nlink_t links;
  bool operator==(const Meta&) const = default;
};
Meta metaOf(const std::string& path) {
  struct stat s {};
  EXPECT_EQ(::stat(path.c_str(), &s), 0) << path;
  return {s.st_uid, s.st_gid, s.st_mode & 07777, s.st_nlink};
}

TEST(SavesAsAnOrdinaryUser, RefuseWriteProtectedFilesAndWriteInPlaceWhatRenameWouldBreak) {
  const std::optional<testcln::Account> user = testcln::unprivilegedAccount();
  ASSERT_TRUE(user);
  enum Fixture { WriteProtected, HardLinked, ForeignGroup, UnwritableFolder };
  const char* names[] = {"write-protected file of another user", "hard-linked file",
                         "file of a group the user is not in", "own file in a folder the user cannot write"};
  for (const Fixture fixture : {WriteProtected, HardLinked, ForeignGroup, UnwritableFolder}) {
    for (const SaveKind* kind : {&kSaves[0], &kSaves[1], &kSaves[2]}) {
      SCOPED_TRACE(std::string(names[fixture]) + ", " + kind->name);
      // The bytes to expect: the same save over a plain file.
      Scene reference(*kind, false);
      ASSERT_EQ(kind->run(reference.pad, reference.target, FileOps::system()).outcome, Outcome::Ok);
      const Bytes expected = testcln::read(reference.target);
      // Built as root: the folder is the user's, or root's and read-only.
      testcln::TempDir cache;
      Scene scene(*kind, fixture == HardLinked);
      testcln::giveTo(cache.path(), *user);
      for (const std::string& path : {scene.dir.path().string(), scene.pad, scene.target, scene.link})
        if (fs::exists(path)) testcln::giveTo(path, *user);
      if (fixture == WriteProtected) {
        testcln::giveTo(scene.target, {0, 0});
        ASSERT_EQ(::chmod(scene.target.c_str(), 0444), 0);
      }
      if (fixture == ForeignGroup) {
        ASSERT_EQ(::chown(scene.target.c_str(), user->uid, 4343), 0) << "only root can build this fixture";
      }
      if (fixture == UnwritableFolder) testcln::giveTo(scene.dir.path(), {0, 0});
      ASSERT_EQ(::chmod(scene.dir.path().c_str(), fixture == UnwritableFolder ? 0555 : 0755), 0);
      const Meta before = metaOf(scene.target);
      testcln::runUnprivileged([&] {
        ::setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
        const Saved saved = kind->run(scene.pad, scene.target, FileOps::system());
        if (fixture == WriteProtected) {
          EXPECT_EQ(saved.outcome, Outcome::Untouched);
          EXPECT_EQ(saved.shown,
                    std::vector{kind->copy ? messages::text(LegendStatus::CannotOpenCopyTarget, scene.target)
                                           : messages::text(LegendStatus::CannotOpenWritable)});
        } else {
          EXPECT_EQ(saved.outcome, Outcome::Ok);
          EXPECT_TRUE(saved.shown.empty());
        }
      });
      EXPECT_EQ(testcln::read(scene.target), fixture == WriteProtected ? scene.old : expected);
      if (fixture == HardLinked) {
        EXPECT_EQ(testcln::read(scene.link), expected);
      }
      EXPECT_EQ(metaOf(scene.target), before);
      EXPECT_TRUE(scene.strays().empty());
      EXPECT_TRUE(cache.entries().empty());
      ::chmod(scene.dir.path().c_str(), 0700);  // so that it can be removed when the suite is not root
    }
  }
}

}  // namespace
}  // namespace legend
