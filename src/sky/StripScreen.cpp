#include "sky/StripScreen.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"
#include "sky/CosmosSearch.h"
#include "sky/DeepSky.h"
#include "sky/SkyData.h"
#include "sky/SkyScreen.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QTimer>

namespace qor {

using namespace ui;

namespace {

// Circles growing about a point for 0.9 s and shrinking away for 0.9 s, drawn over the paint
// box by a transparent layer of their own that goes when they are done: the program goes on
// meanwhile.
class FlashLayer : public QWidget {
public:
    FlashLayer(QWidget* over, QPoint at) : QWidget(over), at_(at) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(over->rect());
        timer_.setInterval(100);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            if (++tick_ >= 18) {
                deleteLater();
                return;
            }
            update();
        });
        timer_.start();
        show();
        raise();
    }
    int Tick() const { return tick_; }

protected:
    void paintEvent(QPaintEvent*) override {
        // ticks 0..8: circles of 5..5 + tick; ticks 9..17: the same taken away again
        const int shown = tick_ < 9 ? tick_ + 1 : 17 - tick_;
        QPainter g(this);
        g.setPen(QColor(255, 255, 0));
        for (int k = 0; k < shown; ++k) g.drawEllipse(at_, 5 + k, 5 + k);
    }

private:
    QPoint at_;
    QTimer timer_;
    int tick_ = 0;
};

// A double click inside a memo's page.
class DoubleClickFilter : public QObject {
public:
    DoubleClickFilter(QObject* parent, std::function<void()> run)
        : QObject(parent), run_(std::move(run)) {}

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonDblClick) {
            QTimer::singleShot(0, this, [this] { run_(); }); // after the word is selected
        }
        return QObject::eventFilter(o, e);
    }

private:
    std::function<void()> run_;
};

} // namespace

// --- The strip in the program ---------------------------------------------------------------

void StripScreen::Redraw() {
    if (p.Flags.ScreenMode == 'A') p.DrawScreen('A');
}

void StripScreen::CenterStarAstr(double lon) {
    view.CentreLon = lon;
    Redraw();
}

void StripScreen::ShowCoordinates(int x, int y) {
    if (!p.Form1) return;
    double lon, lat;
    StripInverse(view, x, y, lon, lat);
    const int dms = p.s.DMSFormat;
    p.s.DMSFormat = 1;
    p.Form1->GeoPanel->SetCaption(FormatZodiacAbbr(false, lon) + "  " +
                                  FormatDMS(p.s, lat * kRadToArcSec));
    p.s.DMSFormat = dms;
}

void StripScreen::StarAstrMouseDown(int x, int y) {
    if (StripHitTest(view, p.s, data.Stars, data.Deep, data.Asteroids, x, y) != StripPick::None)
        return;
    view.DragStart = x;
    if (p.Form1) p.Form1->PaintBox->setCursor(Qt::SizeHorCursor);
}

bool StripScreen::StarAstrMouse(int kind, int x, int y) {
    if (kind == 2) {
        if (view.DragStart >= 0) {
            const double scale = StripPixelsPerRadian(view) * view.Zoom;
            view.CentreLon =
                NormAngleSigned((x - view.DragStart) / (scale > 0 ? scale : 1) + view.CentreLon);
            view.DragStart = x;
            Redraw();
        }
    } else {
        view.DragStart = -1;
        if (p.Form1) p.Form1->PaintBox->unsetCursor();
    }
    ShowCoordinates(x, y);
    const std::string before = view.HoverText;
    const StripPick found = StripHitTest(view, p.s, data.Stars, data.Deep, data.Asteroids, x, y);
    if (found == StripPick::None) {
        if (!before.empty()) {
            SetStatus(p.s, "");
            if (!p.Flags.DinamicRun) Redraw();
        }
        return false;
    }
    if (kind == 0) {
        view.Zoom = kStripZoomMax;
        view.CentreLon = view.FoundLon;
        Redraw();
        if (p.Form1) {
            const QPoint at =
                p.Form1->PaintBox->mapToGlobal(QPoint(p.Form1->PaintBox->width() / 2, y));
            Screen().Cursor().SetPos(at);
        }
    } else if (kind == 1) {
        shell::Services& svc = p.Svc;
        if (found == StripPick::Star && svc.IntStarText) svc.IntStarText(view.Picked);
        if (found == StripPick::Deep && svc.IntDeepSkyText) svc.IntDeepSkyText(view.Picked);
        if (found == StripPick::Body && svc.IntPlanetText) svc.IntPlanetText(view.Picked);
    }
    if (view.HoverText != before) {
        SetStatus(p.s, view.HoverText);
        if (!p.Flags.DinamicRun) Redraw();
    }
    return true;
}

