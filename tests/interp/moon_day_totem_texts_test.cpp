// The shipped texts of the Moon in the signs, the days of the Moon and the solar-calendar
// totems through the program's own readers, in both languages: the Moon-in-sign window's base
// reader for every sign, the numbered-section reader of the texts of the day for every number
// its count can give. Each key finds a text of its own, in the language asked for.
#include "NatalReportSupport.h"

#include "interp/DayTexts.h"
#include "interp/MoonSgn.h"
#include "interp/TextBases.h"

#include <set>

namespace qor::interp {
namespace {

using namespace test_support;

class MoonDayTotemTextsTest : public ReportFrame {
protected:
    void SetUp() override {
        ReportFrame::SetUp();
        fs::create_directory_symlink(fs::path(QOR_SOURCE_DIR) / "data" / "Txt", dir / "Txt");
    }
    void Language(bool english) {
        s.EnglishMode = english;
        MakeWriter();
    }
    static std::string Joined(const std::vector<std::string>& lines) {
        std::string out;
        for (const auto& l : lines) out += l + " ";
        return out;
    }
    // A text in its language: code page 1251 Cyrillic letters (0xC0..0xFF) only in Russian,
    // Latin letters only in English.
    static void ExpectLanguage(const std::string& text, bool english) {
        bool cyrillic = false, latin = false;
        for (unsigned char c : text) {
            cyrillic = cyrillic || c >= 0xC0;
            latin = latin || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        }
        EXPECT_EQ(cyrillic, !english);
        EXPECT_EQ(latin, english);
    }
};

TEST_F(MoonDayTotemTextsTest, EveryMoonSignInTheWindowsReader) {
    for (bool english : {false, true}) {
        SCOPED_TRACE(english ? "en" : "ru");
        Language(english);
        MoonSignBase base;
        IoResult error;
        const std::string name = TextBaseSettings::Defaults(english)[BaseId::MoonMed].file;
        ASSERT_EQ(base.Use(s, name, error), MoonSignBase::Load::Read) << name;
        std::set<std::string> texts;
        for (int sign = 1; sign <= 12; ++sign) {
            const std::string text = Joined(base.SignText(sign));
            EXPECT_GE(text.size(), 1000u) << sign; // one byte a character
            ExpectLanguage(text, english);
            texts.insert(text);
        }
        EXPECT_EQ(texts.size(), 12u);
        EXPECT_TRUE(base.SignText(13).empty());
    }
}

// Every number the counts can give: the Moon's days 1..30, the year symbols 1..32, the months
// 1..13 (the 13th for the closing days) and the days of a month 1..30.
TEST_F(MoonDayTotemTextsTest, EveryNumberInTheTextsOfTheDay) {
    struct Case {
        BaseId base;
        int count;
    };
    for (const Case c : {Case{BaseId::Moon, 30}, Case{BaseId::Totem, 32},
                         Case{BaseId::TotemMes, 13}, Case{BaseId::TotemDay, 30}})
        for (bool english : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(c.base)) + (english ? " en" : " ru"));
            Language(english);
            std::set<std::string> texts;
            for (int n = 1; n <= c.count + 1; ++n) {
                bool found = false;
                w->Run([&] { found = NumberedSectionText(*w, c.base, n); });
                EXPECT_EQ(found, n <= c.count) << n;
                if (n > c.count) break;
                const std::string text = Joined(Lines());
                EXPECT_GE(text.size(), 600u) << n;
                ExpectLanguage(text, english);
                texts.insert(text);
            }
            EXPECT_EQ(texts.size(), static_cast<std::size_t>(c.count));
            EXPECT_EQ(Messages(), std::vector<std::string>{});
        }
}

} // namespace
} // namespace qor::interp
