// The whole program started offscreen: the language switches, the check of the required files
// in an empty program folder, the ordered start-up in a complete one, the state files written
// at close and read at the next start, a failed step, and the session's save request.
#include "app/Subsystems.h"
#include "geo/Atlas.h"
#include "core/ChartRecords.h"
#include "core/ProgramFolder.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"
#include "sky/SkyData.h"
#include "support/QtApp.h"
#include "support/TempDir.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace qor::shell {
namespace {

using namespace ui;
namespace fs = std::filesystem;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

TEST(Language, OnlyTheExactSwitchesCount) {
    struct Case {
        std::vector<std::string> args;
        bool russianLocale;
        bool english;
    };
    const Case cases[] = {
        {{}, true, false},
        {{}, false, true},
        {{"/e"}, true, true},
        {{"/r"}, false, false},
        {{"/e", "/r"}, true, true},       // English wins
        {{"/etc/qor.cfg"}, true, false},  // a path is no switch
        {{"/rdata"}, false, true},        //
        {{"/E"}, true, false},            // case counts
        {{"chart.qor", "/e"}, true, true} //
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseEnglishMode(c.args, c.russianLocale), c.english)
            << (c.args.empty() ? "" : c.args[0]) << " locale ru " << c.russianLocale;
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        Screen().SetDialogs(&dialogs);
        Screen().SetSize(1280, 1024);
    }
    void TearDown() override {
        Stop();
        Screen().SetDialogs(nullptr);
        Screen().SetSize(0, 0);
    }
    void Seed() { ASSERT_TRUE(SeedProgramFolder(kData, dir.path()).ok()); }
    // Starts the program in the folder; the exit status of the start.
    int Start(std::vector<std::string> args = {}) {
        Stop();
        program = std::make_unique<Program>(dir.path());
        app::RegisterSubsystems(*program);
        EntryOptions o;
        o.args = std::move(args);
        o.runLoop = false;
        o.russianLocale = 1;
        return ProgramEntry(*program, o);
    }
    void Stop() {
        program.reset();
    }
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        ReadTextLines(dir / "qorstart.log", lines);
        return lines;
    }

    test::TempDir dir;
    AnsweringDialogs dialogs;
    std::unique_ptr<Program> program;
};

TEST_F(StartupTest, EmptyFolderListsEveryRequiredFileOfTheLanguageAndFails) {
    const std::string images =
        "img\\p2.img, img\\p3.img, img\\p4.img, img\\p5.img, img\\p6.img, img\\p7.img, "
        "img\\p8.img, img\\p9.img, img\\p10.img, bor6.qor, ";
    const std::string russian = "planets.ndx, planets.dat, planets.mdb, yale.mdb, yale.nme, "
                                "coast.dat, coast.ptr, chiron.dat, font16.fnt, ijtitul1.qor, "
                                "ijtitul2.qor, codreg.ctm, correc.ctm, variat.ctm, geocr.atl, "
                                "geonr.atl, yale.cmm, rtext.txt, " +
                                images;
    const std::string english = "planets.ndx, planets.dat, planets.mdb, yale.mdb, yale.nme, "
                                "coast.dat, coast.ptr, chiron.dat, font16.fnt, ijtitul1.qor, "
                                "ijtitul2.qor, geoc.atl, geon.atl, yale.cmm, etext.txt, "
                                "country.atl, " +
                                images;
    EXPECT_EQ(Start(), 1);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].kind, MsgKind::Error);
    EXPECT_EQ(dialogs.asked[0].text, Cp("Отсутствуют следующие файлы: ") + "\r\n" + russian +
                                         "\r\n" + Cp("Запуск QOR невозможен"));
    const auto log = Log();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0], "QOR 5.12.0.12");
    EXPECT_EQ(log[1].substr(0, 6), "Start ");
    EXPECT_EQ(log[2], "Screen Resolution 1280x1024");
    EXPECT_EQ(log[3], "DefFontCharSet 204");
    EXPECT_EQ(log[4], russian);
    EXPECT_FALSE(fs::exists(dir / "main.ini"));

    dialogs.asked.clear();
    EXPECT_EQ(Start({"/e"}), 1);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text,
              "There are no following files: \r\n" + english + "\r\nImpossible to run QOR");
}

TEST_F(StartupTest, AStartLogThatCannotBeWrittenIsToldAndEndsTheStart) {
    Seed();
    fs::create_directory(dir / "qorstart.log"); // a folder where the log should go
    EXPECT_EQ(Start(), 1);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_NE(dialogs.asked[0].text.find("qorstart.log"), std::string::npos);
    EXPECT_FALSE(program->Form1->Started);
}

TEST_F(StartupTest, OneMissingFileIsNamedAlone) {
    Seed();
    fs::remove(dir / "bor6.qor");
    EXPECT_EQ(Start(), 1);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_NE(dialogs.asked[0].text.find("\r\nbor6.qor, \r\n"), std::string::npos);
}

