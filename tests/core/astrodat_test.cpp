#include "core/AstroDat.h"
#include "core/Stepping.h"
#include "core/Text.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(Names, SignNamesByFlags) {
    AstroDat s;
    s.ShortNames = true;
    s.GlyphNames = true;
    EXPECT_EQ(SignName(s, 1), "Ari"); // abbreviations win over glyphs
    s.ShortNames = false;
    EXPECT_EQ(SignName(s, 1), "@");
    EXPECT_EQ(SignName(s, 12), "K");
    s.GlyphNames = false;
    EXPECT_EQ(SignName(s, 3), Cp(" Близнецы"));
    EXPECT_EQ(SignName(s, 13), SignName(s, 1));
    EXPECT_EQ(SignName(s, -1), Cp(" Овен    "));
    s.EnglishMode = true;
    EXPECT_EQ(SignName(s, 9), " Sagittarius");
    EXPECT_EQ(SignName(s, 5), " Leo     ");
}

TEST(Names, BodyNamesAndCusps) {
    AstroDat s;
    EXPECT_EQ(BodyName(s, 0), std::string(1, '\x10'));
    EXPECT_EQ(BodyName(s, 1), " "); // the Sun's glyph is a blank: never trim glyph strings
    EXPECT_EQ(BodyName(s, 16), "/");
    EXPECT_EQ(BodyName(s, 30), "5");
    s.GlyphNames = false;
    s.EnglishMode = true;
    EXPECT_EQ(BodyName(s, 30), "cusp of IV house");
    EXPECT_EQ(BodyName(s, 3), "Mercury   ");
    EXPECT_EQ(BodyName(s, 17), std::string(10, ' '));
    EXPECT_EQ(BodyName(s, 20), std::string(10, ' '));
    EXPECT_EQ(BodyName(s, 21), "cusp of  house");
    s.EnglishMode = false;
    EXPECT_EQ(BodyName(s, 11), Cp("Раху      "));
    EXPECT_EQ(BodyName(s, 27), Cp("куспид I-го дома"));

    EXPECT_EQ(CuspTitle(s, 4, false), "IC");
    EXPECT_EQ(CuspTitle(s, 10, true), Cp("Медиум Цели"));
    EXPECT_EQ(CuspTitle(s, 2, true), Cp("Куспид 2-го дома"));
    s.EnglishMode = true;
    EXPECT_EQ(CuspTitle(s, 4, false), "IC");
    EXPECT_EQ(CuspTitle(s, 2, true), "Cusp of 2 house");
    EXPECT_EQ(CuspTitle(s, 1, true), "Ascendent");
}

TEST(Names, MonthsWeekdaysAndFiles) {
    AstroDat s;
    EXPECT_EQ(MonthName(s, 1), Cp("января  "));
    EXPECT_EQ(MonthName(s, 13), "");
    EXPECT_EQ(WeekDayShortName(s, 0), Cp("Вс"));
    EXPECT_EQ(WeekDayName(s, 6), Cp("Суббота"));
    EXPECT_EQ(DataFileName(s, 12), "codreg.ctm");
    EXPECT_EQ(DataFileName(s, 19), "");
    s.EnglishMode = true;
    EXPECT_EQ(MonthName(s, 9), "September");
    EXPECT_EQ(WeekDayShortName(s, 7), "");
    EXPECT_EQ(DataFileName(s, 12), "");
    EXPECT_EQ(DataFileName(s, 15), "geoc.atl");
    EXPECT_EQ(DataFileName(s, 19), "country.atl");
}

class MessageFile : public ::testing::Test {
protected:
    void SetUp() override {
        s.ProgramFolder = home.path();
        s.Report = &report;
        home.Write("rtext.txt", "### heading\r\n  7 seven\r\n7 not this\r\n007 nor this\r\n"
                                " 42 a % and % end_\r\n123 " +
                                    Cp("Ошибка: %") + "\r\n  7 second seven\r\n");
        home.Write("etext.txt", "  7 seven in English\n 42 b %\n");
    }
    test::TempDir home;
    test::RecordingReport report;
    AstroDat s;
};

