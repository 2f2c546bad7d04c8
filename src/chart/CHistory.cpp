#include "chart/CHistory.h"

#include "chart/ChartWindows.h"
#include "chart/DataForm.h"
#include "chart/HistoryFile.h"
#include "chart/KartForm.h"
#include "core/ChartMoment.h"
#include "core/ChartRecords.h"
#include "core/Text.h"
#include "ui/QtText.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qor::chart {

using namespace ui;

namespace {

constexpr int kColWidths[8] = {8, 132, 129, 70, 69, 34, 68, 72};

TCHist* HistoryWindow() {
    return dynamic_cast<TCHist*>(Screen().FindForm("CHist"));
}

void RefreshHistoryWindow() {
    if (TCHist* w = HistoryWindow()) w->FillHistoryGrid();
}

// A file that could not be read or written: the user is told, nothing else changes.
void TellFileProblem(shell::Program& p, const IoResult& r, bool saving) {
    const std::string what =
        saving
            ? Lang(p.s, "История расчётов не сохранена: "_cp, "The chart history was not saved: ")
            : Lang(p.s, "История расчётов не прочитана: "_cp, "The chart history was not read: ");
    TellUser(p, MsgKind::Warning,
             what + kHistoryFileName + ": " + (r.error ? std::strerror(r.error) : r.message), true);
}

// The words that start every refusal of an entry.
std::string EntryRefused(shell::Program& p, int row) {
    return Lang(p.s, "Запись истории "_cp, "History entry ") + std::to_string(row) +
           Lang(p.s, " не выполнена: "_cp, " was not run: ");
}

// The entry of the chart just applied.
HistoryEntry AppliedEntry(shell::Program& p) {
    HistoryEntry e;
    if (p.Flags.DoubleChart) {
        int method = 0;
        if (TDataForm* d = DataFormOf())
            method = d->MethodIndex >= 0 ? d->MethodIndex : std::max(d->ComboBox->ItemIndex(), 0);
        e.Kind = {HistoryKind::Double, method};
        e.HasBack = true;
    } else {
        e.Kind = {p.Flags.HoraryChart ? HistoryKind::Horary : HistoryKind::Natal, -1};
    }
    e.Main = p.s.DatRec1Applied;
    e.Back = p.s.DatRec2Applied;
    return e;
}

// The maximum of the settings; a text that is no positive number is put right there.
int HistoryListMax(shell::Program& p) {
    const HistoryMax m = HistoryMaximum(p.Text("KartForm", "HistListMax"));
    if (m.Corrected)
        if (TKartForm* k = KartFormOf()) k->HistListMax->SetText(std::to_string(m.Value));
    return m.Value;
}

// The kind controls and both data sets of the birth-data window, to put back when a run is
// refused after all.
struct DataFormSnapshot {
    bool one, horary, two;
    int method;
    DatRec rec1, rec2;
};

} // namespace

bool AddChartHistory(shell::Program& p) {
    const HistoryEntry e = AppliedEntry(p);
    if (HistoryField(e.Main[kRecName]).empty()) return false;
    const int max = HistoryListMax(p);
    std::vector<std::string> lines;
    if (const IoResult r = ReadHistory(p.s, lines); !r.ok()) {
        // Never write over a history that could not be read.
        TellFileProblem(p, r, false);
        return false;
    }
    AppendHistoryLine(lines, FormatHistoryLine(p.s, e), max);
    if (const IoResult r = WriteHistory(p.s, lines); !r.ok()) {
        TellFileProblem(p, r, true);
        return false;
    }
    RefreshHistoryWindow();
    return true;
}

