#include "Core/FontList.h"

#include <QFont>
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
    const QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    std::string family = FamilyWithoutFoundry(font.family().toStdString());
    if (HasTrueTypeFont(family))
        return family;
    // An alias ("Sans Serif") is no face a file can store: take the family the
    // font configuration gives it for this locale.
    return FamilyWithoutFoundry(font.defaultFamily().toStdString());
}

std::string FamilyWithoutFoundry(std::string_view family)
{
    const std::size_t open = family.rfind(" [");
    if (open == std::string_view::npos || open == 0 || family.back() != ']')
        return std::string(family);
    return std::string(family.substr(0, open));
}

std::vector<std::string> CollectTrueTypeFontNames()
{
    std::vector<std::string> names;
    // The generic aliases ("Sans Serif", "Monospace") are listed but are no
    // family of their own: the database does not know them by name.
    for (const QString& family : QFontDatabase::families()) {
        const std::string name = FamilyWithoutFoundry(family.toStdString());
        if (HasTrueTypeFont(name))
            AddFontNameSorted(names, name);
    }
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
