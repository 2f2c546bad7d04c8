#include "forecast/MovPlnForm.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "forecast/TabForm.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"
#include "ui/OffscreenBitmap.h"
#include "ui/SymbolPainter.h"

#include <QPainter>

namespace qor::forecast {

using namespace ui;

namespace {

constexpr int kPickerCell = 10;

constexpr Colour kSilver = 0xC0C0C0;
const char* const kHousePattern = "A**I**D**M**";

// The months as the window names them, in each language.
std::vector<std::string> MonthNames(const AstroDat& s) {
    static const char* const ru[12] = {"Январь",   "Февраль", "Март",   "Апрель",
                                       "Май",      "Июнь",    "Июль",   "Август",
                                       "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
    static const char* const en[12] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};
    std::vector<std::string> names;
    for (int m = 0; m < 12; ++m) names.push_back(s.EnglishMode ? en[m] : Cp(ru[m]));
    return names;
}

std::string Padded(std::string text, std::size_t n) {
    if (text.size() < n) text.append(n - text.size(), '.');
    text.resize(n);
    for (char& c : text)
        if (c != '*') c = '.';
    return text;
}

} // namespace

TMovPln::TMovPln(shell::Program& p, EphemerisJobs& jobs) : TForm("MovPln"), p_(p), jobs_(jobs) {
    SetCaption("Движение планет"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("movement_of_planets.html");
    SetStoresSettings(true);
    const QRect area = Screen().WorkArea();
    SetBounds(area.x() + std::max(0, area.width() - 400), area.y() + 60, 372, 206);

    Label1 = AddLabel("Label1", "Период"_cp, {8, 10, 70, 20}, Client());
    PeriodBox = Add<TComboBox>("PeriodBox", {82, 6, 100, 26});
    PeriodBox->SetItems({"1 месяц"_cp, "1 год"_cp, "10 лет"_cp, "36 лет"_cp});
    PeriodBox->SetItemIndex(1);
    Label2 = AddLabel("Label2", "Гармоника"_cp, {192, 10, 80, 20}, Client());
    GarmBox = Add<TComboBox>("GarmBox", {276, 6, 86, 26});
    GarmBox->SetItems({"360\xB0", "90\xB0", "60\xB0", "45\xB0", "30\xB0"});
    GarmBox->SetItemIndex(0);
    Label3 = AddLabel("Label3", "Вид"_cp, {8, 42, 70, 20}, Client());
    TypeBox = Add<TComboBox>("TypeBox", {82, 38, 100, 26});
    TypeBox->SetItems({"Транзит"_cp, "Прогрессия"_cp, "Дирекция"_cp});
    TypeBox->SetItemIndex(0);
    for (TComboBox* b : {PeriodBox, GarmBox, TypeBox}) b->SetTypingAllowed(false);
    Edit1 = AddEdit("Edit1", "Сентябрь"_cp, {192, 38, 96, 26}, Client());
    UpPan = Add<TPanel>("UpPan", {290, 38, 18, 13});
    DownPan = Add<TPanel>("DownPan", {290, 51, 18, 13});
    Edit2 = AddEdit("Edit2", "2000", {312, 38, 32, 26}, Client());
    Panel4 = Add<TPanel>("Panel4", {346, 38, 18, 13});
    Panel5 = Add<TPanel>("Panel5", {346, 51, 18, 13});
    for (TPanel* pan : {UpPan, Panel4}) pan->SetCaption("<");
    for (TPanel* pan : {DownPan, Panel5}) pan->SetCaption(">");

    Label4 = AddLabel("Label4", "Транзитные"_cp, {8, 76, 76, 20}, Client());
    Panel1 = Add<TPanel>("Panel1", {92, 72, 164, 22});
    WorkPaintBox = Add<TPaintBox>("WorkPaintBox", {2, 2, 160, 18}, Panel1);
    Label5 = AddLabel("Label5", "Натальные"_cp, {8, 104, 76, 20}, Client());
    Panel2 = Add<TPanel>("Panel2", {92, 100, 164, 22});
    NatPaintBox = Add<TPaintBox>("NatPaintBox", {2, 2, 160, 18}, Panel2);
    Label6 = AddLabel("Label6", "Дома"_cp, {8, 132, 76, 20}, Client());
    Panel3 = Add<TPanel>("Panel3", {92, 128, 130, 22});
    HousPaintBox = Add<TPaintBox>("HousPaintBox", {2, 2, 126, 18}, Panel3);

    Button1 = AddButton("Button1", "&График"_cp, {8, 166, 110, 30}, Client());
    TablButton = AddButton("TablButton", "&Табл.Транз."_cp, {124, 166, 120, 30}, Client());
    SetHint(TablButton, Lang(p_.s, "Таблица транзитов рабочей планеты"_cp,
                             "Transit table of the working planet"));
    Button2 = AddButton("Button2", "&Закрыть"_cp, {250, 166, 112, 30}, Client());
    Edit = AddEdit("Edit", "", {600, 0, 40, 20}, Client());
    Edit->hide();
    Timer1 = Add<TTimer>("Timer1");
    Timer1->SetEnabled(false);
    Timer1->SetInterval(1000);

    Button1->OnClick = [this] { Button1Click(); };
    TablButton->OnClick = [this] { TablButtonClick(); };
    Button2->OnClick = [this] { Close(); };
    Timer1->OnTimer = [this] { Timer1Timer(); };
    TypeBox->OnChange = [this] { UpdateMovPlnKind(); };
    UpPan->OnMouseDown = [this](MouseButton, Shift, int, int) { StepMonth(-1); };
    DownPan->OnMouseDown = [this](MouseButton, Shift, int, int) { StepMonth(1); };
    Panel4->OnMouseDown = [this](MouseButton, Shift, int, int) { StepYear(-1); };
    Panel5->OnMouseDown = [this](MouseButton, Shift, int, int) { StepYear(1); };
    int picker = 0;
    for (TPaintBox* box : {WorkPaintBox, NatPaintBox, HousPaintBox}) {
        box->setMouseTracking(false);
        box->OnPaint = [this, picker](QPainter& g) { PaintPicker(g, picker); };
        box->OnMouseDown = [this, picker](MouseButton b, Shift, int x, int) {
            if (b == MouseButton::Left) PickerPress(picker, x);
        };
        box->OnMouseMove = [this, picker](Shift sh, int x, int) {
            if (sh & ssLeft) PickerDrag(picker, x);
        };
        ++picker;
    }
    OnShow = [this] { FormShow(); };
    OnClose = [this](CloseAction& a) { FormClose(a); };
    monthNames_ = MonthNames(p_.s);
}

void TMovPln::FormShow() {
    AspMode = (p_.Checked("KartForm", "MajorCheck", true) ? 1 : 0) +
              (p_.Checked("KartForm", "MinorCheck", true) ? 2 : 0);
    for (TComboBox* b : {PeriodBox, GarmBox, TypeBox}) shell::TTech::SyncComboIndex(*b);
    std::string rest = Edit->Text();
    WorkPicker = Padded(NextField(rest, ';'), 16);
    NatPicker = Padded(NextField(rest, ';'), 16);
    HousePicker = Padded(NextField(rest, ';'), 12);
    monthNames_ = MonthNames(p_.s);
    UpdateMovPlnKind();
}

void TMovPln::FormClose(CloseAction& action) {
    Edit->SetText(WorkPicker + ";" + NatPicker + ";" + HousePicker + ";");
    if (p_.Flags.ScreenMode != 'M') {
        action = CloseAction::Free;
        Screen().Removed(this);
    }
}

void TMovPln::UpdateMovPlnKind() {
    const int kind = TypeBox->ItemIndex();
    const AstroDat& s = p_.s;
    Label4->SetCaption(kind == 1   ? Lang(s, "Прогрессивные"_cp, "Progressive")
                       : kind == 2 ? Lang(s, "Директные"_cp, "Directive")
                                   : Lang(s, "Транзитные"_cp, "Transit"));
    TablButton->setEnabled(kind <= 0);
}

int TMovPln::MonthOfEdit() const {
    const std::string text = Trim(Edit1->Text());
    for (std::size_t m = 0; m < monthNames_.size(); ++m)
        if (monthNames_[m] == text) return static_cast<int>(m) + 1;
    return 1;
}

int TMovPln::YearOfEdit() const {
    const auto y = ParseWholeInteger(Trim(Edit2->Text()));
    return y && *y >= -99999 && *y <= 99999 ? static_cast<int>(*y) : 0;
}

void TMovPln::StepMonth(int delta) {
    int m = MonthOfEdit() + delta;
    if (m < 1) {
        m = 12;
        Edit2->SetText(std::to_string(YearOfEdit() - 1));
    } else if (m > 12) {
        m = 1;
        Edit2->SetText(std::to_string(YearOfEdit() + 1));
    }
    Edit1->SetText(monthNames_[static_cast<std::size_t>(m - 1)]);
    if (PeriodBox->ItemIndex() == 0) Button1Click();
}

void TMovPln::StepYear(int delta) {
    Edit2->SetText(std::to_string(YearOfEdit() + delta));
    Button1Click();
}

std::string& TMovPln::PickerOf(int picker) {
    return picker == 0 ? WorkPicker : picker == 1 ? NatPicker : HousePicker;
}

TPaintBox* TMovPln::BoxOf(int picker) {
    return picker == 0 ? WorkPaintBox : picker == 1 ? NatPaintBox : HousPaintBox;
}

void TMovPln::PickerPress(int picker, int x) {
    const int cell = (x - 4) / kPickerCell + 1;
    lastCell_ = cell;
    std::string& text = PickerOf(picker);
    const int cells = picker == 2 ? 12 : 15;
    if (cell < 1 || cell > cells) return;
    char& c = text[static_cast<std::size_t>(cell - 1)];
    c = c == '.' ? '*' : '.';
    BoxOf(picker)->Invalidate();
}

void TMovPln::PickerDrag(int picker, int x) {
    const int cell = (x - 4) / kPickerCell + 1;
    const int cells = picker == 2 ? 12 : 15;
    if (cell < 1 || cell > cells || cell == lastCell_) return;
    PickerPress(picker, x);
}

void TMovPln::PaintPicker(QPainter& g, int picker) {
    const std::string& text = PickerOf(picker);
    if (picker == 2) {
        for (int h = 1; h <= 12; ++h) {
            g.setPen(text[static_cast<std::size_t>(h - 1)] == '.' ? Qt::black
                                                                  : QColor(192, 192, 192));
            g.drawText(QPoint(kPickerCell * (h - 1) + 8 - 6, 14),
                       QString(QChar(kHousePattern[h - 1])));
        }
        return;
    }
    for (int i = 1; i <= 15; ++i)
        PaintFont16Text(g, p_.Font, kPickerCell * (i - 1), 0, std::string(1, BodyGlyph(i)),
                        text[static_cast<std::size_t>(i - 1)] == '.' ? kBlack : kSilver);
}

MotionChoices TMovPln::Choices() const {
    MotionChoices c;
    c.kind = std::max(0, TypeBox->ItemIndex());
    c.period = std::max(0, PeriodBox->ItemIndex());
    c.harmonic = std::max(0, GarmBox->ItemIndex());
    c.year = YearOfEdit();
    c.month = MonthOfEdit();
    c.work = WorkPicker;
    c.natal = NatPicker;
    c.houses = HousePicker;
    return c;
}

void TMovPln::Button1Click() {
    if (p_.Tech) p_.Tech->StopDynamics();
    p_.Flags.RealTimeMode = false;
    Timer1->SetInterval(100);
    Timer1->SetEnabled(true);
}

void TMovPln::Timer1Timer() {
    Timer1->SetEnabled(false);
    p_.Flags.ScreenMode = 'M';
    p_.DrawScreen('M');
}

void TMovPln::DrawMovPlnGraph() {
    if (!p_.BufBitmap) return;
    OffscreenBitmap& b = *p_.BufBitmap;
    AstroDat& s = p_.s;
    ClearBuffer(b, kWhite);
    Canvas& cv = b.canvas();
    cv.SetFontColor(kBlack);
    const MotionChoices c = Choices();
    const auto say = [&](const std::string& text) {
        ClearBuffer(b, kWhite);
        cv.SetFontColor(kBlack);
        cv.TextOut(40, 40, text);
    };
    // A missing cache file is asked of the ephemeris window; its build draws the graph again.
    const auto wait = [&](EphemerisKind kind, int year) {
        if (jobs_.EphemerisContinuation == kJobNone)
            RequestEphemerisBuild(p_, jobs_, kind, kJobMotionGraph, year);
        say(Lang(s, "Ждём файл эфемерид "_cp, "Waiting for the ephemeris file ") +
            EphemerisFileName(kind, year));
    };
    if (c.kind == 1 || c.kind == 2) {
        if (!p_.Flags.Ready) return; // no chart to start from yet
        CurrentChart chart(s, p_.ChartOpt, p_.GeneralOpt);
        DrawChartMotionGraph(s, chart, cv, p_.Font, c, b.Height());
        return;
    }
    const EphemerisKind kind = c.period >= 2 ? EphemerisKind::Century : EphemerisKind::Annual;
    if (!EphemerisYearFits(kind, c.year)) {
        say(Lang(s, "Год вне пределов: "_cp, "Year out of range: ") + std::to_string(c.year));
        return;
    }
    if (kind == EphemerisKind::Century) {
        const CenturyLoader load = [&s](int century, std::vector<EphemerisRecord>& records) {
            const int year = CenturyFirstYear(century);
            const std::string file = EphemerisFileName(EphemerisKind::Century, year);
            if (!fs::exists(s.DataPath(file))) return FileLoad::Missing;
            return IOCheck(s, ReadEphemerisFile(s.DataPath(file), records), file)
                       ? FileLoad::Unreadable
                       : FileLoad::Loaded;
        };
        const MotionResult r = DrawDecadeTransitGraph(s, cv, p_.Font, c, load, s.PlanetLon,
                                                      b.Height());
        if (r.missing) wait(EphemerisKind::Century, r.requestYear);
        return;
    }
    const std::string file = EphemerisFileName(EphemerisKind::Annual, c.year);
    if (!fs::exists(s.DataPath(file))) {
        wait(EphemerisKind::Annual, c.year);
        return;
    }
    std::vector<EphemerisRecord> records;
    if (IOCheck(s, ReadEphemerisFile(s.DataPath(file), records), file)) return;
    DrawTransitGraph(s, cv, p_.Font, c, records, s.PlanetLon, b.Height());
}

void TMovPln::TablButtonClick() {
    AstroDat& s = p_.s;
    if (p_.Tech) p_.Tech->StopDynamics();
    p_.Flags.RealTimeMode = false;
    TransitTableInput in;
    in.table = &p_.AspTable;
    in.aspMode = AspMode;
    in.natal = NatPicker;
    in.houses = HousePicker;
    in.natalLon = s.PlanetLon;
    in.glyphs =
        TransitGlyphTable(p_.ItemIndex("GenSet", "PrinterFontRadioGroup", 1) != 0, p_.AspTable);
    const int w = WorkingBody(WorkPicker);
    const int year = YearOfEdit(), month = MonthOfEdit();
    std::vector<std::string> lines;
    std::string caption;
    if (w == 2) {
        // The Moon, computed every two hours, on a copy of the chart state.
        AstroDat work = s;
        CurrentChart chart(work, p_.ChartOpt, p_.GeneralOpt);
        lines = MoonTransitTable(work, chart, in, month, year);
        caption = GetMsgText(s, 66) + IntToStrZ(month, 2) + "." + IntToStrZ(year, 4);
    } else {
        if (!EphemerisYearFits(EphemerisKind::Annual, year)) return;
        const std::string file = EphemerisFileName(EphemerisKind::Annual, year);
        if (!fs::exists(s.DataPath(file))) {
            RequestEphemerisBuild(p_, jobs_, EphemerisKind::Annual, kJobTransitTable, year);
            return;
        }
        std::vector<EphemerisRecord> records;
        if (IOCheck(s, ReadEphemerisFile(s.DataPath(file), records), file)) return;
        lines = TransitTableLines(in, w, records);
        const NamesAs words(s, false, false);
        std::string name = BodyName(s, w);
        std::erase(name, ' ');
        caption = GetMsgText(s, 67, IntToStrW(year, 4)) + " " +
                  Lang(s, "Планета(н) - "_cp, "Planet(n) - ") + name + Lang(s, "(т)"_cp, "(t)");
    }
    auto* list = dynamic_cast<TAspList*>(Screen().Ensure("AspList"));
    if (!list) return;
    list->SetCaption(caption);
    list->SetTable(std::move(lines), in.glyphs.charset == 0 ? "QOR511" : in.glyphs.fontName);
    list->SetWindowState(WindowState::Normal);
    list->show();
}

// The layer over the main window's screen that shows the aspect cursor; the mouse goes through.
class CursorLayer : public QWidget {
public:
    CursorLayer(QWidget* parent, std::function<void(QPainter&)> paint)
        : QWidget(parent), paint_(std::move(paint)) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        paint_(g);
    }

private:
    std::function<void(QPainter&)> paint_;
};

std::vector<TMovPln::CursorMark> TMovPln::CursorMarks(int x) const {
    std::vector<CursorMark> marks;
    const MotionGeometry g =
        MakeMotionGeometry(p_.BufBitmap ? p_.BufBitmap->Width() : 800, 600, 0, 365);
    const int xR = g.XRight();
    const AspDefTable& table = p_.AspTable;
    for (int a = 1; a <= table.AspCount; ++a) {
        if (!AspectAllowed(table, a, AspMode)) continue;
        const double deg = table.Asp[static_cast<std::size_t>(a)].AspAngle / kDegToRad;
        const auto place = [&](double angle) {
            const int off = static_cast<int>(RoundEven(angle / 30.0 * g.divisionWidth));
            if (x + off <= xR) marks.push_back({x + off, a});
            if (x - off >= kGraphLeftX && a != 1) marks.push_back({x - off, a});
        };
        place(deg);
        if (a != 1 && a != 14) place(360.0 - deg);
    }
    return marks;
}

bool TMovPln::CursorShown() const {
    return cursorLayer_ && cursorLayer_->isVisible();
}

void TMovPln::MovPlnCursorDown(int x, int y) {
    if (GarmBox->ItemIndex() != 0 || AspMode == 0 || !p_.Form1) return;
    if (!cursorLayer_) {
        QWidget* box = p_.Form1->PaintBox;
        cursorLayer_ = new CursorLayer(box, [this](QPainter& g) {
            const MotionGeometry geo =
                MakeMotionGeometry(p_.BufBitmap ? p_.BufBitmap->Width() : 800, 600, 0, 365);
            const QColor navy(0, 0, 128);
            g.setPen(navy);
            g.drawLine(kGraphLeftX, cursorY_, geo.XRight(), cursorY_);
            for (const CursorMark& m : CursorMarks(cursorX_)) {
                g.drawLine(m.x, cursorY_ - 8, m.x, cursorY_ + 8);
                const char glyph = p_.AspTable.AspGlyph[static_cast<std::size_t>(m.aspect)];
                if (glyph != 0)
                    PaintFont16Text(g, p_.Font, m.x - 8, cursorY_ - 24, std::string(1, glyph),
                                    0x800000);
            }
        });
        QObject::connect(this, &QObject::destroyed, cursorLayer_, &QObject::deleteLater);
    }
    cursorLayer_->setGeometry(p_.Form1->PaintBox->rect());
    cursorX_ = x;
    cursorY_ = y;
    cursorLayer_->show();
    cursorLayer_->raise();
    cursorLayer_->update();
}

void TMovPln::MovPlnCursorMove(int x, int y) {
    if (!CursorShown()) return;
    cursorX_ = x;
    cursorY_ = y;
    cursorLayer_->update();
}

void TMovPln::MovPlnCursorUp() {
    if (cursorLayer_) cursorLayer_->hide();
}

TAspList::TAspList(shell::Program&) : TForm("AspList") {
    SetHelpTopic("movement_of_planets.html");
    SetCaption("Динамические аспекты"_cp);
    SetToolWindow(true);
    SetStoresSettings(true);
    SetBounds(120, 120, 520, 420);
    Memo = Add<TMemo>("Memo");
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    SetTag(Memo, 1); // the table is no setting
    OnResize = [this] { ui::SetBounds(Memo, 0, 0, Client()->width(), Client()->height()); };
    OnClose = [this](CloseAction& a) {
        a = CloseAction::Free;
        Screen().Removed(this);
    };
}

void TAspList::SetTable(std::vector<std::string> lines, const std::string& face) {
    lines_ = std::move(lines);
    QFont font(FontFamilyFor(face));
    font.setPixelSize(15);
    Memo->setFont(font);
    QString text;
    for (const std::string& line : lines_) text += FontTextFor(face, line) + QLatin1Char('\n');
    Memo->setPlainText(text);
}

void RegisterMotionGraph(shell::Program& p, EphemerisJobs& jobs) {
    p.FormClasses.Register("MovPln", [&p, &jobs] { return new TMovPln(p, jobs); });
    p.FormClasses.Register("AspList", [&p] { return new TAspList(p); });
    shell::ScreenHandler& screen = p.Svc.Screens['M'];
    screen.Draw = [] {
        if (auto* w = dynamic_cast<TMovPln*>(Screen().Ensure("MovPln"))) w->DrawMovPlnGraph();
    };
    const auto window = [] { return dynamic_cast<TMovPln*>(Screen().FindForm("MovPln")); };
    screen.MouseDown = [window](MouseButton b, Shift, int x, int y) {
        if (TMovPln* w = window(); w && b == MouseButton::Left) w->MovPlnCursorDown(x, y);
    };
    screen.MouseMove = [window](Shift, int x, int y) {
        if (TMovPln* w = window()) w->MovPlnCursorMove(x, y);
    };
    screen.MouseUp = [window](MouseButton, Shift, int, int) {
        if (TMovPln* w = window()) w->MovPlnCursorUp();
    };
    RegisterContinuation(jobs, kJobMotionGraph, "MovPln", [&p](TForm&) {
        p.Flags.ScreenMode = 'M';
        p.DrawScreen('M');
    });
    RegisterContinuation(jobs, kJobTransitTable, "MovPln",
                         [](TForm& f) { static_cast<TMovPln&>(f).TablButtonClick(); });
}

} // namespace qor::forecast
