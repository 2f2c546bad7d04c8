#include "interp/ChartTexts.h"

#include "core/Text.h"
#include "shell/StarsAtChart.h"
#include "sky/SkyData.h"

namespace qor::interp {

namespace {

TInterp* TextWindow() {
    return ui::Screen().Ensure<TInterp>("Interp");
}

// Shows lines collected for one object as the window's text.
bool ShowLines(shell::Program& p, TInterp& w, const std::vector<std::string>& lines) {
    if (lines.empty()) return false;
    w.Writer().Run(
        [&] {
            for (const auto& l : lines) w.Writer().AddLine(l);
        },
        false);
    w.ShowAskedText();
    p.Flags.InterpPoint = 0; // the window no longer follows a chart point
    return true;
}

} // namespace

std::string DataField(shell::Program& p, const char* edit, int field) {
    if (ui::Screen().FindForm("DataForm")) return p.Text("DataForm", edit);
    return p.s.DatRec1[static_cast<std::size_t>(field)];
}

ReportChart CurrentReportChart(shell::Program& p) {
    AstroDat& s = p.s;
    p.ReadOptions();
    ReportChart c;
    c.page = &p.AspTable;
    // The first chart with itself, whatever pairs a double chart's wheel shows.
    AspectOptions opt = p.AspectOpt;
    opt.AspectingMode = 'I';
    AspectCharts charts;
    charts.lon = &s.PlanetLon;
    charts.speed = &s.PlanetSpeed;
    charts.exterrBody = p.Flags.ExterrBody;
    charts.nExtra = s.NExtra;
    charts.parsCount = p.ChartOpt.HelioBox ? 0 : s.ParsCount;
    AspectMatrix m;
    CalcAspects(p.AspTable, opt, charts, m);
    c.aspects = m.AspMatrix;
    c.keyOf = TextKeys(s, [&p](int point) {
        return p.Svc.BodyTableName ? p.Svc.BodyTableName(point + 57) : std::string();
    });
    c.shown = p.Text("KartForm", "Existing");
    c.rules = p.Svc.SignRuledBy;
    if (const SkyData* sky = p.Find<SkyData>()) {
        c.stars = &sky->Stars;
        c.deep = &sky->Deep;
    }
    c.name = DataField(p, "NameEdit", 0);
    c.city = DataField(p, "CityEdit", 7);
    return c;
}

void IntNatal(shell::Program& p, TInterp& w) {
    ReportWriter& wr = w.Writer();
    ReportWriter::BusyScope busy(wr);
    shell::BringStarsToChartMoment(p);
    const ReportChart c = CurrentReportChart(p);
    wr.Run([&] { ChartReports(wr, c).Natal(); });
}

bool IntPlanetReport(shell::Program& p, TInterp& w, int n) {
    const ReportChart c = CurrentReportChart(p);
    if (n < 1 || n > 26 || !c.keyOf[static_cast<std::size_t>(n)]) return false;
    w.RefreshBaseSettings();
    ReportWriter& wr = w.Writer();
    wr.Run([&] { ChartReports(wr, c).PlanetReport(n); }, false);
    w.ShowAskedText();
    return true;
}

void IntHouseReport(shell::Program& p, TInterp& w, int h) {
    if (h < 1 || h > 12) return;
    const ReportChart c = CurrentReportChart(p);
    w.RefreshBaseSettings();
    ReportWriter& wr = w.Writer();
    wr.Run([&] { ChartReports(wr, c).HouseReport(h); }, false);
    w.ShowAskedText();
}

void N57Click(shell::Program& p, TInterp& w, int point) {
    p.Flags.InterpPoint = point;
    if (point >= 1 && point <= 26)
        IntPlanetReport(p, w, point);
    else if (point >= 27 && point <= 38)
        IntHouseReport(p, w, point - 26);
}

bool IntStarText(shell::Program& p, TInterp& w, int star) {
    const SkyData* sky = p.Find<SkyData>();
    if (!sky) return false;
    w.RefreshBaseSettings();
    ReportWriter::BusyScope busy(w.Writer());
    return ShowLines(p, w, StarText(w.Writer(), sky->Stars, star));
}

bool IntDeepSkyText(shell::Program& p, TInterp& w, int object) {
    const SkyData* sky = p.Find<SkyData>();
    if (!sky) return false;
    w.RefreshBaseSettings();
    ReportWriter::BusyScope busy(w.Writer());
    return ShowLines(p, w, DeepSkyText(w.Writer(), sky->Deep, object));
}

bool IntPlanetText(shell::Program& p, TInterp& w, int planet) {
    ReportWriter::BusyScope busy(w.Writer());
    return ShowLines(p, w, NumberedText(w.Writer(), PlanetTextFile(p.s.EnglishMode), planet));
}

bool IntSignText(shell::Program& p, TInterp& w, int sign) {
    ReportWriter::BusyScope busy(w.Writer());
    return ShowLines(p, w, NumberedText(w.Writer(), SignTextFile(p.s.EnglishMode), sign));
}

bool IntAspectText(shell::Program& p, TInterp& w, int a, int b) {
    const ReportChart c = CurrentReportChart(p);
    w.RefreshBaseSettings();
    ReportWriter::BusyScope busy(w.Writer());
    if (ShowLines(p, w, ChartReports(w.Writer(), c).AspectText(a, b))) return true;
    SetStatus(p.s, Lang(p.s, "Нет интерпретации этого аспекта"_cp,
                        "No text for reading of this aspect"));
    return false;
}

void RegisterChartTexts(shell::Program& p, InterpReports& reports) {
    reports.ByItem["Nnatal"] = [&p](TInterp& w) { IntNatal(p, w); };
    shell::Services& svc = p.Svc;
    const auto onWindow = [](auto action) {
        return [action](auto... args) {
            if (TInterp* w = TextWindow()) action(*w, args...);
        };
    };
    svc.N57Click = onWindow([&p](TInterp& w, int point) { N57Click(p, w, point); });
    svc.IntStarText = onWindow([&p](TInterp& w, int i) { IntStarText(p, w, i); });
    svc.IntDeepSkyText = onWindow([&p](TInterp& w, int i) { IntDeepSkyText(p, w, i); });
    svc.IntPlanetText = onWindow([&p](TInterp& w, int n) { IntPlanetText(p, w, n); });
    svc.IntSignText = onWindow([&p](TInterp& w, int n) { IntSignText(p, w, n); });
    svc.IntAspectText = onWindow([&p](TInterp& w, int a, int b) { IntAspectText(p, w, a, b); });
    // The window that follows a chart point shows its report for the new chart.
    svc.RefreshWindow["Interp"] = [&p](ui::TForm& form) {
        if (auto* w = dynamic_cast<TInterp*>(&form); w && p.Flags.InterpPoint > 0)
            N57Click(p, *w, p.Flags.InterpPoint);
    };
}

} // namespace qor::interp
