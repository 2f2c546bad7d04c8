// The general settings, the colour dialog and the paragraph dialog driven through their
// controls and the command paths.
#include "shell/SettingsDialogs.h"

#include "core/Text.h"
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"
#include "ui/EnglishTexts.h"
#include "ui/UICommands.h"

#include <QApplication>
#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <filesystem>

namespace qor::shell {
namespace {

using namespace ui;

const std::filesystem::path kData = std::filesystem::path(QOR_SOURCE_DIR) / "data";

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        for (const char* f : {"rtext.txt", "etext.txt"})
            std::filesystem::copy_file(kData / f, dir / f);
        s.ProgramFolder = dir.path();
        s.Report = &report;
        Screen().SetDialogs(&dialogs);
        hooks.RefreshAll = [this] { ++refreshes; };
        hooks.RefreshAllWithStars = [this] { ++starRefreshes; };
        hooks.TableFont = [this] { return tableFont; };
        hooks.SetTableFont = [this](const FontSpec& f) { tableFont = f; };
        hooks.GraphFont = [this] { return graphFont; };
        hooks.SetGraphFont = [this](const FontSpec& f) { graphFont = f; };
        hooks.WindowFont = [this] { return windowFont; };
        hooks.SetWindowFont = [this](const FontSpec& f) { windowFont = f; };
        hooks.SaveFontSetting = [this] { ++fontSaves; };
    }
    void TearDown() override {
        for (const char* n : {"GenSet", "Colorf", "Paragr", "Interp"})
            while (TForm* f = Screen().FindForm(n)) delete f;
        Screen().SetDialogs(nullptr);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    test::TempDir dir;
    test::RecordingReport report;
    AnsweringDialogs dialogs;
    AstroDat s;
    ShellHooks hooks;
    int refreshes = 0, starRefreshes = 0, fontSaves = 0;
    FontSpec tableFont{1, 0, "DejaVu Sans Mono", 10, 0};
    FontSpec graphFont{1, 0, "DejaVu Sans", 9, 0};
    FontSpec windowFont{1, 0, "DejaVu Sans", 8, 0};
};

TEST_F(SettingsTest, EveryOptionChangeRecomputes) {
    auto* g = new TGenSet(s, hooks);
    g->show();
    UICommands cmd(s);
    EXPECT_EQ(refreshes, 0); // building the window changed nothing
    GeneralOptions opt;
    g->CopyTo(opt);
    EXPECT_TRUE(opt.HorParallax);
    EXPECT_TRUE(opt.TrueNodes);
    EXPECT_FALSE(opt.UseEllipsoid);
    EXPECT_EQ(opt.RiseGroup, 0);

    cmd.RunUICommand("GenSet,MoonParall", "False");
    cmd.RunUICommand("GenSet,NodeCheckBox", "False");
    cmd.RunUICommand("GenSet,EEBox", "True");
    g->RiseGroup->SetItemIndex(2);
    EXPECT_EQ(refreshes, 4);
    g->CopyTo(opt);
    EXPECT_FALSE(opt.HorParallax);
    EXPECT_FALSE(opt.TrueNodes);
    EXPECT_TRUE(opt.UseEllipsoid);
    EXPECT_EQ(opt.RiseGroup, 2);

    // Light time: the state flag and a recomputation with the stars; while closing, a plain one.
    g->LightSpeed->SetChecked(false);
    EXPECT_FALSE(s.UseLightTime);
    EXPECT_EQ(starRefreshes, 1);
    hooks.Closing = [] { return true; };
    g->LightSpeed->SetChecked(true);
    EXPECT_TRUE(s.UseLightTime);
    EXPECT_EQ(starRefreshes, 1);
    EXPECT_EQ(refreshes, 5);

    g->SoundCheckBox->SetChecked(false);
    EXPECT_FALSE(s.SoundOn);
    g->PrecessGroup->SetItemIndex(2);
    EXPECT_EQ(g->Precession(), StarPrecession::Dynamic);
    g->PrinterFontRadioGroup->SetItemIndex(1);
    EXPECT_EQ(g->PrinterFont(), PrinterGlyphFont::WinStar);
    EXPECT_EQ(HintOf(g->BckRealStartBox), GetMsgText(s, 149));
}

TEST_F(SettingsTest, TabsBringTheirPanelForward) {
    auto* g = new TGenSet(s, hooks);
    g->show();
    EXPECT_TRUE(g->Panel->isVisible());
    EXPECT_FALSE(g->FontPanel->isVisible());
    g->TabControl->Bar()->setCurrentIndex(1); // as the user's click does
    EXPECT_TRUE(g->FontPanel->isVisible());
    EXPECT_FALSE(g->Panel->isVisible());
}

TEST_F(SettingsTest, TheTableFontMustBeFixedPitch) {
    EXPECT_TRUE(IsFixedPitchFont({1, 0, "DejaVu Sans Mono", 10, 0}));
    EXPECT_FALSE(IsFixedPitchFont({1, 0, "DejaVu Sans", 10, 0}));
    auto* g = new TGenSet(s, hooks);
    s.EnglishMode = true;

    dialogs.fontAnswers.push_back({1, 0, "DejaVu Sans", 12, 0});
    g->CourierButton->Click();
    EXPECT_EQ(tableFont.name, "DejaVu Sans Mono"); // refused
    EXPECT_EQ(fontSaves, 0);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], GetMsgText(s, 164, "DejaVu Sans"));
    EXPECT_EQ(dialogs.asked.back().kind, MsgKind::Error);

    dialogs.fontAnswers.push_back({1, 0, "Liberation Mono", 11, 0});
    g->CourierButton->Click();
    EXPECT_EQ(tableFont.name, "Liberation Mono");
    EXPECT_EQ(fontSaves, 1);

    // A cancelled dialog changes nothing; the graph font redraws.
    g->FontButton->Click();
    EXPECT_EQ(windowFont.name, "DejaVu Sans");
    dialogs.fontAnswers.push_back({1, 0, "Liberation Serif", 9, fsBold});
    g->GraphButton->Click();
    EXPECT_EQ(graphFont.name, "Liberation Serif");
    EXPECT_EQ(fontSaves, 2);
    EXPECT_EQ(refreshes, 1);
}

