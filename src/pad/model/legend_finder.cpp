#include "pad/model/legend_finder.h"

#include "legendfile/legend_query.h"
#include "legendfile/legend_set.h"

namespace legend::pad {

bool answers(const LegendSet& legends, const LegendQuery& query, std::int32_t position) {
  const std::int32_t index = legends.legendAt(position);
  if (!legends.contains(index)) return false;
  const HeadView head = legends.head(index);
  if (const std::optional<std::int64_t> number = query.number())
    if (*number == head.classCode() || *number == position) return true;
  return query.foundIn(head.name());
}

std::int32_t findAfter(const LegendSet& legends, const LegendQuery& query, std::int32_t after) {
  const std::int32_t count = legends.displayCount();
  if (query.empty() || count == 0) return -1;
  // A position from before a reload may lie past the end: start afresh.
  const std::int32_t start = after >= 0 && after < count ? after + 1 : 0;
  for (std::int32_t step = 0; step < count; ++step) {
    const std::int32_t position = (start + step) % count;
    if (answers(legends, query, position)) return position;
  }
  return -1;
}

}  // namespace legend::pad
