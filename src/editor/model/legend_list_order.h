#pragma once
// Which rows of the editor's legend list a filter keeps, and the order a
// column sorts them in. The rows stay those of the store; a view shows a
// part of them, in its own order.

#include "editor/model/editor_store.h"

namespace legend {
class LegendQuery;
}

namespace legend::editor {

/// Whether @p row answers @p query: its name, its description or its class
/// code in decimal holds the typed text. An empty query keeps every row.
bool rowAnswers(const LegendRow& row, const LegendQuery& query);

/// What a column of the list sorts by.
enum class RowSortKey { Name, ClassCode, Description, Size };

/// Whether @p a comes before @p b by @p key, ascending: class codes and
/// sizes as numbers, names and descriptions by their GBK bytes, which put
/// the common Chinese characters in pinyin order.
bool rowBefore(const LegendRow& a, const LegendRow& b, RowSortKey key) noexcept;

}  // namespace legend::editor
