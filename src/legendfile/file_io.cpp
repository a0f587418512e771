#include "legendfile/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <new>
#include <random>
#include <string_view>
#include <utility>

namespace legend {

namespace {

/// Largest count handed to one read or write: Linux moves little more than
/// 2 GiB per call anyway, and this keeps every count inside ssize_t.
constexpr std::size_t kMaxIoChunk = std::size_t{1} << 30;
/// Names tried before giving up on creating the new file.
constexpr int kMaxCreateAttempts = 100;
/// Links followed before a chain counts as a loop (Linux allows 40).
constexpr int kMaxLinkHops = 40;
/// Bytes of the target's name kept in the names of the new file and of the
/// backup, so that ".<name>.XXXXXX.tmp" stays within NAME_MAX even for a
/// 255-byte name.
constexpr std::size_t kMaxTempStem = 200;
constexpr std::size_t kTempSuffixLength = 6;
constexpr unsigned kPermissionBits = 0777;
/// Permissions with the set-id and sticky bits: what a save keeps.
constexpr unsigned kModeBits = 07777;
/// What open() narrows by the umask when the target does not exist yet.
constexpr unsigned kNewFileMode = 0666;
/// The backup of the old bytes may be all the user has left of the file:
/// nobody else reads it, wherever it lies.
constexpr unsigned kBackupMode = 0600;

std::error_code errnoCode(int value) noexcept { return {value, std::generic_category()}; }

/// Reads [offset, offset + out.size()) clipped to a file of @p size bytes,
/// stopping early at the real end or at the first error (left in @p error).
std::size_t readSpan(int fd, std::uint64_t size, std::uint64_t offset, std::span<std::uint8_t> out,
                     int& error) noexcept {
  error = 0;
  if (fd < 0 || offset >= size) return 0;
  const std::uint64_t available = size - offset;
  const std::size_t wanted = available < out.size() ? static_cast<std::size_t>(available) : out.size();
  std::size_t done = 0;
  while (done < wanted) {
    const std::size_t request = std::min(wanted - done, kMaxIoChunk);
    // offset + done < size, and size came from an off_t, so this cannot wrap.
    const ssize_t got = ::pread(fd, out.data() + done, request, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (got == 0) break;  // the file shrank after it was opened
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::vector<std::uint8_t> readWhole(int fd, std::uint64_t size, int& error) {
  std::vector<std::uint8_t> bytes;
  if (size > bytes.max_size()) {
    error = EFBIG;
    return bytes;
  }
  bytes.resize(static_cast<std::size_t>(size));
  bytes.resize(readSpan(fd, size, 0, bytes, error));
  return bytes;
}

std::string folderPrefix(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string baseName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool readLink(const std::string& path, std::string& destination, int& error) {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (length < 0) {
      error = errno;
      return false;
    }
    // A result that fills the buffer may have been cut short.
    if (static_cast<std::size_t>(length) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(length));
      destination = std::move(buffer);
      return true;
    }
    buffer.resize(buffer.size() * 2);
  }
}

/// The file a save replaces, and its metadata when it exists.
struct Target {
  std::string path;
  std::optional<struct stat> existing;
};

/// Follows symbolic links from @p path so that the rename replaces the file
/// they lead to and the links survive. The chain may end where no file exists
/// yet: writing through a link creates its destination, and so does a save.
std::optional<Target> resolveTarget(std::string path, int& error) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
      if (errno != ENOENT) {
        error = errno;
        return std::nullopt;
      }
      return Target{std::move(path), std::nullopt};
    }
    if (!S_ISLNK(status.st_mode)) return Target{std::move(path), status};
    std::string destination;
    if (!readLink(path, destination, error)) return std::nullopt;
    // A relative link is relative to the folder holding it; the kernel walks
    // "folder/../x" the same way, so no textual clean-up is needed.
    path = destination.starts_with('/') ? std::move(destination) : folderPrefix(path) + destination;
  }
  error = ELOOP;
  return std::nullopt;
}

/// A descriptor the replacement holds. Every way out that has not closed it
/// closes it here, where an error of that close no longer changes anything.
class Descriptor {
 public:
  Descriptor(FileOps& ops, int fd) noexcept : ops_(ops), fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ < 0) return;
    const int saved = errno;  // the caller has taken errno into its result; keep it anyway
    ops_.close(fd_);
    errno = saved;
  }
  int get() const noexcept { return fd_; }
  /// A failed close still releases the descriptor, so it is never closed twice.
  int close() { return ops_.close(std::exchange(fd_, -1)); }

 private:
  FileOps& ops_;
  int fd_;
};

