#include "sky/CosmosWindows.h"

#include "core/Text.h"
#include "sky/StarCatalogue.h"
#include "sky/StarInfo.h"
#include "sky/StarMarks.h"

#include <QImage>
#include <QPainter>

namespace qor {

using namespace ui;

int CosmosSky::InfoStar() const {
    return StarIndexOfBS(stars, InfoStarBS);
}

void CosmosSky::SetInfoStar(int index) {
    InfoStarBS = index >= 1 && index <= stars.StarCount ? stars.YaleStars[index].BS : 0;
}

// --- Settings window -------------------------------------------------------------------------

TOrbitSet::TOrbitSet(CosmosSky& sky) : TForm("OrbitSet"), sky_(sky) {
    SetCaption("Космос"_cp);
    SetBorderStyle(BorderStyle::Dialog);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("cosmos_setup.html");
    SetStoresSettings(true);
    SetBounds(240, 160, 400, 96);
    Panel1 = Add<TPanel>("Panel1", {4, 4, 392, 88});
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    EqatorBox = Add<TCheckBox>("EqatorBox", {10, 12, 374, 24}, Panel1);
    EqatorBox->SetCaption("Показывать сетку планетографических координат"_cp);
    ImageBox = Add<TCheckBox>("ImageBox", {10, 48, 374, 24}, Panel1);
    ImageBox->SetCaption("Показывать рисунок поверхности"_cp);
    ImageBox->SetChecked(true);
    auto refresh = [this] {
        if (sky_.RefreshAll) sky_.RefreshAll();
    };
    EqatorBox->OnClick = refresh;
    ImageBox->OnClick = refresh;
}

// --- Legend ----------------------------------------------------------------------------------

TmStar::TmStar() : TForm("mStar") {
    SetHelpTopic("cosmos.html");
    SetCaption("m");
    SetBorderStyle(BorderStyle::Single);
    SetToolWindow(true);
    SetBounds(300, 200, 120, 168);
    SetColor(0);
    PaintBox = Add<TPaintBox>("PaintBox", {0, 0, 120, 168});
    OrbitMemo = Add<TMemo>("OrbitMemo", {0, 0, 10, 10});
    OrbitMemo->SetLines(DefaultOrbitMemo());
    OrbitMemo->hide();
    PaintBox->OnPaint = [this](QPainter& p) {
        QImage image(PaintBox->width(), PaintBox->height(), QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            Canvas canvas(image);
            DrawLegend(canvas);
        }
        p.drawImage(0, 0, image);
    };
    PaintBox->OnMouseDown = [this](MouseButton, Shift, int, int) { Close(); };
}

void TmStar::DrawLegend(Canvas& canvas) {
    canvas.SetFontName("MS Sans Serif");
    canvas.SetFontSize(8);
    canvas.SetFontColor(0xFFFFFF);
    canvas.SetBrushStyle(BrushStyle::Clear);
    for (int m = -2; m <= 6; ++m) {
        const int row = 16 * (m + 2);
        DrawStarMark(canvas, 24, 16 + row, m, StarColorsLight());
        canvas.TextOut(40, 8 + row, std::to_string(m) + "...<" + std::to_string(m + 1));
    }
}

// --- Star windows ----------------------------------------------------------------------------

namespace {

// A caption at the left and a value beside it.
TLabel* Row(TForm& f, const char* captionName, const std::string& caption, const char* valueName,
            int x, int y, int valueX) {
    TLabel* c = f.Add<TLabel>(captionName, {x, y, valueX - x - 4, 18});
    c->SetCaption(caption);
    TLabel* v = f.Add<TLabel>(valueName, {valueX, y, 150, 18});
    return v;
}

void SetText(TLabel* l, const std::string& text) {
    l->SetCaption(text);
}

} // namespace

TStarForm::TStarForm(CosmosSky& sky) : TForm("StarForm"), sky_(sky) {
    SetHelpTopic("cosmos.html");
    SetCaption("Звезда"_cp);
    SetBorderStyle(BorderStyle::Single);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetStoresSettings(true);
    SetBounds(500, 120, 300, 290);
    DesignLabel = Add<TLabel>("DesignLabel", {10, 8, 280, 18});
    DesignLabel->setStyleSheet("font-weight: bold");
    NameLabel = Add<TLabel>("NameLabel", {10, 28, 280, 18});
    const int x = 10, vx = 120;
    LonLabel = Row(*this, "Label1", "Долгота"_cp, "LonLabel", x, 56, vx);
    LatLabel = Row(*this, "Label2", "Широта"_cp, "LatLabel", x, 74, vx);
    RALabel = Row(*this, "Label3", "Пр.восхожд."_cp, "RALabel", x, 92, vx);
    DecLabel = Row(*this, "Label4", "Склонение"_cp, "DecLabel", x, 110, vx);
    AzLabel = Row(*this, "Label5", "Азимут"_cp, "AzLabel", x, 128, vx);
    AltLabel = Row(*this, "Label6", "Высота"_cp, "AltLabel", x, 146, vx);
    MagLabel = Row(*this, "Label7", "Яркость"_cp, "MagLabel", x, 174, vx);
    DistLabel = Row(*this, "Label8", "Расстояние"_cp, "DistLabel", x, 192, vx);
    SpecLabel = Row(*this, "Label9", "Спектр"_cp, "SpecLabel", x, 210, vx);
    BSLabel = Row(*this, "Label10", "BS", "BSLabel", x, 238, vx);
    HDLabel = Row(*this, "Label11", "HD", "HDLabel", x, 256, vx);
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

void TStarForm::FillStarForm() {
    const int n = sky_.InfoStar();
    if (n == 0) return;
    const StarFormTexts t = qor::FillStarForm(sky_.s, sky_.stars, n);
    SetText(DesignLabel, t.Designation);
    SetText(NameLabel, t.Name);
    SetText(LonLabel, t.Longitude);
    SetText(LatLabel, t.Latitude);
    SetText(RALabel, t.RA);
    SetText(DecLabel, t.Dec);
    SetText(AzLabel, t.Azimuth);
    SetText(AltLabel, t.Altitude);
    SetText(MagLabel, t.Magnitude);
    SetText(DistLabel, t.Distance);
    SetText(SpecLabel, t.Spectrum);
    SetText(BSLabel, t.BS);
    SetText(HDLabel, t.HD);
}

TDeepStar::TDeepStar(CosmosSky& sky) : TForm("DeepStar"), sky_(sky) {
    SetHelpTopic("cosmos.html");
    SetCaption("Звезда в пространстве"_cp);
    SetBorderStyle(BorderStyle::Single);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetStoresSettings(true);
    SetBounds(520, 140, 500, 300);
    DesignLabel = Add<TLabel>("DesignLabel", {10, 8, 450, 18});
    DesignLabel->setStyleSheet("font-weight: bold");
    NameLabel = Add<TLabel>("NameLabel", {10, 28, 450, 18});
    // the star itself, at the left
    const int x = 10, vx = 120;
    AbsMagLabel = Row(*this, "Label1", "Абс. величина"_cp, "AbsMagLabel", x, 56, vx);
    LumLabel = Row(*this, "Label2", "Светимость"_cp, "LumLabel", x, 74, vx);
    SpecLabel = Row(*this, "Label3", "Спектр"_cp, "SpecLabel", x, 92, vx);
    TempLabel = Row(*this, "Label4", "Температура"_cp, "TempLabel", x, 110, vx);
    RadiusLabel = Row(*this, "Label5", "Радиус"_cp, "RadiusLabel", x, 128, vx);
    SunDistLabel = Row(*this, "Label6", "от Солнца"_cp, "SunDistLabel", x, 156, vx);
    CentreTitle = Add<TLabel>("CentreTitle", {x, 174, vx - x - 4, 18});
    CentreTitle->SetCaption("от центр.звезды"_cp);
    CentreLabel = Add<TLabel>("CentreLabel", {vx, 174, 120, 18});
    ObsLabel = Row(*this, "Label7", "от наблюдателя"_cp, "ObsLabel", x, 192, vx);
    LonLabel = Row(*this, "Label8", "Долгота"_cp, "LonLabel", x, 220, vx);
    LatLabel = Row(*this, "Label9", "Широта"_cp, "LatLabel", x, 238, vx);
    // where it stands, at the right: from the Sun, from the centre star, on the screen
    const int cx = 250, cw = 82;
    auto head = [&](const char* name, const std::string& caption, int col) {
        TLabel* l = Add<TLabel>(name, {cx + col * cw, 56, cw, 18});
        l->SetCaption(caption);
        return l;
    };
    head("Label10", "гелиоц."_cp, 0);
    FrameTitle = head("FrameTitle", "астроцентр."_cp, 1);
    head("Label11", "экран"_cp, 2);
    auto axis = [&](const char* name, const char* caption, int y) {
        TLabel* l = Add<TLabel>(name, {cx - 20, y, 18, 18});
        l->SetCaption(caption);
    };
    axis("Label12", "X", 74);
    axis("Label13", "Y", 92);
    axis("Label14", "Z", 110);
    auto value = [&](const char* name, int col, int y) {
        return Add<TLabel>(name, {cx + col * cw, y, cw, 18});
    };
    HXLabel = value("HXLabel", 0, 74);
    HYLabel = value("HYLabel", 0, 92);
    HZLabel = value("HZLabel", 0, 110);
    FXLabel = value("FXLabel", 1, 74);
    FYLabel = value("FYLabel", 1, 92);
    FZLabel = value("FZLabel", 1, 110);
    SXLabel = value("SXLabel", 2, 74);
    SYLabel = value("SYLabel", 2, 92);
    SZLabel = value("SZLabel", 2, 110);
    FLonLabel = value("FLonLabel", 1, 220);
    FLatLabel = value("FLatLabel", 1, 238);
    Timer1 = Add<TTimer>("Timer1");
    Timer1->SetEnabled(false);
    Timer1->OnTimer = [this] {
        Timer1->SetEnabled(false);
        if (sky_.FocusMain) sky_.FocusMain();
    };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

void TDeepStar::FillDeepStarInfo() {
    const int n = sky_.InfoStar();
    if (n == 0) return;
    DeepStarView v;
    v.CosmosStar = StarIndexOfBS(sky_.stars, sky_.bodies.CosmosStarBS);
    if (sky_.bodies.CosmosMode != -1) v.CosmosStar = 0;
    v.Observer = sky_.view.Observer;
    v.ScaleAu = sky_.bodies.CosmosScale(sky_.bodies.CosmosMode);
    if (IsViewMode(sky_.bodies.CosmosMode)) {
        SetRotationMatrixN(sky_.bodies.Bank, sky_.bodies.CosmosMode);
        v.View = &sky_.bodies.Bank.Mode(sky_.bodies.CosmosMode);
    }
    const DeepStarTexts t = qor::FillDeepStarInfo(sky_.s, sky_.stars, n, v);
    SetText(DesignLabel, t.Designation);
    SetText(NameLabel, t.Name);
    if (t.Physical) {
        SetText(AbsMagLabel, t.AbsMag);
        SetText(LumLabel, t.Luminosity);
        SetText(SpecLabel, t.Spectrum);
        SetText(TempLabel, t.Temperature);
        SetText(RadiusLabel, t.Radius);
        SetText(SunDistLabel, t.SunDistance);
        SetText(CentreTitle, t.CentreCaption);
        SetText(CentreLabel, t.CentreValue);
        SetText(LonLabel, t.Longitude);
        SetText(LatLabel, t.Latitude);
        SetText(HXLabel, t.HelioX);
        SetText(HYLabel, t.HelioY);
        SetText(HZLabel, t.HelioZ);
        SetText(FrameTitle, t.FrameTitle);
        SetText(FXLabel, t.FrameX);
        SetText(FYLabel, t.FrameY);
        SetText(FZLabel, t.FrameZ);
        SetText(FLonLabel, t.FrameLongitude);
        SetText(FLatLabel, t.FrameLatitude);
        SetText(SXLabel, t.ScreenX);
        SetText(SYLabel, t.ScreenY);
        SetText(SZLabel, t.ScreenZ);
        SetText(ObsLabel, t.ObserverDistance);
        ObserverDistance = t.ObserverParsecs;
    }
    Timer1->SetInterval(100);
    Timer1->SetEnabled(true);
}

void ShowStarForm(CosmosSky& sky, int star) {
    if (star > 0) sky.SetInfoStar(star);
    if (sky.InfoStar() == 0) return;
    auto* f = Screen().Ensure<TStarForm>("StarForm");
    if (!f) return;
    f->FillStarForm();
    f->show();
    f->raise();
}

void ShowDeepStar(CosmosSky& sky, int star) {
    if (star > 0) sky.SetInfoStar(star);
    if (sky.InfoStar() == 0) return;
    auto* f = Screen().Ensure<TDeepStar>("DeepStar");
    if (!f) return;
    f->FillDeepStarInfo();
    f->show();
    f->raise();
}

void CentreOnStar(CosmosSky& sky, int s) {
    if (s < 1 || s > sky.stars.StarCount) return;
    CosmosBodies& b = sky.bodies;
    sky.view.Observer = StarPlace(sky.stars, s);
    b.CosmosScale(-1) = 3;
    if (b.CosmosStarBS == 0) {
        b.ModeAngleX(-1) = b.ModeAngleX(1);
        b.ModeAngleZ(-1) = b.ModeAngleZ(1);
        b.ModeAngleF(-1) = b.ModeAngleF(1);
    }
    b.CosmosStarBS = sky.stars.YaleStars[s].BS;
    b.CosmosMode = -1;
    SetChartName(sky.s, StarDesignation(sky.s, sky.stars, s, false));
    if (TForm* deep = Screen().FindForm("DeepStar")) deep->Close();
}

void RegisterCosmosWindows(FormClasses& classes, std::shared_ptr<CosmosSky> sky) {
    classes.Register("OrbitSet", [sky] { return new TOrbitSet(*sky); });
    classes.Register("mStar", [] { return new TmStar; });
    classes.Register("StarForm", [sky] { return new TStarForm(*sky); });
    classes.Register("DeepStar", [sky] { return new TDeepStar(*sky); });
}

} // namespace qor
