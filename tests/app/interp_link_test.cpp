// The text window driven through the command link in the started program: its memo read and
// set, its menu items run by name, a report's busy mark taken back without the answers before
// it, and what needs a person refused with "Error;..." instead of a dialog.
#include "MainWindowFixture.h"

#include "core/Text.h"
#include "interp/Interp.h"
#include "shell/CommLink.h"

#include <QApplication>
#include <QKeyEvent>

#include <fstream>

namespace qor::shell {
namespace {

class InterpLinkTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        interp = dynamic_cast<interp::TInterp*>(Screen().FindForm("Interp"));
        ASSERT_TRUE(interp) << "the text window is made at start-up";
        interp->show();
        dialogs.asked.clear(); // the start-up's own notes
    }
    // Runs lines as the peer sends them.
    void Send(const std::string& lines) {
        std::ofstream(dir / "msg" / "receive.tmp", std::ios::binary | std::ios::app) << lines;
        form1->Link->PollMsgReceive();
    }
    std::vector<std::string> Answers() {
        std::vector<std::string> lines;
        ReadTextLines(dir / "msg" / "send.tmp", lines);
        return lines;
    }
    interp::TInterp* interp = nullptr;
};

TEST_F(InterpLinkTest, MemoSetAndReadByTheLink) {
    Send("Message;Interp,Memo;" + Cp("первая строка") + "\r\nGetFrom;Interp,Memo\r\n");
    EXPECT_EQ(Answers(), std::vector<std::string>{Cp("первая строка")});
}

TEST_F(InterpLinkTest, AReportKeepsTheAnswersBeforeItAndTakesItsWaitBack) {
    std::vector<std::string> seen;
    bool idleInside = true;
    interp->Reports().ByItem["Nnatal"] = [&](interp::TInterp& w) {
        w.Writer().Run([&] {
            seen = Answers();
            idleInside = program->Flags.ProgramIdle;
            w.Writer().AddLine("report line");
        });
    };
    Send("GetFrom;Interp,Memo\r\nMessage;Interp,Nnatal;\r\nGetFrom;Interp,Memo\r\n");
    EXPECT_EQ(seen, (std::vector<std::string>{"", "Wait"})); // busy while it runs
    EXPECT_FALSE(idleInside);
    EXPECT_TRUE(program->Flags.ProgramIdle);
    EXPECT_EQ(Answers(), (std::vector<std::string>{"", "report line"}));
    EXPECT_TRUE(dialogs.asked.empty());
}

// A report of a double chart asked for without its chart answers "Error;..." and opens no box.
TEST_F(InterpLinkTest, AReportWithoutItsChartIsRefused) {
    for (const char* item : {"N5", "NSolar", "N6"}) {
        std::ofstream(dir / "msg" / "send.tmp", std::ios::trunc);
        Send(std::string("Message;Interp,") + item + ";\r\n");
        const auto answers = Answers();
        ASSERT_EQ(answers.size(), 1u) << item;
        EXPECT_EQ(answers[0].rfind("Error;", 0), 0u) << answers[0];
    }
    EXPECT_TRUE(dialogs.asked.empty());
}

TEST_F(InterpLinkTest, WhatNeedsAPersonIsRefusedWithoutADialog) {
    for (const char* item : {"SaveFileAs", "ReadFile", "PrintOut", "N4", "NFont", "NIndent"}) {
        std::ofstream(dir / "msg" / "send.tmp", std::ios::trunc);
        Send(std::string("Message;Interp,") + item + ";\r\n");
        const auto answers = Answers();
        ASSERT_EQ(answers.size(), 1u) << item;
        EXPECT_EQ(answers[0].rfind(std::string("Error;Interp: ") + item, 0), 0u) << answers[0];
    }
    // "Save" of a text without a name would ask for one: refused as well.
    std::ofstream(dir / "msg" / "send.tmp", std::ios::trunc);
    Send("Message;Interp,SaveFile;\r\n");
    ASSERT_EQ(Answers().size(), 1u);
    // The date list without a list in the comment says so on the link, not in a box.
    std::ofstream(dir / "msg" / "send.tmp", std::ios::trunc);
    Send("Message;Interp;KeyDown,90,ssAlt\r\n");
    ASSERT_EQ(Answers().size(), 1u);
    EXPECT_EQ(Answers()[0].rfind("Error;Interp: \"", 0), 0u) << Answers()[0];
    EXPECT_TRUE(dialogs.asked.empty());
    // The same items asked by a person open their dialogs.
    interp->ReadFileClick();
    EXPECT_EQ(dialogs.asked.size(), 1u);
}

TEST_F(InterpLinkTest, TextButtonShowsTheWindowAndForgetsThePoint) {
    interp->hide();
    program->Flags.InterpPoint = 7;
    form1->RunItem("TextButton");
    EXPECT_TRUE(interp->isVisible());
    EXPECT_EQ(program->Flags.InterpPoint, 0);
}

TEST_F(InterpLinkTest, F1OpensTheWindowsPagesShippedInBothLanguages) {
    for (const auto& [window, page] : {std::pair<const char*, const char*>{"Interp",
                                                                           "horoscopes_reading.html"},
                                       {"IntSet", "text-files.html"}}) {
        TForm* f = Screen().Ensure(window);
        ASSERT_TRUE(f);
        f->show();
        opened.clear();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(f, &press);
        EXPECT_EQ(opened, std::vector<std::string>{page}) << window;
        EXPECT_TRUE(fs::exists(kShippedData / "Manual" / page)) << page;
        EXPECT_TRUE(fs::exists(kShippedData / "EManual" / page)) << page;
    }
}

TEST_F(InterpLinkTest, TakingBackABusyMarkCutsOnlyAWholeLastLine) {
    const fs::path send = dir / "msg" / "send.tmp";
    struct Case {
        std::string before, after;
    };
    const Case cases[] = {
        {"answer\r\nWait\r\n", "answer\r\n"},
        {"Wait\r\n", ""},
        {"NoWait\r\n", "NoWait\r\n"},      // not a whole line
        {"Wait\r\nlater\r\n", "Wait\r\nlater\r\n"}, // an answer came after it
        {"", ""},
    };
    for (const auto& c : cases) {
        std::ofstream(send, std::ios::binary | std::ios::trunc) << c.before;
        EXPECT_TRUE(form1->Link->MsgTakeBackLine(MsgFile::Send, "Wait"));
        EXPECT_EQ(test::TempDir::Read(send), c.after) << c.before;
    }
    // The peer took the file away: nothing to take back.
    fs::remove(send);
    EXPECT_TRUE(form1->Link->MsgTakeBackLine(MsgFile::Send, "Wait"));
    EXPECT_FALSE(fs::exists(send));
}

} // namespace
} // namespace qor::shell
