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

std::size_t EditorStore::placedSize(const EditorItem& item) const noexcept {
  return item.blockInMemory() ? blockOf(item).size() : static_cast<std::size_t>(item.head.view().blockSize());
}

std::optional<EditorStore::BlockPlan> EditorStore::planBlocks() const {
  BlockPlan plan;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const EditorItem& item = items_[i];
    if (!item.keep) continue;
    ++plan.kept;
    if (!item.blockInMemory()) {
      const HeadView head = item.head.view();
      if (!fileHolds(head.blockOffset(), head.blockSize())) return std::nullopt;
      plan.fromFile.push_back({i, head.blockOffset(), plan.blockBytes, placedSize(item)});
    }
    plan.blockBytes += placedSize(item);
  }
  return plan;
}

bool EditorStore::readBlocksInto(std::span<const BlockFromFile> blocks, std::span<std::uint8_t> dataArea) const {
  // One read for each run of blocks that lie back to back in both files:
  // a file saved before is one run.
  for (std::size_t i = 0; i < blocks.size();) {
    std::uint64_t length = blocks[i].size;
    std::size_t next = i + 1;
    while (next < blocks.size() && blocks[next].from == blocks[i].from + length &&
           blocks[next].to == blocks[i].to + length) {
      length += blocks[next].size;
      ++next;
    }
    if (!fits_within(blocks[i].to, length, dataArea.size()) ||
        !readFromFile(dataAreaOffset_ + blocks[i].from, dataArea.subspan(blocks[i].to, length)))
      return false;
    i = next;
  }
  return true;
}

void EditorStore::keepBlocksFrom(std::span<const BlockFromFile> blocks, std::span<const std::uint8_t> dataArea) {
  std::uint64_t end = dataArea_.size();
  for (const BlockFromFile& block : blocks) end = std::max<std::uint64_t>(end, block.from + block.size);
  try {
    dataArea_.resize(static_cast<std::size_t>(end));
  } catch (const std::bad_alloc&) {
    // The blocks stay in the loaded file, where the heads still find them.
    return;
  }
  // The buffer mirrors the loaded file's data area, so blocks borrowed
  // earlier keep their offsets.
  for (const BlockFromFile& block : blocks) {
    std::memcpy(dataArea_.data() + block.from, dataArea.data() + block.to, block.size);
    items_[block.item].block = BorrowedBlock{static_cast<std::size_t>(block.from), block.size};
  }
}

void EditorStore::adoptSavedFile(std::uint64_t dataArea) {
  // The heads now describe the new file, and the blocks not in memory are
  // read from it: the loaded file may be gone or overwritten.
  std::uint64_t running = 0;
  for (EditorItem& item : items_) {
    if (!item.keep) continue;
    const std::size_t size = placedSize(item);
    HeadRef head = item.head.ref();
    head.setBlockOffset(static_cast<std::uint32_t>(running));
    head.setBlockSize(static_cast<std::int32_t>(size));
    running += size;
  }
  file_ = ReadOnlyFile::open(path_);
  dataAreaOffset_ = dataArea;
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

  const std::optional<BlockPlan> plan = planBlocks();
  if (!plan) return fail(EditorSaveStatus::BlockUnreadable, texts::kSaveBlockUnreadable);
  const std::int32_t kept = plan->kept;
  const std::uint64_t blockBytes = plan->blockBytes;
  const std::vector<BlockFromFile>& fromFile = plan->fromFile;
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

  // Blocks still in the loaded file go straight into the new bytes: no
  // second copy of the data area is held while the file is written.
  const std::span<std::uint8_t> dataBytes = out.subspan(static_cast<std::size_t>(dataArea));
  if (!readBlocksInto(fromFile, dataBytes)) return fail(EditorSaveStatus::BlockUnreadable, texts::kSaveBlockUnreadable);
  std::uint64_t headAt = layout::kPreambleSize;
  std::uint64_t running = 0;
  for (const EditorItem& item : items_) {
    if (!item.keep) continue;
    const std::size_t size = placedSize(item);
    const auto at = out.subspan(static_cast<std::size_t>(headAt), layout::kHeadRecordSize);
    std::copy(item.head.bytes.begin(), item.head.bytes.end(), at.begin());
    // The head must describe the bytes that follow it in the file; the
    // item's own head goes on describing the loaded file until it is replaced.
    HeadRef head(std::span<std::uint8_t, layout::kHeadRecordSize>(at.data(), layout::kHeadRecordSize));
    head.setBlockOffset(static_cast<std::uint32_t>(running));
    head.setBlockSize(static_cast<std::int32_t>(size));
    if (item.blockInMemory() && size > 0) std::memcpy(dataBytes.data() + running, blockOf(item).data(), size);
    headAt += layout::kHeadRecordSize;
    running += size;
  }

  const ReplaceResult result = replaceFile(path_, *image, ops);
  // Whatever became of the file, a retry needs no byte of it.
  if (result.error != ReplaceError::None) keepBlocksFrom(fromFile, dataBytes);
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
  adoptSavedFile(dataArea);
  return EditorSaveStatus::Ok;
}

}  // namespace legend::editor
