#pragma once
// Named fields of the three graphic parameter records as drawing reads
// them. The records themselves stay opaque byte images everywhere else;
// docs/graphic-records.md has one table per record.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "components/drawing/kernel_driver.h"
#include "legendfile/byte_order.h"
#include "legendfile/layout.h"

namespace legend::records {

// Point record (94 bytes). Byte 0 is the point type.
namespace point {
inline constexpr std::size_t kType = 0;  ///< u8: PointType
// Symbol (type 1)
inline constexpr std::size_t kSymbolNumber = 2;  ///< u32: symbol of the symbol library
inline constexpr std::size_t kSymbolHeight = 6;  ///< f32: pixels
inline constexpr std::size_t kSymbolWidth = 10;  ///< f32: pixels
inline constexpr std::size_t kSymbolAngle = 14;  ///< f32: degrees, anticlockwise
inline constexpr std::size_t kPenWidth = 18;     ///< f32: pixels, every type but text
// Annotation (type 0) and text (type 5)
inline constexpr std::size_t kTextHeight = 2;         ///< f32: character height, pixels
inline constexpr std::size_t kTextWidth = 6;          ///< f32: character width, pixels
inline constexpr std::size_t kTextAngle = 10;         ///< f32: degrees (the pad's samples zero it)
inline constexpr std::size_t kTextSpacing = 14;       ///< f32: pixels between characters (zeroed likewise)
inline constexpr std::size_t kAnnotationLayout = 23;  ///< u8: 0 characters in a row, else in a column
inline constexpr std::size_t kTextLayout = 35;        ///< u8: the same for text
// Dot and ring (types 2 and 3)
inline constexpr std::size_t kMarkerSize = 2;  ///< f64: diameter, pixels
// Every type
inline constexpr std::size_t kColour = 44;  ///< u32: palette colour number
}  // namespace point

enum class PointType : std::uint8_t {
  Annotation = 0,  ///< "注释类": text in the record's height, width and layout
  Symbol = 1,      ///< a symbol of the symbol library
  Dot = 2,         ///< filled circle of the record's diameter
  Ring = 3,        ///< circle outline with a centre dot
  Image = 4,       ///< the image icon
  Text = 5,        ///< "文本类": like an annotation
};

/// The words samples of annotation and text legends show (GBK).
inline constexpr std::string_view kAnnotationSample = "\xd7\xa2\xca\xcd\xc0\xe0";  // 注释类
inline constexpr std::string_view kTextSample = "\xce\xc4\xb1\xbe\xc0\xe0";        // 文本类

// Line record (67 bytes).
namespace line {
inline constexpr std::size_t kStyle = 0;           ///< u16: line style
inline constexpr std::size_t kColour = 4;          ///< u32: palette colour number
inline constexpr std::size_t kPenWidth = 8;        ///< f32: pixels
inline constexpr std::size_t kPatternLength = 13;  ///< f32: length of one repeat, kPatternLengthUnits per pixel
inline constexpr std::size_t kPatternWidth = 17;   ///< f32: width across the line, kPatternWidthUnits per pixel
inline constexpr float kPatternLengthUnits = 8.0f;
inline constexpr float kPatternWidthUnits = 16.0f;
inline constexpr std::size_t kSecondColour = 21;  ///< u32: palette colour of the pattern's second part
}  // namespace line

// Region record (63 bytes).
namespace region {
inline constexpr std::size_t kFillColour = 0;      ///< u32: palette colour number of the background
inline constexpr std::size_t kPattern = 4;         ///< u16: fill pattern
inline constexpr std::size_t kPatternSize = 6;     ///< f32: pattern cell width, pixels
inline constexpr std::size_t kPatternHeight = 10;  ///< f32: pattern cell height, pixels
inline constexpr std::size_t kPatternColour = 14;  ///< u32: palette colour of the pattern
}  // namespace region

/// The fill a region record asks for.
inline RegionFill regionFillOf(RegionRecordBytes r) noexcept {
  return {load_le<std::int32_t>(r, region::kFillColour), load_le<std::uint16_t>(r, region::kPattern),
          load_le<float>(r, region::kPatternSize), load_le<std::int32_t>(r, region::kPatternColour)};
}

// The records of new legends (docs/graphic-records.md); every byte not set
// here is zero. The editor's template and "set default" both start from them.

inline void fillNewPointRecord(std::span<std::uint8_t, layout::kPointRecordSize> r) noexcept {
  std::fill(r.begin(), r.end(), std::uint8_t{0});
  r[point::kType] = static_cast<std::uint8_t>(PointType::Symbol);
  store_le<std::uint32_t>(r, point::kSymbolNumber, 1);
  store_le<float>(r, point::kSymbolHeight, 6.0f);
  store_le<float>(r, point::kSymbolWidth, 6.0f);
  store_le<float>(r, point::kPenWidth, 1.0f);
  store_le<std::uint32_t>(r, point::kColour, 5);  // red
}

inline void fillNewLineRecord(std::span<std::uint8_t, layout::kLineRecordSize> r) noexcept {
  std::fill(r.begin(), r.end(), std::uint8_t{0});
  store_le<std::uint16_t>(r, line::kStyle, 14);
  store_le<std::uint32_t>(r, line::kColour, 3);  // blue
  store_le<float>(r, line::kPenWidth, 1.0f);
  store_le<float>(r, line::kPatternLength, 10.0f);
  store_le<float>(r, line::kPatternWidth, 10.0f);
  store_le<std::uint32_t>(r, line::kSecondColour, 2);  // black
}

inline void fillNewRegionRecord(std::span<std::uint8_t, layout::kRegionRecordSize> r) noexcept {
  std::fill(r.begin(), r.end(), std::uint8_t{0});
  store_le<std::uint32_t>(r, region::kFillColour, 3);  // blue
  store_le<std::uint16_t>(r, region::kPattern, 5);
  store_le<float>(r, region::kPatternSize, 6.0f);
  store_le<float>(r, region::kPatternHeight, 6.0f);
  store_le<std::uint32_t>(r, region::kPatternColour, 4);  // dark blue
}

}  // namespace legend::records
