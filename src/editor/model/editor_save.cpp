// The editor's save: every live legend, heads first, then their blocks
// packed without gaps. The image is built whole and handed to replaceFile,
// so a failure anywhere leaves the old file as it was or names the copy of
// its old bytes.
#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <span>
#include <vector>

#include "editor/model/editor_messages.h"
#include "editor/model/editor_store.h"
#include "legendfile/byte_order.h"
#include "legendfile/header.h"
#include "legendfile/legend_set.h"
#include "legendfile/messages.h"

namespace legend::editor {

namespace {
/// The new file's bytes: every one is written before the image is used, so
/// the buffer is not zeroed first (16 MB of it on the largest file).
using FileBytes = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;
}  // namespace

bool EditorStore::borrowLoadedBlocks() {
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
    if (!readFromFile(dataAreaOffset_ + held, std::span(dataArea_).subspan(held))) {
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

  // Where the old file was longer its tail stays, as an overwrite from
  // offset 0 would leave it. Only that tail is read from it: the rest is
  // written anew, and the blocks still in the file are read once, below.
  std::error_code error;
  const std::optional<ReadOnlyFile> old = ReadOnlyFile::open(path_, &error);
  if (!old && error != std::errc::no_such_file_or_directory) return failOpening(EditorSaveStatus::CannotOpenWritable);

  if (!borrowLoadedBlocks()) return fail(EditorSaveStatus::BlockUnreadable, texts::kSaveBlockUnreadable);

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
  const std::uint64_t written = dataArea + blockBytes;
  const std::uint64_t oldSize = old ? old->size() : 0;
  // Not zeroed first: the new content and the old tail cover every byte.
  std::optional<FileBytes> image;
  try {
    image.emplace(static_cast<std::size_t>(std::max(written, oldSize)));
  } catch (const std::bad_alloc&) {
    return fail(EditorSaveStatus::WriteFailed, messages::text(LegendStatus::WriteFailed, path_));
  }
  if (oldSize > written) {
    const std::span<std::uint8_t> tail = std::span(*image).subspan(static_cast<std::size_t>(written));
    if (old->readAt(written, tail) != tail.size()) return failOpening(EditorSaveStatus::CannotOpenWritable);
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