bool RunChartHistory(shell::Program& p, int row, bool keepBackground) {
    TDataForm* d = DataFormOf();
    if (!d) return false;
    std::vector<std::string> lines;
    if (const IoResult r = ReadHistory(p.s, lines); !r.ok()) {
        TellFileProblem(p, r, false);
        return false;
    }
    const auto at = HistoryIndexOfRow(lines.size(), row);
    if (!at || lines[*at].empty()) return false;
    const HistoryFields f = SplitHistoryLine(lines[*at]);

    // Everything is checked before anything changes.
    const auto kind = ReadHistoryKind(f[0], EnglishMethodItems(p.s));
    if (!kind) {
        TellUser(p, MsgKind::Warning,
                 EntryRefused(p, row) +
                     Lang(p.s, "неизвестный тип карты "_cp, "an unknown chart type ") + "\"" +
                     f[0] + "\"",
                 true);
        return false;
    }
    if (kind->Kind == HistoryKind::Double && kind->Method == 1) keepBackground = false;
    const DatRec main = HistoryFieldsToRec(f, 1);
    const bool loadBack = !keepBackground && HasBackFields(f);
    const DatRec back = HistoryFieldsToRec(f, 11);
    if (const MomentParse m = ParseChartMoment(p.s, main); !m) {
        TellUser(p, MsgKind::Warning, EntryRefused(p, row) + m.Problem, true);
        return false;
    }
    if (loadBack)
        if (const MomentParse m = ParseChartMoment(p.s, back); !m) {
            TellUser(p, MsgKind::Warning,
                     EntryRefused(p, row) + Lang(p.s, "фоновые данные: "_cp, "background data: ") +
                         m.Problem,
                     true);
            return false;
        }

    // The main data set on show; real time stops.
    if (d->ShowsBackSet()) d->TempBtnClick();
    p.Flags.RealTimeMode = false;
    DataFormSnapshot was{d->OneButton->Checked(),
                         d->HorarButton->Checked(),
                         d->TwoButton->Checked(),
                         d->ComboBox->ItemIndex(),
                         {},
                         p.s.DatRec2};
    d->DataFormToDatRec();
    was.rec1 = p.s.DatRec1;

    switch (kind->Kind) {
    case HistoryKind::Natal:
        d->OneButton->SetChecked(true);
        break;
    case HistoryKind::Horary:
        d->HorarButton->SetChecked(true);
        break;
    case HistoryKind::Double:
        d->TwoButton->SetChecked(true);
        d->ComboBox->SetItemIndex(kind->Method);
        break;
    }
    p.s.DatRec1 = main;
    if (loadBack) p.s.DatRec2 = back;
    d->DatRecToDataForm();
    d->DataFormToMoment();
    const bool stars = p.Flags.StarsRecalc;
    if (p.ItemIndex("GenSet", "PrecessGroup") == 1) p.Flags.StarsRecalc = true;
    d->ReadChartKind();
    const bool applied = d->ApplyData();
    p.Flags.StarsRecalc = stars;
    if (!applied) {
        // The window said which field; the window and the data sets go back as they were.
        d->OneButton->SetChecked(was.one);
        d->HorarButton->SetChecked(was.horary);
        d->TwoButton->SetChecked(was.two);
        d->ComboBox->SetItemIndex(was.method);
        p.s.DatRec1 = was.rec1;
        p.s.DatRec2 = was.rec2;
        d->DatRecToDataForm();
        d->ReadChartKind();
        return false;
    }

    // The entry becomes the newest, rebuilt from the data applied; one save, so a failure
    // leaves the list as it was.
    const HistoryEntry e = AppliedEntry(p);
    if (!HistoryField(e.Main[kRecName]).empty()) {
        int r = row;
        DeleteHistoryRow(lines, r);
        AppendHistoryLine(lines, FormatHistoryLine(p.s, e), HistoryListMax(p));
        if (const IoResult w = WriteHistory(p.s, lines); !w.ok()) TellFileProblem(p, w, true);
    }
    RefreshHistoryWindow();
    return true;
}

// --- The window ---------------------------------------------------------------------------------

TCHist::TCHist(shell::Program& p) : TForm("CHist"), p_(p) {
    SetHelpTopic("chart_history.html");
    SetCaption("История расчётов"_cp);
    SetToolWindow(true);
    SetStoresSettings(true);
    SetKeyPreview(true);
    StringGrid = Add<TDrawGrid>("StringGrid", {0, 0, 600, 300});
    StringGrid->SetColCount(8);
    StringGrid->SetFixed(1, 1);
    StringGrid->SetRowSelect(true);
    StringGrid->SetColSizing(true);
    for (int c = 0; c < 8; ++c) StringGrid->SetColWidth(c, kColWidths[c]);

    PopupMenu = Add<TPopupMenu>("PopupMenu");
    NCalc = AddMenuItem("NCalc", "Выполнить"_cp, PopupMenu);
    PopupMenu->setDefaultAction(NCalc);
    NDel = AddMenuItem("NDel", "Удалить"_cp, PopupMenu);

    NCalc->OnClick = [this] { NCalcClick(); };
    NDel->OnClick = [this] { DeleteSelectedHistory(); };
    StringGrid->OnMouseDown = [this](MouseButton b, Shift sh, int x, int y) {
        StringGridMouseDown(b, sh, x, y);
    };
    StringGrid->OnDblClick = [this] { StringGridDblClick(); };
    // The command link's keys reach the grid; the window's own come first (key preview).
    StringGrid->OnKeyDown = [this](int& key, Shift sh) { FormKeyDown(key, sh); };
    OnKeyDown = [this](int& key, Shift sh) { FormKeyDown(key, sh); };
    OnShow = [this] { FormShow(); };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
    OnResize = [this] {
        ui::SetBounds(StringGrid, 0, 0, std::max(Client()->width(), 40),
                      std::max(Client()->height(), 40));
    };

    FillHistoryGrid();
    HistRow = 1;
    // Wide enough for every column until the saved state places the window.
    int width = 0;
    for (int c = 0; c < 8; ++c) width += StringGrid->ColWidth(c) + 1;
    SetBounds(160, 120, width + 24, 300);
}

