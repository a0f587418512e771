#include "interchange/legend_json.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "components/attstru/att_stru.h"
#include "interchange/json_check.h"
#include "interchange/param_fields.h"
#include "legendfile/byte_order.h"
#include "legendfile/data_block.h"
#include "legendfile/header.h"
#include "legendfile/layout.h"
#include "legendfile/translation.h"

namespace legend::interchange {

using namespace detail;

namespace {

namespace L = legend::layout;

/// Bytes 8 to 11 of the header: readers ignore them, writers put 13, 0 there.
constexpr std::size_t kHeaderTailSize = L::kHeaderSize - L::kVersionWordOffset;

constexpr std::array<std::string_view, 9> kFieldTypeNames{"text",  "int8",   "int16", "int32", "int64",
                                                          "float", "double", "date",  "time"};

std::string_view fieldTypeName(AttFieldType type) {
  return kFieldTypeNames[static_cast<std::size_t>(type) - static_cast<std::size_t>(AttFieldType::Text)];
}

/// The typed JSON form of a value, or nullopt when only its bytes can say it.
std::optional<Json> valueJson(const AttField& field, const AttValue& value) {
  struct Visitor {
    const AttField& field;
    std::optional<Json> operator()(std::monostate) const { return Json(nullptr); }
    std::optional<Json> operator()(const std::string& text) const {
      Json json = textJson(text);
      if (!json.is_string()) return std::nullopt;
      return json;
    }
    std::optional<Json> operator()(std::int64_t number) const { return Json(number); }
    std::optional<Json> operator()(double number) const {
      if (!std::isfinite(number)) return std::nullopt;
      if (field.type != AttFieldType::Float) return Json(number);
      std::array<char, 64> text{};
      const auto written = std::to_chars(text.data(), text.data() + text.size(), static_cast<float>(number));
      double shortest = number;
      std::from_chars(text.data(), written.ptr, shortest);
      return Json(shortest);
    }
    std::optional<Json> operator()(const AttDate& date) const { return toText(date); }
    std::optional<Json> operator()(const AttTime& time) const { return toText(time); }
  };
  return std::visit(Visitor{field}, value);
}

/// Parses "digits sep digits sep ..." with exactly the given widths.
bool parseNumbers(const std::string& text, std::span<const int> widths, std::string_view separators,
                  std::span<std::int32_t> out) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    if (i > 0) {
      if (at >= text.size() || text[at] != separators[i - 1]) return false;
      ++at;
    }
    const auto width = static_cast<std::size_t>(widths[i]);
    if (text.size() - at < width) return false;
    for (std::size_t k = 0; k < width; ++k)
      if (text[at + k] < '0' || text[at + k] > '9') return false;
    std::from_chars(text.data() + at, text.data() + at + width, out[i]);
    at += width;
  }
  return at == text.size();
}

AttValue typedValue(const AttField& field, const Json& value, const std::string& path) {
  switch (field.type) {
    case AttFieldType::Text: return expectText(value, path);
    case AttFieldType::Int8:
    case AttFieldType::Int16:
    case AttFieldType::Int32:
    case AttFieldType::Int64:
      return expectInteger(value, path, std::numeric_limits<std::int64_t>::min(),
                           std::numeric_limits<std::int64_t>::max());
    case AttFieldType::Float:
    case AttFieldType::Double:
      if (!value.is_number()) refuse(path, "expected a number");
      return value.get<double>();
    case AttFieldType::Date: {
      if (value.is_null()) return std::monostate{};
      std::array<std::int32_t, 3> parts{};
      static constexpr std::array<int, 3> kWidths{4, 2, 2};
      if (!value.is_string() || !parseNumbers(value.get_ref<const std::string&>(), kWidths, "--", parts))
        refuse(path, "expected a date \"YYYY-MM-DD\" or null");
      return AttDate{parts[0], parts[1], parts[2]};
    }
    case AttFieldType::Time: {
      std::array<std::int32_t, 4> parts{};
      static constexpr std::array<int, 4> kWidths{2, 2, 2, 3};
      if (!value.is_string() || !parseNumbers(value.get_ref<const std::string&>(), kWidths, "::.", parts))
        refuse(path, "expected a time \"HH:MM:SS.mmm\"");
      return AttTime{parts[0], parts[1], parts[2], parts[3]};
    }
  }
  refuse(path, "field of unknown type");
}

