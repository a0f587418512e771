#include "editor/legend_list_model.h"

#include <QGuiApplication>
#include <QImage>

#include "components/codec/gbk_text.h"
#include "components/codec/utf8_text.h"
#include "editor/model/legend_list_order.h"
#include "editor/row_sample.h"

namespace legend::editor {

namespace {

struct RowImage {
  const char* path;
  /// The background colour the artwork was drawn on, made transparent.
  QRgb mask;
};

// Images 0 to 3 of the list: point, line, region, any other type. The line
// bitmap was drawn on a different background from the others.
constexpr std::array<RowImage, 4> kRowImages{{
    {":/legend/editor/bitmap159.png", qRgb(0, 128, 128)},
    {":/legend/editor/bitmap158.png", qRgb(0, 255, 255)},
    {":/legend/editor/bitmap160.png", qRgb(0, 128, 128)},
    {":/legend/editor/bitmap176.png", qRgb(0, 128, 128)},
}};
constexpr int kRowImageSize = 20;

constexpr std::array<const char*, LegendListModel::kColumnCount> kHeaders{
    QT_TRANSLATE_NOOP("legend", "   名称"), QT_TRANSLATE_NOOP("legend", " 分类码"),
    QT_TRANSLATE_NOOP("legend", "   描述"), QT_TRANSLATE_NOOP("legend", " 大小")};
// The name column also holds the row image.
constexpr std::array<int, LegendListModel::kColumnCount> kPadding{45, 13, 20, 23};

QPixmap loadRowImage(const RowImage& image) {
  QImage rgba = QImage(QString::fromLatin1(image.path)).convertToFormat(QImage::Format_ARGB32);
  if (rgba.isNull()) return {};
  if (rgba.size() != QSize(kRowImageSize, kRowImageSize))
    rgba = rgba.scaled(kRowImageSize, kRowImageSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  const QRgb background = image.mask & 0x00FFFFFFU;
  for (int y = 0; y < rgba.height(); ++y)
    for (int x = 0; x < rgba.width(); ++x)
      if ((rgba.pixel(x, y) & 0x00FFFFFFU) == background) rgba.setPixel(x, y, 0);
  return QPixmap::fromImage(rgba);
}

}  // namespace

LegendListModel::LegendListModel(QObject* parent) : QAbstractTableModel(parent) {
  for (std::size_t i = 0; i < kRowImages.size(); ++i) images_[i] = loadRowImage(kRowImages[i]);
}

QString LegendListModel::headerText(int column) {
  if (column < 0 || column >= kColumnCount) return {};
  return legend::tr(kHeaders[static_cast<std::size_t>(column)]);
}

int LegendListModel::columnPadding(int column) {
  if (column < 0 || column >= kColumnCount) return 0;
  return kPadding[static_cast<std::size_t>(column)];
}

void LegendListModel::beginRebuild() {
  if (rebuildDepth_++ == 0) pendingCurrentRow_ = -1;
}

void LegendListModel::endRebuild() {
  if (rebuildDepth_ == 0 || --rebuildDepth_ > 0) return;
  if (!resetting_) return;
  resetting_ = false;
  endResetModel();
  const int current = pendingCurrentRow_;
  pendingCurrentRow_ = -1;
  if (current >= 0 && current < rowCount() && currentRowHandler_) currentRowHandler_(current);
}

const LegendRow* LegendListModel::rowAt(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return nullptr;
  return &rows_[static_cast<std::size_t>(row)];
}

int LegendListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int LegendListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant LegendListModel::data(const QModelIndex& index, int role) const {
  const LegendRow* row = index.isValid() ? rowAt(index.row()) : nullptr;
  if (row == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole:
      switch (index.column()) {
        case kNameColumn: return decodeGbk(row->name);
        case kClassCodeColumn: return fromUtf8(row->classCodeText());
        case kDescriptionColumn: return decodeGbk(row->description);
        case kSizeColumn: return fromUtf8(row->sizeText());
        default: return {};
      }
    case Qt::ToolTipRole:
      // The narrow columns cut long names and descriptions short.
      if (index.column() == kNameColumn) return decodeGbk(row->name);
      if (index.column() == kDescriptionColumn) return decodeGbk(row->description);
      return {};
    case Qt::DecorationRole: {
      if (index.column() != kNameColumn) return {};
      QPixmap sample = sampleOf(index.row());
      if (!sample.isNull()) return sample;
      return images_[static_cast<std::size_t>(row->image >= 0 && row->image < 4 ? row->image : 3)];
    }
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case kLegendIndexRole: return row->legendIndex;
    default: return {};
  }
}

void LegendListModel::setRecordSource(RecordSource source) {
  records_ = std::move(source);
  samples_.clear();
  if (!rows_.empty()) emit dataChanged(index(0, kNameColumn), index(rowCount() - 1, kNameColumn), {Qt::DecorationRole});
}

QPixmap LegendListModel::sampleOf(int row) const {
  if (!records_) return {};
  // Drawn for the densest screen, so a row stays sharp wherever the
  // editor is moved.
  const qreal ratio = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
  if (ratio != samplesRatio_) {
    samples_.clear();
    samplesRatio_ = ratio;
  }
  if (samples_.size() != rows_.size()) samples_.assign(rows_.size(), std::nullopt);
  std::optional<QPixmap>& cached = samples_[static_cast<std::size_t>(row)];
  if (!cached) {
    const LegendRow& data = rows_[static_cast<std::size_t>(row)];
    cached = drawRowSample(data.image, records_(data.legendIndex), kSampleSize, ratio);
  }
  return *cached;
}

QVariant LegendListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) return headerText(section);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags LegendListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void LegendListModel::clear() {
  samples_.clear();
  if (resetting_) {
    rows_.clear();
    return;
  }
  if (rebuildDepth_ > 0) {
    // The reset starts with the store's rebuild, not with the command: a
    // command may run a dialog first, and the view must stay usable under it.
    resetting_ = true;
    beginResetModel();
    rows_.clear();
    return;
  }
  beginResetModel();
  rows_.clear();
  endResetModel();
}

bool LegendListModel::insertRow(std::int32_t row, const LegendRow& data) {
  if (row < 0 || static_cast<std::size_t>(row) > rows_.size()) return false;
  samples_.clear();
  const auto at = rows_.begin() + row;
  if (resetting_) {
    rows_.insert(at, data);
    return true;
  }
  beginInsertRows({}, row, row);
  rows_.insert(at, data);
  endInsertRows();
  return true;
}

void LegendListModel::setCurrentRow(std::int32_t row) {
  if (resetting_) {
    pendingCurrentRow_ = row;
    return;
  }
  if (row >= 0 && row < rowCount() && currentRowHandler_) currentRowHandler_(row);
}

void LegendListModel::changeRow(std::int32_t row, const LegendRow& data) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
  rows_[static_cast<std::size_t>(row)] = data;
  if (!resetting_) emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

LegendListProxy::LegendListProxy(LegendListModel* rows, QObject* parent) : QSortFilterProxyModel(parent), rows_(rows) {
  setSourceModel(rows);
}

void LegendListProxy::setFilterText(const QString& text) {
  query_ = LegendQuery(text.toStdString());
  invalidateFilter();
}

bool LegendListProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
  const LegendRow* row = rows_->rowAt(sourceRow);
  return row != nullptr && rowAnswers(*row, query_);
}

bool LegendListProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  const LegendRow* a = rows_->rowAt(left.row());
  const LegendRow* b = rows_->rowAt(right.row());
  if (a == nullptr || b == nullptr) return false;
  switch (left.column()) {
    case LegendListModel::kClassCodeColumn: return rowBefore(*a, *b, RowSortKey::ClassCode);
    case LegendListModel::kDescriptionColumn: return rowBefore(*a, *b, RowSortKey::Description);
    case LegendListModel::kSizeColumn: return rowBefore(*a, *b, RowSortKey::Size);
    default: return rowBefore(*a, *b, RowSortKey::Name);
  }
}

}  // namespace legend::editor