TEST_F(MessageFile, FindsTheRightAlignedNumberOnly) {
    EXPECT_EQ(GetMsgText(s, 7), "seven");
    EXPECT_EQ(GetMsgText(s, 42, "X"), "a X and % end ");
    EXPECT_EQ(GetMsgText(s, 123, "5"), Cp("Ошибка: 5"));
    EXPECT_TRUE(report.messages.empty());
}

TEST_F(MessageFile, FollowsTheLanguage) {
    EXPECT_EQ(GetMsgText(s, 7), "seven");
    s.EnglishMode = true;
    EXPECT_EQ(GetMsgText(s, 7), "seven in English");
    EXPECT_EQ(GetMsgText(s, 42, "arg"), "b arg");
}

TEST_F(MessageFile, MissingNumberGivesEmptyTextReportedOnce) {
    EXPECT_EQ(GetMsgText(s, 8), "");
    EXPECT_EQ(GetMsgText(s, 8), "");
    EXPECT_EQ(GetMsgText(s, 1000), "");
    ASSERT_EQ(report.messages.size(), 2u);
    EXPECT_NE(report.messages[0].text.find("8"), std::string::npos);
}

TEST_F(MessageFile, MissingFileIsReportedWithItsName) {
    std::filesystem::remove(home / "rtext.txt");
    EXPECT_EQ(GetMsgText(s, 7), "");
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find(": rtext.txt"), std::string::npos);
}

TEST_F(MessageFile, ShippedFilesHaveTheStartUpTexts) {
    s.ProgramFolder = std::filesystem::path(QOR_SOURCE_DIR) / "data";
    for (bool english : {false, true}) {
        s.EnglishMode = english;
        EXPECT_FALSE(GetMsgText(s, 1).empty());
        EXPECT_NE(GetMsgText(s, 70, "Wrk").find("Wrk"), std::string::npos);
    }
    EXPECT_TRUE(report.messages.empty());
}

TEST(BuiltInTexts, WorkWithoutFiles) {
    AstroDat s;
    const std::string t = BuiltInMsgText(s, 2, "a.txt");
    EXPECT_EQ(t.rfind(Cp("Отсутствуют следующие файлы: ") + "\r\na.txt\r\n", 0), 0u);
    s.EnglishMode = true;
    EXPECT_NE(BuiltInMsgText(s, 2, "b").find("Impossible to run QOR"), std::string::npos);
    EXPECT_FALSE(BuiltInMsgText(s, 1).empty());
    EXPECT_EQ(BuiltInMsgText(s, 3), "");
}

TEST(StatusAndSound, CaptionIOCheckAndWav) {
    test::TempDir home;
    test::RecordingReport report;
    AstroDat s;
    s.Report = &report;
    s.ProgramFolder = home.path();
    s.MainTitle = "QOR 5.12";
    SetStatus(s, "busy");
    EXPECT_EQ(report.captions.back(), "busy   QOR 5.12");

    EXPECT_FALSE(IOCheck(s, 0, "x"));
    EXPECT_TRUE(report.messages.empty());
    EXPECT_TRUE(IOCheck(s, ENOENT, "yale.mdb"));
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0].text, std::string(std::strerror(ENOENT)) + ": yale.mdb");

    PlayDing(s); // no file: nothing
    EXPECT_TRUE(report.sounds.empty());
    home.Write("Ding.wav", "RIFF");
    PlayWav(s, "ding.WAV"); // found without regard to case
    EXPECT_EQ(report.sounds.size(), 1u);
    s.SoundOn = false;
    PlayDing(s);
    EXPECT_EQ(report.sounds.size(), 1u);
}

} // namespace
} // namespace qor
