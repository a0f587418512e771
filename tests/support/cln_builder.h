#pragma once
// Builds legend files byte by byte for tests. It deliberately shares no code
// with the library (no layout constants, no byte-order helpers, no block
// composer), so a wrong layout in the library cannot pass by agreeing with
// itself.

#include <stdlib.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace testcln {

using Bytes = std::vector<std::uint8_t>;

/// Appends the low @p width bytes of @p v, least significant first.
inline void putLe(Bytes& out, std::uint64_t v, int width) {
  for (int i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void put32At(Bytes& out, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
/// The bits of @p v at @p at, little-endian.
inline void putF32At(Bytes& out, std::size_t at, float v) { put32At(out, at, std::bit_cast<std::uint32_t>(v)); }
inline void putF64At(Bytes& out, std::size_t at, double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  put32At(out, at, static_cast<std::uint32_t>(bits));
  put32At(out, at + 4, static_cast<std::uint32_t>(bits >> 32));
}
inline std::uint32_t get32At(const Bytes& in, std::size_t at) {
  return in[at] | in[at + 1] << 8 | in[at + 2] << 16 | static_cast<std::uint32_t>(in[at + 3]) << 24;
}
/// The four little-endian bytes of @p v.
inline Bytes le32(std::int64_t v) {
  Bytes out;
  putLe(out, static_cast<std::uint64_t>(v), 4);
  return out;
}

/// A legend as a test describes it. Block bytes are given whole, so a test
/// can write any block, sound or not.
struct Legend {
  std::string name{};
  std::string description{};
  std::int8_t type = 1;
  std::int32_t classCode = 0;
  Bytes block{};                  ///< the data block as stored
  std::int64_t blockOffset = -1;  ///< -1: packed after the previous block
  std::int64_t blockSize = -1;    ///< -1: block.size()
  Bytes reserved{};               ///< up to 64 bytes, rest zero
};

/// P by type byte, spelled out again on purpose.
inline std::size_t paramBytes(std::int8_t type) { return type == 0 ? 67 : type == 1 ? 94 : type == 2 ? 63 : 0; }

/// A parameter record whose bytes are seed, seed+1, ... so tests can tell
/// records apart.
inline Bytes params(std::int8_t type, std::uint8_t seed) {
  Bytes p(paramBytes(type));
  for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<std::uint8_t>(seed + i);
  return p;
}

/// A block: P parameter bytes, S, structure bytes, R, record bytes.
inline Bytes block(Bytes b, const Bytes& structure = {}, const Bytes& record = {}) {
  putLe(b, structure.size(), 4);
  b.insert(b.end(), structure.begin(), structure.end());
  putLe(b, record.size(), 4);
  b.insert(b.end(), record.begin(), record.end());
  return b;
}

/// A legend of @p type named by its kind and @p seed ("p3", "l1", "r0") with
/// class code 100 + seed.
inline Legend sample(std::int8_t type, std::uint8_t seed) {
  const char kind = type == 1 ? 'p' : type == 0 ? 'l' : 'r';
  return {
      .name = kind + std::to_string(seed), .type = type, .classCode = 100 + seed, .block = block(params(type, seed))};
}

/// The point legends sample(1, 0) ... sample(1, n - 1).
inline std::vector<Legend> points(int n) {
  std::vector<Legend> legends;
  for (int i = 0; i < n; ++i) legends.push_back(sample(1, static_cast<std::uint8_t>(i)));
  return legends;
}

/// A field of an attribute structure. Types: 1 text, 2 int8, 3 int16,
/// 4 int32, 5 int64, 6 float, 7 double, 8 date, 9 time.
struct Field {
  std::string name;
  std::uint8_t type;
  std::int32_t length;
  std::uint8_t decimals = 0;
};

/// The serialised attribute structure (version 1): "ATST", version, field
/// count, record length, then per field type, decimals, length, name length,
/// name.
inline Bytes structure(const std::vector<Field>& fields) {
  Bytes out{'A', 'T', 'S', 'T', 1, 0};
  putLe(out, fields.size(), 2);
  std::int32_t recordLength = 0;
  for (const Field& f : fields) recordLength += f.length;
  putLe(out, static_cast<std::uint32_t>(recordLength), 4);
  for (const Field& f : fields) {
    out.insert(out.end(), {f.type, f.decimals});
    putLe(out, static_cast<std::uint32_t>(f.length), 4);
    out.push_back(static_cast<std::uint8_t>(f.name.size()));
    out.insert(out.end(), f.name.begin(), f.name.end());
  }
  return out;
}

/// A whole legend file with @p count in the count field (default: the number
/// of legends). Blocks are placed at their offsets; gaps are zero.
inline Bytes file(const std::vector<Legend>& legends, std::optional<std::int32_t> count = {}) {
  Bytes out{'R', 'Q', 'L', 'F', 0x60, 0x44, '2', '>', 0x0D, 0x00, 0x00, 0x00};
  putLe(out, static_cast<std::uint32_t>(count.value_or(static_cast<std::int32_t>(legends.size()))), 4);
  const std::size_t dataArea = 16 + 333 * legends.size();
  std::uint32_t running = 0;
  std::vector<std::uint32_t> offsets;
  for (const Legend& l : legends) {
    const auto offset = l.blockOffset >= 0 ? static_cast<std::uint32_t>(l.blockOffset) : running;
    const auto size = l.blockSize != -1 ? l.blockSize : static_cast<std::int64_t>(l.block.size());
    Bytes h(333, 0);
    std::copy_n(l.name.begin(), std::min<std::size_t>(l.name.size(), 127), h.begin());
    std::copy_n(l.description.begin(), std::min<std::size_t>(l.description.size(), 127), h.begin() + 128);
    h[256] = static_cast<std::uint8_t>(l.type);
    put32At(h, 257, offset);
    put32At(h, 261, static_cast<std::uint32_t>(size));
    put32At(h, 265, static_cast<std::uint32_t>(l.classCode));
    std::copy_n(l.reserved.begin(), std::min<std::size_t>(l.reserved.size(), 64), h.begin() + 269);
    out.insert(out.end(), h.begin(), h.end());
    offsets.push_back(offset);
    running = offset + static_cast<std::uint32_t>(l.block.size());
  }
  for (std::size_t i = 0; i < legends.size(); ++i) {
    const Bytes& b = legends[i].block;
    const std::size_t at = dataArea + offsets[i];
    if (out.size() < at + b.size()) out.resize(at + b.size(), 0);
    std::copy(b.begin(), b.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
  }
  return out;
}

inline void write(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

/// The file's bytes; none when it does not exist.
inline Bytes read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
 public:
  TempDir() {
    std::string name = (std::filesystem::temp_directory_path() / "legendtest-XXXXXX").string();
    path_ = ::mkdtemp(name.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  const std::filesystem::path& path() const { return path_; }
  /// Every entry of the folder @p sub, hidden ones included, so a stray file shows.
  std::set<std::string> entries(const std::string& sub = ".") const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_ / sub)) names.insert(entry.path().filename());
    return names;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace testcln
