#include "ui/Dialogs.h"

#include "ui/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

namespace qor::ui {

QFont ToQFont(const FontSpec& f) {
    QFont q(ToQ(f.name));
    q.setPointSize(f.size > 0 ? f.size : 8);
    q.setBold(f.style & fsBold);
    q.setItalic(f.style & fsItalic);
    q.setUnderline(f.style & fsUnderline);
    q.setStrikeOut(f.style & fsStrikeOut);
    return q;
}

FontSpec FromQFont(const QFont& q, const FontSpec& like) {
    FontSpec f = like;
    if (!FromQ(q.family(), f.name)) f.name = like.name;
    f.size = q.pointSize() > 0 ? q.pointSize() : like.size;
    f.style = (q.bold() ? fsBold : 0) | (q.italic() ? fsItalic : 0) |
              (q.underline() ? fsUnderline : 0) | (q.strikeOut() ? fsStrikeOut : 0);
    return f;
}

namespace {

QString QtFilter(const std::string& filter) {
    // "Description|pattern|Description|pattern" to Qt's "Description (pattern);;..."
    const QStringList parts = ToQ(filter).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << parts[i] + " (" + patterns + ")";
    }
    return out.join(";;");
}

QWidget* ActiveParent() {
    return QApplication::activeWindow();
}

} // namespace

