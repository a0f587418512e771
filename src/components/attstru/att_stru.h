#pragma once
// CATT_STRU: the attribute structure of a legend, the ordered list of typed
// fields that lays out its attribute record.
//
// Serialised form, version 1 (what Save writes and Load reads; all integers
// little-endian, nothing padded):
//
//   offset  size  content
//   0       4     magic "ATST"
//   4       2     version, unsigned 16-bit, 1
//   6       2     field count F, unsigned 16-bit, 0 ... kMaxFields
//   8       4     record length, signed 32-bit: the sum of the field lengths
//   12      ...   F field entries, one after the other:
//                   0  1  field type (AttFieldType)
//                   1  1  decimals, 0 ... kMaxDecimals (0 unless float or double)
//                   2  4  length in the record, signed 32-bit (the type's width;
//                         1 ... kMaxTextLength for text)
//                   6  1  name length n, 1 ... kMaxNameBytes
//                   7  n  name bytes (GBK, no NUL, unique within the structure)
//
// So an empty structure is 12 bytes and CalSize() = 12 + sum(7 + n).
// Load refuses anything inconsistent (bad magic or version, unknown type,
// a length that does not match the type, a record length that is not the sum
// of the field lengths, a bad or duplicate name) and never reads past the
// length it is given; on refusal the structure is left as it was.
//
// Records: fields are packed in structure order without padding; field k lies
// at the sum of the lengths of the fields before it. Numbers are stored
// little-endian; text is GBK bytes padded with NUL (not necessarily
// NUL-terminated when it fills its length); a date is the signed 32-bit
// number yyyymmdd (0 = no date); a time is the unsigned 32-bit number of
// milliseconds since midnight.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

/// Type of an attribute field.
enum class AttFieldType : std::uint8_t {
  Text = 1,    ///< GBK text of a fixed byte length, NUL padded
  Int8 = 2,    ///< signed 8-bit
  Int16 = 3,   ///< signed 16-bit
  Int32 = 4,   ///< signed 32-bit
  Int64 = 5,   ///< signed 64-bit
  Float = 6,   ///< IEEE single
  Double = 7,  ///< IEEE double
  Date = 8,    ///< signed 32-bit yyyymmdd
  Time = 9,    ///< unsigned 32-bit milliseconds since midnight
};

/// One field of a structure.
struct AttField {
  std::string name;  ///< GBK bytes, 1 ... CATT_STRU::kMaxNameBytes, no NUL
  AttFieldType type = AttFieldType::Int32;
  std::int32_t length = 4;    ///< bytes in the record (fixed by the type except for text)
  std::uint8_t decimals = 0;  ///< digits after the point shown for float and double
  std::int32_t offset = 0;    ///< place in the record, set by CalLengthOffset

  friend bool operator==(const AttField&, const AttField&) = default;
};

struct AttDate {
  std::int32_t year = 0;   ///< 1 ... 9999
  std::int32_t month = 0;  ///< 1 ... 12
  std::int32_t day = 0;    ///< 1 ... days of that month
  friend bool operator==(const AttDate&, const AttDate&) = default;
};

struct AttTime {
  std::int32_t hour = 0, minute = 0, second = 0, millisecond = 0;
  friend bool operator==(const AttTime&, const AttTime&) = default;
};

/// "YYYY-MM-DD" and "HH:MM:SS.mmm": how dates and times are written for
/// people and for interchange alike.
std::string toText(const AttDate& date);
std::string toText(const AttTime& time);

/// The value of one field in a record. Text is GBK bytes without the padding;
/// integers of every width travel as int64, float and double as double;
/// std::monostate is a date field holding 0 (no date).
using AttValue = std::variant<std::monostate, std::string, std::int64_t, double, AttDate, AttTime>;

/// Outcome of editing a structure or a record value.
enum class AttStatus {
  Ok,
  NoSuchField,     ///< field number outside 0 ... field count - 1
  BadName,         ///< empty, too long, contains NUL, or already used
  BadLength,       ///< length not allowed for the type, or a type code that is not known
  BadDecimals,     ///< decimals above kMaxDecimals, or given for a non-real type
  TooManyFields,   ///< the structure already holds kMaxFields fields
  RecordTooShort,  ///< the record span is shorter than the structure's record length
  WrongValueKind,  ///< the value's alternative does not fit the field type
  OutOfRange,      ///< integer beyond the field's width, float beyond its range,
                   ///< invalid date or time, text longer than the field or holding NUL
};

