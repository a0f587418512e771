#pragma once
// The image of a row of the editor's legend list: the legend's own sample,
// drawn by the display component as the parameter dialog's preview draws it.

#include <cstdint>
#include <span>

#include <QPixmap>

namespace legend::editor {

/// Draws the sample of a legend with graphic parameter record @p record of
/// list image kind @p image (0 point, 1 line, 2 region) on white, @p size
/// logical pixels square at @p ratio device pixels each, so it stays sharp
/// on a high-density screen. A null pixmap when the record does not fit
/// the kind.
QPixmap drawRowSample(std::int32_t image, std::span<const std::uint8_t> record, int size, qreal ratio);

}  // namespace legend::editor
