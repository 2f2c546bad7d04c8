#include "sky/StarWindows.h"

#include "core/Formats.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"
#include "sky/BusyPointer.h"
#include "sky/DeepSky.h"
#include "sky/SkyData.h"
#include "sky/SkyScreen.h"
#include "sky/StarTable.h"
#include "sky/StripScreen.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

namespace qor {

using namespace ui;

namespace {

FontSpec TableFont(int points) {
    FontSpec f;
    f.name = "Courier New";
    f.size = points;
    return f;
}

// The width of a longitude of date in the grid's font.
int LongitudeWidth(const TDrawGrid& grid) {
    return QFontMetrics(grid.font()).horizontalAdvance(ToQ(Cp("22°55'30\"Ari "))) + 6;
}

// A column at least 100 pixels wide and wide enough for its title's lines and for a sample of
// its widest cells.
int ColumnWidth(const TDrawGrid& grid, const std::string& title, const std::string& sample) {
    const QFontMetrics m(grid.font());
    int w = std::max(100, m.horizontalAdvance(ToQ(sample)) + 8);
    const std::size_t bar = title.find('|');
    w = std::max(w, m.horizontalAdvance(ToQ(title.substr(0, bar))) + 8);
    if (bar != std::string::npos)
        w = std::max(w, m.horizontalAdvance(ToQ(title.substr(bar + 1))) + 8);
    return w;
}

// Catalogue tables: every column wide enough for its title and its samples.
void FitColumns(TDrawGrid& grid, const std::vector<std::string>& titles,
                const std::vector<std::string>& samples) {
    for (int c = 0; c < grid.ColCount() && c < static_cast<int>(titles.size()); ++c)
        grid.SetColWidth(c, ColumnWidth(grid, titles[c],
                                        c < static_cast<int>(samples.size()) ? samples[c] : ""));
}

// The places of date follow the chart's moment, whatever the precession setting: the tables
// present them as the chart's.
void BringStarsToChart(shell::Program& p, SkyData& sky) {
    if (sky.Stars.StarsCalcT != p.s.ChartT && p.Svc.ComputeStarPositions)
        p.Svc.ComputeStarPositions();
}

// The celestial sphere in horizontal coordinates keeps the catalogues' horizon itself.
bool SphereKeepsHorizon(shell::Program& p) {
    const shell::ScreenHandler* screen = p.Svc.ScreenOf(p.Flags.ScreenMode);
    return screen && screen->Horizontal && screen->Horizontal();
}

} // namespace

std::vector<uint16_t> StarBSList(const StarCatalogue& c) {
    std::vector<uint16_t> bs(static_cast<std::size_t>(c.StarCount) + 1, 0);
    for (int i = 1; i <= c.StarCount && i < static_cast<int>(c.YaleStars.size()); ++i)
        bs[i] = c.YaleStars[i].BS;
    return bs;
}

void RenumberHeldStars(SkyData& sky, const std::vector<uint16_t>& before) {
    const StarCatalogue& c = sky.Stars;
    std::vector<int> indexOfBS(65536, 0);
    for (int i = c.StarCount; i >= 1; --i)
        if (i < static_cast<int>(c.YaleStars.size())) indexOfBS[c.YaleStars[i].BS] = i;
    auto now = [&](int old) {
        return old >= 1 && old < static_cast<int>(before.size()) ? indexOfBS[before[old]] : 0;
    };
    auto table = [&](ScreenStarTable& t) {
        for (int k = 0; k < t.Count && k < static_cast<int>(t.StarIndex.size()); ++k)
            t.StarIndex[k] = now(t.StarIndex[k]);
    };
    if (sky.Sphere) {
        SkyView& v = sky.Sphere->view;
        if (v.StarFound) v.Picked = now(v.Picked);
        table(v.ScreenStars);
    }
    if (sky.Strip) {
        StripView& v = sky.Strip->view;
        if (v.Found == StripPick::Star) v.Picked = now(v.Picked);
        table(v.ScreenStars);
    }
}

void SortSkyStars(shell::Program& p, SkyData& sky) {
    const std::vector<uint16_t> before = StarBSList(sky.Stars);
    SortStarsAll(p.s, sky.Stars, sky.StarSortColumn);
    RenumberHeldStars(sky, before);
}

void DrawCatalogueCell(QPainter& g, const QRect& rc, int lineHeight, const std::string& text,
                       bool header) {
    if (header) {
        const std::size_t bar = text.find('|');
        const QRect first(rc.left(), rc.top(), rc.width(), lineHeight);
        g.drawText(first, Qt::AlignHCenter | Qt::AlignVCenter, ToQ(text.substr(0, bar)));
        if (bar != std::string::npos)
            g.drawText(first.translated(0, lineHeight), Qt::AlignHCenter | Qt::AlignVCenter,
                       ToQ(text.substr(bar + 1)));
        return;
    }
    // cut to the column: the last characters go while the text is wider
    const QFontMetrics m(g.font());
    QString q = ToQ(TrimRight(text));
    while (!q.isEmpty() && m.horizontalAdvance(q) > rc.width() - 3) q.chop(1);
    g.drawText(rc.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, q);
}

// --- The star table ----------------------------------------------------------------------------

TStar::TStar(shell::Program& p, SkyData& sky) : TForm("Star"), p_(p), sky_(sky) {
    baseCaption_ = Lang(p.s, "Каталог звёзд"_cp, "Star Catalog");
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("catalogue_of_stars.html");
    SetStoresSettings(true);
    SetBounds(60, 60, 1000, 560);
    DrawGrid = Add<TDrawGrid>("DrawGrid", {0, 0, 1000, 560});
    SetFontSpec(DrawGrid, TableFont(10));
    DrawGrid->SetColCount(kStarColumns);
    DrawGrid->SetFixed(1, 1);
    for (int c = 0; c < kStarColumns; ++c) DrawGrid->SetColWidth(c, 100);
    DrawGrid->SetColSizing(true);
    PopupMenu = Add<TPopupMenu>("PopupMenu");
    N1 = AddMenuItem("N1", "Данные J2000"_cp, PopupMenu);
    N2 = AddMenuItem("N2", "Текущие данные"_cp, PopupMenu);
    N3 = AddMenuItem("N3", "Найти"_cp, PopupMenu);
    N4 = AddMenuItem("N4", "Создать Stars.txt"_cp, PopupMenu);
    Sort1 = AddMenuItem("Sort1", "Sort", PopupMenu);
    Nshort = AddMenuItem("Nshort", "Короткий каталог"_cp, PopupMenu);
    N5 = AddMenuItem("N5", "Комментарий..."_cp, PopupMenu);
    for (TMenuItem* m : {N1, N2, Nshort}) m->setCheckable(true);
    N1->SetChecked(true);
    Nshort->setVisible(false);
    PopupMenu->setDefaultAction(N3);
    N1->OnClick = [this] { N1Click(); };
    N2->OnClick = [this] { N2Click(); };
    N3->OnClick = [this] { N3Click(); };
    N4->OnClick = [this] { N4Click(); };
    N5->OnClick = [this] { N5Click(); };
    Sort1->OnClick = [this] { Sort1Click(); };
    Nshort->OnClick = [this] { NshortClick(); };

    DrawGrid->OnDrawCell = [this](QPainter& g, int col, int row, const QRect& rc, int) {
        const bool header = row == 0;
        const std::string text = header ? StarColumnTitle(p_.s, col, J2000)
                                        : StarCellText(p_.s, sky_.Stars, row, col, J2000);
        DrawCatalogueCell(g, rc, DrawGrid->DefaultRowHeight(), text, header);
    };
    DrawGrid->OnMouseUp = [this](MouseButton b, Shift, int x, int y) { DrawGridMouseUp(b, x, y); };
    DrawGrid->OnDblClick = [this] {
        if (StarSelRow > 0) N3Click();
    };
    OnKeyDown = [this](int& key, Shift) {
        if (key == vk::F12) {
            PopupMenuPopup();
            const QPoint at = mapToGlobal(QPoint(width() / 2, height() / 2));
            PopupMenu->Popup(at.x(), at.y());
            key = 0;
        } else if (key == vk::Return) {
            N3Click();
            key = 0;
        }
    };
    OnResize = [this] { DrawGrid->setGeometry(0, 0, width(), height()); };
    OnShow = [this] { FormShow(); };
    OnClose = [this](CloseAction& a) {
        ShowColumnsOfDate(true);
        a = CloseAction::Free;
    };
    UpdateCaption();
}

void TStar::UpdateCaption() {
    SetCaption(baseCaption_ + " - [" + (J2000 ? N1 : N2)->Caption() + "]");
}

void TStar::ShowColumnsOfDate(bool shown) {
    const int w = shown ? LongitudeWidth(*DrawGrid) : 1;
    for (int c : {8, 9, 12, 13}) DrawGrid->SetColWidth(c, w);
}

void TStar::BringToChart() {
    BringStarsToChart(p_, sky_);
    if (!SphereKeepsHorizon(p_)) ComputeStarHorizon(p_.s, sky_.Stars);
}

void TStar::FormShow() {
    BringToChart();
    const int line = QFontMetrics(DrawGrid->font()).height() + 3;
    DrawGrid->SetDefaultRowHeight(line);
    DrawGrid->SetRowCount(sky_.Stars.StarCount + 1);
    DrawGrid->setRowHeight(0, 2 * line);
    std::vector<std::string> titles;
    for (int c = 0; c < kStarColumns; ++c) titles.push_back(StarColumnTitle(p_.s, c));
    FitColumns(*DrawGrid, titles,
               {std::string(22, 'X'), "99999", "9999999", "999 alf9 Cas", "", " K0IIIbCN",
                "9999.999", "-9.99", "", "-89\26059'59\"", "23h 59m 59,99s", "-89\26059'59\"", "",
                "", "-9.999", "-9.999"});
    ShowColumnsOfDate(!J2000);
    UpdateCaption();
}

int TStar::CurrentStar() const {
    const int r = DrawGrid->Row();
    return r >= 1 && r <= sky_.Stars.StarCount ? r : 0;
}

void TStar::DrawGridMouseUp(MouseButton b, int x, int y) {
    const auto [row, col] = DrawGrid->CellAt(x, y);
    if (row < 0 || col < 0) return;
    sky_.StarSortColumn = col;
    StarSelRow = row;
    if (b != MouseButton::Right) return;
    if (row >= 1 && col >= 1) {
        DrawGrid->SetRow(row);
        DrawGrid->SetCol(col);
    }
    PopupMenuPopup();
    const QPoint at = DrawGrid->viewport()->mapToGlobal(QPoint(x, y));
    PopupMenu->Popup(at.x(), at.y());
}

void TStar::PopupMenuPopup() {
    AstroDat& s = p_.s;
    const int n = CurrentStar();
    std::string what;
    if (n > 0) {
        what = StarName(sky_.Stars, n);
        if (what.empty()) what = "BS" + std::to_string(sky_.Stars.YaleStars[n].BS);
    }
    N3->SetCaption(Lang(s, "Найти "_cp, "Find ") + what);
    const std::string title = StarColumnTitle(s, sky_.StarSortColumn);
    const std::size_t bar = title.find('|');
    std::string column = title.substr(0, bar);
    if (bar != std::string::npos) column += "...";
    Sort1->SetCaption(Lang(s, "Сортировать по "_cp, "Sort by ") + "\"" + column + "\"");
    Nshort->SetChecked(sky_.Stars.ShortStarCatalogue);
}

void TStar::N1Click() {
    N1->SetChecked(true);
    N2->SetChecked(false);
    if (J2000) return;
    J2000 = true;
    UpdateCaption();
    ShowColumnsOfDate(false);
    DrawGrid->Invalidate();
}

void TStar::N2Click() {
    N1->SetChecked(false);
    N2->SetChecked(true);
    if (!J2000) return;
    J2000 = false;
    BringToChart();
    UpdateCaption();
    ShowColumnsOfDate(true);
    DrawGrid->Invalidate();
}

void TStar::N3Click() {
    const int n = CurrentStar();
    if (n == 0) return;
    const int bs = sky_.Stars.YaleStars[n].BS;
    const std::string name = StarName(sky_.Stars, n);
    SetWindowState(WindowState::Minimized);
    QCoreApplication::processEvents();
    if (p_.Flags.ScreenMode == 'W' && p_.Form1) p_.Form1->SwitchScreen('A');
    if (p_.Flags.ScreenMode != 'A') {
        if (p_.Tech) {
            p_.Tech->FindName = "*" + IntToStrW(bs, 4);
            p_.Tech->FindTimer->SetInterval(500);
            p_.Tech->FindTimer->SetEnabled(true);
        }
    } else if (name.empty()) {
        Screen().Dlg().Message(MsgKind::Information, GetMsgText(p_.s, 108), MsgButtons::Ok);
    } else if (sky_.Strip) {
        sky_.Strip->FindOnStarAstr(name);
    }
    Close();
}

bool TStar::N4Click() {
    BringToChart();
    StarsTxtMoment m;
    if (p_.Tech)
        m = {p_.Tech->DateText, p_.Tech->TimeText, p_.Tech->ZoneText, p_.Tech->LatText,
             p_.Tech->LongText};
    {
        BusyPointer busy;
        if (!WriteStarsTxt(p_.s, sky_.Stars, J2000, m)) return false;
    }
    if (p_.Hooks.InterpShowFile) p_.Hooks.InterpShowFile(kStarsTxtFile);
    return true;
}

void TStar::N5Click() {
    const StarCatalogue& c = sky_.Stars;
    if (StarSelRow < 1 || StarSelRow > c.StarCount) return;
    const std::string text = p_.s.EnglishMode
                                 ? StarTextEntry(c.StarNames, c.YaleStars[StarSelRow].NameOffset)
                                 : StarCellText(p_.s, c, StarSelRow, 4, J2000);
    if (text.empty()) return;
    auto* form = dynamic_cast<TTextForm*>(Screen().Ensure("TextForm"));
    if (!form) return;
    if (form->State() == WindowState::Minimized) form->SetWindowState(WindowState::Normal);
    form->Memo->SetText(text);
    form->show();
    form->raise();
}

void TStar::Sort1Click() {
    {
        BusyPointer busy;
        SortSkyStars(p_, sky_);
    }
    DrawGrid->Invalidate();
}

void TStar::NshortClick() {
    StarCatalogue& c = sky_.Stars;
    const std::vector<uint16_t> before = StarBSList(c);
    c.ShortStarCatalogue = !c.ShortStarCatalogue;
    LoadShortCatalogue(p_.s, c);
    if (p_.Svc.ComputeStarPositions) p_.Svc.ComputeStarPositions();
    ComputeStarHorizon(p_.s, c);
    RenumberHeldStars(sky_, before);
    DrawGrid->SetRowCount(c.StarCount + 1);
    DrawGrid->Invalidate();
}

TTextForm::TTextForm(shell::Program& p) : TForm("TextForm") {
    SetCaption(shell::ProductTitle(p.s));
    SetToolWindow(true);
    const int w = 560, h = 200;
    SetBounds(std::max(0, (Screen().Width() - w) / 2), std::max(0, (Screen().Height() - h) / 2), w,
              h);
    Memo = Add<TMemo>("Memo", {0, 0, w, h});
    SetFontSpec(Memo, TableFont(13));
    Memo->setReadOnly(true);
    OnResize = [this] { Memo->setGeometry(0, 0, width(), height()); };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

// --- The deep-sky table ------------------------------------------------------------------------

TDeep::TDeep(shell::Program& p, SkyData& sky) : TForm("Deep"), p_(p), sky_(sky) {
    SetCaption("Каталог туманностей"_cp);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetStoresSettings(true);
    SetBounds(80, 80, 1000, 520);
    DrawGrid = Add<TDrawGrid>("DrawGrid", {0, 0, 1000, 520});
    SetFontSpec(DrawGrid, TableFont(10));
    DrawGrid->SetColCount(15);
    DrawGrid->SetFixed(0, 1);
    for (int c = 0; c < 15; ++c) DrawGrid->SetColWidth(c, 100);
    DrawGrid->SetColSizing(true);
    DrawGrid->OnDrawCell = [this](QPainter& g, int col, int row, const QRect& rc, int) {
        const bool header = row == 0;
        const std::string text =
            header ? DeepColumnTitle(p_.s, col) : DeepObjText(p_.s, sky_.Deep, row, col);
        DrawCatalogueCell(g, rc, DrawGrid->DefaultRowHeight(), text, header);
    };
    OnResize = [this] { DrawGrid->setGeometry(0, 0, width(), height()); };
    OnShow = [this] { FormShow(); };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

void TDeep::BringToChart() {
    BringStarsToChart(p_, sky_);
    if (!SphereKeepsHorizon(p_)) ComputeDeepHorizon(p_.s, sky_.Deep);
}

void TDeep::FormShow() {
    BringToChart();
    const int line = QFontMetrics(DrawGrid->font()).height() + 3;
    DrawGrid->SetDefaultRowHeight(line);
    DrawGrid->SetRowCount(sky_.Deep.DeepCount + 1);
    DrawGrid->setRowHeight(0, 2 * line);
    std::vector<std::string> titles;
    for (int c = 0; c < 15; ++c) titles.push_back(DeepColumnTitle(p_.s, c));
    FitColumns(*DrawGrid, titles,
               {"XXXXXXXXXXXXXXX", "XXXXXXXXXXXX", "29\26059'59\"Sgr", "-89\26059'59\"",
                "23h59m59s", "-89\26059'", "359\26059'59\"", "-89\26059'59\"", "23h59m59s",
                "-89\26059'", "9999999", "9999999", "99.9", "  XXX", std::string(30, 'X')});
}

void RegisterStarWindows(shell::Program& p, SkyData& sky) {
    p.FormClasses.Register("Star", [&p, &sky] { return new TStar(p, sky); });
    p.FormClasses.Register("Deep", [&p, &sky] { return new TDeep(p, sky); });
    p.FormClasses.Register("TextForm", [&p] { return new TTextForm(p); });
    p.Svc.RefreshWindow["Star"] = [](TForm& f) {
        if (auto* w = dynamic_cast<TStar*>(&f)) w->BringToChart();
    };
    p.Svc.RefreshWindow["Deep"] = [](TForm& f) {
        if (auto* w = dynamic_cast<TDeep*>(&f)) w->BringToChart();
    };
    p.Svc.AddStartStep(shell::StartStage::FirstChart, "SortStarsAll",
                       [&p, &sky] { SortSkyStars(p, sky); });
}

} // namespace qor
