#pragma once
// The legends a pad shows: the head records and graphic parameter records of
// one legend file held in memory, the display list that orders them, the
// selection, and the attribute data read last. Attribute data are never kept
// for all legends; each attribute query reads them from the file.

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "components/attstru/att_stru.h"
#include "legendfile/head_record.h"
#include "legendfile/layout.h"
#include "legendfile/status.h"

namespace legend {

/// Allocates without zeroing, for buffers a read fills at once.
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <typename U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

/// Head records as read from the file (possibly with the rest of the file).
using HeadStore = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

/// Empties @p v and gives its memory back (assigning {} would keep it).
template <typename T, typename A>
void releaseMemory(std::vector<T, A>& v) noexcept {
  std::vector<T, A>().swap(v);
}

/// The parameter records of one legend type, in file order, each with the
/// legend index it belongs to.
template <std::size_t RecordSize>
class ParamArray {
 public:
  static constexpr std::size_t kRecordSize = RecordSize;
  std::int32_t count() const noexcept { return static_cast<std::int32_t>(owners_.size()); }
  std::span<const std::uint8_t, RecordSize> record(std::int32_t position) const noexcept {
    return std::span<const std::uint8_t, RecordSize>(bytes_.data() + static_cast<std::size_t>(position) * RecordSize,
                                                     RecordSize);
  }
  std::span<std::uint8_t, RecordSize> record(std::int32_t position) noexcept {
    return std::span<std::uint8_t, RecordSize>(bytes_.data() + static_cast<std::size_t>(position) * RecordSize,
                                               RecordSize);
  }
  std::int32_t legendIndex(std::int32_t position) const noexcept { return owners_[static_cast<std::size_t>(position)]; }
  bool contains(std::int32_t position) const noexcept { return position >= 0 && position < count(); }

 private:
  friend class LegendSet;
  // Sized for @p n records left unset: the load writes every byte of them.
  void resetUnfilled(std::size_t n) {
    bytes_.resize(n * RecordSize);
    owners_.resize(n);
  }
  void clear() noexcept {
    releaseMemory(bytes_);
    releaseMemory(owners_);
  }
  std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>> bytes_;
  std::vector<std::int32_t, UninitializedAllocator<std::int32_t>> owners_;
};

using PointArray = ParamArray<layout::kPointRecordSize>;
using LineArray = ParamArray<layout::kLineRecordSize>;
using RegionArray = ParamArray<layout::kRegionRecordSize>;

/// One legend of a set as drawing, the tip and the hand-over to the host
/// read it: its head record and its graphic parameter record where the set
/// keeps them, nothing copied. A view sees edits made through the set and
/// stays valid while the set's generation() stays the same.
class LegendView {
 public:
  /// @p record is the parameter record of the head's type, empty for an
  /// unknown type.
  LegendView(HeadView head, std::span<const std::uint8_t> record) noexcept : head_(head), record_(record) {}

  const HeadView& head() const noexcept { return head_; }
  /// The record of a point legend; nothing for a legend of any other type.
  std::optional<PointRecordBytes> pointRecord() const noexcept { return recordOf<LegendType::Point>(); }
  std::optional<LineRecordBytes> lineRecord() const noexcept { return recordOf<LegendType::Line>(); }
  std::optional<RegionRecordBytes> regionRecord() const noexcept { return recordOf<LegendType::Region>(); }

 private:
  template <LegendType Type>
  std::optional<std::span<const std::uint8_t, layout::param_record_size(static_cast<std::int8_t>(Type))>> recordOf()
      const noexcept {
    constexpr std::size_t size = layout::param_record_size(static_cast<std::int8_t>(Type));
    if (head_.type() != static_cast<std::int8_t>(Type) || record_.size() != size) return std::nullopt;
    return std::span<const std::uint8_t, size>(record_.data(), size);
  }

  HeadView head_;
  std::span<const std::uint8_t> record_;
};

/// Sees each parameter record as a load copies it in. Work that looks at
/// every record is done here while the record is still in the cache: a walk
/// over the records of a large file afterwards fetches each one from memory
/// again. A load that fails may have shown some records already.
class RecordObserver {
 public:
  virtual void line(LineRecordBytes record) noexcept = 0;
  virtual void point(PointRecordBytes record) noexcept = 0;
  virtual void region(RegionRecordBytes record) noexcept = 0;

 protected:
  ~RecordObserver() = default;
};

/// Attribute data handed out by an attribute query. Both pointers stay owned
/// by the legend set and are valid until the next attribute query, a reload,
/// a change of file or the set's destruction.
struct AttributeInfo {
  CATT_STRU* structure = nullptr;
  std::uint8_t* record = nullptr;
  std::int32_t length = 0;
};

class LegendSet {
 public:
  LegendSet() = default;
  LegendSet(const LegendSet&) = delete;
  LegendSet& operator=(const LegendSet&) = delete;

  // --- file -------------------------------------------------------------

  /// Sets the path of the legend file without loading it. Paths of more
  /// than 259 bytes are refused (PathTooLong) and the old path stays.
  LegendStatus setPath(std::string_view path);
  const std::string& path() const noexcept { return path_; }
  /// Length of the file at the last successful load; 0 for an empty set.
  std::uint64_t loadedFileSize() const noexcept { return loadedFileSize_; }

