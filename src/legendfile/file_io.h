#pragma once
// POSIX file access for legend files: positioned reads that never trust a
// length, and whole-file replacement that never leaves a half-written file
// without a copy of the old one.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace legend {

/// A file opened read-only for one operation; closed on destruction.
class ReadOnlyFile {
 public:
  /// Opens @p path; nullopt (with errno in @p error when given) on failure.
  static std::optional<ReadOnlyFile> open(const std::string& path, std::error_code* error = nullptr);

  ReadOnlyFile(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ~ReadOnlyFile();

  /// The file's length in bytes, taken when it was opened.
  std::uint64_t size() const noexcept { return size_; }
  int descriptor() const noexcept { return fd_; }

  /// Reads up to out.size() bytes at @p offset. Returns how many were read:
  /// fewer at the end of the file or on a read error, 0 past the end.
  std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> out) const noexcept;
  /// The whole file (as far as it can be read).
  std::vector<std::uint8_t> readAll() const;

 private:
  ReadOnlyFile(int fd, std::uint64_t size) noexcept : fd_(fd), size_(size) {}
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

/// How a file that must already exist is opened.
enum class Access { Read, Write };

/// The system calls a file replacement makes, so tests can fail each in turn.
class FileOps {
 public:
  virtual ~FileOps() = default;
  /// O_RDONLY or O_WRONLY, never creating or truncating; O_NONBLOCK, so a
  /// FIFO named like the target cannot hang the save.
  virtual int openExisting(const std::string& path, Access access);
  virtual int openNew(const std::string& path, unsigned mode);                              ///< O_CREAT|O_EXCL|O_WRONLY
  virtual long read(int fd, std::uint8_t* data, std::size_t length, std::uint64_t offset);  ///< pread
  virtual long write(int fd, const std::uint8_t* data, std::size_t length);
  virtual int status(int fd, struct stat& out);               ///< fstat
  virtual int changeOwner(int fd, uid_t owner, gid_t group);  ///< fchown
  virtual int changeMode(int fd, unsigned mode);              ///< fchmod
  virtual int truncate(int fd, std::uint64_t length);         ///< ftruncate
  virtual int flush(int fd);                                  ///< fsync
  virtual int close(int fd);
  virtual int rename(const std::string& from, const std::string& to);
  virtual int unlink(const std::string& path);
  /// fsync of the folder, so that a name created or renamed in it survives a
  /// power cut. 0 also where that cannot be asked for: a folder this user may
  /// not open for reading, or a file system that does not sync folders.
  virtual int syncFolder(const std::string& folder);
  /// The process-wide instance that calls the real system.
  static FileOps& system();
};

/// The steps of a replacement, named in a failed result.
enum class FileStep : std::uint8_t {
  None,
  OpenTarget,     ///< opening the existing file for writing: may this user write it at all
  InspectTarget,  ///< fstat of the existing file
  CreateNew,      ///< the new file next to the target
  KeepOwnership,  ///< fchown, fchmod and their check on the new file
  ReadOld,        ///< reading the old bytes for the backup copy
  Backup,         ///< writing the backup copy of the old bytes
  Write,
  Truncate,  ///< cutting an old file that was longer than the new content
  Flush,     ///< fsync
  Close,
  Rename,
  SyncFolder,  ///< fsync of the folder after the rename
};

/// What a failed replacement left behind.
enum class ReplaceError : std::uint8_t {
  None,
  NotWritable,   ///< the existing target may not be written by this user: refused, nothing written
  CannotCreate,  ///< the target does not exist and cannot be created
  Failed,        ///< a step failed before the target was touched: the old file is as it was
  BackupKept,    ///< writing over the old file failed part way: its old bytes are in the backup
  Unconfirmed,   ///< the new content is in place, but the folder could not be flushed
};

struct ReplaceResult {
  ReplaceError error = ReplaceError::None;
  FileStep step = FileStep::None;  ///< the step that failed
  std::error_code cause;           ///< errno of the failing call
  std::string backup;              ///< with BackupKept: the copy of the old bytes
  explicit operator bool() const noexcept { return error == ReplaceError::None; }
};

/// Makes @p image the complete content of @p path (following symbolic links,
/// so they stay). An existing file this user may not write is refused before
/// anything is written. Where it can, the image goes into a new file in the
/// same folder, given the old file's mode, owner and group, flushed and
/// renamed over the target; a failure then leaves the old file untouched.
/// Where it cannot (a second hard link, an owner or group the new file cannot
/// be given, a folder this user cannot write) the old bytes are first copied
/// to a backup (in the file's folder, else the user's cache folder, else the
/// temporary folder), then the image is written over the old file, which
/// keeps its inode and so its links, mode, owner and group; the backup is
/// removed once the write is flushed, and named in the result when it fails.
ReplaceResult replaceFile(const std::string& path, std::span<const std::uint8_t> image,
                          FileOps& ops = FileOps::system());

/// The current content of @p path: empty when the file does not exist,
/// nullopt (with the cause in @p error) when it exists but cannot be read.
std::optional<std::vector<std::uint8_t>> readExistingFile(const std::string& path, std::error_code& error);

/// Whether both paths exist and name the same file, through links and
/// whatever way each is spelt.
bool sameFile(const std::string& a, const std::string& b) noexcept;

}  // namespace legend
