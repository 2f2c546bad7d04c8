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

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace qor::shell {

using namespace ui;

namespace {

const char* const kFileNames[] = {"msg\\send.tmp", "msg\\receive.tmp"};
// The command file a poll took, and the answer file while the program appends to it.
const char* const kTakenCommands = "msg\\receive.run";
const char* const kOwnAnswers = "msg\\send.own";

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
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0 && done == bytes.size();
}

// The bytes of a file from `from` on; nothing when it cannot be read.
std::optional<std::string> ReadFrom(const fs::path& file, std::size_t from) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(static_cast<std::streamoff>(from));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes;
}

// Why the link's folder or command file may not be used, in the state's language; empty when
// it may. The folder must be a folder of this user, the command file (when there is one) a
// plain file of this user: a symbolic link or another user's file would let someone else read
// or plant commands.
std::string LinkPlaceProblem(const AstroDat& s, const fs::path& path, bool folder) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return {};
    std::string what;
    if (S_ISLNK(st.st_mode))
        what = Lang(s, "является символической ссылкой"_cp, "is a symbolic link");
    else if (folder && !S_ISDIR(st.st_mode))
        what = Lang(s, "не является папкой"_cp, "is not a folder");
    else if (!folder && !S_ISREG(st.st_mode))
        what = Lang(s, "не является обычным файлом"_cp, "is not a plain file");
    else if (st.st_uid != ::geteuid())
        what = Lang(s, "принадлежит другому пользователю"_cp, "belongs to another user");
    else
        return {};
    return Lang(s, "Связь с другими программами выключена: "_cp,
                "The link with other programs is off: ") +
           path.string() + " " + what;
}

// Renames `from` to `to` unless `to` exists (EEXIST then).
int RenameNoReplace(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // a file system without the flag: a hard link fails on an existing name just the same
    if (::link(from.c_str(), to.c_str()) == 0) return ::unlink(from.c_str()) == 0 ? 0 : errno;
    return errno;
}

// A message as one answer line: its line breaks become blanks.
std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') continue;
        out += c == '\n' ? ' ' : c;
    }
    return Trim(out);
}

} // namespace

bool MsgFieldsToDatRec(const AstroDat& s, const std::vector<std::string>& fields, std::size_t first,
                       DatRec& rec, std::string& problem) {
    auto field = [&](std::size_t i) {
        return first + i < fields.size() ? fields[first + i] : std::string();
    };
    DatRec r = rec;
    r[kRecName] = BarsToLineBreaks(field(0));
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
    Screen().ModalGate = [this](const std::string& what, const std::string& text) {
        return MayOpenModal(what, text);
    };
    clipTimer_.setSingleShot(true);
    QObject::connect(&clipTimer_, &QTimer::timeout, [this] {
        if (auto then = clipThen_) then();
    });
}

CommLink::~CommLink() {
    Screen().ModalGate = nullptr;
}

fs::path CommLink::FilePath(MsgFile f) const {
    return p_.s.DataPath(kFileNames[static_cast<int>(f)]);
}

bool CommLink::RefuseLinkPlace() {
    if (Off) return true;
    AstroDat& s = p_.s;
    std::string problem = LinkPlaceProblem(s, s.DataPath("msg"), true);
    if (problem.empty()) problem = LinkPlaceProblem(s, FilePath(MsgFile::Receive), false);
    if (problem.empty()) return false;
    Off = true;
    queue_.clear();
    StopClip();
    ReportOf(s).ShowMessage(MsgKind::Warning, problem);
    return true;
}

bool CommLink::InitMsgFiles() {
    AstroDat& s = p_.s;
    const fs::path dir = s.DataPath("msg");
    std::error_code ec;
    // made private to the user; a folder already there is checked before it is used
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        IOCheck(s, errno, "msg");
        return false;
    }
    if (RefuseLinkPlace()) return false;
    ::chmod(dir.c_str(), 0700);
    // Commands taken but not run by an earlier run are not run now; the answers of an earlier
    // run are gone.
    fs::remove(s.DataPath(kTakenCommands), ec);
    fs::remove(s.DataPath(kOwnAnswers), ec);
    return !IOCheck(s, SaveFileAtomic(FilePath(MsgFile::Send), ""), kFileNames[0]);
}

