#include "forecast/MoonForm.h"

#include "core/Formats.h"
#include "core/Text.h"
#include "forecast/TabForm.h"
#include "shell/MainForm.h"

#include <QFont>

#include <cstring>

namespace qor::forecast {

using namespace ui;

namespace {

constexpr int kPanelHeight = 44;
constexpr int kTableYearLimit = 9999;
constexpr int kPeriodLimit = 1000;

} // namespace

TMoon::TMoon(shell::Program& p, EphemerisJobs& jobs) : TForm("Moon"), p_(p), jobs_(jobs) {
    SetCaption("Луна"_cp);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("astrological_tables.html");
    SetStoresSettings(true);
    SetBounds(180, 120, 640, 460);

    Memo = Add<TMemo>("Memo");
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetTag(Memo, 8); // the table font
    Panel1 = Add<TPanel>("Panel1");
    GoBtn = Add<TButton>("GoBtn", {8, 8, 96, 28}, Panel1);
    GoBtn->SetCaption("Создать"_cp);
    ReadBtn = Add<TButton>("ReadBtn", {110, 8, 96, 28}, Panel1);
    ReadBtn->SetCaption("Прочитать"_cp);
    ClearBtn = Add<TButton>("ClearBtn", {212, 8, 96, 28}, Panel1);
    ClearBtn->SetCaption("Очистить"_cp);
    Label1 = Add<TLabel>("Label1", {326, 14, 56, 20}, Panel1);
    Label1->SetCaption("Начало"_cp);
    YearEdit = Add<TEdit>("YearEdit", {384, 10, 64, 24}, Panel1);
    YearEdit->SetText("1999");
    Label2 = Add<TLabel>("Label2", {462, 14, 56, 20}, Panel1);
    Label2->SetCaption("Период"_cp);
    PeriodEdit = Add<TEdit>("PeriodEdit", {520, 10, 48, 24}, Panel1);
    PeriodEdit->SetText("1");
    OpenDialog = Add<TFileDialog>("OpenDialog");

    GoBtn->OnClick = [this] { GoBtnClick(); };
    ReadBtn->OnClick = [this] { ReadBtnClick(); };
    ClearBtn->OnClick = [this] { ClearBtnClick(); };
    stepTimer_.setSingleShot(true);
    QObject::connect(&stepTimer_, &QTimer::timeout, [this] { StepTable(); });
    OnShow = [this] { FormShow(); };
    OnResize = [this] { FormResize(); };
    OnKeyDown = [this](int& key, Shift sh) { FormKeyDown(key, sh); };
    OnClose = [this](CloseAction& a) { FormClose(a); };
    FormResize();
}

TMoon::~TMoon() {
    stepTimer_.stop();
}

void TMoon::FormShow() {
    // Fixed columns want a fixed-pitch face, whichever the table font's name finds.
    QFont f = Memo->font();
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    Memo->setFont(f);
    FormResize();
}

void TMoon::FormResize() {
    const int w = Client()->width(), h = Client()->height();
    ui::SetBounds(Memo, 0, 0, w, std::max(0, h - kPanelHeight));
    ui::SetBounds(Panel1, 0, std::max(0, h - kPanelHeight), w, kPanelHeight);
}

void TMoon::FormKeyDown(int& key, Shift) {
    // Esc stops a table being computed; otherwise it closes the window.
    if (key == vk::Escape && Running()) {
        CancelTable();
        key = 0;
    }
}

void TMoon::FormClose(CloseAction& action) {
    if (Running()) {
        stepTimer_.stop();
        table_.reset();
        engine_.reset();
        work_.reset();
        SetCaption(savedCaption_);
        unsetCursor();
    }
    action = CloseAction::Free;
    // Gone at once: a later request makes a new window.
    Screen().Removed(this);
}

std::string TMoon::MenuCaption(const std::string& item) const {
    if (p_.Form1)
        if (const auto* m = p_.Form1->Find<TMenuItem>(item)) return m->Caption();
    const AstroDat& s = p_.s;
    if (item == "N100") return Lang(s, "Журнал Лунных дней"_cp, "Log of lunar days");
    if (item == "N101") return Lang(s, "Восходы и заходы Солнца"_cp, "Sunrises and sunsets");
    if (item == "N102") return Lang(s, "Ингрессии планеты"_cp, "Ingresses of a planet");
    if (item == "N103")
        return Lang(s, "Апогей и перигей Луны"_cp, "Apogee and perigee of the Moon");
    return {};
}

TMoon::Kind TMoon::KindOfCaption(const std::string& caption, std::string* planet) const {
    if (caption == MenuCaption("N100")) return Kind::MoonDays;
    if (caption == MenuCaption("N103")) return Kind::Apsides;
    const std::string ingress = MenuCaption("N102");
    if (!ingress.empty() && caption.size() > ingress.size() + 1 &&
        caption.compare(0, ingress.size(), ingress) == 0) {
        if (planet) *planet = caption.substr(ingress.size() + 1);
        return Kind::Ingresses;
    }
    if (caption == MenuCaption("N101")) return Kind::Sun;
    return Kind::None;
}

void TMoon::Refuse(const std::string& text) {
    Memo->SetLines({text});
    PlayWav(p_.s, "Error.wav");
}

YearTableInput TMoon::Input(int year) {
    const AstroDat& s = p_.s;
    YearTableInput in;
    in.year = year;
    in.h0 = RiseAltitudeCorrection(p_.GeneralOpt.RiseGroup, kUpperLimbWithRefraction);
    auto text = [this](const char* control, std::string otherwise) {
        const std::string t = p_.Text("DataForm", control);
        return Trim(t).empty() ? otherwise : t;
    };
    in.city = text("CityEdit", "");
    in.lat = text("LatEdit", FormatLatitude(s.ChartLat));
    in.lon = text("LongEdit", FormatLongitude(s.ChartLong));
    in.zone = text("dTEdit", FormatZoneOffset(s.ChartZone, true));
    return in;
}

void TMoon::GoBtnClick() {
    if (Running()) return;
    AstroDat& s = p_.s;
    std::string planetText;
    const Kind kind = KindOfCaption(Caption(), &planetText);
    if (kind == Kind::None) return;
    const std::string yearText = Trim(YearEdit->Text());
    const std::optional<long long> year = ParseWholeInteger(yearText);
    if (!year) {
        Refuse(Lang(s, "Год должен быть целым числом: "_cp, "The year must be a whole number: ") +
               yearText);
        return;
    }
    if (*year < -kTableYearLimit || *year > kTableYearLimit) {
        Refuse(Lang(s, "Таблицы строятся для лет от -9999 до 9999"_cp,
                    "Tables are made for the years -9999 to 9999"));
        return;
    }
    const int y = static_cast<int>(*year);
    int point = 0, period = 1;
    if (kind == Kind::Ingresses) {
        point = IngressPlanetOf(s, planetText);
        if (point == 0) {
            Refuse(Lang(s, "Нет такой планеты: "_cp, "No such planet: ") + Trim(planetText));
            return;
        }
        const std::string periodText = Trim(PeriodEdit->Text());
        const std::optional<long long> years = ParseWholeInteger(periodText);
        if (!years || *years > kPeriodLimit) {
            Refuse(Lang(s, "Период должен быть целым числом лет, не больше 1000: "_cp,
                        "The period must be a whole number of years up to 1000: ") +
                   periodText);
            return;
        }
        period = static_cast<int>(std::max<long long>(*years, 0));
    }
    std::vector<EphemerisRecord> annual;
    if (kind == Kind::MoonDays) {
        const std::string tab = EphemerisFileName(EphemerisKind::Annual, y);
        if (!ProgramFileExists(s.ProgramFolder, tab)) {
            Memo->SetLines({Lang(s, "Строится файл эфемерид "_cp, "Building the ephemeris file ") +
                            tab +
                            Lang(s, "; затем журнал будет составлен."_cp, "; the log follows.")});
            RequestEphemerisBuild(p_, jobs_, EphemerisKind::Annual, kJobMoonLog, y);
            return;
        }
        const IoResult r = ReadEphemerisFile(s.DataPath(tab), annual);
        if (!r.ok()) {
            Memo->SetLines({GetMsgText(s, 52, tab + ": " + std::strerror(r.error))});
            return;
        }
    }
    p_.ReadOptions();
    const YearTableInput in = Input(y);
    // The table runs on a copy of the chart state with the chart's options.
    work_ = std::make_unique<AstroDat>(s);
    engine_ = std::make_unique<CurrentChart>(*work_, p_.ChartOpt, p_.GeneralOpt);
    std::string progress;
    switch (kind) {
    case Kind::MoonDays:
        table_ = MakeMoonDayLog(*work_, *engine_, in, std::move(annual));
        file_ = MoonDayLogFileName(y);
        progress = Lang(s, "Расчет восходов и заходов Луны, новолуний и полнолуний ..."_cp,
                        "Moon rises and sets, new and full moons ...");
        break;
    case Kind::Sun:
        table_ = MakeSunRiseSetTable(*work_, *engine_, in);
        file_ = SunTableFileName(y);
        progress = Lang(s, "Расчет восходов и заходов Солнца ..."_cp, "Sunrises and sunsets ...");
        break;
    case Kind::Apsides:
        table_ = MakeMoonApsidesTable(*work_, *engine_, in);
        file_ = ApsidesTableFileName(y);
        progress =
            Lang(s, "Расчет апогеев и перигеев Луны ..."_cp, "Moon apogees and perigees ...");
        break;
    case Kind::Ingresses:
        table_ = MakePlanetIngressLog(*work_, *engine_, in, point, period, p_.ChartOpt.HelioBox);
        file_ = IngressLogFileName(point, y, period);
        progress = Lang(s, "Расчет ингрессий и стоянок ..."_cp, "Ingresses and stations ...");
        break;
    case Kind::None:
        return;
    }
    savedCaption_ = Caption();
    Memo->SetLines({progress});
    setCursor(Qt::WaitCursor);
    stepTimer_.start(0);
}

void TMoon::StepTable() {
    if (!table_) return;
    table_->Step();
    SetCaption(table_->Reached());
    if (table_->Done())
        FinishTable();
    else
        stepTimer_.start(0);
}

void TMoon::FinishTable() {
    AstroDat& s = p_.s;
    const std::vector<std::string> lines = table_->Lines();
    table_.reset();
    engine_.reset();
    work_.reset();
    SetCaption(savedCaption_);
    unsetCursor();
    const fs::path path = s.DataPath(file_);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    const IoResult r = WriteTextFileAtomic(path, lines);
    if (!r.ok()) {
        Memo->AddLine(GetMsgText(s, 52, file_ + ": " + std::strerror(r.error)));
        return;
    }
    Memo->SetLines(lines);
    SetStatus(s, GetMsgText(s, 57, file_));
}

void TMoon::CancelTable() {
    if (!Running()) return;
    stepTimer_.stop();
    table_.reset();
    engine_.reset();
    work_.reset();
    SetCaption(savedCaption_);
    unsetCursor();
    Memo->AddLine(Lang(p_.s, "Расчёт прерван, файл не записан"_cp, "Stopped; no file written"));
}

void TMoon::ClearBtnClick() {
    Memo->Clear();
}

void TMoon::ReadBtnClick() {
    AstroDat& s = p_.s;
    const std::optional<fs::path> wrk = WorkFolderForDialog(s);
    if (!wrk) return;
    // The saved files of each table: their description and the stem and extension of their
    // names, matched in the three usual spellings.
    auto filter = [&s](const char* russian, const char* english, const std::string& stem,
                       const std::string& ext) {
        const std::string upper = UpperCaseCp(stem + "*." + ext);
        const std::string lower = LowerCaseCp(stem + "*." + ext);
        return Lang(s, Cp(russian), english) + "|" + stem + "*." + ext + ";" + upper + ";" + lower;
    };
    const std::string moon = filter("Журналы Лунных дней", "Moon day logs", "Moon", "wrk");
    const std::string sun =
        filter("Журналы восходов Солнца", "Sunrise and sunset tables", "Sun", "wrk");
    const std::string apsides =
        filter("Журналы апогеев и перигеев Луны", "Moon apogee and perigee tables", "Map", "wrk");
    const std::string ingress = filter("Журналы ингрессий", "Ingress logs", "Ingres", "txt");
    switch (KindOfCaption(Caption())) {
    case Kind::MoonDays:
        OpenDialog->Filter = moon;
        break;
    case Kind::Apsides:
        OpenDialog->Filter = apsides;
        break;
    case Kind::Sun:
        OpenDialog->Filter = sun;
        break;
    case Kind::Ingresses:
        OpenDialog->Filter = ingress;
        break;
    case Kind::None:
        OpenDialog->Filter = moon + "|" + sun + "|" + apsides + "|" + ingress;
        break;
    }
    OpenDialog->Title = Caption();
    OpenDialog->FileName = *wrk / "";
    if (!OpenDialog->Execute()) return;
    std::vector<std::string> lines;
    const IoResult r = ReadTextLines(OpenDialog->FileName, lines);
    std::string shown;
    if (!Utf8ToCp1251(OpenDialog->FileName.filename().string(), shown)) shown = "?";
    if (IOCheck(s, r, shown)) return;
    Memo->SetLines(lines);
}

void RegisterYearTables(shell::Program& p, EphemerisJobs& jobs) {
    Screen().RegisterFormClass("Moon", [&p, &jobs] { return new TMoon(p, jobs); });
    RegisterContinuation(jobs, kJobMoonLog, "Moon", [](TForm& f) {
        if (auto* moon = dynamic_cast<TMoon*>(&f)) moon->GoBtnClick();
    });
}

} // namespace qor::forecast
