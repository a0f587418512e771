// The GBK codec at the Qt boundary.

#include <gtest/gtest.h>

#include "components/codec/gbk_text.h"

namespace {

using namespace Qt::StringLiterals;
using legend::GbkFieldError;

// 城市 and 河流 in GBK, written out so the codec is not checked against itself.
const std::string kCity = "\xb3\xc7\xca\xd0", kRiver = "\xba\xd3\xc1\xf7";

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

}  // namespace