/// A file the replacement made: the new file until it has been renamed over
/// the target, or the backup until the target is written. Removed on every
/// way out unless kept.
class CreatedFile {
 public:
  CreatedFile(FileOps& ops, std::string path, int fd) : ops_(ops), path_(std::move(path)), fd_(ops, fd) {}
  CreatedFile(const CreatedFile&) = delete;
  CreatedFile& operator=(const CreatedFile&) = delete;
  ~CreatedFile() {
    if (kept_) return;
    const int saved = errno;
    if (fd_.get() >= 0) fd_.close();
    ops_.unlink(path_);
    errno = saved;
  }
  int fd() const noexcept { return fd_.get(); }
  const std::string& path() const noexcept { return path_; }
  int close() { return fd_.close(); }
  void keep() noexcept { kept_ = true; }

 private:
  FileOps& ops_;
  std::string path_;
  Descriptor fd_;
  bool kept_ = false;
};

ReplaceResult failure(ReplaceError error, FileStep step, int cause, std::string backup = {}) {
  // A failing call that forgot errno must still not read as success.
  return ReplaceResult{error, step, errnoCode(cause != 0 ? cause : EIO), std::move(backup)};
}

/// A file made under a fresh name, or the errno of why it could not be.
struct Created {
  int fd = -1;
  int error = 0;
  std::string path;
};

/// Creates "<prefix><stem>.XXXXXX<suffix>" with a name nobody else has taken.
Created createUnique(FileOps& ops, const std::string& prefix, const std::string& stem, std::string_view suffix,
                     unsigned mode, std::mt19937_64& random) {
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  for (int attempt = 0; attempt < kMaxCreateAttempts; ++attempt) {
    std::string unique(kTempSuffixLength, '\0');
    for (char& c : unique) c = kAlphabet[pick(random)];
    std::string path = prefix + stem + "." + unique + std::string(suffix);
    const int fd = ops.openNew(path, mode);
    if (fd >= 0) return {fd, 0, std::move(path)};
    if (errno != EEXIST) return {-1, errno, {}};
  }
  return {-1, EEXIST, {}};
}

/// Writes all of @p data at the descriptor's position; 0 or the errno of the
/// failure. @p written counts the bytes that reached the file either way.
int writeAll(FileOps& ops, int fd, std::span<const std::uint8_t> data, std::size_t& written) {
  written = 0;
  while (written < data.size()) {
    const std::size_t request = std::min(data.size() - written, kMaxIoChunk);
    const long wrote = ops.write(fd, data.data() + written, request);
    if (wrote < 0) return errno != 0 ? errno : EIO;
    // Nothing written and nothing reported is how a full disk can show itself.
    if (wrote == 0) return ENOSPC;
    if (static_cast<std::size_t>(wrote) > request) return EIO;
    written += static_cast<std::size_t>(wrote);
  }
  return 0;
}

std::string folderOf(const std::string& prefix) { return prefix.empty() ? std::string(".") : prefix; }

/// Where a backup of the old bytes may go, best first: beside the file, so it
/// is found there; the user's cache folder; the temporary folder. Each as a
/// prefix ending in '/' (empty for the working folder).
std::vector<std::string> backupPrefixes(const std::string& targetPrefix) {
  const auto absolute = [](const char* value) { return value != nullptr && value[0] == '/'; };
  std::vector<std::string> prefixes{targetPrefix};
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); absolute(cache)) {
    prefixes.push_back(std::string(cache) + "/");
  } else if (const char* home = std::getenv("HOME"); absolute(home)) {
    prefixes.push_back(std::string(home) + "/.cache/");
  }
  const char* temp = std::getenv("TMPDIR");
  prefixes.push_back(absolute(temp) ? std::string(temp) + "/" : std::string("/tmp/"));
  return prefixes;
}

