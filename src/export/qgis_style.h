#pragma once
// A QGIS style library (the qgis_style XML that QGIS's Style Manager
// imports): one symbol per legend, of the kind of its type, named uniquely,
// tagged with its class code and type.

#include <vector>

#include <QByteArray>

#include "export/exported_legend.h"

namespace legend::exporter {

/// The style library of @p legends.
QByteArray qgisStyleXml(const std::vector<ExportedLegend>& legends);

}  // namespace legend::exporter
