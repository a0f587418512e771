#pragma once
// Texts from legend files in XML. Names and descriptions are whatever bytes
// a file holds; once decoded they may contain control characters that XML
// 1.0 cannot carry even as character references, and a writer would put
// them out as they are, making the document unreadable. They are dropped.

#include <QString>

namespace legend::exporter {

/// @p text without the characters XML 1.0 does not allow.
QString xmlSafe(const QString& text);

}  // namespace legend::exporter
