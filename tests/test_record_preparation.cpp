// The records a host receives: the point type's sizes and angles, a line's
// pen and pattern sizes and a region's pattern cell are finite numbers, and
// every other byte is the file's.

#include "components/host/record_preparation.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "support/cln_builder.h"

namespace {

using testcln::Bytes;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

Bytes withFloats(Bytes record, std::vector<std::pair<std::size_t, float>> floats) {
  for (const auto& [at, value] : floats) testcln::putF32At(record, at, value);
  return record;
}

template <typename Info>
Bytes bytesOf(const Info& info) {
  return Bytes(std::begin(info.bytes), std::end(info.bytes));
}

TEST(RecordPreparation, NonFiniteSizesOfTheRecordsTypeBecomeZeroAndNothingElseChanges) {
  // A text (point type 5) has no pen, so what lies where a symbol keeps its pen width stays.
  Bytes text = withFloats(testcln::params(1, 0), {{2, kNaN}, {6, 3}, {10, kInf}, {18, kNaN}});
  text[0] = 5;
  Bytes expectedText = withFloats(text, {{2, 0}, {10, 0}});
  EXPECT_EQ(bytesOf(PreparePntInfo(legend::PointRecordBytes(text.data(), text.size()))), expectedText);
  // A dot's diameter is a double: a NaN whose first four bytes read as a
  // finite float must still go.
  Bytes dot = testcln::params(1, 0);
  dot[0] = 2;
  testcln::putF64At(dot, 2, std::numeric_limits<double>::quiet_NaN());
  dot = withFloats(dot, {{18, kInf}});
  Bytes expectedDot = withFloats(dot, {{18, 0}});
  testcln::putF64At(expectedDot, 2, 0);
  EXPECT_EQ(bytesOf(PreparePntInfo(legend::PointRecordBytes(dot.data(), dot.size()))), expectedDot);
  const Bytes line = withFloats(testcln::params(0, 9), {{8, kInf}, {13, kNaN}, {17, 4}});
  EXPECT_EQ(bytesOf(PrepareLinInfo(legend::LineRecordBytes(line.data(), line.size()))),
            withFloats(line, {{8, 0}, {13, 0}}));
  const Bytes region = withFloats(testcln::params(2, 9), {{6, kNaN}, {10, -kInf}});
  EXPECT_EQ(bytesOf(PrepareRegInfo(legend::RegionRecordBytes(region.data(), region.size()))),
            withFloats(region, {{6, 0}, {10, 0}}));
}

}  // namespace
