#include "export/exported_legend.h"

#include <QHash>
#include <QSet>

#include "components/codec/gbk_text.h"
#include "export/xml_text.h"
#include "legendfile/legend_set.h"
#include "pad/model/scale_maxima.h"

namespace legend::exporter {

std::vector<ExportedLegend> collectLegends(const LegendSet& legends, const Catalogue& catalogue, CellSize cell) {
  pad::ScaleMaxima maxima;
  maxima.raiseFrom(legends);
  std::vector<ExportedLegend> exported;
  exported.reserve(catalogue.entries.size());
  for (const CatalogueEntry& entry : catalogue.entries) {
    const HeadView head = legends.head(entry.legendIndex);
    exported.push_back({entry, xmlSafe(decodeGbk(head.name())), xmlSafe(decodeGbk(head.description())),
                        head.classCode(), cell, captureSample(legends, maxima, entry.legendIndex, cell)});
  }
  return exported;
}

std::vector<QString> uniqueNames(const std::vector<ExportedLegend>& legends) {
  std::vector<QString> names;
  names.reserve(legends.size());
  QHash<QString, int> uses;
  for (const ExportedLegend& legend : legends) {
    names.push_back(legend.name.isEmpty() ? QString::number(legend.classCode) : legend.name);
    ++uses[names.back()];
  }
  // A name only one legend has is that legend's, whatever another one's
  // name and code make.
  QSet<QString> taken;
  for (const QString& name : names)
    if (uses.value(name) == 1) taken.insert(name);
  for (std::size_t i = 0; i < legends.size(); ++i) {
    if (uses.value(names[i]) == 1) continue;
    QString name = names[i] + QLatin1Char(' ') + QString::number(legends[i].classCode);
    // Two legends of one name and one code are numbered in display order.
    if (taken.contains(name)) {
      int number = 2;
      while (taken.contains(name + QStringLiteral(" (%1)").arg(number))) ++number;
      name += QStringLiteral(" (%1)").arg(number);
    }
    taken.insert(name);
    names[i] = name;
  }
  return names;
}

QString typeName(LegendType type) {
  switch (type) {
    case LegendType::Point: return QStringLiteral("点图例");
    case LegendType::Line: return QStringLiteral("线图例");
    case LegendType::Region: return QStringLiteral("区图例");
  }
  return {};
}

}  // namespace legend::exporter

namespace legend::exporter {

std::vector<std::string> skippedLines(const LegendSet& legends, const Catalogue& catalogue) {
  std::vector<std::string> lines;
  for (const SkippedLegend& skipped : catalogue.skipped) {
    const QString name = xmlSafe(decodeGbk(legends.head(skipped.legendIndex).name()));
    lines.push_back(describe(skipped, name.toStdString()));
  }
  return lines;
}

}  // namespace legend::exporter
