// The GBK codec at the Qt boundary, and the pad's tip labels, whose GBK
// bytes are spelled out by hand in the core and only a decoder can check.

#include <gtest/gtest.h>

#include "components/codec/gbk_text.h"
#include "legendfile/legend_set.h"
#include "support/cln_builder.h"

namespace {

using namespace Qt::StringLiterals;
using legend::GbkFieldError;

// 城市, 河流, 省会 and 湖 in GBK, written out so the codec is not checked
// against itself.
const std::string kCity = "\xb3\xc7\xca\xd0", kRiver = "\xba\xd3\xc1\xf7", kCapital = "\xca\xa1\xbb\xe1";
const std::string kLake = "\xba\xfe";

TEST(GbkText, convertsKnownBytesAndRefusesWhatAFieldCannotHoldButKeepsRealQuestionMarks) {
  EXPECT_EQ(legend::decodeGbk(kCity), u"城市"_s);
  EXPECT_TRUE(legend::decodeGbk("ab" + kCity.substr(0, 3)).startsWith(u"ab城"_s));  // cut inside a character
  EXPECT_EQ(legend::encodeGbk(u"河流"_s), kRiver);
  // The encoder substitutes '?' for what it cannot encode; a real '?' must
  // not be taken for that.
  EXPECT_EQ(legend::encodeGbk(u"why?"_s), std::string("why?"));
  EXPECT_FALSE(legend::encodeGbk(u"城市😀"_s));
  // A lone surrogate must not pass as the '?' that UTF-8 conversion puts for it.
  EXPECT_FALSE(legend::encodeGbk(u"ab"_s + QChar(0xD800)));
  const legend::GbkEncodeResult emoji = legend::encodeGbkField(u"😀"_s);
  EXPECT_EQ(emoji.error, GbkFieldError::NotRepresentable);
  EXPECT_TRUE(emoji.bytes.empty());
  // A NUL would end the stored text early.
  EXPECT_EQ(legend::encodeGbkField(u"ab"_s + QChar(u'\0') + u"cd"_s).error, GbkFieldError::NotRepresentable);
}

TEST(GbkText, fieldHoldsAtMost127BytesHoweverWideTheCharacters) {
  const QString wide63(63, QChar(u'城'));
  struct Case {
    QString text;
    GbkFieldError error;
    std::size_t length;
  };
  const Case cases[] = {{QString(127, u'a'), GbkFieldError::None, 127},
                        {QString(128, u'a'), GbkFieldError::TooLong, 128},
                        {wide63 + u'a', GbkFieldError::None, 127},
                        {wide63 + u'城', GbkFieldError::TooLong, 128}};
  for (const Case& c : cases) {
    const legend::GbkEncodeResult result = legend::encodeGbkField(c.text);
    EXPECT_EQ(result.error, c.error) << c.length;
    EXPECT_EQ(result.encodedLength, c.length);
    EXPECT_EQ(result.bytes.size(), c.error == GbkFieldError::None ? c.length : 0u);
  }
}

// The tip shows the display position, the type name, the head's texts, the
// class code and the block size, labelled in Chinese.
TEST(TipText, labelsDecodeToTheShownTexts) {
  testcln::TempDir dir;
  testcln::write(dir / "tip.CLN",
                 testcln::file({{.name = kRiver,
                                 .description = kLake,
                                 .type = 2,
                                 .classCode = -7,
                                 .block = testcln::block(testcln::params(2, 1))},
                                {.name = kCity,
                                 .description = kCapital,
                                 .type = 1,
                                 .classCode = 1234,
                                 .block = testcln::block(testcln::params(1, 2))},
                                {.type = 0, .block = testcln::block(testcln::params(0, 3), {}, {1, 2, 3})}}));
  legend::LegendSet set;
  ASSERT_EQ(set.setNewFile((dir / "tip.CLN").string()), legend::LegendStatus::Ok);
  EXPECT_EQ(legend::decodeGbk(set.tipText(0)),
            u"序号:0\n类型:点图例\n名称:城市\n描述:省会\n分类码:1234\n大小:102字节"_s);
  EXPECT_EQ(legend::decodeGbk(set.tipText(1)), u"序号:1\n类型:线图例\n名称:\n描述:\n分类码:0\n大小:78字节"_s);
  EXPECT_EQ(legend::decodeGbk(set.tipText(2)), u"序号:2\n类型:区图例\n名称:河流\n描述:湖\n分类码:-7\n大小:71字节"_s);
}

}  // namespace
