#pragma once
// The editor's legend list as a table model: the store pushes rows into it
// through LegendListSink, the view asks for each cell when it paints, so a
// list of thousands of legends costs one LegendRow per row and nothing per
// cell.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include <QAbstractTableModel>
#include <QPixmap>

#include "editor/model/editor_store.h"

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

 private:
  std::vector<LegendRow> rows_;
  /// Row images by LegendRow::image: point, line, region, other.
  std::array<QPixmap, 4> images_;
  std::function<void(int)> currentRowHandler_;
  int rebuildDepth_ = 0;
  bool resetting_ = false;
  int pendingCurrentRow_ = -1;
};

}  // namespace legend::editor
