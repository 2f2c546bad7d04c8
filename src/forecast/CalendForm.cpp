#include "forecast/CalendForm.h"

#include "core/ChartMoment.h"
#include "core/ChartRecords.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "forecast/TabForm.h"
#include "shell/MainForm.h"
#include "ui/SymbolPainter.h"

#include <QPainter>

namespace qor::forecast {

using namespace ui;

namespace {

constexpr int kPanelHeight = 34;
constexpr int kRowHeight = 16;
constexpr int kDayColWidth = 52;
constexpr int kHouseColWidth = 132;
// A cell's aspects side by side: three glyphs each and a gap.
constexpr int kAspectAdvance = 3 * kFont16Advance + 8;
constexpr int kGraphWidth = kGraphRight + 10;
constexpr int kGraphHeight = kGraphTop + 366 + 10;

const char* const kCalendarFile = "Wrk\\Calendar.txt";

} // namespace

TCalend::TCalend(shell::Program& p, EphemerisJobs& jobs) : TForm("Calend"), p_(p), jobs_(jobs) {
    SetCaption("Календарь - прогноз"_cp);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("calendar_forecast.html");
    SetStoresSettings(true);
    SetBounds(160, 90, 560, 470);

    Panel1 = Add<TPanel>("Panel1");
    Button1 = AddButton("Button1", "Создать"_cp, {6, 3, 100, 28}, Panel1);
    Button2 = AddButton("Button2", "Аспекты"_cp, {110, 3, 100, 28}, Panel1);
    Button3 = AddButton("Button3", "Графика"_cp, {214, 3, 100, 28}, Panel1);
    FileButton = AddButton("FileButton", "Файл"_cp, {318, 3, 100, 28}, Panel1);
    SetHint(FileButton, Lang(p_.s, "Записать Calendar.txt"_cp, "Write Calendar.txt"));
    Panel2 = Add<TPanel>("Panel2");
    PaintBox = Add<TPaintBox>("PaintBox", Panel2);
    PaintBox->setMouseTracking(true);
    DrawGrid = Add<TDrawGrid>("DrawGrid", Panel2);
    DrawGrid->SetColCount(kGridCols);
    DrawGrid->SetRowCount(kGridRows);
    DrawGrid->SetFixed(1, 1);
    DrawGrid->SetDefaultRowHeight(kRowHeight);
    DrawGrid->SetColWidth(0, kDayColWidth);
    for (int c = 1; c < kGridCols; ++c) DrawGrid->SetColWidth(c, kHouseColWidth);
    DrawGrid->SetColSizing(true);
    QFont courier("Courier New");
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPixelSize(15);
    DrawGrid->setFont(courier);
    DrawGrid->hide();

    Button1->OnClick = [this] { Button1Click(); };
    Button2->OnClick = [this] { Button2Click(); };
    Button3->OnClick = [this] { Button3Click(); };
    FileButton->OnClick = [this] { FileButtonClick(); };
    PaintBox->OnPaint = [this](QPainter& g) { g.drawImage(0, 0, graph_); };
    PaintBox->OnMouseMove = [this](Shift, int x, int y) { PaintBoxMouseMove(x, y); };
    DrawGrid->OnDrawCell = [this](QPainter& g, int col, int row, const QRect& r, int) {
        DrawCell(g, col, row, r);
    };
    OnShow = [this] { FormShow(); };
    OnResize = [this] { FormResize(); };
    OnClose = [this](CloseAction& a) { FormClose(a); };
    ClearGraph();
    FormResize();
}

void TCalend::FormShow() {
    SavedCaption = Caption();
    const QFontMetrics m(DrawGrid->font());
    DrawGrid->SetDefaultRowHeight(std::max(kRowHeight, m.height() + 3));
    FormResize();
}

void TCalend::FormResize() {
    const int w = Client()->width(), h = Client()->height();
    ui::SetBounds(Panel1, 0, 0, w, kPanelHeight);
    ui::SetBounds(Panel2, 0, kPanelHeight, w, std::max(0, h - kPanelHeight));
    ui::SetBounds(PaintBox, 0, 0, w, std::max(0, h - kPanelHeight));
    ui::SetBounds(DrawGrid, 0, 0, w, std::max(0, h - kPanelHeight));
}

void TCalend::FormClose(CloseAction& action) {
    action = CloseAction::Free;
    Screen().Removed(this);
}

void TCalend::ClearGraph() {
    graph_ = QImage(kGraphWidth, kGraphHeight, QImage::Format_RGB32);
    graph_.fill(palette().color(QPalette::Base));
    PaintBox->Invalidate();
}

void TCalend::Button1Click() {
    ClearGraph();
    CreateCalendar();
}

void TCalend::Button2Click() {
    DrawGrid->show();
    DrawGrid->raise();
    DrawGrid->Invalidate();
}

void TCalend::Button3Click() {
    DrawGrid->hide();
}

void TCalend::CreateCalendar() {
    AstroDat& s = p_.s;
    forecast_ = {};
    ClearGraph();
    DrawGrid->Invalidate();

    // The forecast year: the date of the second data set.
    const MomentParse second = ParseChartMoment(s, s.DatRec2);
    if (!second) {
        ReportOf(s).ShowMessage(MsgKind::Warning, second.Problem);
        return;
    }
    const int year = second.Moment->Year;
    std::string name = Trim(p_.Text("DataForm", "NameEdit"));
    if (name.empty()) name = "no-name";
    const std::string question =
        Lang(s, "Календарь на "_cp + std::to_string(year) + " год для:"_cp,
             "Calendar on " + std::to_string(year) + " year for:") +
        "\r\n" + name + "\r\n" + Trim(s.DatRec1[kRecDate]) + "  " + Trim(s.DatRec1[kRecTime]) +
        "  " + Trim(s.DatRec1[kRecZone]) + "\r\n" + Trim(s.DatRec1[kRecLat]) + "  " +
        Trim(s.DatRec1[kRecLong]) + "\r\n" + Lang(s, "Создать?"_cp, "Create with these data?");
    const MsgResult answer =
        Screen().Dlg().Message(MsgKind::Confirmation, question, MsgButtons::YesNoCancel);
    if (answer == MsgResult::Cancel) {
        Close();
        return;
    }
    if (answer == MsgResult::No) {
        // The forecast date goes in as the second data set of a transit chart.
        if (!p_.Form1) return;
        TForm* data = p_.Form1->OpenToolWindow("DataForm");
        if (!data) return;
        if (auto* combo = data->Find<TComboBox>("ComboBox"); combo && !combo->Items().empty())
            combo->SetText(combo->Items().front());
        if (auto* two = data->Find<TRadioButton>("TwoButton")) two->SetChecked(true);
        return;
    }

    if (!EphemerisYearFits(EphemerisKind::Annual, year)) {
        ReportOf(s).ShowMessage(MsgKind::Warning,
                                Lang(s, "Год вне пределов: "_cp, "Year out of range: ") +
                                    std::to_string(year));
        return;
    }
    const std::string file = EphemerisFileName(EphemerisKind::Annual, year);
    const fs::path path = s.DataPath(file);
    if (!fs::exists(path)) {
        RequestEphemerisBuild(p_, jobs_, EphemerisKind::Annual, kJobCalendar, year);
        return;
    }
    std::vector<EphemerisRecord> records;
    if (IOCheck(s, ReadEphemerisFile(path, records), file)) return;
    const HouseSignificators sig = HouseRulerTable(s.PlanetLon, p_.Svc.SignRuledBy);
    forecast_ = BuildCalendar(year, records, s.PlanetLon, sig, p_.AspTable);
    yearText_ = IntToStrW(year, 4);
    for (int n = 1; n <= CalendarCount(); ++n) DrawCalendarGraph(graph_, forecast_, n);
    PaintBox->Invalidate();
    DrawGrid->Invalidate();
}

void TCalend::FileButtonClick() {
    AstroDat& s = p_.s;
    if (CalendarCount() == 0) {
        Screen().Dlg().Message(MsgKind::Information, GetMsgText(s, 74), MsgButtons::Ok);
        return;
    }
    CalendarHeader h;
    h.Name = Trim(p_.Text("DataForm", "NameEdit"));
    h.Date = Trim(s.DatRec1[kRecDate]);
    h.Time = Trim(s.DatRec1[kRecTime]);
    h.Zone = Trim(s.DatRec1[kRecZone]);
    h.City = Trim(p_.Text("DataForm", "CityEdit"));
    const std::vector<std::string> lines = CalendarFileLines(s, forecast_, h);
    if (IOCheck(s, WriteTextFileAtomic(s.DataPath(kCalendarFile), lines), kCalendarFile)) return;
    Screen().Dlg().Message(MsgKind::Information, GetMsgText(s, 57, kCalendarFile), MsgButtons::Ok);
}

void TCalend::PaintBoxMouseMove(int, int y) {
    const int n = y - kGraphTop;
    if (n >= 1 && n <= CalendarCount())
        SetCaption(SavedCaption + ":    " +
                   CalendarDayLabel(forecast_.Days[static_cast<std::size_t>(n - 1)]) + "." +
                   yearText_);
    else
        SetCaption(SavedCaption);
}

void TCalend::DrawCell(QPainter& g, int col, int row, const QRect& r) {
    if (row == 0 && col == 0) return;
    g.setPen(Qt::black);
    const int baseline = r.top() + QFontMetrics(g.font()).ascent();
    if (row == 0) {
        g.drawText(r.left() + 23, baseline, QString::number(col));
        return;
    }
    if (row > CalendarCount()) return;
    const CalendarDay& d = forecast_.Days[static_cast<std::size_t>(row - 1)];
    if (col == 0) {
        g.drawText(r.left() + 6, baseline, ToQ(CalendarDayLabel(d)));
        return;
    }
    if (col > kCalendarHouses) return;
    const std::vector<std::string> texts =
        CalendarAspectTexts(p_.s, p_.AspTable, d.Aspects[static_cast<std::size_t>(col - 1)]);
    int x = r.left() + 6;
    for (const std::string& t : texts) {
        PaintFont16Text(g, p_.Font, x, r.top(), t, kBlack);
        x += kAspectAdvance;
    }
}

void RegisterCalendar(shell::Program& p, EphemerisJobs& jobs) {
    p.FormClasses.Register("Calend", [&p, &jobs] { return new TCalend(p, jobs); });
    RegisterContinuation(jobs, kJobCalendar, "Calend",
                         [](TForm& f) { static_cast<TCalend&>(f).CreateCalendar(); });
}

} // namespace qor::forecast
