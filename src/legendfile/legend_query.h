#pragma once
// What a user typed to find legends, ready to be held against thousands of
// them: the text is encoded to GBK once, so names and descriptions are
// matched in the bytes the legend set keeps, without decoding any of them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace legend {

class LegendQuery {
 public:
  /// From the UTF-8 text of a find or filter field; blanks at either end
  /// do not count.
  explicit LegendQuery(std::string_view utf8);

  /// Nothing typed but blanks: every legend matches a filter, none a find.
  bool empty() const noexcept { return typed_.empty(); }

  /// Whether GBK @p text holds the typed text as whole characters, Latin
  /// letters in either case. Text with a character GBK lacks is in no name.
  bool foundIn(std::string_view gbk) const noexcept;

  /// The typed text as a whole number (an optional sign, then digits).
  std::optional<std::int64_t> number() const noexcept { return number_; }

  /// Whether @p value written in decimal holds the typed text.
  bool foundInDecimal(std::int32_t value) const;

 private:
  std::string typed_;
  /// typed_ in GBK, its single-byte letters in lower case; nullopt when
  /// some character has no GBK form.
  std::optional<std::string> needle_;
  /// The needle holds a Latin letter, which matches in either case.
  bool folds_ = false;
  std::optional<std::int64_t> number_;
};

}  // namespace legend
