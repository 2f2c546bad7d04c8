// Handing an atlas place on: the split of the name text, the zone, the map place, size codes.
#include "core/AstroDat.h"
#include "core/Text.h"
#include "geo/AtlasPlace.h"
#include "support/RecordingReport.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using test::RecordingReport;

TEST(AtlasPlace, NameTextSplitsAtTheFirstComma) {
    struct Case {
        const char *text, *city, *country;
    };
    const Case cases[] = {{"Moscow, Russian Federation", "Moscow", "Russian Federation"},
                          {"Springfield, Illinois, USA", "Springfield", "Illinois, USA"},
                          {"Lonely", "Lonely", ""},
                          {"", "", ""}};
    for (const auto& c : cases) {
        const auto [city, country] = SplitCityCountry(c.text);
        EXPECT_EQ(city, c.city);
        EXPECT_EQ(country, c.country);
    }
}

struct ShippedPlaces : ::testing::Test {
    AstroDat s;
    RecordingReport report;
    Atlas a;
    void SetUp() override {
        s.ProgramFolder = fs::path(QOR_SOURCE_DIR) / "data";
        s.Report = &report;
        s.EnglishMode = true;
        ASSERT_TRUE(LoadAtlas(s, a));
        FilterAtlas(s, a);
    }
    int Row(const std::string& name, const std::string& zone) {
        for (std::size_t r = 0; r < a.list.size(); ++r)
            if (TrimRight(a.list[r].Name()) == name &&
                AtlasRowZoneName(a, static_cast<int>(r)) == zone)
                return static_cast<int>(r);
        return -1;
    }
};

TEST_F(ShippedPlaces, TakenPlacesCarryTheirZoneAtTheMoment) {
    struct Case {
        const char *city, *zone, *country, *winter, *summer;
    };
    const Case cases[] = {{"Moscow", "Europe/Moscow", "Russian Federation", "+03:00", "+03:00"},
                          {"Madrid", "Europe/Madrid", "Spain", "+01:00", "+02:00"},
                          {"Kolkata", "Asia/Kolkata", "India", "+05:30", "+05:30"},
                          {"New York", "America/New_York", "New York, USA", "-05:00", "-04:00"}};
    for (const auto& c : cases) {
        const int r = Row(c.city, c.zone);
        ASSERT_GE(r, 0) << c.city;
        const AtlasPlace jan = TakeAtlasPlace(s, a, r, {2020, 1, 15, 12});
        EXPECT_EQ(jan.city, c.city);
        EXPECT_EQ(jan.country, c.country);
        EXPECT_EQ(jan.dT, c.winter) << c.city;
        EXPECT_EQ(TakeAtlasPlace(s, a, r, {2020, 7, 15, 12}).dT, c.summer) << c.city;
    }
    // Moscow in 1985 summer: the zone history, with summer time.
    const AtlasPlace m = TakeAtlasPlace(s, a, Row("Moscow", "Europe/Moscow"), {1985, 7, 15, 12});
    EXPECT_EQ(m.zone.source, ZoneSource::History);
    EXPECT_EQ(m.dT, "+04:00");
    EXPECT_EQ(m.lat, "55\xB0"
                     "45'N");
    EXPECT_TRUE(report.messages.empty());
}

TEST_F(ShippedPlaces, MapPlaceOfARow) {
    const int r = Row("Sydney", "Australia/Sydney");
    ASSERT_GE(r, 0);
    ASSERT_TRUE(SetAtlasMapPlace(a, r));
    EXPECT_EQ(a.AtlasMapLat, -(33 * 60 + 52));
    EXPECT_EQ(a.AtlasMapLong, 151 * 60 + 12);
    EXPECT_EQ(a.AtlasMapPending, 1);
    EXPECT_FALSE(SetAtlasMapPlace(a, -1));
}

TEST(CitySize, CodesOfTheSizeEditor) {
    struct Case {
        uint16_t code;
        int sizeClass, side;
        const char* label;
    };
    const Case cases[] = {
        {0, 5, 0, "05"}, {23, 3, 2, "23"}, {9, 9, 0, "09"}, {71, 1, 3, "31"}, {30, 5, 3, "35"}};
    for (const auto& c : cases) {
        const CitySizeCode z = CitySizeOf(c.code);
        EXPECT_EQ(z.sizeClass, c.sizeClass) << c.code;
        EXPECT_EQ(z.side, c.side) << c.code;
        EXPECT_EQ(z.Label(), c.label) << c.code;
    }
}

} // namespace
} // namespace qor
