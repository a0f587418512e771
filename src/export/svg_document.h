#pragma once
// SVG documents as the exports hand them on: what QSvgGenerator writes,
// read back and written again with an XML writer, so every document is
// well-formed UTF-8 with a declaration, sized in pixels, and titled and
// described with escaped text instead of the generator's own words.

#include <QByteArray>
#include <QSizeF>
#include <QString>

namespace legend::exporter {

/// @p generated rewritten with @p title and @p description (each left out
/// when empty) and a root sized @p size pixels; empty when @p generated is
/// not well-formed.
QByteArray normaliseSvg(const QByteArray& generated, QSizeF size, const QString& title,
                        const QString& description = {});

/// Formats a length for an attribute: at most @p decimals decimals, no
/// trailing zeros and no exponent, so readers of every kind take it.
QString lengthText(double value, int decimals = 4);

}  // namespace legend::exporter
