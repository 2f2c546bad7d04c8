// The shipped texts of the Moon in the signs through the program's own reader, in both
// languages: the Moon-in-sign window's base reader for every sign. Each key finds a text of
// its own, in the language asked for.
#include "NatalReportSupport.h"

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
        int error = -1;
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

} // namespace
} // namespace qor::interp
