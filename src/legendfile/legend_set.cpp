#include "legendfile/legend_set.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "legendfile/byte_order.h"
#include "legendfile/file_io.h"
#include "legendfile/header.h"

namespace legend {

namespace {

/// Pieces a load reads the file in: small enough to stay in the cache while
/// the heads in them are looked at or the records in them copied out.
constexpr std::size_t kLoadPieceBytes = std::size_t{256} << 10;

/// Bytes read at once by an attribute query: enough for most structures
/// and records.
constexpr std::size_t kAttributeReadAhead = 4096;

/// One parameter record to fetch from the data area.
struct RecordRequest {
  std::uint64_t fileOffset;
  std::uint8_t* destination;
  std::size_t length;
  std::uint8_t type;
};

void showRecord(RecordObserver& observer, const RecordRequest& record) noexcept {
  switch (static_cast<LegendType>(record.type)) {
    case LegendType::Line: observer.line(LineRecordBytes(record.destination, layout::kLineRecordSize)); break;
    case LegendType::Point: observer.point(PointRecordBytes(record.destination, layout::kPointRecordSize)); break;
    case LegendType::Region: observer.region(RegionRecordBytes(record.destination, layout::kRegionRecordSize)); break;
  }
}

/// Serves records out of a piece of the file that is read again only when a
/// record lies outside it, so records visited in file order cost one read
/// per piece and the data area is never held whole.
class RecordWindow {
 public:
  explicit RecordWindow(const ReadOnlyFile& file)
      : file_(file), bytes_(static_cast<std::size_t>(std::min<std::uint64_t>(kLoadPieceBytes, file.size()))) {}

  /// Copies one record out; the part of it the file does not hold reads as
  /// zero. False when the file turned out shorter than it was when opened.
  bool fetch(const RecordRequest& record) {
    std::size_t available = 0;
    if (record.fileOffset < file_.size()) {
      const bool inside = record.fileOffset >= start_ && record.fileOffset - start_ + record.length <= length_;
      if (!inside && !refill(record.fileOffset)) return false;
      const auto skip = static_cast<std::size_t>(record.fileOffset - start_);
      available = std::min(record.length, length_ - skip);
      const std::uint8_t* from = bytes_.data() + skip;
      // Whole records, as nearly all are, are copied at a length known here:
      // a few moves each, not a call.
      if (available == record.length) {
        switch (record.length) {
          case layout::kPointRecordSize: std::memcpy(record.destination, from, layout::kPointRecordSize); return true;
          case layout::kLineRecordSize: std::memcpy(record.destination, from, layout::kLineRecordSize); return true;
          case layout::kRegionRecordSize: std::memcpy(record.destination, from, layout::kRegionRecordSize); return true;
          default: break;
        }
      }
      std::memcpy(record.destination, from, available);
    }
    std::memset(record.destination + available, 0, record.length - available);
    return true;
  }

 private:
  bool refill(std::uint64_t offset) {
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(bytes_.size(), file_.size() - offset));
    start_ = offset;
    length_ = file_.readAt(offset, std::span<std::uint8_t>(bytes_.data(), wanted));
    return length_ == wanted;
  }

  const ReadOnlyFile& file_;
  std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>> bytes_;
  std::uint64_t start_ = 0;
  std::size_t length_ = 0;
};

// Tip labels, GBK encoded: 序号: 类型: 名称: 描述: 分类码: 大小: 字节
constexpr std::string_view kTipNumber = "\xd0\xf2\xba\xc5:";
constexpr std::string_view kTipType = "\xc0\xe0\xd0\xcd:";
constexpr std::string_view kTipName = "\xc3\xfb\xb3\xc6:";
constexpr std::string_view kTipDescription = "\xc3\xe8\xca\xf6:";
constexpr std::string_view kTipClassCode = "\xb7\xd6\xc0\xe0\xc2\xeb:";
constexpr std::string_view kTipSize = "\xb4\xf3\xd0\xa1:";
constexpr std::string_view kTipBytes = "\xd7\xd6\xbd\xda";
// 线图例 点图例 区图例
constexpr std::array<std::string_view, 3> kTipTypeNames{"\xcf\xdf\xcd\xbc\xc0\xfd", "\xb5\xe3\xcd\xbc\xc0\xfd",
                                                        "\xc7\xf8\xcd\xbc\xc0\xfd"};

LegendSet::FileStamp stampOf(const struct stat& status) noexcept {
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
          static_cast<std::uint64_t>(status.st_size), static_cast<std::int64_t>(status.st_mtim.tv_sec),
          static_cast<std::int64_t>(status.st_mtim.tv_nsec)};
}

