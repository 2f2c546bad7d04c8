#include "sky/AsteridWindow.h"

#include "core/Kepler.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"
#include "sky/AsteroidTable.h"
#include "sky/BusyPointer.h"
#include "sky/SkyData.h"
#include "sky/StarStrip.h"
#include "sky/StripScreen.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace qor {

using namespace ui;

void ApplyUserBodies(AstroDat& s, const UserBodySlots& bodies) {
    for (int k = 1; k <= bodies.NExtra; ++k) {
        const auto& f = bodies.Slots[k].Fields;
        ParseOrbitElementsLine(s, k, f[0], f[1], f[2], f[3], f[4], f[5], f[6]);
    }
    s.NExtra = bodies.NExtra;
}

void LoadUserBodies(shell::Program& p, SkyData& sky, std::vector<std::string>& lines) {
    ApplyUserBodies(p.s, LoadAsteroidSlots(p.s, lines, p.s.ParsCount, sky.Cosmos));
}

TAsterid::TAsterid(shell::Program& p, SkyData& sky) : TForm("Asterid"), p_(p), sky_(sky) {
    SetCaption("Астероиды"_cp);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("asteroids.html");
    SetStoresSettings(true);
    SetBounds(40, 80, 1000, 520);
    Panel1 = Add<TPanel>("Panel1", {0, 0, 1000, 36});
    Edit = Add<TEdit>("Edit", {8, 6, 160, 24}, Panel1);
    Edit->SetText("chiron");
    Edit1 = Add<TEdit>("Edit1", {176, 6, 80, 24}, Panel1);
    Edit1->SetText("2060");
    Label1 = Add<TLabel>("Label1", {268, 10, 400, 18}, Panel1);
    AllGrid = Add<TDrawGrid>("AllGrid", {0, 36, 1000, 484});
    AllGrid->SetColCount(kAsteridColumns);
    AllGrid->SetFixed(0, 1);
    for (int c = 0; c < kAsteridColumns; ++c) AllGrid->SetColWidth(c, 159);
    AllGrid->SetColSizing(true);
    PopupMenu = Add<TPopupMenu>("PopupMenu");
    N1 = AddMenuItem("N1", "Найти"_cp, PopupMenu);
    N2 = AddMenuItem("N2", "Добавить к пользовательским объектам"_cp, PopupMenu);
    Sort1 = AddMenuItem("Sort1", "Сортировать"_cp, PopupMenu);
    N4 = AddMenuItem("N4", "Рассчитать координаты"_cp, PopupMenu);
    Nsave = AddMenuItem("Nsave", "Записать файл координат"_cp, PopupMenu);
    N3 = AddMenuItem("N3", "Смотреть..."_cp, PopupMenu);
    PopupMenu->setDefaultAction(N1);
    N1->OnClick = [this] { N1Click(); };
    N2->OnClick = [this] { N2Click(); };
    N3->OnClick = [this] { N3Click(); };
    N4->OnClick = [this] { N4Click(); };
    Sort1->OnClick = [this] { Sort1Click(); };
    Nsave->OnClick = [this] { NsaveClick(); };
    Edit->OnChange = [this] { EditChange(); };
    Edit->OnClick = [this] { EditChange(); };

    AllGrid->OnDrawCell = [this](QPainter& g, int col, int row, const QRect& rc, int) {
        std::string text;
        if (row == 0) {
            text = AsteridHeader(p_.s, col);
        } else {
            const AsteroidCatalogue& c = sky_.Asteroids;
            if (row > c.AstCount || row >= static_cast<int>(c.AstCatalogue.size())) return;
            text = AsteridCell(p_.s, c.AstCatalogue[row], col);
        }
        g.drawText(rc.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, ToQ(text));
    };
    AllGrid->OnMouseUp = [this](MouseButton b, Shift, int x, int y) { AllGridMouseUp(b, x, y); };
    AllGrid->OnDblClick = [this] {
        if (CurrentRecord() > 0) N1Click();
    };
    OnResize = [this] {
        Panel1->resize(width(), Panel1->height());
        AllGrid->setGeometry(0, Panel1->height(), width(), height() - Panel1->height());
    };
    OnShow = [this] { FormShow(); };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

void TAsterid::FormShow() {
    AllGrid->SetRowCount(sky_.Asteroids.AstCount + 1);
    AllGrid->SetDefaultRowHeight(QFontMetrics(AllGrid->font()).height() + 3);
    Label1->SetCaption(p_.s.AsteroidTimeText);
}

int TAsterid::CurrentRecord() const {
    const int r = AllGrid->Row();
    return r >= 1 && r <= sky_.Asteroids.AstCount ? r : 0;
}

void TAsterid::EditChange() {
    const int row = FindAsteroidRow(sky_.Asteroids, Edit->Text());
    if (row > 0) {
        AllGrid->SetRow(row);
        AllGrid->SetTopRow(row);
    }
    AllGrid->Invalidate();
}

void TAsterid::AllGridMouseUp(MouseButton b, int x, int y) {
    const auto [row, col] = AllGrid->CellAt(x, y);
    if (row < 0 || col < 0) return;
    MouseCol = col;
    MouseRow = row;
    if (row > 0 && col > 0) {
        AllGrid->SetRow(row);
        AllGrid->SetCol(col);
    } else if (row > 0) {
        AllGrid->SetRow(row);
    }
    if (b == MouseButton::Right && row > 0) {
        PopupMenuPopup();
        const QPoint at = AllGrid->viewport()->mapToGlobal(QPoint(x, y));
        PopupMenu->Popup(at.x(), at.y());
    }
}

void TAsterid::PopupMenuPopup() {
    AstroDat& s = p_.s;
    const int i = CurrentRecord();
    const std::string name = i > 0 ? sky_.Asteroids.AstCatalogue[i].Name : std::string();
    N1->SetCaption(Lang(s, Cp("Найти "), "Find ") + Trim(name));
    std::string picture = name;
    for (char& ch : picture)
        if (ch >= '0' && ch <= '9') ch = ' ';
    picture = Trim(picture);
    N3->setEnabled(!picture.empty() && p_.Tech && p_.Tech->FindPictureFile(picture));
    Sort1->SetCaption(SortCaption(s, MouseCol, sky_.AstSortByName));
}

void TAsterid::N1Click() {
    const int i = CurrentRecord();
    if (i == 0) return;
    const std::string name = GetCatalogueName(sky_.Asteroids, i);
    if (p_.Flags.ScreenMode != 'A' && p_.Form1) p_.Form1->SwitchScreen('A');
    Close();
    QCoreApplication::processEvents();
    if (sky_.Strip) sky_.Strip->FindOnStarAstr(name);
}

void TAsterid::N2Click() {
    const int i = CurrentRecord();
    if (i == 0 || !p_.Form1) return;
    p_.Form1->OpenToolWindow("Asteroids");
    std::vector<std::string> lines = p_.Form1->Memo->Lines();
    if (!AddAsteroidFromCatalogue(lines, sky_.Asteroids, i)) return;
    LoadUserBodies(p_, sky_, lines);
    p_.Form1->Memo->SetLines(lines);
    if (p_.Tech) p_.Tech->RefreshAll();
}

void TAsterid::N3Click() {
    const int i = CurrentRecord();
    if (i == 0 || !p_.Form1) return;
    std::string picture = sky_.Asteroids.AstCatalogue[i].Name;
    for (char& ch : picture)
        if (ch >= '0' && ch <= '9') ch = ' ';
    p_.Form1->ShowPictureByName(Trim(picture));
}

void TAsterid::N4Click() {
    BusyPointer busy;
    CalcCatalogueAsteroids(p_.s, p_.GeneralOpt, sky_.Asteroids);
    Label1->SetCaption(p_.s.AsteroidTimeText);
    AllGrid->Invalidate();
}

void TAsterid::Sort1Click() {
    BusyPointer busy;
    if (MouseCol == 0) sky_.AstSortByName = !sky_.AstSortByName;
    SortAsteroids(sky_.Asteroids, MouseCol, sky_.AstSortByName);
    AllGrid->Invalidate();
}

bool TAsterid::NsaveClick() {
    AstroDat& s = p_.s;
    {
        BusyPointer busy;
        CalcCatalogueAsteroids(s, p_.GeneralOpt, sky_.Asteroids);
        Label1->SetCaption(s.AsteroidTimeText);
        AllGrid->Invalidate();
        if (!WriteAsteroidFile(s, sky_.Asteroids)) return false;
    }
    const std::string done = GetMsgText(s, 57, s.DataPath(kAsteroidFileName).string());
    if (p_.Flags.LinkCommand)
        SetStatus(s, done);
    else
        Screen().Dlg().Message(MsgKind::Information, done, MsgButtons::Ok);
    return true;
}

void RegisterAsterid(shell::Program& p, SkyData& sky) {
    p.FormClasses.Register("Asterid", [&p, &sky] { return new TAsterid(p, sky); });
}

} // namespace qor
