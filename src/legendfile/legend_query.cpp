#include "legendfile/legend_query.h"

#include <charconv>

#include "legendfile/gbk_codec.h"

namespace legend {

namespace {

// A GBK lead byte takes the byte after it along, whatever that byte is:
// a trail byte may look like an ASCII letter and must never match one.
std::size_t charBytes(std::string_view text, std::size_t at) noexcept {
  const auto lead = static_cast<unsigned char>(text[at]);
  return lead >= 0x81 && lead <= 0xFE && at + 1 < text.size() ? 2 : 1;
}

char lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view trimmed(std::string_view text) noexcept {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Whether @p needle (folded) starts at @p at of @p text, character by
// character, so a double-byte character only ever meets another one.
bool startsAt(std::string_view text, std::size_t at, std::string_view needle) noexcept {
  std::size_t i = 0;
  while (i < needle.size()) {
    if (at >= text.size()) return false;
    const std::size_t wanted = charBytes(needle, i);
    if (charBytes(text, at) != wanted) return false;
    if (wanted == 1) {
      if (lower(text[at]) != needle[i]) return false;
    } else if (text[at] != needle[i] || text[at + 1] != needle[i + 1]) {
      return false;
    }
    i += wanted;
    at += wanted;
  }
  return true;
}

}  // namespace

LegendQuery::LegendQuery(std::string_view utf8) : typed_(trimmed(utf8)) {
  if (std::optional<std::string> gbk = gbk::fromUtf8(typed_)) {
    for (std::size_t i = 0; i < gbk->size(); i += charBytes(*gbk, i)) {
      if (charBytes(*gbk, i) != 1) continue;
      const char c = (*gbk)[i];
      if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) folds_ = true;
      (*gbk)[i] = lower(c);
    }
    needle_ = std::move(gbk);
  }
  std::int64_t value = 0;
  const char* first = typed_.data();
  const char* last = first + typed_.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, value);
  if (first != last && error == std::errc() && end == last) number_ = value;
}

bool LegendQuery::foundIn(std::string_view gbk) const noexcept {
  if (!needle_ || needle_->empty()) return false;
  const std::string_view needle = *needle_;
  if (needle.size() > gbk.size()) return false;
  if (!folds_) {
    // Byte for byte: the library's search, each hit then checked to start
    // on a character of the text (the needle is whole characters itself).
    for (std::size_t hit = gbk.find(needle); hit != std::string_view::npos; hit = gbk.find(needle, hit + 1)) {
      std::size_t at = 0;
      while (at < hit) at += charBytes(gbk, at);
      if (at == hit) return true;
    }
    return false;
  }
  // Most places fail on their first byte; only those that pass are compared whole.
  const char first = needle.front();
  const bool firstFolds = first >= 'a' && first <= 'z';
  for (std::size_t at = 0; at + needle.size() <= gbk.size(); at += charBytes(gbk, at)) {
    const char c = gbk[at];
    if ((c == first || (firstFolds && lower(c) == first)) && startsAt(gbk, at, needle)) return true;
  }
  return false;
}

bool LegendQuery::foundInDecimal(std::int32_t value) const {
  if (typed_.empty()) return false;
  char digits[16];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  if (error != std::errc()) return false;
  return std::string_view(digits, static_cast<std::size_t>(end - digits)).find(typed_) != std::string_view::npos;
}

}  // namespace legend
