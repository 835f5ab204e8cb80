#include "App/PaperNames.h"

#include "App/ZAVEditorDoc.h"
#include "Core/LocalizeScript.h"
#include "Layout/PaperTable.h"
#include "Script/HeaderSection.h"

int PaperIndexFromName(std::string_view name)
{
    // Code 11 has no name, so an empty name matches nothing.
    for (int code = 0; code < kPaperSizeCount; ++code) {
        const auto text = PaperSizeText(code);
        if (text && *text == name)
            return code;
    }
    return -1;
}

std::string GetPaperSizeName(const std::string& localizeIniPath, int code)
{
    std::vector<PaperSizeEntry> list;
    CLocalizeScript(localizeIniPath).GetPaperSizeString(list);
    std::string name;
    for (const PaperSizeEntry& entry : list)
        if (entry.paperId == code)
            name = entry.name;
    return name;
}

int CZAVEditorDoc::FindPaperSizeEntry(int code) const
{
    for (std::size_t n = 0; n < m_paperSizes.size(); ++n)
        if (m_paperSizes[n].paperId == code)
            return static_cast<int>(n);
    return -1;
}
