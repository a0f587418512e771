#include "legend_report.h"

#include <bit>
#include <cstring>
#include <span>
#include <string_view>
#include <variant>

#include <QStringDecoder>

#include "components/attstru/att_stru.h"
#include "components/codec/ui_language.h"

namespace {

// Head record, as laid out in the legend file.
namespace head {
constexpr std::size_t kName = 0;
constexpr std::size_t kDescription = 128;
constexpr std::size_t kTextBytes = 128;
constexpr std::size_t kType = 256;
constexpr std::size_t kBlockOffset = 257;
constexpr std::size_t kBlockSize = 261;
constexpr std::size_t kClassCode = 265;
}  // namespace head

// Graphic parameter records (docs/graphic-records.md).
namespace point {
constexpr std::size_t kType = 0;
constexpr std::size_t kSymbolNumber = 2;
constexpr std::size_t kSymbolHeight = 6;
constexpr std::size_t kSymbolWidth = 10;
constexpr std::size_t kSymbolAngle = 14;
constexpr std::size_t kPenWidth = 18;
constexpr std::size_t kTextHeight = 2;
constexpr std::size_t kTextWidth = 6;
constexpr std::size_t kTextAngle = 10;
constexpr std::size_t kTextSpacing = 14;
constexpr std::size_t kAnnotationLayout = 23;
constexpr std::size_t kTextLayout = 35;
constexpr std::size_t kDiameter = 2;
constexpr std::size_t kColour = 44;
}  // namespace point
namespace line {
constexpr std::size_t kStyle = 0;
constexpr std::size_t kColour = 4;
constexpr std::size_t kPenWidth = 8;
constexpr std::size_t kPatternLength = 13;  // eighths of a pixel
constexpr std::size_t kPatternWidth = 17;   // sixteenths of a pixel
constexpr std::size_t kSecondColour = 21;
}  // namespace line
namespace region {
constexpr std::size_t kFillColour = 0;
constexpr std::size_t kPattern = 4;
constexpr std::size_t kCellWidth = 6;
constexpr std::size_t kCellHeight = 10;
constexpr std::size_t kPatternColour = 14;
}  // namespace region

// Fields sit wherever the record puts them, unaligned; read them bytewise.
template <typename T>
T load(const unsigned char* bytes, std::size_t offset) {
  using Raw = std::conditional_t<sizeof(T) == 8, std::uint64_t,
                                 std::conditional_t<sizeof(T) == 4, std::uint32_t,
                                                    std::conditional_t<sizeof(T) == 2, std::uint16_t, std::uint8_t>>>;
  Raw raw = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) raw = static_cast<Raw>(raw | Raw{bytes[offset + i]} << (8 * i));
  return std::bit_cast<T>(raw);
}

QString number(double value) { return QString::number(value, 'g', 6); }
// A length stored in fractions of a pixel: the stored value, then pixels.
QString scaled(float stored, double unitsPerPixel) {
  return legend::tr("%1 (%2 像素)").arg(number(stored), number(stored / unitsPerPixel));
}
QString colour(std::uint32_t value) { return legend::tr("调色板 %1").arg(value); }

QString attributeTypeName(AttFieldType type) {
  switch (type) {
    case AttFieldType::Text: return legend::tr("字符串");
    case AttFieldType::Int8: return legend::tr("8位整数");
    case AttFieldType::Int16: return legend::tr("16位整数");
    case AttFieldType::Int32: return legend::tr("32位整数");
    case AttFieldType::Int64: return legend::tr("64位整数");
    case AttFieldType::Float: return legend::tr("单精度浮点");
    case AttFieldType::Double: return legend::tr("双精度浮点");
    case AttFieldType::Date: return legend::tr("日期");
    case AttFieldType::Time: return legend::tr("时间");
  }
  return legend::tr("未知");
}

QString attributeValue(const AttValue& value, const AttField& field) {
  struct Visitor {
    const AttField& field;
    QString operator()(std::monostate) const { return legend::tr("(无日期)"); }
    QString operator()(const std::string& text) const { return gbkText(text.data(), text.size()); }
    QString operator()(std::int64_t v) const { return QString::number(v); }
    QString operator()(double v) const { return QString::number(v, 'f', field.decimals); }
    QString operator()(const AttDate& d) const { return QString::fromStdString(toText(d)); }
    QString operator()(const AttTime& t) const { return QString::fromStdString(toText(t)); }
  };
  return std::visit(Visitor{field}, value);
}

}  // namespace

QString gbkText(const char* bytes, std::size_t maxBytes) {
  if (!bytes) return {};
  const std::size_t length = strnlen(bytes, maxBytes);
  QStringDecoder decoder("GBK");
  if (!decoder.isValid()) return QString::fromLatin1(bytes, static_cast<qsizetype>(length));
  return decoder.decode(QByteArrayView(bytes, static_cast<qsizetype>(length)));
}

std::string gbkToUtf8(const char* nulTerminated) {
  if (!nulTerminated) return "null";
  return gbkText(nulTerminated, head::kTextBytes).toStdString();
}

std::string hexBytes(const unsigned char* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(2 * count);
  for (std::size_t i = 0; i < count; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0xF];
  }
  return out;
}

QString legendTypeName(int type) {
  switch (type) {
    case 0: return legend::tr("线图例 (0)");
    case 1: return legend::tr("点图例 (1)");
    case 2: return legend::tr("区图例 (2)");
    default: return legend::tr("未知类型 (%1)").arg(type);
  }
}

