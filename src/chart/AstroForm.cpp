#include "chart/AstroForm.h"

#include "core/Files.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "shell/Tech.h"
#include "ui/SymbolPainter.h"

#include <algorithm>

namespace qor::chart {

using namespace ui;

namespace {

constexpr int kPanelHeight = 70;
const char* const kExportFile = "Wrk\\Astro.txt";

// A path of the disk (UTF-8) as the messages write it.
std::string PathText(const fs::path& p) {
    const std::u8string u = p.u8string();
    return Cp(std::string(u.begin(), u.end()));
}

} // namespace

std::string ShortenedPath(const std::string& path) {
    std::vector<std::size_t> seps;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (path[i] == '\\' || path[i] == '/') seps.push_back(i);
    if (seps.size() < 4) return path;
    const std::size_t from = seps[1] + 1, to = seps[seps.size() - 2];
    return path.substr(0, from) + "..." + path.substr(to);
}

TAstroForm::TAstroForm(shell::Program& p) : TForm("AstroForm"), p_(p) {
    SetCaption("Астрономические данные"_cp);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("astronomical_data.html");
    SetStoresSettings(true);
    SetBounds(40, 120, 980, 480);

    Panel = Add<TPanel>("Panel", {0, 0, 980, kPanelHeight});
    const auto label = [&](const char* name, const std::string& caption) {
        return AddLabel(name, caption, {0, 0, 10, 16}, Panel);
    };
    Label1 = label("Label1", "Юлианская дата"_cp);
    Label2 = label("Label2", "Звездное время"_cp);
    Label3 = label("Label3", "Eo");
    Label4 = label("Label4", "SVP");
    Label5 = label("Label5", "dE");
    Label6 = label("Label6", "dF");
    Label11 = label("Label11", "Всемирная дата"_cp);
    Label12 = label("Label12", "Всемирное время"_cp);
    Label13 = label("Label13", "dT");
    JdLabel = label("JdLabel", "");
    StLabel = label("StLabel", "");
    EoLabel = label("EoLabel", "");
    SVPLabel = label("SVPLabel", "");
    dELabel = label("dELabel", "");
    dFLabel = label("dFLabel", "");
    UTDLabel = label("UTDLabel", "");
    UTCLabel = label("UTCLabel", "");
    TeLabel = label("TeLabel", "");
    LeapLabel = label("LeapLabel", "");
    GregLabel = label("GregLabel", "");
    // Values are the program's, not captions of the window.
    for (TLabel* l : {JdLabel, StLabel, EoLabel, SVPLabel, dELabel, dFLabel, UTDLabel, UTCLabel,
                      TeLabel, LeapLabel, GregLabel})
        SetTag(l, 1);

    DrawGrid = Add<TDrawGrid>("DrawGrid", {0, kPanelHeight, 980, 480 - kPanelHeight});
    SetTag(DrawGrid, 8);
    DrawGrid->SetColCount(kAstroColumns);
    DrawGrid->SetFixed(1, 1);
    DrawGrid->SetRowCount(AstroRowCount(p_.s));
    for (int c = 1; c < kAstroColumns; ++c) DrawGrid->SetColWidth(c, 100);
    DrawGrid->SetColWidth(0, 32);
    DrawGrid->OnDrawCell = [this](QPainter& g, int col, int row, const QRect& r, int) {
        DrawGridDrawCell(g, col, row, r);
    };
    DrawGrid->OnMouseDown = [this](MouseButton b, ui::Shift, int x, int y) {
        GridMouseDown(b, x, y);
    };

    Edit = AddEdit("Edit", std::string(kAstroColumns + 1, '1'), {0, 0, 10, 10}, Client());
    Edit->hide();
    Memo = Add<TMemo>("Memo", {0, 0, 10, 10});
    Memo->hide();
    SetTag(Memo, 1);

    PopupMenu = Add<TPopupMenu>("PopupMenu");
    Ncolumn = AddMenuItem("Ncolumn", "Учитывать в txt"_cp, PopupMenu);
    Ncolumn->setCheckable(true);
    NDec = AddMenuItem("NDec", "Десятичный формат txt"_cp, PopupMenu);
    NDec->setCheckable(true);
    PopupMenu->addSeparator();
    NAstrocsv = AddMenuItem("NAstrocsv", "Сохранить как Astro.txt"_cp, PopupMenu);
    NAstroN = AddMenuItem("NAstroN", "Сохранить как Astro*.txt"_cp, PopupMenu);
    NSave = AddMenuItem("NSave", "Сохранить как ..."_cp, PopupMenu);
    Ncolumn->OnClick = [this] { NcolumnClick(); };
    NDec->OnClick = [this] { NDecClick(); };
    NAstrocsv->OnClick = [this] { NAstrocsvClick(); };
    NAstroN->OnClick = [this] { NAstroNClick(); };
    NSave->OnClick = [this] { NSaveClick(); };

    OnShow = [this] { FormShow(); };
    OnResize = [this] { FormResize(); };
    OnKeyDown = [this](int& key, ui::Shift sh) { FormKeyDown(key, sh); };
    OnClose = [](CloseAction& action) { action = CloseAction::Free; };
}

AstroTableOptions TAstroForm::Options() const {
    AstroTableOptions o;
    o.ExterrBody = p_.Flags.ExterrBody;
    o.BlackMoonFocus = p_.GeneralOpt.BlackMoonFocus;
    o.BodyTableName = p_.Svc.BodyTableName;
    return o;
}

std::string TAstroForm::CellText(int col, int row) {
    return AstroCellText(p_.s, Options(), col, row);
}

void TAstroForm::FormShow() {
    std::string flags = Edit->Text();
    while (flags.size() < static_cast<std::size_t>(kAstroColumns + 1)) flags += '0';
    if (flags != Edit->Text()) Edit->SetText(flags);
    RefreshTable();
}

void TAstroForm::RefreshTable() {
    const AstroDat& s = p_.s;
    const AstroTimeTexts t = AstroTimeLabels(s);
    JdLabel->SetCaption(t.JdLabel);
    StLabel->SetCaption(t.StLabel);
    EoLabel->SetCaption(t.EoLabel);
    dELabel->SetCaption(t.dELabel);
    dFLabel->SetCaption(t.dFLabel);
    TeLabel->SetCaption(t.TeLabel);
    LeapLabel->SetCaption(t.LeapLabel);
    GregLabel->SetCaption(t.GregLabel);
    SVPLabel->SetCaption(s.SVPText);
    UTDLabel->SetCaption(s.UTDateText);
    UTCLabel->SetCaption(s.UTTimeText);
    DrawGrid->SetRowCount(AstroRowCount(s));
    FormResize();
    SizeColumns();
    DrawGrid->Invalidate();
}

// The labels in four columns of caption and value; the grid below them.
void TAstroForm::FormResize() {
    const std::vector<std::vector<std::pair<TLabel*, TLabel*>>> columns = {
        {{Label1, JdLabel}, {Label2, StLabel}, {Label13, TeLabel}},
        {{Label11, UTDLabel}, {Label12, UTCLabel}, {nullptr, GregLabel}},
        {{Label3, EoLabel}, {Label4, SVPLabel}, {nullptr, LeapLabel}},
        {{Label5, dELabel}, {Label6, dFLabel}}};
    int x = 8;
    for (const auto& column : columns) {
        int captions = 0, values = 0;
        for (const auto& [caption, value] : column) {
            if (caption) captions = std::max(captions, TextExtent(caption, caption->Caption()).width());
            values = std::max(values, TextExtent(value, value->Caption()).width());
        }
        int y = 4;
        for (const auto& [caption, value] : column) {
            if (caption) caption->move(x, y);
            value->move(caption ? x + captions + 8 : x, y);
            y += 21;
        }
        x += captions + 8 + std::max(values, 60) + 28;
    }
    const int w = Client()->width(), h = Client()->height();
    ui::SetBounds(Panel, 0, 0, w, kPanelHeight);
    ui::SetBounds(DrawGrid, 0, kPanelHeight, w, std::max(0, h - kPanelHeight));
}

// Each column as wide as its widest text; the row height from the grid's font.
void TAstroForm::SizeColumns() {
    const QFontMetrics fm(DrawGrid->font());
    DrawGrid->SetDefaultRowHeight(std::max(18, fm.height() + 6));
    const AstroTableOptions o = Options();
    DrawGrid->SetColWidth(0, 32);
    for (int c = 0; c < kAstroColumns; ++c) {
        int widest = 0;
        for (int r = 0; r < DrawGrid->RowCount(); ++r) {
            if (c == 0 && r > 0) continue;
            widest = std::max(widest, fm.horizontalAdvance(ToQ(Trim(AstroCellText(p_.s, o, c, r)))));
        }
        if (c == 0) {
            // the glyph and the retrograde mark, or an extra body's name
            const bool glyphs = p_.s.GlyphNames;
            p_.s.GlyphNames = false;
            for (int r = kFirstExtraPoint + 1; r < DrawGrid->RowCount(); ++r)
                widest = std::max(widest, fm.horizontalAdvance(ToQ(Trim(AstroCellText(p_.s, o, 0, r)))));
            p_.s.GlyphNames = glyphs;
            DrawGrid->SetColWidth(0, std::max(40, widest + 12));
        } else {
            DrawGrid->SetColWidth(c, std::max(60, widest + 14));
        }
    }
}

void TAstroForm::DrawGridDrawCell(QPainter& g, int col, int row, const QRect& r) {
    const QPalette& pal = DrawGrid->palette();
    const bool fixed = row == 0 || col == 0;
    g.fillRect(r, fixed ? pal.button() : pal.base());
    g.setPen(pal.text().color());
    const std::string text = CellText(col, row);
    const QFontMetrics fm(DrawGrid->font());
    const int baseline = r.y() + (r.height() - fm.height()) / 2 + fm.ascent();
    if (row == 0) {
        g.drawText(QPoint(r.x() + 2, baseline), ToQ(TrimRight(text)));
        return;
    }
    if (col == 0) {
        if (!text.empty() && (text[0] == '5' || text[0] == '?') && p_.Svc.BodyTableName) {
            g.drawText(QPoint(r.x() + 2, baseline),
                       ToQ(Trim(p_.Svc.BodyTableName(row - 1 + 57))));
            return;
        }
        PaintFont16Text(g, p_.Font, r.x() + 8, r.y() + (r.height() - 16) / 2, text, kBlack);
        return;
    }
    g.drawText(QPoint(r.x() + 8, baseline), ToQ(text));
}

void TAstroForm::GridMouseDown(MouseButton b, int x, int y) {
    if (b != MouseButton::Right) return;
    const auto [row, col] = DrawGrid->CellAt(x, y);
    if (row < 0 || col < 0) return;
    GridCol = col;
    GridRow = row;
    if (GridRow > 0) DrawGrid->SetRow(GridRow);
    const QPoint at = DrawGrid->viewport()->mapToGlobal(QPoint(x, y));
    PopupForColumn(at.x(), at.y());
}

void TAstroForm::PopupForColumn(int x, int y) {
    AstroDat& s = p_.s;
    std::string title = Trim(AstroCellText(s, Options(), GridCol, 0));
    if (title.empty()) title = Lang(s, "Планета"_cp, "Planet");
    Ncolumn->SetCaption(GetMsgText(s, 68, title));
    const std::string flags = AstroFlags();
    const auto on = [&](std::size_t i) { return i <= flags.size() && flags[i - 1] == '1'; };
    Ncolumn->SetChecked(on(static_cast<std::size_t>(GridCol) + 2));
    NDec->SetChecked(on(1));
    PopupMenu->Popup(x, y);
}

namespace {

// Sets character i (1-based) of the flags, padding with "0".
std::string WithFlag(std::string flags, std::size_t i, bool on) {
    if (flags.size() < i) flags.resize(i, '0');
    flags[i - 1] = on ? '1' : '0';
    return flags;
}

} // namespace

void TAstroForm::NcolumnClick() {
    const std::size_t i = static_cast<std::size_t>(std::max(GridCol, 0)) + 2;
    const std::string flags = AstroFlags();
    const bool on = !(i <= flags.size() && flags[i - 1] == '1');
    Edit->SetText(WithFlag(flags, i, on));
    Ncolumn->SetChecked(on);
}

void TAstroForm::NDecClick() {
    const std::string flags = AstroFlags();
    const bool on = !(!flags.empty() && flags[0] == '1');
    Edit->SetText(WithFlag(flags, 1, on));
    NDec->SetChecked(on);
}

std::vector<std::string> TAstroForm::BuildTextTable() {
    AstroLabelCaptions labels;
    labels.Captions = {Label1->Caption(),  Label2->Caption(),  Label3->Caption(),
                       Label4->Caption(),  Label5->Caption(),  Label6->Caption(),
                       Label11->Caption(), Label12->Caption(), Label13->Caption()};
    const std::vector<std::string> lines =
        AstroTextTable(p_.s, Options(), Caption(), labels, AstroFlags());
    Memo->SetLines(lines);
    return lines;
}

// A message box, or under the command link (no one may be asked) the status line.
void TAstroForm::Tell(MsgKind kind, const std::string& text) {
    if (p_.Flags.LinkCommand)
        SetStatus(p_.s, text);
    else
        Screen().Dlg().Message(kind, text, MsgButtons::Ok);
}

bool TAstroForm::WriteExport(const std::string& programName, const fs::path& file) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    const std::vector<std::string> lines = BuildTextTable();
    if (IOCheck(p_.s, WriteTextFileAtomic(file, lines), programName)) return false;
    ReportSaved(programName);
    return true;
}

