// The section editor "Intxt": one section of a text base at a time in a memo, the sections
// paged by a scroll bar at the right; F2 writes the edited section back into the base (beside
// it first, then over it: a failed save leaves the base as it was). A star base (a header
// "[]") has its section titles checked against the star catalogue (F5 again).
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"

#include <functional>
#include <string>

namespace qor::interp {

class TIntxt : public ui::TForm {
public:
    // `starKnown` tells whether a catalogue star with a longitude has that name.
    TIntxt(shell::Program& p, std::function<bool(const std::string&)> starKnown = {});

    ui::TMemo* Memo;
    ui::TPanel* Panel;
    ui::TScrollBar* ScrollBar;

    std::string FileName;   // the base (a program name)
    int CurrentSection = 0; // 1-based; 0 before a base is loaded
    int Sections = 0;        // the count of sections of the base
    bool StarBase = false;

    // Shows the window with section 1 of the base.
    void ShowIntText(const std::string& fileName);
    // Loads section k into the memo (nothing, the file name as caption, when there is none).
    void LoadSection(int k);
    // Writes the memo in place of the current section; false, told, when it could not.
    bool SaveSection();
    // Asks whether to save a modified section; false when the change must stay (the command
    // link cannot answer the question).
    bool OfferToSave();
    // The section titles of a star base against the catalogue; the caption names the last
    // missing star.
    void CheckStarNames();
    bool HasSection() const { return hasSection_; }

private:
    bool Unattended() const { return p_.Flags.LinkCommand; }
    void Refuse(const std::string& what);
    void Tell(MsgKind kind, const std::string& text);
    bool ReadBase(std::string& bytes);
    void ScrollBarScroll();
    void Layout();

    shell::Program& p_;
    std::function<bool(const std::string&)> starKnown_;
    bool hasSection_ = false;
};

} // namespace qor::interp
