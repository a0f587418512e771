#include "components/attstru/att_stru.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "legendfile/byte_order.h"

namespace {

using legend::fits_within;
using legend::load_le;
using legend::store_le;

using Bytes = std::span<const std::uint8_t>;
using MutableBytes = std::span<std::uint8_t>;

// Structure header.
constexpr std::uint8_t kMagic[] = {'A', 'T', 'S', 'T'};
constexpr std::size_t kMagicOffset = 0;
constexpr std::size_t kVersionOffset = 4;
constexpr std::size_t kCountOffset = 6;
constexpr std::size_t kRecordLengthOffset = 8;
constexpr std::size_t kHeaderSize = CATT_STRU::kHeaderBytes;
static_assert(kRecordLengthOffset + sizeof(std::int32_t) == kHeaderSize);

// Field entry, relative to its first byte.
constexpr std::size_t kEntryTypeOffset = 0;
constexpr std::size_t kEntryDecimalsOffset = 1;
constexpr std::size_t kEntryLengthOffset = 2;
constexpr std::size_t kEntryNameLengthOffset = 6;
constexpr std::size_t kEntryNameOffset = 7;
constexpr std::size_t kMinEntrySize = kEntryNameOffset + 1;
constexpr std::size_t kMaxEntrySize = kEntryNameOffset + CATT_STRU::kMaxNameBytes;

constexpr std::uint32_t kMillisecondsPerDay = 86'400'000;
constexpr std::int32_t kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// The edits validate every field, so the record length they produce always
// fits 32 bits and CalLengthOffset cannot fail after one of them.
static_assert(std::int64_t{CATT_STRU::kMaxFields} * CATT_STRU::kMaxTextLength <=
              std::numeric_limits<std::int32_t>::max());
static_assert(CATT_STRU::kMaxNameBytes <= std::numeric_limits<std::uint8_t>::max());
// pread/pwrite/lseek take file offsets as off_t; a 32-bit one would truncate.
static_assert(sizeof(off_t) == sizeof(std::int64_t));

/// Everything CheckField checks except uniqueness, which needs the structure.
AttStatus CheckFieldShape(const AttField& field) {
  if (field.name.empty() || field.name.size() > CATT_STRU::kMaxNameBytes || field.name.find('\0') != std::string::npos)
    return AttStatus::BadName;
  if (!IsKnownAttFieldType(static_cast<std::uint8_t>(field.type))) return AttStatus::BadLength;
  const bool lengthFits = field.type == AttFieldType::Text
                              ? field.length >= 1 && field.length <= CATT_STRU::kMaxTextLength
                              : field.length == AttFieldWidth(field.type);
  if (!lengthFits) return AttStatus::BadLength;
  const bool real = field.type == AttFieldType::Float || field.type == AttFieldType::Double;
  if (field.decimals > CATT_STRU::kMaxDecimals || (field.decimals != 0 && !real)) return AttStatus::BadDecimals;
  return AttStatus::Ok;
}

bool HasDuplicateName(const std::vector<AttField>& fields) {
  std::vector<std::string_view> names;
  names.reserve(fields.size());
  for (const AttField& field : fields) names.emplace_back(field.name);
  std::sort(names.begin(), names.end());
  return std::adjacent_find(names.begin(), names.end()) != names.end();
}

/// The cheap look at a header: magic, version and a field count within the
/// limit. Returns the count, or -1.
std::int32_t ProbeHeader(Bytes in) {
  if (in.size() < kHeaderSize) return -1;
  if (!std::equal(std::begin(kMagic), std::end(kMagic), in.begin() + kMagicOffset)) return -1;
  if (load_le<std::uint16_t>(in, kVersionOffset) != CATT_STRU::kVersion) return -1;
  const std::uint16_t count = load_le<std::uint16_t>(in, kCountOffset);
  if (count > CATT_STRU::kMaxFields) return -1;
  return count;
}

/// Parses a whole structure from the start of @p in into @p fields (offsets
/// left for CalLengthOffset). Returns the bytes it takes, or -1.
std::int32_t ParseStructure(Bytes in, std::vector<AttField>& fields) {
  const std::int32_t count = ProbeHeader(in);
  if (count < 0) return -1;
  // A count the bytes cannot hold is refused before it reserves anything.
  if (static_cast<std::size_t>(count) * kMinEntrySize > in.size() - kHeaderSize) return -1;
  fields.clear();
  fields.reserve(static_cast<std::size_t>(count));

  std::size_t pos = kHeaderSize;
  std::int64_t recordLength = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    if (!fits_within(pos, kEntryNameOffset, in.size())) return -1;
    const std::size_t nameLength = in[pos + kEntryNameLengthOffset];
    if (!fits_within(pos + kEntryNameOffset, nameLength, in.size())) return -1;
    AttField field;
    // Any byte is representable in the enum; CheckFieldShape refuses the unknown ones.
    field.type = static_cast<AttFieldType>(in[pos + kEntryTypeOffset]);
    field.decimals = in[pos + kEntryDecimalsOffset];
    field.length = load_le<std::int32_t>(in, pos + kEntryLengthOffset);
    field.name.assign(reinterpret_cast<const char*>(in.data() + pos + kEntryNameOffset), nameLength);
    if (CheckFieldShape(field) != AttStatus::Ok) return -1;
    recordLength += field.length;
    pos += kEntryNameOffset + nameLength;
    fields.push_back(std::move(field));
  }
  if (recordLength > std::numeric_limits<std::int32_t>::max() ||
      recordLength != load_le<std::int32_t>(in, kRecordLengthOffset))
    return -1;
  if (HasDuplicateName(fields)) return -1;
  return static_cast<std::int32_t>(pos);
}