void TCHist::FillHistoryGrid() {
    std::vector<std::string> lines;
    if (const IoResult r = ReadHistory(p_.s, lines); !r.ok()) TellFileProblem(p_, r, false);
    const std::vector<std::string> english = EnglishMethodItems(p_.s);
    const int count = static_cast<int>(lines.size());
    StringGrid->SetRowCount(count + 1);
    static const std::pair<const char*, const char*> kTitles[7] = {{"Тип карты", "Chart Type"},
                                                                   {"Имя", "Name"},
                                                                   {"Дата", "Date"},
                                                                   {"Время", "Time"},
                                                                   {"Имя(Фон)", "Name(Back)"},
                                                                   {"Дата(Фон)", "Date(Back)"},
                                                                   {"Время(Фон)", "Time(Back)"}};
    // Every title, date and time whole: a column never narrower than they are.
    static const char* const kWidest[7] = {
        "", "", "00.00.0000B", "00:00:00", "", "00.00.0000B", "00:00:00"};
    const QFontMetrics fm(StringGrid->font());
    for (int c = 1; c <= 7; ++c) {
        const std::string title = Lang(p_.s, Cp(kTitles[c - 1].first), kTitles[c - 1].second);
        StringGrid->SetCell(c, 0, title);
        const int need = std::max(fm.horizontalAdvance(ToQ(title)),
                                  fm.horizontalAdvance(QString::fromLatin1(kWidest[c - 1]))) +
                         10;
        if (StringGrid->ColWidth(c) < need) StringGrid->SetColWidth(c, need);
    }
    for (int r = 0; r < count; ++r) {
        std::array<std::string, 7> cells =
            HistoryGridCells(lines[static_cast<std::size_t>(count - 1 - r)]);
        cells[0] = HistoryKindCaption(p_.s, cells[0], english);
        for (int c = 1; c <= 7; ++c)
            StringGrid->SetCell(c, r + 1, cells[static_cast<std::size_t>(c - 1)]);
    }
    StringGrid->Invalidate();
}

void TCHist::DeleteSelectedHistory() {
    std::vector<std::string> lines;
    if (const IoResult r = ReadHistory(p_.s, lines); !r.ok()) {
        TellFileProblem(p_, r, false);
        return;
    }
    const auto [top, bottom] = StringGrid->Selection();
    bool changed = false;
    for (int k = top; k <= bottom; ++k) {
        int row = top; // each deletion moves the next selected entry into this row
        changed |= DeleteHistoryRow(lines, row);
    }
    if (changed)
        if (const IoResult w = WriteHistory(p_.s, lines); !w.ok()) TellFileProblem(p_, w, true);
    FillHistoryGrid();
}

void TCHist::NCalcClick() {
    if (HistRow > 0) RunChartHistory(p_, HistRow, false);
}

void TCHist::FormShow() {
    const double points = font().pointSizeF() > 0 ? font().pointSizeF() : 8.0;
    const int dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    StringGrid->SetDefaultRowHeight(static_cast<int>(std::lround(points * dpi / 72.0)) + 6);
}

void TCHist::FormKeyDown(int& key, Shift) {
    if (key == vk::Escape) {
        key = 0;
        Close();
    } else if (key == vk::Return) {
        key = 0;
        HistRow = StringGrid->Row();
        NCalcClick();
    }
}

void TCHist::StringGridMouseDown(MouseButton b, Shift, int x, int y) {
    const auto [row, col] = StringGrid->CellAt(x, y);
    HistRow = row;
    if (b != MouseButton::Right || row < 1) return;
    const auto [top, bottom] = StringGrid->Selection();
    if (top == bottom) StringGrid->SetRow(row);
    const QPoint at = StringGrid->viewport()->mapToGlobal(QPoint(x, y));
    PopupMenu->Popup(at.x(), at.y());
}

void TCHist::StringGridDblClick() {
    if (HistRow <= 0) return;
    RunChartHistory(p_, HistRow, false);
    HistRow = 1;
    if (StringGrid->RowCount() > 1) StringGrid->SetSelection(1, 1);
}

// --- Registration -------------------------------------------------------------------------------

void RegisterHistory(shell::Program& p) {
    p.FormClasses.Register("CHist", [&p] { return new TCHist(p); });
    // Later reads find the file.
    p.Svc.AddStartStep(shell::StartStage::Captions, "EnsureHistoryFile",
                       [&p] { EnsureHistoryFile(p.s); });
    p.Svc.RunChartHistory = [&p](int row, bool keepBackground) {
        return RunChartHistory(p, row, keepBackground);
    };
}

} // namespace qor::chart
