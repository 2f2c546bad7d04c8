#include "chart/ChartWindows.h"

#include "chart/Base.h"
#include "chart/CHistory.h"
#include "chart/DataForm.h"
#include "chart/KartForm.h"
#include "chart/NewAsp.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"
#include "core/Formats.h"
#include "core/Text.h"

#include <QDateTime>

namespace qor::chart {

TDataForm* DataFormOf() {
    return dynamic_cast<TDataForm*>(ui::Screen().FindForm("DataForm"));
}

TKartForm* KartFormOf() {
    return dynamic_cast<TKartForm*>(ui::Screen().FindForm("KartForm"));
}

void TellUser(shell::Program& p, MsgKind kind, const std::string& text, bool refusal) {
    if (!p.Flags.LinkCommand) {
        ui::Screen().Dlg().Message(kind, text, ui::MsgButtons::Ok);
        return;
    }
    SetStatus(p.s, text);
    if (refusal && p.Form1 && p.Form1->Link)
        p.Form1->Link->MsgWriteLine(shell::MsgFile::Send, "Error;" + text);
}

bool AskUser(shell::Program& p, const std::string& question) {
    if (p.Flags.LinkCommand) {
        TellUser(p, MsgKind::Confirmation,
                 question + Lang(p.s, " — ответить может только человек"_cp,
                                 " (only a person can answer)"),
                 true);
        return false;
    }
    return ui::Screen().Dlg().Message(MsgKind::Confirmation, question, ui::MsgButtons::YesNo) ==
           ui::MsgResult::Yes;
}

void RegisterChartWindows(shell::Program& p) {
    p.FormClasses.Register("DataForm", [&p] {
        auto* d = new TDataForm(p);
        d->AddChartHistory = [&p] { chart::AddChartHistory(p); };
        return d;
    });
    p.FormClasses.Register("KartForm", [&p] { return new TKartForm(p); });
    p.FormClasses.Register("NewAsp", [&p] { return new TNewAsp(p); });
    RegisterBaseWindow(p);
    RegisterHistory(p);
    shell::Services& svc = p.Svc;

    auto onData = [](void (TDataForm::*f)()) {
        return [f] {
            if (TDataForm* d = DataFormOf()) (d->*f)();
        };
    };
    svc.AddStartStep(shell::StartStage::Captions, "LoadDataCaptions",
                     onData(&TDataForm::LoadDataCaptions));
    svc.DataFormToDatRec = onData(&TDataForm::DataFormToDatRec);
    svc.DataFormToBackRec = onData(&TDataForm::DataFormToBackRec);
    svc.TakeGeoMapPlace = [](const std::string& cityAndCountry) {
        if (TDataForm* d = DataFormOf()) d->TakeGeoMapPlace(cityAndCountry);
    };
    // The start-up's way in: a place the own-place window does not have yet leaves its field
    // empty; the field then takes the computer's zone and the place of the chart so far.
    svc.DataFormToMoment = [&p] {
        TDataForm* d = DataFormOf();
        if (!d) return;
        if (Trim(d->dTEdit->Text()).empty())
            d->dTEdit->SetText(MomentZoneText(QDateTime::currentDateTime().offsetFromUtc() / 60));
        if (Trim(d->LatEdit->Text()).empty()) d->LatEdit->SetText(FormatLatitude(p.s.ChartLat));
        if (Trim(d->LongEdit->Text()).empty()) d->LongEdit->SetText(FormatLongitude(p.s.ChartLong));
        d->DataFormToMoment();
    };
    svc.DatRecToDataForm = onData(&TDataForm::DatRecToDataForm);
    svc.MomentToDataForm = onData(&TDataForm::MomentToDataForm);
    svc.MomentToDatRec = onData(&TDataForm::MomentToDatRec);
    svc.ApplyData = [] {
        TDataForm* d = DataFormOf();
        return d && d->ApplyData();
    };
    // The aspect page the settings name (the built-in page is in force until then).
    svc.AddStartStep(shell::StartStage::Views, "LoadAspectPage", [] {
        if (TKartForm* k = KartFormOf()) k->StartAspectPage();
    });
    svc.AddStartStep(shell::StartStage::Views, "SyncCoordColumnCombo", [] {
        if (TKartForm* k = KartFormOf()) k->SyncCoordColumnCombo();
    });
    svc.AddStartStep(shell::StartStage::Asteroids, "LoadStatusAndColors", [] {
        if (TKartForm* k = KartFormOf()) k->LoadStatusAndColors();
    });
    svc.SignRuledBy = [](int sign, int body) {
        static const Dignities kDefault = DecodeStatusMemo(DefaultStatusMemo());
        const TKartForm* k = KartFormOf();
        return (k ? k->PlnStatus : kDefault).Has(kRulership, sign, body);
    };
}

} // namespace qor::chart
