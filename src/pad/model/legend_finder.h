#pragma once
// Finding a legend among those the pad shows, by part of its name, its
// class code or its display position.

#include <cstdint>

namespace legend {
class LegendQuery;
class LegendSet;
}  // namespace legend

namespace legend::pad {

/// Whether the legend at display position @p position answers @p query:
/// its name holds the typed text, or the text is a number equal to its
/// class code or to the position.
bool answers(const LegendSet& legends, const LegendQuery& query, std::int32_t position);

/// The first display position after @p after, going round to the first
/// one, whose legend answers @p query; -1 when none does. With @p after -1
/// the search starts at the first position.
std::int32_t findAfter(const LegendSet& legends, const LegendQuery& query, std::int32_t after);

}  // namespace legend::pad
