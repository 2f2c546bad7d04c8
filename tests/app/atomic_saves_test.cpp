// Every save of the program on a full disk and in a read-only folder: the save says it failed,
// the user is told, the old files stay byte-identical and no temporary file is left.
//
// Each case runs in a child process with the program folder on a tmpfs of its own in a private
// mount namespace: filled to the last byte for a full disk, remounted read-only for a read-only
// folder. Where no such namespace can be made, a full disk is a file-size limit of 0 (SIGXFSZ
// ignored) and a read-only folder its write permission taken away (not as root, who ignores
// it); a case that can set up neither says so and is skipped.
//
// The saves of the windows run in the started program, with only the folder they write to
// on a tmpfs (carrying its files), so that the program reads its shipped files as usual.
#include "chart/AspTablForm.h"
#include "chart/AstroForm.h"
#include "chart/BasePages.h"
#include "chart/HistoryFile.h"
#include "chart/KartForm.h"
#include "core/Aspects.h"
#include "core/ChartRecords.h"
#include "core/Files.h"
#include "core/Parses.h"
#include "core/SymbolFont.h"
#include "core/Text.h"
#include "forecast/CalendForm.h"
#include "forecast/EphemerisFiles.h"
#include "forecast/MoonForm.h"
#include "forecast/TabForm.h"
#include "geo/Atlas.h"
#include "geo/AtlasText.h"
#include "interp/Interp.h"
#include "interp/Intxt.h"
#include "shell/ParsWindow.h"
#include "sky/AsteroidTable.h"
#include "sky/Asteroids.h"
#include "sky/StarCatalogue.h"
#include "sky/StarTable.h"
#include "sky/Surface.h"
#include "ui/WindowState.h"

