#include "forecast/StepWindow.h"

#include "core/ChartMoment.h"
#include "core/ChartRecords.h"
#include "core/Text.h"
#include "shell/MainForm.h"
#include "shell/Tech.h"

#include <QGuiApplication>

namespace qor::forecast {

using namespace ui;

namespace {

constexpr int kClientWidth = 404;
constexpr int kRowHeight = 24;
// The columns of a row: label, spin, jog dial, arrows.
constexpr int kLabelLeft = 12, kLabelWidth = 72;
constexpr int kSpinLeft = 86, kSpinWidth = 64;
constexpr int kUnitSpinLeft = 40;
constexpr int kDialLeft = 158, kDialWidth = 180;
constexpr int kArrowsLeft = 344, kArrowsWidth = 48;

const char* const kSpinNames[] = {"SpinGod", "SpinMes", "SpinDay",
                                  "SpinHor", "SpinMin", "SpinSecond"};

} // namespace

bool PointerCanMove() {
    return Screen().Cursor().MoveReal &&
           !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

TStepWindow::TStepWindow(shell::Program& p, std::string_view name,
                         const std::array<RowSpec, kRows>& rows, const char* groupCaption1,
                         const char* groupCaption2)
    : TForm(name), p_(p) {
    SetBorderStyle(BorderStyle::Single);
    SetToolWindow(true);
    SetKeyPreview(true);
    SetStoresSettings(true);

    TabControl1 = Add<TTabControl>("TabControl1", {4, 4, kClientWidth - 8, 28});
    TabControl1->SetTabs({"Исходные данные"_cp, "Фоновые данные"_cp});
    TabControl1->OnChange = [this] { TabControl1Change(); };

    // The rows' tops: one block of six, or two groups of three.
    const bool grouped = groupCaption1 && groupCaption2;
    std::array<int, kRows> top{};
    for (int i = 0; i < kRows; ++i)
        top[i] = grouped ? 60 + (i / 3) * 108 + (i % 3) * 28 : 42 + i * 30;
    if (grouped) {
        AddGroup("GroupBox1", Cp(groupCaption1), {6, 38, kClientWidth - 12, 104}, Client());
        AddGroup("GroupBox2", Cp(groupCaption2), {6, 146, kClientWidth - 12, 104}, Client());
    }
    for (int i = 0; i < kRows; ++i) {
        const int y = top[i];
        const std::string n = std::to_string(i + 1);
        // A unit mark ("°") follows its spin; a row name ("Годы") goes before it.
        const int spinLeft = grouped ? kUnitSpinLeft : kSpinLeft;
        const QRect label = grouped ? QRect(spinLeft + kSpinWidth + 4, y + 3, 24, 20)
                                    : QRect(kLabelLeft, y + 3, kLabelWidth, 20);
        RowLabels[i] = AddLabel("Label" + n, Cp(rows[i].name), label, Client());
        Spins[i] = Add<TSpinEdit>(kSpinNames[i], {spinLeft, y, kSpinWidth, kRowHeight});
        Spins[i]->SetRange(-rows[i].range, rows[i].range);
        Spins[i]->SetValue(0);
        TSpinEdit* spin = Spins[i];
        Spins[i]->OnChange = [this] { UpdateControls(); };
        // A spin left empty steps by nothing.
        QObject::connect(spin, &QAbstractSpinBox::editingFinished, [spin] {
            if (spin->cleanText().trimmed().isEmpty()) spin->SetValue(0);
        });
        TrackBars[i] = Add<TTrackBar>("TrackBar" + n, {kDialLeft, y, kDialWidth, kRowHeight});
        TrackBars[i]->SetRange(-kJogEnd, kJogEnd);
        TrackBars[i]->SetPosition(0);
        SetTag(TrackBars[i], 1); // a jog's position is no setting
        TrackBars[i]->OnChange = [this, i] { TrackBarChange(i); };
        QObject::connect(TrackBars[i], &QSlider::sliderReleased,
                         [this, i] { TrackBarReleased(i); });
        UpDowns[i] = Add<TUpDown>("UpDown" + n, {kArrowsLeft, y, kArrowsWidth, kRowHeight});
        UpDowns[i]->OnClick = [this, i](bool forward) { UpDownClick(i, forward); };
    }
    SpinGod = Spins[0], SpinMes = Spins[1], SpinDay = Spins[2];
    SpinHor = Spins[3], SpinMin = Spins[4], SpinSecond = Spins[5];

    const int yb = grouped ? 262 : 226;
    StartBtn = AddButton("StartBtn", "Старт"_cp, {8, yb, 92, 28}, Client());
    StopBtn = AddButton("StopBtn", "Стоп"_cp, {104, yb, 92, 28}, Client());
    ReversBtn = AddButton("ReversBtn", "Реверс"_cp, {200, yb, 92, 28}, Client());
    BitBtn1 = AddButton("BitBtn1", "<", {300, yb, 46, 28}, Client());
    BitBtn2 = AddButton("BitBtn2", ">", {350, yb, 46, 28}, Client());
    StartBtn->OnClick = [this] { StartBtnClick(); };
    StopBtn->OnClick = [this] { StopBtnClick(); };
    ReversBtn->OnClick = [this] { ReversBtnClick(); };
    BitBtn1->OnClick = [this] { BitBtn1Click(); };
    BitBtn2->OnClick = [this] { BitBtn2Click(); };

    TempBox = AddGroup("TempBox", "Темп"_cp, {6, yb + 36, kClientWidth - 12, 52}, Client());
    TempMax = AddRadio("TempMax", "Максимальный"_cp, {10, 22, 170, 22}, TempBox);
    Temp1 = AddRadio("Temp1", "Цикл в секунду"_cp, {190, 22, 196, 22}, TempBox, true);

    Timer1 = Add<TTimer>("Timer1");
    Timer1->SetEnabled(false);
    Timer1->SetInterval(kFastMs);
    Timer1->OnTimer = [this] { Timer1Timer(); };

    OnKeyDown = [this](int& key, Shift sh) { FormKeyDown(key, sh); };
    const int height = yb + 36 + 52 + 8;
    const QRect area = Screen().WorkArea();
    SetBounds(area.x() + std::max(0, area.width() - kClientWidth - 40), area.y() + 90, kClientWidth,
              height);
}

std::array<int, TStepWindow::kRows> TStepWindow::StepValues() const {
    std::array<int, kRows> v{};
    for (int i = 0; i < kRows; ++i)
        v[i] = Spins[i]->cleanText().trimmed().isEmpty() ? 0 : Spins[i]->Value();
    return v;
}

bool TStepWindow::AllZero() const {
    for (int v : StepValues())
        if (v != 0) return false;
    return true;
}

bool TStepWindow::Move(const std::array<int, kRows>& step) {
    bool zero = true;
    for (int v : step) zero = zero && v == 0;
    if (zero) return true;
    AstroDat& s = p_.s;
    const bool back = !p_.Flags.SourceData;
    if (back) {
        // Both sets must read, or the exchange back could not be made.
        if (!ParseChartMoment(s, s.DatRec2) || !ParseChartMoment(s, s.DatRec1)) {
            EndRun();
            UnpackDatRecToChart(s, ParseChartMoment(s, s.DatRec2) ? s.DatRec1 : s.DatRec2);
            return false;
        }
        SwapCharts(s);
    }
    ApplyStep(step);
    if (p_.Svc.MomentToDataForm) p_.Svc.MomentToDataForm();
    if (p_.Svc.MomentToDatRec) p_.Svc.MomentToDatRec();
    if (back) SwapCharts(s);
    if (p_.Tech) p_.Tech->RefreshAll();
    return true;
}

void TStepWindow::BitBtn1Click() {
    std::array<int, kRows> v = StepValues();
    for (int& x : v) x = -x;
    Move(v);
}

void TStepWindow::BitBtn2Click() {
    Move(StepValues());
}

void TStepWindow::ReversBtnClick() {
    const std::array<int, kRows> v = StepValues();
    for (int i = 0; i < kRows; ++i) Spins[i]->SetValue(-v[i]);
}

void TStepWindow::UpDownClick(int row, bool forward) {
    const int v = StepValues()[row];
    if (v == 0) return;
    std::array<int, kRows> step{};
    step[row] = forward ? v : -v;
    Move(step);
}

void TStepWindow::TrackBarChange(int row) {
    TTrackBar* dial = TrackBars[row];
    const int pos = dial->Position();
    // Held at an end stop the dial moves nothing until it is let go.
    if (latched_[row]) return;
    const int diff = pos - remembered_[row];
    if (diff != 0) {
        remembered_[row] = pos;
        std::array<int, kRows> step{};
        step[row] = diff;
        Move(step);
    }
    if (pos != kJogEnd && pos != -kJogEnd) return;
    // An endless jog: back to the centre. Where the pointer can be moved it goes to the
    // dial's centre and the drag goes on from there; elsewhere a drag in progress ends at the
    // stop and the dial is centred when it is let go.
    remembered_[row] = 0;
    if (dial->isSliderDown() && !PointerCanMove()) {
        latched_[row] = true;
        return;
    }
    dial->SetPosition(0);
    if (dial->isSliderDown()) Screen().Cursor().SetPos(Pointer::CentreOf(dial));
}

void TStepWindow::TrackBarReleased(int row) {
    if (!latched_[row]) return;
    latched_[row] = false;
    remembered_[row] = 0;
    TrackBars[row]->SetPosition(0);
}

void TStepWindow::TabControl1Change() {
    const bool source = TabControl1->TabIndex() == 0;
    if (p_.Tech) {
        p_.Tech->SetDynamicsSource(source); // both windows follow
        UpdateCaption();
        return;
    }
    p_.Flags.SourceData = source;
    UpdateCaption();
}

bool TStepWindow::TickHeld() const {
    if (const shell::TForm1* f1 = p_.Form1; f1 && (f1->PaintBoxButtonDown || f1->GeoDragging))
        return true;
    if (const shell::ScreenHandler* screen = p_.Svc.ScreenOf(p_.Flags.ScreenMode);
        screen && screen->Held && screen->Held())
        return true;
    return !p_.Flags.RefreshReady || !p_.Flags.ProgramIdle;
}

void TStepWindow::Timer1Timer() {
    if (!Running()) {
        Timer1->SetEnabled(false);
        return;
    }
    if (TickHeld()) return;
    Timer1->SetEnabled(false);
    Timer1->SetInterval(TempMax->Checked() ? kFastMs : kSlowMs);
    TickMark();
    if (!AllZero()) Move(StepValues());
    // A move that ended the run (an unreadable background set) leaves the timer off.
    if (Running()) Timer1->SetEnabled(true);
}

void TStepWindow::UpdateControls() {
    const std::array<int, kRows> v = StepValues();
    const bool any = !AllZero();
    for (TButton* b : {StartBtn, BitBtn1, BitBtn2}) b->setEnabled(any);
    if (!any && (Running() || Timer1->Enabled())) EndRun();
    for (int i = 0; i < kRows; ++i) UpDowns[i]->setEnabled(v[i] != 0);
}

void TStepWindow::UpdateCaption() {
    for (int i = 0; i < kRows; ++i) {
        remembered_[i] = 0;
        latched_[i] = false;
        TrackBars[i]->SetPosition(0);
    }
    const bool source = p_.Flags.SourceData;
    TabControl1->SetTabIndex(source ? 0 : 1);
    SetCaption(CaptionFor(source));
    CaptionChanged();
}

void TStepWindow::FormKeyDown(int& key, Shift shift) {
    if (shift != 0) return;
    if (key == vk::OemComma) {
        if (BitBtn1->isEnabled()) BitBtn1Click();
        key = 0;
    } else if (key == vk::OemPeriod) {
        if (BitBtn2->isEnabled()) BitBtn2Click();
        key = 0;
    }
}

} // namespace qor::forecast
