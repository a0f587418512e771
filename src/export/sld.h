#pragma once
// An OGC Styled Layer Descriptor 1.1 with Symbology Encoding 1.1: one rule
// per legend, filtered on a class-code attribute, with point, line and
// polygon symbolizers.

#include <cstddef>
#include <vector>

#include <QByteArray>
#include <QString>

#include "export/exported_legend.h"

namespace legend::exporter {

struct SldOptions {
  QString layerName;                                 ///< the named layer and its style
  QString attribute = QStringLiteral("class_code");  ///< the feature attribute holding class codes
};

/// A legend left out because an earlier one has its class code: a feature
/// can only be drawn by one rule.
struct RepeatedClassCode {
  std::size_t legend = 0;  ///< position in the legends passed
  std::size_t keptLegend = 0;
};

struct SldDocument {
  QByteArray xml;
  std::vector<RepeatedClassCode> repeated;
};

/// The SLD of @p legends.
SldDocument sldXml(const std::vector<ExportedLegend>& legends, const SldOptions& options);

}  // namespace legend::exporter
