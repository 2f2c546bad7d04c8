#include "chart/AspTablForm.h"

#include "chart/ChartWindows.h"
#include "chart/Kart.h"
#include "chart/KartForm.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/PointNames.h"
#include "core/Text.h"
#include "shell/Tech.h"
#include "ui/SymbolPainter.h"

#include <QGuiApplication>
#include <QHeaderView>

#include <algorithm>

namespace qor::chart {

using namespace ui;

namespace {

const char* const kExportFile = "Wrk\\TablAsp.txt";

KartOptions KartOptionsNow() {
    const TKartForm* kart = KartFormOf();
    return kart ? kart->Options() : KartOptions{};
}

// The glyph mode of the program switched for a scope and given back on every way out.
class GlyphMode {
public:
    GlyphMode(AstroDat& s, bool on) : s_(s), was_(s.GlyphNames) { s.GlyphNames = on; }
    ~GlyphMode() { s_.GlyphNames = was_; }
    GlyphMode(const GlyphMode&) = delete;
    GlyphMode& operator=(const GlyphMode&) = delete;

private:
    AstroDat& s_;
    bool was_;
};

} // namespace

TAspTabl::TAspTabl(shell::Program& p) : TForm("AspTabl"), p_(p) {
    SetCaption("Таблица аспектов"_cp);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("table_of_aspects.html");
    SetStoresSettings(true);
    SetBounds(120, 100, 720, 520);

    DrawGrid = Add<TDrawGrid>("DrawGrid", {0, 0, 720, 520});
    DrawGrid->SetFixed(1, 1);
    DrawGrid->SetDefaultRowHeight(18);
    DrawGrid->SetColSizing(true);
    Edit1 = AddEdit("Edit1", "80", {0, 0, 10, 10}, Client());
    Edit1->hide();
    Edit2 = AddEdit("Edit2", "50", {0, 0, 10, 10}, Client());
    Edit2->hide();

    PopupMenu = Add<TPopupMenu>("PopupMenu");
    Naccur = AddMenuItem("Naccur", "Точный формат"_cp, PopupMenu);
    Naccur->setCheckable(true);
    Naccur->SetChecked(p_.Flags.AspTablAccur == 'Y');
    Aspectscsv = AddMenuItem("Aspectscsv", "Создать TablAsp.txt"_cp, PopupMenu);
    Naccur->OnClick = [this] { NaccurClick(); };
    Aspectscsv->OnClick = [this] { AspectscsvClick(); };

    DrawGrid->OnDrawCell = [this](QPainter& g, int col, int row, const QRect& r, int) {
        DrawGridDrawCell(g, col, row, r);
    };
    DrawGrid->OnMouseUp = [this](MouseButton b, ui::Shift, int x, int y) {
        if (b != MouseButton::Right) return;
        const QPoint at = DrawGrid->viewport()->mapToGlobal(QPoint(x, y));
        PopupMenu->Popup(at.x(), at.y());
    };
    // Widening one data column widens them all.
    QObject::connect(DrawGrid->horizontalHeader(), &QHeaderView::sectionResized,
                     [this](int col, int, int width) { ColumnResized(col, width); });

    OnShow = [this] { FormShow(); };
    OnResize = [this] { ui::SetBounds(DrawGrid, 0, 0, Client()->width(), Client()->height()); };
    OnKeyDown = [this](int& key, ui::Shift sh) { FormKeyDown(key, sh); };
    OnClose = [this](CloseAction&) { FormClose(); };
}

std::string TAspTabl::Flags() const {
    const KartOptions o = KartOptionsNow();
    const ListedPoints listed = ListChartPoints(p_.s, p_.Flags.HelioMode, o.HorizontalBox,
                                                p_.Flags.HoraryChart, o.SeptenerBox);
    return AspectTableFlags(o.TablAsp.empty() ? DefaultPointFlags(true) : o.TablAsp,
                            listed.PointRow);
}

AspectTableInputs TAspTabl::Inputs() const {
    const AstroDat& s = p_.s;
    AspectTableInputs in;
    in.Lon = &s.PlanetLon;
    in.LonBck = &s.PlanetLonBck;
    in.Speed = &s.PlanetSpeed;
    in.SpeedBck = &s.PlanetSpeedBck;
    in.Table = &p_.AspTable;
    in.Matrix = &p_.Aspects;
    in.DoubleChart = p_.Flags.DoubleChart;
    in.AspectingMode = p_.AspectOpt.AspectingMode;
    in.DynMethod = s.DynMethod;
    in.OrbBox = KartOptionsNow().OrbBox;
    in.Exact = Naccur->Checked();
    in.HelioMode = p_.Flags.HelioMode;
    return in;
}

void TAspTabl::AspTableRebuild() {
    p_.ReadOptions();
    const KartOptions o = KartOptionsNow();
    points_ = AspectTablePoints(Flags(), o.DomTablAsp.empty() ? DefaultHouseFlags() : o.DomTablAsp,
                                p_.Flags.HelioMode);
    const int n = static_cast<int>(points_.size()) + 1;
    DrawGrid->SetRowCount(n);
    DrawGrid->SetColCount(n);
    AspTableSizeColumns();
    if (docked_ && dockPoint_ > 0) DockOn();
    DrawGrid->Invalidate();
}

bool TAspTabl::Retrograde(int point, bool outer) const {
    if (point < 1 || point > 26) return false;
    const PointArray& speed = outer ? p_.s.PlanetSpeedBck : p_.s.PlanetSpeed;
    return speed[point] < 0;
}

std::string TAspTabl::CellText(int col, int row) {
    AstroDat& s = p_.s;
    if (col < 0 || row < 0 || col > static_cast<int>(points_.size()) ||
        row > static_cast<int>(points_.size()) || (col == 0 && row == 0))
        return {};
    const AspectTableInputs in = Inputs();
    const bool outerRows = in.DoubleChart && in.AspectingMode == 'O';
    const bool outerCols = in.DoubleChart && in.AspectingMode != 'I';
    GlyphMode words(s, false);
    if (row == 0) {
        const int p = points_[col - 1];
        return AspHeaderText(s, p, false, p_.Svc.BodyTableName);
    }
    const int rp = points_[row - 1];
    if (col == 0) return AspHeaderText(s, rp, Retrograde(rp, outerRows), p_.Svc.BodyTableName);
    (void)outerCols;
    return AspCellText(in, rp, points_[col - 1], false);
}

void TAspTabl::DrawGridDrawCell(QPainter& g, int col, int row, const QRect& r) {
    AstroDat& s = p_.s;
    const QPalette& pal = DrawGrid->palette();
    const bool fixed = row == 0 || col == 0;
    g.fillRect(r, fixed ? pal.button() : pal.base());
    g.setPen(pal.text().color());
    if ((row == 0 && col == 0) || col > static_cast<int>(points_.size()) ||
        row > static_cast<int>(points_.size()))
        return;
    const QFontMetrics fm(g.font());
    const int baseline = r.y() + (r.height() - fm.height()) / 2 + fm.ascent();
    const int glyphY = r.y() + (r.height() - 16) / 2;
    const AspectTableInputs in = Inputs();
    if (fixed) {
        const int p = row == 0 ? points_[col - 1] : points_[row - 1];
        const bool outer = in.DoubleChart && (row == 0 ? in.AspectingMode != 'I'
                                                       : in.AspectingMode == 'O');
        const std::string mark = row > 0 && Retrograde(p, outer) ? "(R)" : "";
        std::string glyph;
        if (p >= 1 && p <= 26) {
            GlyphMode glyphs(s, true);
            glyph = p == 1 && p_.Flags.HelioMode ? std::string(1, '\x10')
                    : p_.Tech                     ? p_.Tech->PointLabel(p)
                                                  : BodyName(s, p);
        }
        const bool byName = glyph.empty() || glyph[0] == '\x12' || glyph == "5" || glyph == "?";
        int x = r.x() + 3;
        if (byName) {
            GlyphMode words(s, false);
            const std::string text = AspHeaderText(s, p, false, p_.Svc.BodyTableName);
            g.drawText(QPoint(x, baseline), ToQ(text));
            x += fm.horizontalAdvance(ToQ(text));
        } else {
            PaintFont16Text(g, p_.Font, x, glyphY, glyph, kBlack);
            x += kFont16Advance + 2;
        }
        if (!mark.empty()) g.drawText(QPoint(x, baseline), ToQ(mark));
        return;
    }
    const int rp = points_[row - 1], cp = points_[col - 1];
    const int a = AspCellAspect(in, rp, cp);
    const std::string text = AspCellText(in, rp, cp, true);
    int x = r.x() + 3;
    if (a != 0) {
        const char glyph = p_.AspTable.AspGlyph[a];
        if (glyph != 0) PaintFont16Text(g, p_.Font, x, glyphY, std::string(1, glyph), kBlack);
        x += kFont16Advance + 4;
        QFont bold = g.font();
        bold.setBold(true);
        g.setFont(bold);
    } else {
        x += kFont16Advance + 4;
    }
    g.drawText(QPoint(x, baseline), ToQ(text));
}

// The grid's font is the window's; rows as high as the font and a glyph; the header column as
// wide as its longest name, the data columns as the format's width (widened to fit the text).
void TAspTabl::AspTableSizeColumns() {
    sizing_ = true;
    DrawGrid->setFont(font());
    const QFontMetrics fm(font());
    const int dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    const int points = font().pointSize() > 0 ? font().pointSize() : 8;
    DrawGrid->SetDefaultRowHeight(std::max(18, static_cast<int>(RoundEven(points * dpi / 72.0)) + 6));
    int header = 32;
    for (int r = 1; r < DrawGrid->RowCount(); ++r)
        header = std::max(header, fm.horizontalAdvance(ToQ(CellText(0, r))) + 10);
    DrawGrid->SetColWidth(0, header);
    const bool exact = p_.Flags.AspTablAccur == 'Y';
    const int wanted = std::max(1, StrToIntDef0((exact ? Edit1 : Edit2)->Text()));
    QFont bold = font();
    bold.setBold(true);
    const int text =
        QFontMetrics(bold).horizontalAdvance(ToQ(exact ? "<180°00'00\">" : "<180,0>")) + 12;
    const int w = std::max({wanted, text + kFont16Advance + 4});
    for (int c = 1; c < DrawGrid->ColCount(); ++c) DrawGrid->SetColWidth(c, w);
    sizing_ = false;
}

void TAspTabl::ColumnResized(int col, int width) {
    if (sizing_ || col < 1) return;
    sizing_ = true;
    for (int c = 1; c < DrawGrid->ColCount(); ++c)
        if (c != col) DrawGrid->SetColWidth(c, width);
    (p_.Flags.AspTablAccur == 'Y' ? Edit1 : Edit2)->SetText(std::to_string(width));
    sizing_ = false;
}

void TAspTabl::FormShow() {
    if (p_.Flags.ScreenMode != 'W') p_.CalcCurrentAspects();
    AspTableRebuild();
}

void TAspTabl::NaccurClick() {
    const bool exact = !Naccur->Checked();
    Naccur->SetChecked(exact);
    p_.Flags.AspTablAccur = exact ? 'Y' : 'N';
    AspTableSizeColumns();
    DrawGrid->Invalidate();
}

void TAspTabl::AspectscsvClick() {
    AstroDat& s = p_.s;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<std::vector<std::string>> cells;
    for (int r = 0; r < DrawGrid->RowCount(); ++r) {
        std::vector<std::string> line;
        for (int c = 0; c < DrawGrid->ColCount(); ++c) line.push_back(CellText(c, r));
        cells.push_back(std::move(line));
    }
    const std::vector<std::string> lines = AspectTableText(Caption(), cells, Naccur->Checked());
    const fs::path file = s.DataPath(kExportFile);
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    const IoResult r = WriteTextFileAtomic(file, lines);
    QGuiApplication::restoreOverrideCursor();
    if (IOCheck(s, r, kExportFile)) return;
    SetStatus(s, GetMsgText(s, 57, kExportFile));
    if (p_.Hooks.InterpShowFile) p_.Hooks.InterpShowFile(kExportFile);
}

void TAspTabl::ShowAspTable(int point, bool pickInner) {
    if (point == 0) point = 1;
    const char mode = p_.AspectOpt.AspectingMode;
    if (p_.Flags.DoubleChart && ((pickInner && mode == 'O') || (!pickInner && mode == 'I')))
        return;
    if (!docked_) {
        undocked_ = geometry();
        docked_ = true;
        setWindowFlag(Qt::WindowMinimizeButtonHint, false);
        setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    }
    dockPoint_ = point;
    dockBottom_ = p_.Flags.DoubleChart && pickInner;
    if (p_.Flags.ScreenMode != 'W') p_.CalcCurrentAspects();
    AspTableRebuild(); // docks on the point
    SetWindowState(WindowState::Normal);
    show();
    raise();
}

// The docked geometry: the header row and the point's row along the bottom, or the header
// column and the point's column at the right edge; the rows (columns) before the point's are
// left out of view so that it follows the header.
void TAspTabl::DockOn() {
    int k = 0;
    for (int p : points_)
        if (p <= dockPoint_) ++k;
    k = std::clamp(k, 1, std::max(1, static_cast<int>(points_.size())));
    for (int r = 1; r < DrawGrid->RowCount(); ++r) DrawGrid->setRowHidden(r, dockBottom_ && r < k);
    for (int c = 1; c < DrawGrid->ColCount(); ++c)
        DrawGrid->setColumnHidden(c, !dockBottom_ && c < k);
    const QRect area = Screen().WorkArea();
    const int frameW = frameGeometry().width() - geometry().width();
    const int frameH = frameGeometry().height() - geometry().height();
    if (dockBottom_) {
        const int h = DrawGrid->rowHeight(0) + DrawGrid->rowHeight(k) + 50;
        SetBounds(area.left(), area.bottom() + 1 - h - frameH, area.width() - frameW, h);
    } else {
        const int w = DrawGrid->ColWidth(0) + DrawGrid->ColWidth(k) + 8 +
                      DrawGrid->verticalScrollBar()->sizeHint().width();
        SetBounds(area.right() + 1 - w - frameW, area.top(), w, area.height() - frameH);
    }
}

void TAspTabl::FormKeyDown(int& key, ui::Shift) {
    if (key == vk::F12) {
        const QPoint centre = mapToGlobal(QPoint(width() / 2, height() / 2));
        PopupMenu->Popup(centre.x(), centre.y());
        key = 0;
    }
}

void TAspTabl::FormClose() {
    if (!docked_) return;
    docked_ = false;
    dockPoint_ = 0;
    for (int r = 1; r < DrawGrid->RowCount(); ++r) DrawGrid->setRowHidden(r, false);
    for (int c = 1; c < DrawGrid->ColCount(); ++c) DrawGrid->setColumnHidden(c, false);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setGeometry(undocked_);
}

void ShowAspTable(shell::Program& p, int point, bool pickInner) {
    p.ReadOptions();
    const char mode = p.AspectOpt.AspectingMode;
    if (p.Flags.DoubleChart && ((pickInner && mode == 'O') || (!pickInner && mode == 'I')))
        return;
    if (auto* t = Screen().Ensure<TAspTabl>("AspTabl")) t->ShowAspTable(point, pickInner);
}

} // namespace qor::chart
