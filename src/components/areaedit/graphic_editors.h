#pragma once
// The editors of the three graphic parameter records: modal dialogs that
// change only the fields the display component interprets and keep every
// other byte of the record as it was.

#include <cstdint>
#include <span>
#include <string_view>

#include "legendfile/layout.h"

class QWidget;

namespace legend::areaedit {

/// What a field takes when the point type is changed to one the record did
/// not have: the sizes of a new point legend, so the sample stays visible.
inline constexpr float kDefaultPointSize = 6;  ///< symbol and character height and width, pixels
inline constexpr double kDefaultDiameter = 6;  ///< dot and ring, pixels
inline constexpr float kDefaultPenWidth = 1;   ///< symbol and ring outlines, pixels
inline constexpr std::uint32_t kDefaultSymbol = 1;
inline constexpr std::uint32_t kDefaultPointColour = 5;  ///< red, when the old colour is no palette entry

/// Bounds of the numeric inputs, so OK never stores a size the display
/// could not draw (NaN, infinity, negative, beyond what it clamps to).
inline constexpr double kMinSize = 0.1;       ///< pixels
inline constexpr double kMaxSize = 10000;     ///< pixels; the display draws nothing larger
inline constexpr double kMaxPenWidth = 1000;  ///< pixels
inline constexpr double kMaxAngle = 360;      ///< degrees, either way
inline constexpr double kMaxSpacing = 1000;   ///< pixels, either way

}  // namespace legend::areaedit

/// Edits a point record in a modal dialog titled @p title (UTF-8). The type
/// decides which fields are shown; changing it gives the new type's fields
/// fresh defaults (or, going back to the record's own type, its old values)
/// instead of reinterpreting the overlapping bytes. A size that is not a
/// number or lies outside its input's bounds is shown at the nearest bound
/// and stored so on OK; every other field is stored exactly as it was
/// unless the user changed it. True after OK wrote the record, false on
/// Cancel (record untouched).
bool EditPntInfo(std::span<std::uint8_t, legend::layout::kPointRecordSize> record, std::string_view title,
                 QWidget* parent = nullptr);

/// Edits a line record: style, both colours, pen width and the pattern's
/// length and width, these two shown in pixels (the record counts eighths
/// and sixteenths). Returns as EditPntInfo.
bool EditLinInfo(std::span<std::uint8_t, legend::layout::kLineRecordSize> record, std::string_view title,
                 QWidget* parent = nullptr);

/// Edits a region record: fill colour, pattern, pattern cell width and
/// height, pattern colour. Returns as EditPntInfo.
bool EditRegInfo(std::span<std::uint8_t, legend::layout::kRegionRecordSize> record, std::string_view title,
                 QWidget* parent = nullptr);