void CommLink::CloseMsgFiles() {
    if (Off) return;
    std::error_code ec;
    fs::remove(FilePath(MsgFile::Receive), ec);
    fs::remove(p_.s.DataPath(kTakenCommands), ec);
    queue_.clear();
    takenRead_.reset();
}

bool CommLink::TakeAnswerFile() {
    return ::rename(FilePath(MsgFile::Send).c_str(), p_.s.DataPath(kOwnAnswers).c_str()) == 0;
}

bool CommLink::PutBackAnswerFile() {
    const fs::path own = p_.s.DataPath(kOwnAnswers), file = FilePath(MsgFile::Send);
    const int err = RenameNoReplace(own, file);
    if (err == 0 || err == ENOENT) return true;
    if (err != EEXIST) return false;
    // Someone else made an answer file meanwhile: the lines go after its own.
    std::string bytes;
    if (!ReadFileBytes(own, bytes).ok() || !AppendBytes(file, bytes)) return false;
    std::error_code ec;
    fs::remove(own, ec);
    return true;
}

bool CommLink::DeliverAnswers(const std::string& bytes) {
    auto step = [this] {
        if (BetweenWriteSteps) BetweenWriteSteps();
    };
    const fs::path own = p_.s.DataPath(kOwnAnswers);
    step();
    TakeAnswerFile(); // none waiting: the lines start a new file
    step();
    const bool written = AppendBytes(own, bytes);
    step();
    const bool back = PutBackAnswerFile();
    return written && back;
}