  /// Empties the set, then fills it from path(). A failure leaves it empty.
  /// Either way the set is unmodified afterwards: edits of the set before
  /// are gone, and a set that failed to load has nothing to save.
  /// @p observer, if any, sees every parameter record read.
  LegendStatus load(RecordObserver* observer = nullptr);
  /// Empties the set: heads, parameter arrays, display list, selection and
  /// held attribute data. The modified flag is kept.
  void free() noexcept;
  /// Changes whenever the set is emptied, and so with every load: work begun
  /// on the set (an edit in a modal dialog, say) compares it to tell whether
  /// the legends it was begun on are still there.
  std::uint64_t generation() const noexcept { return generation_; }
  /// Whether the last load read a legend file (an empty one included).
  bool loadedAFile() const noexcept { return loadedStamp_.has_value(); }
  /// Whether path() still names the very file the set was last read from,
  /// unchanged since then (or since noteFileSaved).
  bool fileIsAsLoaded() const;
  /// The set has just been written to path(): that file is now the one it
  /// holds.
  void noteFileSaved();
  /// free, load, then rebuild the display list and clear the selection.
  LegendStatus reload();
  /// Stores @p path and reloads from it. A path that is too long changes
  /// nothing.
  LegendStatus setNewFile(std::string_view path);

  // --- display list -----------------------------------------------------

  /// Shown point legends first, then lines, then regions, each in file order.
  void rebuildDisplayList();
  std::span<const std::int32_t> displayList() const noexcept { return display_; }
  std::int32_t displayCount() const noexcept { return static_cast<std::int32_t>(display_.size()); }
  /// Legend index at display position @p position, or -1.
  std::int32_t legendAt(std::int32_t position) const noexcept;

  bool showPoints() const noexcept { return showPoints_; }
  bool showLines() const noexcept { return showLines_; }
  bool showRegions() const noexcept { return showRegions_; }
  /// Filters take effect at the next rebuildDisplayList.
  void setShowPoints(bool on) noexcept { showPoints_ = on; }
  void setShowLines(bool on) noexcept { showLines_ = on; }
  void setShowRegions(bool on) noexcept { showRegions_ = on; }

  // --- selection --------------------------------------------------------

  std::int32_t selectedIndex() const noexcept { return selectedIndex_; }
  std::int32_t selectedPosition() const noexcept { return selectedPosition_; }
  /// Selects the legend at display position @p position (which must be valid).
  void selectPosition(std::int32_t position) noexcept;
  void clearSelection() noexcept;

  // --- queries ----------------------------------------------------------

  std::int32_t count() const noexcept { return static_cast<std::int32_t>(typePositions_.size()); }
  bool empty() const noexcept { return typePositions_.empty(); }
  bool contains(std::int32_t index) const noexcept { return index >= 0 && index < count(); }

  HeadView head(std::int32_t index) const noexcept;
  /// Legend @p index with its parameter record, read in place; nothing for
  /// an index outside the set. Drawing and the host's hand-over go by this;
  /// the get...Info copies below are for the exports.
  std::optional<LegendView> view(std::int32_t index) const noexcept;
  /// Writable head record, for edits made from the pad.
  HeadRef headRef(std::int32_t index) noexcept;
  /// Index of @p index's record in the parameter array of its type, -1 for
  /// an unknown type.
  std::int32_t typePosition(std::int32_t index) const noexcept {
    return typePositions_[static_cast<std::size_t>(index)];
  }

  const PointArray& points() const noexcept { return points_; }
  const LineArray& lines() const noexcept { return lines_; }
  const RegionArray& regions() const noexcept { return regions_; }
  PointArray& points() noexcept { return points_; }
  LineArray& lines() noexcept { return lines_; }
  RegionArray& regions() noexcept { return regions_; }

  /// The legend type, sign-extended, or -1 for no such legend.
  std::int16_t getType(std::int32_t index) const noexcept;
  /// Copies the record at @p index's per-type position of the point array
  /// (94 bytes) into @p out. The legend's own type is not looked at: callers
  /// ask getType first. 1 copied, 0 not.
  std::int16_t getPointInfo(std::uint8_t* out, std::int32_t index) const noexcept;
  std::int16_t getLineInfo(std::uint8_t* out, std::int32_t index) const noexcept;
  std::int16_t getRegionInfo(std::uint8_t* out, std::int32_t index) const noexcept;
  /// Copies the 333-byte head record. 1 copied, 0 not.
  std::int16_t getHeadInfo(std::uint8_t* out, std::int32_t index) const noexcept;

  /// Reads @p index's attribute structure and record from the file and holds
  /// them. Ok fills @p out; any other status leaves it null/0.
  LegendStatus getAttributeInfo(std::int32_t index, AttributeInfo& out);

  /// The six-line tip of the legend at display position @p position, GBK
  /// bytes; empty for a position outside the display list.
  std::string tipText(std::int32_t position) const;

  // --- modification -----------------------------------------------------

  bool modified() const noexcept { return modified_; }
  void setModified(bool on) noexcept { modified_ = on; }

  /// What identifies a file on disk and its content for fileIsAsLoaded.
  struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
  };

 private:
  template <std::size_t N>
  std::int16_t copyRecord(const ParamArray<N>& array, std::uint8_t* out, std::int32_t index) const noexcept;
  void releaseAttributes() noexcept;

  std::string path_;
  std::uint64_t loadedFileSize_ = 0;
  HeadStore heads_;                          // count() head records of 333 bytes
  std::vector<std::int32_t> typePositions_;  // per-type position of each legend
  PointArray points_;
  LineArray lines_;
  RegionArray regions_;
  std::vector<std::int32_t> display_;
  std::int32_t selectedIndex_ = -1;
  std::int32_t selectedPosition_ = -1;
  bool showPoints_ = true;
  bool showLines_ = true;
  bool showRegions_ = true;
  bool modified_ = false;
  std::uint64_t generation_ = 0;
  std::optional<FileStamp> loadedStamp_;
  std::unique_ptr<CATT_STRU> heldStructure_;
  std::vector<std::uint8_t> heldRecord_;
};

}  // namespace legend
