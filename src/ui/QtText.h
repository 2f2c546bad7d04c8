// Code page 1251 text at the widget boundary.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace qor::ui {

// Code page 1251 bytes to a QString for a widget.
QString ToQ(std::string_view cp1251);

// A widget's text to code page 1251. Returns false when the text holds a character the code
// page cannot hold; the caller refuses the input with a message.
bool FromQ(const QString& text, std::string& cp1251);

} // namespace qor::ui