#include "MainWindowFixture.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qor {
namespace {

using namespace chart;

const fs::path kData = fs::path(QOR_SOURCE_DIR) / "data";

// What a save routine says: whether it saved, and what the user (or, for routines that hand
// the result to their caller, the caller) is told.
struct Said {
    bool saved = true;
    std::string told;
};
Said FromBool(bool saved, const test::RecordingReport& report) {
    Said r{saved, {}};
    for (const auto& m : report.messages) r.told += m.text;
    return r;
}
Said FromIo(const IoResult& io) {
    return {io.ok(), io.message};
}

struct SaveCase {
    const char* name;
    std::map<std::string, std::string> old; // program name -> the bytes there before the save
    std::function<void(AstroDat&)> prepare; // what the routine reads besides
    std::function<Said(AstroDat&, test::RecordingReport&)> save;
};

// A few lines of the shipped atlas as its text file.
std::string AtlasTextSample() {
    std::string coords, names, zones;
    ReadFileBytes(kData / "geocr.atl", coords);
    ReadFileBytes(kData / "geonr.atl", names);
    ReadFileBytes(kData / "geozr.atl", zones);
    AstroDat s;
    s.ProgramFolder = kData;
    const auto lines =
        AtlasTextLines(s, DecodeCityCoords(coords), DecodeCityNames(names), SplitTextLines(zones));
    std::string text;
    for (std::size_t i = 0; lines && i < 5; ++i) text += (*lines)[i * 1000] + "\r\n";
    return text;
}

std::vector<SaveCase> Cases() {
    const std::string oldText = "the old file\r\nsecond line\r\n";
    return {
        {"window state main.ini",
         {{"main.ini", oldText}},
         nullptr,
         [](AstroDat& s, test::RecordingReport& r) {
             ui::WindowStateFiles files(s);
             return FromBool(files.SaveMainIni(), r);
         }},
        {"window state Form.ini",
         {{"Form.ini", oldText}},
         nullptr,
         [](AstroDat& s, test::RecordingReport& r) {
             ui::WindowStateFiles files(s);
             files.FormIniList = {"KartForm;Left;10", "KartForm;Top;20"};
             return FromBool(files.SaveFormIni(), r);
         }},
        {"window state restored from its default copies",
         {{"main.ini", oldText},
          {"Form.ini", oldText + "x"},
          {"main.dfl", "ScreenSize,1,1\r\n"},
          {"form.dfl", "KartForm;Left;10\r\n"}},
         nullptr,
         [](AstroDat& s, test::RecordingReport& r) {
             ui::WindowStateFiles files(s);
             return FromBool(files.RestoreDefaultFiles(), r);
         }},
        {"window state default copies made",
         {},
         nullptr,
         [](AstroDat& s, test::RecordingReport& r) {
             ui::WindowStateFiles files(s);
             files.FormIniList = {"KartForm;Left;10"};
             return FromBool(files.WriteDefaultCopies(), r);
         }},
        {"aspect page",
         {{"Aspects\\Test.asp", oldText}},
         nullptr,
         [](AstroDat& s, test::RecordingReport& r) {
             return FromBool(SaveAspectPage(s, "Test", BuiltInAspectLines()), r);
         }},
        {"aspect page in the old layout, saved in the new one",
         {{"Aspects\\Old.asp",
           test::TempDir::Read(fs::path(QOR_FIXTURES_DIR) / "aspects" / "OldLayout.asp")}},
         nullptr,
         [](AstroDat& s, test::RecordingReport& r) {
             AspDefTable table;
             std::vector<std::string> lines = BuiltInAspectLines();
             return FromBool(LoadAspectPage(s, "Old", table, lines), r);
         }},
        {"parts page",
         {{"Parses\\Test.prs", oldText}},
         nullptr,
         [](AstroDat& s, test::RecordingReport&) {
             return FromIo(WriteParsPage(s, "Test", {"\"Test\"", "F;Fortune;Asc+Mon-Sun"}));
         }},
        {"symbol font",
         {{"font16.fnt", std::string(kSymbolFontBytes, 'o')}},
         nullptr,
         [](AstroDat& s, test::RecordingReport& r) {
             Font16Glyphs font{};
             font.words.fill(0x1234);
             return FromBool(SaveSymbolFont(s, font), r);
         }},
        {"surface files",
         {{"Img\\P4.img", std::string(15, 'o')}, {"Img\\P4.nme", oldText}},
         nullptr,
         [](AstroDat& s, test::RecordingReport& r) {
             auto regions = std::make_unique<SurfaceRegions>();
             regions->Mode = 4;
             regions->LastIndex = 1;
             regions->Records[1] = {0, 10, 20, 30, 1, 0xFF, 0};
             regions->Names[1] = "Region";
             regions->NameCount = 1;
             return FromBool(SaveSurfaceRegions(s, *regions), r);
         }},
        {"atlas import",
         {{"geocr.atl", "old coordinates"}, {"geonr.atl", "old names"}, {"geozr.atl", oldText}},
         [](AstroDat& s) {
             std::ofstream(ResolvePath(s.ProgramFolder, "Wrk\\Atlas.txt"), std::ios::binary)
                 << AtlasTextSample();
         },
         [](AstroDat& s, test::RecordingReport& r) {
             Atlas a;
             return FromBool(ImportAtlasTxt(s, a), r);
         }},
        {"atlas export under Wrk",
         {},
         [](AstroDat& s) {
             // the atlas made from its text, then the text replaced by an older one
             const fs::path text = ResolvePath(s.ProgramFolder, "Wrk\\Atlas.txt");
             std::ofstream(text, std::ios::binary) << AtlasTextSample();
             Atlas a;
             ASSERT_TRUE(ImportAtlasTxt(s, a));
             std::ofstream(text, std::ios::binary | std::ios::trunc) << "the old export\r\n";
         },
         [](AstroDat& s, test::RecordingReport& r) {
             Atlas a;
             if (!LoadAtlas(s, a)) return Said{true, "the atlas did not load"};
             r.messages.clear();
             return FromBool(ExportAtlasTxt(s, a), r);
         }},
        {"chart base page",
         {{"DBase\\Test.qbs", oldText}},
         nullptr,
         [](AstroDat& s, test::RecordingReport&) {
             BaseRow row{};
             row[0] = "Name";
             row[2] = "05.03.1990";
             return FromIo(WriteBasePage(s, "Test", {row, row}));
         }},
        {"chart history",
         {{kHistoryFileName, oldText}},
         nullptr,
         [](AstroDat& s, test::RecordingReport&) {
             return FromIo(WriteHistory(s, {"a;b;c", "d;e;f", "g;h;i"}));
         }},
        {"ephemeris cache",
         {{forecast::EphemerisFileName(forecast::EphemerisKind::Annual, 2024), oldText}},
         nullptr,
         [](AstroDat& s, test::RecordingReport&) {
             return FromIo(forecast::SaveEphemerisFile(s, forecast::EphemerisKind::Annual, 2024,
                                                       std::string(4000, 'n')));
         }},
        {"ephemeris text under Wrk",
         {{"Wrk\\Tab.txt", oldText}},
         [](AstroDat& s) {
             LeWriter out;
             for (int day = 1; day <= 3; ++day) {
                 forecast::EphemerisRecord rec;
                 rec.Third = static_cast<int16_t>(day);
                 forecast::WriteEphemerisRecord(out, rec);
             }
             std::ofstream(ResolvePath(s.ProgramFolder, "Wrk\\Tab.wrk"), std::ios::binary)
                 << out.bytes();
         },
         [](AstroDat& s, test::RecordingReport&) {
             return FromIo(
                 forecast::AnnualEphemerisToText(s, ResolvePath(s.ProgramFolder, "Wrk\\Tab.wrk"),
                                                 ResolvePath(s.ProgramFolder, "Wrk\\Tab.txt")));
         }},
        {"asteroid list under Wrk",
         {{kAsteroidFileName, oldText}},
         [](AstroDat& s) {
             fs::copy_file(fs::path(QOR_SOURCE_DIR) / "tests/fixtures/asteroids_five/asteroid.csv",
                           ResolvePath(s.ProgramFolder, "asteroid.csv"));
         },
         [](AstroDat& s, test::RecordingReport& r) {
             AsteroidCatalogue c;
             if (!LoadAsteroidCatalogue(s, c)) return Said{true, "the catalogue did not load"};
             return FromBool(WriteAsteroidFile(s, c), r);
         }},
        {"star list under Wrk",
         {{kStarsTxtFile, oldText}},
         nullptr,
         [](AstroDat& s, test::RecordingReport& r) {
             // the shipped catalogue, read where it lies
             AstroDat shipped;
             shipped.ProgramFolder = kData;
             test::RecordingReport quiet;
             shipped.Report = &quiet;
             auto c = std::make_unique<StarCatalogue>();
             if (!LoadYaleCatalogue(shipped, *c)) return Said{true, "the catalogue did not load"};
             return FromBool(WriteStarsTxt(s, *c, true, {}), r);
         }},
    };
}

enum class Failure { DiskFull, ReadOnly };

// The files under a folder and their bytes (the filler of a full disk left out).
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (!e.is_regular_file() || e.path().filename() == "filler") continue;
        std::string bytes;
        ReadFileBytes(e.path(), bytes);
        files[fs::relative(e.path(), folder).string()] = bytes;
    }
    return files;
}

