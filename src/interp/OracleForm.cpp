#include "interp/OracleForm.h"

#include "core/Files.h"
#include "core/Text.h"
#include "interp/Report.h"
#include "ui/Canvas.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include <chrono>

namespace qor::interp {

using namespace ui;

namespace {

constexpr int kWidth = 420, kHeight = 470, kPanelHeight = 44;
constexpr Colour kCoinColours[2] = {0x000000, 0x0000FF}; // value 0 black, 1 red
constexpr Colour kLineColour = 0xC0C0C0;
constexpr int kMemoGap = 140; // the strip of the casting area the memo leaves free (lines, coins)

// Runs a handler on each mouse release of a widget (the memo's text area).
class ReleaseFilter : public QObject {
public:
    ReleaseFilter(QObject* parent, std::function<void(int x, int y)> run)
        : QObject(parent), run_(std::move(run)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonRelease) {
            const QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
            run_(p.x(), p.y());
        }
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<void(int, int)> run_;
};

} // namespace

TIZIN::TIZIN(shell::Program& p) : TForm("IZIN"), p_(p) {
    SetCaption("Оракул  И-Цзин"_cp);
    SetToolWindow(true);
    SetStoresSettings(true);
    SetHelpTopic("oracle.html");
    SetBorderStyle(BorderStyle::Dialog);
    SetColor(kWhite);
    const QRect work = Screen().WorkArea();
    SetBounds(work.x() + (work.width() - kWidth) / 2, work.y() + (work.height() - kHeight) / 2,
              kWidth, kHeight);

    PaintBox = Add<TPaintBox>("PaintBox");
    Panel = Add<TPanel>("Panel");
    SpeedButton = Add<TSpeedButton>("SpeedButton", Panel);
    SpeedButton->SetCaption("?");
    Label1 = Add<TLabel>("Label1", Panel);
    Label1->SetCaption("Задайте вопрос Оракулу"_cp);
    Memo = Add<TMemo>("Memo");
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    SetTag(Memo, 1); // the text is no setting
    Timer = Add<TTimer>("Timer");
    Timer->SetInterval(1000);
    PauseTimer = Add<TTimer>("PauseTimer");
    PauseTimer->SetInterval(500);

    PaintBox->OnPaint = [this](QPainter& g) {
        if (!buffer_.isNull()) g.drawImage(0, 0, buffer_);
    };
    PaintBox->OnMouseUp = [this](MouseButton, Shift, int x, int y) { ThrowOracleLine(x, y); };
    Memo->viewport()->installEventFilter(new ReleaseFilter(Memo, [this](int x, int y) {
        if (!active_) return;
        SetVisible(Memo, false);
        const QPoint at = Memo->viewport()->mapTo(PaintBox, QPoint(x, y));
        ThrowOracleLine(at.x(), at.y());
    }));
    SpeedButton->OnClick = [this] { SpeedButtonClick(); };
    Timer->OnTimer = [this] {
        Timer->SetEnabled(false);
        ShowHexagramText();
    };
    PauseTimer->OnTimer = [this] {
        PauseTimer->SetEnabled(false);
        FinishLine();
    };

    OnResize = [this] {
        const int w = Client()->width(), h = Client()->height();
        ui::SetBounds(Panel, 0, 0, w, kPanelHeight);
        ui::SetBounds(SpeedButton, 8, 6, 32, 32);
        ui::SetBounds(Label1, 50, 6, w - 58, 32);
        ui::SetBounds(PaintBox, 0, kPanelHeight, w, h - kPanelHeight);
        ui::SetBounds(Memo, 8, kPanelHeight + 8, w - 16, h - kPanelHeight - kMemoGap);
        EnsureBuffer();
    };
    OnShow = [this] {
        EnsureBuffer();
        FontSpec font = FromQFont(Memo->font());
        font.color = kBlack;
        SetFontSpec(Memo, font);
        Memo->SetLines({GetMsgText(p_.s, 159)});
        SetVisible(Memo, true);
        Label1->SetCaption(GetMsgText(p_.s, 161));
        ready_ = true;
        active_ = false;
    };
    OnClose = [this](CloseAction& a) {
        // A throw in its pause and a text still to come are cancelled with their timers.
        active_ = false;
        PauseTimer->SetEnabled(false);
        Timer->SetEnabled(false);
        SetVisible(Memo, false);
        a = CloseAction::Free;
    };
}

void TIZIN::EnsureBuffer() {
    const QSize size = PaintBox->size();
    if (size.isEmpty() || buffer_.size() == size) return;
    QImage grown(size, QImage::Format_RGB32);
    grown.fill(Qt::white);
    if (!buffer_.isNull()) {
        QPainter g(&grown);
        g.drawImage(0, 0, buffer_);
    }
    buffer_ = grown;
}

void TIZIN::SpeedButtonClick() {
    if (!ready_) {
        // The casting has ended: the button closes the window.
        Close();
        return;
    }
    PlayWav(p_.s, "Begin.wav");
    random_.Seed(Seed ? *Seed
                      : static_cast<uint32_t>(
                            std::chrono::steady_clock::now().time_since_epoch().count()));
    EnsureBuffer();
    buffer_.fill(Qt::white);
    PaintBox->Invalidate();
    centreX_ = PaintBox->width() / 2;
    lineY_ = PaintBox->height() - 50;
    line_ = coin_ = 0;
    values_ = {};
    hexagram_ = 0;
    Label1->SetCaption(GetMsgText(p_.s, 162));
    Memo->SetLines({GetMsgText(p_.s, 160)});
    SetVisible(Memo, true);
    active_ = idle_ = true;
    ready_ = false;
}

void TIZIN::ClearCoinRow() {
    Canvas c(buffer_);
    c.SetBrushColor(kWhite);
    c.FillRect(0, coinY_ - 10, buffer_.width(), coinY_ + 10);
}

void TIZIN::ThrowOracleLine(int x, int y) {
    if (!active_ || !idle_ || line_ >= 6) return;
    idle_ = false;
    EnsureBuffer();
    ++line_;
    coinY_ = PaintBox->height() - 20;
    int coinX = centreX_ - 40;
    ClearCoinRow();
    {
        Canvas c(buffer_);
        for (coin_ = 1; coin_ <= 3; ++coin_) {
            const int coin = CoinOf(random_.Bit(), x, y);
            c.SetPenColor(kCoinColours[coin]);
            c.SetBrushColor(kCoinColours[coin]);
            c.Ellipse(coinX - 10, coinY_ - 10, coinX + 10, coinY_ + 10);
            coins_[coin_ - 1][line_ - 1] = coin + 2;
            coinX += 40;
        }
    }
    values_[static_cast<std::size_t>(line_ - 1)] =
        coins_[0][line_ - 1] + coins_[1][line_ - 1] + coins_[2][line_ - 1];
    PaintBox->Invalidate();
    PlayWav(p_.s, "Stone.wav");
    PauseTimer->SetEnabled(true);
}

void TIZIN::FinishLine() {
    if (!active_) return;
    DrawLine(values_[static_cast<std::size_t>(line_ - 1)]);
    if (line_ < 6) PlayWav(p_.s, "Couto.wav");
    ClearCoinRow();
    PaintBox->Invalidate();
    if (line_ == 6) {
        hexagram_ = HexagramNumber(values_);
        Label1->SetCaption(GetMsgText(p_.s, 163));
        PlayWav(p_.s, "Oracl.wav");
        Timer->SetEnabled(true);
        active_ = false;
    }
    idle_ = true;
}

void TIZIN::DrawLine(int value) {
    Canvas c(buffer_);
    const int cx = centreX_, y = lineY_;
    c.SetPenColor(kLineColour);
    c.SetBrushColor(kLineColour);
    if (value == 7 || value == 9) {
        c.Rectangle(cx - 40, y - 2, cx + 40, y + 2);
    } else {
        c.Rectangle(cx - 40, y - 2, cx - 13, y + 2);
        c.Rectangle(cx + 13, y - 2, cx + 40, y + 2);
    }
    if (value == 9 || value == 6) {
        // The changing lines: a white dot in the old yang, a grey one in the gap of the old yin.
        const Colour dot = value == 9 ? kWhite : kLineColour;
        c.SetBrushColor(dot);
        c.SetPenColor(dot);
        c.Ellipse(cx - 2, y - 2, cx + 2, y + 2);
    }
    lineY_ -= 15;
}

void TIZIN::ShowHexagramText() {
    AstroDat& s = p_.s;
    const std::string name = s.EnglishMode ? "oracle-eng.txt" : "oracle.txt";
    std::vector<std::string> file;
    if (TextReadCheck(s, ReadTextLines(s.DataPath(name), file, kTextFileMaxBytes), name)) return;
    Memo->SetLines(s.EnglishMode ? EnglishHexagramText(file, hexagram_, values_)
                                 : RussianHexagramText(file, hexagram_));
    SetVisible(Memo, true);
}

} // namespace qor::interp
