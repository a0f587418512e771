// make_demo_cln OUT.CLN: writes the demo legend file. Everything in it is
// fixed here, so the output is the same byte for byte on every run and the
// committed samples/demo.CLN can be checked against it.
//
// It holds every kind of point (annotation, symbol, the two sized marks,
// image, text), several lines and regions, attribute structures that use
// every field type with records that match them, and one legend of a type
// the pad does not know.

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <QString>

#include "components/attstru/att_stru.h"
#include "components/codec/gbk_text.h"
#include "legendfile/byte_order.h"
#include "legendfile/data_block.h"
#include "legendfile/file_io.h"
#include "legendfile/head_record.h"
#include "legendfile/header.h"
#include "legendfile/layout.h"
#include "legendfile/packed_file.h"

namespace {

namespace layout = legend::layout;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "make_demo_cln: %s\n", what);
  std::exit(1);
}

std::string gbk(const char* utf8) {
  std::optional<std::string> bytes = legend::encodeGbk(QString::fromUtf8(utf8));
  if (!bytes) fail("a demo text has no GBK form");
  return *std::move(bytes);
}

/// A graphic parameter record being filled in at its field offsets.
class Params {
 public:
  explicit Params(std::size_t size) : bytes_(size, 0) {}
  template <legend::LittleEndianValue T>
  Params& set(std::size_t offset, T value) {
    legend::store_le<T>(bytes_, offset, value);
    return *this;
  }
  const std::vector<std::uint8_t>& bytes() const noexcept { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Byte 0 of a point record: what kind of point it is.
enum PointKind : std::uint8_t { kAnnotation = 0, kSymbol = 1, kRound = 2, kSquare = 3, kImage = 4, kText = 5 };

Params annotationOrText(PointKind kind, float height, float width, std::uint8_t layoutByte, std::uint32_t colour) {
  Params p(layout::kPointRecordSize);
  p.set<std::uint8_t>(0, kind).set<float>(2, height).set<float>(6, width);
  p.set<std::uint8_t>(kind == kAnnotation ? 23 : 35, layoutByte).set<std::uint32_t>(44, colour);
  return p;
}

Params symbol(std::uint32_t number, float height, float width, float penWidth, std::uint32_t colour) {
  Params p(layout::kPointRecordSize);
  p.set<std::uint8_t>(0, kSymbol).set<std::uint32_t>(2, number).set<float>(6, height).set<float>(10, width);
  p.set<float>(18, penWidth).set<std::uint32_t>(44, colour);
  return p;
}

Params sizedMark(PointKind kind, double size, float penWidth, std::uint32_t colour) {
  Params p(layout::kPointRecordSize);
  p.set<std::uint8_t>(0, kind).set<double>(2, size).set<float>(18, penWidth).set<std::uint32_t>(44, colour);
  return p;
}

Params image() {
  Params p(layout::kPointRecordSize);
  p.set<std::uint8_t>(0, kImage);
  return p;
}

Params line(std::uint16_t style, std::uint32_t colour, float width, float factor1, float factor2, std::uint32_t extra) {
  Params p(layout::kLineRecordSize);
  p.set<std::uint16_t>(0, style).set<std::uint32_t>(4, colour).set<float>(8, width);
  p.set<float>(13, factor1).set<float>(17, factor2).set<std::uint32_t>(21, extra);
  return p;
}

Params region(std::uint32_t fill, std::uint16_t pattern, float patternWidth, float patternHeight,
              std::uint32_t patternColour) {
  Params p(layout::kRegionRecordSize);
  p.set<std::uint32_t>(0, fill).set<std::uint16_t>(4, pattern).set<float>(6, patternWidth);
  p.set<float>(10, patternHeight).set<std::uint32_t>(14, patternColour);
  return p;
}

/// An attribute structure with one record filled field by field.
class Attributes {
 public:
  Attributes& field(const char* name, AttFieldType type, std::int32_t length, std::uint8_t decimals, AttValue value) {
    AttField f;
    f.name = gbk(name);
    f.type = type;
    f.length = length;
    f.decimals = decimals;
    if (structure_.AddFld(f) != AttStatus::Ok) fail("a demo field is refused");
    values_.push_back(std::move(value));
    return *this;
  }
  Attributes& text(const char* name, std::int32_t length, const char* value) {
    return field(name, AttFieldType::Text, length, 0, gbk(value));
  }
  Attributes& number(const char* name, AttFieldType type, std::int64_t value) {
    return field(name, type, AttFieldWidth(type), 0, value);
  }
  Attributes& real(const char* name, AttFieldType type, std::uint8_t decimals, double value) {
    return field(name, type, AttFieldWidth(type), decimals, value);
  }
  Attributes& date(const char* name, AttValue value) {
    return field(name, AttFieldType::Date, AttFieldWidth(AttFieldType::Date), 0, std::move(value));
  }
  Attributes& time(const char* name, AttTime value) {
    return field(name, AttFieldType::Time, AttFieldWidth(AttFieldType::Time), 0, value);
  }

  CATT_STRU& structure() noexcept { return structure_; }
  std::vector<std::uint8_t> record() {
    structure_.CalSize();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(structure_.RecordLength()), 0);
    for (std::size_t k = 0; k < values_.size(); ++k)
      if (structure_.SetValue(bytes, static_cast<std::int16_t>(k), values_[k]) != AttStatus::Ok)
        fail("a demo value does not fit its field");
    return bytes;
  }

 private:
  CATT_STRU structure_;
  std::vector<AttValue> values_;
};

struct DemoLegend {
  const char* name;
  const char* description;
  std::int8_t type;
  std::int32_t classCode;
  std::vector<std::uint8_t> params;
  std::optional<Attributes> attributes;
};

constexpr std::int8_t kLine = static_cast<std::int8_t>(legend::LegendType::Line);
constexpr std::int8_t kPoint = static_cast<std::int8_t>(legend::LegendType::Point);
constexpr std::int8_t kRegion = static_cast<std::int8_t>(legend::LegendType::Region);
constexpr std::int8_t kUnknownType = 7;

std::vector<DemoLegend> demoLegends() {
  using T = AttFieldType;
  std::vector<DemoLegend> legends;
  const auto add = [&](const char* name, const char* description, std::int8_t type, std::int32_t code,
                       const Params& params, std::optional<Attributes> attributes = std::nullopt) {
    legends.push_back({name, description, type, code, params.bytes(), std::move(attributes)});
  };

  Attributes city;
  city.text("名称", 20, "北京市")
      .number("人口", T::Int32, 21893095)
      .real("面积", T::Double, 2, 16410.54)
      .date("建市日期", AttDate{1949, 10, 1});
  add("城市", "省会及地级市驻地", kPoint, 1101, symbol(52, 12.0f, 12.0f, 1.5f, 5), std::move(city));
  add("县城", "县级行政中心", kPoint, 1102, symbol(1, 9.0f, 9.0f, 1.0f, 16));
  add("地名注释", "居民地名称注记", kPoint, 1201, annotationOrText(kAnnotation, 3.5f, 3.0f, 0, 2));
  add("测量控制点", "三角点与导线点", kPoint, 1301, sizedMark(kRound, 8.0, 1.0f, 2));
  add("水准点", "高程控制点", kPoint, 1302, sizedMark(kSquare, 10.0, 1.5f, 14));
  add("遥感图片", "影像缩略图", kPoint, 1401, image());
  add("文本", "图廓外说明文字", kPoint, 1501, annotationOrText(kText, 5.0f, 4.5f, 2, 4));
  Attributes station;
  station.text("站名", 16, "长江水文站")
      .real("水位", T::Float, 2, 24.75)
      .number("测站编号", T::Int64, 60110500)
      .date("停测日期", std::monostate{})
      .time("观测时间", AttTime{8, 0, 0, 0});
  add("水文站", "水位与流量观测站", kPoint, 1601, symbol(13, 11.0f, 11.0f, 1.5f, 47), std::move(station));

  Attributes river;
  river.text("河名", 24, "长江").number("等级", T::Int8, 1).real("长度", T::Double, 1, 6300.0);
  add("河流", "常年河", kLine, 2101, line(17, 3, 1.5f, 10.0f, 4.0f, 2), std::move(river));
  add("时令河", "季节性河流", kLine, 2102, line(1, 39, 1.2f, 8.0f, 2.0f, 2));
  Attributes road;
  road.text("编号", 8, "G107")
      .number("车道数", T::Int16, 4)
      .real("设计时速", T::Float, 1, 100.5)
      .time("通车时间", AttTime{9, 30, 15, 250})
      .date("通车日期", AttDate{1998, 12, 28});
  add("公路", "国道与省道", kLine, 2201, line(7, 10, 2.0f, 10.0f, 8.0f, 2), std::move(road));
  add("铁路", "标准轨铁路", kLine, 2301, line(14, 2, 1.0f, 10.0f, 6.0f, 1));
  add("行政界线", "省级行政区界", kLine, 2401, line(9, 12, 1.5f, 12.0f, 6.0f, 0));
  add("等高线", "首曲线", kLine, 2501, line(12, 14, 1.0f, 10.0f, 2.0f, 0));

  add("湖泊", "常年湖", kRegion, 3101, region(251, 0, 6.0f, 6.0f, 3));
  add("水田", "水稻田", kRegion, 3201, region(132, 5, 6.0f, 6.0f, 7));
  Attributes forest;
  forest.text("林种", 12, "用材林")
      .number("小班号", T::Int32, 1207)
      .number("面积平方米", T::Int64, 9007199254740993)
      .real("郁闭度", T::Double, 2, 0.65)
      .date("调查日期", AttDate{2020, 2, 29});
  add("林地", "有林地", kRegion, 3301, region(252, 21, 10.0f, 10.0f, 136), std::move(forest));
  add("草地", "天然草地", kRegion, 3401, region(133, 18, 8.0f, 8.0f, 7));
  add("居民地", "街区", kRegion, 3501, region(254, 16, 8.0f, 4.0f, 6));
  add("沙地", "", kRegion, 3601, region(253, 23, 6.0f, 6.0f, 14));

  // Legends added later sit after the others in the file; the pad still
  // groups them with their type.
  add("桥梁", "公路桥", kPoint, 1701, symbol(29, 8.0f, 12.0f, 1.5f, 9));
  add("未知类型", "图例类型为7", kUnknownType, 9901, Params(0));
  add("航道", "内河航道", kLine, 2601, line(16, 13, 1.2f, 12.0f, 6.0f, 4));
  add("盐田", "晒盐场", kRegion, 3701, region(159, 6, 6.0f, 6.0f, 6));
  add("注记", "山名注记", kPoint, 1202, annotationOrText(kAnnotation, 4.0f, 4.0f, 0, 44));
  return legends;
}

std::vector<std::uint8_t> fileImage(std::vector<DemoLegend>& legends) {
  legend::PackedFileBuilder file;
  for (DemoLegend& demo : legends) {
    std::vector<std::uint8_t> record;
    CATT_STRU* structure = nullptr;
    if (demo.attributes) {
      record = demo.attributes->record();
      structure = &demo.attributes->structure();
    }
    std::optional<std::vector<std::uint8_t>> block = legend::composeBlock(demo.params, structure, record);
    if (!block) fail("a demo block cannot be composed");

    legend::HeadRecord head;
    if (!head.ref().setName(gbk(demo.name)) || !head.ref().setDescription(gbk(demo.description)))
      fail("a demo name or description is too long");
    head.ref().setType(demo.type);
    head.ref().setClassCode(demo.classCode);
    if (!file.append(head, *block)) fail("the demo file outgrows the format");
  }
  return file.image();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_cln OUT.CLN\n");
    return 2;
  }
  std::vector<DemoLegend> legends = demoLegends();
  const std::vector<std::uint8_t> image = fileImage(legends);
  if (const legend::ReplaceResult result = legend::replaceFile(argv[1], image); !result) {
    std::fprintf(stderr, "make_demo_cln: cannot write %s: %s\n", argv[1], result.cause.message().c_str());
    return 1;
  }
  return 0;
}
