#include "export/svg_files.h"

#include "export/sample_drawing.h"

namespace legend::exporter {

std::vector<SvgFile> legendSvgs(const std::vector<ExportedLegend>& legends) {
  std::vector<SvgFile> files;
  files.reserve(legends.size());
  for (const ExportedLegend& legend : legends) {
    const QString name =
        QStringLiteral("%1-%2.svg").arg(legend.entry.displayPosition, 5, 10, QLatin1Char('0')).arg(legend.classCode);
    files.push_back({name, iconSvg(legend.sample, QSize(legend.cell.width, legend.cell.height), {}, legend.name,
                                   legend.description)});
  }
  return files;
}

}  // namespace legend::exporter
