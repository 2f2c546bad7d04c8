// The whole program on damaged files and hostile commands: the start log is complete before
// any dialog, a log that takes no lines ends the start, an aspect page name from the command
// link cannot reach outside the program folder, a file far larger than its format is refused
// unread, and a pointer far off the window is harmless.
#include "app/Subsystems.h"
#include "core/AstroDat.h"
#include "core/ChironTable.h"
#include "core/Files.h"
#include "core/PlutoTable.h"
#include "core/ProgramFolder.h"
#include "core/Text.h"
#include "forecast/EphemerisFiles.h"
#include "geo/Atlas.h"
#include "geo/Coast.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"
#include "support/QtApp.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>

namespace qor::shell {
namespace {

using namespace ui;
namespace fs = std::filesystem;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

// Dialogs that note, at each message, the start log as it stands then.
class LogReadingDialogs : public AnsweringDialogs {
public:
    fs::path log;
    std::vector<std::vector<std::string>> logAtMessage;
    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override {
        std::vector<std::string> lines;
        ReadTextLines(log, lines, 1 << 20);
        logAtMessage.push_back(lines);
        return AnsweringDialogs::Message(kind, text, buttons);
    }
};

class HostileInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        dialogs.log = home / "qorstart.log";
        Screen().SetDialogs(&dialogs);
        Screen().SetSize(1280, 1024);
        ASSERT_TRUE(SeedProgramFolder(kData, home).ok());
    }
    void TearDown() override {
        Stop();
        Screen().SetDialogs(nullptr);
        Screen().SetSize(0, 0);
    }
    int Start() {
        Stop();
        program = std::make_unique<Program>(home);
        app::RegisterSubsystems(*program);
        EntryOptions o;
        o.runLoop = false;
        o.russianLocale = 0;
        return ProgramEntry(*program, o);
    }
    void Stop() { program.reset(); }

    test::TempDir dir;
    const fs::path home = dir / "home"; // the program folder, one below the test's own
    LogReadingDialogs dialogs;
    std::unique_ptr<Program> program;
};

// A damaged file that ends the start: "Start failed: ..." and the damage itself are in the log
// before the first dialog shows.
TEST_F(HostileInputTest, TheLogIsCompleteBeforeAnyDialog) {
    std::string dat = test::TempDir::Read(home / "PLANETS.DAT");
    const double big = 1.5e308;
    std::memcpy(&dat[14400], &big, 8);
    ASSERT_TRUE(SaveFileAtomic(home / "PLANETS.DAT", dat).ok());
    EXPECT_EQ(Start(), 2);
    const std::string damage = "The planetary terms file is damaged: PLANETS.DAT, term 600";
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(dialogs.Messages()[0], damage);
    const std::vector<std::string>& log = dialogs.logAtMessage.front();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "Error: " + damage);
    EXPECT_EQ(log.back(), "Start failed: planet series: " + damage);
}

// A damaged catalogue at start: the loader's refusal is logged and then shown; one the chart
// needs ends the start with status 2, the deep-sky catalogue leaves it running. Whatever the
// start says (the first start's note on a wide screen too), the log has come to its end before
// the first dialog.
TEST_F(HostileInputTest, ACatalogueRefusedAtStartIsLoggedAndShown) {
    const auto put = [](std::string& bytes, std::size_t at, auto value) {
        std::memcpy(&bytes[at], &value, sizeof value);
    };
    struct Case {
        const char* file;
        std::function<void(std::string&)> damage;
        int status;
        std::string told;    // one of the messages, logged before the first dialog
        std::string lastLog; // the start of the log's last line at the first dialog
    };
    const std::vector<Case> cases = {
        {"Deepobj.txt", [](std::string& b) { b.clear(); }, 0,
         "Deepobj.txt: the catalogue holds no object", "Ready"},
        {"Deepobj.txt", [](std::string& b) { b = "garbage\r\n;;;\r\n"; }, 0,
         "Deepobj.txt: lines without a right ascension and declination left out: 2 (the first: "
         "line 1)",
         "Ready"},
        {"yale.mdb", [&](std::string& b) { put(b, 54 * 99 + 30, std::nanf("")); }, 2,
         "yale.mdb: a value out of range in record 100; the catalogue was not loaded",
         "Start failed: yale.mdb cannot be read"},
        {"planets.mdb", [&](std::string& b) { put(b, 112 * 4 + 24 + 16, HUGE_VAL); }, 2,
         "planets.mdb: a value out of range in record 5; the bodies were not read",
         "Start failed: planets.mdb cannot be read"},
        {"PLANETS.NDX", [](std::string& b) { b += "garbage"; }, 2,
         "The planetary index file is damaged: PLANETS.NDX", "Start failed: planet series: "},
    };
    bool first = true;
    for (const Case& c : cases) {
        const fs::path file = home / c.file;
        const std::string shipped = test::TempDir::Read(file);
        std::string bytes = shipped;
        c.damage(bytes);
        ASSERT_TRUE(SaveFileAtomic(file, bytes).ok());
        dialogs.asked.clear();
        dialogs.logAtMessage.clear();
        EXPECT_EQ(Start(), c.status) << c.file;
        const std::vector<std::string> shown = dialogs.Messages();
        const auto told = std::find_if(shown.begin(), shown.end(), [&](const std::string& m) {
            return m.rfind(c.told, 0) == 0;
        });
        EXPECT_NE(told, shown.end()) << c.file;
        if (first) { // the first start on a screen wider than 1024 pixels notes the layout
            EXPECT_EQ(std::count(shown.begin(), shown.end(), GetMsgText(program->s, 154)), 1);
        }
        ASSERT_FALSE(dialogs.logAtMessage.empty()) << c.file;
        const std::vector<std::string>& log = dialogs.logAtMessage.front();
        EXPECT_NE(std::find_if(log.begin(), log.end(),
                               [&](const std::string& line) {
                                   return line.find(c.told) != std::string::npos;
                               }),
                  log.end())
            << c.file;
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back().rfind(c.lastLog, 0), 0u) << log.back();
        if (c.status == 0) program->Form1->Close();
        ASSERT_TRUE(SaveFileAtomic(file, shipped).ok());
        first = false;
    }
}

