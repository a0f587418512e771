// dump: the whole file as JSON, for scripts and for eyes.

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>
#include <span>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include "components/attstru/att_stru.h"
#include "commands.h"
#include "components/codec/gbk_text.h"
#include "legendfile/layout.h"
#include "legendfile/legend_set.h"
#include "legendfile/messages.h"

namespace clntool {

namespace {

/// Integers beyond this lose digits as JSON numbers (IEEE doubles).
constexpr std::int64_t kLargestExactInteger = std::int64_t{1} << 53;

QString hex(std::span<const std::uint8_t> bytes) {
  return QString::fromLatin1(
      QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())).toHex());
}

QString fieldTypeName(AttFieldType type) {
  switch (type) {
    case AttFieldType::Text: return QStringLiteral("text");
    case AttFieldType::Int8: return QStringLiteral("int8");
    case AttFieldType::Int16: return QStringLiteral("int16");
    case AttFieldType::Int32: return QStringLiteral("int32");
    case AttFieldType::Int64: return QStringLiteral("int64");
    case AttFieldType::Float: return QStringLiteral("float");
    case AttFieldType::Double: return QStringLiteral("double");
    case AttFieldType::Date: return QStringLiteral("date");
    case AttFieldType::Time: return QStringLiteral("time");
  }
  return QStringLiteral("unknown");
}

/// A float field read back as a double shows digits the user never typed
/// (3.14 becomes 3.1400001049); the float's shortest form does not.
double shortestFloat(double value) {
  const auto single = static_cast<float>(value);
  std::array<char, 64> text{};
  const auto written = std::to_chars(text.data(), text.data() + text.size(), single);
  double shortest = value;
  std::from_chars(text.data(), written.ptr, shortest);
  return shortest;
}

QJsonValue jsonValue(const AttField& field, const AttValue& value) {
  struct Visitor {
    const AttField& field;
    QJsonValue operator()(std::monostate) const { return QJsonValue::Null; }
    QJsonValue operator()(const std::string& text) const { return legend::decodeGbk(text); }
    QJsonValue operator()(std::int64_t number) const {
      if (number > kLargestExactInteger || number < -kLargestExactInteger) return QString::number(number);
      return static_cast<double>(number);
    }
    QJsonValue operator()(double number) const {
      return field.type == AttFieldType::Float ? shortestFloat(number) : number;
    }
    QJsonValue operator()(const AttDate& date) const {
      return QString::fromStdString(toText(date));
    }
    QJsonValue operator()(const AttTime& time) const {
      return QString::fromStdString(toText(time));
    }
  };
  return std::visit(Visitor{field}, value);
}

QJsonArray attributeFields(const legend::LegendCheck& check) {
  const CATT_STRU& structure = *check.structure;
  const bool recordFits = static_cast<std::int64_t>(check.record.size()) == structure.RecordLength();
  QJsonArray fields;
  for (std::int16_t k = 0; k < structure.FieldCount(); ++k) {
    const AttField& field = *structure.Field(k);
    QJsonObject entry;
    entry[QStringLiteral("name")] = legend::decodeGbk(field.name);
    entry[QStringLiteral("type")] = fieldTypeName(field.type);
    entry[QStringLiteral("length")] = field.length;
    entry[QStringLiteral("decimals")] = field.decimals;
    QJsonValue value = QJsonValue::Null;
    AttValue read;
    if (recordFits && structure.GetValue(check.record, k, read) == AttStatus::Ok) value = jsonValue(field, read);
    entry[QStringLiteral("value")] = value;
    fields.append(entry);
  }
  return fields;
}

bool hasProblem(const legend::FileInspection& inspection, std::int32_t index,
                std::initializer_list<legend::ProblemKind> kinds) {
  return std::any_of(inspection.problems.begin(), inspection.problems.end(), [&](const legend::Problem& p) {
    return p.legend == index && std::find(kinds.begin(), kinds.end(), p.kind) != kinds.end();
  });
}

