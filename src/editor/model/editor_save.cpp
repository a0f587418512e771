// The editor's save: every live legend, heads first, then their blocks
// packed without gaps. The image is built whole and handed to replaceFile,
// so a failure anywhere leaves the old file as it was or names the copy of
// its old bytes.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "editor/model/editor_messages.h"
#include "editor/model/editor_store.h"
#include "legendfile/byte_order.h"
#include "legendfile/header.h"
#include "legendfile/legend_set.h"
#include "legendfile/messages.h"

namespace legend::editor {

namespace {

/// The bytes of a file about to be replaced: read into memory that is not
/// zeroed first, since the read fills all of it.
using FileBytes = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

/// Reads the file at @p path whole; an empty image when there is none,
/// nothing when it exists but cannot be read. @p sameAs tells whether it is
/// the very file @p loaded has open (whatever was written to it since).
std::optional<FileBytes> readCurrentFile(const std::string& path, const std::optional<ReadOnlyFile>& loaded,
                                         bool& sameAs) {
  sameAs = false;
  std::error_code error;
  const std::optional<ReadOnlyFile> file = ReadOnlyFile::open(path, &error);
  if (!file) {
    if (error != std::errc::no_such_file_or_directory) return std::nullopt;
    return FileBytes{};
  }
  FileBytes bytes;
  try {
    bytes.resize(static_cast<std::size_t>(file->size()));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  if (file->readAt(0, bytes) != bytes.size()) return std::nullopt;
  struct stat now {
  }, then{};
  sameAs = loaded && ::fstat(file->descriptor(), &now) == 0 && ::fstat(loaded->descriptor(), &then) == 0 &&
           now.st_dev == then.st_dev && now.st_ino == then.st_ino;
  return bytes;
}

}  // namespace

bool EditorStore::borrowLoadedBlocks(std::span<const std::uint8_t> loadedFile) {
  const std::size_t loaded = std::min(items_.size(), static_cast<std::size_t>(std::max(fileLegendCount_, 0)));
  std::uint64_t end = 0;
  bool needed = false;
  for (std::size_t i = 0; i < loaded; ++i) {
    const EditorItem& item = items_[i];
    if (!item.keep || item.blockInMemory()) continue;
    const HeadView head = item.head.view();
    if (!fileHolds(head.blockOffset(), head.blockSize())) return false;
    end =
        std::max<std::uint64_t>(end, std::uint64_t{head.blockOffset()} + static_cast<std::uint64_t>(head.blockSize()));
    needed = true;
  }
  if (!needed) return true;

  // The buffer reaches as far as the last block ends, not as far as the
  // block sizes add up: blocks may lie with gaps between them. Bytes already
  // read stay where they are, since earlier borrowed blocks point at them.
  if (end > dataArea_.size()) {
    const std::size_t held = dataArea_.size();
    try {
      dataArea_.resize(static_cast<std::size_t>(end));
    } catch (const std::bad_alloc&) {
      return false;
    }
    // The save has just read the file whole; reading its data area a second
    // time would double the cost of reading.
    const std::uint64_t from = dataAreaOffset_ + held;
    if (fits_within(from, end - held, loadedFile.size())) {
      std::memcpy(dataArea_.data() + held, loadedFile.data() + from, static_cast<std::size_t>(end - held));
    } else if (!readFromFile(from, std::span(dataArea_).subspan(held))) {
      dataArea_.resize(held);
      return false;
    }
  }
  for (std::size_t i = 0; i < loaded; ++i) {
    EditorItem& item = items_[i];
    if (!item.keep || item.blockInMemory()) continue;
    const HeadView head = item.head.view();
    item.block = BorrowedBlock{head.blockOffset(), static_cast<std::size_t>(head.blockSize())};
  }
  return true;
}

EditorSaveStatus EditorStore::save(FileOps& ops) {
  const auto fail = [this](EditorSaveStatus status, std::string_view text) {
    prompter_.inform(text);
    return status;
  };
  // The one text that names no file comes with the file's path beneath it.
  const std::string cannotOpen = messages::text(LegendStatus::CannotOpenWritable);
  const auto failOpening = [this, &cannotOpen](EditorSaveStatus status) {
    prompter_.informWithDetail(cannotOpen, path_);
    return status;
  };
  if (path_.empty()) return fail(EditorSaveStatus::CannotOpenWritable, cannotOpen);
  if (path_.size() > layout::kMaxPathBytes)
    return fail(EditorSaveStatus::PathTooLong, messages::text(LegendStatus::PathTooLong, path_));

  // The old file is read first: where it was longer its tail stays, as an
  // overwrite from offset 0 would leave it.
  bool loadedFile = false;
  std::optional<FileBytes> image = readCurrentFile(path_, file_, loadedFile);
  if (!image) return failOpening(EditorSaveStatus::CannotOpenWritable);

  if (!borrowLoadedBlocks(loadedFile ? std::span<const std::uint8_t>(*image) : std::span<const std::uint8_t>()))
    return fail(EditorSaveStatus::BlockUnreadable, texts::kSaveBlockUnreadable);

  std::int32_t kept = 0;
  std::uint64_t blockBytes = 0;
  for (const EditorItem& item : items_) {
    if (!item.keep) continue;
    ++kept;
    blockBytes += blockOf(item).size();
  }
  // Block offsets are unsigned 32-bit; a larger data area cannot be described.
  if (blockBytes > std::numeric_limits<std::uint32_t>::max())
    return fail(EditorSaveStatus::WriteFailed, messages::text(LegendStatus::WriteFailed, path_));

  const std::uint64_t dataArea = layout::data_area_offset(kept);
  try {
    if (image->size() < dataArea + blockBytes) image->resize(static_cast<std::size_t>(dataArea + blockBytes), 0);
  } catch (const std::bad_alloc&) {
    return fail(EditorSaveStatus::WriteFailed, messages::text(LegendStatus::WriteFailed, path_));
  }
  std::span<std::uint8_t> out(*image);
  const auto header = makeHeader();
  std::copy(header.begin(), header.end(), out.begin());
  store_le<std::int32_t>(out, layout::kCountOffset, kept);

  std::uint64_t headAt = layout::kPreambleSize;
  std::uint64_t running = 0;
  for (EditorItem& item : items_) {
    if (!item.keep) continue;
    const std::span<const std::uint8_t> block = blockOf(item);
    HeadRef head = item.head.ref();
    head.setBlockOffset(static_cast<std::uint32_t>(running));
    // The head must describe the bytes that follow it in the file.
    head.setBlockSize(static_cast<std::int32_t>(block.size()));
    std::copy(item.head.bytes.begin(), item.head.bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(headAt));
    if (!block.empty()) std::memcpy(out.data() + dataArea + running, block.data(), block.size());
    headAt += layout::kHeadRecordSize;
    running += block.size();
  }

  // Every live block is in memory now, so a failed save can be tried again
  // whatever became of the file.
  const ReplaceResult result = replaceFile(path_, *image, ops);
  switch (result.error) {
    case ReplaceError::None: break;
    case ReplaceError::NotWritable: return failOpening(EditorSaveStatus::CannotOpenWritable);
    case ReplaceError::CannotCreate: return failOpening(EditorSaveStatus::CannotCreate);
    case ReplaceError::Failed:
      return fail(EditorSaveStatus::WriteFailed, messages::text(LegendStatus::WriteFailed, path_));
    case ReplaceError::BackupKept:
      return fail(EditorSaveStatus::BackupKept, messages::text(LegendStatus::WriteFailedBackupKept, result.backup));
    case ReplaceError::Unconfirmed:
      return fail(EditorSaveStatus::Unconfirmed, messages::text(LegendStatus::SaveUnconfirmed, path_));
  }
  // The file as loaded is gone.
  file_.reset();
  return EditorSaveStatus::Ok;
}

}  // namespace legend::editor
