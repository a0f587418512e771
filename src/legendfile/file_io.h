#pragma once
// POSIX file access for legend files: positioned reads that never trust a
// length, and whole-file replacement that never leaves a half-written file.

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

/// The system calls a file replacement makes, so tests can fail each in turn.
class FileOps {
 public:
  virtual ~FileOps() = default;
  virtual int openNew(const std::string& path, unsigned mode);  ///< O_CREAT|O_EXCL|O_WRONLY
  virtual long write(int fd, const std::uint8_t* data, std::size_t length);
  virtual int flush(int fd);  ///< fsync
  virtual int close(int fd);
  virtual int rename(const std::string& from, const std::string& to);
  virtual int unlink(const std::string& path);
  /// The process-wide instance that calls the real system.
  static FileOps& system();
};

/// Why a replacement failed.
enum class ReplaceError {
  None,
  CannotCreate,  ///< the new file next to the target could not be created
  WriteFailed,   ///< a write failed or wrote nothing (a full disk, say)
  FlushFailed,   ///< fsync or close failed
  RenameFailed,  ///< the new file could not be renamed over the target
};

struct ReplaceResult {
  ReplaceError error = ReplaceError::None;
  std::error_code cause;  ///< errno of the failing call
  explicit operator bool() const noexcept { return error == ReplaceError::None; }
};

/// Writes @p image as the complete new content of @p path: into a new file
/// in the same folder, flushed, closed and renamed over the target (whose
/// permissions it keeps; a symbolic link is followed so the link stays).
/// On any failure the new file is removed and the target is untouched.
ReplaceResult replaceFile(const std::string& path, std::span<const std::uint8_t> image,
                          FileOps& ops = FileOps::system());

/// The current content of @p path: empty when the file does not exist,
/// nullopt (with the cause in @p error) when it exists but cannot be read.
std::optional<std::vector<std::uint8_t>> readExistingFile(const std::string& path,
                                                          std::error_code& error);

}  // namespace legend