TEST_F(StartupTest, CompleteFolderRunsEveryStepInOrderAndKeepsTheStateBetweenRuns) {
    Seed();
    ASSERT_EQ(Start(), 0);
    TForm1* form1 = program->Form1;
    ASSERT_TRUE(form1->Started);
    EXPECT_TRUE(program->Flags.Ready);
    EXPECT_TRUE(program->Tech->MainClock->Enabled());
    EXPECT_EQ(program->Tech->MainClock->Interval(), 500);
    EXPECT_TRUE(form1->FirstTick);
    EXPECT_GE(program->Tech->RefreshCount, 1);
    EXPECT_NE(program->s.PlanetLon[1], 0); // the first chart was computed
    EXPECT_EQ(program->Flags.ScreenMode, 'W');
    EXPECT_EQ(program->Flags.AspTablAccur, 'Y');
    EXPECT_GT(program->Find<SkyData>()->Stars.StarCount, 9000);
    EXPECT_TRUE(program->Find<Atlas>()->ready);
    // the chart starts at the computer's moment
    const QDate today = QDate::currentDate();
    const AstroDat& s = program->s;
    EXPECT_EQ(QDate(s.ChartYear, s.ChartMonth, s.ChartDay).daysTo(today) <= 1, true);
    // in the own place's zone (Moscow's until the user sets another)
    EXPECT_EQ(program->Text("QorLoc", "astdT"), "+03:00");
    EXPECT_EQ(s.ChartZone, 180);
    // its record gives the same moment back, and is the start record
    AstroDat unpacked;
    unpacked.Report = s.Report;
    ASSERT_TRUE(UnpackDatRecToChart(unpacked, s.DatRec1));
    EXPECT_EQ(static_cast<const ChartContext&>(unpacked).ChartDay, s.ChartDay);
    EXPECT_EQ(unpacked.ChartYear, s.ChartYear);
    EXPECT_EQ(unpacked.ChartHour * 3600 + unpacked.ChartMinute * 60 + unpacked.ChartSecond,
              s.ChartHour * 3600 + s.ChartMinute * 60 + s.ChartSecond);
    EXPECT_EQ(unpacked.ChartZone, s.ChartZone);
    EXPECT_EQ(s.DatRecStart, s.DatRec1);

    const std::vector<std::string> steps = {"QOR 5.12.0.12",
                                            "Loading ...",
                                            "Creating \"DataForm\" OK",
                                            "Creating \"Tech\" OK",
                                            "Creating \"KartForm\" OK",
                                            "Creating \"sky\" OK",
                                            "Creating \"GeoSet\" OK",
                                            "Creating \"Interp\" OK",
                                            "Creating \"GenSet\" OK",
                                            "Creating \"ImgDes\" OK",
                                            "Creating \"OrbitSet\" OK",
                                            "Creating \"mStar\" OK",
                                            "Creating \"SetBase\" OK",
                                            "Creating \"Pars\" OK",
                                            "Creating \"Intxt\" OK",
                                            "Creating \"ExctAsp\" OK",
                                            "Creating \"IntSet\" OK",
                                            "Creating \"Paragr\" OK",
                                            "Creating \"QorLoc\" OK",
                                            "Loading Fonts ...",
                                            "Loading WinstarTT result = 0",
                                            "Loading Winstar result = 0",
                                            "Loading QOR.TTF result = 1",
                                            "Loading Forms ...",
                                            "Aspect data ... ",
                                            "Init GeoMap ...",
                                            "Cities database ...",
                                            "Planet database ...",
                                            "Init orbites ...",
                                            "Asteroids ...",
                                            "Set real time ...",
                                            "Calculation ...",
                                            "Player OK",
                                            "QOR start OK",
                                            "Ready"};
    const auto log = Log();
    std::vector<std::string> seen;
    for (const std::string& line : log)
        if (std::find(steps.begin(), steps.end(), line) != steps.end()) seen.push_back(line);
    EXPECT_EQ(seen, steps);
    EXPECT_EQ(log.back(), "Ready");

    // every long-lived window exists under its name, the hidden ones too
    for (const char* name :
         {"DataForm", "Tech", "KartForm", "sky", "GeoSet", "Interp", "GenSet", "ImgDes", "OrbitSet",
          "mStar", "SetBase", "Pars", "Intxt", "ExctAsp", "IntSet", "Paragr", "QorLoc"})
        EXPECT_TRUE(program->Tech->FormExists(name)) << name;
    // no state file yet: the default layout for this screen, and its note
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], GetMsgText(program->s, 154));
    EXPECT_EQ(form1->Width(), 804);

    // the user's choices of this run
    program->Flags.ScreenMode = 'S';
    program->Tech->WindowFont = FontSpec{204, 0, "Arial", 12, fsBold};
    program->Tech->SaveFontSetting();
    form1->SetBounds(40, 50, 900, 600);
    form1->Close();
    EXPECT_FALSE(program->Flags.Ready);
    EXPECT_FALSE(program->Tech->MainClock->Enabled());
    ASSERT_TRUE(fs::exists(dir / "main.ini"));
    ASSERT_TRUE(fs::exists(dir / "Form.ini"));

    dialogs.asked.clear();
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(program->Flags.ScreenMode, 'S');
    EXPECT_EQ(program->Form1->Prefer->Text(), "SNOY");
    EXPECT_EQ(program->Tech->WindowFont, (FontSpec{204, 0, "Arial", 12, fsBold}));
    EXPECT_EQ(program->Form1->Width(), 900);
    EXPECT_TRUE(dialogs.Messages().empty()); // no layout note once the state is kept
}

