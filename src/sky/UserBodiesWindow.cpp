#include "sky/UserBodiesWindow.h"

#include "core/Formats.h"
#include "core/Text.h"
#include "shell/FontEd.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"
#include "sky/AsteridWindow.h"
#include "sky/Asteroids.h"
#include "sky/SkyData.h"
#include "ui/SymbolPainter.h"

#include <QFontMetrics>
#include <QPainter>

namespace qor {

using namespace ui;

namespace {

struct Header {
    const char* ru; // UTF-8
    const char* en;
};
const Header kHeaders[kUserBodyColumns] = {
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
    {"Имя", "Name"},
    {"Долгота", "Long."},
    {"Широта", "Lat."},
    {"Ср.аномалия", "Mean anomaly"},
    {"Арг.перигелия", "Arg. perihelion"},
    {"Долгота узла", "Long. node"},
    {"Наклон орбиты", "Inclination"},
    {"Эксцентриситет", "Eccentricity"},
    {"Большая полуось", "Semimajor axis"},
    {"Эпоха (JD)", "Epoch (JD)"},
};
constexpr int kFixedRows = 11; // the predefined bodies, never deleted

const std::string kMark(1, kAstEnabledMark), kOrbit(1, kAstOrbitMark),
    kScheme(1, kAstSchemeMark);

} // namespace

std::string NewFictitiousLine() {
    return " ;" + kOrbit + ";63;111;Noname;;;  0.0;  0.0;  0.0; 0.0; 0.0; 1.2;2451544.5";
}

std::string UserBodyHeader(const AstroDat& s, int col) {
    if (col < 0 || col >= kUserBodyColumns) return {};
    return s.EnglishMode ? std::string(kHeaders[col].en) : Cp(kHeaders[col].ru);
}

TAsteroids::TAsteroids(shell::Program& p, SkyData& sky) : TForm("Asteroids"), p_(p), sky_(sky) {
    SetCaption("Астероиды и фиктивные объекты"_cp);
    SetBorderStyle(BorderStyle::Sizeable);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("asteroids_and_virtuals.html");
    SetStoresSettings(true);
    SetBounds(60, 100, 900, 330);
    DrawGrid = Add<TDrawGrid>("DrawGrid", {0, 0, 900, 330});
    DrawGrid->SetColCount(kUserBodyColumns);
    DrawGrid->SetFixed(0, 1);
    const int widths[4] = {16, 13, 14, 15};
    for (int c = 0; c < kUserBodyColumns; ++c) DrawGrid->SetColWidth(c, c < 4 ? widths[c] + 6 : 96);
    DrawGrid->SetColSizing(true);
    Edit = Add<TEdit>("Edit", {0, 0, 96, 22}, DrawGrid->viewport());
    SetVisible(Edit, false);
    PopupMenu = Add<TPopupMenu>("PopupMenu");
    N8 = AddMenuItem("N8", "Включить расчет"_cp, PopupMenu);
    N1 = AddMenuItem("N1", "Добавить астероид..."_cp, PopupMenu);
    N2 = AddMenuItem("N2", "Добавить фиктивную..."_cp, PopupMenu);
    N3 = AddMenuItem("N3", "Удалить"_cp, PopupMenu);
    N9 = AddMenuItem("N9", "Корректировать"_cp, PopupMenu);
    N4 = AddMenuItem("N4", "Показывать орбиту"_cp, PopupMenu);
    N5 = AddMenuItem("N5", "Все орбиты"_cp, PopupMenu);
    N6 = AddMenuItem("N6", "Схема орбиты"_cp, PopupMenu);
    for (TMenuItem* m : {N8, N4, N6}) m->setCheckable(true);
    N8->OnClick = [this] { ToggleMark(); };
    N1->OnClick = [this] { AddAsteroid(); };
    N2->OnClick = [this] { AddFictitious(); };
    N3->OnClick = [this] { DeleteRow(); };
    N9->OnClick = [this] { EditCell(); };
    N4->OnClick = [this] { ToggleOrbit(); };
    N5->OnClick = [this] { AllOrbits(); };
    N6->OnClick = [this] { ToggleScheme(); };
    ChooseGlyph = [](int glyph) { return shell::PickGlyph(glyph); };

    DrawGrid->OnDrawCell = [this](QPainter& g, int col, int row, const QRect& rc, int) {
        DrawCell(g, col, row, rc);
    };
    DrawGrid->OnMouseDown = [this](MouseButton b, Shift, int x, int y) {
        if (Editing()) EndEdit(true);
        const auto [row, col] = DrawGrid->CellAt(x, y);
        if (row > 0 && col > 0) SetCell(col, row);
        if (b == MouseButton::Right && row > 0) {
            if (col >= 0) SetCell(std::max(col, 0), row);
            PopupMenuPopup();
            const QPoint at = DrawGrid->viewport()->mapToGlobal(QPoint(x, y));
            PopupMenu->Popup(at.x(), at.y());
        }
    };
    DrawGrid->OnDblClick = [this] {
        if (row_ > 0) ToggleMark();
    };
    Edit->OnChange = [this] { edited_ = true; };
    Edit->OnKeyDown = [this](int& key, Shift) {
        if (key == vk::Return) {
            EndEdit(true);
            key = 0;
        } else if (key == vk::Escape) {
            EndEdit(false);
            key = 0;
        }
    };
    OnKeyDown = [this](int& key, Shift) {
        if (key != vk::F12 || Editing()) return;
        if (col_ == 0 || col_ == 1 || col_ == 5 || col_ == 6) col_ = 4;
        PopupMenuPopup();
        const QPoint at = mapToGlobal(QPoint(width() / 2, height() / 2));
        PopupMenu->Popup(at.x(), at.y());
        key = 0;
    };
    OnResize = [this] { DrawGrid->setGeometry(0, 0, width(), height()); };
    OnShow = [this] {
        DrawGrid->SetDefaultRowHeight(std::max(QFontMetrics(DrawGrid->font()).height() + 3, 18));
        Refresh();
    };
    OnClose = [this](CloseAction& a) {
        if (Editing()) EndEdit(false);
        a = CloseAction::Free;
    };
}

std::vector<std::string> TAsteroids::Lines() const {
    return p_.Form1 ? p_.Form1->Memo->Lines() : std::vector<std::string>{};
}

void TAsteroids::SetCell(int col, int row) {
    col_ = col;
    row_ = row;
    DrawGrid->SetRow(row);
    if (col > 0) DrawGrid->SetCol(col);
}

bool TAsteroids::Editing() const {
    return Edit->isVisible();
}

void TAsteroids::Refresh() {
    if (!p_.Form1) return;
    AstroDat& s = p_.s;
    std::vector<std::string> lines = Lines();
    std::vector<double> lon(kMaxExtraBodies + 1, 0.0), lat(kMaxExtraBodies + 1, 0.0);
    for (int k = 1; k <= s.NExtra && k <= kMaxExtraBodies; ++k) {
        lon[k] = s.Bodies[14 + k][kBodyLon];
        lat[k] = s.Bodies[14 + k][kBodyLat];
    }
    UpdateAsteroidPositions(s, lines, lon, lat, s.NExtra);
    p_.Form1->Memo->SetLines(lines);
    const int rows = static_cast<int>(lines.size()) + 1;
    if (DrawGrid->RowCount() != rows) DrawGrid->SetRowCount(rows);
    DrawGrid->Invalidate();
}

void TAsteroids::Changed(std::vector<std::string>& lines, bool recompute) {
    if (!p_.Form1) return;
    LoadUserBodies(p_, sky_, lines);
    p_.Form1->Memo->SetLines(lines);
    const int rows = static_cast<int>(lines.size()) + 1;
    if (DrawGrid->RowCount() != rows) DrawGrid->SetRowCount(rows);
    DrawGrid->Invalidate();
    if (recompute) {
        if (p_.Tech) p_.Tech->RefreshAll();
    } else if (p_.Flags.ScreenMode == 'S') {
        p_.DrawScreen('S');
    }
}

void TAsteroids::DrawCell(QPainter& g, int col, int row, const QRect& rc) {
    if (row == 0) {
        g.drawText(rc.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                   ToQ(UserBodyHeader(p_.s, col)));
        return;
    }
    const std::vector<std::string> lines = Lines();
    if (row > static_cast<int>(lines.size())) return;
    const std::string field = GetAstField(lines, col, row);
    if (col == 0) {
        if (field == kMark) g.drawText(rc, Qt::AlignCenter, QString(QChar(0x2713))); // a tick
    } else if (col == 2) {
        const int code = StrToIntDef0(Trim(field));
        if (code > 0 && code < 256)
            PaintFont16Text(g, p_.Font, rc.left() + 1, rc.top() + 1, std::string(1, char(code)),
                            kBlack);
    } else if (col != 3) {
        g.drawText(rc.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, ToQ(field));
    }
}

void TAsteroids::PopupMenuPopup() {
    const std::vector<std::string> lines = Lines();
    N8->SetChecked(GetAstField(lines, 0, row_) == kMark);
    N8->setEnabled(row_ > 2);
    N4->SetChecked(GetAstField(lines, 1, row_) == kOrbit);
    N6->SetChecked(GetAstField(lines, 1, row_) == kScheme);
    N3->setEnabled(row_ > kFixedRows);
}

void TAsteroids::Toggle(int field, const std::string& mark, bool recompute) {
    std::vector<std::string> lines = Lines();
    if (row_ < 1 || row_ > static_cast<int>(lines.size())) return;
    SetAstField(lines, field, row_, GetAstField(lines, field, row_) == mark ? " " : mark);
    Changed(lines, recompute);
}

void TAsteroids::ToggleMark() {
    Toggle(0, kMark, true);
}

void TAsteroids::ToggleOrbit() {
    Toggle(1, kOrbit, false);
}

void TAsteroids::ToggleScheme() {
    Toggle(1, kScheme, false);
}

void TAsteroids::AllOrbits() {
    std::vector<std::string> lines = Lines();
    const std::string to = GetAstField(lines, 1, row_) == kOrbit ? " " : kOrbit;
    const int last = std::min(p_.s.NExtra, static_cast<int>(lines.size()));
    for (int r = 1; r <= last; ++r) SetAstField(lines, 1, r, to);
    Changed(lines, false);
}

void TAsteroids::DeleteRow() {
    std::vector<std::string> lines = Lines();
    if (row_ <= kFixedRows || row_ > static_cast<int>(lines.size())) return;
    const std::string question = GetMsgText(p_.s, 132, GetAstField(lines, 4, row_));
    if (Screen().Dlg().Message(MsgKind::Confirmation, question, MsgButtons::YesNo) !=
        MsgResult::Yes)
        return;
    lines.erase(lines.begin() + (row_ - 1));
    if (row_ > static_cast<int>(lines.size())) SetCell(col_, std::max(1, row_ - 1));
    Changed(lines, true);
}

void TAsteroids::AddAsteroid() {
    if (p_.Form1) p_.Form1->OpenToolWindow("Asterid");
}

void TAsteroids::AddFictitious() {
    std::vector<std::string> lines = Lines();
    lines.push_back(NewFictitiousLine());
    Changed(lines, true);
}

void TAsteroids::EditCell() {
    std::vector<std::string> lines = Lines();
    if (row_ < 1 || row_ > static_cast<int>(lines.size()) || col_ <= 1 || col_ == 3) return;
    if (col_ == 2) {
        const std::optional<int> glyph = ChooseGlyph(StrToIntDef0(Trim(GetAstField(lines, 2, row_))));
        if (!glyph) return;
        SetAstField(lines, 2, row_, std::to_string(*glyph));
        Changed(lines, true);
        return;
    }
    const QRect cell = DrawGrid->visualRect(DrawGrid->model()->index(row_, col_));
    Edit->setGeometry(cell);
    Edit->SetText(GetAstField(lines, col_, row_));
    edited_ = false;
    SetVisible(Edit, true);
    Edit->setFocus();
}

void TAsteroids::EndEdit(bool keep) {
    if (!Editing()) return;
    SetVisible(Edit, false);
    DrawGrid->setFocus();
    if (!keep || !edited_) return;
    std::vector<std::string> lines = Lines();
    SetAstField(lines, col_, row_, Edit->Text());
    Changed(lines, true);
}

void RegisterUserBodiesWindow(shell::Program& p, SkyData& sky) {
    p.FormClasses.Register("Asteroids", [&p, &sky] { return new TAsteroids(p, sky); });
    p.Svc.RefreshWindow["Asteroids"] = [](TForm& f) {
        if (auto* w = dynamic_cast<TAsteroids*>(&f)) w->Refresh();
    };
}

} // namespace qor
