// Keys and mouse buttons as the windows see them: virtual-key codes, the shift state and the
// mouse button of a mouse event.
#pragma once

#include <Qt>

class QKeyEvent;

namespace qor::ui {

// Members of the shift state of a key or mouse event (a bit set).
enum ShiftBits : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using Shift = unsigned;

enum class MouseButton { Left, Right, Middle };

// Results of a window shown modally.
enum ModalResults { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// Virtual-key codes the windows use. Letters and digits are their upper-case ASCII codes
// ('A' = 65, '0' = 48).
namespace vk {
constexpr int Back = 8, Tab = 9, Return = 13, ShiftKey = 16, Control = 17, Menu = 18, Pause = 19,
              Escape = 27, Space = 32, Prior = 33, Next = 34, End = 35, Home = 36, Left = 37,
              Up = 38, Right = 39, Down = 40, Insert = 45, Delete = 46, Numpad0 = 96,
              Multiply = 106, Add = 107, Subtract = 109, Decimal = 110, Divide = 111, F1 = 112,
              F12 = 123, OemSemicolon = 186, OemPlus = 187, OemComma = 188, OemMinus = 189,
              OemPeriod = 190, OemSlash = 191, OemTilde = 192, OemOpenBracket = 219,
              OemBackslash = 220, OemCloseBracket = 221, OemQuote = 222;
}

// The virtual-key code of a key event, 0 when it has none. Letters are taken by the key's
// place on the keyboard, so a Cyrillic letter gives the code of the Latin letter on the same
// key ("Ф" gives 'A').
int VirtualKeyOf(const QKeyEvent& e);
// The same from a Qt key and the text it typed.
int VirtualKeyOf(int qtKey, char16_t typed, bool keypad);

Shift ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons = Qt::NoButton);

} // namespace qor::ui
