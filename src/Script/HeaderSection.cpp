#include "Script/HeaderSection.h"

#include "Core/ErrorCheck.h"
#include "Core/PaperRules.h"
#include "Script/ScriptNumber.h"
#include "Script/ScriptPath.h"
#include "Script/ScriptText.h"
#include "Script/ShiftJisText.h"

#include <array>

namespace {

constexpr std::array<std::string_view, 24> kPaperTexts = {
    "HAGAKI",  "A6",    "4x6",   "A4",   "A3",        "A3N",    "R89",           "R100",
    "RA4",     "RA3N",  "R5IN",  "",     "Panoramic", "Letter", "5x8",           "5x7",
    "100x150", "3.5x5", "4x6NP", "8x10", "11x14",     "11x17",  "BUSINESSCARD1", "WALLET"};

// The paper rules name the papers that have a text.
constexpr bool PaperTextsMatchNamedPapers()
{
    for (int code = 0; code < static_cast<int>(kPaperTexts.size()); ++code)
        if (kPaperTexts[code].empty() == IsNamedPaper(code))
            return false;
    return !IsNamedPaper(static_cast<int>(kPaperTexts.size())) && !IsNamedPaper(-1);
}
static_assert(PaperTextsMatchNamedPapers());

constexpr std::array<std::string_view, kMarginModeCount> kMarginTexts = {
    "42,42,42,42",     "42,198,42,42",    "-42,-72,-36,-36", "0,0,-36,-36",
    "-36,-36,-36,-36", "-42,-72,-50,-50", "-36,-50,-26,-26"};

std::string_view FlagText(std::int32_t flag)
{
    return flag ? "Possible" : "Impossible";
}

std::int32_t ReadFlag(CScript& script, std::string_view key)
{
    std::string value;
    if (!script.GetKeyValue(key, value))
        return 1;
    BoolCheck(value == "Possible" || value == "Impossible", 0);
    return value == "Possible" ? 1 : 0;
}

std::int32_t ReadDirection(CScript& script)
{
    std::string value;
    BoolCheck(script.GetKeyValue("HdDirection", value), 0);
    BoolCheck(value == "Vertical" || value == "Horizontal", 0);
    return value == "Vertical" ? 0 : 1;
}

// A file name of the header: it must fit its field as the file holds it.
std::optional<std::string> ReadFileNameKey(CScript& script, std::string_view key)
{
    auto value = ReadQuotedKey(script, key);
    if (value)
        BoolCheck(FitsShiftJisField(*value, kFileNameField), 0);
    return value;
}

} // namespace

std::optional<std::string_view> PaperSizeText(std::int32_t paperSize)
{
    if (paperSize < 0 || paperSize >= static_cast<std::int32_t>(kPaperTexts.size()) ||
        kPaperTexts[paperSize].empty())
        return std::nullopt;
    return kPaperTexts[paperSize];
}

std::optional<std::string_view> MarginText(std::int32_t marginMode)
{
    if (marginMode < 0 || marginMode >= static_cast<std::int32_t>(kMarginTexts.size()))
        return std::nullopt;
    return kMarginTexts[marginMode];
}

bool IsValidHeaderText(std::string_view text)
{
    if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos ||
        !FitsShiftJisField(text, kHeaderTextField))
        return false;
    // A quote that would end the quoted value before a ";" makes the rest a
    // comment on reading; the writer refuses such a text, so the setters do too.
    std::string quoted(text);
    QuoteString(quoted);
    const std::string written = quoted;
    StripComment(quoted);
    return quoted == written;
}

std::optional<std::string> ReadQuotedKey(CScript& script, std::string_view key)
{
    std::string value;
    if (!script.GetKeyValue(key, value))
        return std::nullopt;
    BoolCheck(UnquoteString(value), 0);
    return value;
}

std::string CutHeaderText(std::string_view text)
{
    // The text came from a Shift-JIS file, so Shift-JIS can hold it.
    auto cut = CutToShiftJisField(text, kHeaderTextField);
    BoolCheck(cut.has_value(), 0);
    return *cut;
}

double ReadRequiredNumber(CScript& script, std::string_view key)
{
    std::string value;
    BoolCheck(script.GetKeyValue(key, value), 0);
    BoolCheck(!value.empty(), 0);
    const auto number = ParseScriptDouble(value);
    BoolCheck(number.has_value(), 0);
    return *number;
}

std::optional<double> ReadOptionalNumber(CScript& script, std::string_view key)
{
    std::string value;
    if (!script.GetKeyValue(key, value))
        return std::nullopt;
    BoolCheck(!value.empty(), 0);
    const auto number = ParseScriptDouble(value);
    BoolCheck(number.has_value(), 0);
    return number;
}

void WriteRevisionKey(CScript& script, std::string_view key, double value)
{
    const auto text = FormatFixed2(value, 5);
    BoolCheck(text.has_value(), 0);
    BoolCheck(script.WriteKeyValue(key, *text), 0);
}

void WriteQuotedKey(CScript& script, std::string_view key, std::string_view text, std::size_t fieldSize)
{
    BoolCheck(FitsShiftJisField(text, fieldSize), 0);
    std::string value(text);
    QuoteString(value);
    BoolCheck(script.WriteKeyValue(key, value), 0);
}

