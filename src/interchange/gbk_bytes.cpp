#include "interchange/gbk_bytes.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace legend::interchange {

namespace {

/// One conversion with its own descriptor: no state survives between calls.
std::optional<std::string> convert(const char* to, const char* from, std::string_view input) {
  const iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  // Either direction grows a text at most threefold: a GBK byte becomes at
  // most three UTF-8 bytes, a UTF-8 sequence at most two GBK bytes.
  std::vector<char> buffer(input.size() * 3 + 4);
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char* out = buffer.data();
  std::size_t outLeft = buffer.size();
  std::size_t done = ::iconv(cd, input.empty() ? nullptr : &in, &inLeft, &out, &outLeft);
  // Flush any shift state, so a truncated multibyte tail is noticed too.
  if (done != static_cast<std::size_t>(-1)) done = ::iconv(cd, nullptr, nullptr, &out, &outLeft);
  ::iconv_close(cd);
  if (done == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
  return std::string(buffer.data(), static_cast<std::size_t>(out - buffer.data()));
}

}  // namespace

std::optional<std::string> gbkToUtf8(std::string_view gbk) {
  std::optional<std::string> utf8 = convert("UTF-8", "GBK", gbk);
  if (!utf8) return std::nullopt;
  const std::optional<std::string> back = convert("GBK", "UTF-8", *utf8);
  if (!back || *back != gbk) return std::nullopt;
  return utf8;
}

std::optional<std::string> utf8ToGbk(std::string_view utf8) { return convert("GBK", "UTF-8", utf8); }

}  // namespace legend::interchange
