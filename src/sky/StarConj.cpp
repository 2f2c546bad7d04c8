#include "sky/StarConj.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "sky/DeepSky.h"
#include "sky/SkyData.h"
#include "sky/StarCatalogue.h"

namespace qor {

using namespace ui;

namespace {

constexpr double kOrb = kPi / 180; // one degree
constexpr double kExactly = 1e-12; // a star at 1° less the rounding of the subtraction
constexpr int kConjunctionPoints[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16};

std::string Arc(AstroDat& s, double rad) {
    return FormatDMS(s, rad * kRadToArcSec);
}

} // namespace

std::string FitText(std::string text, std::size_t w) {
    std::erase(text, '\r');
    std::erase(text, '\n');
    text.resize(w, ' ');
    return text;
}

std::vector<std::string> ListStarConjunctions(AstroDat& s, const StarCatalogue& c,
                                              const DeepCatalogue& d) {
    std::vector<std::string> lines;
    const int stars = std::min<int>(c.StarCount, static_cast<int>(c.StarLon.size()) - 1);
    const int deep = std::min<int>(d.DeepCount, static_cast<int>(d.DeepObjs.size()) - 1);
    for (int b : kConjunctionPoints) {
        if (b > 14 && b - 14 > s.NExtra) continue; // Chiron is the second user body
        const double lon = s.PlanetLon[b];
        bool first = true;
        const auto header = [&] {
            if (!first) return;
            first = false;
            NamesAs words(s, false, s.ShortNames);
            lines.push_back(BodyName(s, b) + Arc(s, lon));
        };
        for (int i = 1; i <= stars; ++i) {
            if (c.StarLon[i] == 0 || c.YaleStars[i].NameOffset == 0) continue;
            const double delta = NormAngleSigned2(c.StarLon[i] - lon);
            if (std::fabs(delta) > kOrb + kExactly) continue;
            header();
            std::string designation = StarDesignation(s, c, i, true);
            designation = designation.substr(0, designation.find(':'));
            lines.push_back("   " + FitText(StarName(c, i), 16) + " " + FitText(designation, 23) +
                            FitText(FloatToStrComma(6, 2, c.YaleStars[i].Mag), 10) + " " +
                            Arc(s, c.StarLon[i]) + "  (" + Arc(s, delta) + ")");
        }
        for (int j = 1; j <= deep; ++j) {
            const DeepRec& o = d.DeepObjs[j];
            const double delta = NormAngleSigned2(o.Lon - lon);
            if (std::fabs(delta) > kOrb + kExactly) continue;
            header();
            lines.push_back("   " + FitText(DeepObjText(s, d, j, 0), 16) + " " +
                            FitText(o.Code, 23) + FitText(FloatToStrComma(6, 2, o.Mag), 10) +
                            " " + Arc(s, o.Lon) + "  (" + Arc(s, delta) + ")");
        }
    }
    return lines;
}

TStarConj::TStarConj(shell::Program& p, SkyData& sky) : TForm("StarConj"), p_(p), sky_(sky) {
    SetCaption("Соединения: планеты-звезды"_cp);
    SetBorderStyle(BorderStyle::Sizeable);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetHelpTopic("conjunction_planet_star.html");
    SetStoresSettings(true);
    SetBounds(120, 120, 760, 420);
    FontSpec courier;
    courier.name = "Courier New";
    courier.size = 10;
    Memo1 = Add<TMemo>("Memo1", {0, 0, 760, 420});
    Memo = Add<TMemo>("Memo", {0, 0, 760, 420});
    for (TMemo* m : {Memo1, Memo}) {
        SetFontSpec(m, courier);
        m->setLineWrapMode(QPlainTextEdit::NoWrap);
        m->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m->setReadOnly(true);
    }
    Memo1->hide(); // the copy of the list
    OnResize = [this] {
        Memo->setGeometry(0, 0, width(), height());
        Memo1->setGeometry(0, 0, width(), height());
    };
    OnShow = [this] { Fill(); };
    OnClose = [this](CloseAction& a) {
        Memo->Clear();
        Memo1->Clear();
        a = CloseAction::Free;
    };
}

void TStarConj::Fill() {
    AstroDat& s = p_.s;
    // the places of the stars are those of the chart's moment, whatever the precession setting
    if (sky_.Stars.StarsCalcT != s.ChartT && p_.Svc.ComputeStarPositions)
        p_.Svc.ComputeStarPositions();
    Memo->SetLines(ListStarConjunctions(s, sky_.Stars, sky_.Deep));
    Memo1->SetText(Memo->Text());
}

void RegisterStarConj(shell::Program& p, SkyData& sky) {
    p.FormClasses.Register("StarConj", [&p, &sky] { return new TStarConj(p, sky); });
    p.Svc.RefreshWindow["StarConj"] = [](TForm& f) {
        if (auto* w = dynamic_cast<TStarConj*>(&f)) w->Fill();
    };
}

} // namespace qor
