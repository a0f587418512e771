// The GBK codec at the Qt boundary, and the pad's tip labels, whose GBK
// bytes are spelled out by hand in the core and only a decoder can check.

#include <gtest/gtest.h>

#include <string>

#include "components/base/gbk_text.h"
#include "legendfile/legend_set.h"
#include "support/cln_builder.h"

namespace {

using namespace Qt::StringLiterals;
using legend::GbkFieldError;

// 城市, 河流, 省会 and 湖 in GBK, written out so the codec is not checked
// against itself.
const std::string kCity = "\xb3\xc7\xca\xd0", kRiver = "\xba\xd3\xc1\xf7", kCapital = "\xca\xa1\xbb\xe1";
const std::string kLake = "\xba\xfe";

TEST(GbkText, decodesAndEncodesKnownBytes) {
  EXPECT_EQ(legend::decodeGbk(kCity), u"城市"_s);
  EXPECT_EQ(legend::encodeGbk(u"河流"_s), kRiver);
  const QString mixed = u"A1 城市-河流 (测试)"_s;
  const auto bytes = legend::encodeGbk(mixed);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(legend::decodeGbk(*bytes), mixed);
}

TEST(GbkText, refusesWhatAFieldCannotHoldButKeepsRealQuestionMarks) {
  // The encoder substitutes '?' for what it cannot encode; a real '?' must
  // not be taken for that.
  EXPECT_EQ(legend::encodeGbk(u"why?"_s), std::string("why?"));
  EXPECT_FALSE(legend::encodeGbk(u"城市😀"_s));
  const legend::GbkEncodeResult emoji = legend::encodeGbkField(u"😀"_s);
  EXPECT_EQ(emoji.error, GbkFieldError::NotRepresentable);
  EXPECT_FALSE(emoji);
  EXPECT_TRUE(emoji.bytes.empty());
  // A NUL would end the stored text early.
  EXPECT_EQ(legend::encodeGbkField(u"ab"_s + QChar(u'\0') + u"cd"_s).error, GbkFieldError::NotRepresentable);
}

TEST(GbkText, fieldHoldsAtMost127Bytes) {
  struct Case {
    const char* label;
    QString text;
    GbkFieldError error;
    std::size_t length;
  };
  const QString wide63(63, QChar(u'城'));
  const Case cases[] = {
      {"127-ascii", QString(127, QChar(u'a')), GbkFieldError::None, 127},
      {"128-ascii", QString(128, QChar(u'a')), GbkFieldError::TooLong, 128},
      {"126-wide-plus-1", wide63 + u'a', GbkFieldError::None, 127},
      {"128-wide", wide63 + u'城', GbkFieldError::TooLong, 128},
      {"empty", QString(), GbkFieldError::None, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const legend::GbkEncodeResult result = legend::encodeGbkField(c.text);
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(result.encodedLength, c.length);
    EXPECT_EQ(result.bytes.size(), c.error == GbkFieldError::None ? c.length : 0u);
  }
  EXPECT_EQ(legend::encodeGbkField(u"abcd"_s, 3).error, GbkFieldError::TooLong);
}

TEST(GbkText, decodesAFieldCutInsideACharacter) {
  // A name cut at 127 bytes may end on a lead byte.
  const QString text = legend::decodeGbk("ab" + kCity.substr(0, 3));
  EXPECT_TRUE(text.startsWith(u"ab城"_s));
  EXPECT_LE(text.size(), 4);
}

// The tip shows the display position, the type name, the head's texts, the
// class code and the block size, labelled in Chinese.
TEST(TipText, labelsDecodeToTheShownTexts) {
  testcln::Legend region, point, line;
  region.type = 2, region.name = kRiver, region.description = kLake, region.classCode = -7;
  region.block = testcln::block(testcln::params(2, 1));
  point.type = 1, point.name = kCity, point.description = kCapital, point.classCode = 1234;
  point.block = testcln::block(testcln::params(1, 2));
  line.type = 0;
  line.block = testcln::block(testcln::params(0, 3), {}, {1, 2, 3});
  testcln::TempDir dir;
  testcln::write(dir / "tip.CLN", testcln::file({region, point, line}));

  legend::LegendSet set;
  ASSERT_EQ(set.setPath((dir / "tip.CLN").string()), legend::LegendStatus::Ok);
  ASSERT_EQ(set.reload(), legend::LegendStatus::Ok);
  EXPECT_EQ(legend::decodeGbk(set.tipText(0)), u"序号:0\n类型:点图例\n名称:城市\n描述:省会\n分类码:1234\n大小:102字节"_s);
  EXPECT_EQ(legend::decodeGbk(set.tipText(1)), u"序号:1\n类型:线图例\n名称:\n描述:\n分类码:0\n大小:78字节"_s);
  EXPECT_EQ(legend::decodeGbk(set.tipText(2)), u"序号:2\n类型:区图例\n名称:河流\n描述:湖\n分类码:-7\n大小:71字节"_s);
  EXPECT_TRUE(set.tipText(3).empty());
}

}  // namespace
