#include "legendfile/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>
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
/// Bytes of the target's name kept in the new file's name, so that
/// ".<name>.XXXXXX.tmp" stays within NAME_MAX even for a 255-byte name.
constexpr std::size_t kMaxTempStem = 200;
constexpr std::size_t kTempSuffixLength = 6;
constexpr unsigned kPermissionBits = 0777;
/// What open() narrows by the umask when the target does not exist yet.
constexpr unsigned kNewFileMode = 0666;

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

std::string tempName(const std::string& target, std::mt19937_64& random) {
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::string suffix(kTempSuffixLength, '\0');
  for (char& c : suffix) c = kAlphabet[pick(random)];
  return folderPrefix(target) + "." + baseName(target).substr(0, kMaxTempStem) + "." + suffix + ".tmp";
}

/// The new file until it has been renamed over the target. Every way out of
/// a replacement that does not get that far closes and removes it here.
class NewFile {
 public:
  NewFile(FileOps& ops, std::string path, int fd) noexcept : ops_(ops), path_(std::move(path)), fd_(fd) {}
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;
  ~NewFile() {
    // The caller has already taken errno into its result; keep it anyway.
    const int saved = errno;
    if (fd_ >= 0) ops_.close(fd_);
    if (!renamed_) ops_.unlink(path_);
    errno = saved;
  }

  int fd() const noexcept { return fd_; }
  const std::string& path() const noexcept { return path_; }
  /// A failed close still releases the descriptor, so it is never closed twice.
  int close() { return ops_.close(std::exchange(fd_, -1)); }
  void markRenamed() noexcept { renamed_ = true; }

 private:
  FileOps& ops_;
  std::string path_;
  int fd_;
  bool renamed_ = false;
};

/// Gives the new file the owner and permissions of the one it replaces. Best
/// effort: only the owner (or root) may set them, and the bytes are what count.
void copyOwnership(int fd, const struct stat& existing, unsigned mode) noexcept {
  struct stat created {};
  if (::fstat(fd, &created) != 0) return;
  // Without this a save by root would hand a user's file to root.
  if ((created.st_uid != existing.st_uid || created.st_gid != existing.st_gid) &&
      ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
    // keep the saver's ownership
  }
  // The umask may have narrowed what open() was given.
  if ((created.st_mode & kPermissionBits) != mode && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) {
    // keep the umask's permissions
  }
}

/// Makes the rename itself durable. Best effort: the new content is already
/// complete under the target's name, and not every file system syncs folders.
void syncFolder(const std::string& prefix) noexcept {
  const std::string folder = prefix.empty() ? std::string(".") : prefix;
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  if (::fsync(fd) != 0) {
    // the rename stands; it may just not survive a power cut yet
  }
  ::close(fd);
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

int FileOps::openNew(const std::string& path, unsigned mode) {
  int fd;
  do fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
  while (fd < 0 && errno == EINTR);
  return fd;
}

long FileOps::write(int fd, const std::uint8_t* data, std::size_t length) {
  ssize_t wrote;
  do wrote = ::write(fd, data, length);
  while (wrote < 0 && errno == EINTR);
  return wrote;
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

FileOps& FileOps::system() {
  static FileOps real;  // stateless, so one instance serves every caller
  return real;
}

ReplaceResult replaceFile(const std::string& path, std::span<const std::uint8_t> image, FileOps& ops) {
  // A failing call that forgot errno must still not read as success.
  const auto failed = [](ReplaceError error, int cause) {
    return ReplaceResult{error, errnoCode(cause != 0 ? cause : EIO)};
  };
  if (path.empty()) return failed(ReplaceError::CannotCreate, ENOENT);

  int cause = 0;
  const std::optional<Target> target = resolveTarget(path, cause);
  if (!target) return failed(ReplaceError::CannotCreate, cause);
  // Creating the new file with the old permissions, rather than widening
  // them later, means the content is never readable by more people.
  const unsigned mode = target->existing ? target->existing->st_mode & kPermissionBits : kNewFileMode;

  std::mt19937_64 random(std::random_device{}());
  std::string tempPath;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    if (attempt == kMaxCreateAttempts) return failed(ReplaceError::CannotCreate, EEXIST);
    tempPath = tempName(target->path, random);
    fd = ops.openNew(tempPath, mode);
    if (fd < 0 && errno != EEXIST) return failed(ReplaceError::CannotCreate, errno);
  }
  NewFile file(ops, std::move(tempPath), fd);
  if (target->existing) copyOwnership(file.fd(), *target->existing, mode);

  for (std::size_t done = 0; done < image.size();) {
    const std::size_t request = std::min(image.size() - done, kMaxIoChunk);
    const long wrote = ops.write(file.fd(), image.data() + done, request);
    if (wrote < 0) return failed(ReplaceError::WriteFailed, errno);
    // Nothing written and nothing reported is how a full disk can show itself.
    if (wrote == 0) return failed(ReplaceError::WriteFailed, ENOSPC);
    if (static_cast<std::size_t>(wrote) > request) return failed(ReplaceError::WriteFailed, EIO);
    done += static_cast<std::size_t>(wrote);
  }
  if (ops.flush(file.fd()) != 0) return failed(ReplaceError::FlushFailed, errno);
  // Some file systems report a failed write-back only at close.
  if (file.close() != 0) return failed(ReplaceError::FlushFailed, errno);
  if (ops.rename(file.path(), target->path) != 0) return failed(ReplaceError::RenameFailed, errno);
  file.markRenamed();

  syncFolder(folderPrefix(target->path));
  return {};
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

}  // namespace legend