/// The old file's bytes, read through a descriptor of their own (the one the
/// replacement holds is write-only); 0 or the errno of the failure.
int readOld(FileOps& ops, const std::string& path, std::uint64_t size, std::vector<std::uint8_t>& out) {
  const int fd = ops.openExisting(path, Access::Read);
  if (fd < 0) return errno;
  Descriptor file(ops, fd);
  if (size > out.max_size()) return EFBIG;
  try {
    out.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
  std::size_t done = 0;
  while (done < out.size()) {
    const std::size_t request = std::min(out.size() - done, kMaxIoChunk);
    const long got = ops.read(file.get(), out.data() + done, request, done);
    if (got < 0) return errno != 0 ? errno : EIO;
    if (got == 0 || static_cast<std::size_t>(got) > request) break;  // the file shrank meanwhile
    done += static_cast<std::size_t>(got);
  }
  out.resize(done);
  return 0;
}

/// Writes @p bytes to the first place of backupPrefixes() that takes them
/// whole and durably. The path of the copy, or nullopt with the errno of the
/// last failure in @p cause.
std::optional<std::string> writeBackup(FileOps& ops, const std::string& target, std::span<const std::uint8_t> bytes,
                                       std::mt19937_64& random, int& cause) {
  const std::string stem = baseName(target).substr(0, kMaxTempStem);
  for (const std::string& prefix : backupPrefixes(folderPrefix(target))) {
    const Created created = createUnique(ops, prefix, stem, ".bak", kBackupMode, random);
    if (created.fd < 0) {
      cause = created.error;
      continue;
    }
    CreatedFile copy(ops, created.path, created.fd);
    std::size_t written = 0;
    if ((cause = writeAll(ops, copy.fd(), bytes, written)) != 0) continue;
    if (ops.flush(copy.fd()) != 0 || copy.close() != 0) {
      cause = errno;
      continue;
    }
    // The copy must outlive a power cut that tears the file it stands for.
    if (ops.syncFolder(folderOf(prefix)) != 0) {
      cause = errno;
      continue;
    }
    copy.keep();
    return created.path;
  }
  return std::nullopt;
}

/// Gives the new file the old one's owner, group and mode, and checks that it
/// has them: only root may give a file away, only a member may give it a
/// group, and the kernel drops a set-group-id bit it will not grant.
bool keepOwnership(FileOps& ops, int fd, const struct stat& old) {
  const unsigned mode = old.st_mode & kModeBits;
  // fchown clears the set-id bits, so the mode comes after it.
  if (ops.changeOwner(fd, old.st_uid, old.st_gid) != 0) return false;
  if (ops.changeMode(fd, mode) != 0) return false;
  struct stat now {};
  return ops.status(fd, now) == 0 && now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
         (now.st_mode & kModeBits) == mode;
}

/// Writes @p image into a new file beside @p target and renames it over the
/// target. With @p old (the target exists) nullopt means the new file could
/// not be made or not given the old one's mode, owner and group: it is gone
/// again, nothing else changed, and the caller writes in place instead.
std::optional<ReplaceResult> replaceByRename(const std::string& target, std::span<const std::uint8_t> image,
                                             const struct stat* old, FileOps& ops, std::mt19937_64& random) {
  // Created with at most the old permissions, so the content is never
  // readable by more people than before.
  const unsigned mode = old ? old->st_mode & kPermissionBits : kNewFileMode;
  const std::string prefix = folderPrefix(target);
  const Created created =
      createUnique(ops, prefix, "." + baseName(target).substr(0, kMaxTempStem), ".tmp", mode, random);
  if (created.fd < 0) {
    if (old) return std::nullopt;
    return failure(ReplaceError::CannotCreate, FileStep::CreateNew, created.error);
  }
  CreatedFile file(ops, created.path, created.fd);
  if (old && !keepOwnership(ops, file.fd(), *old)) return std::nullopt;

  std::size_t written = 0;
  if (const int cause = writeAll(ops, file.fd(), image, written))
    return failure(ReplaceError::Failed, FileStep::Write, cause);
  if (ops.flush(file.fd()) != 0) return failure(ReplaceError::Failed, FileStep::Flush, errno);
  // Some file systems report a failed write-back only at close.
  if (file.close() != 0) return failure(ReplaceError::Failed, FileStep::Close, errno);
  if (ops.rename(file.path(), target) != 0) return failure(ReplaceError::Failed, FileStep::Rename, errno);
  file.keep();
  // The new content is in place; without this a power cut could still bring
  // back the old name, so the save is not reported as done.
  if (ops.syncFolder(folderOf(prefix)) != 0) return failure(ReplaceError::Unconfirmed, FileStep::SyncFolder, errno);
  return ReplaceResult{};
}

/// Writes @p image over the old file through @p file (its write-only
/// descriptor), after copying its old bytes to a backup. The inode stays, and
/// with it every link, the mode, the owner and the group.
ReplaceResult replaceInPlace(const std::string& target, Descriptor& file, const struct stat& old,
                             std::span<const std::uint8_t> image, FileOps& ops, std::mt19937_64& random) {
  std::vector<std::uint8_t> oldBytes;
  if (const int cause = readOld(ops, target, static_cast<std::uint64_t>(old.st_size), oldBytes))
    return failure(ReplaceError::Failed, FileStep::ReadOld, cause);
  int cause = 0;
  const std::optional<std::string> backupPath = writeBackup(ops, target, oldBytes, random, cause);
  // Without a copy a torn write would lose the file: refuse, as careful
  // editors do.
  if (!backupPath) return failure(ReplaceError::Failed, FileStep::Backup, cause);
  CreatedFile backup(ops, *backupPath, -1);
  const auto kept = [&](FileStep step, int error) {
    backup.keep();
    return failure(ReplaceError::BackupKept, step, error, backup.path());
  };

  std::size_t written = 0;
  if ((cause = writeAll(ops, file.get(), image, written)) != 0) {
    // Not a byte of the old file changed: no copy to point the user to.
    if (written == 0) return failure(ReplaceError::Failed, FileStep::Write, cause);
    return kept(FileStep::Write, cause);
  }
  // Only a whole-file writer hands over an image shorter than the file;
  // legend saves carry the old tail in theirs.
  if (image.size() < oldBytes.size() && ops.truncate(file.get(), image.size()) != 0)
    return kept(FileStep::Truncate, errno);
  if (ops.flush(file.get()) != 0) return kept(FileStep::Flush, errno);
  if (file.close() != 0) return kept(FileStep::Close, errno);
  return ReplaceResult{};  // the backup goes with `backup`
}

}  // namespace

