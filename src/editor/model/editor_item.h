#pragma once
// One legend of the editor's store: its head record and where its data block
// lives. Where the block lives is a type, not a pair of flags, so a block
// borrowed from the store's data-area buffer can never be freed on its own
// and a dropped block can never be read.

#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

#include "legendfile/head_record.h"

namespace legend::editor {

/// The block lies only in the file the store was loaded from.
struct BlockInFile {};

/// The block lies in the store's data-area buffer, at the same offset as in
/// the loaded file's data area. Only the store can resolve it.
struct BorrowedBlock {
  std::size_t offset = 0;
  std::size_t size = 0;
};

using BlockStorage = std::variant<BlockInFile, std::vector<std::uint8_t>, BorrowedBlock>;

struct EditorItem {
  HeadRecord head;
  /// False once deleted: the item keeps its legend index but is neither
  /// listed nor saved.
  bool keep = true;
  /// Index of this legend's entry in the type list of its legend type.
  std::int32_t typePosition = -1;
  BlockStorage block;

  /// The item owns its block (the edited-block flag).
  bool editedBlock() const noexcept { return std::holds_alternative<std::vector<std::uint8_t>>(block); }
  /// The block is in memory, owned or borrowed.
  bool blockInMemory() const noexcept { return !std::holds_alternative<BlockInFile>(block); }
};

}  // namespace legend::editor