TEST_F(SettingsTest, ToolPanelFloatsOnTheMainWindow) {
    auto* main = new TForm("Form1");
    auto* panel = main->Add<TPanel>("ToolPanel", {0, 0, 300, 28});
    int resizes = 0;
    main->show();
    main->OnResize = [&] { ++resizes; };
    auto* g = new TGenSet(s, hooks);
    g->ToolCheckBox->SetChecked(true);
    EXPECT_FALSE(panel->isVisible());
    g->ToolCheckBox->SetChecked(false);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(resizes, 2);
    delete main;
}

TEST_F(SettingsTest, ColourValueIsBlueGreenRed) {
    EXPECT_EQ(JoinColorValue({0, 128, 255}), 0xFF8000u);
    const RgbParts p = SplitColorValue(0xFF8000);
    EXPECT_EQ(p.red, 0);
    EXPECT_EQ(p.green, 128);
    EXPECT_EQ(p.blue, 255);

    // The dialog starts from spins that differ in every part: the loading never computes a
    // colour from half-loaded values.
    TColorf::ColorValue = 0x0A141E;
    auto* c = CreateColorForm();
    c->show();
    EXPECT_EQ(c->SpinEdit1->Value(), 0x1E);
    TColorf::ColorValue = 0xFF8000;
    c->ResButton->Click(); // loads SavedColor (0): remember first
    TColorf::ColorValue = 0xFF8000;
    c->SaveButton->Click();
    c->hide();
    c->show();
    EXPECT_EQ(c->SpinEdit1->Value(), 0);
    EXPECT_EQ(c->SpinEdit2->Value(), 128);
    EXPECT_EQ(c->SpinEdit3->Value(), 255);
    EXPECT_EQ(c->TrackBar1->Position(), 0);
    EXPECT_EQ(c->TrackBar2->Position(), 128);
    EXPECT_EQ(c->TrackBar3->Position(), 255);
    EXPECT_EQ(TColorf::ColorValue, 0xFF8000u);

    // The user moves a track bar: its spin and the colour follow.
    c->TrackBar2->SetPosition(10);
    EXPECT_EQ(c->SpinEdit2->Value(), 10);
    EXPECT_EQ(TColorf::ColorValue, 0xFF0A00u);
    // and a spin: its track bar follows.
    c->SpinEdit1->SetValue(200);
    EXPECT_EQ(c->TrackBar1->Position(), 200);
    EXPECT_EQ(TColorf::ColorValue, 0xFF0AC8u);
    // The remembered colour comes back.
    c->ResButton->Click();
    EXPECT_EQ(TColorf::ColorValue, 0xFF8000u);
    EXPECT_EQ(c->SpinEdit2->Value(), 128);
    // The swatch shows the colour inside a white outline.
    const QImage img = c->PaintBox1->grab().toImage();
    EXPECT_EQ(img.pixelColor(img.width() / 2, img.height() / 2), QColor(0, 128, 255));
    EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::white));
}

// And back: the three parts typed through the command paths give $FF8000.
TEST_F(SettingsTest, ColourFromThePartsThroughTheCommandPaths) {
    TColorf::ColorValue = 0x123456;
    auto* c = CreateColorForm();
    c->show();
    UICommands cmd(s);
    cmd.RunUICommand("Colorf,SpinEdit1", "0");
    cmd.RunUICommand("Colorf,SpinEdit3", "255");
    cmd.RunUICommand("Colorf,TrackBar2", "128");
    EXPECT_EQ(TColorf::ColorValue, 0xFF8000u);
    EXPECT_EQ(c->SpinEdit2->Value(), 128);
    // The timer after showing takes the colour from the spins once more.
    TColorf::ColorValue = 0;
    c->Timer1->OnTimer();
    EXPECT_EQ(TColorf::ColorValue, 0xFF8000u);
    EXPECT_FALSE(c->Timer1->Enabled());
}

