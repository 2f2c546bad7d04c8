#include "interp/PairTexts.h"

#include "core/ChartMoment.h"
#include "core/ChartRecords.h"
#include "core/Text.h"
#include "interp/ChartTexts.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"

namespace qor::interp {

namespace {

std::string BackLine(shell::Program& p) {
    const DatRec& r = p.s.DatRec2;
    const std::string zone = Trim(r[kRecZone]), city = r[kRecCity];
    const MomentParse m = ParseChartMoment(p.s, r);
    if (!m) return Trim(r[kRecDate]) + "   " + Trim(r[kRecTime]) + " (" + zone + ")   " + city;
    const ChartMoment& c = *m.Moment;
    return PairChartLine(c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second, zone, city);
}

AspectMatrix PairMatrixOf(shell::Program& p, char mode) {
    AstroDat& s = p.s;
    AspectOptions opt = p.AspectOpt;
    opt.AspectingMode = mode;
    AspectCharts charts;
    charts.lon = &s.PlanetLon;
    charts.speed = &s.PlanetSpeed;
    charts.lonBck = &s.PlanetLonBck;
    charts.speedBck = &s.PlanetSpeedBck;
    charts.doubleChart = true;
    charts.directions = s.DynMethod != ' ';
    charts.exterrBody = p.Flags.ExterrBody;
    charts.nExtra = s.NExtra;
    charts.parsCount = p.ChartOpt.HelioBox ? 0 : s.ParsCount;
    AspectMatrix m;
    CalcAspects(p.AspTable, opt, charts, m);
    return m;
}

// Runs a report of the pair.
void RunPair(shell::Program& p, TInterp& w, const std::function<void(PairReports&)>& body) {
    ReportWriter& wr = w.Writer();
    ReportWriter::BusyScope busy(wr);
    const PairChart c = CurrentPairChart(p);
    wr.Run([&] {
        PairReports r(wr, c);
        body(r);
    });
}

// The report is not made: the box, or over the command link its "Error;" answer.
void Refuse(shell::Program& p, TInterp& w, const std::string& text) {
    w.Writer().Tell(MsgKind::Information, text);
    if (p.Flags.LinkCommand && p.Form1 && p.Form1->Link)
        p.Form1->Link->MsgWriteLine(shell::MsgFile::Send, "Error;" + text);
}

} // namespace

PairChart CurrentPairChart(shell::Program& p) {
    PairChart c;
    c.radix = CurrentReportChart(p);
    c.cross = PairMatrixOf(p, 'X').AspMatrix;
    c.outer = PairMatrixOf(p, 'O').AspMatrix;
    const AstroDat& s = p.s;
    c.mainLine = PairChartLine(s.ChartYear, s.ChartMonth, s.ChartDay, s.ChartHour, s.ChartMinute,
                               s.ChartSecond, Trim(DataField(p, "dTEdit", kRecZone)),
                               DataField(p, "CityEdit", kRecCity));
    c.backLine = BackLine(p);
    return c;
}

void IntTransits(shell::Program& p, TInterp& w) {
    if (!p.Flags.DoubleChart)
        return Refuse(
            p, w,
            Lang(p.s, "Установите двойную карту: транзиты на фоновой карте"_cp,
                 "Please establish a double chart: the transits are its background chart"));
    RunPair(p, w, [](PairReports& r) { r.Transits(); });
}

void IntLunar(shell::Program& p, TInterp& w) {
    if (!p.Flags.DoubleChart || p.s.DynMethod != 'L')
        return Refuse(p, w,
                      Lang(p.s, "Установите карту Лунара"_cp, "Please establish Lunar Chart"));
    RunPair(p, w, [](PairReports& r) { r.Return(false); });
}

void IntSolar(shell::Program& p, TInterp& w) {
    if (!p.Flags.DoubleChart || p.s.DynMethod != 'S')
        return Refuse(p, w,
                      Lang(p.s, "Установите карту Соляра"_cp, "Please establish Solar Chart"));
    RunPair(p, w, [](PairReports& r) { r.Return(true); });
}

void IntSynastry(shell::Program& p, TInterp& w) {
    AstroDat& s = p.s;
    // The birth-data window's method list: "Транзит", "Синастрия", ...
    if (!p.Flags.DoubleChart || s.DynMethod != ' ' || p.ItemIndex("DataForm", "ComboBox") != 1)
        return Refuse(p, w, GetMsgText(s, 9));
    if (ui::TForm* data = ui::Screen().FindForm("DataForm")) data->Close();
    w.RefreshBaseSettings();
    const BaseSetting& aspects = w.Writer().Settings[BaseId::SynPAP];
    const std::string file = Trim(aspects.file);
    const bool aspectsOn =
        aspects.on && !file.empty() &&
        BasePath(s, file).lexically_normal() != s.DataPath("nofile").lexically_normal();
    const std::string sex = Trim(s.DatRec1[kRecSex]), partner = Trim(s.DatRec2[kRecSex]);
    if (aspectsOn && (sex == partner || sex == "2" || partner == "2"))
        return Refuse(p, w, GetMsgText(s, 4));
    // Every aspect key reads [woman's point.aspect.man's point].
    const bool reverse = sex != "0";
    RunPair(p, w, [reverse](PairReports& r) { r.Synastry(reverse); });
}

void RegisterPairTexts(shell::Program& p, InterpReports& reports) {
    reports.ByItem["Ntrans"] = [&p](TInterp& w) { IntTransits(p, w); };
    reports.ByItem["N5"] = [&p](TInterp& w) { IntLunar(p, w); };
    reports.ByItem["NSolar"] = [&p](TInterp& w) { IntSolar(p, w); };
    reports.ByItem["N6"] = [&p](TInterp& w) { IntSynastry(p, w); };
}

} // namespace qor::interp
