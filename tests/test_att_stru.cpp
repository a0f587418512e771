// Attribute structure: its bytes against images built here by hand, hostile
// input, edits and typed record values.
#include "att_stru.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <optional>

#include <unistd.h>

namespace {

using T = AttFieldType;
using S = AttStatus;
using Bytes = std::vector<std::uint8_t>;

// Our own little-endian writer, so a layout mistake in the code under test
// cannot pass by agreeing with itself.
struct Le {
  Bytes bytes;
  Le& u8(unsigned v) { bytes.push_back(static_cast<std::uint8_t>(v & 0xff)); return *this; }
  Le& u16(unsigned v) { return u8(v).u8(v >> 8); }
  Le& i32(std::int32_t v) { const auto u = static_cast<std::uint32_t>(v); return u16(u & 0xffff).u16(u >> 16); }
  Le& str(std::string_view s) { bytes.insert(bytes.end(), s.begin(), s.end()); return *this; }
  Le& head(unsigned count, std::int32_t recordLength) { return str("ATST").u16(1).u16(count).i32(recordLength); }
  Le& entry(unsigned type, unsigned decimals, std::int32_t length, std::string_view name) {
    return u8(type).u8(decimals).i32(length).u8(static_cast<unsigned>(name.size())).str(name);
  }
};

Bytes OneField(unsigned type, unsigned decimals, std::int32_t length, std::string_view name) {
  return Le{}.head(1, length).entry(type, decimals, length, name).bytes;
}

// count one-byte fields named "0", "1", ...
Bytes ManyFields(unsigned count) {
  Le le;
  le.head(count, static_cast<std::int32_t>(count));
  for (unsigned i = 0; i < count; ++i) le.entry(2, 0, 1, std::to_string(i));
  return le.bytes;
}

AttField Fld(std::string name, T type, std::int32_t length, std::uint8_t decimals = 0) {
  AttField field;
  field.name = std::move(name), field.type = type, field.length = length, field.decimals = decimals;
  return field;
}

CATT_STRU Make(const std::vector<AttField>& fields) {
  CATT_STRU s;
  for (const AttField& field : fields) EXPECT_EQ(s.AddFld(field), S::Ok) << field.name;
  return s;
}

CATT_STRU TwoFields() { return Make({Fld("name", T::Text, 10), Fld("area", T::Double, 8, 2)}); }

CATT_STRU EveryType() {
  return Make({Fld("s", T::Text, 5), Fld("i8", T::Int8, 1), Fld("i16", T::Int16, 2), Fld("i32", T::Int32, 4),
               Fld("i64", T::Int64, 8), Fld("f", T::Float, 4, 3), Fld("d", T::Double, 8), Fld("day", T::Date, 4),
               Fld("time", T::Time, 4)});
}

Bytes Saved(CATT_STRU s) {
  Bytes bytes(static_cast<std::size_t>(s.CalSize()));
  EXPECT_EQ(s.Save(bytes.data(), static_cast<std::int32_t>(bytes.size()), 0), s.CalSize());
  return bytes;
}

std::int32_t Load(CATT_STRU& s, const Bytes& bytes) {
  return s.Load(bytes.data(), static_cast<std::int32_t>(bytes.size()), 0);
}

// An unnamed temporary file.
struct TempFile {
  TempFile() : fd(::mkstemp(path)) { ::unlink(path); }
  ~TempFile() { ::close(fd); }
  void Replace(const Bytes& bytes) const {
    ASSERT_EQ(::ftruncate(fd, 0), 0);
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
  }
  char path[32] = "/tmp/att_stru_XXXXXX";
  int fd;
};

TEST(AttStru, SavesTheExactBytesAndEmptyIsTwelve) {
  const Bytes expected = Le{}.head(2, 18).entry(1, 0, 10, "name").entry(7, 2, 8, "area").bytes;
  CATT_STRU s = TwoFields();
  Bytes buffer(3 + expected.size(), 0xEE);
  EXPECT_EQ(s.Save(buffer.data(), static_cast<std::int32_t>(buffer.size()) - 1, 3), -1);
  EXPECT_EQ(buffer, Bytes(buffer.size(), 0xEE)) << "a refused save writes nothing";
  ASSERT_EQ(s.Save(buffer.data(), static_cast<std::int32_t>(buffer.size()), 3), static_cast<std::int32_t>(expected.size()));
  EXPECT_EQ(Bytes(buffer.begin() + 3, buffer.end()), expected);
  EXPECT_EQ(s.Field(1)->offset, 10);
  EXPECT_EQ(Saved(CATT_STRU{}), Le{}.head(0, 0).bytes);
}

TEST(AttStru, RoundTripsThroughMemoryAndFileLeavingThePositionAfterIt) {
  Bytes bytes = Saved(EveryType());
  const auto size = static_cast<std::int32_t>(bytes.size());
  bytes.insert(bytes.begin(), {1, 2, 3});
  bytes.push_back(0x55);  // trailing bytes are not part of the structure
  CATT_STRU fromMemory, fromFile;
  EXPECT_EQ(fromMemory.Load(bytes.data(), size + 4, 3), size);
  EXPECT_EQ(fromMemory, EveryType());
  EXPECT_EQ(fromMemory.RecordLength(), 5 + 1 + 2 + 4 + 8 + 4 + 8 + 4 + 4);

  TempFile file;
  file.Replace(bytes);
  ASSERT_EQ(fromFile.Load(file.fd, 3), size);
  EXPECT_EQ(::lseek(file.fd, 0, SEEK_CUR), 3 + size);
  EXPECT_EQ(fromFile, EveryType());
  ASSERT_EQ(fromFile.Save(file.fd, 7), size);
  EXPECT_EQ(::lseek(file.fd, 0, SEEK_CUR), 7 + size);
  EXPECT_EQ(CATT_STRU{}.Load(file.fd, 7), size);
}

TEST(AttStru, LoadRefusesInconsistentInputAndKeepsWhatItHad) {
  const struct { const char* name; Bytes bytes; } refused[] = {
      {"bad-magic", Le{}.str("ATSX").u16(1).u16(0).i32(0).bytes},
      {"version-2", Le{}.str("ATST").u16(2).u16(0).i32(0).bytes},
      {"count-above-max", ManyFields(4097)},
      {"type-10", OneField(10, 0, 4, "a")},
      {"int16-length-4", OneField(3, 0, 4, "a")},
      {"text-length-0", OneField(1, 0, 0, "a")},
      {"text-length-65536", OneField(1, 0, 65536, "a")},
      {"double-decimals-16", OneField(7, 16, 8, "a")},
      {"int32-decimals-1", OneField(4, 1, 4, "a")},
      {"name-empty", OneField(4, 0, 4, "")},
      {"name-32-bytes", OneField(4, 0, 4, std::string(32, 'n'))},
      {"name-with-nul", OneField(4, 0, 4, std::string("a\0b", 3))},
      {"duplicate-name", Le{}.head(2, 8).entry(4, 0, 4, "a").entry(4, 0, 4, "a").bytes},
      {"record-length-above-sum", Le{}.head(1, 5).entry(4, 0, 4, "a").bytes},
  };
  TempFile file;
  for (const auto& c : refused) {
    CATT_STRU s = TwoFields();
    EXPECT_EQ(Load(s, c.bytes), -1) << c.name;
    file.Replace(c.bytes);
    EXPECT_EQ(s.Load(file.fd, 0), -1) << c.name;
    EXPECT_EQ(s, TwoFields()) << c.name;
    EXPECT_EQ(s.RecordLength(), 18) << c.name;
  }
  for (const Bytes& limit : {ManyFields(4096), OneField(1, 0, 65535, std::string(31, 'n')), OneField(7, 15, 8, "a")}) {
    CATT_STRU s;
    EXPECT_EQ(Load(s, limit), static_cast<std::int32_t>(limit.size()));
  }

  const Bytes good = Saved(TwoFields());
  const auto size = static_cast<std::int32_t>(good.size());
  CATT_STRU s;
  for (const auto& [buffer, length, offset] : {std::tuple{good.data(), size, -1}, {good.data(), size, size + 1},
                                                {good.data(), -1, 0}, {nullptr, size, 0}})
    EXPECT_EQ(s.Load(buffer, length, offset), -1);
  EXPECT_EQ(s.Load(file.fd, -1), -1);
  EXPECT_EQ(s.Load(-1, 0), -1);
}

TEST(AttStru, LoadRefusesEveryTruncationInMemoryAndInFiles) {
  const Bytes whole = Saved(EveryType());
  TempFile file;
  file.Replace(whole);
  for (std::size_t length = whole.size(); length-- > 0;) {
    // Exactly sized, so a read past the end trips the address sanitizer.
    const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    CATT_STRU s;
    EXPECT_EQ(Load(s, prefix), -1) << length;
    ASSERT_EQ(::ftruncate(file.fd, static_cast<off_t>(length)), 0);
    EXPECT_EQ(s.Load(file.fd, 0), -1) << length;
  }
}

TEST(AttStru, EditsValidateFieldsAndKeepOffsetsCurrent) {
  const struct { const char* name; AttField field; AttStatus status; } cases[] = {
      {"name-taken", Fld("area", T::Int32, 4), S::BadName},
      {"name-with-nul", Fld(std::string("x\0", 2), T::Int32, 4), S::BadName},
      {"unknown-type", Fld("x", static_cast<T>(0), 4), S::BadLength},
      {"text-length-65536", Fld("x", T::Text, 65536), S::BadLength},
      {"date-decimals-1", Fld("x", T::Date, 4, 1), S::BadDecimals},
  };
  for (const auto& c : cases) {
    CATT_STRU s = TwoFields();
    EXPECT_EQ(s.AddFld(c.field), c.status) << c.name;
    EXPECT_EQ(s.InsertFld(0, c.field), c.status) << c.name;
    EXPECT_EQ(s, TwoFields()) << c.name;
  }

  CATT_STRU s = TwoFields();
  EXPECT_EQ(s.InsertFld(3, Fld("x", T::Int8, 1)), S::NoSuchField);
  ASSERT_EQ(s.InsertFld(0, Fld("id", T::Int32, 4)), S::Ok);
  EXPECT_EQ(s.Field(2)->offset, 14);
  EXPECT_EQ(s.ModifyFld(1, Fld("name", T::Text, 20)), S::Ok) << "keeping its own name";
  EXPECT_EQ(s.ModifyFld(1, Fld("area", T::Text, 20)), S::BadName);
  EXPECT_EQ(s.RecordLength(), 32);
  ASSERT_EQ(s.SwapFld(0, 2), S::Ok);
  EXPECT_EQ(s.FindFld("area"), 0);
  EXPECT_EQ(s.Field(2)->offset, 28);
  EXPECT_EQ(s.SwapFld(0, 3), S::NoSuchField);

  CATT_STRU full;
  ASSERT_EQ(Load(full, ManyFields(CATT_STRU::kMaxFields)), static_cast<std::int32_t>(ManyFields(4096).size()));
  EXPECT_EQ(full.AddFld(Fld("one-more", T::Int8, 1)), S::TooManyFields);
}

// Deleting with a rising index skips the field that moved down into the
// freed slot: the loop removes the 1st, 3rd, 5th ... field and leaves the
// ones that were at odd positions, renumbered from 0.
TEST(AttStru, DeletingByRisingIndexLeavesTheOddFields) {
  CATT_STRU s = Make({Fld("a", T::Int32, 4), Fld("b", T::Int32, 4), Fld("c", T::Int32, 4), Fld("d", T::Int32, 4),
                      Fld("e", T::Int32, 4)});
  for (std::int16_t i = 0; i < s.FieldCount(); ++i) ASSERT_EQ(s.DelFld(i), S::Ok);
  EXPECT_EQ(s, Make({Fld("b", T::Int32, 4), Fld("d", T::Int32, 4)}));
  EXPECT_EQ(s.RecordLength(), 8);
  EXPECT_EQ(s.DelFld(2), S::NoSuchField);
}

TEST(AttStru, CopiesAreIndependent) {
  CATT_STRU original = TwoFields();
  CATT_STRU fromPointer(&original), copied(original), assigned, fromNull(nullptr);
  assigned = original;
  ASSERT_EQ(original.DelFld(0), S::Ok);
  for (const CATT_STRU* copy : {&fromPointer, &copied, &assigned}) {
    EXPECT_EQ(*copy, TwoFields());
    EXPECT_EQ(copy->RecordLength(), 18);
  }
  EXPECT_EQ(fromNull.CalSize(), CATT_STRU::kHeaderBytes);
}

TEST(AttStru, TypedValuesAreCheckedAndStoredLittleEndian) {
  const auto i64 = [](std::int64_t v) { return AttValue{v}; };
  const struct {
    const char* name;
    T type;
    std::int32_t length;
    AttValue value;
    AttStatus status;
    Bytes stored;                        // when Ok: the field's bytes in the record
    std::optional<AttValue> reads = {};  // when Ok and not the value itself: what reads back
  } cases[] = {
      {"int8-min", T::Int8, 1, i64(-128), S::Ok, {0x80}},
      {"int8-max", T::Int8, 1, i64(127), S::Ok, {0x7F}},
      {"int8-over", T::Int8, 1, i64(128), S::OutOfRange, {}},
      {"int16-negative", T::Int16, 2, i64(-2), S::Ok, {0xFE, 0xFF}},
      {"int32-min", T::Int32, 4, i64(INT32_MIN), S::Ok, {0, 0, 0, 0x80}},
      {"int32-over", T::Int32, 4, i64(std::int64_t{INT32_MAX} + 1), S::OutOfRange, {}},
      {"int64-min", T::Int64, 8, i64(INT64_MIN), S::Ok, {0, 0, 0, 0, 0, 0, 0, 0x80}},
      {"float-from-int", T::Float, 4, i64(2), S::Ok, {0, 0, 0, 0x40}, 2.0},
      {"float-max", T::Float, 4, double{FLT_MAX}, S::Ok, {0xFF, 0xFF, 0x7F, 0x7F}},
      {"float-over", T::Float, 4, 1e39, S::OutOfRange, {}},
      {"float-nan", T::Float, 4, std::nan(""), S::OutOfRange, {}},
      {"double", T::Double, 8, -2.0, S::Ok, {0, 0, 0, 0, 0, 0, 0, 0xC0}},
      {"double-inf", T::Double, 8, HUGE_VAL, S::OutOfRange, {}},
      {"text-padded", T::Text, 4, std::string("ab"), S::Ok, {'a', 'b', 0, 0}},
      {"text-full", T::Text, 4, std::string("abcd"), S::Ok, {'a', 'b', 'c', 'd'}},
      {"text-too-long", T::Text, 4, std::string("abcde"), S::OutOfRange, {}},
      {"text-with-nul", T::Text, 4, std::string("a\0b", 3), S::OutOfRange, {}},
      {"text-int", T::Text, 4, i64(1), S::WrongValueKind, {}},
      {"date-leap", T::Date, 4, AttDate{2024, 2, 29}, S::Ok, Le{}.i32(20240229).bytes},
      {"date-none", T::Date, 4, std::monostate{}, S::Ok, {0, 0, 0, 0}},
      {"date-not-leap", T::Date, 4, AttDate{2023, 2, 29}, S::OutOfRange, {}},
      {"date-1900-not-leap", T::Date, 4, AttDate{1900, 2, 29}, S::OutOfRange, {}},
      {"date-april-31", T::Date, 4, AttDate{2024, 4, 31}, S::OutOfRange, {}},
      {"date-time", T::Date, 4, AttTime{}, S::WrongValueKind, {}},
      {"time-last", T::Time, 4, AttTime{23, 59, 59, 999}, S::Ok, Le{}.i32(86399999).bytes},
      {"time-hour-24", T::Time, 4, AttTime{24, 0, 0, 0}, S::OutOfRange, {}},
      {"time-none", T::Time, 4, std::monostate{}, S::WrongValueKind, {}},
  };
  for (const auto& c : cases) {
    // The field sits behind a one-byte field, so its offset counts.
    const CATT_STRU s = Make({Fld("pad", T::Int8, 1), Fld("v", c.type, c.length)});
    Bytes record(static_cast<std::size_t>(s.RecordLength()), 0xAB);
    EXPECT_EQ(s.SetValue(record, 1, c.value), c.status) << c.name;
    if (c.status != S::Ok) {
      EXPECT_EQ(record, Bytes(record.size(), 0xAB)) << c.name << ": nothing written";
      continue;
    }
    EXPECT_EQ(Bytes(record.begin() + 1, record.end()), c.stored) << c.name;
    AttValue back;
    EXPECT_EQ(s.GetValue(record, 1, back), S::Ok) << c.name;
    EXPECT_EQ(back, c.reads.value_or(c.value)) << c.name;
  }
}

TEST(AttStru, ReadsRefuseStoredNonsenseAndShortRecords) {
  const CATT_STRU s = Make({Fld("d", T::Date, 4), Fld("t", T::Time, 4), Fld("s", T::Text, 4)});
  const std::string text("ab\0c", 4);
  AttValue value;
  const auto read = [&](Le le, std::int16_t index) { return s.GetValue(le.bytes, index, value); };
  EXPECT_EQ(read(Le{}.i32(20230229).i32(0).str(text), 0), S::OutOfRange);
  EXPECT_EQ(read(Le{}.i32(-20240101).i32(0).str(text), 0), S::OutOfRange);
  EXPECT_EQ(read(Le{}.i32(0).i32(86400000).str(text), 1), S::OutOfRange);
  ASSERT_EQ(read(Le{}.i32(0).i32(0).str(text), 2), S::Ok);
  EXPECT_EQ(value, AttValue{std::string("ab")});
  EXPECT_EQ(read(Le{}.i32(0).i32(0).str("abc"), 0), S::RecordTooShort);
  EXPECT_EQ(read(Le{}.i32(0).i32(0).str("abcd"), 3), S::NoSuchField);
  Bytes shortRecord(11);
  EXPECT_EQ(s.SetValue(shortRecord, 0, std::monostate{}), S::RecordTooShort);
}

}  // namespace
