#include "FrameKit/Section.h"

#include "FrameKit/FileUtil.h"

#include <cstring>

namespace {

void CopyCut(char* out, std::size_t room, const char* text)
{
    std::size_t len = text ? std::strlen(text) : 0;
    if (len > room)
        len = room;
    std::memcpy(out, text, len);
    out[len] = '\0';
}

} // namespace

ZAV_Key::ZAV_Key(const char* keyName, const char* keyValue, bool drawLine) : isDrawLine(drawLine ? 1 : 0)
{
    CopyCut(name, sizeof name - 1, keyName);
    CopyCut(value, sizeof value - 1, keyValue);
}

bool ZAV_Key::NameEquals(const char* other) const
{
    return other && std::strcmp(name, other) == 0;
}

void ZAV_Key::GetName(char* buffer, int size) const
{
    if (buffer == nullptr || size <= 0)
        return;
    std::memset(buffer, 0, static_cast<std::size_t>(size));
    CopyCut(buffer, static_cast<std::size_t>(size) - 1, name);
}

void ZAV_Key::GetValue(char* buffer, int size, bool stripQuotes) const
{
    if (buffer == nullptr || size <= 0)
        return;
    std::memset(buffer, 0, static_cast<std::size_t>(size));
    if (!stripQuotes) {
        CopyCut(buffer, static_cast<std::size_t>(size) - 1, value);
        return;
    }
    std::size_t out = 0;
    const std::size_t room = static_cast<std::size_t>(size) - 1;
    // The editor quotes a text without escaping it, so a value enclosed in
    // quotes is the text inside them, quotes within it included. Any other
    // value loses every quote.
    std::size_t last = 0;
    for (std::size_t i = 0; value[i] != '\0'; ++i) {
        last = i;
        if (IsSjisLeadByte(static_cast<unsigned char>(value[i])) && value[i + 1] != '\0')
            ++i;
    }
    const bool enclosed = value[0] == '"' && last > 0 && value[last] == '"';
    for (std::size_t i = enclosed ? 1 : 0; value[i] != '\0' && out < room; ++i) {
        if (enclosed && i == last)
            break;
        unsigned char c = static_cast<unsigned char>(value[i]);
        if (IsSjisLeadByte(c) && value[i + 1] != '\0') {
            // A quote byte trailing a lead byte belongs to the character.
            if (out + 2 > room)
                break;
            buffer[out++] = value[i];
            buffer[out++] = value[++i];
            continue;
        }
        if (c != '"' || enclosed)
            buffer[out++] = value[i];
    }
}

int ZAV_Key::DrawKind() const
{
    if (!isDrawLine)
        return 0;
    if (std::strcmp(name, "DrawPicture") == 0)
        return 1;
    if (std::strcmp(name, "DrawStrings") == 0)
        return 2;
    if (std::strcmp(name, "DrawLine") == 0)
        return 3;
    return 4;
}

ZAV_Section::ZAV_Section(const char* sectionName, int sectionTag) : tag(sectionTag)
{
    CopyCut(name, sizeof name - 1, sectionName);
}

bool ZAV_Section::NameEquals(const char* other) const
{
    return other && std::strcmp(name, other) == 0;
}

void ZAV_Section::AddKey(const char* keyName, const char* keyValue, bool isDrawLine)
{
    keys.push_back(std::make_unique<ZAV_Key>(keyName, keyValue, isDrawLine));
}

bool ZAV_Section::FindValue(const char* keyName, char* buffer, int size, int occurrence,
                            bool stripQuotes) const
{
    int seen = 0;
    for (const auto& key : keys) {
        if (!key->NameEquals(keyName))
            continue;
        if (occurrence < 0 || seen == occurrence) {
            key->GetValue(buffer, size, stripQuotes);
            return true;
        }
        ++seen;
    }
    return false;
}

bool ZAV_Section::GetDrawLine(int index, char* buffer, int size, int* kind) const
{
    if (index < 0 || buffer == nullptr || size <= 0)
        return false;
    int seen = 0;
    for (const auto& key : keys) {
        if (!key->isDrawLine)
            continue;
        if (seen++ != index)
            continue;
        std::memset(buffer, 0, static_cast<std::size_t>(size));
        std::size_t room = static_cast<std::size_t>(size) - 1;
        std::size_t nameLen = std::strlen(key->name);
        if (nameLen > room)
            nameLen = room;
        std::memcpy(buffer, key->name, nameLen);
        CopyCut(buffer + nameLen, room - nameLen, key->value);
        if (kind != nullptr)
            *kind = key->DrawKind();
        return true;
    }
    return false;
}
