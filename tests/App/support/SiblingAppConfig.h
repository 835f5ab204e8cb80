// The photo-printing application's configuration file as the tests make it,
// and an environment variable set for the life of a scope.
#pragma once

#include "Core/support/ScopedEnv.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>
#include <string>

// Values left out are not written.
struct SiblingAppValues
{
    std::optional<std::string> path;
    std::optional<std::string> caption;
    std::optional<std::string> version;
};

inline void WriteSiblingAppConfig(const std::string& file, const SiblingAppValues& values)
{
    QByteArray text = "[VELMO Snapcarousel3.0]\r\n";
    if (values.path)
        text += "PATH=" + QByteArray::fromStdString(*values.path) + "\r\n";
    if (values.caption)
        text += "CAPTION=" + QByteArray::fromStdString(*values.caption) + "\r\n";
    if (values.version)
        text += "VERSION=" + QByteArray::fromStdString(*values.version) + "\r\n";
    QFile out(QString::fromStdString(file));
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(text);
}