void QtDialogs::SetLanguage(bool english) {
    english_ = english;
    static QTranslator* translator = nullptr; // one per process, replaced on a change
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    if (english || !QCoreApplication::instance()) return;
    auto* t = new QTranslator;
    if (t->load(QLocale(QLocale::Russian), "qtbase", "_",
                QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(t);
        translator = t;
    } else {
        delete t;
    }
}

MsgResult QtDialogs::Message(MsgKind kind, const std::string& text, MsgButtons buttons) {
    QMessageBox::StandardButtons b = QMessageBox::Ok;
    switch (buttons) {
    case MsgButtons::Ok:
        b = QMessageBox::Ok;
        break;
    case MsgButtons::OkCancel:
        b = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MsgButtons::YesNo:
        b = QMessageBox::Yes | QMessageBox::No;
        break;
    case MsgButtons::YesNoCancel:
        b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    }
    QMessageBox::Icon icon = QMessageBox::Information;
    if (kind == MsgKind::Warning) icon = QMessageBox::Warning;
    if (kind == MsgKind::Error) icon = QMessageBox::Critical;
    if (kind == MsgKind::Confirmation) icon = QMessageBox::Question;
    QMessageBox box(icon, QApplication::applicationName(), ToQ(text), b, ActiveParent());
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (!english_) {
        const std::pair<QMessageBox::StandardButton, const char*> words[] = {
            {QMessageBox::Ok, "ОК"}, {QMessageBox::Cancel, "Отмена"},
            {QMessageBox::Yes, "Да"}, {QMessageBox::No, "Нет"}};
        for (const auto& [which, word] : words)
            if (QAbstractButton* button = box.button(which)) button->setText(QString::fromUtf8(word));
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return MsgResult::Cancel;
    }
}

bool QtDialogs::Input(const std::string& caption, const std::string& prompt, std::string& value) {
    bool ok = false;
    const QString s = QInputDialog::getText(ActiveParent(), ToQ(caption), ToQ(prompt),
                                            QLineEdit::Normal, ToQ(value), &ok);
    if (!ok) return false;
    std::string v;
    if (!FromQ(s, v)) return false;
    value = v;
    return true;
}

bool QtDialogs::OpenFile(const std::string& caption, const std::string& filter,
                         std::filesystem::path& file) {
    const QString s = QFileDialog::getOpenFileName(
        ActiveParent(), ToQ(caption), QString::fromStdString(file.string()), QtFilter(filter));
    if (s.isEmpty()) return false;
    file = s.toStdString();
    return true;
}

bool QtDialogs::SaveFile(const std::string& caption, const std::string& filter,
                         std::filesystem::path& file) {
    const QString s = QFileDialog::getSaveFileName(
        ActiveParent(), ToQ(caption), QString::fromStdString(file.string()), QtFilter(filter));
    if (s.isEmpty()) return false;
    file = s.toStdString();
    return true;
}

bool QtDialogs::ChooseFont(FontSpec& font) {
    bool ok = false;
    const QFont q = QFontDialog::getFont(&ok, ToQFont(font), ActiveParent());
    if (ok) font = FromQFont(q, font);
    return ok;
}

bool QtDialogs::ChooseColor(uint32_t& color) {
    const QColor start(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QColor c = QColorDialog::getColor(start, ActiveParent());
    if (!c.isValid()) return false;
    color = static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
            (static_cast<uint32_t>(c.blue()) << 16);
    return true;
}

MsgResult AnsweringDialogs::Message(MsgKind kind, const std::string& text, MsgButtons buttons) {
    asked.push_back({"Message", text, kind});
    if (!messageAnswers.empty()) {
        const MsgResult r = messageAnswers.front();
        messageAnswers.pop_front();
        return r;
    }
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgResult::Ok
                                                                        : MsgResult::Yes;
}

bool AnsweringDialogs::Input(const std::string& caption, const std::string& prompt,
                             std::string& value) {
    asked.push_back({"Input", prompt});
    if (inputAnswers.empty()) return false;
    std::string a = inputAnswers.front();
    inputAnswers.pop_front();
    if (a == "\x1b") return false;
    value = a;
    return true;
}

bool AnsweringDialogs::NextFile(const std::string& what, const std::string& caption,
                                std::filesystem::path& file) {
    asked.push_back({what, caption});
    if (fileAnswers.empty()) return false;
    const auto a = fileAnswers.front();
    fileAnswers.pop_front();
    if (a.empty()) return false;
    file = a;
    return true;
}

bool AnsweringDialogs::OpenFile(const std::string& caption, const std::string&,
                                std::filesystem::path& file) {
    return NextFile("OpenFile", caption, file);
}

bool AnsweringDialogs::SaveFile(const std::string& caption, const std::string&,
                                std::filesystem::path& file) {
    return NextFile("SaveFile", caption, file);
}

bool AnsweringDialogs::ChooseFont(FontSpec& font) {
    asked.push_back({"ChooseFont", font.name});
    if (fontAnswers.empty()) return false;
    font = fontAnswers.front();
    fontAnswers.pop_front();
    return true;
}

bool AnsweringDialogs::ChooseColor(uint32_t& color) {
    asked.push_back({"ChooseColor", {}});
    if (colorAnswers.empty()) return false;
    color = colorAnswers.front();
    colorAnswers.pop_front();
    return true;
}

std::vector<std::string> AnsweringDialogs::Messages() const {
    std::vector<std::string> out;
    for (const auto& a : asked)
        if (a.what == "Message") out.push_back(a.text);
    return out;
}

// --- GatedDialogs -------------------------------------------------------------------------------

MsgResult GatedDialogs::CautiousAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::YesNo:
        return MsgResult::No;
    default:
        return MsgResult::Cancel;
    }
}

MsgResult GatedDialogs::Message(MsgKind kind, const std::string& text, MsgButtons buttons) {
    if (!may_(kind == MsgKind::Information ? "Information" : "Message", text))
        return CautiousAnswer(buttons);
    return target_().Message(kind, text, buttons);
}

bool GatedDialogs::Input(const std::string& caption, const std::string& prompt,
                         std::string& value) {
    return may_("Input", prompt.empty() ? caption : prompt) &&
           target_().Input(caption, prompt, value);
}

bool GatedDialogs::OpenFile(const std::string& caption, const std::string& filter,
                            std::filesystem::path& file) {
    return may_("OpenFile", caption) && target_().OpenFile(caption, filter, file);
}

bool GatedDialogs::SaveFile(const std::string& caption, const std::string& filter,
                            std::filesystem::path& file) {
    return may_("SaveFile", caption) && target_().SaveFile(caption, filter, file);
}

bool GatedDialogs::ChooseFont(FontSpec& font) {
    return may_("ChooseFont", font.name) && target_().ChooseFont(font);
}

bool GatedDialogs::ChooseColor(uint32_t& color) {
    return may_("ChooseColor", "") && target_().ChooseColor(color);
}

} // namespace qor::ui
