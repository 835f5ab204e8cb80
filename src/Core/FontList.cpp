#include "Core/FontList.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace {

int CompareIgnoringCase(std::string_view a, std::string_view b)
{
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
        .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())), Qt::CaseInsensitive);
}

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

bool HasTrueTypeFont(std::string_view face)
{
    const QString family = ToQString(face);
    return !family.isEmpty() && QFontDatabase::hasFamily(family) && QFontDatabase::isSmoothlyScalable(family);
}

bool HasAnyFont(std::string_view face)
{
    const QString family = ToQString(face);
    return !family.isEmpty() && QFontDatabase::hasFamily(family);
}

std::string GetDefaultGuiFontFace()
{
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family().toStdString();
}

std::vector<std::string> CollectTrueTypeFontNames()
{
    std::vector<std::string> names;
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isSmoothlyScalable(family))
            AddFontNameSorted(names, family.toStdString());
    return names;
}

void AddFontNameSorted(std::vector<std::string>& names, std::string_view name)
{
    if (name.empty() || name.front() == '@')
        return;
    for (auto it = names.begin(); it != names.end(); ++it) {
        const int order = CompareIgnoringCase(*it, name);
        if (order == 0)
            return;
        if (order > 0) {
            names.insert(it, std::string(name));
            return;
        }
    }
    names.emplace_back(name);
}
