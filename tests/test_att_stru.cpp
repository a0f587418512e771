// Attribute structure: its bytes against images built by the test builder,
// which shares nothing with the code under test, hostile input, edits and
// typed record values.
#include "components/attstru/att_stru.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

#include "support/cln_builder.h"

namespace {

using T = AttFieldType;
using S = AttStatus;
using testcln::Bytes;
using testcln::le32;

Bytes OneField(std::uint8_t type, std::uint8_t decimals, std::int32_t length, std::string name) {
  return testcln::structure({{std::move(name), type, length, decimals}});
}
// count one-byte fields named "0", "1", ...
Bytes ManyFields(int count) {
  std::vector<testcln::Field> fields;
  for (int i = 0; i < count; ++i) fields.push_back({std::to_string(i), 2, 1});
  return testcln::structure(fields);
}
Bytes With(Bytes bytes, std::size_t at, std::uint8_t value) {
  bytes[at] = value;
  return bytes;
}

AttField Fld(std::string name, T type, std::int32_t length, std::uint8_t decimals = 0) {
  return {.name = std::move(name), .type = type, .length = length, .decimals = decimals};
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
std::int32_t Load(CATT_STRU& s, const Bytes& b) { return s.Load(b.data(), static_cast<std::int32_t>(b.size()), 0); }

TEST(AttStru, SavesTheExactBytesAndEmptyIsTwelve) {
  const Bytes expected = testcln::structure({{"name", 1, 10}, {"area", 7, 8, 2}});
  CATT_STRU s = TwoFields();
  Bytes buffer(3 + expected.size(), 0xEE);
  EXPECT_EQ(s.Save(buffer.data(), static_cast<std::int32_t>(buffer.size()) - 1, 3), -1);
  EXPECT_EQ(buffer, Bytes(buffer.size(), 0xEE)) << "a refused save writes nothing";
  ASSERT_EQ(s.Save(buffer.data(), static_cast<std::int32_t>(buffer.size()), 3),
            static_cast<std::int32_t>(expected.size()));
  EXPECT_EQ(Bytes(buffer.begin() + 3, buffer.end()), expected);
  EXPECT_EQ(Saved(CATT_STRU{}), (Bytes{'A', 'T', 'S', 'T', 1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(AttStru, LoadRefusesInconsistentInputAndKeepsWhatItHad) {
  const struct {
    const char* name;
    Bytes bytes;
  } refused[] = {
      {"bad-magic", With(testcln::structure({}), 3, 'X')},
      {"version-2", With(testcln::structure({}), 4, 2)},
      {"count-above-max", ManyFields(4097)},
      {"type-10", OneField(10, 0, 4, "a")},
      {"int16-length-4", OneField(3, 0, 4, "a")},
      {"text-length-0", OneField(1, 0, 0, "a")},
      {"text-length-65536", OneField(1, 0, 65536, "a")},
      {"double-decimals-16", OneField(7, 16, 8, "a")},
      {"name-empty", OneField(4, 0, 4, "")},
      {"name-32-bytes", OneField(4, 0, 4, std::string(32, 'n'))},
      {"name-with-nul", OneField(4, 0, 4, std::string("a\0b", 3))},
      {"duplicate-name", testcln::structure({{"a", 4, 4}, {"a", 4, 4}})},
      {"record-length-above-sum", With(OneField(4, 0, 4, "a"), 8, 5)},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.name);
    CATT_STRU s = TwoFields();
    EXPECT_EQ(Load(s, c.bytes), -1);
    EXPECT_EQ(s, TwoFields());
    EXPECT_EQ(s.RecordLength(), 18);
  }
  for (const Bytes& limit : {ManyFields(4096), OneField(1, 0, 65535, std::string(31, 'n')), OneField(7, 15, 8, "a")}) {
    CATT_STRU s;
    EXPECT_EQ(Load(s, limit), static_cast<std::int32_t>(limit.size()));
  }
  const Bytes good = Saved(TwoFields());
  const auto size = static_cast<std::int32_t>(good.size());
  CATT_STRU s;
  for (const auto& [buffer, length, offset] :
       {std::tuple{good.data(), size, -1}, {good.data(), size, size + 1}, {good.data(), -1, 0}, {nullptr, size, 0}})
    EXPECT_EQ(s.Load(buffer, length, offset), -1);
  EXPECT_EQ(s.Load(-1, 0), -1);
}

TEST(AttStru, LoadsFromMemoryAndFilesAndRefusesEveryTruncation) {
  const Bytes whole = Saved(EveryType());
  const auto size = static_cast<std::int32_t>(whole.size());
  const auto close = [](std::FILE* f) { std::fclose(f); };
  const std::unique_ptr<std::FILE, decltype(close)> file(std::tmpfile(), close);
  const int fd = ::fileno(file.get());
  ASSERT_EQ(EveryType().Save(fd, 3), size);
  EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 3 + size);  // the position is left after it
  CATT_STRU s;
  ASSERT_EQ(s.Load(fd, 3), size);
  EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 3 + size);
  EXPECT_EQ(s, EveryType());
  EXPECT_EQ(s.RecordLength(), 5 + 1 + 2 + 4 + 8 + 4 + 8 + 4 + 4);
  EXPECT_EQ(s.Load(fd, -1), -1);
  ASSERT_EQ(::pwrite(fd, whole.data(), whole.size(), 0), size);
  for (std::size_t length = whole.size(); length-- > 0;) {
    // Exactly sized, so a read past the end trips the address sanitizer.
    const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(Load(s, prefix), -1) << length;
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(length)), 0);
    EXPECT_EQ(s.Load(fd, 0), -1) << length;
  }
}

TEST(AttStru, EditsValidateFieldsAndKeepOffsetsCurrent) {
  // A field's shape is checked as loading checks it; uniqueness is the edits' own.
  CATT_STRU s = TwoFields();
  EXPECT_EQ(s.AddFld(Fld("area", T::Int32, 4)), S::BadName);
  EXPECT_EQ(s.AddFld(Fld("x", T::Date, 4, 1)), S::BadDecimals);
  EXPECT_EQ(s.InsertFld(3, Fld("x", T::Int8, 1)), S::NoSuchField);
  ASSERT_EQ(s.InsertFld(0, Fld("id", T::Int32, 4)), S::Ok);  // id 0, name 4, area 14
  EXPECT_EQ(s.ModifyFld(1, Fld("name", T::Text, 20)), S::Ok) << "keeping its own name";
  EXPECT_EQ(s.ModifyFld(1, Fld("area", T::Text, 20)), S::BadName);
  ASSERT_EQ(s.SwapFld(0, 2), S::Ok);  // area 0, name 8, id 28
  EXPECT_EQ(s.Field(2)->offset, 28);
  ASSERT_EQ(s.DelFld(0), S::Ok);  // the later fields move down
  EXPECT_EQ(s, Make({Fld("name", T::Text, 20), Fld("id", T::Int32, 4)}));
  EXPECT_EQ(s.Field(1)->offset, 20);
  EXPECT_EQ(s.RecordLength(), 24);
  CATT_STRU full;
  ASSERT_EQ(Load(full, ManyFields(CATT_STRU::kMaxFields)), static_cast<std::int32_t>(ManyFields(4096).size()));
  EXPECT_EQ(full.AddFld(Fld("one-more", T::Int8, 1)), S::TooManyFields);
}

TEST(AttStru, TypedValuesAreCheckedAndStoredLittleEndian) {
  const auto i64 = [](std::int64_t v) { return AttValue{v}; };
  // When Ok: the field's bytes in the record, and what reads back if not the value itself.
  struct Case {
    const char* name;
    T type;
    std::int32_t length;
    AttValue value;
    AttStatus status;
    Bytes stored;
    std::optional<AttValue> reads = {};
  };
  const Case cases[] = {
      {"int8-min", T::Int8, 1, i64(-128), S::Ok, {0x80}},
      {"int8-over", T::Int8, 1, i64(128), S::OutOfRange, {}},
      {"int64-min", T::Int64, 8, i64(INT64_MIN), S::Ok, {0, 0, 0, 0, 0, 0, 0, 0x80}},
      {"float-from-int", T::Float, 4, i64(2), S::Ok, {0, 0, 0, 0x40}, 2.0},
      {"float-over", T::Float, 4, 1e39, S::OutOfRange, {}},
      // FLT_MAX as it is written out rounds back to it; half a step further is infinite.
      {"float-max-text", T::Float, 4, 3.4028235e38, S::Ok, {0xff, 0xff, 0x7f, 0x7f}, 3.4028234663852886e38},
      {"float-rounds-to-inf", T::Float, 4, -0x1.ffffffp+127, S::OutOfRange, {}},
      {"float-nan", T::Float, 4, std::nan(""), S::OutOfRange, {}},
      {"double-inf", T::Double, 8, HUGE_VAL, S::OutOfRange, {}},
      {"text-full", T::Text, 4, std::string("abcd"), S::Ok, {'a', 'b', 'c', 'd'}},
      {"text-too-long", T::Text, 4, std::string("abcde"), S::OutOfRange, {}},
      {"text-with-nul", T::Text, 4, std::string("a\0b", 3), S::OutOfRange, {}},
      {"date-leap", T::Date, 4, AttDate{2024, 2, 29}, S::Ok, le32(20240229)},
      {"date-1900-not-leap", T::Date, 4, AttDate{1900, 2, 29}, S::OutOfRange, {}},
      {"date-april-31", T::Date, 4, AttDate{2024, 4, 31}, S::OutOfRange, {}},
      {"date-month-13", T::Date, 4, AttDate{2024, 13, 1}, S::OutOfRange, {}},
      {"time-last", T::Time, 4, AttTime{23, 59, 59, 999}, S::Ok, le32(86399999)},
      {"time-hour-24", T::Time, 4, AttTime{24, 0, 0, 0}, S::OutOfRange, {}},
      {"time-none", T::Time, 4, std::monostate{}, S::WrongValueKind, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The field sits behind a one-byte field, so its offset counts.
    const CATT_STRU s = Make({Fld("pad", T::Int8, 1), Fld("v", c.type, c.length)});
    Bytes record(static_cast<std::size_t>(s.RecordLength()), 0xAB);
    EXPECT_EQ(s.SetValue(record, 1, c.value), c.status);
    if (c.status != S::Ok) {
      EXPECT_EQ(record, Bytes(record.size(), 0xAB)) << "nothing written";
      continue;
    }
    EXPECT_EQ(Bytes(record.begin() + 1, record.end()), c.stored);
    AttValue back;
    EXPECT_EQ(s.GetValue(record, 1, back), S::Ok);
    EXPECT_EQ(back, c.reads.value_or(c.value));
  }
}

TEST(AttStru, ReadsRefuseStoredNonsenseAndShortRecords) {
  const CATT_STRU s = Make({Fld("d", T::Date, 4), Fld("t", T::Time, 4), Fld("s", T::Text, 4)});
  AttValue value;
  const auto read = [&](std::int64_t date, std::int64_t time, std::int16_t index, std::string text = {"ab\0c", 4}) {
    Bytes record = le32(date), t = le32(time);
    record.insert(record.end(), t.begin(), t.end());
    record.insert(record.end(), text.begin(), text.end());
    return s.GetValue(record, index, value);
  };
  EXPECT_EQ(read(20230229, 0, 0), S::OutOfRange);
  EXPECT_EQ(read(-20240101, 0, 0), S::OutOfRange);
  EXPECT_EQ(read(0, 86400000, 1), S::OutOfRange);
  ASSERT_EQ(read(0, 0, 2), S::Ok);
  EXPECT_EQ(value, AttValue{std::string("ab")});
  EXPECT_EQ(read(0, 0, 0, "abc"), S::RecordTooShort);
  EXPECT_EQ(read(0, 0, 3), S::NoSuchField);
  Bytes shortRecord(11);
  EXPECT_EQ(s.SetValue(shortRecord, 0, std::monostate{}), S::RecordTooShort);
}

}  // namespace
