#include "shell/Tech.h"

#include "core/Formats.h"
#include "core/Houses.h"
#include "core/Stepping.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "core/TimeStep.h"
#include "shell/MainForm.h"
#include "ui/FontText.h"

#include <QCursor>
#include <QDateTime>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QTimeZone>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <optional>
#include <set>
#include <thread>

namespace qor::shell {

void Delay(AstroDat& s, int ms) {
    const auto start = std::chrono::steady_clock::now();
    const auto limit = std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() - start <= limit) {
        ReportOf(s).ProcessEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

using namespace ui;

std::string ProductTitle(const AstroDat& s) {
    return s.EnglishMode ? std::string("Astrology QOR") : Cp("Астрология QOR");
}

TTech::TTech(Program& p) : TForm("Tech"), p_(p) {
    SetCaption("Технология"_cp);
    SetBounds(200, 120, 520, 400);
    SetFormFont(FontSpec{204, 0, "Courier New", 10, 0});
    SetColor(0xFFFFFF);
    SetKeyPreview(true);
    SetToolWindow(true); // stays on top when shown for the diagnostic keys
    Memo = Add<TMemo>("Memo", {0, 0, 520, 400});
    SetTag(Memo, 1);
    FontEdit = Add<TEdit>("FontEdit", {4, 4, 200, 22});
    CourierFontEdit = Add<TEdit>("CourierFontEdit", {4, 30, 200, 22});
    GraphEdit = Add<TEdit>("GraphEdit", {4, 56, 200, 22});
    SetTag(GraphEdit, 16);
    for (TEdit* e : {FontEdit, CourierFontEdit, GraphEdit}) SetVisible(e, false);
    TestPaintBox = Add<TPaintBox>("TestPaintBox", {4, 82, 10, 10});
    Timer2 = Add<TTimer>("Timer2");
    Timer2->SetInterval(100);
    FindTimer = Add<TTimer>("FindTimer");
    FindTimer->SetInterval(500);
    FindTimer->OnTimer = [this] { FindTimerTimer(); };
    Timer1 = Add<TTimer>("Timer1");
    Timer1->SetInterval(300000);
    Timer1->OnTimer = [this] { Timer1Timer(); };
    MainClock = Add<TTimer>("MainClock");
    MainClock->SetInterval(500);
    MainClock->OnTimer = [this] { MainClockTimer(); };
    OnKeyDown = [this](int& key, Shift shift) { FormKeyDown(key, shift); };
    OpenUrl = [](const fs::path& page) {
        return QDesktopServices::openUrl(
            QUrl::fromLocalFile(QString::fromStdString(page.string())));
    };
}

// --- Command paths ---------------------------------------------------------------------

void TTech::RunUICommand(const std::string& target, const std::string& command) {
    p_.Commands.RunUICommand(target, command);
}

std::string TTech::QueryUIValue(const std::string& target, const std::string& request) {
    return p_.Commands.QueryUIValue(target, request);
}

void TTech::PostUICommand(const std::string& target, const std::string& command) {
    p_.Commands.PostUICommand(target, command);
}

void UICommand(const std::string& target, const std::string& command) {
    if (Program* p = TheProgram()) p->Commands.RunUICommand(target, command);
}

std::string UIValue(const std::string& target) {
    Program* p = TheProgram();
    return p ? p->Commands.QueryUIValue(target, {}) : std::string();
}

// --- Clocks -------------------------------------------------------------------------------

void TTech::MainClockTimer() {
    // A tick never overlaps the next: while one waits in a modal window it opened, the clock
    // runs only the command link, so that a peer can see and close that window.
    if (ticking_) {
        if (LinkTick) LinkTick();
        return;
    }
    ticking_ = true;
    struct Done {
        TTech& t;
        ~Done() {
            t.ticking_ = false;
            // the 500 ms count starts again after each tick
            if (t.MainClock->Enabled()) t.MainClock->start();
        }
    } done{*this};
    if (MainClockTick) MainClockTick();
}

void TTech::FindTimerTimer() {
    FindTimer->SetEnabled(false);
    const ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
    if (screen && screen->Find) screen->Find(FindName);
}

// --- Fonts --------------------------------------------------------------------------------

void TTech::SaveFontSetting() {
    FontEdit->SetText(EncodeFontText(WindowFont));
    CourierFontEdit->SetText(EncodeFontText(TableFont));
    GraphEdit->SetText(EncodeFontText(GraphFont));
    ApplyFontToAllForms();
}

void TTech::LoadFontSetting() {
    if (!FontEdit->Text().empty()) DecodeFontText(FontEdit->Text(), WindowFont);
    if (!CourierFontEdit->Text().empty()) DecodeFontText(CourierFontEdit->Text(), TableFont);
    if (!GraphEdit->Text().empty()) DecodeFontText(GraphEdit->Text(), GraphFont);
    SetFontSpec(FontEdit, WindowFont);
    SetFontSpec(CourierFontEdit, TableFont);
}

void TTech::ApplyFormFonts(TForm& form) {
    if (form.Name() == "Tech") return;
    form.SetFormFont(WindowFont);
    for (const Component& c : form.Components()) {
        const bool textKind = c.kind == Kind::Label || c.kind == Kind::Edit ||
                              c.kind == Kind::DrawGrid || c.kind == Kind::Memo;
        if (textKind && (TagOf(c.object) & 8)) SetFontSpec(c.widget(), TableFont);
    }
}

void TTech::ApplyFontToAllForms() {
    const std::vector<TForm*> forms = Screen().Forms();
    for (TForm* f : forms) ApplyFormFonts(*f);
}

// --- Help, names, combos, pictures ----------------------------------------------------------

bool TTech::ShowHelpTopic(const std::string& topic) {
    AstroDat& s = p_.s;
    const std::string page = (s.EnglishMode ? "EManual\\" : "Manual\\") + topic;
    const fs::path file = s.DataPath(page);
    std::error_code ec;
    if (topic.empty() || !fs::is_regular_file(file, ec)) {
        SetStatus(s, Lang(s, Cp(" Нет страницы справки ") + page, " No help page " + page));
        return false;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = OpenUrl && OpenUrl(file);
    QGuiApplication::restoreOverrideCursor();
    // No browser took the page: say so, and where the page is, so it can be opened by hand.
    if (!ok)
        SetStatus(s, Lang(s, Cp(" Не удалось запустить браузер; страница справки: ") + file.string(),
                          " No browser could be started; the help page is " + file.string()));
    return ok;
}

std::string TTech::PointLabel(int i) const {
    const AstroDat& s = p_.s;
    const int k = i - 14 - s.NExtra;
    if (k >= 1 && k <= s.ParsCount && k < static_cast<int>(s.ParsGlyphs.size()))
        return std::string(1, '\x12') + s.ParsGlyphs[k];
    return BodyName(s, i);
}

bool TTech::IsChironBody(int i) const {
    if (i < -71 || i > 12 || !p_.Svc.BodyTableName) return false;
    const std::string name = Trim(p_.Svc.BodyTableName(i + 71));
    return name == Lang(p_.s, Cp("Хирон"), "Chiron");
}

void TTech::HouseSystemFromCombo() {
    p_.ReadOptions();
    const int h = p_.ChartOpt.HouseSystem;
    if (h >= 1 && h <= kHouseSystemCount) p_.s.HouseSystem = h;
}

void TTech::SyncComboIndex(TComboBox& combo) {
    const int i = combo.IndexOf(combo.Text());
    if (i >= 0) {
        combo.SetItemIndex(i);
    } else if (combo.count() > 0) {
        combo.SetItemIndex(0);
    }
}

bool TTech::FindPictureFile(const std::string& objectName) {
    AstroDat& s = p_.s;
    const std::string name = Trim(objectName);
    PictureFileName.clear();
    for (const char* folder : {"JPG\\", "Pictures\\"}) {
        const std::string candidate = folder + name + ".jpg";
        if (!name.empty() && ProgramFileExists(s.ProgramFolder, candidate)) {
            PictureFileName = candidate;
            return true;
        }
    }
    std::vector<std::string> lines;
    if (!ReadTextLines(s.DataPath("pictures.txt"), lines).ok()) return false;
    const std::string wanted = UpperCaseCp(name);
    for (const std::string& line : lines) {
        const auto semi = line.find(';');
        if (semi == std::string::npos) continue;
        if (UpperCaseCp(Trim(line.substr(0, semi))) != wanted) continue;
        PictureFileName = "Pictures\\" + Trim(line.substr(semi + 1)) + ".jpg";
        return ProgramFileExists(s.ProgramFolder, PictureFileName);
    }
    return false;
}

void TTech::SetDynamicsSource(bool source) {
    if (p_.Flags.SourceData == source) return;
    p_.Flags.SourceData = source;
    if (p_.Svc.SetDynamicsCaptions) p_.Svc.SetDynamicsCaptions();
}

void TTech::StopDynamics() {
    p_.Flags.DinamicRun = false;
    if (p_.Svc.StopTimeStepping) p_.Svc.StopTimeStepping();
}

void TTech::LayoutMainControls(bool firstStart) {
    struct Layout {
        int left, top, width, height, cl, beg, size, fontSize;
    };
    const int w = Screen().Width();
    std::optional<Layout> l;
    if (w == 640)
        l = Layout{13, 29, 605, 424, 10, -4, -4, 9};
    else if (w == 800 || w == 960)
        l = Layout{64, 45, 690, 480, 3, 1, 6, 9};
    else if (w >= 1024)
        l = Layout{124, 75, 804, 548, 1, 0, 14, 10};
    if (l) {
        if (p_.Form1) p_.Form1->SetBounds(l->left, l->top, l->width, l->height);
        if (TForm* kart = Screen().FindForm("KartForm")) {
            if (auto* t = kart->Find<TTrackBar>("CLTrackBar")) t->SetPosition(l->cl);
            if (auto* t = kart->Find<TTrackBar>("BegTrackBar")) t->SetPosition(l->beg);
            if (auto* t = kart->Find<TTrackBar>("SizeTrackBar")) t->SetPosition(l->size);
        }
        GraphFont.size = l->fontSize;
    }
    if (firstStart) {
        if (w > 1024)
            // Through the report: at start it is logged first and shown when the start ends.
            ReportOf(p_.s).ShowMessage(MsgKind::Information, GetMsgText(p_.s, 154));
    } else {
        Delay(p_.s, 1000);
        if (p_.Form1 && p_.Form1->OnResize) p_.Form1->OnResize();
    }
}

// --- Diagnostic keys ----------------------------------------------------------------------

void TTech::FormKeyDown(int& key, Shift shift) {
    SetCaption("Key=" + std::to_string(key));
    if (!(shift & ssAlt)) return;
    AstroDat& s = p_.s;
    switch (key) {
    case 'C':
        DumpWindows(false);
        break;
    case 'A':
        DumpWindows(true);
        break;
    case 'G':
        Memo->Clear();
        if (const ScreenHandler* wheel = p_.Svc.ScreenOf('W'); wheel && wheel->Spots)
            Memo->SetLines(wheel->Spots());
        break;
    case 'M': {
        Memo->Clear();
        // No memory manager of our own: the process's figures from the system.
        long long total = 0, resident = 0;
        std::vector<std::string> st;
        if (ReadTextLines("/proc/self/statm", st).ok() && !st.empty()) {
            std::string line = st[0];
            total = std::atoll(NextField(line, ' ').c_str()) * 4096;
            resident = std::atoll(NextField(line, ' ').c_str()) * 4096;
        }
        Memo->AddLine("TotalAddrSpace    " + std::to_string(total));
        Memo->AddLine("TotalUncommitted  " + std::to_string(total - resident));
        Memo->AddLine("TotalCommitted    " + std::to_string(resident));
        Memo->AddLine("TotalAllocated    " + std::to_string(resident));
        break;
    }
    case 'Z': {
        Memo->Clear();
        // The zone as the system keeps it: minutes to add to local (standard) time for
        // universal time, and the shift of daylight-saving time.
        const QDateTime local = QDateTime::currentDateTime();
        const QDateTime utc = local.toUTC();
        const QTimeZone zone = QTimeZone::systemTimeZone();
        const int bias = -zone.standardTimeOffset(local) / 60;
        const int stdBias = 0;
        const int dstBias = zone.hasDaylightTime() ? -60 : 0;
        auto stamp = [](const QDateTime& t) {
            return IntToStrW(t.date().day(), 2) + "." + IntToStrZ(t.date().month(), 2) + "." +
                   IntToStrZ(t.date().year(), 4) + "  " + IntToStrW(t.time().hour(), 2) + ":" +
                   IntToStrZ(t.time().minute(), 2) + ":" + IntToStrZ(t.time().second(), 2);
        };
        Memo->AddLine("Bias         " + std::to_string(bias));
        Memo->AddLine("StandardBias " + std::to_string(stdBias));
        Memo->AddLine("DaylightBias " + std::to_string(dstBias));
        Memo->AddLine("SystemDate   " + stamp(utc));
        Memo->AddLine("LocalDate    " + stamp(local));
        break;
    }
    case 'H': {
        Memo->Clear();
        const QRect work = Screen().WorkArea();
        Memo->AddLine(std::to_string(Screen().Width()) + " " + std::to_string(Screen().Height()));
        Memo->AddLine(std::to_string(work.left()) + " " + std::to_string(work.top()) + " " +
                      std::to_string(work.left() + work.width()) + " " +
                      std::to_string(work.top() + work.height()));
        break;
    }
    case 'L':
        ListAtlasNames();
        break;
    default:
        break;
    }
    (void)s;
}

void TTech::DumpWindows(bool mainOnly) {
    Memo->hide();
    Memo->Clear();
    std::vector<TForm*> forms;
    for (TForm* f : Screen().Forms()) {
        if (mainOnly ? f->Name() == "Form1"
                     : (f->isVisible() && f->Name() != "Tech" && f->Name() != "Form1"))
            forms.push_back(f);
    }
    Memo->SetLines(DumpForms(forms));
    Memo->show();
}

void TTech::ListAtlasNames() {
    AstroDat& s = p_.s;
    std::vector<std::string> lines;
    const IoResult r = ReadTextLines(s.DataPath("Wrk\\Atlas.txt"), lines);
    if (IOCheck(s, r, "Wrk\\Atlas.txt")) return;
    if (lines.size() > 700000) lines.resize(700000);
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const std::string& line : lines) {
        const std::string first = line.substr(0, line.find(';'));
        const auto comma = first.find(',');
        if (comma == std::string::npos) continue;
        std::string name = Trim(first.substr(comma + 1));
        if (seen.insert(name).second) names.push_back(name);
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string x = RemoveBlanks(a), y = RemoveBlanks(b);
        return std::lexicographical_compare(
            x.begin(), x.end(), y.begin(), y.end(), [](char c, char d) {
                return static_cast<unsigned char>(c) < static_cast<unsigned char>(d);
            });
    });
    Memo->SetLines(names);
}

} // namespace qor::shell
