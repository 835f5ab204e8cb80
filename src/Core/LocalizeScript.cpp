#include "Core/LocalizeScript.h"

#include "Core/ErrorCheck.h"
#include "Core/TextOps.h"
#include "Platform/ProfileReader.h"
#include "Platform/ShiftJis.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

namespace {

// Splits comma-separated fields from the left. A field before another one
// needs its comma; the last field is the whole rest, commas included.
class FieldReader
{
public:
    explicit FieldReader(std::string value) : m_rest(std::move(value)) {}

    std::string Next()
    {
        const auto comma = m_rest.find(',');
        if (comma == std::string::npos) {
            m_rest.clear();
            return {};
        }
        std::string field = m_rest.substr(0, comma);
        m_rest.erase(0, comma + 1);
        return field;
    }
    std::string Rest() { return std::exchange(m_rest, {}); }

private:
    std::string m_rest;
};

// The C library's decimal conversion, clamped to int.
int ToInt(const std::string& field)
{
    const long value = std::strtol(field.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

int NumberField(const std::string& field)
{
    BoolCheck(!field.empty(), 0);
    return ToInt(field);
}

} // namespace

CLocalizeScript::CLocalizeScript(std::string path) : m_path(std::move(path))
{
}

std::string CLocalizeScript::Read(std::string_view section, std::string_view key, std::size_t maxBytes) const
{
    return CutToShiftJisBytes(ReadProfileString(m_path, section, key), maxBytes);
}

bool CLocalizeScript::GetDialogInfo(int dialogId, int& captionId, int& width, int& height) const
{
    try {
        const std::string id = std::to_string(dialogId);
        const std::string value = Read(id, id);
        BoolCheck(!value.empty(), 0);
        FieldReader fields(value);
        captionId = NumberField(fields.Next());
        width = NumberField(fields.Next());
        height = NumberField(fields.Rest());
        return true;
    } catch (int) {
        return false;
    }
}

bool CLocalizeScript::GetControlInfo(int dialogId, int controlId, int& captionId, int& x, int& y, int& width,
                                     int& height) const
{
    try {
        const std::string value = Read(std::to_string(dialogId), std::to_string(controlId));
        BoolCheck(!value.empty(), 0);
        FieldReader fields(value);
        captionId = NumberField(fields.Next());
        x = NumberField(fields.Next());
        y = NumberField(fields.Next());
        width = NumberField(fields.Next());
        height = NumberField(fields.Rest());
        return true;
    } catch (int) {
        return false;
    }
}

bool CLocalizeScript::GetFont(int fontId, LocalizeFontInfo& font) const
{
    try {
        const std::string value = Read("Font", std::to_string(fontId));
        BoolCheck(!value.empty(), 0);
        FieldReader fields(value);
        font.pointSize = NumberField(fields.Next());
        const std::string face = fields.Next();
        BoolCheck(!face.empty() && CutToShiftJisBytes(face, 31) == face, 0);
        font.faceName = face;
        font.charSet = static_cast<std::uint8_t>(NumberField(fields.Rest()) & 0xFF);
        return true;
    } catch (int) {
        return false;
    }
}

bool CLocalizeScript::GetCaption(int textId, std::string& text) const
{
    text = Read("Caption", std::to_string(textId));
    if (text.empty())
        return false;
    if (text == "None") {
        text.clear();
        return true;
    }
    UnescapeCarriageReturn(text);
    UnescapeNewline(text);
    return true;
}

bool CLocalizeScript::GetPaperSizeString(std::vector<PaperSizeEntry>& list) const
{
    list.clear();
    try {
        for (int key = 1;; ++key) {
            const std::string value = Read("PaperSizeString", std::to_string(key));
            if (value.empty())
                return true;
            FieldReader fields(value);
            PaperSizeEntry entry;
            entry.paperId = NumberField(fields.Next());
            entry.name = fields.Rest();
            BoolCheck(!entry.name.empty(), 0);
            list.push_back(std::move(entry));
        }
    } catch (int) {
        list.clear();
        return false;
    }
}

bool CLocalizeScript::GetMenuItem(std::uint32_t menuId, int position, int& flag, std::string& text) const
{
    try {
        const std::string section = menuId >= 0x10000 ? "PopupMenu_" + std::to_string(menuId & 0xFFFF)
                                                      : "Menu_" + std::to_string(menuId);
        const std::string value = Read(section, std::to_string(position));
        BoolCheck(!value.empty(), 0);
        FieldReader fields(value);
        flag = NumberField(fields.Next());
        text = fields.Rest();
        BoolCheck(flag == 0 || !text.empty(), 0);
        return true;
    } catch (int) {
        return false;
    }
}

bool CLocalizeScript::GetDrawStringFont(std::string_view key, std::string& face) const
{
    face = Read("DrawStringFont", key, 31);
    return !face.empty();
}

bool CLocalizeScript::GetDefaultRollPaperLength(int paperIndex, int& length) const
{
    static constexpr const char* kKeys[] = {"R89", "R100", "RA4", "RA3N", "R5IN"};
    if (paperIndex < 6 || paperIndex > 10)
        return false;
    try {
        length = NumberField(Read("DefaultRollPaperLength", kKeys[paperIndex - 6]));
        return true;
    } catch (int) {
        return false;
    }
}

int CLocalizeScript::GetDSCPaperFlag(std::string_view paperName) const
{
    const std::string value = Read("DSCPaperFlag", paperName);
    if (value.empty())
        return -1;
    const int flag = ToInt(value);
    return flag < 1 ? -1 : flag;
}
