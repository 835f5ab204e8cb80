// Writes the seed files of the profile fuzz corpus: each section of the
// shipped Localize.ini as a file of its own, and the camera-set headers and
// settings the program itself writes with the profile writer.
#include "Platform/ProfileWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER LOCALIZE_INI\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    std::filesystem::create_directories(out);
    std::ifstream in(argv[2], std::ios::binary);
    const std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int count = 0;
    // A section runs from its "[" at a line start to the next one.
    std::size_t start = ini.find('[');
    while (start != std::string::npos) {
        std::size_t next = ini.find("\n[", start);
        const std::size_t end = next == std::string::npos ? ini.size() : next + 1;
        std::ofstream(out + "/localize-" + std::to_string(++count) + ".ini", std::ios::binary)
            << ini.substr(start, end - start);
        start = next == std::string::npos ? next : next + 1;
    }
    struct Entry
    {
        const char* file;
        const char* section;
        const char* key;
        const char* value;
    };
    const Entry written[] = {
        {"index.ini", "HEADER", "HdCapability", "0"},
        {"index.ini", "HEADER", "HdCapability", "2048"},
        {"member.ini", "HEADER", "Hdusm", "LAYOUT01.USM"},
        {"member.ini", "HEADER", "HdCapacity", "0"},
        {"member.ini", "HEADER", "HdCapacity", "153600"},
        {"member.ini", "FRAME1", "Name", "\u30d5\u30ec\u30fc\u30e0"},
        {"settings.ini", "VELMO Snapcarousel3.0", "Path", "\"/opt/viewer/bin/viewer\""},
        {"settings.ini", "UISetting", "DefaultUnit", "2"},
        {"settings.ini", "Caption", "24", "Line one\\nline two"},
    };
    std::filesystem::remove(out + "/index.ini");
    std::filesystem::remove(out + "/member.ini");
    std::filesystem::remove(out + "/settings.ini");
    for (const Entry& e : written)
        if (!WriteProfileValue(out + "/" + e.file, e.section, e.key, e.value)) {
            std::fprintf(stderr, "%s not written\n", e.file);
            return 1;
        }
    std::printf("wrote %d sections and 3 written files\n", count);
    return 0;
}