bool CommLink::MsgWriteLine(MsgFile f, const std::string& text) {
    if (Off) return false;
    const fs::path file = FilePath(f);
    for (int attempt = 0; attempt < 20; ++attempt) {
        // The program's own lines to its command file (the clip player) need no care: only
        // the program takes that file.
        if (f == MsgFile::Send ? DeliverAnswers(text + "\r\n") : AppendBytes(file, text + "\r\n"))
            return true;
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
    if (Off) return false;
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (f == MsgFile::Receive) {
            if (CutTail(FilePath(f), text + "\r\n")) return true;
        } else {
            // The peer took the file with the line: nothing to take back.
            if (!TakeAnswerFile()) return true;
            const bool cut = CutTail(p_.s.DataPath(kOwnAnswers), text + "\r\n");
            if (PutBackAnswerFile() && cut) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool CommLink::MsgClearFile(MsgFile f) {
    if (Off) return false;
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (SaveFileAtomic(FilePath(f), "").ok()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    SetStatus(p_.s, Lang(p_.s, Cp(" Не удалось очистить ") + kFileNames[static_cast<int>(f)],
                         std::string(" Cannot clear ") + kFileNames[static_cast<int>(f)]));
    return false;
}

bool CommLink::Busy() const {
    // A command that waits in a modal loop lets the next ones run: someone must be able to
    // see and close that window. Any other event loop inside a command runs none.
    return running_ > 0 && ModalWindowName().empty();
}

std::size_t CommLink::QueueLines(const std::string& bytes, std::size_t from, bool all) {
    std::size_t at = from;
    for (;;) {
        const std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) break;
        queue_.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    if (all && at < bytes.size()) {
        queue_.push_back(bytes.substr(at));
        at = bytes.size();
    }
    return at;
}

void CommLink::PollMsgReceive() {
    if (Off || Busy() || RefuseLinkPlace()) return;
    const fs::path file = FilePath(MsgFile::Receive);
    const fs::path taken = p_.s.DataPath(kTakenCommands);
    std::error_code ec;
    // What was written into the file taken last time (by a peer that had it open), to its
    // end; then that file goes.
    if (takenRead_) {
        if (const auto bytes = ReadFrom(taken, *takenRead_)) QueueLines(*bytes, 0, true);
        takenRead_.reset();
        fs::remove(taken, ec);
    }
    if (fs::exists(file, ec)) {
        fs::rename(file, taken, ec);
        if (!ec) { // else the peer holds it: next tick
            if (const auto bytes = ReadFrom(taken, 0))
                takenRead_ = QueueLines(*bytes, 0, false);
            else
                fs::remove(taken, ec);
        }
    }
    RunQueue();
}

void CommLink::RunQueue() {
    while (!queue_.empty() && !Busy()) {
        std::string line = std::move(queue_.front());
        queue_.pop_front();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ExecMsgCommand(line);
    }
}

bool CommLink::MayOpenModal(const std::string& what, const std::string& text) {
    if (!p_.Flags.LinkCommand) return true;
    if (what == "Information")
        SetStatus(p_.s, OneLine(text));
    else if (what == "Message")
        Error(OneLine(text));
    else
        Error(what + (text.empty() ? "" : " \"" + OneLine(text) + "\"") +
              " waits for the user: not opened by a link command");
    return false;
}

void CommLink::ExecMsgCommand(const std::string& line) {
    if (Trim(line).empty()) return;
    ++Executed;
    // What the command runs must not wait on a person (a modal box, a file dialog): the
    // screen's gate refuses those while the flag is set, into the command's errors.
    struct Mark {
        CommLink& link;
        bool flag;
        std::vector<std::string> errors;
        ~Mark() {
            link.p_.Flags.LinkCommand = flag;
            link.errors_.swap(errors);
            --link.running_;
        }
    } mark{*this, p_.Flags.LinkCommand, {}};
    ++running_;
    errors_.swap(mark.errors);
    p_.Flags.LinkCommand = true;
    RunCommand(line);
    if (!errors_.empty()) {
        std::string text;
        for (const std::string& e : errors_) text += (text.empty() ? "" : " / ") + e;
        MsgWriteLine(MsgFile::Send, "Error;" + text);
    }
}

void CommLink::RunCommand(const std::string& line) {
    AstroDat& s = p_.s;
    ShellFlags& f = p_.Flags;
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
        CloseModalWindow(ModalWindowName()); // a message box the user has not answered
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
    if (Trim(args).empty()) {
        Error("SetData: no chart data");
        return;
    }
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
    // the clip plays through the link: none while the link is off
    if (RefuseLinkPlace()) {
        ClipResult = "off";
        return;
    }
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

bool CommLink::ClipStepNow() {
    if (!clipTimer_.isActive() || !clipThen_) return false;
    clipTimer_.stop();
    const auto then = clipThen_;
    then();
    return true;
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
    auto number = [](const std::string& line, std::size_t from) {
        const auto n = ParseWholeInteger(line.substr(from));
        return n ? static_cast<int>(*n) : 0;
    };
    // Lines that take no time are taken here, one after the other (a script of many of them
    // must not go deeper with each); a Repeat that comes round again before any line that
    // takes time has nothing to play and ends the clip.
    std::string line;
    bool repeated = false;
    for (;;) {
        if (clipLine_ >= ClipList.size()) {
            finish("Prompt;" + ClipText(false) + ";TopRight", "end");
            return;
        }
        line = ClipList[clipLine_++];
        if (line.rfind("Delay;", 0) == 0) {
            ClipDelayMs = std::max(number(line, 6), 0);
        } else if (Trim(line) == "Repeat") {
            if (repeated) {
                finish("Prompt;" + ClipText(false) + ";TopRight", "end");
                return;
            }
            repeated = true;
            clipLine_ = 0;
            ClipDelayMs = 500;
        } else {
            break;
        }
    }
    if (line.rfind("Roll;", 0) == 0) {
        const int ms = number(line, 5);
        ClipAfter(1000, [this, ms] { Glide().Roll(ms, [this] { ClipNext(); }); });
    } else if (Trim(line) == "End") {
        ClipAfter(ClipDelayMs,
                  [this, finish] { finish("Prompt;" + ClipText(false) + ";TopRight", "end"); });
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
