#pragma once
// The largest sizes met so far in the legends the pads have shown. Samples
// are drawn in proportion to them, so a large symbol fills its cell and a
// small one looks small beside it. They are shared by every pad of the
// process and only ever grow, so a legend looks the same whichever pad or
// file showed the larger ones first.

#include "legendfile/layout.h"
#include "legendfile/legend_set.h"

namespace legend::pad {

struct ScaleMaxima {
  double lineX = 1.0;        ///< line pattern length; scales it against 2 x cell width
  double lineY = 1.0;        ///< line pattern width; scales it against 2 x cell height
  double pointHeight = 1.0;  ///< text character height and symbol height
  double pointWidth = 1.0;   ///< text character width and symbol width
  double pointSize = 1.0;    ///< dot and ring diameter; scales it against 3/8 of the cell width

  /// Raises each maximum to the largest of its values among the legends of
  /// @p legends' display list. Never lowers one.
  void raiseFrom(const LegendSet& legends) noexcept;
  /// Raises each maximum to @p other's where that is larger.
  void raiseTo(const ScaleMaxima& other) noexcept;
  void raiseFromLine(LineRecordBytes record) noexcept;
  void raiseFromPoint(PointRecordBytes record) noexcept;
};

/// The maxima of the records a load reads, of the types shown when it began:
/// once that load has built its display list, they are what raiseFrom would
/// find, without a second walk through the records.
class MaximaCollector final : public RecordObserver {
 public:
  explicit MaximaCollector(const LegendSet& legends) noexcept
      : lines_(legends.showLines()), points_(legends.showPoints()) {}

  void line(LineRecordBytes record) noexcept override {
    if (lines_) found_.raiseFromLine(record);
  }
  void point(PointRecordBytes record) noexcept override {
    if (points_) found_.raiseFromPoint(record);
  }
  void region(RegionRecordBytes) noexcept override {}  // regions fill their cell whatever their record

  const ScaleMaxima& found() const noexcept { return found_; }

 private:
  ScaleMaxima found_;
  bool lines_;
  bool points_;
};

/// The process-wide maxima that every pad draws with.
ScaleMaxima& scaleMaxima() noexcept;

/// Raises the process-wide maxima after @p legends was loaded or reloaded
/// and its display list built.
void updateScaleMaxima(const LegendSet& legends) noexcept;

}  // namespace legend::pad
