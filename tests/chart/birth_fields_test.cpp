// Typing into the fixed-shape fields of the birth-data window and the check made when a field
// is left: tables of keystrokes and of texts, accepted or refused.
#include "chart/BirthFields.h"
#include "core/ChartMoment.h"

#include "core/Text.h"
#include "ui/Keys.h"

#include <gtest/gtest.h>

namespace qor::chart {
namespace {

namespace vk = ui::vk;
const std::string kDeg(1, '\xB0');

// Types the keys from caret 1 into the text; digits and letters as their characters.
FieldEdit Type(FieldShape f, const std::string& start, const std::vector<int>& keys) {
    FieldEdit e{start, 1};
    for (int k : keys) OvertypeKey(f, e, k);
    return e;
}

std::vector<int> Keys(const std::string& typed) {
    std::vector<int> k;
    for (char c : typed) {
        if (c == '+')
            k.push_back(vk::OemPlus);
        else if (c == '-')
            k.push_back(vk::OemMinus);
        else if (c == '>')
            k.push_back(vk::Right);
        else if (c == '<')
            k.push_back(vk::Left);
        else
            k.push_back(static_cast<unsigned char>(c));
    }
    return k;
}

TEST(BirthFields, TypingOvertypesAndKeepsTheMask) {
    struct Case {
        FieldShape f;
        std::string start, typed, text;
        int caret;
    } cases[] = {
        // separators stay: a digit typed on "." is dropped and the caret passes it
        {FieldShape::Date, "01.01.2000", "05031990", "05.31.9000", 9},
        {FieldShape::Date, "01.01.2000", "05 03 1990", "05.03.1990", 11},
        {FieldShape::Date, "01.01.2000", "123", "12.01.2000", 4},
        {FieldShape::Time, "00:00:00", "21 30 05", "21:30:05", 9},
        {FieldShape::Time, "00:00:00", "213005", "21:00:00", 7},
        {FieldShape::Time, "", "09", "09      ", 3},
        // letters do nothing in date and time
        {FieldShape::Date, "01.01.2000", "AB", "01.01.2000", 1},
        // latitude: digits over digits and blanks; the hemisphere toggles only within its pair
        {FieldShape::Latitude, "00" + kDeg + "00'N", "55>45>S", "55" + kDeg + "45'S", 8},
        {FieldShape::Latitude, "00" + kDeg + "00'N", ">>>>>>E", "00" + kDeg + "00'N", 7},
        {FieldShape::Latitude, "00" + kDeg + "00'N", "123", "12" + kDeg + "00'N", 4},
        {FieldShape::Longitude, "000" + kDeg + "00'E", "037>37>W", "037" + kDeg + "37'W", 9},
        {FieldShape::Longitude, "000" + kDeg + "00'W", ">>>>>>>N", "000" + kDeg + "00'W", 8},
        // zone: sign, then 0 or 1 for the tens of hours, the colon never changes
        {FieldShape::Zone, "+00:00", "-0530", "-05:00", 4}, // the colon takes nothing
        {FieldShape::Zone, "+00:00", "-05>30", "-05:30", 7},
        {FieldShape::Zone, "+00:00", "+2", "+00:00", 2},
        {FieldShape::Zone, "+00:00", "+14>00", "+14:00", 7},
        {FieldShape::Zone, "+00:00", "5", "+00:00", 1},
    };
    for (const Case& c : cases) {
        const FieldEdit e = Type(c.f, c.start, Keys(c.typed));
        EXPECT_EQ(e.text, c.text) << c.start << " typed " << c.typed;
        EXPECT_EQ(e.caret, c.caret) << c.start << " typed " << c.typed;
    }
}

TEST(BirthFields, CaretKeysStayInsideTheField) {
    FieldEdit e{"00:00:00", 1};
    OvertypeKey(FieldShape::Time, e, vk::Left);
    EXPECT_EQ(e.caret, 1);
    OvertypeKey(FieldShape::Time, e, vk::End);
    EXPECT_EQ(e.caret, 9);
    OvertypeKey(FieldShape::Time, e, vk::Right);
    EXPECT_EQ(e.caret, 9);
    OvertypeKey(FieldShape::Time, e, '7'); // past the end: nothing
    EXPECT_EQ(e.text, "00:00:00");
    OvertypeKey(FieldShape::Time, e, vk::Home);
    OvertypeKey(FieldShape::Time, e, vk::Numpad0 + 1); // the numeric pad types digits too
    EXPECT_EQ(e.text, "10:00:00");
}

TEST(BirthFields, LeavingAFieldChecksItsValue) {
    struct Case {
        FieldShape f;
        std::string text;
        bool era;
        bool ok;
        std::string shown;
    } cases[] = {
        {FieldShape::Date, "05.03.1990", false, true, " 5.03.1990"},
        {FieldShape::Date, "29.02.2000", false, true, "29.02.2000"},
        {FieldShape::Date, "29.02.1900", false, false, ""}, // Gregorian: 1900 is no leap year
        {FieldShape::Date, "29.02.1500", false, true, "29.02.1500"}, // Julian: it is
        {FieldShape::Date, "29.02.2023", false, false, ""},
        {FieldShape::Date, "31.04.2020", false, false, ""},
        {FieldShape::Date, "00.00.2020", false, false, ""},
        {FieldShape::Date, "10.13.2020", false, false, ""},
        {FieldShape::Date, "01.01.0000", false, true, " 1.01.0001"},
        {FieldShape::Date, "10.10.1582", false, false, ""}, // dropped by the calendar reform
        {FieldShape::Date, "15.10.1582", false, true, "15.10.1582"},
        {FieldShape::Date, "29.02.0001", true, true, "29.02.0001"}, // 1 BC = year 0, a leap year
        {FieldShape::Date, "29.02.0002", true, false, ""},
        {FieldShape::Date, "1a.01.2000", false, false, ""}, // a letter is never a 0
        {FieldShape::Date, "  .  .    ", false, false, ""},
        {FieldShape::Time, "09:05:07", false, true, " 9:05:07"},
        {FieldShape::Time, "23:59:59", false, true, "23:59:59"},
        {FieldShape::Time, "24:00:00", false, false, ""},
        {FieldShape::Time, "12:60:00", false, false, ""},
        {FieldShape::Time, "12:00:6x", false, false, ""},
        {FieldShape::Latitude, "90" + kDeg + "00'N", false, true, "90" + kDeg + "00'N"},
        {FieldShape::Latitude, "90" + kDeg + "30'N", false, false, ""},
        {FieldShape::Latitude, "91" + kDeg + "00'S", false, false, ""},
        {FieldShape::Latitude, "05" + kDeg + "07'S", false, true, " 5" + kDeg + "07'S"},
        {FieldShape::Longitude, "180" + kDeg + "00'W", false, true, "180" + kDeg + "00'W"},
        {FieldShape::Longitude, "180" + kDeg + "01'E", false, false, ""},
        {FieldShape::Longitude, "181" + kDeg + "00'E", false, false, ""},
        {FieldShape::Longitude, "007" + kDeg + "60'E", false, false, ""},
        {FieldShape::Longitude, "000" + kDeg + "00'E", false, true, "  0" + kDeg + "00'E"},
        // zones from -12:00 to +14:00, the real ones of +12:45, +13:45 and +14:00 included
        {FieldShape::Zone, "-12:00", false, true, "-12:00"},
        {FieldShape::Zone, "-12:30", false, false, ""},
        {FieldShape::Zone, "+12:30", false, true, "+12:30"},
        {FieldShape::Zone, "+12:45", false, true, "+12:45"},
        {FieldShape::Zone, "+13:45", false, true, "+13:45"},
        {FieldShape::Zone, "+14:00", false, true, "+14:00"},
        {FieldShape::Zone, "+14:01", false, false, ""},
        {FieldShape::Zone, "-14:00", false, false, ""},
        {FieldShape::Zone, "+05:60", false, false, ""},
        {FieldShape::Zone, "05:00", false, false, ""},
    };
    for (const Case& c : cases) {
        const FieldCheck r = CheckField(c.f, c.text, c.era);
        EXPECT_EQ(r.ok, c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(r.text, c.shown) << c.text;
        }
    }
}

TEST(BirthFields, TypedThenLeft) {
    struct Case {
        FieldShape f;
        std::string start, typed;
        bool era, ok;
    } cases[] = {
        {FieldShape::Zone, "+00:00", "+13>45", false, true},
        {FieldShape::Zone, "+00:00", "-14>00", false, false},
        {FieldShape::Date, "01.01.2000", "29 02 1900", false, false},
        {FieldShape::Date, "01.01.2000", "29 02 1600", false, true},
        {FieldShape::Date, "01.01.2000", "29 02 0045", true, true}, // 45 BC: Julian leap year
        {FieldShape::Latitude, "00" + kDeg + "00'N", "91", false, false},
        {FieldShape::Longitude, "000" + kDeg + "00'E", "181", false, false},
        {FieldShape::Longitude, "000" + kDeg + "00'E", "180>00>W", false, true},
    };
    for (const Case& c : cases) {
        const FieldEdit e = Type(c.f, c.start, Keys(c.typed));
        EXPECT_EQ(CheckField(c.f, e.text, c.era).ok, c.ok) << e.text;
    }
}

TEST(BirthFields, RecordFieldsNeverCarryTheSeparator) {
    EXPECT_EQ(RecordSafeText("Smith; John"), "Smith, John");
    EXPECT_EQ(RecordSafeText("a\r\nb"), "a b");
    EXPECT_EQ(RecordSafeText("a;\r\nb", true), "a,\r\nb");
    EXPECT_EQ(MomentZoneText(-330), "-05:30");
    EXPECT_EQ(MomentZoneText(840), "+14:00");
}

} // namespace
} // namespace qor::chart
