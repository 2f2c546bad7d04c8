#include "chart/TableWindows.h"

#include "chart/AspTablForm.h"
#include "chart/AstroForm.h"
#include "chart/ExctAspForm.h"

namespace qor::chart {

using ui::Screen;

bool ShowExactAspect(shell::Program& p, const std::string& code) {
    auto* w = Screen().Ensure<TExctAsp>("ExctAsp");
    return w && w->ExctAspOpen(code);
}

void RegisterTableWindows(shell::Program& p) {
    p.FormClasses.Register("ExctAsp", [&p] { return new TExctAsp(p); });
    p.FormClasses.Register("AstroForm", [&p] { return new TAstroForm(p); });
    p.FormClasses.Register("AspTabl", [&p] { return new TAspTabl(p); });
    shell::Services& svc = p.Svc;
    svc.RefreshWindow["ExctAsp"] = [](ui::TForm& f) {
        if (auto* w = dynamic_cast<TExctAsp*>(&f)) w->ExctAspRefresh();
    };
    svc.RefreshWindow["AstroForm"] = [](ui::TForm& f) {
        if (auto* w = dynamic_cast<TAstroForm*>(&f)) w->RefreshTable();
    };
    svc.RefreshWindow["AspTabl"] = [](ui::TForm& f) {
        if (auto* w = dynamic_cast<TAspTabl*>(&f)) w->AspTableRebuild();
    };
    // "AstroForm,DrawGrid" and "AspTabl,DrawGrid" with an empty command: the rows of the
    // bodies, the lists of the aspect table.
    p.Commands.SetGridRefresh("AstroForm", [](ui::TDrawGrid&) {
        if (auto* w = dynamic_cast<TAstroForm*>(Screen().FindForm("AstroForm"))) w->RefreshTable();
    });
    p.Commands.SetGridRefresh("AspTabl", [](ui::TDrawGrid&) {
        if (auto* w = dynamic_cast<TAspTabl*>(Screen().FindForm("AspTabl"))) w->AspTableRebuild();
    });
}

} // namespace qor::chart
