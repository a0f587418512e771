// Loads arbitrary bytes as a legend file and runs every query, the thorough
// inspection and both saves (up to the point where the new file would be
// created) over them.
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "legendfile/file_check.h"
#include "legendfile/legend_set.h"
#include "legendfile/pad_save.h"

namespace {

// Builds every save image but never touches the disk.
class NoCreateOps : public legend::FileOps {
 public:
  int openNew(const std::string&, unsigned) override { return -1; }
};

const std::string& inputPath(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("legend-fuzz", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) abort();
  return path;
}

// Reads every byte the load shows it, so a record handed out past its
// buffer is caught where it is handed out.
class ByteSum final : public legend::RecordObserver {
 public:
  void line(legend::LineRecordBytes record) noexcept override { add(record); }
  void point(legend::PointRecordBytes record) noexcept override { add(record); }
  void region(legend::RegionRecordBytes record) noexcept override { add(record); }
  unsigned sum = 0;

 private:
  void add(std::span<const std::uint8_t> record) noexcept {
    for (const std::uint8_t byte : record) sum += byte;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = inputPath(data, size);
  legend::LegendSet set;
  set.setPath(path);
  ByteSum shown;
  set.load(&shown);
  set.rebuildDisplayList();
  std::array<std::uint8_t, 333> out{};
  out[0] = static_cast<std::uint8_t>(shown.sum);
  for (std::int32_t i = -1; i <= set.count(); ++i) {
    set.getType(i);
    set.getPointInfo(out.data(), i);
    set.getLineInfo(out.data(), i);
    set.getRegionInfo(out.data(), i);
    set.getHeadInfo(out.data(), i);
    legend::AttributeInfo info;
    if (set.getAttributeInfo(i, info) == legend::LegendStatus::Ok && info.length > 0)
      out[0] ^= info.record[info.length - 1];
    set.tipText(i);
  }
  set.setShowLines(false);
  set.rebuildDisplayList();
  NoCreateOps ops;
  set.setModified(true);
  legend::saveInPlace(set, ops);
  legend::saveCopy(set, path, legend::CopyScope::CurrentDisplay, ops);
  legend::inspectFile(path);
  return 0;
}
