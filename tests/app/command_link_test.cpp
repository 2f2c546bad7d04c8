// The command link inside the started program: the command file taken by renaming (lines
// appended meanwhile are not lost), answers never cleared by the poll, a bounded write that
// says when it fails, the private message folder, refused data and a refused Execute, the two
// data sets of "SetData", the clip player, the clip window and the pointer glide.
#include "MainWindowFixture.h"

#include "core/ChartMoment.h"

#include "core/ChartRecords.h"
#include "core/Text.h"
#include "shell/ClipForm.h"
#include "shell/CommLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <iostream>

namespace qor::shell {
namespace {

class CommandLinkTest : public MainWindowTest {
protected:
    CommLink& Link() { return *form1->Link; }
    fs::path Receive() { return dir / "msg" / "receive.tmp"; }
    void Append(const fs::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary | std::ios::app) << text;
    }
    std::vector<std::string> Lines(const fs::path& file) {
        std::vector<std::string> lines;
        ReadTextLines(file, lines);
        return lines;
    }
    // Pumps events until `done` or the time runs out.
    bool PumpUntil(const std::function<bool()>& done, int ms) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return done();
    }
};

TEST_F(CommandLinkTest, FolderIsPrivateAndBothFilesStartEmpty) {
    struct stat st {};
    ASSERT_EQ(stat((dir / "msg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(fs::exists(dir / "msg" / "send.tmp"));
    EXPECT_EQ(fs::file_size(dir / "msg" / "send.tmp"), 0u);
}

// A folder or command file that someone else could have planted: refused at the start or at
// the poll, said in a message, and the link stays off (no command runs, nothing is written).
TEST_F(CommandLinkTest, APlantedFolderOrCommandFileTurnsTheLinkOff) {
    const fs::path msg = dir / "msg", elsewhere = dir / "elsewhere";
    const std::string planted = "Message;Form1,SkyEdit;planted\r\n";
    struct Case {
        const char* name;
        bool atStart; // refused by InitMsgFiles, else by the next poll
        bool needsRoot;
        std::function<void()> plant;
        const char* said; // what the message says (Russian mode)
    };
    auto otherOwner = [](const fs::path& p) { ASSERT_EQ(::lchown(p.c_str(), 65534, 65534), 0); };
    const Case cases[] = {
        {"folder a link", true, false,
         [&] {
             fs::remove_all(msg);
             fs::create_directory(elsewhere);
             std::ofstream(elsewhere / "receive.tmp", std::ios::binary) << planted;
             fs::create_directory_symlink(elsewhere, msg);
         },
         "символической ссылкой"},
        {"folder a file", true, false,
         [&] {
             fs::remove_all(msg);
             std::ofstream(msg, std::ios::binary) << planted;
         },
         "не является папкой"},
        {"folder of another user", true, true,
         [&] {
             std::ofstream(msg / "receive.tmp", std::ios::binary) << planted;
             otherOwner(msg);
         },
         "другому пользователю"},
        {"command file a link", false, false,
         [&] {
             fs::create_directory(elsewhere);
             std::ofstream(elsewhere / "commands", std::ios::binary) << planted;
             fs::create_symlink(elsewhere / "commands", msg / "receive.tmp");
         },
         "символической ссылкой"},
        {"command file a folder", false, false,
         [&] { fs::create_directory(msg / "receive.tmp"); }, "не является обычным файлом"},
        {"command file of another user", false, true,
         [&] {
             std::ofstream(msg / "receive.tmp", std::ios::binary) << planted;
             otherOwner(msg / "receive.tmp");
         },
         "другому пользователю"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && ::geteuid() != 0) {
            std::cout << "[  SKIPPED ] " << c.name << ": giving a file to another user needs root\n";
            continue;
        }
        Start();
        ASSERT_FALSE(Link().Off);
        const std::string before = form1->SkyEdit->Text();
        dialogs.asked.clear();
        c.plant();
        if (c.atStart)
            EXPECT_FALSE(Link().InitMsgFiles());
        Link().PollMsgReceive();
        EXPECT_TRUE(Link().Off);
        EXPECT_EQ(form1->SkyEdit->Text(), before); // the planted command did not run
        EXPECT_FALSE(Link().MsgWriteLine(MsgFile::Send, "answer"));
        Link().PlayClip();
        EXPECT_EQ(Link().ClipResult, "off");
        const auto said = dialogs.Messages();
        ASSERT_EQ(said.size(), 1u); // told once
        EXPECT_NE(said[0].find(Cp(c.said)), std::string::npos) << Cp1251ToUtf8(said[0]);
        EXPECT_NE(said[0].find("msg"), std::string::npos) << said[0];
        Stop();
        std::error_code ec;
        fs::remove_all(msg, ec);
        fs::remove(msg, ec);
        fs::remove_all(elsewhere, ec);
    }
}

TEST_F(CommandLinkTest, LinesAppendedWhileAFileRunsAreNotLostAndAnswersStay) {
    // A command that, while it runs, has the peer append a further line.
    program->Svc.LinkVerbs["Append"] = [this](const std::string&) {
        Append(Receive(), "GetFrom;Form1,SkyEdit\r\n");
        return std::string("appended");
    };
    Append(Receive(), "Message;Form1,SkyEdit;one\r\nAppend\r\n");
    Link().PollMsgReceive();
    EXPECT_EQ(form1->SkyEdit->Text(), "one");
    EXPECT_EQ(Lines(dir / "msg" / "send.tmp"), std::vector<std::string>{"appended"});
    ASSERT_TRUE(fs::exists(Receive())); // the late line waits for the next poll
    Link().PollMsgReceive();
    EXPECT_EQ(Lines(dir / "msg" / "send.tmp"), (std::vector<std::string>{"appended", "one"}));
    EXPECT_FALSE(fs::exists(Receive()));
    Link().PollMsgReceive(); // nothing to do: nothing changes
    EXPECT_EQ(Lines(dir / "msg" / "send.tmp").size(), 2u);
}

TEST_F(CommandLinkTest, AnUnwritableAnswerFileIsReportedNotRetriedForEver) {
    fs::remove(dir / "msg" / "send.tmp");
    fs::create_directory(dir / "msg" / "send.tmp"); // no file can be appended there
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(Link().MsgWriteLine(MsgFile::Send, "lost"));
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_NE(program->s.StatusText.find("msg\\send.tmp"), std::string::npos);
}

TEST_F(CommandLinkTest, SetDataIsValidatedAndRefusedDataChangesNothing) {
    AstroDat& s = program->s;
    const std::string place = ";+03:00;55\xB0"
                              "45'N; 37\xB0"
                              "37'E;City;Country";
    Link().ExecMsgCommand("SetData;First;M;15.06.1990;14:30:00" + place);
    const DatRec good = s.DatRec1;
    const int year = s.ChartYear;
    ASSERT_EQ(year, 1990);
    const char* const bad[] = {"SetData;X;M;31.02.1990;14:30:00;+03:00;55\xB0"
                               "45'N; 37\xB0"
                               "37'E;C;C",
                               "SetData;X;M;15.13.1990;14:30:00;+03:00;55\xB0"
                               "45'N; 37\xB0"
                               "37'E;C;C",
                               "SetData;X;M;15.06.1990;25:30:00;+03:00;55\xB0"
                               "45'N; 37\xB0"
                               "37'E;C;C",
                               "SetData;X;M;15.06.1990;14:30:00;zone;55\xB0"
                               "45'N; 37\xB0"
                               "37'E;C;C",
                               "SetData;X;M;15.06.1990;14:30:00;+03:00;north; 37\xB0"
                               "37'E;C;C",
                               "SetData;X;M;15.06.1990;14:30:00;+03:00;55\xB0"
                               "45'N;east;C;C",
                               "SetData;X;M;abc",
                               // years the window refuses, one beyond what an int holds
                               "SetData;X;M;15.06.10000;14:30:00;+03:00;55\xB0"
                               "45'N; 37\xB0"
                               "37'E;C;C",
                               "SetData;X;M;15.06.19900;14:30:00;+03:00;55\xB0"
                               "45'N; 37\xB0"
                               "37'E;C;C",
                               "SetData;X;M;15.06.2147483648;14:30:00;+03:00;55\xB0"
                               "45'N; 37\xB0"
                               "37'E;C;C",
                               "SetData", "SetData;"};
    for (const char* line : bad) {
        fs::remove(dir / "msg" / "send.tmp");
        Link().ExecMsgCommand(line);
        const auto answer = Lines(dir / "msg" / "send.tmp");
        ASSERT_EQ(answer.size(), 1u) << line;
        EXPECT_EQ(answer[0].rfind("Error;SetData", 0), 0u) << answer[0];
        EXPECT_EQ(s.DatRec1, good) << line;
        EXPECT_EQ(s.ChartYear, year) << line;
    }
    // The link says what the window and the record path say of the same field.
    fs::remove(dir / "msg" / "send.tmp");
    Link().ExecMsgCommand(bad[0]);
    EXPECT_EQ(Lines(dir / "msg" / "send.tmp")[0],
              "Error;SetData: " + MomentProblem(s, MomentField::Date, "31.02.1990"));
    // Sex letters, Latin and Cyrillic.
    const std::pair<std::string, std::string> sexes[] = {{"M", "0"},     {"W", "1"}, {Cp("М"), "0"},
                                                         {Cp("Ж"), "1"}, {"x", "2"}, {"", "2"}};
    for (const auto& [letter, code] : sexes) EXPECT_EQ(SexLetterToCode(letter), code) << letter;
    // A second data set only when more than 10 characters follow the ninth field.
    const DatRec second = s.DatRec2;
    Link().ExecMsgCommand("SetData;First;M;15.06.1990;14:30:00" + place + ";short");
    EXPECT_EQ(s.DatRec2, second);
    Link().ExecMsgCommand("SetData;First;M;15.06.1990;14:30:00" + place + ";Second;W;1.01.2000;" +
                          "12:00:00" + place);
    EXPECT_EQ(s.DatRec2[kRecName], "Second");
    EXPECT_EQ(s.DatRec2[kRecSex], "1");
    EXPECT_EQ(s.DatRec2[kRecDate], "1.01.2000");
}

TEST_F(CommandLinkTest, ExecuteRefusedByTheBirthDataWindowSaysSo) {
    TForm* data = Screen().FindForm("DataForm");
    ASSERT_NE(data, nullptr);
    // the window's own OK button (a placeholder window gets one)
    auto* ok = data->Find<TButton>("OKBtn");
    if (!ok) ok = data->Add<TButton>("OKBtn", {8, 8, 80, 24});
    int applied = 0;
    program->Svc.ApplyData = [&] {
        ++applied;
        return true;
    };
    ok->setEnabled(false);
    Link().ExecMsgCommand("Execute");
    EXPECT_EQ(applied, 0);
    auto answer = Lines(dir / "msg" / "send.tmp");
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(answer[0].rfind("Error;Execute", 0), 0u);
    ok->setEnabled(true);
    Link().ExecMsgCommand("Execute");
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(Lines(dir / "msg" / "send.tmp").size(), 1u); // no answer when it worked
    program->Svc.ApplyData = [] { return false; };
    Link().ExecMsgCommand("Execute");
    EXPECT_EQ(Lines(dir / "msg" / "send.tmp").size(), 2u);
}

TEST_F(CommandLinkTest, ClipScriptPlaysThroughTheLinkAndWaitsForTheUser) {
    const std::vector<std::string> script = {"Delay;0", "Comment;step one", "Wait;x,Nvoid",
                                             "Comment;step two", "End"};
    ASSERT_TRUE(WriteTextFileAtomic(dir / "scn.txt", script).ok());
    Link().PlayClip();
    ASSERT_TRUE(Link().ClipPlaying());
    // The program polls its link; the user picks the awaited item once it is asked for.
    bool clicked = false;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        form1->MainClockTickRun();
        if (!clicked && form1->ExpectedItem == "Nvoid") {
            clicked = true;
            form1->Find<TMenuItem>("Nvoid")->Click();
        }
    });
    tick.start(20);
    EXPECT_TRUE(PumpUntil([&] { return !Link().ClipPlaying(); }, 10000));
    tick.stop();
    form1->MainClockTickRun(); // the last prompt
    EXPECT_EQ(Link().ClipResult, "end");
    EXPECT_EQ(program->s.StatusText.substr(0, 8), "step two");
    TForm* clip = Screen().FindForm("ClipForm");
    ASSERT_NE(clip, nullptr);
    EXPECT_TRUE(clip->isVisible());
    EXPECT_EQ(static_cast<TClipForm*>(clip)->Label1->Caption(), Cp("Клип закончен"));

    // No script: said so, nothing plays.
    fs::remove(dir / "scn.txt");
    Link().PlayClip();
    EXPECT_FALSE(Link().ClipPlaying());
    EXPECT_EQ(Link().ClipResult, "missing");
}

// Lines that take no time, however many, and a Repeat that would come round with nothing to
// play: the clip goes on to its first timed line or ends; it never loops in place (a script of
// only "Repeat" once took the program down).
TEST_F(CommandLinkTest, ClipLinesThatTakeNoTimeNeitherLoopNorNest) {
    std::vector<std::string> manyDelays(200000, "Delay;0");
    manyDelays.push_back("Comment;after the delays");
    struct Case {
        const char* name;
        std::vector<std::string> script;
        bool playing;       // a timed step waits
        const char* result; // when not playing
        std::size_t steps;  // timed steps run after the start
        const char* status; // the status line after them ("" leaves it)
    };
    const Case cases[] = {
        {"only Repeat", {"Repeat"}, false, "end", 0, ""},
        {"delays and Repeat", {"Delay;0", "Delay;5", "Repeat"}, false, "end", 0, ""},
        {"many delays", manyDelays, true, "", 1, "after the delays"},
        {"Repeat after a timed line", {"Delay;0", "Comment;again", "Repeat"}, true, "", 3,
         "again"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteTextFileAtomic(dir / "scn.txt", c.script).ok());
        Link().PlayClip();
        EXPECT_EQ(Link().ClipPlaying(), c.playing);
        if (!c.playing) {
            EXPECT_EQ(Link().ClipResult, c.result);
        }
        for (std::size_t i = 0; i < c.steps; ++i) ASSERT_TRUE(Link().ClipStepNow());
        Link().StopClip();
        form1->MainClockTickRun(); // the lines the clip sent run
        if (*c.status) {
            EXPECT_EQ(program->s.StatusText.substr(0, std::strlen(c.status)), c.status);
        }
    }
}

TEST(Glide, PointsOfTheLine) {
    struct Case {
        QPoint from, to;
        std::size_t count;
    };
    const Case cases[] = {{{5, 5}, {5, 5}, 1},
                          {{0, 0}, {10, 0}, 11},
                          {{10, 3}, {0, 3}, 11},
                          {{0, 0}, {7, 7}, 8},
                          {{0, 0}, {3, -9}, 10}};
    for (const Case& c : cases) {
        const auto pts = GlidePoints(c.from, c.to);
        ASSERT_EQ(pts.size(), c.count);
        EXPECT_EQ(pts.front(), c.from);
        EXPECT_EQ(pts.back(), c.to);
        for (std::size_t i = 1; i < pts.size(); ++i) {
            const QPoint d = pts[i] - pts[i - 1];
            EXPECT_LE(std::abs(d.x()), 1);
            EXPECT_LE(std::abs(d.y()), 1);
            if (c.from.y() == c.to.y()) EXPECT_EQ(d.y(), 0);               // horizontal
            if (c.to - c.from == QPoint(7, 7)) EXPECT_EQ(d, QPoint(1, 1)); // 45 degrees
        }
    }
}

TEST(Glide, RunsFromATimerAndLeavesOtherWorkRunning) {
    test::QtApp();
    Pointer& ptr = Screen().Cursor();
    ptr.SetPos({100, 100});
    bool otherRan = false, done = false;
    QTimer::singleShot(5, [&] { otherRan = true; });
    Glide().GlideTo({100, 400}, [&] { done = true; });
    QElapsedTimer t;
    t.start();
    bool ranDuring = false;
    while (!done && t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (otherRan && Glide().Running()) ranDuring = true;
    }
    EXPECT_TRUE(done);
    EXPECT_TRUE(ranDuring); // queued work ran while the pointer moved
    EXPECT_EQ(ptr.Pos(), QPoint(100, 400));

    // Rolling: at least one diamond, the time measured on a monotonic clock.
    done = false;
    const int before = ptr.Steps;
    Glide().Roll(0, [&] { done = true; });
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(ptr.Steps - before, 21); // 5 to the left corner, then 4 sides of 4 steps
    EXPECT_EQ(ptr.Pos(), QPoint(96, 400));
    ptr.SetPos({100, 400});
    done = false;
    t.restart();
    Glide().Roll(120, [&] { done = true; });
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_GE(t.elapsed(), 120);
}

TEST(ClipWindow, PlacesDragsAndCloses) {
    test::QtApp();
    struct Case {
        const char* word;
        int x, y;
    };
    // a 1000 x 800 screen, the bubble 300 x 90, margin 80
    const Case cases[] = {{"Mid", 350, 355},     {"TopLeft", 80, 80},   {"Left", 80, 355},
                          {"Top", 350, 80},      {"TopRight", 620, 80}, {"Right", 620, 355},
                          {"LeftDown", 80, 630}, {"Down", 350, 630},    {"RightDown", 620, 630}};
    for (const Case& c : cases) {
        QPoint at;
        ASSERT_TRUE(PromptPlace(c.word, 1000, 800, 300, 90, at)) << c.word;
        EXPECT_EQ(at, QPoint(c.x, c.y)) << c.word;
    }
    QPoint at(1, 2);
    EXPECT_FALSE(PromptPlace("Elsewhere", 1000, 800, 300, 90, at));

    ShowPrompt(Cp("Привет"), "TopLeft");
    auto* clip = dynamic_cast<TClipForm*>(Screen().FindForm("ClipForm"));
    ASSERT_NE(clip, nullptr);
    EXPECT_TRUE(clip->isVisible());
    EXPECT_EQ(clip->Label1->Caption(), Cp("Привет"));
    const QPoint start = clip->pos();
    clip->DragPress({10, 10});
    clip->DragMove({15, 30});
    clip->DragMove({25, 30});
    clip->DragRelease(MouseButton::Left);
    EXPECT_EQ(clip->pos(), start + QPoint(15, 20));
    EXPECT_TRUE(clip->isVisible()); // a left click only drags
    clip->DragMove({100, 100});     // no button held: no drag
    EXPECT_EQ(clip->pos(), start + QPoint(15, 20));
    QPointer<TClipForm> gone(clip);
    clip->DragPress({0, 0});
    clip->DragRelease(MouseButton::Right);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull() || !gone->isVisible());
    // An empty prompt closes the window.
    ShowPrompt("x", "Mid");
    ShowPrompt("", "Mid");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TForm* f = Screen().FindForm("ClipForm");
    EXPECT_TRUE(!f || !f->isVisible());
}

} // namespace
} // namespace qor::shell