void StripScreen::Pan(const std::string& button) {
    if (button == "RightPan") StarAstrPan(view, -0.1);
    if (button == "LeftPan") StarAstrPan(view, 0.1);
    if (button == "PanIn") StarAstrZoom(view, 1.3);
    if (button == "PanOut") StarAstrZoom(view, 0.7);
    if (button != "UpPan" && button != "DownPan") Redraw();
}

void StripScreen::NotFound(const std::string& name) {
    const std::string text = GetMsgText(p.s, 107, name);
    if (p.Flags.LinkCommand)
        SetStatus(p.s, text);
    else
        Screen().Dlg().Message(MsgKind::Information, text, MsgButtons::Ok);
}

bool StripScreen::FindOnStarAstr(const std::string& name) {
    const FoundObject f = FindStripObject(p.s, data.Stars, data.Deep, data.Asteroids, name);
    double lon = 0, lat = 0;
    switch (f.kind) {
    case FoundKind::Body:
        lon = p.s.Bodies[f.index][kBodyLon];
        lat = p.s.Bodies[f.index][kBodyLat];
        break;
    case FoundKind::Deep:
        lon = data.Deep.DeepObjs[f.index].Lon;
        lat = data.Deep.DeepObjs[f.index].Lat;
        break;
    case FoundKind::Star:
        lon = data.Stars.StarLon[f.index];
        lat = data.Stars.StarLat[f.index];
        break;
    case FoundKind::Asteroid:
        lon = data.Asteroids.AstCatalogue[f.index].Lon;
        lat = data.Asteroids.AstCatalogue[f.index].Lat;
        break;
    case FoundKind::None:
        NotFound(name);
        return false;
    }
    CenterStarAstr(lon);
    PointAtScreenXY(view.cx, StripY(view, lat));
    return true;
}

bool StripScreen::FindOnSky(const std::string& name) {
    SkySphere* sphere = data.Sphere.get();
    if (!sphere) return false;
    const FoundObject f = FindSkyObject(p.s, data.Stars, data.Deep, name);
    const int system = sphere->SkySystem;
    double lon = 0, lat = 0;
    switch (f.kind) {
    case FoundKind::Body:
        SkyBodyCoord(p.s, system, f.index, lon, lat);
        break;
    case FoundKind::Deep:
        if (system == kSkyHorizontal) SkyEnsureHorizon(sphere->view, p.s, data.Stars, data.Deep);
        SkyDeepCoord(data.Deep, system, f.index, lon, lat);
        break;
    case FoundKind::Star:
        if (system == kSkyHorizontal) SkyEnsureHorizon(sphere->view, p.s, data.Stars, data.Deep);
        SkyStarCoord(data.Stars, system, f.index, lon, lat);
        break;
    default:
        NotFound(name);
        return false;
    }
    SkyView& v = sphere->view;
    v.CentreLon = NormAngle(lon);
    v.Tilt = std::clamp(lat, -kPi / 2, kPi / 2);
    sphere->RedrawSkyIfShown();
    const SkyPoint at = SkyProject(v, SkyRelativeLon(v, system, lon), lat);
    PointAtScreenXY(at.X, at.Y);
    return true;
}

bool StripScreen::FindOnCosmos(const std::string& name) {
    CosmosSky* sky = data.CosmosView.get();
    if (!sky) return false;
    CosmosBodies& b = data.Cosmos;
    const CosmosTarget target = FindCosmosObject(p.s, b, data.Stars, data.Deep, name);
    if (target.kind == CosmosTargetKind::None) {
        NotFound(name);
        return false;
    }
    if (p.Flags.ScreenMode != 'S' && p.Form1) p.Form1->SwitchScreen('S');
    // The passes run to their end before anything else: a search or a recompute that arrives
    // meanwhile waits.
    const AimOutcome aim = AimCosmosAt(p.s, sky->view, b, data.Stars, data.Deep, target,
                                       [this] { p.DrawScreen('S'); });
    SetStatus(p.s, "");
    if (!aim.found) {
        NotFound(name);
        return false;
    }
    const double x = aim.x, y = aim.y;
    PointAtScreenXY(static_cast<int>(std::lround(x)) + 1, static_cast<int>(std::lround(y)) + 1);
    return true;
}

void StripScreen::PointAtScreenXY(int x, int y) {
    PointedX = x;
    PointedY = y;
    if (!p.Form1) return;
    QWidget* box = p.Form1->PaintBox;
    Screen().Cursor().SetPos(box->mapToGlobal(QPoint(x, y)));
    new FlashLayer(box, QPoint(x, y));
}

