// The main window of the started program: keys and menu items (screen or window each opens),
// every item recorded, the export of the screen (BMP read back by an independent reader, PDF),
// the restoring of the default settings across runs, the main tick's duties, real time in the
// chart's zone, context help, and the command link against the core called directly.
#include "MainWindowFixture.h"
#include "app/Subsystems.h"
#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/ProgramFolder.h"
#include "core/Text.h"
#include "shell/ClipForm.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"
#include "shell/StartForms.h"
#include "shell/Tech.h"
#include "support/QtApp.h"
#include "support/TempDir.h"
#include "ui/EnglishTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace qor::shell {
namespace {

TEST_F(MainWindowTest, KeysOpenTheirScreenOrWindow) {
    struct Case {
        int key;
        Shift shift;
        char screen;        // the screen after the key, 0: unchanged
        const char* window; // the window shown, or nullptr
    };
    const Case cases[] = {
        {'A', 0, 'C', nullptr},
        {'R', 0, 'S', nullptr},
        {'U', 0, 'G', nullptr},
        {'Y', 0, 'W', nullptr},
        {vk::Space, 0, 'V', nullptr},
        {'F', 0, 0, "AspTabl"},
        {'G', 0, 0, "Calend"},
        {'P', 0, 0, "Star"},
        {'V', 0, 0, "AstroForm"},
        {'Z', 0, 0, "AstrCalc"},
        {'K', 0, 0, "MoonSgn"},
        {'D', 0, 0, "Dinamic"},
        {vk::OemSemicolon, 0, 0, "MovPln"},
        {vk::OemOpenBracket, 0, 0, "CHist"},
        {'L', 0, 0, "DataForm"},
        {'B', 0, 0, "Interp"},
        {'M', ssAlt, 0, "mStar"},
        {'T', ssCtrl, 0, "Tech"},
        {'F', ssShift, 0, nullptr}, // a letter with Shift is no command
    };
    for (const Case& c : cases) {
        CloseTools();
        const char before = program->Flags.ScreenMode;
        int key = c.key;
        form1->FormKeyDown(key, c.shift);
        EXPECT_EQ(program->Flags.ScreenMode, c.screen ? c.screen : before) << c.key;
        if (c.window) EXPECT_TRUE(Visible(c.window)) << c.key << " " << c.window;
        EXPECT_TRUE(form1->KeysEnabled);
    }
    // X toggles real time; Esc closes the first open tool window only.
    const bool rt = program->Flags.RealTimeMode;
    int x = 'X';
    form1->FormKeyDown(x, 0);
    EXPECT_NE(program->Flags.RealTimeMode, rt);
    CloseTools();
    form1->OpenToolWindow("Star");
    form1->OpenToolWindow("Deep");
    int esc = vk::Escape;
    form1->FormKeyDown(esc, 0);
    EXPECT_EQ(Visible("Star") + Visible("Deep"), 1);
    // While a key's command runs, another key is ignored.
    form1->KeysEnabled = false;
    const char mode = program->Flags.ScreenMode;
    int a = 'A';
    form1->FormKeyDown(a, 0);
    EXPECT_EQ(program->Flags.ScreenMode, mode);
}

TEST_F(MainWindowTest, MenuItemsOpenTheirWindowAndEveryItemIsRecorded) {
    const std::pair<const char*, const char*> cases[] = {{"N99", "Tab"},
                                                         {"N100", "Moon"},
                                                         {"N65", "AstroForm"},
                                                         {"N66", "AspTabl"},
                                                         {"N67", "StarConj"},
                                                         {"N68", "Star"},
                                                         {"N69", "Deep"},
                                                         {"N70", "Asterid"},
                                                         {"N71", "Asteroids"},
                                                         {"N72", "Pars"},
                                                         {"N73", "Sozv"},
                                                         {"N74", "Calend"},
                                                         {"N75", "MovPln"},
                                                         {"N77", "AstrCalc"},
                                                         {"N78", "Art"},
                                                         {"N85", "GenSet"},
                                                         {"N86", "KartForm"},
                                                         {"N87", "OrbitSet"},
                                                         {"N88", "sky"},
                                                         {"N89", "GeoSet"},
                                                         {"N92", "QorLoc"},
                                                         {"N94", "Dict"},
                                                         {"N96", "AboutBox"},
                                                         {"N46", "Find"},
                                                         {"N47", "Star"},
                                                         {"N52", "Deep"},
                                                         {"N49", "Asterid"},
                                                         {"N_OrbSetup", "OrbitSet"},
                                                         {"N_GeoSetup", "GeoSet"},
                                                         {"HistButton", "CHist"},
                                                         {"DataButton", "DataForm"},
                                                         {"TextButton", "Interp"},
                                                         {"DynButton", "Dinamic"}};
    for (const auto& [item, window] : cases) {
        CloseTools();
        form1->LastMenuItem.clear();
        if (auto* m = form1->Find<TMenuItem>(item))
            m->Click();
        else if (auto* b = form1->Find<TSpeedButton>(item))
            b->Click();
        else
            ADD_FAILURE() << "no item " << item;
        EXPECT_TRUE(Visible(window)) << item;
        EXPECT_EQ(form1->LastMenuItem, item);
    }
    // The ingress items give the table their body's name.
    CloseTools();
    form1->Find<TMenuItem>("Np5")->Click();
    EXPECT_EQ(Screen().FindForm("Moon")->Caption(), Cp("Ингрессии планеты Марс"));
    // A window nobody has built yet: a status text, nothing opens.
    form1->LastMenuItem.clear();
    EXPECT_EQ(form1->OpenToolWindow("Nowhere"), nullptr);
    EXPECT_NE(program->s.StatusText.find("Nowhere"), std::string::npos);
    // Every item of every menu, and the buttons, record themselves (the exit is answered No).
    dialogs.messageAnswers.assign(50, MsgResult::No);
    int items = 0;
    for (const Component& c : form1->Components()) {
        CloseTools();
        form1->LastMenuItem.clear();
        if (!ClickMainItem(c)) continue;
        EXPECT_EQ(form1->LastMenuItem, c.Name());
        ++items;
    }
    EXPECT_GT(items, 70);
    EXPECT_TRUE(form1->isVisible()); // the exit answered No
}

TEST_F(MainWindowTest, ScreenMenuAndHelpTopicsOfEachScreen) {
    const std::pair<const char*, std::string> cases[] = {{"Nnatal", "natal_chart.html"},
                                                         {"Ncosmos", "cosmos.html"},
                                                         {"Nsky", "celestial_sphere.html"},
                                                         {"Ngeo", "geographical_map.html"},
                                                         {"Nstarastr", "stars_and_asteroids.html"},
                                                         {"Nvoid", ""}};
    for (const auto& [item, page] : cases) {
        form1->Find<TMenuItem>(item)->Click();
        opened.clear();
        int f1 = vk::F1;
        form1->FormKeyDown(f1, 0);
        if (page.empty()) {
            EXPECT_TRUE(opened.empty());
        } else {
            ASSERT_EQ(opened.size(), 1u) << item;
            EXPECT_EQ(opened[0], page);
            // the page is shipped in both languages
            EXPECT_TRUE(fs::exists(kShippedData / "Manual" / page)) << page;
            EXPECT_TRUE(fs::exists(kShippedData / "EManual" / page)) << page;
        }
    }
    EXPECT_EQ(TForm1::HelpTopicOfScreen('M'), "movement_of_planets.html");
    for (const char* item : {"N97", "N98", "Glossary1"}) {
        opened.clear();
        form1->Find<TMenuItem>(item)->Click();
        EXPECT_EQ(opened.size(), 1u) << item;
    }
}

TEST_F(MainWindowTest, ScreenBitmapSavedUnderWrkOpensInAnIndependentReader) {
    // Give the screen something to show.
    ClearBuffer(*program->BufBitmap, Colour(0x00FF00));
    dialogs.fileAnswers.push_back(dir / "Wrk" / "shot"); // no point: ".bmp" is added
    ASSERT_TRUE(form1->SaveBitmapClick());
    const fs::path file = dir / "Wrk" / "shot.bmp";
    ASSERT_TRUE(fs::exists(file));
    const std::string cmd =
        "/usr/bin/python3 -c \"from PIL import Image; im = Image.open('" + file.string() +
        "'); print(im.size[0], im.size[1], im.convert('RGB').getpixel((3, 3)))\"";
    FILE* pipe = popen(cmd.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buf[200] = {};
    const std::size_t n = fread(buf, 1, sizeof buf - 1, pipe);
    ASSERT_EQ(pclose(pipe), 0);
    const std::string out(buf, n);
    const std::string expected = std::to_string(form1->PaintBox->width()) + " " +
                                 std::to_string(form1->PaintBox->height()) + " (0, 255, 0)\n";
    EXPECT_EQ(out, expected);
    EXPECT_EQ(program->BufBitmap->Width(), form1->PaintBox->width());

    // An existing file: only Yes overwrites; a name with a point is kept as it is.
    const std::string before = [&] {
        std::string b;
        ReadFileBytes(file, b);
        return b;
    }();
    ClearBuffer(*program->BufBitmap, Colour(0x0000FF));
    for (MsgResult answer : {MsgResult::No, MsgResult::Cancel}) {
        dialogs.fileAnswers.push_back(file);
        dialogs.messageAnswers.push_back(answer);
        EXPECT_FALSE(form1->SaveBitmapClick());
        std::string now;
        ReadFileBytes(file, now);
        EXPECT_EQ(now, before);
    }
    dialogs.fileAnswers.push_back(dir / "Wrk" / "screen.v2");
    EXPECT_TRUE(form1->SaveBitmapClick());
    EXPECT_TRUE(fs::exists(dir / "Wrk" / "screen.v2"));
}

TEST_F(MainWindowTest, PrintingToPdfMakesOneLandscapePage) {
    ClearBuffer(*program->BufBitmap, Colour(0xFF0000));
    dialogs.messageAnswers.push_back(MsgResult::Yes); // PDF
    dialogs.fileAnswers.push_back(dir / "Wrk" / "chart");
    ASSERT_TRUE(form1->PrintClick());
    std::string pdf;
    ASSERT_TRUE(ReadFileBytes(dir / "Wrk" / "chart.pdf", pdf).ok());
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_FALSE(fs::exists(dir / "Wrk" / "chart.pdf.tmp"));
    // one page, wider than high
    std::size_t pages = 0;
    for (std::size_t at = pdf.find("/Type /Page\n"); at != std::string::npos;
         at = pdf.find("/Type /Page\n", at + 1))
        ++pages;
    EXPECT_EQ(pages, 1u);
    const std::size_t box = pdf.find("/MediaBox [");
    ASSERT_NE(box, std::string::npos);
    double x0, y0, w, h;
    ASSERT_EQ(std::sscanf(pdf.c_str() + box, "/MediaBox [%lf %lf %lf %lf", &x0, &y0, &w, &h), 4);
    EXPECT_GT(w, h);
    // Cancelled: nothing printed.
    dialogs.messageAnswers.push_back(MsgResult::Cancel);
    EXPECT_FALSE(form1->PrintClick());
}

TEST_F(MainWindowTest, ChartPageIsRefusedBeforeTheStartUpEndsAndLeavesTheScreenAsItWas) {
    // Not ready: told, no question about the output, no file.
    program->Flags.Ready = false;
    const std::size_t asked = dialogs.asked.size();
    EXPECT_FALSE(form1->PrintClick());
    ASSERT_EQ(dialogs.asked.size(), asked + 1);
    EXPECT_NE(dialogs.asked.back().text.find(Cp("не готова")), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "Wrk" / "chart.pdf"));
    EXPECT_FALSE(fs::exists(dir / "Wrk" / "chart.pdf.tmp"));
    program->Flags.Ready = true;

    // Printed: the natal chart's page, whatever the screen; the wheel's hot spots, the rows and
    // the angle format as they were.
    ASSERT_TRUE(program->Svc.PrintPage);
    program->DrawScreen('W');
    const std::vector<std::string> spots = program->Svc.Screens['W'].Spots();
    ASSERT_FALSE(spots.empty());
    program->s.DMSFormat = 3;
    dialogs.messageAnswers.push_back(MsgResult::Yes); // PDF
    dialogs.fileAnswers.push_back(dir / "Wrk" / "natal");
    ASSERT_TRUE(form1->PrintClick());
    EXPECT_EQ(program->Svc.Screens['W'].Spots(), spots);
    EXPECT_EQ(program->s.DMSFormat, 3);
    const std::string cmd = "pdftotext -layout '" + (dir / "Wrk" / "natal.pdf").string() + "' -";
    FILE* pipe = popen(cmd.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string text;
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) text.append(buf, n);
    pclose(pipe);
    EXPECT_NE(text.find("QOR 5.12"), std::string::npos) << text;
    EXPECT_NE(text.find("Asc"), std::string::npos) << text;

    // A PDF file that cannot be written: told, nothing left behind.
    dialogs.messageAnswers.push_back(MsgResult::Yes);
    dialogs.fileAnswers.push_back(dir / "no such folder" / "natal.pdf");
    EXPECT_FALSE(form1->PrintClick());
    EXPECT_EQ(dialogs.asked.back().text, Cp("Печать невозможна"));
    EXPECT_FALSE(fs::exists(dir / "no such folder"));
}

// A start without saved state keeps the windows as they came as the default copies; "restore
// all settings" then brings a changed layout back to them at the next start.
TEST_F(MainWindowTest, AFreshStartKeepsItsStateAsTheDefaultCopies) {
    ASSERT_TRUE(fs::exists(dir / "main.dfl"));
    ASSERT_TRUE(fs::exists(dir / "form.dfl"));
    const QSize fresh = form1->size();
    const QSize moved = fresh + QSize(100, 60);
    std::string copy;
    ReadFileBytes(dir / "main.dfl", copy);
    EXPECT_NE(copy.find("Form1,Size,"), std::string::npos);
    form1->resize(moved);
    Stop(); // the shutdown writes main.ini; a later start leaves the copies alone
    const auto stamp = fs::last_write_time(dir / "main.dfl");
    Start();
    EXPECT_EQ(form1->size(), moved);
    EXPECT_EQ(fs::last_write_time(dir / "main.dfl"), stamp);
    dialogs.messageAnswers = {MsgResult::Yes, MsgResult::Ok};
    form1->RestoreDefaultsClick();
    EXPECT_EQ(dialogs.asked.back().text, GetMsgText(program->s, 5));
    Stop();
    Start();
    EXPECT_EQ(form1->size(), fresh);
}

TEST_F(MainWindowTest, RestoredDefaultsSurviveTheShutdownAndApplyAtTheNextStart) {
    // Without a default copy nothing is marked.
    fs::remove(dir / "main.dfl");
    fs::remove(dir / "form.dfl");
    dialogs.messageAnswers = {MsgResult::Yes};
    form1->RestoreDefaultsClick();
    ASSERT_FALSE(dialogs.asked.empty());
    EXPECT_EQ(dialogs.asked.back().text, GetMsgText(program->s, 7));
    EXPECT_FALSE(fs::exists(dir / "restore.flg"));

    const std::string mainDefault = "ScreenSize,1280,1024\r\nForm1,Prefer,VNOY\r\n";
    ASSERT_TRUE(SaveFileAtomic(dir / "main.dfl", mainDefault).ok());
    dialogs.messageAnswers = {MsgResult::Yes};
    form1->RestoreDefaultsClick();
    EXPECT_EQ(dialogs.asked.back().text, GetMsgText(program->s, 6));
    EXPECT_FALSE(fs::exists(dir / "restore.flg"));

    const std::string formDefault = "Nowhere,Size,1;2;3;4;\r\n";
    ASSERT_TRUE(SaveFileAtomic(dir / "form.dfl", formDefault).ok());
    dialogs.messageAnswers = {MsgResult::No};
    form1->RestoreDefaultsClick();
    EXPECT_FALSE(fs::exists(dir / "restore.flg"));
    dialogs.messageAnswers = {MsgResult::Yes};
    form1->RestoreDefaultsClick();
    EXPECT_EQ(dialogs.asked.back().text, GetMsgText(program->s, 5));
    EXPECT_TRUE(fs::exists(dir / "restore.flg"));

    // The shutdown writes the state of this run; the next start puts the defaults in place.
    Stop();
    std::string written;
    ReadFileBytes(dir / "main.ini", written);
    EXPECT_NE(written, mainDefault);
    Start();
    EXPECT_EQ(form1->Prefer->Text(), "VNOY");
    std::string formIni;
    ReadFileBytes(dir / "Form.ini", formIni); // the file's own name, not "form.ini"
    EXPECT_EQ(formIni, formDefault);
    EXPECT_FALSE(fs::exists(dir / "form.ini"));
    EXPECT_EQ(program->Flags.ScreenMode, 'V');
    EXPECT_FALSE(fs::exists(dir / "restore.flg"));
}

TEST_F(MainWindowTest, MainTickDuties) {
    AstroDat& s = program->s;
    // Precession mark by the arc-seconds gathered since the stars were computed.
    const std::pair<long long, int> marks[] = {{0, 0},    {1, 170},    {60, 170},
                                               {61, 172}, {1800, 172}, {1801, 173}};
    for (const auto& [n, code] : marks) EXPECT_EQ(TForm1::PrecessionMarkCode(n), code) << n;

    // The status text goes after 6 seconds, unless it begins with a blank.
    const auto now = std::chrono::system_clock::now();
    SetStatus(s, "fresh");
    s.StatusStamp = now - std::chrono::seconds(5);
    form1->MainClockTickRun();
    EXPECT_EQ(s.StatusText, "fresh");
    s.StatusStamp = now - std::chrono::seconds(7);
    form1->MainClockTickRun();
    EXPECT_EQ(s.StatusText, "");
    SetStatus(s, " kept");
    s.StatusStamp = now - std::chrono::seconds(60);
    form1->MainClockTickRun();
    EXPECT_EQ(s.StatusText, " kept");

    // Pan buttons only on the screens that move.
    for (const char* item : {"Ncosmos", "Nvoid", "Nsky", "Nnatal"}) {
        form1->Find<TMenuItem>(item)->Click();
        form1->MainClockTickRun();
        const bool moves = std::string("ACGS").find(program->Flags.ScreenMode) != std::string::npos;
        EXPECT_EQ(!form1->PanIn->isHidden(), moves) << item;
    }

    // "Wait": the expected item answers EventOK once, another plays no.wav and answers nothing.
    form1->ExpectedItem = "Nvoid";
    form1->Find<TMenuItem>("Nsky")->Click();
    form1->MainClockTickRun();
    EXPECT_TRUE(form1->LastMenuItem.empty());
    EXPECT_TRUE(SendLines().empty());
    form1->Find<TMenuItem>("Nvoid")->Click();
    form1->MainClockTickRun();
    form1->MainClockTickRun();
    EXPECT_EQ(SendLines(), std::vector<std::string>{"EventOK"});
}

TEST_F(MainWindowTest, RealTimeIsTheComputersMomentInTheChartsZone) {
    // 2024-01-01 23:30:00 UTC.
    const long long utc = 1704151800;
    struct Case {
        int zone;
        const char *date, *time;
    };
    const Case cases[] = {{0, "01.01.2024", "23:30:00"},
                          {180, "02.01.2024", "02:30:00"},
                          {-300, "01.01.2024", "18:30:00"},
                          {345, "02.01.2024", "05:15:00"}};
    for (const Case& c : cases) {
        const auto [date, time] = TForm1::RealTimeTexts(utc, c.zone);
        EXPECT_EQ(date, c.date) << c.zone;
        EXPECT_EQ(time, c.time) << c.zone;
    }
    // A chart in the zone +10 follows the UTC clock, whatever the computer's zone.
    AstroDat& s = program->s;
    s.ChartZone = 600;
    program->Flags.RealTimeMode = true;
    form1->RealTimerTimer();
    const QDateTime expected = QDateTime::currentDateTimeUtc().addSecs(600 * 60);
    const QDateTime got(QDate(s.ChartYear, s.ChartMonth, s.ChartDay),
                        QTime(s.ChartHour, s.ChartMinute, s.ChartSecond), Qt::UTC);
    EXPECT_LE(std::llabs(got.secsTo(expected)), 2);
    EXPECT_TRUE(form1->RealTimer->Enabled());
    // A chart before the era in the fields: the clock's year is of the era all the same.
    if (TForm* data = Screen().FindForm("DataForm"))
        if (auto* era = data->Find<TCheckBox>("EraCheckBox")) era->SetChecked(true);
    form1->RealTimerTimer();
    EXPECT_EQ(s.ChartYear, QDateTime::currentDateTimeUtc().addSecs(600 * 60).date().year());
    // Held while the map is dragged.
    s.ChartYear = 1900;
    form1->GeoDragging = true;
    form1->RealTimerTimer();
    EXPECT_EQ(s.ChartYear, 1900);
}

TEST_F(MainWindowTest, GetLongAnswersTheChartOfTheCoreCalledDirectly) {
    CommLink& link = *form1->Link;
    link.ExecMsgCommand("SetData;Peer|Test;W;15.06.1990;14:30:00;+03:00;55"
                        "\xB0"
                        "45'N; 37"
                        "\xB0"
                        "37'E;"
                        "City;Country");
    EXPECT_EQ(program->s.DatRec1[kRecSex], "1");
    EXPECT_EQ(program->s.DatRec1[kRecName], "Peer\r\nTest");
    link.ExecMsgCommand("GetLong");
    const std::vector<std::string> lines = SendLines();
    // the points the wheel shows, then the twelve cusps
    const auto [first, last] =
        program->Svc.KartPointRange ? program->Svc.KartPointRange() : std::pair{1, 10};
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(1 + (last - first + 1) + 1 + 12 + 1));

