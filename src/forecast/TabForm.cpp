#include "forecast/TabForm.h"

#include "core/Formats.h"
#include "core/Text.h"

#include <cstring>

namespace qor::forecast {

using namespace ui;

namespace {

constexpr int kClientWidth = 436;
constexpr int kClientHeight = 136;

// The years a century file can be built for: its years must fit 16 bits.
constexpr int kCenturyFirstBuildYear = -32700;
constexpr int kCenturyLastBuildYear = 32699;

// A path under the program folder as a program name ("Wrk\Tab2024.txt"); empty when the path
// lies elsewhere.
std::string ProgramNameOf(const fs::path& folder, const fs::path& path) {
    std::error_code ec;
    const fs::path rel =
        fs::relative(fs::weakly_canonical(path, ec), fs::weakly_canonical(folder, ec), ec);
    if (ec || rel.empty() || *rel.begin() == "..") return {};
    std::string name;
    for (const fs::path& part : rel) {
        std::string cp;
        if (!Utf8ToCp1251(part.string(), cp)) return {};
        name += (name.empty() ? "" : "\\") + cp;
    }
    return name;
}

} // namespace

TTab::TTab(shell::Program& p, EphemerisJobs& jobs) : TForm("Tab"), p_(p), jobs_(jobs) {
    SetCaption("Эфемериды"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("astrological_tables.html");
    SetStoresSettings(true);
    const QRect area = Screen().WorkArea();
    SetBounds(area.x() + (area.width() - kClientWidth) / 2,
              area.y() + (area.height() - kClientHeight) / 2, kClientWidth, kClientHeight);

    Label2 = Add<TLabel>("Label2", {12, 17, 44, 20});
    Label2->SetCaption("Год:"_cp);
    YearEdit = Add<TEdit>("YearEdit", {60, 14, 90, 24});
    Label1 = Add<TLabel>("Label1", {12, 46, kClientWidth - 24, 38});
    Label1->AutoSize = false;
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const int y = 94, h = 28;
    Button1 = Add<TButton>("Button1", {12, y, 120, h});
    Button1->SetCaption("Создать годовые"_cp);
    Button3 = Add<TButton>("Button3", {138, y, 120, h});
    Button3->SetCaption("Создать вековые"_cp);
    Button6 = Add<TButton>("Button6", {264, y, 78, h});
    Button6->SetCaption("Смотреть"_cp);
    Button2 = Add<TButton>("Button2", {348, y, 78, h});
    Button2->SetCaption("Закрыть"_cp);
    Timer1 = Add<TTimer>("Timer1");
    Timer1->setSingleShot(true);
    Timer1->SetInterval(1000);
    Timer1->SetEnabled(false);
    OpenDialog = Add<TFileDialog>("OpenDialog");

    Button1->OnClick = [this] { Button1Click(); };
    Button3->OnClick = [this] { Button3Click(); };
    Button6->OnClick = [this] { Button6Click(); };
    Button2->OnClick = [this] { Button2Click(); };
    Timer1->OnTimer = [this] { Timer1Timer(); };
    stepTimer_.setSingleShot(true);
    QObject::connect(&stepTimer_, &QTimer::timeout, [this] { BuildStep(); });
    OnShow = [this] { FormShow(); };
    OnClose = [this](CloseAction& a) { FormClose(a); };
    OnKeyDown = [this](int& key, Shift sh) { FormKeyDown(key, sh); };
}

TTab::~TTab() {
    stepTimer_.stop();
}

void TTab::FormShow() {
    if (Building()) return;
    YearEdit->SetText(jobs_.RequestedEphemerisYear);
    Label1->SetCaption({});
    Button6->setEnabled(true);
    if (!Trim(YearEdit->Text()).empty()) StartEphemerisBuild();
}

void TTab::Button1Click() {
    if (Building()) return;
    jobs_.EphemerisAnnual = true;
    if (!Trim(YearEdit->Text()).empty()) StartEphemerisBuild();
}

void TTab::Button3Click() {
    if (Building()) return;
    jobs_.EphemerisAnnual = false;
    if (!Trim(YearEdit->Text()).empty()) StartEphemerisBuild();
}

void TTab::Button2Click() {
    if (Building())
        CancelBuild();
    else
        Close();
}

void TTab::FormKeyDown(int& key, Shift) {
    // Esc stops a build; otherwise it closes the window.
    if (key == vk::Escape && Building()) {
        CancelBuild();
        key = 0;
    }
}

bool TTab::Building() const {
    return Timer1->Enabled() || builder_ != nullptr;
}

void TTab::Refuse(const std::string& text) {
    AstroDat& s = p_.s;
    // A request with a year that cannot be built gets nothing.
    jobs_.EphemerisContinuation = kJobNone;
    Label1->SetCaption(text);
    PlayWav(s, "Error.wav");
    YearEdit->setFocus();
}

void TTab::StartEphemerisBuild() {
    AstroDat& s = p_.s;
    if (Building()) return;
    const std::string text = Trim(YearEdit->Text());
    if (text.empty()) return;
    const EphemerisKind kind =
        jobs_.EphemerisAnnual ? EphemerisKind::Annual : EphemerisKind::Century;
    const std::optional<long long> year = ParseWholeInteger(text);
    if (!year) {
        Refuse(Lang(s, "Год должен быть целым числом: "_cp, "The year must be a whole number: ") +
               text);
        return;
    }
    if (*year < kCenturyFirstBuildYear || *year > kCenturyLastBuildYear ||
        !EphemerisYearFits(kind, static_cast<int>(*year))) {
        if (kind == EphemerisKind::Annual)
            Refuse(Lang(s, "Годовые эфемериды строятся для лет от -9999 до 9999"_cp,
                        "Annual ephemerides are built for the years -9999 to 9999"));
        else
            Refuse(Lang(s, "Вековые эфемериды строятся для лет от -32700 до 32699"_cp,
                        "Century ephemerides are built for the years -32700 to 32699"));
        return;
    }
    BuildYear = static_cast<int>(*year);
    buildKind_ = kind;
    BuildFileName = EphemerisFileName(kind, BuildYear);
    if (ProgramFileExists(s.ProgramFolder, BuildFileName)) {
        Label1->SetCaption(GetMsgText(s, 78, BuildFileName));
        const int job = jobs_.EphemerisContinuation;
        jobs_.EphemerisContinuation = kJobNone;
        if (job != kJobNone) ContinueAndClose(job);
        return;
    }
    Label1->SetCaption(GetMsgText(s, 79));
    Timer1->SetInterval(1000);
    Timer1->SetEnabled(true);
    Button1->setEnabled(false);
    Button3->setEnabled(false);
    Button2->SetCaption(Lang(s, "Прервать"_cp, "Stop"));
    setCursor(Qt::WaitCursor);
}

void TTab::ContinueAndClose(int job) {
    // From the message loop: the requester that asked has returned, and the window is shown.
    QTimer::singleShot(0, this, [this, job] {
        RunEphemerisContinuation(jobs_, job);
        if (!Building()) Close();
    });
}

void TTab::Timer1Timer() {
    Timer1->SetEnabled(false);
    job_ = jobs_.EphemerisContinuation;
    jobs_.EphemerisContinuation = kJobNone;
    // The build runs on a copy of the chart state: the current chart never moves.
    work_ = std::make_unique<AstroDat>(p_.s);
    engine_ = EphemerisChart(*work_);
    builder_ = std::make_unique<EphemerisBuilder>(buildKind_, BuildYear);
    BuildStep();
}

void TTab::BuildStep() {
    if (!builder_) return;
    AstroDat& s = p_.s;
    builder_->Step(*work_, *engine_);
    if (builder_->Done()) {
        FinishBuild();
        return;
    }
    Label1->SetCaption(Lang(s, "Идёт расчёт: "_cp, "Building: ") +
                       std::to_string(builder_->DayReached()) + " " +
                       Trim(MonthName(s, builder_->MonthReached())) + " " +
                       std::to_string(builder_->YearReached()));
    stepTimer_.start(0);
}

void TTab::FinishBuild() {
    AstroDat& s = p_.s;
    const IoResult r = SaveEphemerisFile(s, buildKind_, BuildYear, builder_->Bytes());
    builder_.reset();
    engine_.reset();
    work_.reset();
    const int job = job_;
    job_ = kJobNone;
    SetIdle();
    if (r.ok())
        Label1->SetCaption(GetMsgText(s, 57, BuildFileName));
    else
        Label1->SetCaption(GetMsgText(s, 52, BuildFileName + ": " + std::strerror(r.error)));
    if (r.ok() && job != kJobNone) RunEphemerisContinuation(jobs_, job);
    // The call-back may have asked for another file.
    if (Building()) return;
    // A request that came while this build ran.
    if (jobs_.EphemerisContinuation != kJobNone && !Trim(YearEdit->Text()).empty()) {
        StartEphemerisBuild();
        if (Building()) return;
    }
    if (r.ok() && job != kJobNone) Close();
}

void TTab::SetIdle() {
    Timer1->SetEnabled(false);
    stepTimer_.stop();
    Button1->setEnabled(true);
    Button3->setEnabled(true);
    Button2->SetCaption(Lang(p_.s, "Закрыть"_cp, "Close"));
    unsetCursor();
}

void TTab::CancelBuild() {
    if (!Building()) return;
    builder_.reset();
    engine_.reset();
    work_.reset();
    job_ = kJobNone;
    jobs_.EphemerisContinuation = kJobNone;
    SetIdle();
    Label1->SetCaption(
        Lang(p_.s, "Расчёт прерван, файл не записан"_cp, "Build stopped; no file written"));
}

void TTab::FormClose(CloseAction& action) {
    CancelBuild();
    jobs_.EphemerisContinuation = kJobNone;
    RequestAnnualEphemeris(p_, jobs_, {});
    action = CloseAction::Free;
    // Gone at once: a request before the deferred delete makes a new window, which shows
    // and builds, instead of this one.
    Screen().Removed(this);
}

void TTab::Button6Click() {
    AstroDat& s = p_.s;
    const std::optional<fs::path> wrk = WorkFolderForDialog(s);
    if (!wrk) return;
    OpenDialog->Title = Caption();
    OpenDialog->Filter =
        Lang(s, "Годовые эфемериды"_cp, "Annual ephemerides") + "|Tab*.wrk;TAB*.WRK;tab*.wrk|" +
        Lang(s, "Вековые эфемериды"_cp, "Century ephemerides") + "|Cen*.wrk;CEN*.WRK;cen*.wrk";
    OpenDialog->FileName = *wrk / "";
    if (!OpenDialog->Execute()) return;
    const fs::path chosen = OpenDialog->FileName;
    const std::string file = chosen.string();
    const std::string kind = UpperCaseCp(chosen.filename().string().substr(0, 3));
    if (kind != "TAB" && kind != "CEN") return;
    const fs::path txt = file.size() >= 3 ? fs::path(file.substr(0, file.size() - 3) + "txt")
                                          : fs::path(file + ".txt");
    const IoResult r = kind == "TAB" ? AnnualEphemerisToText(s, chosen, txt)
                                     : CenturyEphemerisToText(s, chosen, txt);
    if (!r.ok()) {
        std::string shown;
        if (!Utf8ToCp1251(chosen.filename().string(), shown)) shown = "?";
        IOCheck(s, r, shown);
        return;
    }
    const std::string name = ProgramNameOf(s.ProgramFolder, txt);
    if (!name.empty() && p_.Hooks.InterpShowFile) {
        p_.Hooks.InterpShowFile(name);
        return;
    }
    std::string shown = name;
    if (shown.empty() && !Utf8ToCp1251(txt.string(), shown)) shown = txt.filename().string();
    SetStatus(s, Lang(s, "Записан файл "_cp, "Written: ") + shown);
}

std::optional<fs::path> WorkFolderForDialog(AstroDat& s) {
    const fs::path wrk = s.DataPath("Wrk");
    std::error_code ec;
    fs::create_directories(wrk, ec);
    if (fs::is_directory(wrk, ec)) return wrk;
    Screen().Dlg().Message(MsgKind::Warning, GetMsgText(s, 70, "Wrk"), MsgButtons::Ok);
    return std::nullopt;
}

void RequestAnnualEphemeris(shell::Program& p, EphemerisJobs& jobs, const std::string& yearText) {
    jobs.RequestedEphemerisYear = yearText;
    p.Commands.RunUICommand("Tab,YearEdit", yearText);
}

TForm* OpenEphemerisWindow(shell::Program&, const EphemerisJobs& jobs) {
    FormScreen& scr = Screen();
    TForm* f = scr.FindForm("Tab");
    if (!f) f = scr.Ensure("Tab");
    if (!f) return nullptr;
    const bool forJob = jobs.EphemerisContinuation > 0;
    if (forJob)
        f->SetWindowState(WindowState::Minimized);
    else if (f->State() == WindowState::Minimized)
        f->SetWindowState(WindowState::Normal);
    f->show();
    if (!forJob) f->raise();
    return f;
}

void RequestEphemerisBuild(shell::Program& p, EphemerisJobs& jobs, EphemerisKind kind, int job,
                           int year) {
    jobs.EphemerisAnnual = kind == EphemerisKind::Annual;
    jobs.EphemerisContinuation = job;
    TForm* open = Screen().FindForm("Tab");
    const bool wasShown = open && open->isVisible();
    RequestAnnualEphemeris(p, jobs, std::to_string(year));
    TForm* f = OpenEphemerisWindow(p, jobs);
    // A window that was open already does not show again: start it here.
    if (auto* tab = dynamic_cast<TTab*>(f); tab && wasShown && !tab->Building())
        tab->StartEphemerisBuild();
}

EphemerisJobs& RegisterEphemeris(shell::Program& p) {
    EphemerisJobs& jobs = p.Own<EphemerisJobs>();
    Screen().RegisterFormClass("Tab", [&p, &jobs] { return new TTab(p, jobs); });
    p.Svc.MenuActions["N99"] = [&p, &jobs] { OpenEphemerisWindow(p, jobs); };
    return jobs;
}

} // namespace qor::forecast