std::string statusText(AttStatus status) {
  switch (status) {
    case AttStatus::Ok: return "ok";
    case AttStatus::NoSuchField: return "no such field";
    case AttStatus::BadName: return "name empty, longer than 31 bytes, holding NUL or used twice";
    case AttStatus::BadLength: return "length not allowed for the type";
    case AttStatus::BadDecimals: return "decimals above 15 or given for a type that is not float or double";
    case AttStatus::TooManyFields: return "more than 4096 fields";
    case AttStatus::RecordTooShort: return "record too short";
    case AttStatus::WrongValueKind: return "value of the wrong kind for the field";
    case AttStatus::OutOfRange: return "value does not fit the field";
  }
  return "refused";
}

}  // namespace

Json legendTypeJson(std::int8_t type) {
  switch (type) {
    case static_cast<std::int8_t>(LegendType::Line): return "line";
    case static_cast<std::int8_t>(LegendType::Point): return "point";
    case static_cast<std::int8_t>(LegendType::Region): return "region";
    default: return type;
  }
}

Json attributeRecordJson(const CATT_STRU& structure, std::span<const std::uint8_t> record) {
  Json values = Json::array();
  std::vector<std::uint8_t> scratch(record.begin(), record.end());
  for (std::int16_t k = 0; k < structure.FieldCount(); ++k) {
    const AttField& field = *structure.Field(k);
    const auto bytes = record.subspan(static_cast<std::size_t>(field.offset), static_cast<std::size_t>(field.length));
    // A value counts only if writing it back gives the same bytes: text with
    // bytes after its end, invalid dates and NaNs travel as bytes.
    AttValue value;
    std::optional<Json> json;
    if (structure.GetValue(record, k, value) == AttStatus::Ok) json = valueJson(field, value);
    if (json) {
      AttValue back;
      try {
        back = typedValue(field, *json, "");
      } catch (const Refusal&) {
        json.reset();
      }
      if (json && (structure.SetValue(scratch, k, back) != AttStatus::Ok ||
                   !std::equal(bytes.begin(), bytes.end(), scratch.begin() + field.offset)))
        json.reset();
    }
    if (!json) {
      auto raw = bytes;
      if (field.type == AttFieldType::Text)
        while (!raw.empty() && raw.back() == 0) raw = raw.first(raw.size() - 1);
      json = Json{{"bytes_hex", hex(raw)}};
    }
    values.push_back(std::move(*json));
  }
  return values;
}

Json attributeFieldsJson(const CATT_STRU& structure) {
  Json fields = Json::array();
  for (const AttField& field : structure.Fields()) {
    Json entry = Json::object();
    entry["name"] = textJson(field.name);
    entry["type"] = fieldTypeName(field.type);
    if (field.type == AttFieldType::Text) entry["length"] = field.length;
    if (field.decimals != 0) entry["decimals"] = field.decimals;
    fields.push_back(std::move(entry));
  }
  return fields;
}