std::optional<LegendSet::FileStamp> stampOfPath(const std::string& path) noexcept {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return stampOf(status);
}

void appendNumber(std::string& out, std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
  out.append(digits, end);
}

}  // namespace

LegendStatus LegendSet::setPath(std::string_view path) {
  if (path.size() > layout::kMaxPathBytes) return LegendStatus::PathTooLong;
  path_.assign(path);
  return LegendStatus::Ok;
}

LegendStatus LegendSet::load(RecordObserver* observer) {
  free();
  modified_ = false;
  const std::optional<ReadOnlyFile> opened = ReadOnlyFile::open(path_);
  if (!opened) return LegendStatus::CannotOpenLegendFile;
  const ReadOnlyFile& file = *opened;
  // Taken from the open file, so a file replaced after it was read cannot
  // pass for the one read; kept only once the file has been read, since a
  // set that failed to load has no file whose blocks it could save or copy.
  std::optional<FileStamp> stamp;
  if (struct stat status{}; ::fstat(file.descriptor(), &status) == 0) stamp = stampOf(status);

  std::array<std::uint8_t, layout::kPreambleSize> preamble{};
  const std::size_t got = file.readAt(0, preamble);
  if (got < layout::kPreambleSize || !isLegendHeader(preamble)) return LegendStatus::IllegalLegendFile;
  const std::int32_t n = load_le<std::int32_t>(preamble, layout::kCountOffset);
  if (n == 0) {
    loadedStamp_ = stamp;
    return LegendStatus::Ok;
  }
  if (n < 0 || n > layout::kMaxLegends || layout::data_area_offset(n) > file.size())
    return LegendStatus::IllegalLegendFile;

  // The heads are read whole, in pieces that fit the cache, and the heads
  // of each piece are looked at while it is still there: walking megabytes
  // of heads again afterwards would fetch every one of them from memory a
  // second time. What the walk keeps is small enough to stay cached.
  const auto count = static_cast<std::size_t>(n);
  const std::uint64_t dataArea = layout::data_area_offset(n);
  const std::size_t headBytes = count * layout::kHeadRecordSize;
  HeadStore heads(headBytes);
  std::vector<std::int32_t> typePositions(count);
  // Every element is written by the scan before it is read.
  std::vector<std::uint32_t, UninitializedAllocator<std::uint32_t>> blockOffsets(count);
  std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>> types(count);
  std::array<std::int32_t, 3> perType{};
  std::size_t scanned = 0;
  for (std::size_t have = 0; have < headBytes;) {
    const std::span<std::uint8_t> piece(heads.data() + have, std::min(kLoadPieceBytes, headBytes - have));
    if (file.readAt(layout::kPreambleSize + have, piece) != piece.size()) return LegendStatus::IllegalLegendFile;
    have += piece.size();
    // Plain pointers: stores through a byte pointer may alias anything, and
    // would have the vectors' data fetched again for every head.
    const std::size_t complete = have / layout::kHeadRecordSize;
    const std::uint8_t* const bytes = heads.data();
    std::int32_t* const positions = typePositions.data();
    std::uint8_t* const typeBytes = types.data();
    std::uint32_t* const offsets = blockOffsets.data();
    for (; scanned < complete; ++scanned) {
      const HeadView head(HeadBytes(bytes + scanned * layout::kHeadRecordSize, layout::kHeadRecordSize));
      const auto type = static_cast<std::uint8_t>(head.type());
      positions[scanned] = type < perType.size() ? perType[type]++ : -1;
      typeBytes[scanned] = type;
      offsets[scanned] = head.blockOffset();
    }
  }
  lines_.resetUnfilled(static_cast<std::size_t>(perType[static_cast<std::size_t>(LegendType::Line)]));
  points_.resetUnfilled(static_cast<std::size_t>(perType[static_cast<std::size_t>(LegendType::Point)]));
  regions_.resetUnfilled(static_cast<std::size_t>(perType[static_cast<std::size_t>(LegendType::Region)]));

  // Indexed by the type byte, so the loop below does not branch on it.
  struct Destination {
    std::uint8_t* records;
    std::int32_t* owners;
    std::size_t recordSize;
  };
  const std::array<Destination, 3> destinations{{
      {lines_.bytes_.data(), lines_.owners_.data(), layout::kLineRecordSize},
      {points_.bytes_.data(), points_.owners_.data(), layout::kPointRecordSize},
      {regions_.bytes_.data(), regions_.owners_.data(), layout::kRegionRecordSize},
  }};
  RecordWindow window(file);
  // Captured by value, so a copy through a byte pointer cannot make them stale.
  const auto requestFor = [destinations, dataArea, typeOf = types.data(), offsets = blockOffsets.data(),
                           positions = typePositions.data()](std::size_t i) {
    const Destination& to = destinations[typeOf[i]];
    return RecordRequest{dataArea + offsets[i], to.records + static_cast<std::size_t>(positions[i]) * to.recordSize,
                         to.recordSize, typeOf[i]};
  };
  const auto fetch = [&window, observer](const RecordRequest& request) {
    if (!window.fetch(request)) return false;
    if (observer != nullptr) showRecord(*observer, request);
    return true;
  };
  for (std::size_t i = 0; i < count; ++i) {
    if (typePositions[i] < 0) continue;
    destinations[types[i]].owners[typePositions[i]] = static_cast<std::int32_t>(i);
  }

  // Blocks written in legend order, as the editor and the pad write them,
  // are fetched in that order; the pad's copies of its current display are
  // sorted by place in the file first.
  bool whole = true;
  if (std::is_sorted(blockOffsets.begin(), blockOffsets.end())) {
    const std::int32_t* const positions = typePositions.data();
    for (std::size_t i = 0; i < count && whole; ++i)
      if (positions[i] >= 0) whole = fetch(requestFor(i));
  } else {
    std::vector<RecordRequest> requests;
    requests.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
      if (typePositions[i] >= 0) requests.push_back(requestFor(i));
    std::sort(requests.begin(), requests.end(),
              [](const RecordRequest& a, const RecordRequest& b) { return a.fileOffset < b.fileOffset; });
    for (const RecordRequest& request : requests)
      if (whole) whole = fetch(request);
  }
  if (!whole) {
    // The file shrank while it was read: nothing of it is kept.
    points_.clear();
    lines_.clear();
    regions_.clear();
    return LegendStatus::IllegalLegendFile;
  }

  heads_ = std::move(heads);
  typePositions_ = std::move(typePositions);
  loadedStamp_ = stamp;
  loadedFileSize_ = file.size();
  display_.reserve(count);
  return LegendStatus::Ok;
}