bool WriteFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && ok;
}

// A mount namespace of this process alone (with a user namespace when not root). It must be
// entered while the process has one thread, before Qt starts any.
bool PrivateNamespace(std::string& why) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (uid == 0) {
        if (::unshare(CLONE_NEWNS) != 0) {
            why = std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
            return false;
        }
    } else {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            why = std::string("unshare(CLONE_NEWUSER | CLONE_NEWNS): ") + std::strerror(errno);
            return false;
        }
        WriteFile("/proc/self/setgroups", "deny");
        if (!WriteFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
            why = "the user namespace's id maps cannot be written";
            return false;
        }
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        why = std::string("mount --make-rprivate /: ") + std::strerror(errno);
        return false;
    }
    return true;
}

// A tmpfs over `folder` (in the private namespace) holding the files the folder held, with
// about a megabyte to spare.
bool TmpfsKeeping(const fs::path& folder, std::string& why) {
    const auto files = Snapshot(folder);
    std::size_t bytes = 0;
    for (const auto& [name, content] : files) bytes += content.size() + 4096;
    const std::string options = "size=" + std::to_string(bytes + (1 << 20)) + ",mode=0700";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        why = std::string("mount tmpfs: ") + std::strerror(errno);
        return false;
    }
    for (const auto& [name, content] : files) {
        fs::create_directories((folder / name).parent_path());
        std::ofstream(folder / name, std::ios::binary) << content;
    }
    return true;
}