/// Width in the record of the fixed-size types; 0 for text.
std::int32_t AttFieldWidth(AttFieldType type) noexcept;
/// True for the nine known type codes.
bool IsKnownAttFieldType(std::uint8_t code) noexcept;

class CATT_STRU {
 public:
  static constexpr std::uint16_t kVersion = 1;
  static constexpr std::int32_t kHeaderBytes = 12;
  static constexpr std::int16_t kMaxFields = 4096;
  static constexpr std::size_t kMaxNameBytes = 31;
  static constexpr std::int32_t kMaxTextLength = 65535;
  static constexpr std::uint8_t kMaxDecimals = 15;

  CATT_STRU() = default;
  /// Independent deep copy; a null source gives an empty structure.
  explicit CATT_STRU(const CATT_STRU* other);
  CATT_STRU(const CATT_STRU& other) = default;
  CATT_STRU& operator=(const CATT_STRU& other) = default;
  virtual ~CATT_STRU();

  /// Number of fields (signed 16-bit as the callers read it; 0 = empty).
  std::int16_t FieldCount() const noexcept { return static_cast<std::int16_t>(fields_.size()); }
  /// Bytes of one record; current after CalLengthOffset or CalSize.
  std::int32_t RecordLength() const noexcept { return recordLength_; }

  const std::vector<AttField>& Fields() const noexcept { return fields_; }
  const AttField* Field(std::int16_t index) const noexcept;

  /// Recomputes every field's offset and the record length.
  /// Returns 0, or -1 when the record length would overflow 32 bits.
  int CalLengthOffset();
  /// Byte length of the serialised structure; also brings the record length
  /// up to date. Below 0 when the structure cannot be serialised.
  virtual std::int32_t CalSize();

  /// Reads a structure from buffer[offset, length). Returns the number of
  /// bytes consumed, or -1 (structure unchanged) when they do not hold a
  /// consistent structure. Never reads outside [offset, length).
  virtual std::int32_t Load(const void* buffer, std::int32_t length, std::int32_t offset);
  /// Reads a structure from an open file descriptor at @p fileOffset using
  /// positioned reads, checked against the file's real length. On success
  /// the descriptor's position is left right after the structure and the
  /// number of bytes consumed is returned; -1 on refusal (structure unchanged).
  virtual std::int32_t Load(int fd, std::int64_t fileOffset);

  /// Writes the CalSize() bytes into buffer[offset, length). Returns the
  /// number of bytes written, or -1 (nothing written) when they do not fit.
  virtual std::int32_t Save(void* buffer, std::int32_t length, std::int32_t offset);
  /// Writes the CalSize() bytes to an open descriptor at @p fileOffset and
  /// leaves the position after them. Returns the bytes written, or -1.
  virtual std::int32_t Save(int fd, std::int64_t fileOffset);

  /// Appends a field; its offset is set.
  AttStatus AddFld(const AttField& field);
  /// Inserts a field before field @p index (index == FieldCount() appends).
  AttStatus InsertFld(std::int16_t index, const AttField& field);
  /// Removes field @p index; the later fields move down by one.
  AttStatus DelFld(std::int16_t index);
  /// Replaces field @p index (name, type, length, decimals).
  AttStatus ModifyFld(std::int16_t index, const AttField& field);
  /// Swaps fields @p a and @p b.
  AttStatus SwapFld(std::int16_t a, std::int16_t b);
  /// Field number of the field named @p name, or -1.
  std::int16_t FindFld(std::string_view name) const noexcept;

  /// Reads field @p index of @p record.
  AttStatus GetValue(std::span<const std::uint8_t> record, std::int16_t index, AttValue& out) const;
  /// Writes @p value into field @p index of @p record. Integers may be given
  /// for real fields; nothing is written when the value does not fit.
  AttStatus SetValue(std::span<std::uint8_t> record, std::int16_t index, const AttValue& value) const;

  friend bool operator==(const CATT_STRU& a, const CATT_STRU& b) { return a.fields_ == b.fields_; }

 private:
  AttStatus CheckField(const AttField& field, std::int16_t ignoreIndex) const;

  std::vector<AttField> fields_;
  std::int32_t recordLength_ = 0;
};