TEST_F(SettingsTest, ColourDialogModalResult) {
    QTimer::singleShot(0, [] {
        auto* c = dynamic_cast<TColorf*>(Screen().FindForm("Colorf"));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->SpinEdit3->Value(), 255);
        c->SpinEdit3->SetValue(0);
        c->Button1->Click();
    });
    const std::optional<uint32_t> chosen = ChooseColorValue(0xFF8000);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, 0x008000u);
}

class ParagraphTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        interp = new TForm("Interp");
        text = new QTextEdit(interp->Client());
        interp->Register(text, Kind::Memo, "Memo");
        text->setPlainText("One paragraph of some length.\nAnd another.");
        interp->show();
        p = new TParagr;
    }
    TForm* interp = nullptr;
    QTextEdit* text = nullptr;
    TParagr* p = nullptr;
};

// Millimetres become pixels at the text's resolution (25.4 mm to the inch): at 96 dpi
// "20;10;10" is 76 pixels left, 38 right and 38 for the first line; at 120 dpi 94, 47, 47.
TEST_F(ParagraphTest, IndentsAtNinetySixAndOneHundredTwentyDpi) {
    EXPECT_EQ(MillimetresToPixels(254, 96), 960);
    struct Case {
        double dpi;
        int left, right, first;
    } cases[] = {{96, 76, 38, 38}, {120, 94, 47, 47}, {144, 113, 57, 57}};
    for (const Case& c : cases) {
        p->Dpi = c.dpi;
        p->Edit->SetText("20;10;10");
        p->WrapBox->SetChecked(false);
        p->WrapBox->SetChecked(true); // the spins take the saved indents
        EXPECT_EQ(p->LeftSpin->Value(), 20);
        EXPECT_EQ(p->FirstSpin->Value(), 10);
        p->Button1->Click();
        const ParagraphPixels px = ParagraphFormatOf(text);
        EXPECT_EQ(px.left, c.left) << c.dpi;
        EXPECT_EQ(px.right, c.right) << c.dpi;
        EXPECT_EQ(px.first, c.first) << c.dpi;
        EXPECT_TRUE(px.wrap);
        EXPECT_EQ(text->document()->lastBlock().blockFormat().leftMargin(), c.left);
    }
}

TEST_F(ParagraphTest, UnwrappingClearsTheIndentsAndKeepsTheSavedNumbers) {
    p->Dpi = 96;
    p->WrapBox->SetChecked(true);
    p->LeftSpin->SetValue(15);
    p->Button1->Click();
    EXPECT_EQ(p->Edit->Text(), "15;10;10");
    p->WrapBox->SetChecked(false);
    EXPECT_EQ(p->LeftSpin->Value(), 0);
    p->Button1->Click();
    const ParagraphPixels px = ParagraphFormatOf(text);
    EXPECT_EQ(px.left, 0);
    EXPECT_EQ(px.right, 0);
    EXPECT_EQ(px.first, 0);
    EXPECT_FALSE(px.wrap);
    EXPECT_EQ(p->Edit->Text(), "15;10;10");

    // At start-up the text's word wrap decides: off, so the spins are 0.
    ApplyParagraphSettings(*p);
    EXPECT_FALSE(p->WrapBox->Checked());
    EXPECT_EQ(p->RightSpin->Value(), 0);
    // on: the saved numbers are applied.
    text->setLineWrapMode(QTextEdit::WidgetWidth);
    ApplyParagraphSettings(*p);
    EXPECT_TRUE(p->WrapBox->Checked());
    EXPECT_EQ(p->LeftSpin->Value(), 15);
    EXPECT_EQ(ParagraphFormatOf(text).left, 57);
    // Fields that are no numbers read as 0.
    const ParagraphIndents bad = ParseIndentText("x;12;");
    EXPECT_EQ(bad.left, 0);
    EXPECT_EQ(bad.right, 12);
    EXPECT_EQ(bad.first, 0);
}

TEST_F(SettingsTest, HelpTopicPagesExistInBothLanguages) {
    for (const char* topic : {"general_setup.html", "parses.html", "astro_calculator.html"}) {
        for (const char* folder : {"Manual", "EManual"}) {
            const std::filesystem::path page = kData / folder / topic;
            EXPECT_TRUE(std::filesystem::exists(page)) << page;
            const std::string index = test::TempDir::Read(kData / folder / "index.html");
            EXPECT_NE(index.find(std::string("href=\"") + topic), std::string::npos) << folder;
        }
    }
    EXPECT_EQ(TGenSet(s, hooks).HelpTopic(), "general_setup.html");
}

TEST_F(SettingsTest, EnglishLinesCoverTheDialogs) {
    std::vector<TForm*> forms = {new TGenSet(s, hooks), new TColorf, new TParagr};
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(kData / "English.txt", lines).ok());
    EXPECT_EQ(EnglishCoverageProblems(forms, lines, true), std::vector<std::string>{});
}

} // namespace
} // namespace qor::shell
