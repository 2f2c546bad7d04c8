#include "shell/CommLink.h"

#include "core/AstroMath.h"
#include "core/ChartRecords.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "shell/ClipForm.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"

#include <fcntl.h>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace qor::shell {

using namespace ui;

namespace {

const char* const kFileNames[] = {"msg\\send.tmp", "msg\\receive.tmp"};

// Fields of a line split at every ";" (the last one may be empty).
std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(';', from);
        out.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) break;
        from = at + 1;
    }
    return out;
}

std::string AfterFirst(const std::string& text) {
    const std::size_t at = text.find(';');
    return at == std::string::npos ? std::string() : text.substr(at + 1);
}

// Cuts `tail` off the end of the file when the file ends with it; true when it did or when
// there is nothing to cut (no file, another ending).
bool CutTail(const fs::path& file, const std::string& tail) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;
    bool ok = true;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    const off_t n = static_cast<off_t>(tail.size());
    // the tail and the line end before it (none at the start of the file)
    const off_t from = size > n ? size - n - 1 : 0;
    if (size >= n) {
        std::string end(static_cast<std::size_t>(size - from), '\0');
        const bool whole = ::pread(fd, end.data(), end.size(), from) ==
                               static_cast<ssize_t>(end.size()) &&
                           end.ends_with(tail) && (size == n || end[0] == '\n');
        if (whole) ok = ::ftruncate(fd, size - n) == 0;
    }
    ::close(fd);
    return ok;
}

bool AppendBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}

} // namespace

std::string SexLetterToCode(const std::string& letter) {
    const std::string l = Trim(letter);
    if (l == "M" || l == "М"_cp) return "0";
    if (l == "W" || l == "Ж"_cp) return "1";
    return "2";
}

bool MsgFieldsToDatRec(const AstroDat& s, const std::vector<std::string>& fields, std::size_t first,
                       DatRec& rec, std::string& problem) {
    auto field = [&](std::size_t i) {
        return first + i < fields.size() ? fields[first + i] : std::string();
    };
    DatRec r = rec;
    std::string name = field(0);
    for (char& c : name)
        if (c == '|') c = '\n';
    r[kRecName] = name;
    r[kRecSex] = SexLetterToCode(field(1));
    r[kRecDate] = field(2);
    r[kRecTime] = field(3);
    r[kRecZone] = field(4);
    r[kRecLat] = field(5);
    r[kRecLong] = field(6);
    r[kRecCity] = field(7);
    r[kRecCountry] = field(8);
    if (const MomentParse m = ParseChartMoment(s, r); !m) {
        problem = m.Problem;
        return false;
    }
    rec = r;
    return true;
}

CommLink::CommLink(Program& p) : p_(p) {
    clipTimer_.setSingleShot(true);
    QObject::connect(&clipTimer_, &QTimer::timeout, [this] {
        if (auto then = clipThen_) then();
    });
}

CommLink::~CommLink() = default;

fs::path CommLink::FilePath(MsgFile f) const {
    return p_.s.DataPath(kFileNames[static_cast<int>(f)]);
}

bool CommLink::InitMsgFiles() {
    AstroDat& s = p_.s;
    const fs::path dir = s.DataPath("msg");
    std::error_code ec;
    fs::create_directories(dir, ec);
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace, ec);
    bool ok = true;
    for (MsgFile f : {MsgFile::Send, MsgFile::Receive})
        if (IOCheck(s, SaveFileAtomic(FilePath(f), ""), kFileNames[static_cast<int>(f)]))
            ok = false;
    // A file of commands taken but not run by an earlier run is not run now.
    fs::remove(fs::path(FilePath(MsgFile::Receive)).replace_extension(".run"), ec);
    return ok;
}