// Fills the file system of `folder` to the last byte; false when a byte still fits.
bool FillUp(const fs::path& folder) {
    const fs::path filler = folder / "filler";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return false;
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {}
    while (::write(fd, "f", 1) > 0) {}
    ::close(fd);
    const fs::path probe = folder / "probe";
    const int p = ::open(probe.c_str(), O_WRONLY | O_CREAT, 0600);
    const bool full = p < 0 || ::write(p, "x", 1) != 1;
    if (p >= 0) ::close(p);
    ::unlink(probe.c_str());
    return full;
}

// Gives or takes the owner's write permission on the folder and every folder below it.
void SetWritable(const fs::path& folder, bool writable) {
    std::error_code ec;
    const auto how = writable ? fs::perm_options::add : fs::perm_options::remove;
    for (const auto& e : fs::recursive_directory_iterator(folder, ec))
        if (e.is_directory()) fs::permissions(e.path(), fs::perms::owner_write, how, ec);
    fs::permissions(folder, fs::perms::owner_write, how, ec);
}

constexpr int kSkip = 77;

// Makes `folder` a full disk or a read-only folder: on its own tmpfs when `mounted`, else by a
// file-size limit or by taking the write permission. Returns 0, or kSkip with the reason in
// `notes`; `undoWritable` says the permission must be given back after the save.
int MakeItFail(Failure failure, const fs::path& folder, bool mounted, const std::string& why,
               std::string& notes, bool& undoWritable) {
    undoWritable = false;
    if (failure == Failure::DiskFull) {
        if (mounted) {
            if (!FillUp(folder)) {
                notes = "the tmpfs could not be filled";
                return kSkip;
            }
        } else {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit none{0, 0};
            if (::setrlimit(RLIMIT_FSIZE, &none) != 0) {
                notes = why + "; setrlimit(RLIMIT_FSIZE): " + std::strerror(errno);
                return kSkip;
            }
        }
    } else if (mounted) {
        if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
            0) {
            notes = std::string("remount read-only: ") + std::strerror(errno);
            return kSkip;
        }
    } else if (::geteuid() != 0) {
        SetWritable(folder, false);
        undoWritable = true;
    } else {
        notes = why + "; and root ignores permission bits";
        return kSkip;
    }
    return 0;
}

// What went wrong with a failed save: it said it saved, nobody was told, a file of `before`
// changed or went, a file was left beside them.
std::string Faults(const Said& said, const std::map<std::string, std::string>& before,
                   const std::map<std::string, std::string>& after) {
    std::string notes;
    if (said.saved) notes += "the routine said it saved; ";
    if (said.told.empty()) notes += "nobody was told; ";
    for (const auto& [name, bytes] : before) {
        const auto it = after.find(name);
        if (it == after.end())
            notes += name + " is gone; ";
        else if (it->second != bytes)
            notes += name + " changed; ";
    }
    for (const auto& [name, bytes] : after)
        if (!before.count(name)) notes += name + " was left; ";
    return notes;
}