void LegendSet::free() noexcept {
  ++generation_;
  loadedStamp_.reset();
  releaseMemory(heads_);
  releaseMemory(typePositions_);
  loadedFileSize_ = 0;
  points_.clear();
  lines_.clear();
  regions_.clear();
  releaseMemory(display_);
  selectedIndex_ = -1;
  selectedPosition_ = -1;
  releaseAttributes();
}

bool LegendSet::fileIsAsLoaded() const { return loadedStamp_.has_value() && stampOfPath(path_) == loadedStamp_; }

void LegendSet::noteFileSaved() { loadedStamp_ = stampOfPath(path_); }

LegendStatus LegendSet::reload() {
  const LegendStatus status = load();
  rebuildDisplayList();
  clearSelection();
  return status;
}

LegendStatus LegendSet::setNewFile(std::string_view path) {
  if (const LegendStatus status = setPath(path); status != LegendStatus::Ok) return status;
  return reload();
}

void LegendSet::rebuildDisplayList() {
  display_.clear();
  // Each array lists its legends in file order: the display takes them whole.
  const auto append = [&](const auto& array) {
    display_.insert(display_.end(), array.owners_.begin(), array.owners_.end());
  };
  if (showPoints_) append(points_);
  if (showLines_) append(lines_);
  if (showRegions_) append(regions_);
  // A hidden selection stays selected by index and is found again when its
  // type is shown once more.
  const auto found = selectedIndex_ < 0 ? display_.end() : std::find(display_.begin(), display_.end(), selectedIndex_);
  selectedPosition_ = found == display_.end() ? -1 : static_cast<std::int32_t>(found - display_.begin());
}

