// The one crossing between the core's byte strings (single-byte Latin-1 characters, exactly what goes on
// the wire and into HX350.cfg) and Qt's Unicode strings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace hx350::ui {

/// A core text as Qt shows it.
inline QString fromCore(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

/// A text typed in the window as the core stores it; characters outside Latin-1 become '?'.
inline std::string toCore(const QString& text) {
    return text.toLatin1().toStdString();
}

}  // namespace hx350::ui
