#include "chart/KartScreen.h"

#include "chart/ChartWindows.h"
#include "chart/DataForm.h"
#include "chart/KartForm.h"
#include "chart/PrnKart.h"
#include "chart/WheelMouse.h"
#include "core/Directions.h"
#include "core/Houses.h"
#include "shell/MainForm.h"
#include "shell/SettingsDialogs.h"
#include "shell/StarsAtChart.h"
#include "shell/Tech.h"
#include "sky/BodyPoles.h"
#include "sky/SkyData.h"

namespace qor::chart {

KartScreen KartScreenOf(const shell::Program& p) {
    // The drawing area is the off-screen bitmap; the scale follows the layer's screen (tests
    // fix both).
    const ui::FormScreen& screen = ui::Screen();
    KartScreen scr;
    scr.ScreenWidth = screen.Width();
    scr.ScreenHeight = screen.Height();
    if (p.BufBitmap) {
        scr.ScrWidth = p.BufBitmap->Width() - 5;
        scr.ScrHeight = p.BufBitmap->Height();
    }
    if (p.Tech) scr.GraphFont = p.Tech->GraphFont;
    return scr;
}

KartInputs GatherKartInputs(shell::Program& p) {
    KartInputs in;
    TKartForm* kart = KartFormOf();
    if (kart) {
        in.Options = kart->Options();
    } else {
        in.Options.Existing = in.Options.Aspecting = DefaultPointFlags(true);
        in.Options.Existing2 = in.Options.Aspecting2 = DefaultPointFlags(true);
        in.Options.Elements = DefaultPointFlags(false);
        in.Options.DomShow = in.Options.DomAspecting = DefaultHouseFlags();
        in.Options.Status = DecodeStatusMemo(DefaultStatusMemo());
    }
    const shell::ShellFlags& f = p.Flags;
    KartChartState& c = in.Chart;
    c.Ready = f.Ready;
    c.DoubleChart = f.DoubleChart;
    c.HoraryChart = f.HoraryChart;
    c.HelioMode = f.HelioMode;
    c.RealTimeMode = f.RealTimeMode;
    c.ExterrBody = f.ExterrBody;
    c.HorParallax = p.GeneralOpt.HorParallax;
    if (const WheelMouse* mouse = p.Find<WheelMouse>()) {
        c.DraggedBody = mouse->DragTimeBody;
        c.PickInner = mouse->PickInner;
    }
    if (p.Tech) {
        c.DateText = p.Tech->DateText;
        c.TimeText = p.Tech->TimeText;
        c.LatText = p.Tech->LatText;
        c.LongText = p.Tech->LongText;
    }
    c.HouseSystemName = HouseSystemName(p.s.HouseSystem, p.s.EnglishMode);
    c.MethodText = p.Text("DataForm", "ComboBox");

    KartServices& sv = in.Services;
    sv.Aspects = &p.AspTable;
    sv.Matrix = &p.Aspects;
    sv.SelectAspectPage = [](bool doubleChart) {
        if (TKartForm* kart = KartFormOf()) kart->SelectAspectPageByKind(doubleChart);
    };
    const DirectionOptions dir{in.Options.KoeffCheckBox,
                               kart ? kart->KoeffEdit->Text() : std::string("1.0"),
                               in.Options.HorizontalBox, nullptr};
    sv.ComputeSecondChart = [&p, dir] {
        CurrentChart engine(p.s, p.ChartOpt, p.GeneralOpt);
        return DirectionsReport(p.s, engine, dir);
    };
    if (const SkyData* sky = p.Find<SkyData>()) {
        // The table names the bright object nearest each point: the places must be those of
        // the chart's moment (fifty years move them by 0.7 degrees).
        if (in.Options.StarsCheck && shell::StarsBehindChart(p)) p.Svc.ComputeStarPositions();
        sv.Stars = &sky->Stars;
        sv.Deep = &sky->Deep;
    }
    sv.BodyFileName = p.Svc.BodyTableName;
    sv.EquatorPoleLon = [&p](int k) { return BodyEquatorPole(p.s, k).lon; };
    in.Screen = KartScreenOf(p);
    return in;
}

std::shared_ptr<NatalWheel> RegisterKartScreen(shell::Program& p) {
    auto wheel = std::make_shared<NatalWheel>();
    shell::Services& svc = p.Svc;
    auto draw = [&p, wheel] {
        if (!p.BufBitmap) return;
        KartInputs in = GatherKartInputs(p);
        if (in.Chart.Ready && p.Form1) {
            // the hover hint in the wheel's font, black on the note colour
            ui::FontSpec f = in.Screen.GraphFont;
            f.color = ui::kBlack;
            ui::SetFontSpec(p.Form1->GeoNameLabel, f);
            ui::SetColor(p.Form1->GeoNameLabel, kKartNoteColor);
        }
        wheel->DrawKart(p.s, in.Options, in.Chart, in.Services, in.Screen, *p.BufBitmap);
        if (TKartForm* kart = KartFormOf()) {
            kart->KartSpots = wheel->KartSpots;
            for (int i = 1; i <= 26; ++i) {
                kart->PointRow[i] = wheel->PointRow[i];
                kart->RowPoint[i] = wheel->RowPoint[i];
            }
            kart->PlnGrid->SetRowCount(wheel->RowCount);
            if (!kart->OnClearLabelOffsets)
                kart->OnClearLabelOffsets = [wheel] { wheel->ClearLabelOffsets(); };
        }
    };
    shell::ScreenHandler& screen = svc.Screens['W'];
    screen.Draw = draw;
    // The mouse: the hint, the drags, the protractor, the marker and the menus.
    RegisterWheelMouse(p, wheel);
    // The start-up's colour of the screen: the settings window's background.
    screen.Background = []() -> uint32_t {
        const TKartForm* kart = KartFormOf();
        if (!kart) return 0xFFFFFF;
        if (kart->ColorButton->Checked()) return kart->Colors.KartBck;
        return kart->BlackButton->Checked() ? 0 : 0xFFFFFF;
    };
    screen.Spots = [wheel] { return wheel->KartSpots; };
    // The wheel is drawn once after the first chart, whatever screen the start-up ends on.
    svc.AddStartStep(shell::StartStage::FirstChart, "DrawKart", draw);
    const auto clearOffsets = [wheel] { wheel->ClearLabelOffsets(); };
    svc.ClearLabelOffsets = clearOffsets;
    if (TKartForm* kart = KartFormOf()) kart->OnClearLabelOffsets = clearOffsets;
    svc.KartPointRange = [wheel] { return std::pair{wheel->KartFirstPln, wheel->KartLastPln}; };
    // The printed page reads what the screen reads and keeps the screen's state as it is.
    svc.PrintPage = [&p](QPaintDevice& device) {
        KartInputs in = GatherKartInputs(p);
        const auto* gen = dynamic_cast<const shell::TGenSet*>(ui::Screen().FindForm("GenSet"));
        const bool winstar = gen && gen->PrinterFont() == shell::PrinterGlyphFont::WinStar;
        return PrintKart(p.s, in.Options, in.Chart, in.Services, PrintGlyphFace(p.s, winstar),
                         device);
    };
    return wheel;
}

} // namespace qor::chart
