#include "interp/MoonSgn.h"

#include "core/AstroMath.h"
#include "core/Files.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "interp/IntSet.h"
#include "interp/Report.h"
#include "interp/TextBase.h"

#include <cmath>

namespace qor::interp {

using namespace ui;

namespace {

constexpr int kPanelWidth = 20;

} // namespace

int MoonSignOf(double lon) {
    const double k = std::floor(lon / (kPi / 6));
    return (k < 0 ? 0 : k > 11 ? 11 : static_cast<int>(k)) + 1;
}

MoonSignBase::Load MoonSignBase::Use(const AstroDat& s, const std::string& name, IoResult& error) {
    error = {};
    const std::string trimmed = Trim(name);
    if (trimmed.empty()) return Load::Off;
    const fs::path path = BasePath(s, trimmed).lexically_normal();
    if (path == s.DataPath("nofile").lexically_normal()) return Load::Off;
    std::error_code ec;
    const auto time = fs::last_write_time(path, ec);
    const auto size = ec ? 0 : fs::file_size(path, ec);
    if (!ec && loaded_ && path == path_ && time == time_ && size == size_) return Load::Read;
    std::string bytes;
    const IoResult r = ReadFileBytes(path, bytes, kTextFileMaxBytes);
    if (!r.ok()) {
        error = r;
        // Told once for the file: the window refreshes after every recompute.
        const bool told = failed_ == path;
        failed_ = path;
        return told ? Load::Off : Load::Failed;
    }
    ++Reads;
    failed_.clear();
    path_ = path;
    time_ = time;
    size_ = size;
    bytes_ = std::move(bytes);
    loaded_ = true;
    return Load::Read;
}

std::vector<std::string> MoonSignBase::SignText(int sign) const {
    const auto rule = [sign](std::string_view h) {
        return h.size() >= 3 && StrToIntDef0(h.substr(1, 2)) == sign ? Verdict::Take
                                                                     : Verdict::Skip;
    };
    const std::vector<Section> found = ReadSections(bytes_, rule);
    return found.empty() ? std::vector<std::string>{} : found.front().lines;
}

TMoonSgn::TMoonSgn(shell::Program& p) : TForm("MoonSgn"), p_(p) {
    SetCaption(Lang(p.s, "Луна в знаке: "_cp, "Moon in Sign - "));
    BaseCaption = Caption();
    SetToolWindow(true);
    SetStoresSettings(true);
    SetHelpTopic("moon_in_signs.html");
    SetBounds(300, 160, 460, 340);

    Memo = Add<TMemo>("Memo");
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    SetTag(Memo, 1); // the text is no setting
    Memo1 = Add<TMemo>("Memo1");
    SetTag(Memo1, 1);
    SetVisible(Memo1, false);
    Panel = Add<TPanel>("Panel");
    ScrollBar = Add<TScrollBar>("ScrollBar", Panel);
    ScrollBar->SetRange(0, 11);
    ScrollBar->setPageStep(1);
    ScrollBar->OnChange = [this] { ShowMoonSignText(ScrollBar->Position() + 1); };

    OnResize = [this] {
        const int w = Client()->width(), h = Client()->height();
        ui::SetBounds(Memo, 0, 0, w - kPanelWidth, h);
        ui::SetBounds(Panel, w - kPanelWidth, 0, kPanelWidth, h);
        ui::SetBounds(ScrollBar, 1, 1, kPanelWidth - 2, h - 2);
    };
    OnShow = [this] { ShowMoonInSign(); };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };
}

void TMoonSgn::ShowMoonInSign() {
    const PointArray& lon = p_.Flags.DoubleChart ? p_.s.PlanetLonBck : p_.s.PlanetLon;
    const int sign = MoonSignOf(lon[2]);
    {
        // The text is shown once below, whether the position moves or not.
        const auto change = std::move(ScrollBar->OnChange);
        ScrollBar->OnChange = nullptr;
        ScrollBar->SetPosition(sign - 1);
        ScrollBar->OnChange = change;
    }
    ShowMoonSignText(sign);
}

void TMoonSgn::ShowMoonSignText(int sign) {
    Memo1->Clear();
    {
        NamesAs words(p_.s, false, false);
        SetCaption(BaseCaption + Trim(SignName(p_.s, sign)));
    }
    IoResult error;
    const std::string name = BaseSettingsOf(p_)[BaseId::MoonMed].file;
    switch (base_.Use(p_.s, name, error)) {
    case MoonSignBase::Load::Off:
        return;
    case MoonSignBase::Load::Failed:
        TextReadCheck(p_.s, error, BasePath(p_.s, Trim(name)).string());
        return;
    case MoonSignBase::Load::Read:
        break;
    }
    Memo1->SetLines(base_.SignText(sign));
    Memo->SetLines(Memo1->Lines());
}

void RegisterMoonSgn(shell::Program& p) {
    p.FormClasses.Register("MoonSgn", [&p] { return new TMoonSgn(p); });
    p.Svc.RefreshWindow["MoonSgn"] = [](TForm& f) {
        if (auto* w = dynamic_cast<TMoonSgn*>(&f)) w->ShowMoonInSign();
    };
}

} // namespace qor::interp