    AstroDat direct;
    direct.ProgramFolder = dir.path();
    direct.Planets = program->s.Planets;
    direct.NExtra = program->s.NExtra; // the extra bodies the wheel lists
    direct.FictElements = program->s.FictElements;
    ASSERT_TRUE(UnpackDatRecToChart(direct, program->s.DatRec1));
    program->ReadOptions();
    CalcAstroTime(direct, TimeOptionsFor(program->ChartOpt, program->GeneralOpt));
    CalcChart(direct, program->ChartOpt, program->GeneralOpt, 0);
    std::vector<std::string> expected = {"PLong:"};
    auto row = [&](int i, int k) {
        return IntToStrW(i, 2) + FloatToStrWD(9, 4, direct.PlanetLon[k] / kDegToRad);
    };
    for (int i = first; i <= last; ++i) expected.push_back(row(i, i));
    expected.push_back("HLong:");
    for (int i = 1; i <= 12; ++i) expected.push_back(row(i, 26 + i));
    expected.push_back("");
    EXPECT_EQ(lines, expected);
}

} // namespace
} // namespace qor::shell

namespace qor::shell {
namespace {

TEST_F(MainWindowTest, EnglishTextsCoverTheMainWindowAndTheClipWindow) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(kShippedData / "English.txt", lines).ok());
    ShowPrompt("x", "Mid");
    std::vector<TForm*> forms = {form1, Screen().FindForm("ClipForm")};
    EXPECT_EQ(EnglishCoverageProblems(forms, lines, true), std::vector<std::string>{});
    ShowPrompt("", "Mid");
    // In English mode the menus speak English.
    StartInEnglish();
    EXPECT_EQ(form1->Find<TMenuItem>("Nnatal")->Caption(), "Natal chart");
    EXPECT_EQ(Trim(form1->Find<TMenuItem>("Np5")->Caption()), "Mars"); // padded as body names are
    EXPECT_EQ(form1->ExitButton->toolTip().toStdString(), "Exit");
}

} // namespace
} // namespace qor::shell

