#pragma once
// Builds legend files byte by byte for tests. It deliberately shares no code
// with the library (no layout constants, no byte-order helpers, no block
// composer), so a wrong layout in the library cannot pass by agreeing with
// itself.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>
#include <climits>
#include <iterator>
#include <algorithm>

namespace testcln {

using Bytes = std::vector<std::uint8_t>;

inline void put8(Bytes& out, std::uint8_t v) { out.push_back(v); }
inline void put16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}
inline void puti32(Bytes& out, std::int32_t v) { put32(out, static_cast<std::uint32_t>(v)); }
inline void putf32(Bytes& out, float v) {
  std::uint32_t u;
  std::memcpy(&u, &v, 4);
  put32(out, u);
}
inline void put32At(Bytes& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}
inline std::uint32_t get32At(const Bytes& in, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(in[at + i]) << (8 * i);
  return v;
}

/// A legend as a test describes it. Block bytes are given whole, so a test
/// can write any block, sound or not.
struct Legend {
  std::string name{};
  std::string description{};
  std::int8_t type = 1;
  std::int32_t classCode = 0;
  Bytes block{};                   ///< the data block as stored
  std::int64_t blockOffset = -1;   ///< -1: packed after the previous block
  std::int64_t blockSize = -1;     ///< -1: block.size()
  Bytes reserved{};                ///< up to 64 bytes, rest zero
};

/// P by type byte, spelled out again on purpose.
inline std::size_t paramBytes(std::int8_t type) {
  return type == 0 ? 67 : type == 1 ? 94 : type == 2 ? 63 : 0;
}

/// A parameter record whose bytes are seed, seed+1, ... so tests can tell
/// records apart.
inline Bytes params(std::int8_t type, std::uint8_t seed) {
  Bytes p(paramBytes(type));
  for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<std::uint8_t>(seed + i);
  return p;
}

/// A block: P parameter bytes, S, structure bytes, R, record bytes.
inline Bytes block(const Bytes& param, const Bytes& structure = {}, const Bytes& record = {}) {
  Bytes b = param;
  puti32(b, static_cast<std::int32_t>(structure.size()));
  b.insert(b.end(), structure.begin(), structure.end());
  puti32(b, static_cast<std::int32_t>(record.size()));
  b.insert(b.end(), record.begin(), record.end());
  return b;
}

/// A field of an attribute structure, for structure().
struct Field {
  std::string name;
  std::uint8_t type;  ///< 1 text, 2 int8, 3 int16, 4 int32, 5 int64, 6 float, 7 double, 8 date, 9 time
  std::int32_t length;
  std::uint8_t decimals = 0;
};

/// The serialised attribute structure (version 1): "ATST", version 1, field
/// count, record length, then per field type, decimals, length, name length,
/// name.
inline Bytes structure(const std::vector<Field>& fields) {
  Bytes out;
  out.reserve(12 + fields.size() * 40);
  for (char c : {'A', 'T', 'S', 'T'}) put8(out, static_cast<std::uint8_t>(c));
  put16(out, 1);
  put16(out, static_cast<std::uint16_t>(fields.size()));
  std::int32_t recordLength = 0;
  for (const Field& f : fields) recordLength += f.length;
  puti32(out, recordLength);
  for (const Field& f : fields) {
    put8(out, f.type);
    put8(out, f.decimals);
    puti32(out, f.length);
    put8(out, static_cast<std::uint8_t>(f.name.size()));
    out.insert(out.end(), f.name.begin(), f.name.end());
  }
  return out;
}

inline Bytes header() { return {'R', 'Q', 'L', 'F', 0x60, 0x44, '2', '>', 0x0D, 0x00, 0x00, 0x00}; }

/// The 333 bytes of a head record.
inline Bytes headRecord(const Legend& l, std::uint32_t offset, std::int32_t size) {
  Bytes h(333, 0);
  std::memcpy(h.data(), l.name.data(), std::min<std::size_t>(l.name.size(), 127));
  std::memcpy(h.data() + 128, l.description.data(), std::min<std::size_t>(l.description.size(), 127));
  h[256] = static_cast<std::uint8_t>(l.type);
  put32At(h, 257, offset);
  put32At(h, 261, static_cast<std::uint32_t>(size));
  put32At(h, 265, static_cast<std::uint32_t>(l.classCode));
  std::copy_n(l.reserved.begin(), std::min<std::size_t>(l.reserved.size(), 64), h.begin() + 269);
  return h;
}

/// A whole legend file. Blocks are placed at their offsets (gaps are zero).
inline Bytes file(const std::vector<Legend>& legends, std::int32_t countOverride = INT32_MIN) {
  Bytes out = header();
  puti32(out, countOverride == INT32_MIN ? static_cast<std::int32_t>(legends.size()) : countOverride);
  const std::size_t dataArea = 16 + 333 * legends.size();
  std::uint32_t running = 0;
  std::vector<std::pair<std::uint32_t, const Bytes*>> placed;
  for (const Legend& l : legends) {
    const std::uint32_t offset = l.blockOffset >= 0 ? static_cast<std::uint32_t>(l.blockOffset) : running;
    const std::int32_t size = l.blockSize >= 0 || l.blockSize < -1 ? static_cast<std::int32_t>(l.blockSize)
                                                                   : static_cast<std::int32_t>(l.block.size());
    const Bytes h = headRecord(l, offset, size);
    out.insert(out.end(), h.begin(), h.end());
    placed.emplace_back(offset, &l.block);
    running = offset + static_cast<std::uint32_t>(l.block.size());
  }
  for (const auto& [offset, bytes] : placed) {
    const std::size_t at = dataArea + offset;
    if (out.size() < at + bytes->size()) out.resize(at + bytes->size(), 0);
    std::copy(bytes->begin(), bytes->end(), out.begin() + static_cast<std::ptrdiff_t>(at));
  }
  return out;
}

inline void write(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
 public:
  TempDir() {
    static int serial = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("legendtest-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace testcln
