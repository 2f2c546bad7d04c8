#include "sky/SkyScreen.h"

#include "core/Formats.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"
#include "sky/CosmosTools.h"
#include "sky/SkyData.h"
#include "sky/StarCatalogue.h"
#include "ui/QtText.h"

#include <QPainter>

namespace qor {

using namespace ui;

// --- The sphere in the program --------------------------------------------------------------

SkyOptions SkySphere::Options() const {
    SkyOptions o;
    o.System = SkySystem;
    o.Equator = Equator;
    o.Ecliptic = Ecliptic;
    const auto* w = dynamic_cast<Tsky*>(Screen().FindForm("sky"));
    if (!w) return o;
    o.Outside = w->ViewGroup->ItemIndex() == 1;
    o.Horizon = w->HorizonBox->Checked();
    o.Axes = w->AxesBox->Checked();
    o.Stars = w->StarBox->Checked();
    o.Planets = w->PlanetBox->Checked();
    o.Zodiac = w->ZodiakBox->Checked();
    o.Houses = w->HousBox->Checked();
    o.White = w->WhiteButton->Checked();
    o.Magn = w->Magn->Value();
    o.AxisBody = std::max(0, w->AxesGroup->ItemIndex());
    return o;
}

void SkySphere::InitSkyView() {
    view.BodySpots = {};
    view.PixelsPerDegree = 3;
    view.FixedSun = false;
    view.SunFixX = view.SunFixY = 0;
    ReadSkyEdit(view, p.Form1 ? p.Form1->SkyEdit->Text() : std::string(kSkyEditDefault));
}

void SkySphere::ReadSkySettings() {
    const auto* w = dynamic_cast<Tsky*>(Screen().FindForm("sky"));
    if (!w) return;
    SkySystem = std::clamp(w->SystemRadioGroup->ItemIndex(), 0, 2);
    Ecliptic = w->EcliptCheckBox->Checked();
    Equator = w->EquatCheckBox->Checked();
}

void SkySphere::SaveSkyView() {
    if (p.Form1) p.Form1->SkyEdit->SetText(SkyEditText(view));
}

void SkySphere::RedrawSky() {
    p.DrawScreen('C');
}

void SkySphere::RedrawSkyIfShown() {
    if (p.Flags.ScreenMode == 'C') RedrawSky();
}

void SkySphere::RedrawUnlessRunning() {
    if (!p.Flags.DinamicRun) RedrawSkyIfShown();
}

void SkySphere::ShowHover(const std::string& before) {
    if (view.HoverText == before) return;
    SetStatus(p.s, view.HoverText);
    RedrawUnlessRunning(); // the drawing writes the label
}

bool SkySphere::SkyMouseHover(int kind, int x, int y) {
    const std::string before = view.HoverText;
    const bool found = SkyHitTest(view, p.s, data.Stars, data.Deep, Options().Stars, x, y);
    ShowHover(before);
    if (!found || kind != 1) return found;
    if (view.StarFound) {
        ShowStarForm(*cosmos, view.Picked);
    } else if (view.BodyFound) {
        ShowPlanetInfo(*cosmos, view.Picked);
    }
    return found;
}

void SkySphere::SkyClickAction() {
    if (view.StarFound) {
        const int star = view.Picked;
        if (star < 1 || star > data.Stars.StarCount) return;
        if (!IsPleiadesStar(data.Stars.YaleStars[star].BS)) return;
        PlayWav(p.s, "Long.wav");
        const std::string caption = "M45 " + Lang(p.s, "Плеяды"_cp, "Pleiades");
        if (p.Tech && p.Tech->FindPictureFile("M45") && p.Form1)
            if (TForm* viewer = p.Form1->OpenToolWindow("Picture")) viewer->SetCaption(caption);
    } else if (view.DeepFound) {
        const int i = view.Picked;
        if (i < 1 || i > data.Deep.DeepCount) return;
        PlayWav(p.s, "Long.wav");
        const DeepRec& d = data.Deep.DeepObjs[i];
        const std::string code = Trim(d.Code);
        const std::string caption = code + " " + Trim(Lang(p.s, d.NameRus, d.NameEng)) + " (" +
                                    DeepObjText(p.s, data.Deep, i, 0) + ")";
        if (p.Tech && p.Tech->FindPictureFile(code) && p.Form1)
            if (TForm* viewer = p.Form1->OpenToolWindow("Picture")) viewer->SetCaption(caption);
    }
}

void SkySphere::SkyFixSunBox() {
    auto* w = dynamic_cast<Tsky*>(Screen().FindForm("sky"));
    const bool on = w && w->SunBox->Checked();
    if (SkyFixSun(view, on)) return;
    // The Sun is not on the screen: the mode is not entered. Over the command link nothing
    // may wait on a person, so the text goes to the status line there.
    const std::string text = GetMsgText(p.s, 73, "");
    if (p.Flags.LinkCommand)
        SetStatus(p.s, text);
    else
        Screen().Dlg().Message(MsgKind::Information, text, MsgButtons::Ok);
    if (w) w->SunBox->SetChecked(false);
}

void SkySphere::Rotate(char sign, double step) {
    if (RotateSkyLon(view, SkySystem, sign, step)) RedrawUnlessRunning();
}

void SkySphere::Tilt(char sign, double step) {
    if (TiltSky(view, sign, step)) RedrawUnlessRunning();
}

void SkySphere::Zoom(int num, int den) {
    if (ZoomSky(view, num, den)) RedrawUnlessRunning();
}

bool SkySphere::NavKey(int key, Shift shift) {
    const bool ctrl = shift & ssCtrl;
    const double step = ctrl ? 1.0 : 0.1;
    switch (key) {
    case vk::Numpad0 + 4:
        Rotate('+', step);
        return true;
    case vk::Numpad0 + 6:
        Rotate('-', step);
        return true;
    case vk::Numpad0 + 8:
        Tilt('+', step);
        return true;
    case vk::Numpad0 + 2:
        Tilt('-', step);
        return true;
    case vk::Numpad0 + 1:
        ctrl ? Zoom(2, 3) : Zoom(9, 10);
        return true;
    case vk::Numpad0 + 7:
        ctrl ? Zoom(3, 2) : Zoom(10, 9);
        return true;
    default:
        return false;
    }
}

void SkySphere::Pan(const std::string& button) {
    if (button == "RightPan") Rotate('-', 0.1);
    if (button == "LeftPan") Rotate('+', 0.1);
    if (button == "UpPan") Tilt('+', 0.1);
    if (button == "DownPan") Tilt('-', 0.1);
    if (button == "PanIn") Zoom(10, 9);
    if (button == "PanOut") Zoom(9, 10);
}

// --- Settings window --------------------------------------------------------------------------

Tsky::Tsky(SkySphere& sphere) : TForm("sky"), sphere_(sphere) {
    SetCaption("Небесная сфера"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("setup_of_celestial_sphere.html");
    SetStoresSettings(true);
    SetBounds(260, 140, 372, 346);
    TabControl = Add<TTabControl>("TabControl", {4, 4, 364, 338});
    TabControl->SetTabs({"Главная"_cp, "Оси планет"_cp});
    MainPanel = Add<TPanel>("MainPanel", {8, 34, 356, 304});
    AxesPanel = Add<TPanel>("AxesPanel", {8, 34, 356, 304});
    AxesPanel->hide();

    SystemRadioGroup = Add<TRadioGroup>("SystemRadioGroup", {6, 4, 196, 98}, MainPanel);
    SystemRadioGroup->SetCaption(" Система координат  "_cp);
    SystemRadioGroup->SetItems({"Горизонтальная"_cp, "Экваториальная"_cp, "Эклиптикальная"_cp});
    SystemRadioGroup->SetItemIndex(0);
    ViewGroup = Add<TRadioGroup>("ViewGroup", {208, 4, 142, 74}, MainPanel);
    ViewGroup->SetCaption("Вид"_cp);
    ViewGroup->SetItems({"Изнутри"_cp, "Снаружи"_cp});
    ViewGroup->SetItemIndex(1);

    DrawBox = Add<TGroupBox>("DrawBox", {6, 106, 196, 190}, MainPanel);
    DrawBox->SetCaption(" Рисовать "_cp);
    const auto box = [this](const char* name, const std::string& caption, int y, bool on) {
        TCheckBox* b = Add<TCheckBox>(name, {10, y, 180, 20}, DrawBox);
        b->SetCaption(caption);
        b->SetChecked(on);
        return b;
    };
    EquatCheckBox = box("EquatCheckBox", "Экватор"_cp, 20, true);
    EcliptCheckBox = box("EcliptCheckBox", "Эклиптику"_cp, 40, true);
    HorizonBox = box("HorizonBox", "Горизонт"_cp, 60, true);
    AxesBox = box("AxesBox", "Оси горизонта"_cp, 80, false);
    StarBox = box("StarBox", "Звёзды"_cp, 100, false);
    PlanetBox = box("PlanetBox", "Планеты"_cp, 120, true);
    ZodiakBox = box("ZodiakBox", "Зодиак"_cp, 140, false);
    HousBox = box("HousBox", "Дома"_cp, 160, false);

    BackBox = Add<TGroupBox>("BackBox", {208, 84, 142, 72}, MainPanel);
    BackBox->SetCaption("Фон"_cp);
    BlackButton = Add<TRadioButton>("BlackButton", {10, 20, 124, 20}, BackBox);
    BlackButton->SetCaption("Черный"_cp);
    BlackButton->SetChecked(true);
    WhiteButton = Add<TRadioButton>("WhiteButton", {10, 44, 124, 20}, BackBox);
    WhiteButton->SetCaption("Белый"_cp);

    MagnLabel = Add<TLabel>("MagnLabel", {212, 168, 20, 22}, MainPanel);
    MagnLabel->SetCaption("m");
    Magn = Add<TSpinEdit>("Magn", {236, 166, 60, 24}, MainPanel);
    Magn->SetRange(0, 7);
    Magn->SetValue(7);
    SunBox = Add<TCheckBox>("SunBox", {200, 202, 154, 40}, MainPanel);
    SunBox->SetCaption("Фиксировать Солнце"_cp);
    FindButton = Add<TButton>("FindButton", {236, 256, 100, 30}, MainPanel);
    FindButton->SetCaption("Найти"_cp);

    AxesGroup = Add<TRadioGroup>("AxesGroup", {6, 4, 344, 290}, AxesPanel);
    AxesGroup->SetCaption("Оси планет"_cp);
    AxesGroup->SetItems({"Не выдавать"_cp, "Солнце"_cp, "Луна"_cp, "Меркурий"_cp, "Венера"_cp,
                         "Марс"_cp, "Юпитер"_cp, "Сатурн"_cp, "Уран"_cp, "Нептун"_cp});
    AxesGroup->SetItemIndex(0);

    const auto settings = [this] {
        sphere_.ReadSkySettings();
        sphere_.RedrawSkyIfShown();
    };
    SystemRadioGroup->OnClick = settings;
    EquatCheckBox->OnClick = settings;
    EcliptCheckBox->OnClick = settings;
    const auto redraw = [this] { sphere_.RedrawSkyIfShown(); };
    for (TCheckBox* b : {HorizonBox, StarBox, PlanetBox, ZodiakBox, HousBox, AxesBox})
        b->OnClick = redraw;
    ViewGroup->OnClick = redraw;
    AxesGroup->OnClick = redraw;
    BlackButton->OnClick = redraw;
    WhiteButton->OnClick = redraw;
    Magn->OnChange = redraw;
    SunBox->OnClick = [this] { sphere_.SkyFixSunBox(); };
    // The panel of the chosen tab in front (also when the saved state chose the tab).
    TabControl->OnChange = [this] {
        const bool axes = TabControl->TabIndex() == 1;
        MainPanel->setVisible(!axes);
        AxesPanel->setVisible(axes);
    };
    OnShow = [this] { TabControl->OnChange(); };
    FindButton->OnClick = [this] {
        Close();
        if (sphere_.p.Form1) sphere_.p.Form1->OpenToolWindow("Find");
    };
}

// --- Constellations window ------------------------------------------------------------------

TSozv::TSozv(shell::Program& p, SkyData& data)
    : TForm("Sozv"), Rows(Constellations()), p_(p), data_(data) {
    SetCaption("Созвездия"_cp);
    SetBorderStyle(BorderStyle::Sizeable);
    SetToolWindow(true);
    SetHelpTopic("constellations.html");
    SetStoresSettings(true);
    SetBounds(200, 120, 760, 520);
    const bool english = p.s.EnglishMode;
    FontSpec courier;
    courier.name = "Courier New";
    courier.size = 10;
    DrawGrid1 = Add<TDrawGrid>("DrawGrid1", {4, 4, 500, 512});
    DrawGrid1->SetColCount(4);
    DrawGrid1->SetRowCount(89);
    DrawGrid1->SetFixed(1, 1);
    SetFontSpec(DrawGrid1, courier);
    DrawGrid1->SetColWidth(0, 16);
    DrawGrid1->SetColWidth(1, 56);
    DrawGrid1->SetColWidth(2, english ? 7 : 200);
    DrawGrid1->SetColWidth(3, english ? 390 : 196);
    DrawGrid2 = Add<TDrawGrid>("DrawGrid2", {508, 4, 248, 512});
    DrawGrid2->SetColCount(2);
    DrawGrid2->SetRowCount(25);
    DrawGrid2->SetFixed(1, 1);
    SetFontSpec(DrawGrid2, courier);
    DrawGrid2->SetColWidth(0, 10);
    DrawGrid2->SetColWidth(1, 216);
    const int rowHeight = TextExtent(DrawGrid1, "Wg").height() + 3;
    DrawGrid1->SetDefaultRowHeight(rowHeight);
    DrawGrid2->SetDefaultRowHeight(rowHeight);
    PopupMenu = Add<TPopupMenu>("PopupMenu");
    Npicture = AddMenuItem("Npicture", "Смотреть..."_cp, PopupMenu);

    DrawGrid1->OnDrawCell = [this](QPainter& g, int col, int row, const QRect& rc, int) {
        const bool eng = p_.s.EnglishMode;
        std::string text;
        if (row == 0) {
            if (col == 1) text = Lang(p_.s, "Код"_cp, "Code");
            if (col == 2 && !eng) text = " Название"_cp;
            if (col == 3) text = Lang(p_.s, "Астрон. название"_cp, "Astronomical Name");
        } else if (row <= static_cast<int>(Rows.size())) {
            const std::string& r = Rows[row - 1];
            if (col == 0) {
                if (r.substr(0, 3) == data_.SelectedSozv)
                    g.drawText(rc, Qt::AlignLeft | Qt::AlignVCenter, ToQ("\xBB"));
                return;
            }
            if (col == 1) text = r.substr(0, 3);
            if (col == 2 && !eng) text = Trim(r.substr(4, 19));
            if (col == 3) text = r.size() > 23 ? Trim(r.substr(23)) : std::string();
        }
        g.drawText(rc.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, ToQ(text));
    };
    DrawGrid2->OnDrawCell = [this](QPainter& g, int col, int row, const QRect& rc, int) {
        if (col != 1) return;
        if (row == 0) {
            g.drawText(rc.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       ToQ(Lang(p_.s, "Греческий алфавит"_cp, "Greek Alphabet")));
            return;
        }
        const std::string& t = GreekLetterName(row);
        const std::string letter(1,
                                 static_cast<char>(std::tolower(static_cast<unsigned char>(t[0]))));
        g.drawText(rc.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   FontTextFor("Symbol", letter));
        const std::string rest = p_.s.EnglishMode ? (t.size() > 14 ? t.substr(14) : std::string())
                                                  : (t.size() > 5 ? t.substr(5) : std::string());
        g.drawText(rc.adjusted(17, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, ToQ(rest));
    };
    DrawGrid1->OnMouseDown = [this](MouseButton, Shift, int x, int y) {
        const auto [row, col] = DrawGrid1->CellAt(x, y);
        clickedRow_ = row;
        clickedCol_ = col;
        if (row == 0 && (col == 1 || col == 2)) SortBy(col);
    };
    DrawGrid1->OnMouseUp = [this](MouseButton b, Shift, int x, int y) {
        if (clickedRow_ >= 1 && clickedCol_ >= 1) {
            DrawGrid1->SetRow(clickedRow_);
            DrawGrid1->SetCol(clickedCol_);
        }
        if (b == MouseButton::Right) {
            PopupMenuPopup();
            const QPoint at = DrawGrid1->viewport()->mapToGlobal(QPoint(x, y));
            PopupMenu->Popup(at.x(), at.y());
        }
    };
    DrawGrid1->OnDblClick = [this] { ToggleRow(DrawGrid1->Row()); };
    DrawGrid1->OnKeyDown = [this](int& key, Shift) {
        if (key == vk::Escape) Close();
    };
    PopupMenu->connect(PopupMenu, &QMenu::aboutToShow, [this] { PopupMenuPopup(); });
    Npicture->OnClick = [this] {
        const int r = DrawGrid1->Row();
        if (r < 1 || r > static_cast<int>(Rows.size()) || !p_.Form1) return;
        const std::string latin = Trim(Rows[r - 1].substr(23));
        p_.Form1->ShowPictureByName(latin);
    };
}

void TSozv::PopupMenuPopup() {
    const int r = DrawGrid1->Row();
    if (r < 1 || r > static_cast<int>(Rows.size())) {
        Npicture->setEnabled(false);
        return;
    }
    const std::string latin = Trim(Rows[r - 1].substr(23));
    Npicture->SetCaption(Lang(p_.s, "Смотреть: "_cp, "Look: ") + latin);
    Npicture->setEnabled(p_.Tech && p_.Tech->FindPictureFile(latin));
}

void TSozv::ToggleRow(int r) {
    if (r < 1 || r > static_cast<int>(Rows.size())) return;
    const std::string code = Rows[r - 1].substr(0, 3);
    data_.SelectedSozv = code == data_.SelectedSozv ? std::string() : code;
    DrawGrid1->Invalidate();
    if (p_.Tech) p_.Tech->RefreshAll();
}

void TSozv::SortBy(int column) {
    SozvSort(Rows, 0, static_cast<int>(Rows.size()) - 1, column);
    DrawGrid1->Invalidate();
}

// --- Registration -----------------------------------------------------------------------------

std::shared_ptr<SkySphere> RegisterSkySphere(shell::Program& p, SkyData& data) {
    auto sphere = std::make_shared<SkySphere>(p, data, data.CosmosView);
    SkySphere* self = sphere.get();
    p.FormClasses.Register("sky", [self] { return new Tsky(*self); });
    p.FormClasses.Register("Sozv", [&p, &data] { return new TSozv(p, data); });
    p.Svc.AddStartStep(shell::StartStage::Views, "InitSkyView", [self] {
        self->InitSkyView();
        self->ReadSkySettings();
    });
    p.Svc.SaveDuties["SkyView"] = [self] { self->SaveSkyView(); };

    shell::ScreenHandler& screen = p.Svc.Screens['C'];
    screen.Draw = [&p, self] {
        if (!p.BufBitmap) return;
        SkyInputs in{p.s,
                     self->data.Stars,
                     self->data.Deep,
                     self->Options(),
                     self->data.SelectedSozv,
                     p.Flags.ExterrBody,
                     p.Flags.Ready,
                     Screen().Height(),
                     &p.Font};
        qor::RedrawSky(self->view, in, *p.BufBitmap, [&p] {
            SetStatus(p.s, "Too many stars on screen");
            PlayDing(p.s);
        });
    };
    screen.MouseMove = [self](Shift, int x, int y) { self->SkyMouseHover(2, x, y); };
    screen.MouseUp = [&p, self](MouseButton b, Shift, int x, int y) {
        if (b != MouseButton::Left && b != MouseButton::Right) return;
        const bool found = self->SkyMouseHover(b == MouseButton::Left ? 0 : 1, x, y);
        if (b == MouseButton::Left && found) {
            self->SkyClickAction();
        } else if (b == MouseButton::Right && !found && p.Form1) {
            p.Form1->OpenToolWindow("sky");
        }
    };
    screen.NavKey = [self](int key, Shift shift) { return self->NavKey(key, shift); };
    screen.Pan = [self](const std::string& button) { self->Pan(button); };
    screen.Horizontal = [self] { return self->SkySystem == kSkyHorizontal; };
    return sphere;
}

} // namespace qor
