#include "Dialogs/FontChoices.h"

#include "App/FontCatalogue.h"
#include "Core/FontList.h"
#include "Platform/ShiftJis.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

// The face field of the layout files: 32 bytes with the closing zero.
constexpr std::size_t kMaxFaceBytes = 31;

struct CharSetNames
{
    std::uint8_t charSet;
    const char* english;
    const char* japanese;
};

// What the script list calls each character set, as the platform's font
// dialog does in the program's language.
constexpr std::array<CharSetNames, 13> kCharSetNames{{
    {0, "Western", "欧文"},
    {1, "Default", "既定"},
    {2, "Symbol", "記号"},
    {128, "Japanese", "日本語"},
    {129, "Hangul", "ハングル"},
    {134, "Chinese Simplified", "簡体字中国語"},
    {136, "Chinese Traditional", "繁体字中国語"},
    {161, "Greek", "ギリシャ語"},
    {163, "Vietnamese", "ベトナム語"},
    {177, "Hebrew", "ヘブライ語"},
    {178, "Arabic", "アラビア語"},
    {204, "Cyrillic", "キリル"},
    {222, "Thai", "タイ語"},
}};

// The style the font system draws for a weight and slant at the usual width.
QString MatchedStyleName(const QString& family, int weight, bool italic)
{
    QFont font(family);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(italic);
    return QFontInfo(font).styleName();
}

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

QString FontStyleLabel(int weight, bool italic)
{
    // A font of weight and slant alone: the font database names it in words
    // that Qt's translation of the program's language covers.
    QFont font;
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(italic);
    return QFontDatabase::styleString(font);
}

std::vector<FontStyleChoice> FontStylesOf(const QString& family)
{
    std::vector<FontStyleChoice> styles;
    for (const QString& style : QFontDatabase::styles(family)) {
        // The font database calls only italic styles italic; an oblique one
        // is slanted too, and taken for upright it would hide the regular style.
        FontStyleChoice choice{style, QString(), QFontDatabase::weight(family, style),
                               QFontDatabase::font(family, style, 12).style() != QFont::StyleNormal};
        if (choice.weight <= 0)
            choice.weight = 400;
        // Two styles of one weight and slant (such as "Book" and "Condensed")
        // would give the same LOGFONT: offer the one the font system draws
        // for it, which is of the usual width.
        const auto same = std::find_if(styles.begin(), styles.end(), [&choice](const FontStyleChoice& s) {
            return s.weight == choice.weight && s.italic == choice.italic;
        });
        if (same == styles.end())
            styles.push_back(choice);
        else if (style == MatchedStyleName(family, choice.weight, choice.italic))
            *same = choice;
    }
    // Bold and slanted forms are drawn for any family that lacks its own.
    const FontStyleChoice usual[] = {{QStringLiteral("Regular"), QString(), 400, false},
                                     {QStringLiteral("Italic"), QString(), 400, true},
                                     {QStringLiteral("Bold"), QString(), 700, false},
                                     {QStringLiteral("Bold Italic"), QString(), 700, true}};
    for (const FontStyleChoice& choice : usual) {
        const bool near = std::any_of(styles.begin(), styles.end(), [&choice](const FontStyleChoice& s) {
            return s.italic == choice.italic && std::abs(s.weight - choice.weight) < 150;
        });
        if (!near)
            styles.push_back(choice);
    }
    for (FontStyleChoice& choice : styles)
        choice.label = FontStyleLabel(choice.weight, choice.italic);
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

QString CharSetName(std::uint8_t charSet, std::string_view language)
{
    const bool japanese = language == "ja";
    for (const CharSetNames& names : kCharSetNames)
        if (names.charSet == charSet)
            return QString::fromUtf8(japanese ? names.japanese : names.english);
    return (japanese ? QStringLiteral("文字セット %1") : QStringLiteral("Character set %1")).arg(charSet);
}

std::vector<FontScriptChoice> FontScriptsOf(const QString& family, std::uint8_t fallbackCharSet,
                                            std::string_view language)
{
    std::vector<FontScriptChoice> scripts;
    for (std::uint8_t charSet : CharSetsOf(family.toStdString()))
        scripts.push_back({CharSetName(charSet, language), charSet});
    if (scripts.empty())
        scripts.push_back({CharSetName(fallbackCharSet, language), fallbackCharSet});
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
