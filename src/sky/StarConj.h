// The planet-star conjunctions: the named stars and the deep-sky objects within a degree of
// ecliptic longitude of the Sun, the Moon, the planets, Pluto and Chiron, as lines of text,
// and the window "StarConj" that shows them for the current chart.
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"

#include <string>
#include <vector>

namespace qor {

struct DeepCatalogue;
struct SkyData;
struct StarCatalogue;

// The lines of the list: for each point with something within 1° (inclusive), a header (the
// point's name and longitude), then its stars in catalogue order and its deep-sky objects in
// file order (name, designation or code, magnitude, longitude and the distance in brackets).
std::vector<std::string> ListStarConjunctions(AstroDat& s, const StarCatalogue& c,
                                              const DeepCatalogue& d);

// A text in exactly w characters: line ends taken out, blanks added or the rest cut.
std::string FitText(std::string text, std::size_t w);

class TStarConj : public ui::TForm {
public:
    TStarConj(shell::Program& p, SkyData& sky);
    ui::TMemo* Memo;
    ui::TMemo* Memo1;
    // Brings the stars to the chart's moment when they were computed for another one, then
    // fills both memos.
    void Fill();

private:
    shell::Program& p_;
    SkyData& sky_;
};

void RegisterStarConj(shell::Program& p, SkyData& sky);

} // namespace qor
