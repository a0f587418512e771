#include "interchange/legend_diff.h"

#include "legendfile/translation.h"

#include <algorithm>
#include <cmath>

namespace legend::interchange {

namespace {

/// Json's own == takes -0.0 for 0.0, but the two are different bytes in a
/// file, and files are equal only when their bytes are.
bool same(const Json& a, const Json& b) {
  if (a.is_number_float() && b.is_number_float()) {
    const double x = a.get<double>();
    const double y = b.get<double>();
    return x == y && std::signbit(x) == std::signbit(y);
  }
  if (a.is_object() && b.is_object()) {
    if (a.size() != b.size()) return false;
    for (const auto& [key, value] : a.items()) {
      const auto it = b.find(key);
      if (it == b.end() || !same(value, *it)) return false;
    }
    return true;
  }
  if (a.is_array() && b.is_array()) return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), same);
  return a == b;
}

void compare(const Json* before, const Json* after, const std::string& path, std::vector<FieldChange>& out) {
  if (before != nullptr && after != nullptr && same(*before, *after)) return;
  const auto child = [&](const std::string& key) { return path.empty() ? key : path + "." + key; };
  if (before != nullptr && after != nullptr && before->is_object() && after->is_object()) {
    for (const auto& [key, value] : before->items()) {
      const auto it = after->find(key);
      compare(&value, it == after->end() ? nullptr : &*it, child(key), out);
    }
    for (const auto& [key, value] : after->items())
      if (!before->contains(key)) compare(nullptr, &value, child(key), out);
    return;
  }
  // A structure's fields and a record's values line up by position, so a
  // changed value shows as one line, not as a whole new list.
  if (before != nullptr && after != nullptr && before->is_array() && after->is_array()) {
    const std::size_t n = std::max(before->size(), after->size());
    for (std::size_t i = 0; i < n; ++i)
      compare(i < before->size() ? &(*before)[i] : nullptr, i < after->size() ? &(*after)[i] : nullptr,
              path + "[" + std::to_string(i) + "]", out);
    return;
  }
  FieldChange change;
  change.path = path;
  if (before != nullptr) change.before = *before;
  if (after != nullptr) change.after = *after;
  out.push_back(std::move(change));
}

const Json& legendsOf(const Json& document) {
  static const Json kNone = Json::array();
  const auto it = document.find("legends");
  return it != document.end() && it->is_array() ? *it : kNone;
}

Json nameOf(const Json& legend) {
  const auto it = legend.find("name");
  return it == legend.end() ? Json() : *it;
}

std::string shown(const std::optional<Json>& value) {
  return value ? value->dump(-1, ' ', false, Json::error_handler_t::replace) : "(none)";
}

}  // namespace

FileDiff diffDocuments(const Json& before, const Json& after) {
  FileDiff diff;
  for (const auto& [key, value] : before.items()) {
    if (key == "legends") continue;
    const auto it = after.find(key);
    compare(&value, it == after.end() ? nullptr : &*it, key, diff.file);
  }
  for (const auto& [key, value] : after.items())
    if (key != "legends" && !before.contains(key)) compare(nullptr, &value, key, diff.file);

  const Json& a = legendsOf(before);
  const Json& b = legendsOf(after);
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    LegendChange change;
    change.index = i;
    if (i >= a.size()) {
      change.kind = LegendChange::Kind::Added;
      change.name = nameOf(b[i]);
    } else if (i >= b.size()) {
      change.kind = LegendChange::Kind::Removed;
      change.name = nameOf(a[i]);
    } else {
      compare(&a[i], &b[i], "", change.fields);
      if (change.fields.empty()) continue;
      change.name = nameOf(b[i]);
    }
    diff.legends.push_back(std::move(change));
  }
  return diff;
}

void writeDiff(const FileDiff& diff, std::ostream& out) {
  for (const FieldChange& change : diff.file)
    out << translated(LEGEND_TR_NOOP("legend", "文件: ")) << change.path << ": " << shown(change.before) << " -> "
        << shown(change.after) << '\n';
  for (const LegendChange& legend : diff.legends) {
    out << translated(LEGEND_TR_NOOP("legend", "图例 ")) << legend.index << ' ' << shown(legend.name) << ' ';
    switch (legend.kind) {
      case LegendChange::Kind::Added: out << translated(LEGEND_TR_NOOP("legend", "已添加")) << '\n'; break;
      case LegendChange::Kind::Removed: out << translated(LEGEND_TR_NOOP("legend", "已删除")) << '\n'; break;
      case LegendChange::Kind::Changed:
        out << translated(LEGEND_TR_NOOP("legend", "已修改")) << '\n';
        for (const FieldChange& change : legend.fields)
          out << "  " << change.path << ": " << shown(change.before) << " -> " << shown(change.after) << '\n';
        break;
    }
  }
}

}  // namespace legend::interchange
