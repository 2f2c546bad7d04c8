#include "ui/Rtf.h"

#include "core/Text.h"
#include "ui/Components.h"
#include "ui/QtText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

namespace qor::ui {

namespace {

// --- Writing ---------------------------------------------------------------------------------

struct RunStyle {
    QString family;
    int halfPoints = 16;
    QColor color;
    bool bold = false, italic = false, underline = false, strike = false;
};

RunStyle StyleOf(const QTextCharFormat& fmt, const QFont& baseFont, const QColor& baseColor) {
    const QFont f = fmt.font().resolve(baseFont);
    RunStyle r;
    r.family = f.family();
    const double pt = f.pointSizeF() > 0 ? f.pointSizeF() : 8.0;
    r.halfPoints = static_cast<int>(std::lround(pt * 2));
    r.color = fmt.hasProperty(QTextFormat::ForegroundBrush) ? fmt.foreground().color() : baseColor;
    r.bold = f.bold();
    r.italic = f.italic();
    r.underline = f.underline();
    r.strike = f.strikeOut();
    return r;
}

// Text of the program's code page as \'xx, the rest as \uN?.
void AppendEscaped(std::string& out, const QString& text) {
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == 0x2028) {
            out += "\\line ";
        } else if (u == 0xA0) {
            out += "\\~";
        } else if (u < 0x20) {
            // other control characters carry no text
        } else if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (const int b = UnicodeToCp1251(u); b >= 0 && !ch.isSurrogate()) {
            static const char* hex = "0123456789abcdef";
            out += "\\'";
            out += hex[(b >> 4) & 15];
            out += hex[b & 15];
        } else {
            // signed 16 bits, as the format counts them; surrogates one by one
            out += "\\u" + std::to_string(static_cast<int16_t>(u)) + "?";
        }
    }
}

template <class T> int IndexIn(std::vector<T>& table, const T& v) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i] == v) return static_cast<int>(i);
    table.push_back(v);
    return static_cast<int>(table.size()) - 1;
}

int Twips(double pixels) {
    return static_cast<int>(std::lround(pixels * kTwipsPerPixel));
}

} // namespace

std::string DocumentToRtf(const QTextDocument& doc, const FontSpec& base) {
    const QFont baseFont = ToQFont(base);
    const QColor baseColor = ToQColor(base.color);
    std::vector<QString> fonts{baseFont.family()};
    std::vector<QRgb> colors{baseColor.rgb()};

    // The body first (it fills the tables), then the header with the tables.
    std::string body;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        body += "\\pard\\li" + std::to_string(Twips(bf.leftMargin())) + "\\ri" +
                std::to_string(Twips(bf.rightMargin())) + "\\fi" +
                std::to_string(Twips(bf.textIndent()));
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            const RunStyle r = StyleOf(frag.charFormat(), baseFont, baseColor);
            body += "{\\f" + std::to_string(IndexIn(fonts, r.family)) + "\\fs" +
                    std::to_string(r.halfPoints) + "\\cf" +
                    std::to_string(IndexIn(colors, r.color.rgb()) + 1);
            if (r.bold) body += "\\b";
            if (r.italic) body += "\\i";
            if (r.underline) body += "\\ul";
            if (r.strike) body += "\\strike";
            body += ' ';
            AppendEscaped(body, frag.text());
            body += '}';
        }
        body += "\\par\r\n";
    }

    // The bytes of the text are code page 1251 whatever the font's character set says, so
    // every font is declared Cyrillic (204): a reader decodes \'xx by the font.
    std::string out = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset204 ";
        AppendEscaped(out, fonts[i]);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (const QRgb c : colors)
        out += "\\red" + std::to_string(qRed(c)) + "\\green" + std::to_string(qGreen(c)) +
               "\\blue" + std::to_string(qBlue(c)) + ";";
    out += "}\r\n\\uc1\r\n";
    out += body;
    out += "}\r\n";
    return out;
}

bool LooksLikeRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

// --- Reading ---------------------------------------------------------------------------------

