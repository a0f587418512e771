#pragma once
// The legends an export writes: head fields decoded for XML and the sample
// the pad would draw, in the pad's display order.

#include <cstdint>
#include <string>
#include <vector>

#include <QString>

#include "export/export_catalogue.h"
#include "export/sample_capture.h"

namespace legend::exporter {

struct ExportedLegend {
  CatalogueEntry entry;
  QString name;         ///< decoded from GBK, without characters XML cannot hold
  QString description;  ///< likewise
  std::int32_t classCode = 0;
  CellSize cell;          ///< the cell size the sample was captured at
  CapturedSample sample;  ///< as the pad draws it in a cell of that size
};

/// The legends of @p catalogue with their samples captured at @p cell,
/// scaled against the largest sizes of @p legends alone, as a pad that
/// opened only this file would draw them.
std::vector<ExportedLegend> collectLegends(const LegendSet& legends, const Catalogue& catalogue, CellSize cell);

/// A name for every legend of @p legends, in their order, that no other of
/// them has: the legend's name, or its class code when it has none; a name
/// that several legends share gets the class code appended, and one still
/// taken after that a number in brackets.
std::vector<QString> uniqueNames(const std::vector<ExportedLegend>& legends);

/// "点图例", "线图例" or "区图例", as the pad's tip names the types.
QString typeName(LegendType type);

}  // namespace legend::exporter

namespace legend::exporter {

/// A line for each legend of @p catalogue left out of the exports, naming
/// it by index and name (see describe).
std::vector<std::string> skippedLines(const LegendSet& legends, const Catalogue& catalogue);

}  // namespace legend::exporter