// One case in this (child) process: 0 when it holds, 1 when not, kSkip when its condition
// cannot be set up; `notes` says what failed or why it was skipped.
int RunCase(const SaveCase& c, Failure failure, const fs::path& folder, std::string& notes) {
    std::string why;
    const bool mounted = PrivateNamespace(why) && TmpfsKeeping(folder, why);
    test::RecordingReport report;
    AstroDat s;
    s.ProgramFolder = folder;
    s.Report = &report;
    for (const auto& [name, bytes] : c.old) {
        const fs::path p = ResolvePath(folder, name);
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    fs::create_directories(folder / "Wrk");
    if (c.prepare) c.prepare(s);
    if (::testing::Test::HasFatalFailure()) {
        notes = "the case's files could not be prepared";
        return 1;
    }
    report.messages.clear();
    const auto before = Snapshot(folder);
    bool undoWritable = false;
    if (const int skip = MakeItFail(failure, folder, mounted, why, notes, undoWritable))
        return skip;
    const Said said = c.save(s, report);
    if (undoWritable) SetWritable(folder, true);
    notes = Faults(said, before, Snapshot(folder));
    return notes.empty() ? 0 : 1;
}

// The saves of the program's windows: the program started in a seeded home, the window
// prepared, then the save with its folder failing.
struct WindowSaveCase {
    const char* name;
    const char* folder;                     // the program name of the folder that fails
    std::map<std::string, std::string> old; // program name -> the bytes there before the save
    std::function<void(shell::Program&, ui::AnsweringDialogs&)> prepare;
    // whether it said it saved, and what it told besides the message boxes
    std::function<Said(shell::Program&)> save;
    // the message a window shows after it saved, where it shows one: shown, it said it saved
    std::function<std::string(shell::Program&)> savedMessage = nullptr;
};

template <class Form> Form* Opened(shell::Program& p, const char* name) {
    return dynamic_cast<Form*>(p.Form1->OpenToolWindow(name));
}

// A menu item or button of a window that saves: the click says nothing, the files and the
// messages tell (a window that does not open counts as a save that said it saved).
template <class Form>
std::function<Said(shell::Program&)> Click(const char* name, void (Form::*click)()) {
    return [name, click](shell::Program& p) {
        Form* f = Opened<Form>(p, name);
        if (f) (f->*click)();
        return Said{f == nullptr, {}};
    };
}

std::vector<WindowSaveCase> WindowCases() {
    const std::string oldText = "the old file\r\nsecond line\r\n";
    return {
        {"natal chart settings file",
         "Wrk",
         {{"Wrk\\mine.nch", oldText}},
         [](shell::Program& p, ui::AnsweringDialogs& d) {
             d.fileAnswers = {p.s.DataPath("Wrk\\mine.nch")};
             d.messageAnswers = {ui::MsgResult::Yes}; // over the old file
         },
         Click("KartForm", &TKartForm::SaveButtonClick)},
        {"text base section",
         "Wrk",
         {{"Wrk\\base.txt", "[1] one\r\nfirst\r\n[2] two\r\nsecond\r\n"}},
         [](shell::Program& p, ui::AnsweringDialogs&) {
             auto* ed = Opened<interp::TIntxt>(p, "Intxt");
             ASSERT_NE(ed, nullptr);
             ed->ShowIntText("Wrk\\base.txt");
             ASSERT_TRUE(ed->HasSection());
             ed->Memo->SetLines({"[1] one", "changed"});
         },
         [](shell::Program& p) {
             auto* ed = dynamic_cast<interp::TIntxt*>(ui::Screen().FindForm("Intxt"));
             return Said{ed && ed->SaveSection(), {}};
         }},
        {"parts export under Wrk",
         "Wrk",
         {{"Wrk\\Pars.txt", oldText}},
         nullptr,
         Click("Pars", &shell::TPars::NParstxtClick)},
        {"aspect table export under Wrk",
         "Wrk",
         {{"Wrk\\TablAsp.txt", oldText}},
         nullptr,
         Click("AspTabl", &TAspTabl::AspectscsvClick)},
        {"chart table export under Wrk",
         "Wrk",
         {{"Wrk\\Astro.txt", oldText}},
         nullptr,
         Click("AstroForm", &TAstroForm::NAstrocsvClick)},
        {"text window as RTF under Wrk",
         "Wrk",
         {{"Wrk\\text.rtf", oldText}},
         nullptr,
         [](shell::Program& p) {
             auto* t = Opened<interp::TInterp>(p, "Interp");
             return Said{!t || t->SaveRtf(p.s.DataPath("Wrk\\text.rtf")), {}};
         }},
        {"picture of the screen under Wrk",
         "Wrk",
         {{"Wrk\\screen.bmp", oldText}},
         [](shell::Program& p, ui::AnsweringDialogs& d) {
             d.fileAnswers = {p.s.DataPath("Wrk\\screen.bmp")};
             d.messageAnswers = {ui::MsgResult::Yes};
         },
         [](shell::Program& p) {
             return Said{p.Form1->SaveBitmapClick(), {}};
         }},
        {"chart printed to a PDF file under Wrk",
         "Wrk",
         {{"Wrk\\chart.pdf", oldText}},
         [](shell::Program& p, ui::AnsweringDialogs& d) {
             d.messageAnswers = {ui::MsgResult::Yes,
                                 ui::MsgResult::Yes}; // to a file, over the old one
             d.fileAnswers = {p.s.DataPath("Wrk\\chart.pdf")};
         },
         [](shell::Program& p) {
             return Said{p.Form1->PrintClick(), {}};
         }},
        {"year log under Wrk",
         "Wrk",
         {{"Wrk\\Sun2024.wrk", oldText}},
         [](shell::Program& p, ui::AnsweringDialogs&) {
             auto* m = Opened<forecast::TMoon>(p, "Moon");
             ASSERT_NE(m, nullptr);
             m->SetCaption(Cp("Восходы и заходы Солнца"));
             m->YearEdit->SetText("2024");
         },
         [](shell::Program& p) {
             auto* m = dynamic_cast<forecast::TMoon*>(ui::Screen().FindForm("Moon"));
             if (!m) return Said{true, {}};
             m->GoBtn->Click();
             // the table is made step by step from the event loop; a generous cap
             for (int i = 0; m->Running() && i < 1000000; ++i) QCoreApplication::processEvents();
             // the window's memo tells: the file's name and what failed
             const auto lines = m->Memo->Lines();
             const bool told =
                 !lines.empty() && lines.back().find("Sun2024.wrk") != std::string::npos;
             return Said{m->Running() || !told, told ? lines.back() : ""};
         }},
        {"calendar file under Wrk",
         "Wrk",
         {{"Wrk\\Calendar.txt", oldText}},
         [](shell::Program& p, ui::AnsweringDialogs& d) {
             // The calendar of 2024: its year's ephemeris is missing, so the window has it
             // built, then asks again and makes the calendar from it.
             p.s.DatRec2 = p.s.DatRec1;
             p.s.DatRec2[kRecDate] = "10.06.2024";
             auto* c = Opened<forecast::TCalend>(p, "Calend");
             ASSERT_NE(c, nullptr);
             d.messageAnswers = {ui::MsgResult::Yes, ui::MsgResult::Yes};
             c->Button1->Click();
             // the build runs step by step from the window's timer; a generous cap
             for (int i = 0; i < 1000000; ++i) {
                 auto* tab = dynamic_cast<forecast::TTab*>(ui::Screen().FindForm("Tab"));
                 if (!tab || !(tab->Building() || tab->Timer1->Enabled())) break;
                 if (tab->Timer1->Enabled()) tab->Timer1->OnTimer();
                 QCoreApplication::processEvents();
             }
             QCoreApplication::processEvents();
             ASSERT_TRUE(fs::exists(p.s.DataPath("Wrk\\Tab2024.wrk")));
             ASSERT_EQ(c->CalendarCount(), 366);
         },
         Click("Calend", &forecast::TCalend::FileButtonClick),
         [](shell::Program& p) { return GetMsgText(p.s, 57, "Wrk\\Calendar.txt"); }},
        {"mark to restore the window state at the next start",
         "",
         {},
         [](shell::Program&, ui::AnsweringDialogs& d) { d.messageAnswers = {ui::MsgResult::Yes}; },
         [](shell::Program& p) {
             p.Form1->RestoreDefaultsClick();
             return Said{false, {}};
         }},
    };
}

int RunWindowCase(const WindowSaveCase& c, Failure failure, const fs::path& home,
                  std::string& notes) {
    if (!SeedProgramFolder(shell::kShippedData, home).ok()) {
        notes = "the home could not be seeded";
        return 1;
    }
    std::string why;
    const bool isolated = PrivateNamespace(why);
    test::QtApp();
    ui::AnsweringDialogs dialogs;
    ui::Screen().SetDialogs(&dialogs);
    ui::Screen().SetSize(1280, 1024);
    shell::Program p(home);
    app::RegisterSubsystems(p);
    shell::RegisterToolWindows(p);
    shell::EntryOptions o;
    o.runLoop = false;
    o.russianLocale = 1;
    if (shell::ProgramEntry(p, o) != 0 || !p.Form1) {
        notes = "the program did not start";
        return 1;
    }
    p.Tech->MainClock->SetEnabled(false);
    const fs::path folder = *c.folder ? p.s.DataPath(c.folder) : p.s.ProgramFolder;
    fs::create_directories(folder);
    const bool mounted = isolated && TmpfsKeeping(folder, why);
    for (const auto& [name, bytes] : c.old)
        std::ofstream(p.s.DataPath(name), std::ios::binary) << bytes;
    if (c.prepare) c.prepare(p, dialogs);
    if (::testing::Test::HasFatalFailure()) {
        notes = "the window could not be prepared";
        return 1;
    }
    dialogs.asked.clear();
    const auto before = Snapshot(folder);
    bool undoWritable = false;
    if (const int skip = MakeItFail(failure, folder, mounted, why, notes, undoWritable))
        return skip;
    Said said = c.save(p);
    // the questions asked on the way tell nothing
    const std::string saved = c.savedMessage ? c.savedMessage(p) : std::string();
    for (const auto& a : dialogs.asked) {
        if (a.what != "Message" || a.kind == MsgKind::Confirmation) continue;
        if (!saved.empty() && a.text == saved)
            said.saved = true;
        else
            said.told += a.text;
    }
    if (undoWritable) SetWritable(folder, true);
    notes = Faults(said, before, Snapshot(folder));
    return notes.empty() ? 0 : 1;
}

// Runs `body` in a child process; its exit code and what it wrote to `notes`.
int InChild(const std::function<int(std::string&)>& body, std::string& notes, std::string& died) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        died = "no pipe";
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        died = "no fork";
        return -1;
    }
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string said;
        const int code = body(said);
        (void)!::write(pipeFds[1], said.data(), said.size());
        ::_exit(code);
    }
    ::close(pipeFds[1]);
    char buf[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buf, sizeof buf)) > 0;) notes.append(buf, n);
    ::close(pipeFds[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        died = "the child died (signal " +
               std::to_string(WIFSIGNALED(status) ? WTERMSIG(status) : 0) + ")";
        return -1;
    }
    return WEXITSTATUS(status);
}