/// Writes the structure into @p out, which holds exactly its serialised size.
void Serialise(const std::vector<AttField>& fields, std::int32_t recordLength, MutableBytes out) {
  std::copy(std::begin(kMagic), std::end(kMagic), out.begin() + kMagicOffset);
  store_le<std::uint16_t>(out, kVersionOffset, CATT_STRU::kVersion);
  store_le<std::uint16_t>(out, kCountOffset, static_cast<std::uint16_t>(fields.size()));
  store_le<std::int32_t>(out, kRecordLengthOffset, recordLength);
  std::size_t pos = kHeaderSize;
  for (const AttField& field : fields) {
    out[pos + kEntryTypeOffset] = static_cast<std::uint8_t>(field.type);
    out[pos + kEntryDecimalsOffset] = field.decimals;
    store_le<std::int32_t>(out, pos + kEntryLengthOffset, field.length);
    out[pos + kEntryNameLengthOffset] = static_cast<std::uint8_t>(field.name.size());
    std::memcpy(out.data() + pos + kEntryNameOffset, field.name.data(), field.name.size());
    pos += kEntryNameOffset + field.name.size();
  }
}

/// Reads until @p out is full, the file ends or a read fails; returns the
/// bytes read.
std::size_t ReadFully(int fd, std::int64_t offset, MutableBytes out) {
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t got =
        ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool WriteFully(int fd, std::int64_t offset, Bytes in) {
  std::size_t done = 0;
  while (done < in.size()) {
    const ssize_t put =
        ::pwrite(fd, in.data() + done, in.size() - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    // A write that makes no progress would loop for ever on a full device.
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

bool IsLeapYear(std::int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsValidDate(const AttDate& date) {
  if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12) return false;
  const std::int32_t days = date.month == 2 && IsLeapYear(date.year) ? 29 : kDaysInMonth[date.month - 1];
  return date.day >= 1 && date.day <= days;
}

bool IsValidTime(const AttTime& time) {
  return time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59 && time.second >= 0 &&
         time.second <= 59 && time.millisecond >= 0 && time.millisecond <= 999;
}

template <typename T>
AttStatus StoreInteger(MutableBytes record, std::size_t at, const AttValue& value) {
  const auto* number = std::get_if<std::int64_t>(&value);
  if (number == nullptr) return AttStatus::WrongValueKind;
  if constexpr (sizeof(T) < sizeof(std::int64_t)) {
    if (*number < std::numeric_limits<T>::min() || *number > std::numeric_limits<T>::max())
      return AttStatus::OutOfRange;
  }
  store_le<T>(record, at, static_cast<T>(*number));
  return AttStatus::Ok;
}

/// The value of a real field: a double, or an integer taken as one.
const double* RealOf(const AttValue& value, double& converted) {
  if (const auto* real = std::get_if<double>(&value)) return real;
  if (const auto* number = std::get_if<std::int64_t>(&value)) {
    converted = static_cast<double>(*number);
    return &converted;
  }
  return nullptr;
}

}  // namespace

std::int32_t AttFieldWidth(AttFieldType type) noexcept {
  switch (type) {
    case AttFieldType::Int8: return 1;
    case AttFieldType::Int16: return 2;
    case AttFieldType::Int32:
    case AttFieldType::Float:
    case AttFieldType::Date:
    case AttFieldType::Time: return 4;
    case AttFieldType::Int64:
    case AttFieldType::Double: return 8;
    case AttFieldType::Text: break;
  }
  return 0;
}

bool IsKnownAttFieldType(std::uint8_t code) noexcept {
  return code >= static_cast<std::uint8_t>(AttFieldType::Text) && code <= static_cast<std::uint8_t>(AttFieldType::Time);
}

CATT_STRU::CATT_STRU(const CATT_STRU* other) {
  if (other != nullptr) *this = *other;
}

CATT_STRU::~CATT_STRU() = default;

const AttField* CATT_STRU::Field(std::int16_t index) const noexcept {
  if (index < 0 || index >= FieldCount()) return nullptr;
  return &fields_[static_cast<std::size_t>(index)];
}

int CATT_STRU::CalLengthOffset() {
  std::int64_t total = 0;
  for (const AttField& field : fields_) total += field.length;
  if (total > std::numeric_limits<std::int32_t>::max()) return -1;
  std::int32_t offset = 0;
  for (AttField& field : fields_) {
    field.offset = offset;
    offset += field.length;
  }
  recordLength_ = offset;
  return 0;
}

std::int32_t CATT_STRU::CalSize() {
  if (CalLengthOffset() != 0) return -1;
  std::int64_t size = kHeaderBytes;
  for (const AttField& field : fields_) size += static_cast<std::int64_t>(kEntryNameOffset + field.name.size());
  if (size > std::numeric_limits<std::int32_t>::max()) return -1;
  return static_cast<std::int32_t>(size);
}

std::int32_t CATT_STRU::Load(const void* buffer, std::int32_t length, std::int32_t offset) {
  if (buffer == nullptr || length < 0 || offset < 0 || offset > length) return -1;
  const Bytes in(static_cast<const std::uint8_t*>(buffer) + offset, static_cast<std::size_t>(length - offset));
  std::vector<AttField> parsed;
  const std::int32_t consumed = ParseStructure(in, parsed);
  if (consumed < 0) return -1;
  fields_.swap(parsed);
  CalLengthOffset();
  return consumed;
}

std::int32_t CATT_STRU::Load(int fd, std::int64_t fileOffset) {
  struct stat info {};
  if (fileOffset < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) return -1;
  const auto fileSize = static_cast<std::uint64_t>(info.st_size);
  const auto start = static_cast<std::uint64_t>(fileOffset);
  if (!fits_within(start, kHeaderSize, fileSize)) return -1;

  std::uint8_t header[kHeaderSize];
  if (ReadFully(fd, fileOffset, header) != kHeaderSize) return -1;
  const std::int32_t count = ProbeHeader(header);
  if (count < 0) return -1;

  // No structure with this count is longer than this, and none can be longer
  // than what the file holds after the offset; the parse sorts out the rest.
  const std::uint64_t bound = kHeaderSize + static_cast<std::uint64_t>(count) * kMaxEntrySize;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min(bound, fileSize - start)));
  const std::size_t got = ReadFully(fd, fileOffset, bytes);

  std::vector<AttField> parsed;
  const std::int32_t consumed = ParseStructure(Bytes(bytes.data(), got), parsed);
  if (consumed < 0) return -1;
  if (::lseek(fd, static_cast<off_t>(fileOffset) + consumed, SEEK_SET) < 0) return -1;
  fields_.swap(parsed);
  CalLengthOffset();
  return consumed;
}

std::int32_t CATT_STRU::Save(void* buffer, std::int32_t length, std::int32_t offset) {
  if (buffer == nullptr || length < 0 || offset < 0 || offset > length) return -1;
  const std::int32_t size = CalSize();
  if (size < 0 || size > length - offset) return -1;
  Serialise(fields_, recordLength_,
            MutableBytes(static_cast<std::uint8_t*>(buffer) + offset, static_cast<std::size_t>(size)));
  return size;
}

std::int32_t CATT_STRU::Save(int fd, std::int64_t fileOffset) {
  const std::int32_t size = CalSize();
  if (size < 0 || fileOffset < 0 || fileOffset > std::numeric_limits<off_t>::max() - size) return -1;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  Serialise(fields_, recordLength_, bytes);
  if (!WriteFully(fd, fileOffset, bytes)) return -1;
  if (::lseek(fd, static_cast<off_t>(fileOffset) + size, SEEK_SET) < 0) return -1;
  return size;
}

AttStatus CATT_STRU::CheckField(const AttField& field, std::int16_t ignoreIndex) const {
  if (const AttStatus shape = CheckFieldShape(field); shape != AttStatus::Ok) return shape;
  const std::int16_t existing = FindFld(field.name);
  if (existing >= 0 && existing != ignoreIndex) return AttStatus::BadName;
  return AttStatus::Ok;
}

AttStatus CATT_STRU::AddFld(const AttField& field) { return InsertFld(FieldCount(), field); }

AttStatus CATT_STRU::InsertFld(std::int16_t index, const AttField& field) {
  if (index < 0 || index > FieldCount()) return AttStatus::NoSuchField;
  if (FieldCount() >= kMaxFields) return AttStatus::TooManyFields;
  if (const AttStatus status = CheckField(field, -1); status != AttStatus::Ok) return status;
  fields_.insert(fields_.begin() + index, field);
  CalLengthOffset();
  return AttStatus::Ok;
}

AttStatus CATT_STRU::DelFld(std::int16_t index) {
  if (Field(index) == nullptr) return AttStatus::NoSuchField;
  fields_.erase(fields_.begin() + index);
  CalLengthOffset();
  return AttStatus::Ok;
}

AttStatus CATT_STRU::ModifyFld(std::int16_t index, const AttField& field) {
  if (Field(index) == nullptr) return AttStatus::NoSuchField;
  // Keeping its own name is not a clash.
  if (const AttStatus status = CheckField(field, index); status != AttStatus::Ok) return status;
  fields_[static_cast<std::size_t>(index)] = field;
  CalLengthOffset();
  return AttStatus::Ok;
}

AttStatus CATT_STRU::SwapFld(std::int16_t a, std::int16_t b) {
  if (Field(a) == nullptr || Field(b) == nullptr) return AttStatus::NoSuchField;
  std::swap(fields_[static_cast<std::size_t>(a)], fields_[static_cast<std::size_t>(b)]);
  CalLengthOffset();
  return AttStatus::Ok;
}

std::int16_t CATT_STRU::FindFld(std::string_view name) const noexcept {
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i].name == name) return static_cast<std::int16_t>(i);
  return -1;
}