std::int32_t LegendSet::legendAt(std::int32_t position) const noexcept {
  if (position < 0 || position >= displayCount()) return -1;
  return display_[static_cast<std::size_t>(position)];
}

void LegendSet::selectPosition(std::int32_t position) noexcept {
  selectedPosition_ = position;
  selectedIndex_ = legendAt(position);
}

void LegendSet::clearSelection() noexcept {
  selectedPosition_ = -1;
  selectedIndex_ = -1;
}

HeadView LegendSet::head(std::int32_t index) const noexcept {
  return HeadView(
      HeadBytes(heads_.data() + static_cast<std::size_t>(index) * layout::kHeadRecordSize, layout::kHeadRecordSize));
}

HeadRef LegendSet::headRef(std::int32_t index) noexcept {
  return HeadRef(MutableHeadBytes(heads_.data() + static_cast<std::size_t>(index) * layout::kHeadRecordSize,
                                  layout::kHeadRecordSize));
}

std::optional<LegendView> LegendSet::view(std::int32_t index) const noexcept {
  if (!contains(index)) return std::nullopt;
  const HeadView h = head(index);
  const std::int32_t position = typePosition(index);
  std::span<const std::uint8_t> record;
  switch (h.type()) {
    case static_cast<std::int8_t>(LegendType::Line):
      if (lines_.contains(position)) record = lines_.record(position);
      break;
    case static_cast<std::int8_t>(LegendType::Point):
      if (points_.contains(position)) record = points_.record(position);
      break;
    case static_cast<std::int8_t>(LegendType::Region):
      if (regions_.contains(position)) record = regions_.record(position);
      break;
    default: break;
  }
  return LegendView(h, record);
}

std::int16_t LegendSet::getType(std::int32_t index) const noexcept {
  if (!contains(index)) return -1;
  return head(index).type();
}

template <std::size_t N>
std::int16_t LegendSet::copyRecord(const ParamArray<N>& array, std::uint8_t* out, std::int32_t index) const noexcept {
  if (out == nullptr || !contains(index)) return 0;
  const std::int32_t position = typePosition(index);
  if (!array.contains(position)) return 0;
  const auto record = array.record(position);
  std::memcpy(out, record.data(), record.size());
  return 1;
}

std::int16_t LegendSet::getPointInfo(std::uint8_t* out, std::int32_t index) const noexcept {
  return copyRecord(points_, out, index);
}
std::int16_t LegendSet::getLineInfo(std::uint8_t* out, std::int32_t index) const noexcept {
  return copyRecord(lines_, out, index);
}
std::int16_t LegendSet::getRegionInfo(std::uint8_t* out, std::int32_t index) const noexcept {
  return copyRecord(regions_, out, index);
}

std::int16_t LegendSet::getHeadInfo(std::uint8_t* out, std::int32_t index) const noexcept {
  if (out == nullptr || !contains(index)) return 0;
  std::memcpy(out, head(index).bytes().data(), layout::kHeadRecordSize);
  return 1;
}

void LegendSet::releaseAttributes() noexcept {
  heldStructure_.reset();
  releaseMemory(heldRecord_);
}