namespace qor::shell {
namespace {

TEST_F(MainWindowTest, ButtonsOfEveryWindowAreRecordedForWait) {
    TForm* data = Screen().FindForm("DataForm");
    ASSERT_NE(data, nullptr);
    auto* ok = data->Add<TButton>("OKBtn", {8, 8, 80, 24});
    data->show();
    auto release = [](QWidget* w, QPoint at) {
        QMouseEvent e(QEvent::MouseButtonRelease, QPointF(at), w->mapToGlobal(QPointF(at)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    };
    form1->LastMenuItem.clear();
    release(ok, {200, 200}); // released outside: no click
    EXPECT_EQ(form1->LastMenuItem, "");
    release(ok, {5, 5});
    EXPECT_EQ(form1->LastMenuItem, "OKBtn");
    // and the script waiting for it hears so at the next tick
    form1->ExpectedItem = "OKBtn";
    form1->MainClockTickRun();
    std::vector<std::string> lines;
    ReadTextLines(dir / "msg" / "send.tmp", lines);
    EXPECT_EQ(lines, std::vector<std::string>{"EventOK"});
}

} // namespace
} // namespace qor::shell

namespace qor::shell {
namespace {

TEST_F(MainWindowTest, ScreensDrawAndTakeTheMouseThroughTheirRegisteredHandler) {
    int draws = 0, downs = 0, ups = 0;
    std::vector<std::string> pans;
    ScreenHandler wheel;
    wheel.Draw = [&] { ++draws; };
    wheel.MouseDown = [&](MouseButton, Shift, int, int) { ++downs; };
    wheel.MouseUp = [&](MouseButton, Shift, int, int) { ++ups; };
    program->Svc.Screens['W'] = wheel;
    ScreenHandler cosmos;
    cosmos.Pan = [&](const std::string& b) { pans.push_back(b); };
    program->Svc.Screens['S'] = cosmos;

    form1->SwitchScreen('W');
    EXPECT_EQ(draws, 1);
    program->Tech->RefreshAll(); // the hub draws the current screen through the same handler
    EXPECT_EQ(draws, 2);
    form1->PaintBoxMouseDown(MouseButton::Left, 0, 10, 10);
    form1->PaintBoxMouseUp(MouseButton::Left, 0, 10, 10);
    EXPECT_EQ(downs + ups, 2);
    form1->SwitchScreen('V');
    form1->PaintBoxMouseDown(MouseButton::Left, 0, 10, 10); // the empty screen takes nothing
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(draws, 2);

    // A held pan button repeats its step until it is released.
    form1->SwitchScreen('S');
    form1->PanPress("LeftPan");
    QElapsedTimer t;
    t.start();
    while (pans.size() < 3 && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    form1->PanRelease();
    const std::size_t held = pans.size();
    EXPECT_GE(held, 3u);
    for (const std::string& b : pans) EXPECT_EQ(b, "LeftPan");
    t.restart();
    while (t.elapsed() < 50) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(pans.size(), held);
    EXPECT_EQ(form1->LastMenuItem, "LeftPan");
}

TEST_F(MainWindowTest, ResizeGivesTheBitmapThePaintBoxSize) {
    form1->resize(900, 640);
    form1->FormResize();
    EXPECT_EQ(program->BufBitmap->Width(), form1->PaintBox->width());
    EXPECT_EQ(program->BufBitmap->Height(), form1->PaintBox->height());
    EXPECT_EQ(form1->ScrWidth, program->BufBitmap->Width() - 5);
    EXPECT_EQ(program->s.StatusText, std::to_string(form1->PaintBox->width()) + "x" +
                                         std::to_string(form1->PaintBox->height()));
    EXPECT_TRUE(form1->PaintTimer->Enabled()); // one repaint follows
    EXPECT_EQ(form1->PaintBox->y() + form1->PaintBox->height(), form1->Client()->height());
}

} // namespace
} // namespace qor::shell

namespace qor::shell {
namespace {

TEST_F(MainWindowTest, PrecessionMarkGrowsWithTheYearsAndAClickRecomputesTheStars) {
    AstroDat& s = program->s;
    program->Flags.StarsRecalc = true;
    program->Tech->RefreshAll(); // stars of the chart's own date
    program->Flags.StarsRecalc = false;
    form1->MainClockTickRun();
    EXPECT_EQ(form1->PrecessCode, 0);
    const std::pair<int, int> cases[] = {{1, 170}, {10, 172}, {40, 173}}; // years later
    const int year = s.ChartYear;
    for (const auto& [years, code] : cases) {
        s.ChartYear = year + years;
        program->Tech->RefreshAll();
        form1->MainClockTickRun();
        EXPECT_EQ(form1->PrecessCode, code) << years;
    }
    form1->PrecessPanelMouseMove();
    EXPECT_EQ(s.StatusText.substr(0, 10), GetMsgText(s, 51, "").substr(0, 10));
    form1->PrecessBtnClick();
    form1->MainClockTickRun();
    EXPECT_EQ(form1->PrecessCode, 0);
    EXPECT_EQ(form1->LastMenuItem, "PrecessPanel"); // recorded like the buttons
}

TEST_F(MainWindowTest, CopyToTheClipboardAndUndoOfUnappliedData) {
    ClearBuffer(*program->BufBitmap, Colour(0x0000FF));
    int c = 'C';
    form1->FormKeyDown(c, ssCtrl);
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), program->BufBitmap->image().size());
    EXPECT_EQ(program->s.StatusText, GetMsgText(program->s, 10));

