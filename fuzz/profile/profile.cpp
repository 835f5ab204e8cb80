// Profile files of arbitrary bytes (Localize.ini beside the program, the
// index and member files of camera sets, the sibling program's settings):
// every reader of the localisation file, the plain readers with the names the
// program asks for, and a rewrite of one key, which must read back as written
// and leave the file's other keys as they were.
#include "../FileFuzzInput.h"
#include "Core/LocalizeScript.h"
#include "Platform/ProfileReader.h"
#include "Platform/ProfileWriter.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

void ReadAsLocalizeIni(const std::string& path)
{
    const CLocalizeScript script(path);
    int a = 0, b = 0, c = 0, d = 0, e = 0;
    script.GetDialogInfo(127, a, b, c);
    script.GetControlInfo(127, 1515, a, b, c, d, e);
    for (int id : {1, 2}) {
        LocalizeFontInfo font;
        script.GetFont(id, font);
    }
    std::string text;
    for (int id : {7, 11, 24, 157, 161, 232})
        script.GetCaption(id, text);
    std::vector<PaperSizeEntry> papers;
    if (!script.GetPaperSizeString(papers) && !papers.empty())
        std::abort(); // a malformed list is handed back empty
    int flag = 0;
    for (int position : {0, 1})
        script.GetMenuItem(128, position, flag, text);
    script.GetMenuItem(0x10003, 0, flag, text);
    for (const char* face : {"Courier", "Gothic", "Mincho"})
        script.GetDrawStringFont(face, text);
    for (int paper = 5; paper <= 11; ++paper)
        script.GetDefaultRollPaperLength(paper, a);
    for (const char* paper : {"HAGAKI", "4x6NP"}) {
        const int value = script.GetDSCPaperFlag(paper);
        if (value != -1 && value < 1)
            std::abort();
    }
    ReadProfileInt(path, "UISetting", "DefaultUnit", 1);
}

// The section and keys the camera-set files and the sibling settings are read with.
struct Name
{
    const char* section;
    const char* key;
};
constexpr Name kNames[] = {{"HEADER", "Hdusm"},
                           {"HEADER", "HdCapability"},
                           {"HEADER", "HdCapacity"},
                           {"UISetting", "ShowOpeningFirst"},
                           {"VELMO Snapcarousel3.0", "Path"}};

void Rewrite(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    const std::string copy = path + ".w";
    std::FILE* f = std::fopen(copy.c_str(), "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size))
        std::abort();
    std::fclose(f);
    std::vector<std::optional<std::string>> before;
    for (const Name& name : kNames)
        before.push_back(ReadProfileValue(copy, name.section, name.key));
    if (WriteProfileValue(copy, "HEADER", "HdCapacity", "1234")) {
        if (ReadProfileValue(copy, "HEADER", "HdCapacity") != std::optional<std::string>("1234"))
            std::abort(); // the key must read back as it was written
        for (std::size_t i = 0; i < std::size(kNames); ++i)
            if (std::string_view(kNames[i].key) != "HdCapacity" &&
                ReadProfileValue(copy, kNames[i].section, kNames[i].key) != before[i])
                std::abort(); // and the other keys must not change
    }
    std::remove(copy.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = FileFuzzInput(data, size, ".ini");
    ReadAsLocalizeIni(path);
    for (const Name& name : kNames)
        ReadProfileString(path, name.section, name.key);
    Rewrite(path, data, size);
    return 0;
}