namespace {

/// The keys that describe a block's content, added to @p legend.
void blockJson(Json& legend, std::span<const std::uint8_t> block, std::int8_t type) {
  const BlockParts parts = parseBlock(block, type);
  if (parts.problem != BlockProblem::None) {
    legend["block_hex"] = hex(block);
    return;
  }
  if (parts.paramSize > 0) legend["params"] = paramsJson(type, block.first(parts.paramSize));
  const auto structureBytes = block.subspan(parts.structureOffset(), static_cast<std::size_t>(parts.structureSize));
  const auto record = block.subspan(parts.recordOffset(), static_cast<std::size_t>(parts.recordSize));
  if (parts.structureSize > 0 || parts.recordSize > 0) {
    Json attributes = Json::object();
    CATT_STRU structure;
    bool loaded = false;
    if (parts.structureSize > 0) {
      loaded = structure.Load(structureBytes.data(), parts.structureSize, 0) >= 0;
      bool exact = false;
      if (loaded) {
        attributes["fields"] = attributeFieldsJson(structure);
        std::vector<std::uint8_t> saved(structureBytes.size());
        exact = structure.CalSize() == parts.structureSize &&
                structure.Save(saved.data(), parts.structureSize, 0) == parts.structureSize &&
                std::equal(saved.begin(), saved.end(), structureBytes.begin());
      }
      if (!exact) attributes["structure_hex"] = hex(structureBytes);
    }
    if (parts.recordSize > 0) {
      if (loaded && parts.recordSize == structure.RecordLength())
        attributes["record"] = attributeRecordJson(structure, record);
      else
        attributes["record_hex"] = hex(record);
    }
    legend["attributes"] = std::move(attributes);
  }
  const std::size_t end = parts.recordOffset() + record.size();
  if (end < block.size()) legend["block_tail_hex"] = hex(block.subspan(end));
}

/// The 128-byte text field at @p offset: its text, and the bytes after the
/// text when any of them is not zero.
void textFieldJson(Json& legend, std::string_view key, std::span<const std::uint8_t> head, std::size_t offset) {
  const auto field = head.subspan(offset, L::kTextFieldSize);
  std::size_t length = 0;
  while (length < L::kMaxTextBytes && field[length] != 0) ++length;
  legend[std::string(key)] = textJson({reinterpret_cast<const char*>(field.data()), length});
  if (!allZero(field.subspan(length))) legend[std::string(key) + "_tail_hex"] = hex(field.subspan(length));
}

}  // namespace

ExportResult exportDocument(std::span<const std::uint8_t> file) {
  ExportResult result;
  if (file.size() < L::kPreambleSize) {
    result.error =
        translated(LEGEND_TR_NOOP("legend", "文件太短,不是图例文件(%1 字节)"), {std::to_string(file.size())});
    return result;
  }
  if (checkHeader(file) != L::kFormatWord) {
    result.error = translated(LEGEND_TR_NOOP("legend", "不是图例文件(文件头检查未通过)"));
    return result;
  }
  const auto count = load_le<std::int32_t>(file, L::kCountOffset);
  const std::uint64_t headsPresent = (file.size() - L::kPreambleSize) / L::kHeadRecordSize;
  const std::uint64_t heads = count < 0 ? 0 : std::min<std::uint64_t>(static_cast<std::uint64_t>(count), headsPresent);
  // With heads missing, no block can be located, so the rest is kept as gaps.
  const bool blocksReadable = count >= 0 && heads == static_cast<std::uint64_t>(count);
  const std::uint64_t dataStart = L::data_area_offset(static_cast<std::int64_t>(heads));
  const auto data = file.subspan(dataStart);

  Json document = Json::object();
  document["format_version"] = kFormatVersion;
  const auto tail = file.subspan(L::kVersionWordOffset, kHeaderTailSize);
  const std::array<std::uint8_t, L::kHeaderSize> standard = makeHeader();
  if (!std::equal(tail.begin(), tail.end(), standard.begin() + L::kVersionWordOffset))
    document["header_tail_hex"] = hex(tail);
  if (!blocksReadable) document["count"] = count;

  Json legends = Json::array();
  std::vector<std::pair<std::uint64_t, std::uint64_t>> covered;
  std::uint64_t running = 0;
  for (std::uint64_t i = 0; i < heads; ++i) {
    const auto head = file.subspan(L::head_offset(static_cast<std::int64_t>(i)), L::kHeadRecordSize);
    Json legend = Json::object();
    textFieldJson(legend, "name", head, L::kNameOffset);
    textFieldJson(legend, "description", head, L::kDescriptionOffset);
    const auto type = load_le<std::int8_t>(head, L::kTypeOffset);
    legend["type"] = legendTypeJson(type);
    legend["class_code"] = load_le<std::int32_t>(head, L::kClassCodeOffset);
    const auto reserved = head.subspan(L::kReservedOffset, L::kReservedSize);
    if (!allZero(reserved)) legend["reserved_hex"] = hex(reserved);

    const auto offset = load_le<std::uint32_t>(head, L::kBlockOffsetOffset);
    const auto size = load_le<std::int32_t>(head, L::kBlockSizeOffset);
    if (blocksReadable && size >= 0 && fits_within(offset, static_cast<std::uint64_t>(size), data.size())) {
      if (offset != running) legend["block_offset"] = offset;
      blockJson(legend, data.subspan(offset, static_cast<std::size_t>(size)), type);
      running = std::uint64_t{offset} + static_cast<std::uint64_t>(size);
      covered.emplace_back(offset, running);
    } else {
      legend["block_offset"] = offset;
      legend["block_size"] = size;
      legend["block_hex"] = "";
      running = offset;
    }
    legends.push_back(std::move(legend));
  }
  document["legends"] = std::move(legends);

  std::sort(covered.begin(), covered.end());
  Json gaps = Json::array();
  std::uint64_t at = 0;
  const auto addGap = [&](std::uint64_t from, std::uint64_t to) {
    const auto bytes = data.subspan(from, to - from);
    // Zeros before a block come back by themselves; only a zero tail
    // needs saying, since it makes the file longer.
    if (to < data.size() && allZero(bytes)) return;
    Json gap = Json::object();
    gap["offset"] = from;
    if (allZero(bytes))
      gap["size"] = bytes.size();
    else
      gap["bytes_hex"] = hex(bytes);
    gaps.push_back(std::move(gap));
  };
  for (const auto& [from, to] : covered) {
    if (from > at) addGap(at, from);
    at = std::max(at, to);
  }
  if (at < data.size()) addGap(at, data.size());
  if (!gaps.empty()) document["gaps"] = std::move(gaps);
  result.document = std::move(document);
  return result;
}

