// English window texts laid over a small Russian window, the reading of "English.txt", the
// coverage check, and the saved form of fonts.
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"
#include "ui/EnglishTexts.h"
#include "ui/FontText.h"

#include "core/Files.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <memory>

namespace qor::ui {
namespace {

struct RussianWindow {
    std::unique_ptr<TForm> form = std::make_unique<TForm>("DataForm");
    TLabel* label;
    TSpeedButton* speed;
    TButton* button;
    TComboBox* combo;
    TRadioGroup* group;
    TTabControl* tabs;
    TCheckBox* check;
    TMenuItem* menu;
    TTrackBar* track;
    TEdit* edit;
    int trackRuns = 0;

    RussianWindow() {
        TForm& f = *form;
        f.SetCaption("Данные"_cp);
        label = f.Add<TLabel>("NameLabel");
        label->SetCaption("Имя"_cp);
        SetHint(label, "Имя карты"_cp);
        speed = f.Add<TSpeedButton>("GeoButton");
        speed->SetCaption("Карта"_cp);
        SetHint(speed, "Место с карты"_cp);
        button = f.Add<TButton>("OKBtn");
        button->SetCaption("&Выполнить"_cp);
        combo = f.Add<TComboBox>("ComboBox");
        combo->SetItems({"Транзит"_cp, "Синастрия"_cp, "Соляр"_cp});
        group = f.Add<TRadioGroup>("SexGroup");
        group->SetCaption("Пол"_cp);
        group->SetItems({"М"_cp, "Ж"_cp});
        tabs = f.Add<TTabControl>("Tabs");
        tabs->SetTabs({"Один"_cp, "Два"_cp});
        check = f.Add<TCheckBox>("EraCheckBox");
        check->SetCaption("до н.э."_cp);
        menu = f.AddMenuItem("N81", "Файл"_cp);
        track = f.Add<TTrackBar>("TrackBar");
        track->OnChange = [this] { ++trackRuns; };
        edit = f.Add<TEdit>("CityEdit");
    }
};

class EnglishTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        s.ProgramFolder = dir.path();
        s.Report = &report;
    }
    test::TempDir dir;
    test::RecordingReport report;
    AstroDat s;
};

constexpr const char* kEnglish = " Stray;before any form\r\n"
                                 "DataForm;Birth data\r\n"
                                 " NameLabel;Name\r\n"
                                 " NameLabel\\Hint;Name of the chart\r\n"
                                 "\r\n"
                                 " GeoButton\\Hint;Place from the map\r\n"
                                 " OKBtn\\Hint;&Apply\r\n"
                                 " ComboBox;Transit,Synastry\r\n"
                                 " SexGroup;Sex,M,F,unknown\r\n"
                                 " Tabs;One,Two,Three\r\n"
                                 " EraCheckBox;BC;ignored\r\n"
                                 " N81;File\r\n"
                                 " TrackBar;0\r\n"
                                 " CityEdit;London\r\n"
                                 " NoSuchControl;x\r\n"
                                 "OtherForm;Other\r\n"
                                 " NameLabel;Not this one\r\n";