std::vector<ReportRow> headRows(const unsigned char* h) {
  const auto* text = reinterpret_cast<const char*>(h);
  return {
      {legend::tr("名称"), gbkText(text + head::kName, head::kTextBytes)},
      {legend::tr("描述"), gbkText(text + head::kDescription, head::kTextBytes)},
      {legend::tr("类型"), legendTypeName(load<std::int8_t>(h, head::kType))},
      {legend::tr("分类码"), QString::number(load<std::int32_t>(h, head::kClassCode))},
      {legend::tr("数据块偏移"), QString::number(load<std::uint32_t>(h, head::kBlockOffset))},
      {legend::tr("数据块大小"), QString::number(load<std::int32_t>(h, head::kBlockSize))},
  };
}

std::vector<ReportRow> pointRows(const PNT_INFOstruct& record) {
  const unsigned char* r = record.bytes;
  const std::uint8_t kind = r[point::kType];
  static const char* const kKinds[] = {QT_TRANSLATE_NOOP("legend", "注释"), QT_TRANSLATE_NOOP("legend", "符号"),
                                       QT_TRANSLATE_NOOP("legend", "点"),   QT_TRANSLATE_NOOP("legend", "圆"),
                                       QT_TRANSLATE_NOOP("legend", "图像"), QT_TRANSLATE_NOOP("legend", "文本")};
  std::vector<ReportRow> rows{
      {legend::tr("点类型"), kind < 6 ? QStringLiteral("%1 (%2)").arg(legend::tr(kKinds[kind])).arg(kind)
                                      : legend::tr("未知 (%1)").arg(kind)},
  };
  switch (kind) {
    case 0:
    case 5:
      rows.push_back({legend::tr("字高"), number(load<float>(r, point::kTextHeight))});
      rows.push_back({legend::tr("字宽"), number(load<float>(r, point::kTextWidth))});
      rows.push_back({legend::tr("角度"), number(load<float>(r, point::kTextAngle))});
      rows.push_back({legend::tr("字间距"), number(load<float>(r, point::kTextSpacing))});
      rows.push_back({legend::tr("排列"), r[kind == 0 ? point::kAnnotationLayout : point::kTextLayout]
                                              ? legend::tr("竖排")
                                              : legend::tr("横排")});
      break;
    case 1:
      rows.push_back({legend::tr("符号号"), QString::number(load<std::uint32_t>(r, point::kSymbolNumber))});
      rows.push_back({legend::tr("高度"), number(load<float>(r, point::kSymbolHeight))});
      rows.push_back({legend::tr("宽度"), number(load<float>(r, point::kSymbolWidth))});
      rows.push_back({legend::tr("角度"), number(load<float>(r, point::kSymbolAngle))});
      rows.push_back({legend::tr("笔宽"), number(load<float>(r, point::kPenWidth))});
      break;
    case 2:
    case 3:
      rows.push_back({legend::tr("直径"), number(load<double>(r, point::kDiameter))});
      if (kind == 3) rows.push_back({legend::tr("笔宽"), number(load<float>(r, point::kPenWidth))});
      break;
    default: break;
  }
  if (kind != 4) rows.push_back({legend::tr("颜色"), colour(load<std::uint32_t>(r, point::kColour))});
  return rows;
}

std::vector<ReportRow> lineRows(const LIN_INFOstruct& record) {
  const unsigned char* r = record.bytes;
  return {
      {legend::tr("线型"), QString::number(load<std::uint16_t>(r, line::kStyle))},
      {legend::tr("颜色"), colour(load<std::uint32_t>(r, line::kColour))},
      {legend::tr("线宽"), number(load<float>(r, line::kPenWidth))},
      {legend::tr("图案长度"), scaled(load<float>(r, line::kPatternLength), 8.0)},
      {legend::tr("图案宽度"), scaled(load<float>(r, line::kPatternWidth), 16.0)},
      {legend::tr("辅助颜色"), colour(load<std::uint32_t>(r, line::kSecondColour))},
  };
}

std::vector<ReportRow> regionRows(const REG_INFOstruct& record) {
  const unsigned char* r = record.bytes;
  return {
      {legend::tr("填充颜色"), colour(load<std::uint32_t>(r, region::kFillColour))},
      {legend::tr("图案"), QString::number(load<std::uint16_t>(r, region::kPattern))},
      {legend::tr("图案宽"), number(load<float>(r, region::kCellWidth))},
      {legend::tr("图案高"), number(load<float>(r, region::kCellHeight))},
      {legend::tr("图案颜色"), colour(load<std::uint32_t>(r, region::kPatternColour))},
  };
}

std::vector<ReportRow> attributeRows(const CATT_STRU& structure, const char* record, std::int32_t length) {
  std::vector<ReportRow> rows;
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(record),
                                            record && length > 0 ? static_cast<std::size_t>(length) : 0);
  for (std::int16_t i = 0; i < structure.FieldCount(); ++i) {
    const AttField& field = structure.Fields()[static_cast<std::size_t>(i)];
    AttValue value;
    const QString shown =
        structure.GetValue(bytes, i, value) == AttStatus::Ok ? attributeValue(value, field) : legend::tr("(记录过短)");
    rows.push_back(
        {QStringLiteral("%1 [%2]").arg(gbkText(field.name.data(), field.name.size()), attributeTypeName(field.type)),
         shown});
  }
  return rows;
}