void WriteHeaderSection(CScript& script, const UDLHeaderInfo& header, HeaderForm form)
{
    const std::string thumbnail = NativeToStoredPath(header.thumbnail, script.GetFolder());
    BoolCheck(script.WriteSection("HEADER"), 0);
    WriteRevisionKey(script, "HdRevision", header.revision);
    WriteQuotedKey(script, "HdAuthor", header.author, kHeaderTextField);
    if (form == HeaderForm::Camera) {
        BoolCheck(script.WriteKeyValue("HdDirection", header.direction == 0 ? "Vertical" : "Horizontal"), 0);
        WriteQuotedKey(script, "HdThumbnail", thumbnail, kFileNameField);
        return;
    }
    const auto paper = PaperSizeText(header.paperSize);
    const auto margin = MarginText(header.marginMode);
    BoolCheck(paper.has_value() && margin.has_value(), 0);
    // The margin text goes only on a paper it is read back for: readers of
    // the format (this one and the photo-printing application's) refuse the
    // file otherwise, so such a layout would never reopen.
    BoolCheck(IsMarginModeAccepted(header.marginMode, header.paperSize), 0);
    WriteQuotedKey(script, "HdCopyright", header.copyright, kHeaderTextField);
    BoolCheck(script.WriteKeyValue("HdCopyFlag", FlagText(header.copyFlag)), 0);
    BoolCheck(script.WriteKeyValue("HdChangeFlag", FlagText(header.changeFlag)), 0);
    WriteQuotedKey(script, "HdKeyWord", header.keyword, kHeaderTextField);
    WriteQuotedKey(script, "HdTitle", header.title, kHeaderTextField);
    WriteQuotedKey(script, "HdComment", header.comment, kHeaderTextField);
    BoolCheck(script.WriteKeyValue("HdDirection", header.direction == 0 ? "Vertical" : "Horizontal"), 0);
    WriteQuotedKey(script, "HdSound", header.sound, kFileNameField);
    BoolCheck(script.WriteKeyInt("HdCapacity", header.capacity), 0);
    WriteQuotedKey(script, "HdThumbnail", thumbnail, kFileNameField);
    BoolCheck(script.WriteKeyValue("HdPhysicalPaperSize", *paper), 0);
    BoolCheck(script.WriteKeyValue("HdMargines", *margin), 0);
    if (IsScriptRollPaper(header.paperSize))
        BoolCheck(script.WriteKeyInt("HdRollPaperLength", header.rollPaperLength), 0);
    WriteQuotedKey(script, "HdApplication", header.application, kHeaderTextField);
}

void ParseHeaderKeys(CScript& script, UDLHeaderInfo& header, HeaderForm form)
{
    header.revision = ReadRequiredNumber(script, "HdRevision");
    if (auto author = ReadQuotedKey(script, "HdAuthor"))
        header.author = CutHeaderText(*author);
    if (form == HeaderForm::Camera) {
        header.direction = ReadDirection(script);
        if (auto thumbnail = ReadFileNameKey(script, "HdThumbnail"))
            header.thumbnail = StoredToNativePath(*thumbnail, script.GetFolder());
        return;
    }
    if (auto copyright = ReadQuotedKey(script, "HdCopyright"))
        header.copyright = CutHeaderText(*copyright);
    header.copyFlag = ReadFlag(script, "HdCopyFlag");
    header.changeFlag = ReadFlag(script, "HdChangeFlag");
    if (auto keyword = ReadQuotedKey(script, "HdKeyWord"))
        header.keyword = CutHeaderText(*keyword);
    if (auto title = ReadQuotedKey(script, "HdTitle"))
        header.title = CutHeaderText(*title);
    if (auto comment = ReadQuotedKey(script, "HdComment"))
        header.comment = CutHeaderText(*comment);
    header.direction = ReadDirection(script);
    if (auto sound = ReadFileNameKey(script, "HdSound"))
        header.sound = *sound;

    std::string value;
    if (script.GetKeyValue("HdCapacity", value)) {
        const auto capacity = ParseScriptInt(value);
        BoolCheck(capacity.has_value(), 0);
        header.capacity = *capacity;
    }
    if (auto thumbnail = ReadFileNameKey(script, "HdThumbnail"))
        header.thumbnail = StoredToNativePath(*thumbnail, script.GetFolder());

    BoolCheck(script.GetKeyValue("HdPhysicalPaperSize", value), 0);
    std::int32_t paper = -1;
    for (std::int32_t code = 0; code < static_cast<std::int32_t>(kPaperTexts.size()); ++code)
        if (!kPaperTexts[code].empty() && kPaperTexts[code] == value)
            paper = code;
    BoolCheck(paper >= 0, 0);
    header.paperSize = paper;

    BoolCheck(script.GetKeyValue("HdMargines", value), 0);
    std::int32_t margin = -1;
    for (std::int32_t mode = 0; mode < static_cast<std::int32_t>(kMarginTexts.size()); ++mode)
        if (kMarginTexts[mode] == value && IsMarginModeAccepted(mode, paper))
            margin = mode;
    BoolCheck(margin >= 0, 0);
    header.marginMode = margin;

    const bool hasLength = script.GetKeyValue("HdRollPaperLength", value);
    if (IsScriptRollPaper(paper)) {
        BoolCheck(hasLength && !value.empty(), 0);
        const auto length = ParseScriptInt(value);
        BoolCheck(length && *length >= kMinRollLength && *length <= kMaxRollLength, 0);
        header.rollPaperLength = static_cast<std::uint16_t>(*length);
    } else {
        header.rollPaperLength = kMinRollLength;
    }
    if (auto application = ReadQuotedKey(script, "HdApplication"))
        header.application = CutHeaderText(*application);
}