namespace {

enum class Dest { Text, Skip, FontTable, ColorTable };

struct CharProps {
    int font = 0;
    int halfPoints = 24; // the format's default, 12 points
    int color = 0;       // 0: automatic
    bool bold = false, italic = false, underline = false, strike = false;
    bool operator==(const CharProps&) const = default;
};
struct ParaProps {
    int li = 0, ri = 0, fi = 0;
};
struct GroupState {
    Dest dest = Dest::Text;
    CharProps chars;
    ParaProps para;
    int uc = 1; // characters to skip after \uN
};

struct Run {
    CharProps props;
    QString text;
};
struct Paragraph {
    ParaProps props;
    std::vector<Run> runs;
};

struct FontEntry {
    QString name;
    int charset = -1;
};

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Destinations whose contents are no text of the document.
bool IsSkippedDestination(std::string_view w) {
    static const char* const skipped[] = {
        "stylesheet", "info",      "pict",      "object",    "header",    "headerl",
        "headerr",    "headerf",   "footer",    "footerl",   "footerr",   "footerf",
        "footnote",   "fldinst",   "listtable", "listoverridetable",      "revtbl",
        "rsidtbl",    "generator", "themedata", "colorschememapping",     "datastore",
        "latentstyles", "xmlnstbl", "filetbl",  "nonshppict", "bkmkstart", "bkmkend",
        "pgdsctbl",   "author",    "operator",  "title",     "subject",   "comment",
        "doccomm",    "keywords",  "company",   "annotation"};
    for (const char* s : skipped)
        if (w == s) return true;
    return false;
}

class RtfReader {
public:
    explicit RtfReader(std::string_view rtf) : in_(rtf) {}

    void Parse() {
        stack_.push_back({});
        paras_.emplace_back();
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            if (c == '{') {
                stack_.push_back(stack_.back());
            } else if (c == '}') {
                EndGroup();
                if (stack_.empty()) break;
            } else if (c == '\\') {
                ControlWord();
            } else if (c == '\r' || c == '\n') {
                // line ends of the file carry nothing
            } else {
                Char(static_cast<unsigned char>(c));
            }
        }
    }

    void Build(QTextDocument& doc) const {
        doc.clear();
        QTextCursor cur(&doc);
        std::vector<Paragraph> paras = paras_;
        // A last paragraph with nothing in it is the end of the one before.
        if (paras.size() > 1 && paras.back().runs.empty()) paras.pop_back();
        bool first = true;
        for (const Paragraph& p : paras) {
            QTextBlockFormat bf;
            bf.setLeftMargin(p.props.li / static_cast<double>(kTwipsPerPixel));
            bf.setRightMargin(p.props.ri / static_cast<double>(kTwipsPerPixel));
            bf.setTextIndent(p.props.fi / static_cast<double>(kTwipsPerPixel));
            const QTextCharFormat firstFormat =
                p.runs.empty() ? CharFormat(lastProps_) : CharFormat(p.runs.front().props);
            if (first) {
                cur.setBlockFormat(bf);
                cur.setBlockCharFormat(firstFormat);
                first = false;
            } else {
                cur.insertBlock(bf, firstFormat);
            }
            for (const Run& r : p.runs) cur.insertText(r.text, CharFormat(r.props));
        }
    }

private:
    GroupState& State() { return stack_.back(); }

    void EndGroup() {
        const GroupState ended = stack_.back();
        stack_.pop_back();
        if (ended.dest == Dest::FontTable && !pendingFontName_.isEmpty()) FinishFont();
    }

    // The code page of \'xx in the current font.
    int CodePage() {
        const auto it = fonts_.find(State().chars.font);
        const int charset = it != fonts_.end() ? it->second.charset : -1;
        if (charset == 204) return 1251;
        if (charset >= 0) return 1252;
        return ansiCodePage_;
    }

    QChar Decode(unsigned char b) {
        if (b < 0x80) return QChar(b);
        if (CodePage() == 1251) return QChar(static_cast<char16_t>(Cp1251ToUnicode(b)));
        return QChar(b); // Latin-1 for the other code pages
    }