std::string documentText(const Json& document) { return document.dump(2, ' ', false) + "\n"; }

namespace {

/// A legend as read from a document, before the file is laid out.
struct ImportedLegend {
  std::array<std::uint8_t, L::kHeadRecordSize> head{};
  Bytes block;
  std::optional<std::uint32_t> offset;
  std::optional<std::int32_t> size;
};

std::int8_t legendType(const Json& value, const std::string& path) {
  if (value.is_string()) {
    const auto& name = value.get_ref<const std::string&>();
    if (name == "line") return static_cast<std::int8_t>(LegendType::Line);
    if (name == "point") return static_cast<std::int8_t>(LegendType::Point);
    if (name == "region") return static_cast<std::int8_t>(LegendType::Region);
    refuse(path, "expected one of line, point, region, or a number -128 to 127");
  }
  return static_cast<std::int8_t>(expectInteger(value, path, -128, 127));
}

void textField(const Json& legend, const std::string& path, std::string_view key, std::span<std::uint8_t> head,
               std::size_t offset) {
  const std::string textPath = member(path, key);
  const std::string text = expectText(require(legend, path, key), textPath);
  if (text.size() > L::kMaxTextBytes) refuse(textPath, "longer than 127 bytes in GBK");
  if (text.find('\0') != std::string::npos) refuse(textPath, "holds a NUL byte");
  const auto field = head.subspan(offset, L::kTextFieldSize);
  std::copy(text.begin(), text.end(), field.begin());
  const std::string tailKey = std::string(key) + "_tail_hex";
  if (const Json* tail = find(legend, tailKey)) {
    const std::string tailPath = member(path, tailKey);
    const Bytes bytes = expectHex(*tail, tailPath);
    if (bytes.size() != L::kTextFieldSize - text.size())
      refuse(tailPath,
             "expected " + std::to_string(L::kTextFieldSize - text.size()) + " bytes (the rest of the field)");
    if (text.size() < L::kMaxTextBytes && bytes[0] != 0) refuse(tailPath, "must start with the NUL that ends the text");
    std::copy(bytes.begin(), bytes.end(), field.begin() + static_cast<std::ptrdiff_t>(text.size()));
  }
}

CATT_STRU structureFromFields(const Json& fields, const std::string& path) {
  expectArray(fields, path);
  CATT_STRU structure;
  for (std::size_t k = 0; k < fields.size(); ++k) {
    const std::string fieldPath = element(path, k);
    const Json& entry = expectObject(fields[k], fieldPath);
    expectKeys(entry, fieldPath, {"name", "type", "length", "decimals"});
    AttField field;
    field.name = expectText(require(entry, fieldPath, "name"), member(fieldPath, "name"));
    const Json& type = require(entry, fieldPath, "type");
    const auto it = type.is_string()
                        ? std::find(kFieldTypeNames.begin(), kFieldTypeNames.end(), type.get_ref<const std::string&>())
                        : kFieldTypeNames.end();
    if (it == kFieldTypeNames.end())
      refuse(member(fieldPath, "type"), "expected one of text, int8, int16, int32, int64, float, double, date, time");
    field.type = static_cast<AttFieldType>(static_cast<int>(AttFieldType::Text) + (it - kFieldTypeNames.begin()));
    field.length = AttFieldWidth(field.type);
    if (const Json* length = find(entry, "length"))
      field.length =
          static_cast<std::int32_t>(expectInteger(*length, member(fieldPath, "length"), 1, CATT_STRU::kMaxTextLength));
    else if (field.type == AttFieldType::Text)
      refuse(member(fieldPath, "length"), "missing (text fields need their length in bytes)");
    if (const Json* decimals = find(entry, "decimals"))
      field.decimals = static_cast<std::uint8_t>(expectInteger(*decimals, member(fieldPath, "decimals"), 0, 255));
    const AttStatus status = structure.AddFld(field);
    if (status != AttStatus::Ok) {
      const std::string_view at = status == AttStatus::BadName       ? "name"
                                  : status == AttStatus::BadLength   ? "length"
                                  : status == AttStatus::BadDecimals ? "decimals"
                                                                     : "";
      refuse(at.empty() ? fieldPath : member(fieldPath, at), statusText(status));
    }
  }
  return structure;
}

Bytes recordFromValues(const CATT_STRU& structure, const Json& values, const std::string& path, std::uint64_t room) {
  expectArray(values, path);
  // A few lines of fields can ask for a record of hundreds of megabytes.
  if (static_cast<std::uint64_t>(structure.RecordLength()) > room) refuse(path, "record too large");
  if (values.size() != static_cast<std::size_t>(structure.FieldCount()))
    refuse(path, "expected " + std::to_string(structure.FieldCount()) + " values, one per field, found " +
                     std::to_string(values.size()));
  Bytes record(static_cast<std::size_t>(structure.RecordLength()));
  for (std::int16_t k = 0; k < structure.FieldCount(); ++k) {
    const AttField& field = *structure.Field(k);
    const std::string valuePath = element(path, static_cast<std::size_t>(k));
    const Json& value = values[static_cast<std::size_t>(k)];
    if (value.is_object()) {
      expectKeys(value, valuePath, {"bytes_hex"});
      const std::string hexPath = member(valuePath, "bytes_hex");
      const Bytes bytes = expectHex(require(value, valuePath, "bytes_hex"), hexPath);
      const auto length = static_cast<std::size_t>(field.length);
      if (field.type == AttFieldType::Text ? bytes.size() > length : bytes.size() != length)
        refuse(hexPath, (field.type == AttFieldType::Text ? "expected at most " : "expected ") +
                            std::to_string(length) + " bytes");
      std::copy(bytes.begin(), bytes.end(), record.begin() + field.offset);
      continue;
    }
    const AttStatus status = structure.SetValue(record, k, typedValue(field, value, valuePath));
    if (status != AttStatus::Ok)
      refuse(valuePath, statusText(status) + " (" + std::string(fieldTypeName(field.type)) +
                            (field.type == AttFieldType::Text ? ", " + std::to_string(field.length) + " bytes" : "") +
                            ")");
  }
  return record;
}

void putSize(Bytes& block, std::size_t size) {
  block.resize(block.size() + L::kSizeFieldBytes);
  store_le(std::span(block).last(L::kSizeFieldBytes), 0, static_cast<std::int32_t>(size));
}

Bytes attributesBlockPart(const Json& attributes, const std::string& path, std::uint64_t room) {
  expectObject(attributes, path);
  expectKeys(attributes, path, {"fields", "structure_hex", "record", "record_hex"});
  const Json* fields = find(attributes, "fields");
  const Json* structureHex = find(attributes, "structure_hex");
  std::optional<CATT_STRU> structure;
  Bytes structureBytes;
  if (structureHex != nullptr) {
    const std::string hexPath = member(path, "structure_hex");
    structureBytes = expectHex(*structureHex, hexPath);
    if (structureBytes.size() > room) refuse(hexPath, "too large");
    CATT_STRU loaded;
    if (loaded.Load(structureBytes.data(), static_cast<std::int32_t>(structureBytes.size()), 0) >= 0)
      structure = std::move(loaded);
    if (fields != nullptr) {
      const CATT_STRU described = structureFromFields(*fields, member(path, "fields"));
      if (!structure || !(described == *structure))
        refuse(member(path, "fields"), "does not match the structure in structure_hex");
    }
  } else if (fields != nullptr) {
    structure = structureFromFields(*fields, member(path, "fields"));
    const std::int32_t size = structure->CalSize();
    if (size < 0) refuse(member(path, "fields"), "the structure cannot be stored");
    structureBytes.resize(static_cast<std::size_t>(size));
    structure->Save(structureBytes.data(), size, 0);
  }
  const Json* record = find(attributes, "record");
  const Json* recordHex = find(attributes, "record_hex");
  Bytes recordBytes;
  if (record != nullptr && recordHex != nullptr)
    refuse(member(path, "record_hex"), "give record or record_hex, not both");
  if (record != nullptr) {
    if (!structure) refuse(member(path, "record"), "typed values need a readable attribute structure; give record_hex");
    recordBytes = recordFromValues(*structure, *record, member(path, "record"), room);
  } else if (recordHex != nullptr) {
    recordBytes = expectHex(*recordHex, member(path, "record_hex"));
    if (recordBytes.size() > room) refuse(member(path, "record_hex"), "too large");
  }
  Bytes part;
  putSize(part, structureBytes.size());
  part.insert(part.end(), structureBytes.begin(), structureBytes.end());
  putSize(part, recordBytes.size());
  part.insert(part.end(), recordBytes.begin(), recordBytes.end());
  return part;
}

/// @p room: the bytes the legend's block may take, what the blocks before it
/// left of the file's allowed size.
ImportedLegend importLegend(const Json& legend, const std::string& path, std::uint64_t room) {
  expectObject(legend, path);
  expectKeys(legend, path,
             {"name", "name_tail_hex", "description", "description_tail_hex", "type", "class_code", "reserved_hex",
              "block_offset", "block_size", "params", "attributes", "block_tail_hex", "block_hex"});
  ImportedLegend out;
  const std::span<std::uint8_t> head(out.head);
  textField(legend, path, "name", head, L::kNameOffset);
  textField(legend, path, "description", head, L::kDescriptionOffset);
  const std::int8_t type = legendType(require(legend, path, "type"), member(path, "type"));
  store_le(head, L::kTypeOffset, type);
  store_le(head, L::kClassCodeOffset,
           static_cast<std::int32_t>(expectInteger(require(legend, path, "class_code"), member(path, "class_code"),
                                                   std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max())));
  if (const Json* reserved = find(legend, "reserved_hex")) {
    const Bytes bytes = expectHex(*reserved, member(path, "reserved_hex"));
    if (bytes.size() != L::kReservedSize) refuse(member(path, "reserved_hex"), "expected 64 bytes");
    std::copy(bytes.begin(), bytes.end(), head.begin() + L::kReservedOffset);
  }
  if (const Json* offset = find(legend, "block_offset"))
    out.offset = static_cast<std::uint32_t>(expectInteger(*offset, member(path, "block_offset"), 0, 0xFFFFFFFF));
  if (const Json* size = find(legend, "block_size"))
    out.size = static_cast<std::int32_t>(expectInteger(*size, member(path, "block_size"),
                                                       std::numeric_limits<std::int32_t>::min(),
                                                       std::numeric_limits<std::int32_t>::max()));

  if (const Json* raw = find(legend, "block_hex")) {
    for (const std::string_view key : {"params", "attributes", "block_tail_hex"})
      if (find(legend, key) != nullptr) refuse(member(path, key), "not allowed beside block_hex");
    out.block = expectHex(*raw, member(path, "block_hex"));
    return out;
  }
  const std::size_t paramSize = L::param_record_size(type);
  out.block.resize(paramSize);
  if (paramSize > 0)
    paramsFromJson(require(legend, path, "params"), member(path, "params"), type, out.block);
  else if (find(legend, "params") != nullptr)
    refuse(member(path, "params"), "a legend of this type has no graphic parameters");
  if (const Json* attributes = find(legend, "attributes")) {
    const Bytes part = attributesBlockPart(*attributes, member(path, "attributes"), room);
    out.block.insert(out.block.end(), part.begin(), part.end());
  } else {
    putSize(out.block, 0);
    putSize(out.block, 0);
  }
  if (const Json* tail = find(legend, "block_tail_hex")) {
    const Bytes bytes = expectHex(*tail, member(path, "block_tail_hex"));
    out.block.insert(out.block.end(), bytes.begin(), bytes.end());
  }
  if (out.block.size() > room) refuse(path, "the file would exceed the size allowed");
  return out;
}

Bytes importImage(const Json& document, const ImportLimits& limits) {
  expectObject(document, "");
  expectKeys(document, "", {"format_version", "header_tail_hex", "count", "legends", "gaps"});
  expectInteger(require(document, "", "format_version"), "format_version", kFormatVersion, kFormatVersion);
  const std::uint64_t maxBytes = std::max<std::uint64_t>(limits.maxFileBytes, L::kPreambleSize);

  Bytes image(L::kPreambleSize);
  const std::array<std::uint8_t, L::kHeaderSize> header = makeHeader();
  std::copy(header.begin(), header.end(), image.begin());
  if (const Json* tail = find(document, "header_tail_hex")) {
    const Bytes bytes = expectHex(*tail, "header_tail_hex");
    if (bytes.size() != kHeaderTailSize) refuse("header_tail_hex", "expected 4 bytes");
    std::copy(bytes.begin(), bytes.end(), image.begin() + L::kVersionWordOffset);
  }

  const Json& legendsJson = expectArray(require(document, "", "legends"), "legends");
  if (legendsJson.size() > (maxBytes - L::kPreambleSize) / L::kHeadRecordSize)
    refuse("legends", "more legends than a file of the allowed size holds");
  std::int32_t count = static_cast<std::int32_t>(legendsJson.size());
  bool countDiffers = false;
  if (const Json* value = find(document, "count")) {
    count = static_cast<std::int32_t>(expectInteger(*value, "count", std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max()));
    countDiffers = count < 0 || static_cast<std::size_t>(count) != legendsJson.size();
  }
  store_le(std::span(image), L::kCountOffset, count);

  std::vector<ImportedLegend> legends;
  legends.reserve(legendsJson.size());
  // The blocks are counted against the allowed size as they are made, not
  // once all are: records made from a few values each can otherwise fill
  // memory with gigabytes before the file's size is looked at.
  std::uint64_t room = maxBytes - L::data_area_offset(static_cast<std::int64_t>(legendsJson.size()));
  for (std::size_t i = 0; i < legendsJson.size(); ++i) {
    legends.push_back(importLegend(legendsJson[i], element("legends", i), room));
    room -= legends.back().block.size();
    // Readers find blocks only through a count that matches the heads.
    if (countDiffers && !legends.back().block.empty())
      refuse(element("legends", i), "a file whose count differs from its head records holds no readable blocks");
  }

  // Gaps first, blocks over them: where a person made them overlap, the block wins.
  std::vector<std::pair<std::uint64_t, Bytes>> pieces;
  std::uint64_t dataSize = 0;
  if (const Json* gapsJson = find(document, "gaps")) {
    expectArray(*gapsJson, "gaps");
    for (std::size_t g = 0; g < gapsJson->size(); ++g) {
      const std::string path = element("gaps", g);
      const Json& gap = expectObject((*gapsJson)[g], path);
      expectKeys(gap, path, {"offset", "size", "bytes_hex"});
      const auto offset = static_cast<std::uint64_t>(
          expectInteger(require(gap, path, "offset"), member(path, "offset"), 0, static_cast<std::int64_t>(maxBytes)));
      const Json* size = find(gap, "size");
      const Json* bytes = find(gap, "bytes_hex");
      if ((size == nullptr) == (bytes == nullptr)) refuse(path, "give either size (zero bytes) or bytes_hex");
      if (bytes != nullptr) {
        pieces.emplace_back(offset, expectHex(*bytes, member(path, "bytes_hex")));
        dataSize = std::max(dataSize, offset + pieces.back().second.size());
      } else {
        dataSize =
            std::max(dataSize, offset + static_cast<std::uint64_t>(expectInteger(*size, member(path, "size"), 0,
                                                                                 static_cast<std::int64_t>(maxBytes))));
      }
    }
  }

  const std::uint64_t dataStart = L::data_area_offset(static_cast<std::int64_t>(legends.size()));
  if (dataStart + dataSize > maxBytes) refuse("gaps", "the file would exceed the size allowed");
  std::uint64_t running = 0;
  for (std::size_t i = 0; i < legends.size(); ++i) {
    ImportedLegend& legend = legends[i];
    const std::uint64_t offset = legend.offset.value_or(running);
    if (offset > 0xFFFFFFFF)
      refuse(element("legends", i), "the block would lie beyond the 4 GiB a block offset reaches");
    const std::span<std::uint8_t> head(legend.head);
    store_le(head, L::kBlockOffsetOffset, static_cast<std::uint32_t>(offset));
    store_le(head, L::kBlockSizeOffset, legend.size.value_or(static_cast<std::int32_t>(legend.block.size())));
    running = offset + legend.block.size();
    if (!legend.block.empty()) {
      dataSize = std::max(dataSize, running);
      if (dataStart + dataSize > maxBytes) refuse(element("legends", i), "the file would exceed the size allowed");
      pieces.emplace_back(offset, std::move(legend.block));
    }
  }

  image.reserve(dataStart + dataSize);
  for (const ImportedLegend& legend : legends) image.insert(image.end(), legend.head.begin(), legend.head.end());
  image.resize(dataStart + dataSize, 0);
  for (const auto& [offset, bytes] : pieces)
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(dataStart + offset));
  return image;
}

}  // namespace

std::string ImportResult::description() const { return path.empty() ? message : path + ": " + message; }

ImportResult importDocument(const Json& document, const ImportLimits& limits) {
  ImportResult result;
  try {
    result.image = importImage(document, limits);
    result.ok = true;
  } catch (const Refusal& refusal) {
    result.path = refusal.path;
    result.message = refusal.message;
  }
  return result;
}

ImportResult importText(std::string_view text, const ImportLimits& limits) {
  Json document;
  try {
    document = Json::parse(text);
  } catch (const Json::exception& error) {  // a syntax error, or a number beyond a double
    ImportResult result;
    result.message = std::string("not valid JSON: ") + error.what();
    return result;
  }
  return importDocument(document, limits);
}

}  // namespace legend::interchange
