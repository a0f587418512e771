#include "legendfile/gbk_codec.h"

#include <iconv.h>

#include <array>
#include <cstdint>

namespace legend::gbk {

namespace {

constexpr std::uint8_t kEuroByte = 0x80;
/// The byte 0xFF, which code page 936 keeps as a character of its own.
constexpr std::uint8_t kPrivateByte = 0xFF;
constexpr char32_t kPrivateByteCharacter = 0xF8F5;
constexpr char32_t kReplacement = 0xFFFD;
/// GBK holds characters of the Basic Multilingual Plane only.
constexpr char32_t kLastGbkCharacter = 0xFFFF;

bool isTrail(std::uint8_t byte) noexcept { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

/// Trail bytes run 0x40-0x7E, then 0x80-0xFE: 190 per lead byte.
int trailIndex(std::uint8_t trail) noexcept { return trail < 0x7F ? trail - 0x40 : trail - 0x41; }
std::uint8_t trailAt(int index) noexcept {
  return static_cast<std::uint8_t>(index < 0x3F ? index + 0x40 : index + 0x41);
}

/// A run of two-byte codes that map to consecutive Private Use Area
/// characters: the user-defined areas and the codes free between standard
/// characters, which the C library's GBK leaves unmapped.
struct PrivateRun {
  std::uint8_t lead;
  std::uint8_t firstTrail;
  std::uint8_t count;
  char32_t first;
};

constexpr std::array<PrivateRun, 46> kPrivateRuns{{
    {0xA1, 0x40, 96, 0xE4C6}, {0xA2, 0x40, 96, 0xE526}, {0xA2, 0xAB, 6, 0xE766},  {0xA2, 0xE3, 2, 0xE76C},
    {0xA2, 0xEF, 2, 0xE76E},  {0xA2, 0xFD, 2, 0xE770},  {0xA3, 0x40, 96, 0xE586}, {0xA4, 0x40, 96, 0xE5E6},
    {0xA4, 0xF4, 11, 0xE772}, {0xA5, 0x40, 96, 0xE646}, {0xA5, 0xF7, 8, 0xE77D},  {0xA6, 0x40, 96, 0xE6A6},
    {0xA6, 0xB9, 8, 0xE785},  {0xA6, 0xD9, 7, 0xE78D},  {0xA6, 0xEC, 2, 0xE794},  {0xA6, 0xF3, 1, 0xE796},
    {0xA6, 0xF6, 9, 0xE797},  {0xA7, 0x40, 96, 0xE706}, {0xA7, 0xC2, 15, 0xE7A0}, {0xA7, 0xF2, 13, 0xE7AF},
    {0xA8, 0x96, 11, 0xE7BC}, {0xA8, 0xBC, 1, 0xE7C7},  {0xA8, 0xBF, 1, 0xE7C8},  {0xA8, 0xC1, 4, 0xE7C9},
    {0xA8, 0xEA, 21, 0xE7CD}, {0xA9, 0x58, 1, 0xE7E2},  {0xA9, 0x5B, 1, 0xE7E3},  {0xA9, 0x5D, 3, 0xE7E4},
    {0xA9, 0x89, 13, 0xE7E7}, {0xA9, 0x97, 13, 0xE7F4}, {0xA9, 0xF0, 15, 0xE801}, {0xAA, 0xA1, 94, 0xE000},
    {0xAB, 0xA1, 94, 0xE05E}, {0xAC, 0xA1, 94, 0xE0BC}, {0xAD, 0xA1, 94, 0xE11A}, {0xAE, 0xA1, 94, 0xE178},
    {0xAF, 0xA1, 94, 0xE1D6}, {0xD7, 0xFA, 5, 0xE810},  {0xF8, 0xA1, 94, 0xE234}, {0xF9, 0xA1, 94, 0xE292},
    {0xFA, 0xA1, 94, 0xE2F0}, {0xFB, 0xA1, 94, 0xE34E}, {0xFC, 0xA1, 94, 0xE3AC}, {0xFD, 0xA1, 94, 0xE40A},
    {0xFE, 0x50, 80, 0xE815}, {0xFE, 0xA1, 94, 0xE468},
}};

/// The Private Use Area character of a two-byte code, or 0.
char32_t privateCharacter(std::uint8_t lead, std::uint8_t trail) noexcept {
  for (const PrivateRun& run : kPrivateRuns) {
    if (run.lead != lead) continue;
    const int offset = trailIndex(trail) - trailIndex(run.firstTrail);
    if (offset >= 0 && offset < run.count) return run.first + static_cast<char32_t>(offset);
  }
  return 0;
}

/// The two-byte code of a Private Use Area character, or nothing.
std::optional<std::array<std::uint8_t, 2>> privateCode(char32_t character) noexcept {
  for (const PrivateRun& run : kPrivateRuns) {
    if (character < run.first || character >= run.first + run.count) continue;
    const int index = trailIndex(run.firstTrail) + static_cast<int>(character - run.first);
    return std::array<std::uint8_t, 2>{run.lead, trailAt(index)};
  }
  return std::nullopt;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

/// The next character of @p utf8 from @p at, which it advances; 0xFFFFFFFF
/// for a malformed sequence (overlong, a surrogate, beyond U+10FFFF, cut).
char32_t nextUtf8(std::string_view utf8, std::size_t& at) noexcept {
  constexpr char32_t kBad = 0xFFFFFFFF;
  const auto lead = static_cast<std::uint8_t>(utf8[at++]);
  if (lead < 0x80) return lead;
  // Continuation bytes, the lead's payload bits and the least character of
  // that length, so overlong forms are refused.
  int more = 0;
  char32_t c = 0;
  char32_t least = 0;
  if ((lead & 0xE0) == 0xC0) {
    more = 1;
    c = lead & 0x1Fu;
    least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2;
    c = lead & 0x0Fu;
    least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3;
    c = lead & 0x07u;
    least = 0x10000;
  } else {
    return kBad;
  }
  for (int k = 0; k < more; ++k) {
    if (at >= utf8.size()) return kBad;
    const auto next = static_cast<std::uint8_t>(utf8[at]);
    if ((next & 0xC0) != 0x80) return kBad;
    c = (c << 6) | (next & 0x3F);
    ++at;
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kBad;
  return c;
}

/// One iconv conversion descriptor, opened on first use and closed with the
/// object, so a call opens at most one whatever the text holds.
class Converter {
 public:
  Converter(const char* to, const char* from) noexcept : to_(to), from_(from) {}
  ~Converter() {
    if (open_) ::iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  /// Appends @p input converted to @p out; false when iconv refuses any of
  /// it, leaving @p out as it was.
  bool convert(std::string_view input, std::string& out) {
    if (input.empty()) return true;
    if (!open_) {
      cd_ = ::iconv_open(to_, from_);
      if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
      open_ = true;
    }
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    // Either way a byte of input gives at most three bytes of output.
    const std::size_t held = out.size();
    out.resize(held + input.size() * 3);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* put = out.data() + held;
    std::size_t outLeft = input.size() * 3;
    const bool done = ::iconv(cd_, &in, &inLeft, &put, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
    out.resize(done ? static_cast<std::size_t>(put - out.data()) : held);
    return done;
  }

 private:
  const char* to_;
  const char* from_;
  iconv_t cd_{};
  bool open_ = false;
};

bool isAscii(std::string_view text) noexcept {
  for (const char c : text)
    if (static_cast<std::uint8_t>(c) >= 0x80) return false;
  return true;
}

/// Decodes @p gbk; with @p strict the first byte that is not part of a GBK
/// character gives nullopt, otherwise it is shown as described in the header.
/// Runs of standard characters go to iconv whole; the rest is decided here.
std::optional<std::string> decode(std::string_view gbk, bool strict) {
  if (isAscii(gbk)) return std::string(gbk);
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  Converter standard("UTF-8", "GBK");
  std::size_t runStart = 0;
  std::size_t at = 0;
  const auto flush = [&] {
    const bool converted = standard.convert(gbk.substr(runStart, at - runStart), out);
    // Every lead and trail pair is a character of code page 936; a refusal
    // means the C library lacks GBK.
    if (!converted && !strict) appendUtf8(out, kReplacement);
    return converted;
  };
  while (at < gbk.size()) {
    const auto byte = static_cast<std::uint8_t>(gbk[at]);
    if (byte <= kEuroByte) {
      ++at;
      continue;
    }
    if (byte == kPrivateByte) {
      if (!flush() && strict) return std::nullopt;
      appendUtf8(out, kPrivateByteCharacter);
      runStart = ++at;
      continue;
    }
    // Every other byte above 0x80 leads a two-byte code.
    const auto trail = at + 1 < gbk.size() ? static_cast<std::uint8_t>(gbk[at + 1]) : std::uint8_t{0};
    const char32_t privateUse = isTrail(trail) ? privateCharacter(byte, trail) : 0;
    if (isTrail(trail) && privateUse == 0) {
      at += 2;
      continue;
    }
    if ((!flush() || !isTrail(trail)) && strict) return std::nullopt;
    if (privateUse != 0) {
      appendUtf8(out, privateUse);
      at += 2;
    } else if (at + 1 == gbk.size()) {
      // A lead byte cut off at the end.
      ++at;
    } else {
      appendUtf8(out, kReplacement);
      ++at;
    }
    runStart = at;
  }
  if (!flush() && strict) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::string> toUtf8(std::string_view gbk) {
  std::optional<std::string> utf8 = decode(gbk, true);
  // Two codes of one character would not come back as the bytes given.
  if (!utf8 || fromUtf8(*utf8) != gbk) return std::nullopt;
  return utf8;
}

std::string toUtf8ForDisplay(std::string_view gbk) { return *decode(gbk, false); }

std::optional<std::string> fromUtf8(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  Converter standard("GBK", "UTF-8");
  std::size_t runStart = 0;
  std::size_t at = 0;
  while (at < utf8.size()) {
    const std::size_t start = at;
    const char32_t c = nextUtf8(utf8, at);
    // Beyond the Basic Multilingual Plane the C library drops some
    // characters (tags, for one) instead of refusing them; GBK has none there.
    if (c > kLastGbkCharacter) return std::nullopt;
    std::optional<std::array<std::uint8_t, 2>> code;
    if (c == kPrivateByteCharacter) {
      code = std::array<std::uint8_t, 2>{kPrivateByte, 0};
    } else if (c >= 0xE000 && c < 0xF8FF) {
      code = privateCode(c);
    }
    if (!code) continue;
    if (!standard.convert(utf8.substr(runStart, start - runStart), out)) return std::nullopt;
    out.push_back(static_cast<char>((*code)[0]));
    if ((*code)[1] != 0) out.push_back(static_cast<char>((*code)[1]));
    runStart = at;
  }
  if (!standard.convert(utf8.substr(runStart), out)) return std::nullopt;
  return out;
}

}  // namespace legend::gbk