    void Char(unsigned char b) {
        if (skip_ > 0) {
            --skip_;
            return;
        }
        AddChar(Decode(b));
    }

    void AddChar(QChar ch) {
        // Control characters carry no text (the writer writes none): a raw one in the file,
        // \'00 or \u1 would come back from a save as nothing.
        if (ch.unicode() < 0x20 && ch != QChar('\t')) return;
        GroupState& st = State();
        switch (st.dest) {
        case Dest::Skip:
            return;
        case Dest::FontTable:
            if (ch == ';')
                FinishFont();
            else
                pendingFontName_ += ch;
            return;
        case Dest::ColorTable:
            if (ch == ';') {
                colors_.push_back(QColor(red_, green_, blue_));
                red_ = green_ = blue_ = 0;
            }
            return;
        case Dest::Text:
            break;
        }
        Paragraph& p = paras_.back();
        if (p.runs.empty() || !(p.runs.back().props == st.chars)) p.runs.push_back({st.chars, {}});
        p.runs.back().text += ch;
        lastProps_ = st.chars;
    }

    void FinishFont() {
        fonts_[fontNumber_].name = pendingFontName_.trimmed();
        pendingFontName_.clear();
    }

    void EndParagraph() {
        if (State().dest != Dest::Text) return;
        paras_.back().props = State().para;
        lastProps_ = State().chars;
        paras_.emplace_back();
    }

