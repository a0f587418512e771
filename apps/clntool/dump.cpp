// dump: the whole file as JSON, for scripts and for eyes, in the terms of
// the JSON documents (docs/legend-json.md): the same keys and values for the
// same facts, with what the pad makes of the file beside them.

#include <algorithm>
#include <array>
#include <initializer_list>
#include <span>
#include <vector>

#include "commands.h"
#include "components/attstru/att_stru.h"
#include "interchange/legend_json.h"
#include "legendfile/layout.h"
#include "legendfile/legend_set.h"
#include "legendfile/messages.h"
#include "legendfile/translation.h"

namespace clntool {

namespace {

using legend::interchange::Json;

/// The attribute fields with their values; no value is guessed from a record
/// whose length the structure does not give.
Json attributeFields(const legend::LegendCheck& check) {
  const CATT_STRU& structure = *check.structure;
  Json fields = legend::interchange::attributeFieldsJson(structure);
  const bool recordFits = static_cast<std::int64_t>(check.record.size()) == structure.RecordLength();
  const Json values = recordFits ? legend::interchange::attributeRecordJson(structure, check.record) : Json::array();
  for (std::size_t k = 0; k < fields.size(); ++k) fields[k]["value"] = k < values.size() ? values[k] : Json(nullptr);
  return fields;
}

bool hasProblem(const legend::FileInspection& inspection, std::int32_t index,
                std::initializer_list<legend::ProblemKind> kinds) {
  return std::any_of(inspection.problems.begin(), inspection.problems.end(), [&](const legend::Problem& p) {
    return p.legend == index && std::find(kinds.begin(), kinds.end(), p.kind) != kinds.end();
  });
}

/// The graphic parameter record as the pad holds it (zero-filled where the
/// file ends early); nothing for a type the pad does not know.
std::optional<Json> params(const legend::LegendSet& set, std::int32_t index) {
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
  if (copied == 0) return std::nullopt;
  return legend::interchange::paramsJson(type, std::span(buffer).first(legend::layout::param_record_size(type)));
}

Json legendObject(const legend::LegendSet& set, const legend::FileInspection& inspection, std::int32_t index) {
  using legend::ProblemKind;
  const legend::HeadView head = set.head(index);
  const legend::LegendCheck& check = inspection.legends[static_cast<std::size_t>(index)];
  Json entry = Json::object();
  entry["index"] = index;
  entry["type"] = legend::interchange::legendTypeJson(head.type());
  entry["name"] = legend::interchange::textJson(head.name());
  entry["description"] = legend::interchange::textJson(head.description());
  entry["class_code"] = head.classCode();
  entry["block_offset"] = head.blockOffset();
  entry["block_size"] = head.blockSize();
  if (std::optional<Json> record = params(set, index)) entry["params"] = std::move(*record);

  // How far the inspection got into the block decides which sizes it read.
  const bool blockRead = !hasProblem(inspection, index, {ProblemKind::NegativeBlockSize, ProblemKind::BlockPastEnd});
  const bool structureSizeRead =
      blockRead && !hasProblem(inspection, index, {ProblemKind::ParamsFillBlock, ProblemKind::StructureSizeMissing});
  const bool recordSizeRead =
      structureSizeRead && !hasProblem(inspection, index,
                                       {ProblemKind::NegativeStructureSize, ProblemKind::StructurePastBlock,
                                        ProblemKind::RecordSizeMissing});
  entry["attribute_structure_size"] = structureSizeRead ? Json(check.parts.structureSize) : Json(nullptr);
  entry["attribute_record_size"] = recordSizeRead ? Json(check.parts.recordSize) : Json(nullptr);
  if (check.structure && check.parts.structureSize > 0) entry["attribute_fields"] = attributeFields(check);
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
    err << path << ": " << legend::translated(LEGEND_TR_NOOP("legend", "读取期间文件被改动了")) << '\n';
    return kExitBadFile;
  }

  Json root = Json::object();
  root["count"] = set.count();
  const std::span<const std::int32_t> order = set.displayList();
  root["display_order"] = std::vector<std::int32_t>(order.begin(), order.end());
  Json legends = Json::array();
  for (std::int32_t index = 0; index < set.count(); ++index) legends.push_back(legendObject(set, inspection, index));
  root["legends"] = std::move(legends);
  out << legend::interchange::documentText(root);
  return kExitOk;
}

}  // namespace clntool
