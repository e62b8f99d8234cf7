#pragma once
#include <QString>
#include <string>
#include <string_view>

// The window speaks Qt's 16-bit strings; the core speaks UTF-8 messages and paths.
namespace toa::app {

inline QString qtText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string utf8Text(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace toa::app
