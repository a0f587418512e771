#pragma once
// The editor's legend list as a table model: the store pushes rows into it
// through LegendListSink, the view asks for each cell when it paints, so a
// list of thousands of legends costs one LegendRow per row and nothing per
// cell.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QAbstractTableModel>
#include <QPixmap>
#include <QSortFilterProxyModel>

#include "editor/model/editor_store.h"
#include "legendfile/legend_query.h"

namespace legend::editor {

class LegendListModel final : public QAbstractTableModel, public LegendListSink {
 public:
  enum Column : int { kNameColumn = 0, kClassCodeColumn = 1, kDescriptionColumn = 2, kSizeColumn = 3, kColumnCount };
  /// Role under which each row carries its legend index (the item data).
  static constexpr int kLegendIndexRole = Qt::UserRole + 1;

  explicit LegendListModel(QObject* parent = nullptr);

  /// Header texts, leading blanks included: they set the column widths.
  static QString headerText(int column);
  /// Pixels a column gets beyond its header text.
  static int columnPadding(int column);

  /// Where the row samples get their legends' graphic parameter records;
  /// without one (or for a record that cannot be read) a row shows the
  /// image of its legend type.
  using RecordSource = std::function<std::vector<std::uint8_t>(std::int32_t legendIndex)>;
  void setRecordSource(RecordSource source);
  /// Side of a row sample in logical pixels.
  static constexpr int kSampleSize = 20;

  /// Called with the row the store makes current, once the rows are in.
  void setCurrentRowHandler(std::function<void(int)> handler) { currentRowHandler_ = std::move(handler); }

  /// A store rebuild between beginRebuild() and endRebuild() reaches the
  /// view as one model reset instead of a signal per row; the current row
  /// waits for the reset to end, so the view selects a row it already has.
  void beginRebuild();
  void endRebuild();

  const LegendRow* rowAt(int row) const;

  // QAbstractTableModel
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // LegendListSink
  void clear() override;
  bool insertRow(std::int32_t row, const LegendRow& data) override;
  void setCurrentRow(std::int32_t row) override;
  void changeRow(std::int32_t row, const LegendRow& data) override;

 private:
  /// The row's sample, drawn when the view first shows the row.
  QPixmap sampleOf(int row) const;

  std::vector<LegendRow> rows_;
  /// Row images by LegendRow::image: point, line, region, other.
  std::array<QPixmap, 4> images_;
  RecordSource records_;
  /// Samples by row, drawn at samplesRatio_; every rebuild of the rows (and
  /// so every change of a legend) drops them.
  mutable std::vector<std::optional<QPixmap>> samples_;
  mutable qreal samplesRatio_ = 0;
  std::function<void(int)> currentRowHandler_;
  int rebuildDepth_ = 0;
  bool resetting_ = false;
  int pendingCurrentRow_ = -1;
};

/// The rows the filter field lets through, in the order of the column last
/// clicked; before any click, in the store's order.
class LegendListProxy final : public QSortFilterProxyModel {
 public:
  explicit LegendListProxy(LegendListModel* rows, QObject* parent = nullptr);
  /// Shows only rows whose name, description or class code holds @p text.
  void setFilterText(const QString& text);

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

 private:
  LegendListModel* rows_;
  LegendQuery query_{""};
};

}  // namespace legend::editor
