// The table of text bases: which file each kind of chart fact is read from, and the switch
// that turns the base on. The setup window "IntSet" holds one edit (the file, relative to the
// program folder) and most bases a check box; the readers get a copy of them as plain
// settings. The file name "nofile", like an empty name, switches a base off.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace qor::interp {

enum class BaseId {
    MoonMed,  // Moon in the signs (the Moon-in-sign window)
    Moon,     // the days of the Moon
    Totem,    // totem of the year
    TotemMes, // totem of the month
    TotemDay, // totem of the day
    SynPH,    // synastry: planets in the partner's houses
    SynPAP,   // synastry: aspects between the charts
    Sign,     // planets in the signs
    Combin,   // planets in houses and signs
    House,    // planets in the houses
    Aspect,   // aspects of the planets
    SunAsc,   // the Sun with the ascendant
    Hsign,    // house cusps in the signs
    Hasp,     // aspects planet / cusp
    UD,       // rulers of the houses in the houses
    Stars,    // stars with the planets
    LHHR,     // lunar return: its houses in the radix houses
    LPA,      // lunar return: aspects of its planets
    LPAR,     // lunar return: its planets to the radix planets
    LPH,      // lunar return: its planets in its houses
    B,        // transits: business
    H,        // transits: health
    L,        // transits: love and family
    Rgradus,  // degree symbols, first text
    Ggradus,  // degree symbols, second text
    SHHR,     // solar return: its houses in the radix houses
    SPA,      // solar return: aspects of its planets
    SPH,      // solar return: its planets in its houses
};
constexpr std::size_t kBaseCount = 28;
constexpr std::size_t kBaseGroups = 9;

struct BaseInfo {
    BaseId id;
    int group;           // 0..8, the group box of the setup window
    const char* edit;    // the edit of the file name
    const char* file;    // the default file of the Russian edition
    const char* box;     // the switch, or nullptr
    const char* caption; // the switch's caption (UTF-8), or nullptr
    bool on;             // the switch's default
};

// The bases in the order of the setup window.
const std::array<BaseInfo, kBaseCount>& Bases();
const BaseInfo& BaseOf(BaseId id);
// The group captions (UTF-8).
const std::array<const char*, kBaseGroups>& BaseGroupCaptions();

// The default file of a base: the English edition's name has "-e" before ".txt"
// ("Txt\Verlin\sign-e.txt").
std::string DefaultBaseFile(BaseId id, bool english);

// One base as the readers see it.
struct BaseSetting {
    std::string file; // program name, code page 1251
    bool on = true;   // its switch (always on for a base without one)
};

struct TextBaseSettings {
    std::array<BaseSetting, kBaseCount> bases;
    BaseSetting& operator[](BaseId id) { return bases[static_cast<std::size_t>(id)]; }
    const BaseSetting& operator[](BaseId id) const { return bases[static_cast<std::size_t>(id)]; }
    // The setup window's defaults for the language.
    static TextBaseSettings Defaults(bool english);
};

} // namespace qor::interp