AttStatus CATT_STRU::GetValue(std::span<const std::uint8_t> record, std::int16_t index, AttValue& out) const {
  const AttField* field = Field(index);
  if (field == nullptr) return AttStatus::NoSuchField;
  if (record.size() < static_cast<std::size_t>(recordLength_)) return AttStatus::RecordTooShort;
  const auto at = static_cast<std::size_t>(field->offset);
  switch (field->type) {
    case AttFieldType::Text: {
      const auto bytes = record.subspan(at, static_cast<std::size_t>(field->length));
      const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
      out = std::string(reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(end - bytes.begin()));
      return AttStatus::Ok;
    }
    case AttFieldType::Int8: out = std::int64_t{load_le<std::int8_t>(record, at)}; return AttStatus::Ok;
    case AttFieldType::Int16: out = std::int64_t{load_le<std::int16_t>(record, at)}; return AttStatus::Ok;
    case AttFieldType::Int32: out = std::int64_t{load_le<std::int32_t>(record, at)}; return AttStatus::Ok;
    case AttFieldType::Int64: out = load_le<std::int64_t>(record, at); return AttStatus::Ok;
    // Stored NaN or infinity is handed back as it is; only writes are checked.
    case AttFieldType::Float: out = double{load_le<float>(record, at)}; return AttStatus::Ok;
    case AttFieldType::Double: out = load_le<double>(record, at); return AttStatus::Ok;
    case AttFieldType::Date: {
      const std::int32_t stored = load_le<std::int32_t>(record, at);
      if (stored == 0) {
        out = std::monostate{};
        return AttStatus::Ok;
      }
      const AttDate date{stored / 10000, stored / 100 % 100, stored % 100};
      if (!IsValidDate(date)) return AttStatus::OutOfRange;
      out = date;
      return AttStatus::Ok;
    }
    case AttFieldType::Time: {
      const std::uint32_t stored = load_le<std::uint32_t>(record, at);
      if (stored >= kMillisecondsPerDay) return AttStatus::OutOfRange;
      const auto ms = static_cast<std::int32_t>(stored);
      out = AttTime{ms / 3'600'000, ms / 60'000 % 60, ms / 1000 % 60, ms % 1000};
      return AttStatus::Ok;
    }
  }
  // Unreachable: every field went through CheckFieldShape, which knows all types.
  return AttStatus::WrongValueKind;
}

AttStatus CATT_STRU::SetValue(std::span<std::uint8_t> record, std::int16_t index, const AttValue& value) const {
  const AttField* field = Field(index);
  if (field == nullptr) return AttStatus::NoSuchField;
  if (record.size() < static_cast<std::size_t>(recordLength_)) return AttStatus::RecordTooShort;
  const auto at = static_cast<std::size_t>(field->offset);
  switch (field->type) {
    case AttFieldType::Text: {
      const auto* text = std::get_if<std::string>(&value);
      if (text == nullptr) return AttStatus::WrongValueKind;
      // A NUL would end the text early on the next read.
      if (text->size() > static_cast<std::size_t>(field->length) || text->find('\0') != std::string::npos)
        return AttStatus::OutOfRange;
      const auto bytes = record.subspan(at, static_cast<std::size_t>(field->length));
      std::fill(std::copy(text->begin(), text->end(), bytes.begin()), bytes.end(), std::uint8_t{0});
      return AttStatus::Ok;
    }
    case AttFieldType::Int8: return StoreInteger<std::int8_t>(record, at, value);
    case AttFieldType::Int16: return StoreInteger<std::int16_t>(record, at, value);
    case AttFieldType::Int32: return StoreInteger<std::int32_t>(record, at, value);
    case AttFieldType::Int64: return StoreInteger<std::int64_t>(record, at, value);
    case AttFieldType::Float:
    case AttFieldType::Double: {
      double converted = 0;
      const double* real = RealOf(value, converted);
      if (real == nullptr) return AttStatus::WrongValueKind;
      if (!std::isfinite(*real)) return AttStatus::OutOfRange;
      if (field->type == AttFieldType::Double) {
        store_le<double>(record, at, *real);
      } else {
        if (!legend::fitsFloat(*real)) return AttStatus::OutOfRange;
        store_le<float>(record, at, static_cast<float>(*real));
      }
      return AttStatus::Ok;
    }
    case AttFieldType::Date: {
      if (std::holds_alternative<std::monostate>(value)) {
        store_le<std::int32_t>(record, at, 0);
        return AttStatus::Ok;
      }
      const auto* date = std::get_if<AttDate>(&value);
      if (date == nullptr) return AttStatus::WrongValueKind;
      if (!IsValidDate(*date)) return AttStatus::OutOfRange;
      store_le<std::int32_t>(record, at, date->year * 10000 + date->month * 100 + date->day);
      return AttStatus::Ok;
    }
    case AttFieldType::Time: {
      const auto* time = std::get_if<AttTime>(&value);
      if (time == nullptr) return AttStatus::WrongValueKind;
      if (!IsValidTime(*time)) return AttStatus::OutOfRange;
      const std::int32_t ms = ((time->hour * 60 + time->minute) * 60 + time->second) * 1000 + time->millisecond;
      store_le<std::uint32_t>(record, at, static_cast<std::uint32_t>(ms));
      return AttStatus::Ok;
    }
  }
  return AttStatus::WrongValueKind;
}

std::string toText(const AttDate& date) {
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), "%04d-%02d-%02d", static_cast<int>(date.year), static_cast<int>(date.month),
                static_cast<int>(date.day));
  return text.data();
}

std::string toText(const AttTime& time) {
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "%02d:%02d:%02d.%03d", static_cast<int>(time.hour),
                static_cast<int>(time.minute), static_cast<int>(time.second), static_cast<int>(time.millisecond));
  return text.data();
}
