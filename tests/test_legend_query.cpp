// Matching typed text against legend texts kept as GBK bytes.

#include "legendfile/legend_query.h"

#include <gtest/gtest.h>

namespace {

using legend::LegendQuery;

// "铁路" (railway) and "公路" (road) in GBK.
constexpr const char* kRailway = "\xcc\xfa\xc2\xb7";
constexpr const char* kRoad = "\xb9\xab\xc2\xb7";

TEST(LegendQueryTest, MatchesWholeGbkCharactersAndLatinLettersInEitherCase) {
  EXPECT_TRUE(LegendQuery("路").foundIn(kRailway));
  EXPECT_TRUE(LegendQuery(" 铁路 ").foundIn(std::string("A") + kRailway));
  EXPECT_FALSE(LegendQuery("铁路").foundIn(kRoad));
  EXPECT_TRUE(LegendQuery("rail").foundIn("Main RAILway"));
  // A trail byte that looks like a letter is no letter: 0x81 0x41 is one character.
  EXPECT_FALSE(LegendQuery("a").foundIn("\x81\x41"));
  // Nor does a match start inside a character: here 路 (0xC2 0xB7) spans two.
  EXPECT_FALSE(LegendQuery("路").foundIn("\x81\xc2\xb7\x41"));
  EXPECT_TRUE(LegendQuery("路").foundIn("\x81\xc2\xb7\x41\xc2\xb7"));
  // Text GBK cannot hold is in no name; blanks alone find nothing.
  EXPECT_FALSE(LegendQuery("🚆").foundIn(kRailway));
  EXPECT_TRUE(LegendQuery("   ").empty());
  EXPECT_FALSE(LegendQuery("   ").foundIn(kRailway));
}

}  // namespace