std::optional<ReadOnlyFile> ReadOnlyFile::open(const std::string& path, std::error_code* error) {
  const auto fail = [error](int cause) -> std::optional<ReadOnlyFile> {
    if (error) *error = errnoCode(cause);
    return std::nullopt;
  };
  int fd;
  // O_NONBLOCK keeps a FIFO named like a legend file from hanging the open;
  // regular files, the only kind accepted, ignore it.
  do fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return fail(errno);

  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    const int cause = errno;
    ::close(fd);
    return fail(cause);
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(fd);
    return fail(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
  }
  if (error) error->clear();
  return ReadOnlyFile(fd, static_cast<std::uint64_t>(status.st_size));
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(std::exchange(other.size_, 0)) {}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

ReadOnlyFile::~ReadOnlyFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t ReadOnlyFile::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const noexcept {
  int error = 0;
  return readSpan(fd_, size_, offset, out, error);
}

std::vector<std::uint8_t> ReadOnlyFile::readAll() const {
  int error = 0;
  return readWhole(fd_, size_, error);
}

int FileOps::openExisting(const std::string& path, Access access) {
  const int flags = (access == Access::Write ? O_WRONLY : O_RDONLY) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  int fd;
  do fd = ::open(path.c_str(), flags);
  while (fd < 0 && errno == EINTR);
  return fd;
}

int FileOps::openNew(const std::string& path, unsigned mode) {
  int fd;
  do fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
  while (fd < 0 && errno == EINTR);
  return fd;
}

long FileOps::read(int fd, std::uint8_t* data, std::size_t length, std::uint64_t offset) {
  if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return 0;
  ssize_t got;
  do got = ::pread(fd, data, length, static_cast<off_t>(offset));
  while (got < 0 && errno == EINTR);
  return got;
}

long FileOps::write(int fd, const std::uint8_t* data, std::size_t length) {
  ssize_t wrote;
  do wrote = ::write(fd, data, length);
  while (wrote < 0 && errno == EINTR);
  return wrote;
}

int FileOps::status(int fd, struct stat& out) { return ::fstat(fd, &out); }

int FileOps::changeOwner(int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); }

