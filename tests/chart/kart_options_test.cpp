// The chart colours and the dignity table as their memos hold them, and the flag strings.
#include "chart/KartOptions.h"

#include <gtest/gtest.h>

namespace qor::chart {
namespace {

TEST(KartOptions, DefaultDignitiesAreTheClassicalOnes) {
    const Dignities d = DecodeStatusMemo(DefaultStatusMemo());
    // body: 1 Sun .. 7 Saturn; signs 1 Aries .. 12 Pisces
    struct Row {
        int body;
        std::vector<int> rules, detriment, exalted, fall;
    } rows[] = {
        {1, {5}, {11}, {1}, {7}},        {2, {4}, {10}, {2}, {8}},
        {3, {3, 6}, {9, 12}, {6}, {12}}, {4, {2, 7}, {1, 8}, {12}, {6}},
        {5, {1, 8}, {2, 7}, {10}, {4}},  {6, {9, 12}, {3, 6}, {4}, {10}},
        {7, {10, 11}, {4, 5}, {7}, {1}},
    };
    for (const Row& r : rows)
        for (int sign = 1; sign <= 12; ++sign) {
            auto in = [sign](const std::vector<int>& v) {
                return std::find(v.begin(), v.end(), sign) != v.end();
            };
            EXPECT_EQ(d.Has(kRulership, sign, r.body), in(r.rules)) << r.body << " " << sign;
            EXPECT_EQ(d.Has(kDetriment, sign, r.body), in(r.detriment)) << r.body << " " << sign;
            EXPECT_EQ(d.Has(kExaltation, sign, r.body), in(r.exalted)) << r.body << " " << sign;
            EXPECT_EQ(d.Has(kFall, sign, r.body), in(r.fall)) << r.body << " " << sign;
        }
    for (int body = 8; body <= 16; ++body)
        for (int st = 1; st <= 4; ++st)
            for (int sign = 1; sign <= 12; ++sign) EXPECT_FALSE(d.Has(st, sign, body));
    const std::array<int, 13> rulers = {0, 5, 4, 3, 2, 1, 3, 4, 5, 6, 7, 7, 6};
    EXPECT_EQ(d.SignRulers(), rulers);
    EXPECT_EQ(EncodeStatusMemo(d), DefaultStatusMemo());
}

TEST(KartOptions, ShortStatusLinesLeaveTheRestUnset) {
    const Dignities d = DecodeStatusMemo({"1", "x1"});
    EXPECT_TRUE(d.Has(kRulership, 1, 1));
    EXPECT_FALSE(d.Has(kRulership, 2, 1));
    EXPECT_TRUE(d.Has(kRulership, 2, 2));
    EXPECT_FALSE(d.Has(kRulership, 1, 2));
    EXPECT_EQ(EncodeStatusMemo(d).size(), 16u);
}

TEST(KartOptions, ColourMemoIsReadByLineNumber) {
    const ChartColors def =
        DecodeColorMemo(DefaultColorMemo(), ChartColors{1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(def.HouseBelt, 16777183u);
    EXPECT_EQ(def.Water, 16770560u);
    EXPECT_EQ(def.KartBck, 15925247u);
    EXPECT_EQ(def.HouseContour, 0u);
    // the second line counts as the zodiac belt whatever its key; junk reads as 0; $ is hex
    const ChartColors c =
        DecodeColorMemo({"HouseBelt:$FF", "Other: 5 ;x;7", "BckGround:12", "Contur:0"});
    EXPECT_EQ(c.HouseBelt, 255u);
    EXPECT_EQ(c.ZodiacContour, 5u);
    EXPECT_EQ(c.Fire, 0u);
    EXPECT_EQ(c.Earth, 7u);
    EXPECT_EQ(c.Air, 0u); // missing fields
    EXPECT_EQ(EncodeColorMemo(ChartColors{0, 1, 2, 3, 4, 5, 6, 0})[0], "HouseBelt:00000000");
    EXPECT_EQ(EncodeColorMemo(ChartColors{})[1],
              "ZodiacBelt:16766886;13545727;12910532;12582911;16770560");
    EXPECT_EQ(DecodeColorMemo(EncodeColorMemo(ChartColors{})).Fire, ChartColors{}.Fire);
}

TEST(KartOptions, FlagStrings) {
    KartOptions o;
    o.Existing = "|\x97";
    o.TablAsp = "|";
    EXPECT_TRUE(o.PointShown(1));
    EXPECT_FALSE(o.PointShown(2));
    EXPECT_TRUE(o.PointShown(20)); // beyond the end: shown, as the grid pads it
    EXPECT_FALSE(o.PointInTable(20));
    o.DomShow = "\x97";
    EXPECT_FALSE(o.HouseShown(1));
    EXPECT_TRUE(o.HouseShown(12));
    EXPECT_EQ(FlagsOfLength("|\r\n|", 4, ' '), "||  ");
}

} // namespace
} // namespace qor::chart