    void ControlWord() {
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        if (!IsLetter(c)) {
            ++pos_;
            ControlSymbol(c);
            return;
        }
        const std::size_t start = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) ++pos_;
        const std::string_view word = in_.substr(start, pos_ - start);
        bool hasParam = false;
        long param = 0;
        const std::size_t numStart = pos_;
        if (pos_ < in_.size() && (in_[pos_] == '-' || (in_[pos_] >= '0' && in_[pos_] <= '9'))) {
            ++pos_;
            while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9' &&
                   pos_ - numStart < 12)
                ++pos_;
            param = std::strtol(std::string(in_.substr(numStart, pos_ - numStart)).c_str(),
                                nullptr, 10);
            hasParam = pos_ - numStart > (in_[numStart] == '-' ? 1u : 0u);
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        Word(word, hasParam, static_cast<int>(std::clamp(param, -1'000'000'000L, 1'000'000'000L)));
    }

    void ControlSymbol(char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Char(static_cast<unsigned char>(c));
            break;
        case '\'': {
            if (pos_ + 2 > in_.size()) return;
            const std::string hex(in_.substr(pos_, 2));
            pos_ += 2;
            char* end = nullptr;
            const long b = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) Char(static_cast<unsigned char>(b));
            break;
        }
        case '*':
            State().dest = Dest::Skip;
            break;
        case '~':
            if (!Skipping()) AddChar(QChar(0xA0));
            break;
        case '_':
            if (!Skipping()) AddChar(QChar('-'));
            break;
        case '\r':
        case '\n':
            EndParagraph(); // "\" before a line end is a paragraph mark
            break;
        default:
            break; // \- (optional hyphen), \: and the rest carry no text
        }
    }

    // A character after \uN that stands in for it.
    bool Skipping() {
        if (skip_ > 0) {
            --skip_;
            return true;
        }
        return false;
    }

    void Word(std::string_view w, bool hasParam, int n) {
        GroupState& st = State();
        CharProps& ch = st.chars;
        const bool on = !hasParam || n != 0;
        if (w == "par" || w == "page" || w == "sect") {
            EndParagraph();
        } else if (w == "line") {
            if (!Skipping()) AddChar(QChar(0x2028));
        } else if (w == "tab") {
            if (!Skipping()) AddChar(QChar('\t'));
        } else if (w == "u" && hasParam) {
            AddChar(QChar(static_cast<char16_t>(static_cast<uint16_t>(n))));
            skip_ = st.uc;
        } else if (w == "uc" && hasParam) {
            st.uc = std::max(n, 0);
        } else if (w == "ansicpg" && hasParam) {
            ansiCodePage_ = n;
        } else if (w == "fonttbl") {
            st.dest = Dest::FontTable;
        } else if (w == "colortbl") {
            st.dest = Dest::ColorTable;
        } else if (IsSkippedDestination(w)) {
            st.dest = Dest::Skip;
        } else if (w == "bin" && hasParam) {
            pos_ = std::min(in_.size(), pos_ + static_cast<std::size_t>(std::max(n, 0)));
        } else if (w == "f" && hasParam) {
            if (st.dest == Dest::FontTable) {
                if (!pendingFontName_.isEmpty()) FinishFont();
                fontNumber_ = n;
                fonts_[n];
            } else {
                ch.font = n;
            }
        } else if (w == "fcharset" && hasParam && st.dest == Dest::FontTable) {
            fonts_[fontNumber_].charset = n;
        } else if (w == "red" && hasParam) {
            red_ = std::clamp(n, 0, 255);
        } else if (w == "green" && hasParam) {
            green_ = std::clamp(n, 0, 255);
        } else if (w == "blue" && hasParam) {
            blue_ = std::clamp(n, 0, 255);
        } else if (w == "fs" && hasParam) {
            ch.halfPoints = std::clamp(n, 2, 3276);
        } else if (w == "cf" && hasParam) {
            ch.color = n;
        } else if (w == "b") {
            ch.bold = on;
        } else if (w == "i") {
            ch.italic = on;
        } else if (w == "ul") {
            ch.underline = on;
        } else if (w == "ulnone") {
            ch.underline = false;
        } else if (w == "strike") {
            ch.strike = on;
        } else if (w == "plain") {
            ch = {};
            ch.font = defaultFont_;
        } else if (w == "deff" && hasParam) {
            defaultFont_ = n;
            ch.font = n;
        } else if (w == "pard") {
            st.para = {};
        } else if (w == "li" && hasParam) {
            st.para.li = n;
        } else if (w == "ri" && hasParam) {
            st.para.ri = n;
        } else if (w == "fi" && hasParam) {
            st.para.fi = n;
        } else if (w == "emdash") {
            AddChar(QChar(0x2014));
        } else if (w == "endash") {
            AddChar(QChar(0x2013));
        } else if (w == "bullet") {
            AddChar(QChar(0x2022));
        } else if (w == "lquote") {
            AddChar(QChar(0x2018));
        } else if (w == "rquote") {
            AddChar(QChar(0x2019));
        } else if (w == "ldblquote") {
            AddChar(QChar(0x201C));
        } else if (w == "rdblquote") {
            AddChar(QChar(0x201D));
        }
    }

    QTextCharFormat CharFormat(const CharProps& p) const {
        QTextCharFormat f;
        const auto it = fonts_.find(p.font);
        if (it != fonts_.end() && !it->second.name.isEmpty())
            f.setFontFamilies({it->second.name});
        f.setFontPointSize(p.halfPoints / 2.0);
        if (p.color >= 1 && p.color < static_cast<int>(colors_.size()))
            f.setForeground(colors_[static_cast<std::size_t>(p.color)]);
        f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(p.italic);
        f.setFontUnderline(p.underline);
        f.setFontStrikeOut(p.strike);
        return f;
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<GroupState> stack_;
    std::vector<Paragraph> paras_;
    CharProps lastProps_;
    std::map<int, FontEntry> fonts_;
    int fontNumber_ = 0, defaultFont_ = 0;
    QString pendingFontName_;
    std::vector<QColor> colors_; // entry 0 is the automatic colour
    int red_ = 0, green_ = 0, blue_ = 0;
    int ansiCodePage_ = 1252;
    int skip_ = 0;
};

} // namespace

bool RtfToDocument(std::string_view rtf, QTextDocument& doc) {
    if (!LooksLikeRtf(rtf)) return false;
    RtfReader r(rtf);
    r.Parse();
    r.Build(doc);
    return true;
}

} // namespace qor::ui
