#include "Dialogs/FontChoices.h"

#include "App/FontCatalogue.h"
#include "Platform/ShiftJis.h"

#include <QFontDatabase>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

// The face field of the layout files: 32 bytes with the closing zero.
constexpr std::size_t kMaxFaceBytes = 31;

struct ScriptCharSet
{
    QFontDatabase::WritingSystem system;
    std::uint8_t charSet;
    const char* name;
};

// The character sets a LOGFONT names, for the scripts the font system reports.
constexpr std::array<ScriptCharSet, 13> kScripts{{
    {QFontDatabase::Latin, 0, "Western"},
    {QFontDatabase::Symbol, 2, "Symbol"},
    {QFontDatabase::Japanese, 128, "Japanese"},
    {QFontDatabase::Korean, 129, "Hangul"},
    {QFontDatabase::SimplifiedChinese, 134, "Chinese Simplified"},
    {QFontDatabase::TraditionalChinese, 136, "Chinese Traditional"},
    {QFontDatabase::Greek, 161, "Greek"},
    {QFontDatabase::Vietnamese, 163, "Vietnamese"},
    {QFontDatabase::Hebrew, 177, "Hebrew"},
    {QFontDatabase::Arabic, 178, "Arabic"},
    {QFontDatabase::Cyrillic, 204, "Cyrillic"},
    {QFontDatabase::Thai, 222, "Thai"},
    {QFontDatabase::Any, 1, "Default"},
}};

} // namespace

bool IsStorableFaceName(std::string_view face)
{
    const std::optional<std::string> sjis = Utf8ToShiftJis(face);
    return sjis && !sjis->empty() && sjis->size() <= kMaxFaceBytes;
}

std::vector<std::string> StorableFaceNames(IFontCatalogue& fonts)
{
    std::vector<std::string> names;
    for (std::string& name : fonts.SortedOutlineNames())
        if (name.front() != '@' && IsStorableFaceName(name))
            names.push_back(std::move(name));
    return names;
}

std::vector<FontStyleChoice> FontStylesOf(const QString& family)
{
    std::vector<FontStyleChoice> styles;
    for (const QString& style : QFontDatabase::styles(family)) {
        // The font database calls only italic styles italic; an oblique one
        // is slanted too, and taken for upright it would hide the regular style.
        FontStyleChoice choice{style, QFontDatabase::weight(family, style),
                               QFontDatabase::font(family, style, 12).style() != QFont::StyleNormal};
        if (choice.weight <= 0)
            choice.weight = 400;
        // Two styles of one weight and slant (such as "Book" and "Regular")
        // would give the same LOGFONT: offer the first.
        const bool same = std::any_of(styles.begin(), styles.end(), [&choice](const FontStyleChoice& s) {
            return s.weight == choice.weight && s.italic == choice.italic;
        });
        if (!same)
            styles.push_back(choice);
    }
    // Bold and slanted forms are drawn for any family that lacks its own.
    const FontStyleChoice usual[] = {{QStringLiteral("Regular"), 400, false},
                                     {QStringLiteral("Italic"), 400, true},
                                     {QStringLiteral("Bold"), 700, false},
                                     {QStringLiteral("Bold Italic"), 700, true}};
    for (const FontStyleChoice& choice : usual) {
        const bool near = std::any_of(styles.begin(), styles.end(), [&choice](const FontStyleChoice& s) {
            return s.italic == choice.italic && std::abs(s.weight - choice.weight) < 150;
        });
        if (!near)
            styles.push_back(choice);
    }
    return styles;
}

std::vector<int> FontPointSizesOf(const QString& family)
{
    QList<int> sizes = QFontDatabase::pointSizes(family);
    if (sizes.isEmpty() || QFontDatabase::isSmoothlyScalable(family))
        sizes = QFontDatabase::standardSizes();
    std::vector<int> result;
    for (int size : sizes)
        if (size >= 1 && size <= 999)
            result.push_back(size);
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

QString CharSetName(std::uint8_t charSet)
{
    for (const ScriptCharSet& script : kScripts)
        if (script.charSet == charSet)
            return QString::fromLatin1(script.name);
    return QStringLiteral("Character set %1").arg(charSet);
}

std::vector<FontScriptChoice> FontScriptsOf(const QString& family, std::uint8_t fallbackCharSet)
{
    std::vector<FontScriptChoice> scripts;
    for (QFontDatabase::WritingSystem system : QFontDatabase::writingSystems(family)) {
        for (const ScriptCharSet& script : kScripts) {
            if (script.system != system || system == QFontDatabase::Any)
                continue;
            const bool listed =
                std::any_of(scripts.begin(), scripts.end(),
                            [&script](const FontScriptChoice& s) { return s.charSet == script.charSet; });
            if (!listed)
                scripts.push_back({QString::fromLatin1(script.name), script.charSet});
        }
    }
    if (scripts.empty())
        scripts.push_back({CharSetName(fallbackCharSet), fallbackCharSet});
    return scripts;
}

int HeightToPoints(int height, int dpi)
{
    if (dpi <= 0)
        dpi = 96;
    return static_cast<int>(std::lround(std::abs(static_cast<double>(height)) * 72.0 / dpi));
}

int PointsToHeight(int points, int dpi)
{
    if (dpi <= 0)
        dpi = 96;
    return -static_cast<int>(std::lround(static_cast<double>(points) * dpi / 72.0));
}

int ReadSizeNumber(const QString& text)
{
    const std::string bytes = text.trimmed().toStdString();
    const char* start = bytes.c_str();
    char* end = nullptr;
    const long value = std::strtol(start, &end, 10);
    if (end == start || value < 0 || value > 100000)
        return 0;
    return static_cast<int>(value);
}