TEST_F(StartupTest, TheSavedPreferencesChooseTheScreenAndTheAccuracy) {
    Seed();
    ASSERT_EQ(Start(), 0);
    program->Form1->Close();
    auto startWith = [&](const std::string& prefer) {
        std::vector<std::string> lines;
        EXPECT_TRUE(ReadTextLines(dir / "main.ini", lines).ok());
        for (std::string& l : lines)
            if (l.rfind("Form1,Prefer,", 0) == 0) l = "Form1,Prefer," + prefer;
        EXPECT_TRUE(WriteTextFileAtomic(dir / "main.ini", lines).ok());
        EXPECT_EQ(Start(), 0);
        const std::pair<char, char> got{program->Flags.ScreenMode, program->Flags.AspTablAccur};
        program->Form1->Close();
        return got;
    };
    struct Case {
        const char* prefer;
        char screen, accuracy;
    };
    for (const Case c : {Case{"CNOX", 'C', 'X'}, Case{"MNON", 'W', 'N'}, Case{"GNO", 'G', 'Y'},
                         Case{"", 'W', 'Y'}, Case{"xNOY", 'W', 'Y'}, Case{"VMOY", 'V', 'Y'}})
        EXPECT_EQ(startWith(c.prefer), std::make_pair(c.screen, c.accuracy)) << c.prefer;
}

TEST_F(StartupTest, ShowingTheMainWindowAgainRepeatsNothing) {
    Seed();
    ASSERT_EQ(Start(), 0);
    const auto log = Log();
    const int refreshes = program->Tech->RefreshCount;
    program->Form1->hide();
    program->Form1->show();
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(program->Tech->RefreshCount, refreshes);
    int dataForms = 0;
    for (TForm* f : Screen().Forms()) dataForms += f->Name() == "DataForm";
    EXPECT_EQ(dataForms, 1);
}

TEST_F(StartupTest, TheStartSoundDecidesWhetherSoundsStayOn) {
    Seed();
    struct Case {
        const char* what;
        std::function<void()> prepare;
        const char* logged;
    };
    const Case cases[] = {
        {"a wave file", [] {}, "Player OK"},
        {"no wave file", [&] { dir.Write("Oracl.wav", "not a sound"); }, "Player Error"},
        {"no file", [&] { fs::remove(dir / "Oracl.wav"); }, "No file Oracl.wav"},
    };
    for (const Case& c : cases) {
        c.prepare();
        ASSERT_EQ(Start(), 0) << c.what;
        const auto log = Log();
        EXPECT_NE(std::find(log.begin(), log.end(), c.logged), log.end()) << c.what;
        program->Form1->Close();
    }
}

TEST_F(StartupTest, AFailedStepIsToldLoggedAndEndsWithAFailureStatus) {
    Seed();
    ASSERT_EQ(Start(), 0);
    program->Form1->Close();
    const std::string savedState = [&] {
        std::string bytes;
        ReadFileBytes(dir / "main.ini", bytes);
        return bytes;
    }();
    ASSERT_FALSE(savedState.empty());

    // a damaged symbol font: the file is there but cannot be read
    std::string font;
    ASSERT_TRUE(ReadFileBytes(dir / "font16.fnt", font).ok());
    ASSERT_TRUE(SaveFileAtomic(dir / "font16.fnt", font.substr(0, 100)).ok());
    dialogs.asked.clear();
    EXPECT_EQ(Start(), 2);
    EXPECT_FALSE(program->Form1->Started);
    EXPECT_FALSE(program->Tech->MainClock->Enabled());
    ASSERT_FALSE(dialogs.Messages().empty());
    EXPECT_EQ(dialogs.Messages().back(), BuiltInMsgText(program->s, 1));
    const auto log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().substr(0, 13), "Start failed:");
    EXPECT_NE(log.back().find("font16.fnt"), std::string::npos);

    // closing after a failed start saves nothing: the last good state stays
    program->Form1->Close();
    std::string after;
    ReadFileBytes(dir / "main.ini", after);
    EXPECT_EQ(after, savedState);
}

