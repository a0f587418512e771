#include "legendfile/pad_save.h"

#include <algorithm>
#include <cstring>

#include "legendfile/byte_order.h"
#include "legendfile/header.h"

namespace legend {

namespace {

/// A file image that grows like a file written past its end: the gap is zero.
class FileImage {
 public:
  explicit FileImage(std::vector<std::uint8_t> base) : bytes_(std::move(base)) {}
  /// Growing an image write by write would copy it over and over.
  void reserve(std::uint64_t size) { bytes_.reserve(static_cast<std::size_t>(size)); }
  void write(std::uint64_t offset, std::span<const std::uint8_t> data) {
    if (data.empty()) return;
    if (offset + data.size() > bytes_.size()) bytes_.resize(offset + data.size(), 0);
    std::memcpy(bytes_.data() + offset, data.data(), data.size());
  }
  void writeCount(std::int32_t count) {
    std::array<std::uint8_t, 4> field{};
    store_le<std::int32_t>(field, 0, count);
    write(layout::kCountOffset, field);
  }
  std::span<const std::uint8_t> bytes() const noexcept { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

/// The parameter record a set holds for legend @p index; empty for an
/// unknown type.
std::span<const std::uint8_t> paramRecord(const LegendSet& set, std::int32_t index) {
  const std::int32_t position = set.typePosition(index);
  switch (set.head(index).type()) {
    case static_cast<std::int8_t>(LegendType::Line):
      if (set.lines().contains(position)) return set.lines().record(position);
      break;
    case static_cast<std::int8_t>(LegendType::Point):
      if (set.points().contains(position)) return set.points().record(position);
      break;
    case static_cast<std::int8_t>(LegendType::Region):
      if (set.regions().contains(position)) return set.regions().record(position);
      break;
  }
  return {};
}

/// Writes @p image as @p path and says what the user is told. @p refused is
/// the status of a file that may not be written or cannot be created.
SaveResult replace(const std::string& path, const FileImage& image, LegendStatus refused, FileOps& ops) {
  const ReplaceResult result = replaceFile(path, image.bytes(), ops);
  switch (result.error) {
    case ReplaceError::None: return {LegendStatus::Ok, {}, FileStep::None};
    case ReplaceError::NotWritable:
    case ReplaceError::CannotCreate: return {refused, path, result.step};
    case ReplaceError::Failed: return {LegendStatus::WriteFailed, path, result.step};
    case ReplaceError::BackupKept: return {LegendStatus::WriteFailedBackupKept, result.backup, result.step};
    case ReplaceError::Unconfirmed: return {LegendStatus::SaveUnconfirmed, path, result.step};
  }
  return {LegendStatus::WriteFailed, path, result.step};
}

}  // namespace

SaveResult saveInPlace(const LegendSet& set, FileOps& ops) {
  const std::string& path = set.path();
  if (path.empty()) return {LegendStatus::CannotOpenWritable, {}};
  // The heads and records are written where the file held them when it was
  // read; over a file rewritten since, they would land inside other blocks.
  if (!set.fileIsAsLoaded()) return {LegendStatus::FileChangedElsewhere, path};
  std::error_code error;
  auto base = readExistingFile(path, error);
  if (!base) return {LegendStatus::CannotOpenWritable, path};

  FileImage image(std::move(*base));
  image.write(0, makeHeader());
  image.writeCount(set.count());
  for (std::int32_t i = 0; i < set.count(); ++i) image.write(layout::head_offset(i), set.head(i).bytes());

  // A legend whose block began past the end of the file it was loaded from
  // has no block; writing its record would stretch the file out to an offset
  // nobody vouched for.
  const std::uint64_t dataArea = layout::data_area_offset(set.count());
  for (std::int32_t i = 0; i < set.count(); ++i) {
    const std::uint64_t at = dataArea + set.head(i).blockOffset();
    if (at >= set.loadedFileSize()) continue;
    image.write(at, paramRecord(set, i));
  }
  return replace(path, image, LegendStatus::CannotOpenWritable, ops);
}

SaveResult saveCopy(const LegendSet& set, std::string_view destination, CopyScope scope, FileOps& ops) {
  const std::string target(destination);
  if (destination.size() > layout::kMaxPathBytes) return {LegendStatus::PathTooLong, target};
  if (destination.empty()) return {LegendStatus::CannotOpenCopyTarget, {}};

  // The source is read whole before anything is written, so the destination
  // may be the source itself.
  const auto sourceFile = ReadOnlyFile::open(set.path());
  if (!sourceFile || !set.loadedAFile()) return {LegendStatus::CannotOpenSource, set.path()};
  const std::vector<std::uint8_t> source = sourceFile->readAll();
  // The blocks are taken from where the set's heads say they lie; in a file
  // rewritten since it was read (checked once it has been read, so a change
  // while reading counts too) they would be other legends' bytes.
  if (!set.fileIsAsLoaded()) return {LegendStatus::SourceChangedElsewhere, set.path()};
  std::error_code error;
  auto base = readExistingFile(target, error);
  if (!base) return {LegendStatus::CannotOpenCopyTarget, target};

  const bool wholeFile = scope == CopyScope::WholeFile;
  const std::int32_t m = wholeFile ? set.count() : set.displayCount();
  const auto chosen = [&](std::int32_t k) { return wholeFile ? k : set.legendAt(k); };

  const std::uint64_t sourceArea = layout::data_area_offset(set.count());
  const std::uint64_t targetArea = layout::data_area_offset(m);
  std::uint64_t imageSize = std::max<std::uint64_t>(base->size(), targetArea);
  for (std::int32_t k = 0; k < m; ++k) {
    const HeadView h = set.head(chosen(k));
    const std::uint64_t from = sourceArea + h.blockOffset();
    if (from >= source.size()) continue;
    const std::uint64_t length = std::max<std::uint64_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(std::max(h.blockSize(), 0)), source.size() - from),
        h.paramSize());
    imageSize = std::max(imageSize, targetArea + h.blockOffset() + length);
  }

  FileImage image(std::move(*base));
  image.reserve(imageSize);
  image.write(0, std::span(source).first(std::min(source.size(), layout::kHeaderSize)));
  image.writeCount(m);
  for (std::int32_t k = 0; k < m; ++k) image.write(layout::head_offset(k), set.head(chosen(k)).bytes());

  for (std::int32_t k = 0; k < m; ++k) {
    const std::int32_t j = chosen(k);
    const HeadView h = set.head(j);
    const std::uint64_t from = sourceArea + h.blockOffset();
    const std::uint64_t to = targetArea + h.blockOffset();
    if (from >= source.size()) continue;  // no block in the source to copy
    if (h.blockSize() > 0) {
      const std::size_t available =
          std::min<std::uint64_t>(static_cast<std::uint64_t>(h.blockSize()), source.size() - from);
      image.write(to, std::span(source).subspan(from, available));
    }
    if (set.modified()) image.write(to, paramRecord(set, j));
  }
  return replace(target, image, LegendStatus::CannotOpenCopyTarget, ops);
}

}  // namespace legend