/// The graphic parameter record as the pad holds it: zero-filled where the
/// file ends early, empty for a type the pad does not know.
QString params(const legend::LegendSet& set, std::int32_t index) {
  std::array<std::uint8_t, legend::layout::kPointRecordSize> buffer{};
  static_assert(legend::layout::kPointRecordSize >= legend::layout::kLineRecordSize &&
                legend::layout::kPointRecordSize >= legend::layout::kRegionRecordSize);
  const std::int8_t type = set.head(index).type();
  std::int16_t copied = 0;
  switch (type) {
    case static_cast<std::int8_t>(legend::LegendType::Point): copied = set.getPointInfo(buffer.data(), index); break;
    case static_cast<std::int8_t>(legend::LegendType::Line): copied = set.getLineInfo(buffer.data(), index); break;
    case static_cast<std::int8_t>(legend::LegendType::Region): copied = set.getRegionInfo(buffer.data(), index); break;
    default: break;
  }
  if (copied == 0) return {};
  return hex(std::span(buffer).first(legend::layout::param_record_size(type)));
}

QJsonObject legendObject(const legend::LegendSet& set, const legend::FileInspection& inspection,
                         std::int32_t index) {
  using legend::ProblemKind;
  const legend::HeadView head = set.head(index);
  const legend::LegendCheck& check = inspection.legends[static_cast<std::size_t>(index)];
  QJsonObject entry;
  entry[QStringLiteral("index")] = index;
  entry[QStringLiteral("type")] = head.type();
  entry[QStringLiteral("type_name")] = QString::fromLatin1(typeName(head.type()));
  entry[QStringLiteral("name")] = legend::decodeGbk(head.name());
  entry[QStringLiteral("description")] = legend::decodeGbk(head.description());
  entry[QStringLiteral("class_code")] = head.classCode();
  entry[QStringLiteral("block_offset")] = static_cast<double>(head.blockOffset());
  entry[QStringLiteral("block_size")] = head.blockSize();
  entry[QStringLiteral("params")] = params(set, index);

  // How far the inspection got into the block decides which sizes it read.
  const bool blockRead = !hasProblem(inspection, index, {ProblemKind::NegativeBlockSize, ProblemKind::BlockPastEnd});
  const bool structureSizeRead =
      blockRead && !hasProblem(inspection, index, {ProblemKind::ParamsFillBlock, ProblemKind::StructureSizeMissing});
  const bool recordSizeRead =
      structureSizeRead && !hasProblem(inspection, index,
                                       {ProblemKind::NegativeStructureSize, ProblemKind::StructurePastBlock,
                                        ProblemKind::RecordSizeMissing});
  entry[QStringLiteral("attribute_structure_size")] =
      structureSizeRead ? QJsonValue(check.parts.structureSize) : QJsonValue(QJsonValue::Null);
  entry[QStringLiteral("attribute_record_size")] =
      recordSizeRead ? QJsonValue(check.parts.recordSize) : QJsonValue(QJsonValue::Null);
  if (check.structure && check.parts.structureSize > 0)
    entry[QStringLiteral("attribute_fields")] = attributeFields(check);
  return entry;
}

}  // namespace

int runDump(const std::string& path, std::ostream& out, std::ostream& err) {
  const legend::FileInspection inspection = legend::inspectFile(path);
  if (!inspection.readable || !inspection.legendFile) {
    reportUnusable(path, inspection, err);
    return kExitBadFile;
  }
  legend::LegendSet set;
  legend::LegendStatus status = set.setPath(path);
  if (status == legend::LegendStatus::Ok) status = set.reload();
  if (status != legend::LegendStatus::Ok) {
    err << path << ": " << legend::messages::text(status, path) << '\n';
    return kExitBadFile;
  }
  if (set.count() != inspection.count) {
    err << path << ": the file changed while it was being read\n";
    return kExitBadFile;
  }

  QJsonArray order;
  for (const std::int32_t index : set.displayList()) order.append(index);
  QJsonArray legends;
  for (std::int32_t index = 0; index < set.count(); ++index) legends.append(legendObject(set, inspection, index));
  QJsonObject root;
  root[QStringLiteral("count")] = set.count();
  root[QStringLiteral("display_order")] = order;
  root[QStringLiteral("legends")] = legends;
  const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
  out.write(json.constData(), json.size());
  return kExitOk;
}

}  // namespace clntool
