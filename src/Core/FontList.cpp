#include "Core/FontList.h"

#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {

struct ScriptCharSet
{
    QFontDatabase::WritingSystem system;
    std::uint8_t charSet;
};

// The character sets a LOGFONT names, for the scripts the font system reports.
constexpr std::array<ScriptCharSet, 12> kScriptCharSets{{
    {QFontDatabase::Latin, 0},
    {QFontDatabase::Symbol, 2},
    {QFontDatabase::Japanese, 128},
    {QFontDatabase::Korean, 129},
    {QFontDatabase::SimplifiedChinese, 134},
    {QFontDatabase::TraditionalChinese, 136},
    {QFontDatabase::Greek, 161},
    {QFontDatabase::Vietnamese, 163},
    {QFontDatabase::Hebrew, 177},
    {QFontDatabase::Arabic, 178},
    {QFontDatabase::Cyrillic, 204},
    {QFontDatabase::Thai, 222},
}};

InterfaceFont g_programFont;

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

namespace {

std::string SystemInterfaceFace()
{
    const QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    std::string family = FamilyWithoutFoundry(font.family().toStdString());
    if (HasTrueTypeFont(family))
        return family;
    // An alias ("Sans Serif") is no face a file can store: take the family the
    // font configuration gives it for this locale.
    return FamilyWithoutFoundry(font.defaultFamily().toStdString());
}

} // namespace

std::string GetDefaultGuiFontFace()
{
    return GetDefaultGuiFont().face;
}

InterfaceFont GetDefaultGuiFont()
{
    return ChooseDefaultGuiFont(SystemInterfaceFace(), g_programFont);
}

void SetProgramInterfaceFont(InterfaceFont font)
{
    g_programFont = std::move(font);
}

InterfaceFont ChooseDefaultGuiFont(const std::string& systemFace, const InterfaceFont& program)
{
    // A Japanese text in a face without Japanese glyphs would be drawn in
    // whatever fallback the font system picks.
    const std::vector<std::uint8_t> covered = CharSetsOf(systemFace);
    if (std::find(covered.begin(), covered.end(), program.charSet) != covered.end())
        return InterfaceFont{systemFace, program.charSet};
    if (HasTrueTypeFont(program.face))
        return program;
    return InterfaceFont{systemFace, 0};
}

std::vector<std::uint8_t> CharSetsOf(std::string_view face)
{
    std::vector<std::uint8_t> sets;
    for (QFontDatabase::WritingSystem system : QFontDatabase::writingSystems(ToQString(face)))
        for (const ScriptCharSet& script : kScriptCharSets)
            if (script.system == system && std::find(sets.begin(), sets.end(), script.charSet) == sets.end())
                sets.push_back(script.charSet);
    return sets;
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
