#pragma once
// One SVG document per legend: its sample as the display component draws it
// on a canvas of the export's cell size, named after its display position
// and class code so the files sort as the pad shows them, titled with the
// legend's name and described with its description.

#include <vector>

#include <QByteArray>
#include <QString>

#include "export/exported_legend.h"

namespace legend::exporter {

struct SvgFile {
  QString name;  ///< NNNNN-CODE.svg
  QByteArray svg;
};

std::vector<SvgFile> legendSvgs(const std::vector<ExportedLegend>& legends);

}  // namespace legend::exporter
