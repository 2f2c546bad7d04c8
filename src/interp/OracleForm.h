// The I Ching oracle window "IZIN": three coins a click give one line, six lines a hexagram,
// drawn bottom up on the casting area; then its text from "oracle.txt" (Russian) or
// "oracle-eng.txt" (English, with the texts of the changing lines).
//
// The pause after a throw runs on a one-shot timer of the window: a click meanwhile throws
// nothing, and closing the window (Esc included) cancels the throw with the timer.
#pragma once

#include "interp/Oracle.h"
#include "shell/Program.h"
#include "ui/Forms.h"

#include <QImage>

#include <optional>

namespace qor::interp {

class TIZIN : public ui::TForm {
public:
    explicit TIZIN(shell::Program& p);

    ui::TPaintBox* PaintBox; // the casting area, the whole client below the panel
    ui::TPanel* Panel;
    ui::TSpeedButton* SpeedButton;
    ui::TLabel* Label1;
    ui::TMemo* Memo;        // instructions and the answer, over the upper casting area
    ui::TTimer* Timer;      // 1 s after the sixth line: the text
    ui::TTimer* PauseTimer; // the pause between the coins of a line and the line

    // A test fixes the seed of the coins; else each casting is seeded from the clock.
    std::optional<uint32_t> Seed;

    void SpeedButtonClick();
    // Throws the three coins of one line at the click point (x, y) of the casting area.
    void ThrowOracleLine(int x, int y);
    void ShowHexagramText();

    bool Ready() const { return ready_; }
    bool Active() const { return active_; }
    bool Idle() const { return idle_; }
    int LineCount() const { return line_; }
    // Coin k (1..3) of line l (1..6): 2 or 3.
    int Coin(int k, int l) const { return coins_[k - 1][l - 1]; }
    // The values 6..9 of the lines cast so far (0 for the others).
    const HexagramLines& Values() const { return values_; }
    int Hexagram() const { return hexagram_; }
    // The casting area as drawn.
    const QImage& Drawing() const { return buffer_; }

private:
    void EnsureBuffer();
    void FinishLine();
    void DrawLine(int value);
    void ClearCoinRow();

    shell::Program& p_;
    OracleRandom random_;
    QImage buffer_;
    bool ready_ = true, active_ = false, idle_ = true;
    int line_ = 0, coin_ = 0;
    int coins_[3][6] = {};
    HexagramLines values_{};
    int hexagram_ = 0;
    int centreX_ = 0, coinY_ = 0, lineY_ = 0;
};

} // namespace qor::interp
