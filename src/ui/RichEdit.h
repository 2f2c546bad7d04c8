// A rich-text memo: paragraphs with their own indents, characters with their own font, size,
// colour and styles, saved and read as RTF (Rtf.h). To the command paths, the state files and
// the English texts it is a memo like TMemo (Kind::Memo): its plain text, one paragraph a line.
#pragma once

#include "ui/Components.h"
#include "ui/Dialogs.h"

#include <QTextEdit>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::ui {

class TRichEdit : public WithKeys<QTextEdit>, public MemoAccess {
public:
    static constexpr Kind kKind = Kind::Memo;
    explicit TRichEdit(QWidget* parent = nullptr);

    // The paragraphs joined by CR LF (no line end after the last); a character the code page
    // cannot hold becomes "?".
    std::string Text() const override;
    // Plain text (CR LF or LF), one paragraph a line, in the memo's font and paragraph format.
    void SetText(const std::string& text) override;
    std::vector<std::string> Lines() const override;
    void SetLines(const std::vector<std::string>& lines) override;
    void Clear() { SetLines({}); }

    // The font of the whole text and of what is typed later.
    const FontSpec& MemoFont() const { return font_; }
    void SetMemoFont(const FontSpec& f);

    // Indents in pixels: the left margin of every line, the first line's further indent
    // (negative: out to the left), the right margin.
    struct Paragraph {
        int left = 0, right = 0, first = 0;
        bool operator==(const Paragraph&) const = default;
    };
    // The format given to the text set from now on; `now` also gives it to every paragraph.
    const Paragraph& DefaultParagraph() const { return paragraph_; }
    void SetDefaultParagraph(const Paragraph& p, bool now);
    void SetWordWrap(bool on);
    bool WordWrap() const { return lineWrapMode() != QTextEdit::NoWrap; }
    // Whether the text set from now on is wrapped (the paragraph settings say).
    bool DefaultWordWrap = true;

    bool Modified() const;
    void SetModified(bool on);

    // The text as RTF (the memo's font for what the text does not say itself).
    std::string ToRtf() const;
    // Replaces the text by an RTF text; false (the text unchanged) when it is not RTF.
    bool LoadRtf(std::string_view rtf);

    std::function<void()> OnChange;

private:
    void ApplyParagraphToAll();
    FontSpec font_;
    Paragraph paragraph_;
    bool quiet_ = false;
};

} // namespace qor::ui