TEST_F(EnglishTest, TextsGoToCaptionsHintsAndItems) {
    RussianWindow w;
    dir.Write("English.txt", Cp(kEnglish));
    EnglishTexts english(s);
    ASSERT_TRUE(english.LoadEnglishTexts());
    EXPECT_TRUE(s.EnglishMode);
    EXPECT_EQ(w.form->Caption(), "Birth data");
    EXPECT_EQ(w.label->Caption(), "Name");
    EXPECT_EQ(HintOf(w.label), "Name of the chart");
    EXPECT_EQ(w.speed->Caption(), "Карта"_cp); // a speed button's hint entry sets only its hint
    EXPECT_EQ(HintOf(w.speed), "Place from the map");
    EXPECT_EQ(w.button->Caption(), "&Apply"); // a button's hint entry sets its caption
    EXPECT_EQ(w.combo->Items(), (std::vector<std::string>{"Transit", "Synastry", "Соляр"_cp}));
    EXPECT_EQ(w.group->Caption(), "Sex");
    EXPECT_EQ(w.group->Items(), (std::vector<std::string>{"M", "F"})); // no third item to take
    EXPECT_EQ(w.tabs->Tabs(), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(w.check->Caption(), "BC");
    EXPECT_EQ(w.menu->Caption(), "File");
    EXPECT_EQ(w.trackRuns, 1); // the position is set and the handler runs, moved or not
    EXPECT_EQ(w.edit->Text(), "London");
    EXPECT_TRUE(report.messages.empty());
}

TEST_F(EnglishTest, OneWindowTakesOnlyItsOwnSection) {
    RussianWindow w;
    dir.Write("English.txt",
              "OtherForm;Other\r\n NameLabel;Wrong\r\nDataForm;\r\n NameLabel;Name\r\n"
              "Third;T\r\n NameLabel;Wrong too\r\n");
    EnglishTexts english(s);
    english.ApplyEnglishToForm("DataForm");
    EXPECT_EQ(w.label->Caption(), "Name");
    EXPECT_EQ(w.form->Caption(), "Данные"_cp); // an empty caption leaves it, the section opens
}

TEST_F(EnglishTest, FileIsReadOnceAndAMissingOneReportedOnce) {
    RussianWindow w;
    EnglishTexts english(s);
    EXPECT_FALSE(english.LoadEnglishTexts());
    english.ApplyEnglishToForm("DataForm");
    english.ApplyEnglishToForm("DataForm");
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_NE(report.messages[0].text.find("English.txt"), std::string::npos);
    EXPECT_EQ(w.form->Caption(), "Данные"_cp); // the window keeps going in Russian
    EXPECT_FALSE(s.EnglishMode);

    EnglishTexts again(s);
    dir.Write("English.txt", "DataForm;First\r\n");
    again.ApplyEnglishToForm("DataForm");
    dir.Write("English.txt", "DataForm;Second\r\n");
    again.ApplyEnglishToForm("DataForm");
    EXPECT_EQ(w.form->Caption(), "First");
}

TEST_F(EnglishTest, CoverageFindsMissingLinesAndLinesWithoutComponents) {
    RussianWindow w;
    const std::vector<std::string> lines = {"DataForm;Birth data", " NameLabel;Name", " Ghost;x",
                                            "GhostForm;y"};
    const auto problems = EnglishCoverageProblems({w.form.get()}, lines);
    auto has = [&](const std::string& p) {
        return std::find(problems.begin(), problems.end(), p) != problems.end();
    };
    EXPECT_TRUE(has("DataForm,Ghost: no such component"));
    EXPECT_TRUE(has("GhostForm: no such window"));
    EXPECT_TRUE(has("DataForm,NameLabel: no English hint"));
    EXPECT_TRUE(has("DataForm,GeoButton: no English text"));
    EXPECT_TRUE(has("DataForm,ComboBox: no English text"));
    EXPECT_TRUE(has("DataForm,N81: no English text"));
    EXPECT_FALSE(has("DataForm,NameLabel: no English text"));
    EXPECT_FALSE(has("DataForm,CityEdit: no English text")); // edits are the user's
    EXPECT_FALSE(has("DataForm: no English caption"));
}

TEST_F(EnglishTest, SectionsOfOtherWindowsArePassedOverWhenAsked) {
    RussianWindow w;
    const std::vector<std::string> lines = {" Early;x", "DataForm;Birth data", "Elsewhere;E",
                                            " Anything;y", "DataForm;Again"};
    const auto problems = EnglishCoverageProblems({w.form.get()}, lines, true);
    auto has = [&](const std::string& p) {
        return std::find(problems.begin(), problems.end(), p) != problems.end();
    };
    EXPECT_TRUE(has("Early;x: before the first window"));
    EXPECT_TRUE(has("DataForm: a second section"));
    EXPECT_FALSE(has("Elsewhere: no such window"));
    EXPECT_FALSE(has("Elsewhere,Anything: no such component"));
}

// The shipped file keeps its grammar; each window's own test checks its section.
TEST_F(EnglishTest, ShippedFileIsWellFormed) {
    std::vector<std::string> lines;
    ASSERT_TRUE(
        ReadTextLines(std::filesystem::path(QOR_SOURCE_DIR) / "data" / "English.txt", lines).ok());
    EXPECT_EQ(EnglishCoverageProblems({}, lines, true), std::vector<std::string>{});
    for (const auto& l : lines)
        for (unsigned char c : l) EXPECT_GE(c, 0x20) << l;
}

TEST(FontTextTest, FieldsAreCharsetColourNameSizeStyle) {
    FontSpec f;
    f.charset = 204, f.color = 0, f.name = "Courier New", f.size = 10, f.style = 0;
    EXPECT_EQ(EncodeFontText(f), "204;0;Courier New;10;0");

    FontSpec g;
    ASSERT_TRUE(DecodeFontText("204;0;Arial;12;3", g));
    EXPECT_EQ(g.charset, 204);
    EXPECT_EQ(g.name, "Arial");
    EXPECT_EQ(g.size, 12);
    EXPECT_EQ(g.style, fsBold | fsItalic);
    test::QtApp();
    const QFont q = ToQFont(g);
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.italic());
    EXPECT_EQ(q.pointSize(), 12);

    ASSERT_TRUE(DecodeFontText("999;x;Times;;1", g));
    EXPECT_EQ(g.charset, 255);
    EXPECT_EQ(g.color, 0u);
    EXPECT_EQ(g.size, 0);
    const FontSpec before = g;
    EXPECT_FALSE(DecodeFontText("", g));
    EXPECT_EQ(g, before);
}

} // namespace
} // namespace qor::ui
