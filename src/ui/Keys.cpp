#include "ui/Keys.h"

#include <QKeyEvent>

namespace qor::ui {

namespace {

// The Latin key under each Cyrillic letter of the standard Russian layout, lower case
// а..я in code order, then ё.
constexpr char16_t kCyrillicLower[] = u"абвгдежзийклмнопрстуфхцчшщъыьэюя";
constexpr int kKeyOfCyrillic[] = {'F',
                                  vk::OemComma,
                                  'D',
                                  'U',
                                  'L',
                                  'T',
                                  vk::OemSemicolon,
                                  'P',
                                  'B',
                                  'Q',
                                  'R',
                                  'K',
                                  'V',
                                  'Y',
                                  'J',
                                  'G',
                                  'H',
                                  'C',
                                  'N',
                                  'E',
                                  'A',
                                  vk::OemOpenBracket,
                                  'W',
                                  'X',
                                  'I',
                                  'O',
                                  vk::OemCloseBracket,
                                  'S',
                                  'M',
                                  vk::OemQuote,
                                  vk::OemPeriod,
                                  'Z'};

int KeyOfCyrillic(char16_t c) {
    if (c >= u'А' && c <= u'Я') c = static_cast<char16_t>(c + (u'а' - u'А'));
    if (c == u'ё' || c == u'Ё') return vk::OemTilde;
    for (int i = 0; kCyrillicLower[i]; ++i)
        if (kCyrillicLower[i] == c) return kKeyOfCyrillic[i];
    return 0;
}

} // namespace

int VirtualKeyOf(int k, char16_t typed, bool keypad) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return keypad ? vk::Numpad0 + (k - Qt::Key_0) : k;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return vk::F1 + (k - Qt::Key_F1);
    if (const int c = KeyOfCyrillic(typed)) return c;
    if (k >= 0x410 && k <= 0x44F) return KeyOfCyrillic(static_cast<char16_t>(k));
    if (k == 0x401 || k == 0x451) return vk::OemTilde;
    switch (k) {
    case Qt::Key_Backspace:
        return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Shift:
        return vk::ShiftKey;
    case Qt::Key_Control:
        return vk::Control;
    case Qt::Key_Alt:
        return vk::Menu;
    case Qt::Key_Pause:
        return vk::Pause;
    case Qt::Key_Escape:
        return vk::Escape;
    case Qt::Key_Space:
        return vk::Space;
    case Qt::Key_PageUp:
        return vk::Prior;
    case Qt::Key_PageDown:
        return vk::Next;
    case Qt::Key_End:
        return vk::End;
    case Qt::Key_Home:
        return vk::Home;
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Up:
        return vk::Up;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Down:
        return vk::Down;
    case Qt::Key_Insert:
        return vk::Insert;
    case Qt::Key_Delete:
        return vk::Delete;
    case Qt::Key_Asterisk:
        return vk::Multiply;
    case Qt::Key_Plus:
        return keypad ? vk::Add : vk::OemPlus;
    case Qt::Key_Equal:
        return vk::OemPlus;
    case Qt::Key_Minus:
        return keypad ? vk::Subtract : vk::OemMinus;
    case Qt::Key_Underscore:
        return vk::OemMinus;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return vk::OemComma;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        return keypad ? vk::Decimal : vk::OemPeriod;
    case Qt::Key_Slash:
        return keypad ? vk::Divide : vk::OemSlash;
    case Qt::Key_Question:
        return vk::OemSlash;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return vk::OemSemicolon;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return vk::OemQuote;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return vk::OemOpenBracket;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return vk::OemCloseBracket;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return vk::OemBackslash;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return vk::OemTilde;
    default:
        return 0;
    }
}

int VirtualKeyOf(const QKeyEvent& e) {
    const QString t = e.text();
    const char16_t typed = t.size() == 1 ? t.at(0).unicode() : 0;
    return VirtualKeyOf(e.key(), typed, e.modifiers() & Qt::KeypadModifier);
}

Shift ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    Shift s = 0;
    if (mods & Qt::ShiftModifier) s |= ssShift;
    if (mods & Qt::AltModifier) s |= ssAlt;
    if (mods & Qt::ControlModifier) s |= ssCtrl;
    if (buttons & Qt::LeftButton) s |= ssLeft;
    if (buttons & Qt::RightButton) s |= ssRight;
    if (buttons & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

} // namespace qor::ui