// --- Search window ----------------------------------------------------------------------------

TFind::TFind(shell::Program& p) : TForm("Find"), p_(p) {
    SetCaption("Найти объект:"_cp);
    SetBorderStyle(BorderStyle::Single);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("search_of_object.html");
    SetStoresSettings(true);
    SetBounds(300, 200, 220, 260);
    Memo = Add<TMemo>("Memo", {0, 0, 220, 216});
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    if (p.s.EnglishMode)
        Memo->SetLines({"Jupiter", "Io", "Antares"});
    else
        Memo->SetLines({"Юпитер"_cp, "Ио"_cp, "Антарес"_cp});
    Panel1 = Add<TPanel>("Panel1", {0, 216, 220, 44});
    Button1 = Add<TButton>("Button1", {60, 8, 100, 28}, Panel1);
    Button1->SetCaption("Найти"_cp);
    Button1->OnClick = [this] { Button1Click(); };
    Memo->viewport()->installEventFilter(new DoubleClickFilter(Memo, [this] { MemoDblClick(); }));
}

void TFind::FindObject(const std::string& text) {
    if (p_.Tech) {
        p_.Tech->FindName = SearchText(text);
        p_.Tech->FindTimer->SetInterval(500);
        p_.Tech->FindTimer->SetEnabled(true);
    }
    Close();
}

void TFind::Button1Click() {
    // The whole line of the caret.
    const std::string line = SearchLine(Memo->Lines(), Memo->textCursor().blockNumber());
    if (Trim(line).empty()) {
        Screen().Dlg().Message(MsgKind::Information, GetMsgText(p_.s, 133, ""), MsgButtons::Ok);
        return;
    }
    FindObject(line);
}

void TFind::MemoDblClick() {
    const std::string word = FromQLossy(Memo->textCursor().selectedText());
    if (!Trim(word).empty()) FindObject(word);
}

// --- Registration -----------------------------------------------------------------------------

std::shared_ptr<StripScreen> RegisterStripScreen(shell::Program& p, SkyData& data) {
    auto strip = std::make_shared<StripScreen>(p, data);
    StripScreen* self = strip.get();
    p.FormClasses.Register("Find", [&p] { return new TFind(p); });
    shell::ScreenHandler& screen = p.Svc.Screens['A'];
    screen.Recomputed = [&p, &data] { CalcCatalogueAsteroids(p.s, p.GeneralOpt, data.Asteroids); };
    screen.Draw = [&p, self] {
        if (!p.BufBitmap) return;
        if (p.Form1 && p.Form1->N54) self->view.AllNames = p.Form1->N54->Checked();
        StripInputs in{p.s,           self->data.Stars, self->data.Deep, self->data.Asteroids,
                       p.Flags.Ready, &p.Font};
        RedrawStarAstr(self->view, in, *p.BufBitmap, [&p] {
            SetStatus(p.s, "Too many stars on screen");
            PlayDing(p.s);
        });
    };
    screen.MouseDown = [self](MouseButton b, Shift, int x, int y) {
        if (b == MouseButton::Left) self->StarAstrMouseDown(x, y);
    };
    screen.MouseMove = [self](Shift, int x, int y) { self->StarAstrMouse(2, x, y); };
    screen.MouseUp = [&p, self](MouseButton b, Shift, int x, int y) {
        if (b != MouseButton::Left && b != MouseButton::Right) return;
        const bool found = self->StarAstrMouse(b == MouseButton::Left ? 0 : 1, x, y);
        if (!found && b == MouseButton::Right && p.Form1) {
            const bool full = self->view.Zoom >= kStripZoomMax;
            for (const char* item : {"N53", "N54"})
                if (auto* m = p.Form1->Find<TMenuItem>(item)) m->setEnabled(full);
            const QPoint at = p.Form1->PaintBox->mapToGlobal(QPoint(x, y));
            p.Form1->StarAstrMenu->Popup(at.x(), at.y());
        }
    };
    screen.Pan = [self](const std::string& button) { self->Pan(button); };
    screen.Find = [self](const std::string& name) { self->FindOnStarAstr(name); };
    p.Svc.MenuActions["N53"] = [self] {
        self->view.Zoom = 1;
        self->Redraw();
    };
    p.Svc.Screens['C'].Find = [self](const std::string& name) { self->FindOnSky(name); };
    p.Svc.Screens['S'].Find = [self](const std::string& name) { self->FindOnCosmos(name); };
    return strip;
}

} // namespace qor