// The subsystems' start-up steps run stage by stage at their places in the start-up, in the
// order they were registered within a stage; what they load is there for the later stages.
TEST_F(StartupTest, StartStepsRunByStageInRegistrationOrder) {
    Seed();
    program = std::make_unique<Program>(dir.path());
    app::RegisterSubsystems(*program);
    std::vector<std::string> ran;
    const std::pair<StartStage, const char*> steps[] = {
        {StartStage::FirstChart, "FirstChart"}, {StartStage::Captions, "Captions"},
        {StartStage::Orbits, "Orbits"},         {StartStage::Map, "Map"},
        {StartStage::Asteroids, "Asteroids"},   {StartStage::Fonts, "Fonts"},
        {StartStage::Atlas, "Atlas"},           {StartStage::Views, "Views"},
        {StartStage::Bodies, "Bodies"},         {StartStage::Orbits, "Orbits2"}};
    for (const auto& [stage, name] : steps)
        program->Svc.AddStartStep(stage, name, [&ran, name = std::string(name)] {
            // the splash window shows the start-up's step text of the moment
            const TForm* splash = Screen().FindForm("Form2");
            ran.push_back(name + " @" + (splash ? Trim(splash->Caption()) : std::string()));
        });
    // the sky's catalogues are loaded before a step registered after them at the same stage
    int starsAtOrbits2 = -1;
    program->Svc.AddStartStep(StartStage::Orbits, "stars", [this, &starsAtOrbits2] {
        starsAtOrbits2 = program->Find<SkyData>()->Stars.StarCount;
    });
    EntryOptions o;
    o.runLoop = false;
    o.russianLocale = 1;
    ASSERT_EQ(ProgramEntry(*program, o), 0);
    EXPECT_EQ(ran, (std::vector<std::string>{
                       "Captions @Loading Forms ...", "Fonts @Loading Forms ...",
                       "Views @Aspect data ...", "Map @Init GeoMap ...",
                       "Atlas @Cities database ...", "Bodies @Planet database ...",
                       "Orbits @Init orbites ...", "Orbits2 @Init orbites ...",
                       "Asteroids @Asteroids ...", "FirstChart @Calculation ..."}));
    EXPECT_GT(starsAtOrbits2, 9000);
}

TEST_F(StartupTest, ClosingDuringTheStartUpStopsItAndSavesNothing) {
    Seed();
    program = std::make_unique<Program>(dir.path());
    app::RegisterSubsystems(*program);
    program->Svc.AddStartStep(StartStage::Map, "close", [this] { program->Form1->Close(); });
    EntryOptions o;
    o.russianLocale = 1; // with the message loop: it must not be entered
    EXPECT_EQ(ProgramEntry(*program, o), 0);
    EXPECT_FALSE(program->Form1->Started);
    EXPECT_FALSE(program->Flags.Ready);
    EXPECT_FALSE(program->Tech->MainClock->Enabled());
    const auto log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "Start cancelled");
    EXPECT_FALSE(fs::exists(dir / "main.ini"));
    EXPECT_TRUE(dialogs.asked.empty() ||
                dialogs.asked.back().text == GetMsgText(program->s, 154)); // no failure told
}

TEST_F(StartupTest, TheSessionsQuestionSavesWithoutTearingDown) {
    Seed();
    ASSERT_EQ(Start(), 0);
    TForm* kart = Screen().FindForm("KartForm");
    auto* helio = kart->Add<TCheckBox>("HelioBox");
    helio->SetChecked(true);
    TForm* genset = Screen().FindForm("GenSet");
    genset->show();
    program->Form1->SaveState();
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(dir / "main.ini", lines).ok());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "KartForm,HelioBox,False"), lines.end());
    // the program goes on as it was: the log-out may still be cancelled
    EXPECT_TRUE(helio->Checked());
    EXPECT_TRUE(genset->isVisible());
    EXPECT_TRUE(program->Flags.Ready);
    EXPECT_FALSE(program->Flags.ClosingAll);
    EXPECT_FALSE(program->Form1->SavedAndClosed);
}

TEST_F(StartupTest, EnglishStartTakesTheEnglishStateFile) {
    Seed();
    ASSERT_EQ(Start({"/e"}), 0);
    EXPECT_TRUE(program->s.EnglishMode);
    EXPECT_FALSE(program->Form1->N94->isVisible());
    program->Form1->Close();
    EXPECT_TRUE(fs::exists(dir / "main-e.ini"));
    EXPECT_FALSE(fs::exists(dir / "main.ini"));
}

} // namespace
} // namespace qor::shell