void TAstroForm::ReportSaved(const std::string& path) {
    SetStatus(p_.s, GetMsgText(p_.s, 57, ShortenedPath(path)));
}

void TAstroForm::NAstrocsvClick() {
    if (WriteExport(kExportFile, p_.s.DataPath(kExportFile)) && p_.Hooks.InterpShowFile)
        p_.Hooks.InterpShowFile(kExportFile);
}

void TAstroForm::NAstroNClick() {
    const std::string name = NextAstroFileName(p_.s);
    if (name.empty()) {
        Tell(MsgKind::Error, GetMsgText(p_.s, 71));
        return;
    }
    WriteExport(name, p_.s.DataPath(name));
}

void TAstroForm::NSaveClick() {
    AstroDat& s = p_.s;
    if (p_.Flags.LinkCommand) {
        // The save dialog would wait on a person.
        SetStatus(s, Lang(s, "Диалог сохранения недоступен по каналу команд"_cp,
                          "The save dialog is not available to the command link"));
        return;
    }
    const fs::path folder = s.DataPath("Wrk");
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) {
        Screen().Dlg().Message(MsgKind::Warning, GetMsgText(s, 70, "Wrk"), MsgButtons::Ok);
        return;
    }
    fs::path file = folder / "Astro.txt";
    const std::string filter = Lang(s, "Файлы .txt"_cp, "Files .txt") + " (*.txt)|*.TXT|" +
                               Lang(s, "Все файлы"_cp, "All files") + " (*.*)|*.*";
    if (!Screen().Dlg().SaveFile(Lang(s, "Сохранить как"_cp, "Save as"), filter, file)) return;
    if (fs::exists(file, ec)) {
        const MsgResult answer = Screen().Dlg().Message(
            MsgKind::Confirmation, GetMsgText(s, 69, PathText(file)), MsgButtons::YesNoCancel);
        if (answer != MsgResult::Yes) return;
    }
    WriteExport(PathText(file), file);
}

void TAstroForm::FormKeyDown(int& key, ui::Shift) {
    if (key == vk::F12) {
        GridCol = std::max(DrawGrid->Col(), 0);
        GridRow = std::max(DrawGrid->Row(), 0);
        const QPoint centre = mapToGlobal(QPoint(width() / 2, height() / 2));
        PopupForColumn(centre.x(), centre.y());
        key = 0;
    }
}

} // namespace qor::chart
