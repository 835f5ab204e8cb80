// The hand-off file (".udo") with which the editor starts the photo-printing
// application: who calls, which panels to offer and open, which photos and
// which layout to use. Write-only.
#pragma once

#include "Script/Script.h"

#include <cstdint>
#include <string>
#include <vector>

class CUDOScript : public CScript
{
public:
    CUDOScript();
    ~CUDOScript() override;

    // Every member but the close flag to its default.
    void InitDefaults();
    // The same; the close flag keeps its value.
    void Clear();

    // Paths are written as they are; one of more than 767 Shift-JIS bytes
    // makes Write fail.
    void SetLayoutID(std::string_view path) { m_layoutId = path; }
    void SetSourceFiles(std::vector<std::string> paths) { m_sourceFiles = std::move(paths); }
    void SetVersion(double version) { m_version = version; }
    void SetAppClose(std::int32_t close) { m_appClose = close; }

    // 1 for success, 0 for failure. A failed Write leaves the previous file
    // as it was when nothing could be written.
    int Write(const std::string& path);

private:
    void WriteAll();

    double m_version = 1.1;
    std::string m_target;
    std::string m_caller;
    std::int32_t m_opening = 0;
    std::int32_t m_selectSource = 0;
    std::int32_t m_readingPhoto = 0;
    std::int32_t m_selectPhoto = 0;
    std::int32_t m_selectLayout = 0;
    std::int32_t m_printPanel = 0;  // 0 "EasyPrint", 1 "PrintOnly", 2 "FALSE"
    std::int32_t m_activePanel = 5; // 0 "Opening" ... 5 "Print"
    std::vector<std::string> m_sourceFiles;
    std::uint8_t m_photoCount = 1;
    std::string m_layoutId;
    std::int32_t m_appClose = 0;
};