bool CommLink::MsgWriteLine(MsgFile f, const std::string& text) {
    const fs::path file = FilePath(f);
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (AppendBytes(file, text + "\r\n")) return true;
        if (attempt == 0) {
            std::error_code ec;
            fs::create_directories(file.parent_path(), ec);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    SetStatus(p_.s, Lang(p_.s, Cp(" Не удалось записать ") + kFileNames[static_cast<int>(f)],
                         std::string(" Cannot write ") + kFileNames[static_cast<int>(f)]));
    return false;
}

bool CommLink::MsgTakeBackLine(MsgFile f, const std::string& text) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (CutTail(FilePath(f), text + "\r\n")) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool CommLink::MsgClearFile(MsgFile f) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (SaveFileAtomic(FilePath(f), "").ok()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    SetStatus(p_.s, Lang(p_.s, Cp(" Не удалось очистить ") + kFileNames[static_cast<int>(f)],
                         std::string(" Cannot clear ") + kFileNames[static_cast<int>(f)]));
    return false;
}

void CommLink::PollMsgReceive() {
    const fs::path file = FilePath(MsgFile::Receive);
    fs::path taken = file;
    taken.replace_extension(".run");
    std::error_code ec;
    // Commands left by a poll that did not finish (a command that ran a modal window and
    // re-entered the tick) run first.
    if (fs::exists(taken, ec)) return;
    if (!fs::exists(file, ec)) return;
    fs::rename(file, taken, ec);
    if (ec) return; // the peer holds it: next tick
    RunFile(taken);
}

void CommLink::RunFile(const fs::path& taken) {
    std::vector<std::string> lines;
    const IoResult r = ReadTextLines(taken, lines);
    std::error_code ec;
    fs::remove(taken, ec);
    if (!r.ok()) return;
    for (const std::string& line : lines) ExecMsgCommand(line);
}

void CommLink::ExecMsgCommand(const std::string& line) {
    AstroDat& s = p_.s;
    ShellFlags& f = p_.Flags;
    if (Trim(line).empty()) return;
    ++Executed;
    // What the command runs must not wait on a person (a modal box, a file dialog).
    struct LinkCommandMark {
        bool& flag;
        bool before;
        ~LinkCommandMark() { flag = before; }
    } mark{f.LinkCommand, f.LinkCommand};
    f.LinkCommand = true;
    std::string rest = line;
    const std::string verb = NextField(rest, ';');
    const std::string args = AfterFirst(line);
    std::string tail = args;
    const std::string arg1 = NextField(tail, ';');
    TForm1* form1 = p_.Form1;

    if (verb == "InitScr") {
        f.ScreenMode = 'W';
        f.RealTimeMode = false;
        p_.SetChecked("DataForm", "OneButton", true);
        if (p_.Tech) p_.Tech->StopDynamics();
        const std::vector<TForm*> forms = Screen().Forms();
        for (TForm* w : forms)
            if (w->isVisible() && w->Name() != "Form1" && w->Name() != "ClipForm") w->Close();
        if (p_.Tech) p_.Tech->RedrawIfNatal();
    } else if (verb == "Message") {
        p_.Commands.RunUICommand(arg1, tail);
    } else if (verb == "GetFrom") {
        Answer(p_.Commands.QueryUIValue(arg1, tail));
    } else if (verb == "Prompt") {
        ShowPrompt(arg1, Trim(tail));
    } else if (verb == "Wait") {
        std::string expected = arg1;
        NextField(expected, ',');
        if (form1) {
            form1->LastMenuItem.clear();
            form1->ExpectedItem = Trim(expected);
        }
    } else if (verb == "Sound") {
        PlayWav(s, arg1);
    } else if (verb == "Comment") {
        SetStatus(s, arg1);
    } else if (verb == "Execute") {
        MsgExecute();
    } else if (verb == "SetData") {
        MsgSetData(args);
    } else if (verb == "GetLong" || verb == "GetLongBck") {
        Answer(MsgGetLong(verb == "GetLongBck"));
    } else if (verb == "Find") {
        if (const ScreenHandler* cosmos = p_.Svc.ScreenOf('S'); cosmos && cosmos->Find)
            cosmos->Find(Lang(s, arg1, Trim(tail)));
    } else if (verb == "FindOnWheel") {
        MsgFindOnWheel(Trim(args));
    } else if (verb == "ShowImage") {
        if (form1) form1->ShowPictureByName(Trim(args));
    } else if (auto it = p_.Svc.LinkVerbs.find(verb); it != p_.Svc.LinkVerbs.end()) {
        const std::string answer = it->second(args);
        if (!answer.empty()) Answer(answer);
    } else {
        Error("unknown command " + verb);
    }
}

void CommLink::MsgSetData(const std::string& args) {
    AstroDat& s = p_.s;
    if (args.empty()) return;
    const std::vector<std::string> fields = SplitFields(args);
    DatRec first = s.DatRec1, second = s.DatRec2;
    std::string problem;
    if (!MsgFieldsToDatRec(s, fields, 0, first, problem)) {
        Error("SetData: " + problem);
        return;
    }
    // What follows the ninth field: a second data set when it is more than 10 characters.
    std::size_t at = 0;
    for (int i = 0; i < 9 && at != std::string::npos; ++i) {
        at = args.find(';', at);
        if (at != std::string::npos) ++at;
    }
    const bool withSecond = at != std::string::npos && args.size() - at > 10;
    if (withSecond && !MsgFieldsToDatRec(s, fields, 9, second, problem)) {
        Error("SetData: second chart: " + problem);
        return;
    }
    s.DatRec1 = first;
    if (withSecond) s.DatRec2 = second;
    // A chart set by the driving program is its own moment: the clock must not take it back.
    p_.Flags.RealTimeMode = false;
    const Services& svc = p_.Svc;
    if (svc.DatRecToDataForm) svc.DatRecToDataForm();
    if (svc.DataFormToMoment) svc.DataFormToMoment();
    if (svc.ApplyData) {
        if (!svc.ApplyData()) Error("SetData: the birth data was not applied");
        return;
    }
    // Until the birth-data window applies its own fields: the record becomes the chart.
    if (!UnpackDatRecToChart(s, s.DatRec1)) {
        Error("SetData: the birth data was not applied");
        return;
    }
    s.DatRec1Applied = s.DatRec1;
    if (withSecond) s.DatRec2Applied = s.DatRec2;
    if (p_.Tech) p_.Tech->RefreshAll();
}

void CommLink::MsgExecute() {
    if (TForm* data = Screen().FindForm("DataForm"))
        if (auto* ok = data->Find<TButton>("OKBtn"); ok && !ok->isEnabled()) {
            Error("Execute: the OK button of the birth data is disabled");
            return;
        }
    if (p_.Svc.ApplyData) {
        if (!p_.Svc.ApplyData()) Error("Execute: the birth data was not applied");
        return;
    }
    Error("Execute: there is no birth-data window");
}

std::string CommLink::MsgGetLong(bool background) const {
    const AstroDat& s = p_.s;
    const PointArray& lon = background ? s.PlanetLonBck : s.PlanetLon;
    const auto [firstPoint, lastPoint] =
        p_.Svc.KartPointRange ? p_.Svc.KartPointRange() : std::pair{1, 10};
    auto deg = [&](int i) { return FloatToStrWD(9, 4, lon[i] / 0.017453292519943295); };
    std::string text = background ? "PLongBck:\r\n" : "PLong:\r\n";
    for (int i = std::max(firstPoint, 0); i <= std::min(lastPoint, 40); ++i)
        text += IntToStrW(i, 2) + deg(i) + "\r\n";
    text += background ? "HLongBck:\r\n" : "HLong:\r\n";
    for (int i = 1; i <= 12; ++i) text += IntToStrW(i, 2) + deg(26 + i) + "\r\n";
    return text;
}

void CommLink::MsgFindOnWheel(const std::string& name) {
    TForm1* form1 = p_.Form1;
    const ScreenHandler* wheel = p_.Svc.ScreenOf('W');
    if (form1 && wheel && wheel->Spots) {
        for (std::string line : wheel->Spots()) {
            const std::string xs = NextField(line, ';');
            const std::string ys = NextField(line, ';');
            if (line != name) continue;
            const auto x = ParseWholeInteger(xs), y = ParseWholeInteger(ys);
            if (!x || !y) continue;
            const QPoint target =
                form1->PaintBoxToScreen(static_cast<int>(*x), static_cast<int>(*y));
            Glide().GlideTo(target, [target] { Screen().Cursor().SetPos(target); });
            return;
        }
    }
    SetStatus(p_.s, "Object " + name + " not found");
}

// --- Clip player -----------------------------------------------------------------------------

void CommLink::ClipSendLine(const std::string& line) {
    MsgWriteLine(MsgFile::Receive, line);
}

std::string CommLink::ClipReadAnswer() {
    const fs::path file = FilePath(MsgFile::Send);
    fs::path taken = file;
    taken.replace_extension(".clip");
    std::error_code ec;
    fs::rename(file, taken, ec);
    if (ec) return {};
    std::vector<std::string> lines;
    ReadTextLines(taken, lines);
    fs::remove(taken, ec);
    while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();
    return lines.empty() ? std::string() : lines.back();
}

void CommLink::PlayClip() {
    StopClip();
    ClipList.clear();
    if (!ReadTextLines(p_.s.DataPath("scn.txt"), ClipList).ok()) {
        ClipResult = "missing";
        Screen().Dlg().Message(MsgKind::Warning, GetMsgText(p_.s, 157, "scn.txt"), MsgButtons::Ok);
        return;
    }
    ClipDelayMs = 500;
    clipLine_ = 0;
    clipPlaying_ = true;
    ClipResult.clear();
    ClipNext();
}

void CommLink::StopClip() {
    clipTimer_.stop();
    clipThen_ = nullptr;
    clipPlaying_ = false;
}

void CommLink::ClipAfter(int ms, std::function<void()> then) {
    clipThen_ = std::move(then);
    clipTimer_.start(std::max(ms, 0));
}

std::string CommLink::ClipText(bool stopped) const {
    return stopped ? Lang(p_.s, "Клип прекращен"_cp, "The clip has stopped")
                   : Lang(p_.s, "Клип закончен"_cp, "The clip has ended");
}

void CommLink::ClipNext() {
    if (!clipPlaying_) return;
    auto finish = [this](const std::string& prompt, const std::string& result) {
        ClipSendLine(prompt);
        clipPlaying_ = false;
        ClipResult = result;
    };
    if (clipLine_ >= ClipList.size()) {
        finish("Prompt;" + ClipText(false) + ";TopRight", "end");
        return;
    }
    const std::string line = ClipList[clipLine_++];
    auto number = [&](std::size_t from) {
        const auto n = ParseWholeInteger(line.substr(from));
        return n ? static_cast<int>(*n) : 0;
    };
    if (line.rfind("Delay;", 0) == 0) {
        ClipDelayMs = std::max(number(6), 0);
        ClipNext();
    } else if (line.rfind("Roll;", 0) == 0) {
        const int ms = number(5);
        ClipAfter(1000, [this, ms] { Glide().Roll(ms, [this] { ClipNext(); }); });
    } else if (Trim(line) == "End") {
        ClipAfter(ClipDelayMs,
                  [this, finish] { finish("Prompt;" + ClipText(false) + ";TopRight", "end"); });
    } else if (Trim(line) == "Repeat") {
        clipLine_ = 0;
        ClipDelayMs = 500;
        ClipNext();
    } else if (line.rfind("Wait;", 0) == 0) {
        ClipAfter(ClipDelayMs, [this, line] {
            ClipSendLine(line);
            waitStart_ = std::chrono::steady_clock::now();
            ClipWaitPoll();
        });
    } else if (line.rfind("Receive;", 0) == 0) {
        ClipAfter(ClipDelayMs, [this] {
            ClipReadAnswer();
            ClipNext();
        });
    } else {
        ClipAfter(ClipDelayMs, [this, line] {
            ClipSendLine(line);
            ClipNext();
        });
    }
}

void CommLink::ClipWaitPoll() {
    if (!clipPlaying_) return;
    if (Trim(ClipReadAnswer()) == "EventOK") {
        ClipSendLine("Sound;yes.wav");
        ClipNext();
        return;
    }
    if (std::chrono::steady_clock::now() - waitStart_ > std::chrono::seconds(15)) {
        ClipSendLine("Sound;no.wav");
        ClipSendLine("Prompt;" + ClipText(true) + ";Mid");
        clipPlaying_ = false;
        ClipResult = "stopped";
        return;
    }
    ClipAfter(100, [this] { ClipWaitPoll(); });
}

} // namespace qor::shell