int FileOps::changeMode(int fd, unsigned mode) { return ::fchmod(fd, static_cast<mode_t>(mode)); }

int FileOps::truncate(int fd, std::uint64_t length) {
  if (length > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
    errno = EFBIG;
    return -1;
  }
  int result;
  do result = ::ftruncate(fd, static_cast<off_t>(length));
  while (result != 0 && errno == EINTR);
  return result;
}

int FileOps::flush(int fd) {
  int result;
  do result = ::fsync(fd);
  while (result != 0 && errno == EINTR);
  return result;
}

// Not retried on EINTR: Linux has released the descriptor by then, and a
// second close could hit one another thread just opened.
int FileOps::close(int fd) { return ::close(fd); }

int FileOps::rename(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()); }

int FileOps::unlink(const std::string& path) { return ::unlink(path.c_str()); }

int FileOps::syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno == EACCES || errno == EPERM ? 0 : -1;
  int result;
  do result = ::fsync(fd);
  while (result != 0 && errno == EINTR);
  if (result != 0 && (errno == EINVAL || errno == ENOTSUP || errno == EROFS)) result = 0;
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return result;
}

FileOps& FileOps::system() {
  static FileOps real;  // stateless, so one instance serves every caller
  return real;
}

ReplaceResult replaceFile(const std::string& path, std::span<const std::uint8_t> image, FileOps& ops) {
  if (path.empty()) return failure(ReplaceError::CannotCreate, FileStep::CreateNew, ENOENT);
  int cause = 0;
  const std::optional<Target> target = resolveTarget(path, cause);
  if (!target) return failure(ReplaceError::CannotCreate, FileStep::OpenTarget, cause);
  std::mt19937_64 random(std::random_device{}());
  if (!target->existing) return *replaceByRename(target->path, image, nullptr, ops, random);

  // Opening the file for writing asks the kernel the one question that
  // counts (mode, owner, ACLs, read-only mounts, immutable files), and the
  // answer cannot change before an in-place write: it goes through this
  // very descriptor.
  const int fd = ops.openExisting(target->path, Access::Write);
  if (fd < 0) return failure(ReplaceError::NotWritable, FileStep::OpenTarget, errno);
  Descriptor file(ops, fd);
  struct stat old {};
  if (ops.status(file.get(), old) != 0) return failure(ReplaceError::Failed, FileStep::InspectTarget, errno);
  if (!S_ISREG(old.st_mode)) return failure(ReplaceError::NotWritable, FileStep::InspectTarget, EINVAL);

  // A rename would leave every other link with the old content.
  if (old.st_nlink == 1) {
    if (std::optional<ReplaceResult> renamed = replaceByRename(target->path, image, &old, ops, random))
      return std::move(*renamed);
  }
  return replaceInPlace(target->path, file, old, image, ops, random);
}

std::optional<std::vector<std::uint8_t>> readExistingFile(const std::string& path, std::error_code& error) {
  const std::optional<ReadOnlyFile> file = ReadOnlyFile::open(path, &error);
  if (!file) {
    if (error != std::errc::no_such_file_or_directory) return std::nullopt;
    error.clear();
    return std::vector<std::uint8_t>{};
  }
  int cause = 0;
  std::vector<std::uint8_t> bytes = readWhole(file->descriptor(), file->size(), cause);
  if (cause != 0) {
    error = errnoCode(cause);
    return std::nullopt;
  }
  return bytes;
}

bool sameFile(const std::string& a, const std::string& b) noexcept {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

}  // namespace legend
