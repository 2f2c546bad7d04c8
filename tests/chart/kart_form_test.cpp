// The natal-chart settings window: its defaults, the heliocentric and horizontal switches,
// the flag grids, the colour buttons and the settings files.
#include "ChartWindowsFixture.h"

#include "core/Files.h"
#include "core/SymbolFont.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "ui/WindowState.h"

#include <QCoreApplication>
#include <QImage>
#include <QThread>

namespace qor::chart {
namespace {

using namespace ui;

// The window's saved lines without its place.
std::vector<std::string> StateLines(const TForm& f) {
    std::vector<std::string> lines = WindowStateFiles::EncodeForm(f);
    lines.erase(lines.begin());
    return lines;
}

TEST_F(ChartWindowsTest, EveryOptionHasItsDefault) {
    KartOptions expected;
    expected.Existing = expected.Aspecting = expected.TablAsp = DefaultPointFlags(true);
    expected.Existing2 = expected.Aspecting2 = expected.TablAsp2 = DefaultPointFlags(true);
    expected.Elements = DefaultPointFlags(false);
    expected.DomShow = expected.DomAspecting = expected.DomTablAsp = DefaultHouseFlags();
    expected.Status = DecodeStatusMemo(DefaultStatusMemo());
    EXPECT_TRUE(kart->Options() == expected);
    // the controls the window holds beyond the options
    EXPECT_EQ(kart->ComboBox1->Text(), "Широта"_cp);
    EXPECT_EQ(kart->AscDegreeEdit->Text(), "000");
    EXPECT_EQ(kart->NchEdit->Text(), "default.nch");
    EXPECT_EQ(kart->HistListMax->Text(), "100");
    EXPECT_EQ(kart->TabControl->TabCount(), 9);
    EXPECT_EQ(kart->HouseComboBox->count(), 18);
    EXPECT_EQ(kart->ColorMemo->Lines(), DefaultColorMemo());
    EXPECT_EQ(kart->SLTrackBar->minimum(), -30);
    EXPECT_EQ(kart->BegTrackBar->maximum(), 150);
    EXPECT_EQ(kart->Pln2TrackBar->maximum(), 70);
    EXPECT_FALSE(kart->ALng->isEnabled());
    EXPECT_EQ(p->s.SignRuler[1], 5); // Mars rules Aries
    // the recompute hub reads the same controls
    p->ReadOptions();
    EXPECT_EQ(p->AspectOpt.AspectingMode, 'I');
    EXPECT_TRUE(p->GeneralOpt.BlackMoonFocus);
    EXPECT_TRUE(p->ChartOpt.ArtaButton);
}

TEST_F(ChartWindowsTest, HeliocentricModeOnAndOffRestoresTheAxisOptions) {
    kart->BckAscButton->SetChecked(true);
    kart->OutHsCheck->SetChecked(true);
    kart->ToHsCheck->SetChecked(true);
    kart->RABox->SetChecked(true);
    kart->RightDir->SetChecked(true);
    const std::vector<std::string> before = StateLines(*kart);
    const int runs = tech->RefreshCount;

    kart->HelioBox->SetChecked(true);
    EXPECT_TRUE(kart->DegreeButton->Checked());
    EXPECT_FALSE(kart->OutHsCheck->Checked());
    EXPECT_FALSE(kart->RABox->Checked());
    EXPECT_FALSE(kart->HouseComboBox->isEnabled());
    EXPECT_FALSE(data->TwoButton->isEnabled());
    EXPECT_TRUE(p->Flags.Ready);
    EXPECT_EQ(tech->RefreshCount, runs + 1); // one recompute, none for the forced controls

    kart->HelioBox->SetChecked(false);
    std::vector<std::string> after = StateLines(*kart);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(kart->HouseComboBox->isEnabled());
    EXPECT_TRUE(data->TwoButton->isEnabled());
}

TEST_F(ChartWindowsTest, BothModesOnAndOffGiveBackTheUsersSettings) {
    kart->BckAscButton->SetChecked(true);
    kart->OutHsCheck->SetChecked(true);
    kart->FromHsCheck->SetChecked(true);
    kart->AfetBox->SetChecked(true);
    kart->RightDir->SetChecked(true);
    const std::vector<std::string> before = StateLines(*kart);

    kart->HelioBox->SetChecked(true);
    kart->HorizontalBox->SetChecked(true);
    // the horizontal mode locks the heliocentric box without unchecking it
    EXPECT_TRUE(kart->HelioBox->Checked());
    EXPECT_FALSE(kart->HelioBox->isEnabled());
    EXPECT_FALSE(kart->LeftDir->isEnabled());
    kart->HorizontalBox->SetChecked(false);
    EXPECT_TRUE(kart->HelioBox->isEnabled());
    EXPECT_FALSE(kart->HouseComboBox->isEnabled()); // still heliocentric
    kart->HelioBox->SetChecked(false);
    EXPECT_EQ(StateLines(*kart), before);

    // the other order out, heliocentric off first, as the shutdown does it
    kart->HelioBox->SetChecked(true);
    kart->HorizontalBox->SetChecked(true);
    kart->HelioBox->SetChecked(false);
    EXPECT_FALSE(kart->HouseComboBox->isEnabled()); // horizontal still locks it
    kart->HorizontalBox->SetChecked(false);
    EXPECT_EQ(StateLines(*kart), before);
}

TEST_F(ChartWindowsTest, PlanetGridColumnsAndHeaders) {
    // a short string is padded by column when drawn, and the padded string is kept
    kart->Existing->SetText("|\x97");
    kart->TablAsp->SetText("|");
    kart->PlnPanel->show();
    kart->PlnGrid->resize(460, 600);
    (void)kart->PlnGrid->grab();
    EXPECT_EQ(kart->Existing->Text(), "|\x97" + std::string(24, '|'));
    EXPECT_EQ(kart->TablAsp->Text(), "|" + std::string(25, '\x97'));
    // a click toggles one point
    kart->PlnGridClick(1, 2);
    EXPECT_EQ(kart->Existing->Text()[1], '|');
    // the header: row 1's point is on, so every point goes off, also points not listed
    kart->RowPoint[26] = 0;
    kart->PlnGridClick(1, 0);
    EXPECT_EQ(kart->Existing->Text(), std::string(26, '\x97').replace(25, 1, "|"));
    kart->PlnGridClick(1, 0);
    EXPECT_EQ(kart->Options().Existing.substr(0, 25), std::string(25, '|'));
}

TEST_F(ChartWindowsTest, HouseAndDignityGrids) {
    kart->DomShow->SetText("||");
    EXPECT_TRUE(kart->Options().HouseShown(7)); // beyond the end: on
    kart->DomGridClick(1, 7);
    EXPECT_EQ(kart->DomShow->Text().size(), 7u);
    EXPECT_FALSE(kart->Options().HouseShown(7));
    kart->DomGridClick(1, 0); // house 1 on: all 12 off
    EXPECT_EQ(kart->DomShow->Text(), std::string(12, '\x97'));

    EXPECT_TRUE(kart->PlnStatus.Has(kRulership, 5, 1)); // the Sun rules Leo
    kart->StatusGridClick(kRulership, 1, 4 * 14 + 3);
    EXPECT_FALSE(kart->PlnStatus.Has(kRulership, 5, 1));
    EXPECT_TRUE(kart->StatusChanged);
    EXPECT_EQ(p->s.SignRuler[5], 0);
    const Dignities now = kart->PlnStatus;
    kart->StatusGridClick(kRulership, 1, 12 * 14 + 1); // right of the twelfth glyph
    EXPECT_TRUE(kart->PlnStatus == now);
    // the memo follows when the window closes
    kart->show();
    kart->Close();
    EXPECT_FALSE(kart->StatusChanged);
    EXPECT_EQ(kart->StatusMemo->Lines()[0].substr(0, 12), "000000000000");
    // the grids draw with the symbol font without failing
    kart->StatusPanel->show();
    (void)kart->StatusGrid->grab();
    (void)kart->DomGrid->grab();
}

// The dignity grid draws the sign glyphs of the symbol font: black where the body has the
// status, grey where it has not.
TEST_F(ChartWindowsTest, DignityGridDrawsTheSignGlyphs) {
    ASSERT_TRUE(ReadSymbolFontFile(std::filesystem::path(QOR_SOURCE_DIR) / "data" / "font16.fnt",
                                   p->Font.Glyphs)
                    .ok());
    kart->show();
    kart->TabControl->SetTabIndex(6);
    kart->TabControlChange();
    TDrawGrid* g = kart->StatusGrid;
    const QImage img = g->viewport()->grab().toImage();
    const QRect cell = g->visualRect(g->model()->index(1, kRulership)); // the Sun, rulership
    auto count = [&](int sign, QRgb colour) {
        int n = 0;
        const int x0 = cell.x() + (sign - 1) * 14;
        for (int y = cell.y(); y < cell.bottom(); ++y)
            for (int x = x0; x < x0 + 14 && x < img.width(); ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
        return n;
    };
    EXPECT_GT(count(5, qRgb(0, 0, 0)), 10);          // Leo
    EXPECT_EQ(count(1, qRgb(0, 0, 0)), 0);           // Aries
    EXPECT_GT(count(1, qRgb(0xC0, 0xC0, 0xC0)), 10); // in grey
}

TEST_F(ChartWindowsTest, ColourButtonsWriteTheMemo) {
    dialogs.colorAnswers = {0x123456, 0};
    kart->ZFireColor->Click();
    EXPECT_EQ(kart->Colors.Fire, 0x123456u);
    EXPECT_EQ(kart->ColorMemo->Lines()[1],
              "ZodiacBelt:16766886;01193046;12910532;12582911;16770560");
    kart->HContourColor->Click();
    EXPECT_EQ(kart->ColorMemo->Lines()[3], "Contur:00000000");
    kart->ColorButton->SetChecked(true); // the coloured background is the chart's own
    EXPECT_EQ(kart->Options().Background, WheelBackground::Colour);
}

TEST_F(ChartWindowsTest, ASettingsFileBringsBackEveryControl) {
    // change a little of everything, save it, change everything again, load it back
    kart->MinorCheck->SetChecked(true);
    kart->HouseComboBox->SetText("Кох"_cp);
    kart->DegreeButton->SetChecked(true);
    kart->AscDegreeEdit->SetText("123");
    kart->XGroup->SetItemIndex(1);
    kart->SelenaButton->SetChecked(true);
    kart->SizeTrackBar->SetPosition(-40);
    kart->Existing->SetText(std::string(26, '|').replace(3, 1, "\x97"));
    kart->DomTablAsp->SetText(std::string(12, '\x97'));
    kart->StatusGridClick(kFall, 8, 2 * 14);
    dialogs.colorAnswers = {0x00FF00};
    kart->BckColorButton->Click();
    kart->NchEdit->SetText("mine.nch");
    const KartOptions saved = kart->Options();

    dialogs.fileAnswers = {dir / "wrk" / "mine.nch"};
    kart->SaveButtonClick();
    ASSERT_TRUE(std::filesystem::exists(dir / "wrk" / "mine.nch"));
    // the dignities changed since the window opened go into the file
    const std::vector<std::string> savedLines = StateLines(*kart);
    EXPECT_EQ(kart->StatusMemo->Lines()[7].substr(38, 1), "1");

    kart->MinorCheck->SetChecked(false);
    kart->HouseComboBox->SetText("Плацидус"_cp);
    kart->LeftDir->SetChecked(false);
    kart->RightDir->SetChecked(true);
    kart->AscendButton->SetChecked(true);
    kart->AscDegreeEdit->SetText("0");
    kart->XGroup->SetItemIndex(2);
    kart->ArtaButton->SetChecked(true);
    kart->SizeTrackBar->SetPosition(90);
    kart->Existing->SetText("|");
    kart->DomTablAsp->SetText("|");
    kart->StatusGridClick(kFall, 8, 2 * 14);
    kart->StatusGridClick(kRulership, 2, 3 * 14);
    dialogs.colorAnswers = {0x0000FF};
    kart->BckColorButton->Click();
    kart->HelioBox->SetChecked(true);
    kart->NchEdit->SetText("other.nch");
    ASSERT_FALSE(kart->Options() == saved);

    dialogs.fileAnswers = {dir / "wrk" / "mine.nch"};
    kart->LoadButtonClick();
    EXPECT_TRUE(kart->Options() == saved);
    std::vector<std::string> loaded = StateLines(*kart);
    ASSERT_EQ(loaded.size(), savedLines.size());
    for (std::size_t i = 0; i < loaded.size(); ++i) EXPECT_EQ(loaded[i], savedLines[i]);
    EXPECT_TRUE(kart->PlnStatus.Has(kFall, 3, 8));
    EXPECT_TRUE(kart->HouseComboBox->isEnabled());
    EXPECT_TRUE(p->Flags.Ready);

    // saving over a file asks first; only Yes writes
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(dir / "wrk" / "mine.nch", bytes).ok());
    kart->MinorCheck->SetChecked(false);
    dialogs.fileAnswers = {dir / "wrk" / "mine.nch"};
    dialogs.messageAnswers = {MsgResult::No};
    kart->SaveButtonClick();
    std::string again;
    ReadFileBytes(dir / "wrk" / "mine.nch", again);
    EXPECT_EQ(again, bytes);
}

// A settings file the user made read-only is not replaced: the save says so.
TEST_F(ChartWindowsTest, SavingOverAReadOnlySettingsFileIsRefused) {
    p->s.EnglishMode = true;
    const auto file = dir / "wrk" / "mine.nch";
    std::filesystem::create_directories(file.parent_path());
    ASSERT_TRUE(WriteTextFileAtomic(file, {"kept"}).ok());
    const auto ro = std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                    std::filesystem::perms::others_read;
    std::filesystem::permissions(file, ro);
    dialogs.asked.clear();
    dialogs.fileAnswers = {file};
    dialogs.messageAnswers = {MsgResult::Yes}; // write over it
    kart->SaveButtonClick();
    EXPECT_EQ(dialogs.Messages().back(), "mine.nch is read-only");
    std::string bytes;
    ReadFileBytes(file, bytes);
    EXPECT_EQ(bytes, "kept\r\n");
    EXPECT_EQ(std::filesystem::status(file).permissions(), ro);
}

TEST_F(ChartWindowsTest, LoadingGivesReadyBackOnEveryWayOut) {
    // cancelled dialog
    kart->LoadButtonClick();
    EXPECT_TRUE(p->Flags.Ready);
    // a file that cannot be read
    dialogs.fileAnswers = {dir / "wrk" / "missing.nch"};
    std::filesystem::create_directories(dir / "wrk");
    kart->LoadButtonClick();
    EXPECT_TRUE(p->Flags.Ready);
    // lines of other windows and lines without a component are skipped
    WriteTextFileAtomic(dir / "wrk" / "odd.nch",
                        {"DataForm,NameEdit,x", "KartForm,", "KartForm,,True",
                         "KartForm,MinorCheck,True", "KartForm,ColorMemo,", "HouseBelt:1",
                         "ZodiacBelt:2;3;4;5;6", "//"});
    dialogs.fileAnswers = {dir / "wrk" / "odd.nch"};
    const int runs = tech->RefreshCount;
    kart->LoadButtonClick();
    EXPECT_TRUE(p->Flags.Ready);
    EXPECT_EQ(tech->RefreshCount, runs + 1);
    EXPECT_TRUE(kart->MinorCheck->Checked());
    EXPECT_EQ(kart->Colors.HouseBelt, 1u);
    EXPECT_EQ(kart->Colors.Water, 6u);
    EXPECT_EQ(kart->Colors.KartBck, ChartColors{}.KartBck); // a missing line keeps its colour
    EXPECT_EQ(kart->NchEdit->Text(), "odd.nch");
}

TEST_F(ChartWindowsTest, SeparatorEntriesOfTheComboBoxesAreUndone) {
    p->s.HouseSystem = 2;
    kart->show();
    kart->HouseComboBox->SetText("*****");
    const int runs = tech->RefreshCount;
    kart->HouseComboBoxChange();
    EXPECT_EQ(tech->RefreshCount, runs);
    p->Commands.Timer2().setInterval(0);
    for (int i = 0; i < 20 && kart->HouseComboBox->Text() != "Плацидус"_cp; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_EQ(kart->HouseComboBox->Text(), "Плацидус"_cp);
}

TEST_F(ChartWindowsTest, TheHintShowsTheSpotUnderThePointer) {
    kart->KartSpots = {"100;100;#15", "200;50;Sun"};
    EXPECT_TRUE(kart->ShowChartHint(203, 47));
    EXPECT_EQ(p->s.StatusText, "Sun");
    EXPECT_TRUE(kart->ShowChartHint(96, 104));
    EXPECT_EQ(p->s.StatusText, GetMsgText(p->s, 15));
    EXPECT_FALSE(kart->ShowChartHint(95, 100));
    EXPECT_EQ(p->s.StatusText, "");
    // a body's spot as the wheel writes it: the object's code after the text is not shown
    kart->KartSpots.push_back("300;300;Mars (R) 12°34'56\" Leo;p050");
    EXPECT_TRUE(kart->ShowChartHint(301, 299));
    EXPECT_EQ(p->s.StatusText, "Mars (R) 12°34'56\" Leo");

    // on the main window: the label above the spot, only while the hint box is on
    auto* main = new shell::TForm1(*p);
    p->Form1 = main;
    main->show();
    EXPECT_TRUE(kart->ShowChartHint(200, 50));
    EXPECT_TRUE(main->GeoNameLabel->isVisibleTo(main));
    EXPECT_EQ(main->GeoNameLabel->Caption(), "Sun");
    EXPECT_EQ(main->GeoNameLabel->x(), 200);
    EXPECT_EQ(main->GeoNameLabel->y() + main->GeoNameLabel->height() + 2, 50 + main->PaintBox->y());
    EXPECT_EQ(main->PaintBox->cursor().shape(), Qt::PointingHandCursor); // a 3-letter text
    kart->HintBox->SetChecked(false);
    EXPECT_TRUE(kart->ShowChartHint(200, 50));
    EXPECT_FALSE(main->GeoNameLabel->isVisibleTo(main));
    EXPECT_EQ(p->s.StatusText, "Sun");
    EXPECT_FALSE(kart->ShowChartHint(0, 0));
    EXPECT_FALSE(main->GeoNameLabel->isVisibleTo(main));
}

TEST_F(ChartWindowsTest, TheCoefficientBoxSetsTheDirectionsCoefficient) {
    kart->KoeffEdit->SetText("1.5");
    kart->KoeffCheckBox->SetChecked(true);
    EXPECT_DOUBLE_EQ(p->s.DirCoef, 1.5);
    kart->KoeffEdit->SetText("-2");
    kart->KoeffEdit->OnExit();
    EXPECT_DOUBLE_EQ(p->s.DirCoef, 1.0);
    kart->KoeffCheckBox->SetChecked(false);
    EXPECT_DOUBLE_EQ(p->s.DirCoef, 1.0);
    // the observer on another planet
    kart->ExMerButton->SetChecked(true);
    kart->ExterrBox->SetChecked(true);
    EXPECT_EQ(p->Flags.ExterrBody, 3);
    kart->ExterrBox->SetChecked(false);
    EXPECT_EQ(p->Flags.ExterrBody, 0);
}

} // namespace
} // namespace qor::chart