LegendStatus LegendSet::getAttributeInfo(std::int32_t index, AttributeInfo& out) {
  out = {};
  if (!contains(index)) return LegendStatus::NoSuchLegend;
  const auto file = ReadOnlyFile::open(path_);
  if (!file) return LegendStatus::CannotOpenForAttributes;
  releaseAttributes();

  // Every position is computed in 64 bits from the head and checked against
  // the file's real length before anything is read or allocated. One read
  // ahead usually brings S, the structure, R and the record at once.
  const HeadView h = head(index);
  const std::uint64_t size = file->size();
  const std::uint64_t sizeAt = layout::data_area_offset(count()) + h.blockOffset() + h.paramSize();
  std::array<std::uint8_t, kAttributeReadAhead> ahead;
  const std::size_t aheadLength = file->readAt(sizeAt, ahead);
  const auto bytesAt = [&](std::uint64_t offset, std::span<std::uint8_t> into) {
    if (offset - sizeAt + into.size() <= aheadLength) {
      std::memcpy(into.data(), ahead.data() + (offset - sizeAt), into.size());
      return true;
    }
    return file->readAt(offset, into) == into.size();
  };
  std::array<std::uint8_t, 4> field{};
  if (!fits_within(sizeAt, 4, size) || !bytesAt(sizeAt, field)) return LegendStatus::AttributeDataDamaged;
  const std::int32_t s = load_le<std::int32_t>(field, 0);
  const std::uint64_t structureAt = sizeAt + 4;
  if (s < 0 || !fits_within(structureAt, static_cast<std::uint64_t>(s), size))
    return LegendStatus::AttributeDataDamaged;

  heldStructure_ = std::make_unique<CATT_STRU>();
  // What the structure makes of its bytes does not move R: it is always
  // found right after the S bytes.
  if (s != 0) {
    std::vector<std::uint8_t> structureBytes(static_cast<std::size_t>(s));
    if (bytesAt(structureAt, structureBytes)) heldStructure_->Load(structureBytes.data(), s, 0);
  }

  const std::uint64_t recordSizeAt = structureAt + static_cast<std::uint64_t>(s);
  if (!fits_within(recordSizeAt, 4, size) || !bytesAt(recordSizeAt, field)) return LegendStatus::AttributeDataDamaged;
  const std::int32_t r = load_le<std::int32_t>(field, 0);
  if (r < 0 || !fits_within(recordSizeAt + 4, static_cast<std::uint64_t>(r), size))
    return LegendStatus::AttributeDataDamaged;
  if (r != 0) {
    heldRecord_.resize(static_cast<std::size_t>(r));
    if (!bytesAt(recordSizeAt + 4, heldRecord_)) {
      releaseMemory(heldRecord_);
      return LegendStatus::AttributeDataDamaged;
    }
  }

  heldStructure_->CalSize();
  if (heldStructure_->RecordLength() != r) return LegendStatus::AttributeSizeMismatch;
  out.structure = heldStructure_.get();
  out.record = heldRecord_.empty() ? nullptr : heldRecord_.data();
  out.length = r;
  return LegendStatus::Ok;
}

std::string LegendSet::tipText(std::int32_t position) const {
  const std::optional<LegendView> legend = view(legendAt(position));
  if (!legend) return {};
  const HeadView& h = legend->head();
  std::string text;
  text.reserve(2 * layout::kTextFieldSize + 64);
  text.append(kTipNumber);
  appendNumber(text, position);
  text.append("\n").append(kTipType);
  if (h.type() >= 0 && h.type() <= 2) text.append(kTipTypeNames[static_cast<std::size_t>(h.type())]);
  text.append("\n").append(kTipName).append(h.name());
  text.append("\n").append(kTipDescription).append(h.description());
  text.append("\n").append(kTipClassCode);
  appendNumber(text, h.classCode());
  text.append("\n").append(kTipSize);
  appendNumber(text, h.blockSize());
  text.append(kTipBytes);
  return text;
}

}  // namespace legend
