// What the text font dialog offers for a family and how its choices map onto
// a LOGFONT: faces the layout files can store, styles as weight and slant,
// point sizes, and scripts as character sets.
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class IFontCatalogue;

// A face name the layout files can store: Shift-JIS can hold it and it fits
// their face field (31 bytes).
bool IsStorableFaceName(std::string_view face);
// The catalogue's scalable families that the files can store, without
// vertical ("@") names.
std::vector<std::string> StorableFaceNames(IFontCatalogue& fonts);

struct FontStyleChoice
{
    QString name;  // the font's own
    QString label; // what the style list shows, in the program's language
    int weight = 400;
    bool italic = false;
};
// The family's styles, one for each weight and slant (of the usual width where
// the family has several), with the usual regular, italic, bold and bold
// italic added where the family has none near them (they are drawn made up).
std::vector<FontStyleChoice> FontStylesOf(const QString& family);
// The point sizes the size list offers for the family.
std::vector<int> FontPointSizesOf(const QString& family);

struct FontScriptChoice
{
    QString name;
    std::uint8_t charSet = 0;
};
// The name the style list shows for a weight and slant, in the language of
// Qt's installed translation ("標準", "太字 斜体" in Japanese).
QString FontStyleLabel(int weight, bool italic);
// The family's scripts as character sets, each set once; for a family that
// reports none, the given set alone. Named in `language` (ProgramLanguage).
std::vector<FontScriptChoice> FontScriptsOf(const QString& family, std::uint8_t fallbackCharSet,
                                            std::string_view language);
// The name the script list shows for a character set: Japanese for "ja",
// else English.
QString CharSetName(std::uint8_t charSet, std::string_view language);

// A LOGFONT height (pixels at `dpi`) in whole points, and back (negative: a
// character height).
int HeightToPoints(int height, int dpi);
int PointsToHeight(int points, int dpi);
// The leading whole number of a size box's text, as "%d" reads it; 0 when none.
int ReadSizeNumber(const QString& text);
