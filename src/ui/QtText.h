#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vorlane {

// The program keeps its text in std::string as UTF-8; the widgets take QString. These two are the
// crossing, short because the windows cross it on almost every line.
inline QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string S(const QString& text)
{
    return text.toStdString();
}

} // namespace vorlane
