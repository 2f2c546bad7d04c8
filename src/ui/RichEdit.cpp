#include "ui/RichEdit.h"

#include "ui/QtText.h"
#include "ui/Rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace qor::ui {

TRichEdit::TRichEdit(QWidget* parent) : WithKeys<QTextEdit>(parent) {
    setAcceptRichText(false); // pasted text takes the memo's format
    setLineWrapMode(QTextEdit::WidgetWidth);
    QObject::connect(this, &QTextEdit::textChanged, [this] {
        if (!quiet_ && OnChange) OnChange();
    });
    SetMemoFont(font_);
}

std::vector<std::string> TRichEdit::Lines() const {
    std::vector<std::string> out;
    const QTextDocument* d = document();
    if (d->isEmpty()) return out;
    for (QTextBlock b = d->begin(); b.isValid(); b = b.next()) {
        QString t = b.text();
        t.replace(QChar(0x2028), QChar(' ')); // a line break inside a paragraph
        out.push_back(FromQLossy(t));
    }
    return out;
}

std::string TRichEdit::Text() const {
    std::string out;
    const auto lines = Lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += "\r\n";
        out += lines[i];
    }
    return out;
}

void TRichEdit::SetLines(const std::vector<std::string>& lines) {
    QStringList q;
    for (const auto& l : lines) q << ToQ(l);
    quiet_ = true;
    QTextDocument* d = document();
    d->clear();
    QTextCursor c(d);
    QTextCharFormat cf;
    cf.setFont(ToQFont(font_));
    cf.setForeground(ToQColor(font_.color));
    QTextBlockFormat bf;
    bf.setLeftMargin(paragraph_.left);
    bf.setRightMargin(paragraph_.right);
    bf.setTextIndent(paragraph_.first);
    c.setBlockFormat(bf);
    c.setBlockCharFormat(cf);
    for (qsizetype i = 0; i < q.size(); ++i) {
        if (i > 0) c.insertBlock(bf, cf);
        c.insertText(q[i], cf);
    }
    setCurrentCharFormat(cf);
    d->setModified(false);
    moveCursor(QTextCursor::Start);
    quiet_ = false;
    if (OnChange) OnChange();
}

void TRichEdit::SetText(const std::string& text) {
    SetLines(MemoTextLines(text));
}

void TRichEdit::SetMemoFont(const FontSpec& f) {
    font_ = f;
    if (font_.size <= 0) font_.size = 8;
    const QFont q = ToQFont(font_);
    setFont(q);
    document()->setDefaultFont(q);
    QTextCharFormat cf;
    cf.setFont(q);
    cf.setForeground(ToQColor(font_.color));
    const bool modified = Modified();
    quiet_ = true;
    QTextCursor c(document());
    c.select(QTextCursor::Document);
    c.mergeCharFormat(cf);
    setCurrentCharFormat(cf);
    quiet_ = false;
    SetModified(modified);
}

void TRichEdit::SetDefaultParagraph(const Paragraph& p, bool now) {
    paragraph_ = p;
    if (now) ApplyParagraphToAll();
}

void TRichEdit::ApplyParagraphToAll() {
    const bool modified = Modified();
    quiet_ = true;
    QTextCursor c(document());
    c.select(QTextCursor::Document);
    QTextBlockFormat bf;
    bf.setLeftMargin(paragraph_.left);
    bf.setRightMargin(paragraph_.right);
    bf.setTextIndent(paragraph_.first);
    c.mergeBlockFormat(bf);
    quiet_ = false;
    SetModified(modified);
}

void TRichEdit::SetWordWrap(bool on) {
    setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

bool TRichEdit::Modified() const {
    return document()->isModified();
}

void TRichEdit::SetModified(bool on) {
    document()->setModified(on);
}

std::string TRichEdit::ToRtf() const {
    return DocumentToRtf(*document(), font_);
}

bool TRichEdit::LoadRtf(std::string_view rtf) {
    if (!LooksLikeRtf(rtf)) return false;
    quiet_ = true;
    RtfToDocument(rtf, *document());
    document()->setModified(false);
    moveCursor(QTextCursor::Start);
    quiet_ = false;
    if (OnChange) OnChange();
    return true;
}

} // namespace qor::ui
