// The core's GBK codec: the user-defined areas that the C library leaves
// out, bytes that are not GBK, and characters GBK cannot hold.

#include <gtest/gtest.h>

#include "legendfile/gbk_codec.h"

namespace {

namespace gbk = legend::gbk;

TEST(GbkCodec, userDefinedCodesMapToPrivateUseCharactersAndBack) {
  // Run edges, and the trail bytes either side of 0x7F, which no code uses.
  const struct {
    const char* bytes;
    const char* utf8;
  } cases[] = {
      {"\xAA\xA1", "\xEE\x80\x80"},                        // U+E000, first of the first area
      {"\xFE\xFE", "\xEE\x93\x85"},                        // U+E4C5, last of the second area
      {"\xA1\x40", "\xEE\x93\x86"},                        // U+E4C6, third area
      {"\xA1\x7E", "\xEE\x94\x84"},                        // U+E504
      {"\xA1\x80", "\xEE\x94\x85"},                        // U+E505
      {"\xA7\xA0", "\xEE\x9D\xA5"},                        // U+E765, last of the third area
      {"\xFF", "\xEF\xA3\xB5"},                            // U+F8F5
      {"\x80", "\xE2\x82\xAC"},                            // the euro sign
      {"\xB3\xC7\xAA\xA1x", "\xE5\x9F\x8E\xEE\x80\x80x"},  // 城, U+E000, x
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(gbk::toUtf8(c.bytes), c.utf8);
    EXPECT_EQ(gbk::toUtf8ForDisplay(c.bytes), c.utf8);
    EXPECT_EQ(gbk::fromUtf8(c.utf8), c.bytes);
  }
}

TEST(GbkCodec, bytesThatAreNotGbkAreRefusedOrShownAsReplacements) {
  const struct {
    const char* bytes;
    const char* shown;
  } cases[] = {
      {"\x81\x30", "\xEF\xBF\xBD\x30"},          // a byte that cannot trail is read again
      {"\x81\x7F\x61", "\xEF\xBF\xBD\x7F\x61"},  // ... a DEL too
      {"ab\xB3", "ab"},                          // a lead byte cut off at the end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_FALSE(gbk::toUtf8(c.bytes));
    EXPECT_EQ(gbk::toUtf8ForDisplay(c.bytes), c.shown);
  }
}

TEST(GbkCodec, charactersGbkLacksAndMalformedUtf8AreRefusedNeverDropped) {
  for (const char* utf8 : {"\xF0\x9F\x98\x80",   // an emoji
                           "a\xF3\xA0\x80\x81",  // U+E0001, which the C library would drop
                           "\xEE\xA4\x80",       // U+E900, a private character without a code
                           "\xC0\xAF",           // an overlong '/'
                           "\xED\xA0\x80",       // a surrogate
                           "\xE5\x9F"})          // cut short
    EXPECT_FALSE(gbk::fromUtf8(utf8)) << utf8;
}

}  // namespace