    AstroDat& s = program->s;
    DatRec applied = s.DatRec1Applied;
    s.DatRec1[kRecDate] = "1.01.1900";
    int z = 'Z';
    form1->FormKeyDown(z, ssCtrl);
    EXPECT_EQ(s.DatRec1, applied);
}

} // namespace
} // namespace qor::shell

namespace qor::shell {
namespace {

TEST_F(MainWindowTest, FirstTickOpensTheStartWindowOrTheOwnPlaceAndArmsPainting) {
    int logged = 0, duties = 0;
    // The start windows made so far (the day summary makes a new one each time).
    auto summaries = [] {
        int n = 0;
        for (TForm* f : Screen().Forms()) n += f->Name() == "StartShow";
        return n;
    };
    program->Svc.LogUserLocation = [&] { ++logged; };
    program->Svc.TickDuties["test"] = [&] { ++duties; };
    program->SetChecked("QorLoc", "TimeCheckBox", false);
    ASSERT_TRUE(form1->FirstTick);
    EXPECT_FALSE(form1->PaintArmed);
    form1->MainClockTickRun();
    EXPECT_TRUE(form1->PaintArmed);
    EXPECT_FALSE(form1->FirstTick);
    EXPECT_EQ(summaries(), 1); // the own place asks for no zone check
    EXPECT_TRUE(Visible("StartShow"));
    form1->MainClockTickRun();
    EXPECT_LE(summaries(), 1);
    EXPECT_EQ(logged, 1);
    EXPECT_EQ(duties, 2);

    // With the zone check asked for and failing, the own place's window opens instead.
    bool zoneAgrees = false;
    program->Svc.CheckComputerZone = [&] { return zoneAgrees; };
    program->SetChecked("QorLoc", "TimeCheckBox", true);
    for (TForm* f : std::vector<TForm*>(Screen().Forms()))
        if (f->Name() == "StartShow") delete f;
    TForm* loc = Screen().FindForm("QorLoc");
    ASSERT_NE(loc, nullptr);
    loc->hide();
    form1->FirstTick = true;
    form1->MainClockTickRun();
    EXPECT_EQ(summaries(), 0);
    EXPECT_TRUE(Visible("QorLoc"));
    zoneAgrees = true;
    form1->FirstTick = true;
    form1->MainClockTickRun();
    EXPECT_EQ(summaries(), 1);
}

// Alt+F shows the symbol-font editor modally; however it closes, the key returns, the main
// window's keys work again and the editor is freed once, after its loop.
TEST_F(MainWindowTest, TheFontEditorOnAltFGivesTheKeysBackWhenItCloses) {
    for (const bool byEsc : {true, false}) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            TForm* ed = Screen().FindForm("FontEd");
            ASSERT_NE(ed, nullptr);
            seen = ed->isVisible();
            if (byEsc) {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(ed->focusWidget() ? ed->focusWidget() : ed, &esc);
            } else {
                ed->Close();
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        int key = 'F';
        form1->FormKeyDown(key, ssAlt);
        EXPECT_TRUE(seen) << byEsc;
        EXPECT_TRUE(form1->KeysEnabled) << byEsc;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(Screen().FormExists("FontEd")) << byEsc;
        // a key after it does its work
        CloseTools();
        int z = 'Z';
        form1->FormKeyDown(z, 0);
        EXPECT_TRUE(Visible("AstrCalc")) << byEsc;
    }
}

// A second start restores the windows' state without showing a pop-up menu or an empty
// top-level window of its own.
TEST_F(MainWindowTest, ASecondStartShowsNoStrayWindows) {
    if (TForm* pars = Screen().FindForm("Pars")) pars->show();
    Stop();
    Start();
    QCoreApplication::processEvents();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        EXPECT_EQ(qobject_cast<QMenu*>(w), nullptr) << "pop-up menu " << w->objectName().toStdString();
        EXPECT_TRUE(dynamic_cast<TForm*>(w) != nullptr || w->inherits("QDialog"))
            << "stray " << w->metaObject()->className() << " " << w->objectName().toStdString()
            << " " << w->width() << "x" << w->height();
    }
}

} // namespace
} // namespace qor::shell
