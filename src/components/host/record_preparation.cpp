#include "components/host/record_preparation.h"

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <span>

#include "components/display/graphic_records.h"
#include "legendfile/byte_order.h"

namespace {

template <typename Float, std::size_t N>
void zeroIfNotFinite(std::span<unsigned char, N> bytes, std::initializer_list<std::size_t> offsets) {
  for (const std::size_t offset : offsets)
    if (!std::isfinite(legend::load_le<Float>(bytes, offset))) legend::store_le<Float>(bytes, offset, Float{0});
}

}  // namespace

short PreparePntInfo(PNT_INFOstruct* info) {
  if (info == nullptr) return 1;
  namespace point = legend::records::point;
  using legend::records::PointType;
  const std::span<unsigned char, sizeof info->bytes> bytes(info->bytes);
  switch (static_cast<PointType>(bytes[point::kType])) {
    case PointType::Annotation:
    case PointType::Text:
      zeroIfNotFinite<float>(bytes, {point::kTextHeight, point::kTextWidth, point::kTextAngle, point::kTextSpacing});
      break;
    case PointType::Symbol:
      zeroIfNotFinite<float>(bytes, {point::kSymbolHeight, point::kSymbolWidth, point::kSymbolAngle, point::kPenWidth});
      break;
    case PointType::Dot:
    case PointType::Ring:
      zeroIfNotFinite<double>(bytes, {point::kMarkerSize});
      zeroIfNotFinite<float>(bytes, {point::kPenWidth});
      break;
    default: break;
  }
  return 1;
}

short PrepareLinInfo(LIN_INFOstruct* info) {
  if (info == nullptr) return 1;
  namespace line = legend::records::line;
  zeroIfNotFinite<float>(std::span<unsigned char, sizeof info->bytes>(info->bytes),
                         {line::kPenWidth, line::kPatternLength, line::kPatternWidth});
  return 1;
}

short PrepareRegInfo(REG_INFOstruct* info) {
  if (info == nullptr) return 1;
  namespace region = legend::records::region;
  zeroIfNotFinite<float>(std::span<unsigned char, sizeof info->bytes>(info->bytes),
                         {region::kPatternSize, region::kPatternHeight});
  return 1;
}
