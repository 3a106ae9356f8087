#pragma once

#include <QString>
#include <string>

// Byte text below the framework is UTF-8; Qt gets QString at its edge only.
inline QString ToQt(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQt(const QString& text)
{
    return text.toUtf8().toStdString();
}
