#include "components/host/record_preparation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <span>

#include "components/drawing/graphic_records.h"
#include "legendfile/byte_order.h"

namespace {

template <typename Float, std::size_t N>
void zeroIfNotFinite(std::span<unsigned char, N> bytes, std::initializer_list<std::size_t> offsets) {
  for (const std::size_t offset : offsets)
    if (!std::isfinite(legend::load_le<Float>(bytes, offset))) legend::store_le<Float>(bytes, offset, Float{0});
}

/// The host's structure holding a copy of @p record.
template <typename Info, std::size_t N>
Info copyOf(std::span<const std::uint8_t, N> record) {
  // The public header spells the sizes out for C hosts; they must be the
  // file format's, with nothing around the bytes.
  static_assert(sizeof(Info) == N && sizeof(Info::bytes) == N);
  Info info;
  std::copy(record.begin(), record.end(), info.bytes);
  return info;
}

}  // namespace

PNT_INFOstruct PreparePntInfo(legend::PointRecordBytes record) {
  namespace point = legend::records::point;
  using legend::records::PointType;
  PNT_INFOstruct info = copyOf<PNT_INFOstruct>(record);
  const std::span<unsigned char, sizeof info.bytes> bytes(info.bytes);
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
  return info;
}

LIN_INFOstruct PrepareLinInfo(legend::LineRecordBytes record) {
  namespace line = legend::records::line;
  LIN_INFOstruct info = copyOf<LIN_INFOstruct>(record);
  zeroIfNotFinite<float>(std::span<unsigned char, sizeof info.bytes>(info.bytes),
                         {line::kPenWidth, line::kPatternLength, line::kPatternWidth});
  return info;
}

REG_INFOstruct PrepareRegInfo(legend::RegionRecordBytes record) {
  namespace region = legend::records::region;
  REG_INFOstruct info = copyOf<REG_INFOstruct>(record);
  zeroIfNotFinite<float>(std::span<unsigned char, sizeof info.bytes>(info.bytes),
                         {region::kPatternSize, region::kPatternHeight});
  return info;
}
