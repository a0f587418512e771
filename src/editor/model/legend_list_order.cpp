#include "editor/model/legend_list_order.h"

#include "legendfile/legend_query.h"

namespace legend::editor {

bool rowAnswers(const LegendRow& row, const LegendQuery& query) {
  if (query.empty()) return true;
  return query.foundIn(row.name) || query.foundIn(row.description) || query.foundInDecimal(row.classCode);
}

bool rowBefore(const LegendRow& a, const LegendRow& b, RowSortKey key) noexcept {
  switch (key) {
    // std::string compares its bytes unsigned, as GBK needs.
    case RowSortKey::Name: return a.name < b.name;
    case RowSortKey::ClassCode: return a.classCode < b.classCode;
    case RowSortKey::Description: return a.description < b.description;
    case RowSortKey::Size: return a.blockSize < b.blockSize;
  }
  return false;
}

}  // namespace legend::editor