// Every (case, failure) pair through `run`, each in a child process.
template <class Case, class Run> void EveryCase(const std::vector<Case>& cases, Run run) {
    int ran = 0;
    std::vector<std::string> skipped;
    for (const Case& c : cases) {
        for (const Failure failure : {Failure::DiskFull, Failure::ReadOnly}) {
            const std::string label =
                std::string(c.name) +
                (failure == Failure::DiskFull ? ", full disk" : ", read-only folder");
            test::TempDir dir; // made and removed here: the child leaves by _exit
            std::string notes, died;
            const int code = InChild([&](std::string& n) { return run(c, failure, dir.path(), n); },
                                     notes, died);
            ASSERT_GE(code, 0) << label << ": " << died;
            if (code == kSkip) {
                skipped.push_back(label + ": " + notes);
                std::cout << "[  SKIPPED ] " << label << ": " << notes << "\n";
                continue;
            }
            ++ran;
            EXPECT_EQ(code, 0) << label << ": " << notes;
        }
    }
    if (ran == 0) GTEST_SKIP() << "no case could set up its condition: " << skipped.front();
}

TEST(AtomicSaves, EverySaveOnAFullDiskAndInAReadOnlyFolder) {
    EveryCase(Cases(), RunCase);
}

TEST(AtomicSaves, EveryWindowSaveOnAFullDiskAndInAReadOnlyFolder) {
    EveryCase(WindowCases(), RunWindowCase);
}

} // namespace
} // namespace qor