// A start log on a full disk: the start ends with status 1 and says why.
TEST_F(HostileInputTest, AStartLogOnAFullDiskEndsTheStart) {
    ASSERT_TRUE(fs::exists("/dev/full"));
    fs::create_symlink("/dev/full", home / "qorstart.log");
    EXPECT_EQ(Start(), 1);
    EXPECT_FALSE(program->Form1->Started);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], std::string(std::strerror(ENOSPC)) + ": qorstart.log");
}

// A page name sent through the command link is kept in the window state like any text, but
// the next start refuses it: no page is read or written outside "Aspects".
TEST_F(HostileInputTest, AnAspectPageNameFromTheLinkStaysInsideThePageFolder) {
    ASSERT_EQ(Start(), 0);
    program->Form1->Link->ExecMsgCommand("Message;KartForm;Show");
    program->Form1->Link->ExecMsgCommand("Message;KartForm,AspectLetterEdit;..\\..\\evil2");
    ASSERT_EQ(program->Text("KartForm", "AspectLetterEdit"), "..\\..\\evil2");
    program->Form1->Close();
    dialogs.asked.clear();
    ASSERT_EQ(Start(), 0);
    EXPECT_FALSE(fs::exists(dir / "evil2.asp"));
    EXPECT_FALSE(fs::exists(home / "evil2.asp"));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].rfind("Aspect page \"..\\..\\evil2\": ", 0), 0u)
        << dialogs.Messages()[0];
    EXPECT_EQ(program->AspTable.AspCount, 14); // the page shown before stays in force
    program->Form1->Close();
}

// A file far larger than its format allows (a sparse file of 64 GiB, which takes no room) is
// refused as damaged at once: its size is checked before anything is read or allocated.
TEST_F(HostileInputTest, AFileFarLargerThanItsFormatIsRefusedUnread) {
    constexpr std::uintmax_t kHuge = std::uintmax_t{64} << 30;
    struct Case {
        const char* file;
        // Loads the file; what was said or the error, empty when it was taken.
        std::function<std::string(AstroDat&, test::RecordingReport&)> load;
    };
    const auto said = [](bool taken, const test::RecordingReport& r) {
        return taken ? std::string() : r.messages.empty() ? "(nothing said)" : r.messages.back().text;
    };
    const auto openCoast = [&](AstroDat& s, test::RecordingReport& r) {
        CoastFiles c;
        return said(OpenCoastFiles(s, c), r);
    };
    const auto loadAtlas = [&](AstroDat& s, test::RecordingReport& r) {
        Atlas a;
        return said(LoadAtlas(s, a), r);
    };
    const Case cases[] = {
        {"chiron.dat",
         [&](AstroDat& s, test::RecordingReport& r) {
             ChironTable t;
             return said(ReadChironTable(s, t), r);
         }},
        {"pluto.dat",
         [&](AstroDat& s, test::RecordingReport& r) {
             LoadPlutoTable(s);
             return said(s.Planets.Pluto.Loaded, r);
         }},
        {"geocr.atl", loadAtlas},
        {"geonr.atl", loadAtlas},
        {"coast.ptr", openCoast},
        {"coast.dat", openCoast},
        {"Wrk\\Tab2000.wrk",
         [](AstroDat& s, test::RecordingReport&) {
             std::vector<forecast::EphemerisRecord> records;
             const IoResult r = forecast::ReadEphemerisFile(s.DataPath("Wrk\\Tab2000.wrk"), records);
             return r.ok() ? std::string() : r.message;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path path = ResolvePath(home, c.file);
        fs::create_directories(path.parent_path());
        const bool had = fs::exists(path);
        const std::string kept = had ? test::TempDir::Read(path) : std::string();
        std::ofstream(path, std::ios::binary | std::ios::app).close();
        std::error_code ec;
        fs::resize_file(path, kHuge, ec);
        if (ec) {
            std::cout << "[  SKIPPED ] " << c.file << ": no sparse file of 64 GiB here ("
                      << ec.message() << ")\n";
            fs::remove(path);
            continue;
        }
        AstroDat s;
        s.ProgramFolder = home;
        test::RecordingReport report;
        s.Report = &report;
        const std::string refused = c.load(s, report);
        const std::string name = path.filename().string();
        EXPECT_NE(refused.find(name), std::string::npos) << refused;
        fs::remove(path);
        if (had) ASSERT_TRUE(SaveFileAtomic(path, kept).ok());
    }
}

// A pointer far outside the wheel (the ends of the integer range) moves nothing and shows no
// hint.
TEST_F(HostileInputTest, APointerFarOffTheWheelIsHarmless) {
    ASSERT_EQ(Start(), 0);
    for (const char* move : {"Message;Form1,PaintBox;MouseMove,-2147483648,-2147483648",
                             "Message;Form1,PaintBox;MouseMove,[],2147483647,-2147483648",
                             "Message;Form1,PaintBox;MouseDown,mbLeft,[],-2147483648,0"})
        program->Form1->Link->ExecMsgCommand(move);
    EXPECT_FALSE(program->Form1->GeoNameLabel->isVisible());
    program->Form1->Close();
}

} // namespace
} // namespace qor::shell
