#include "Script/UDOScript.h"

#include "Core/ErrorCheck.h"
#include "Script/ScriptNumber.h"
#include "Script/ShiftJisText.h"
#include "Script/UDLHeaderInfo.h"

#include <array>
#include <new>

namespace {

constexpr std::array<std::string_view, 3> kPrintPanels = {"EasyPrint", "PrintOnly", "FALSE"};
constexpr std::array<std::string_view, 6> kActivePanels = {"Opening",     "SelectSource", "ReadingPhoto",
                                                           "SelectPhoto", "SelectLayer",  "Print"};

std::string_view TrueFalse(std::int32_t flag)
{
    return flag ? "TRUE" : "FALSE";
}

void WritePathKey(CScript& script, std::string_view key, std::string_view path)
{
    BoolCheck(FitsShiftJisField(path, kFileNameField), 0);
    BoolCheck(script.WriteKeyValue(key, path), 0);
}

} // namespace

CUDOScript::CUDOScript()
{
    InitDefaults();
}

CUDOScript::~CUDOScript()
{
    Clear();
}

void CUDOScript::InitDefaults()
{
    m_version = 1.1;
    m_target = "Snapcarousel";
    m_caller = "ZAV VARERAVA";
    m_opening = m_selectSource = m_readingPhoto = m_selectPhoto = m_selectLayout = 0;
    m_printPanel = 0;
    m_activePanel = 5;
    m_sourceFiles.clear();
    m_photoCount = 1;
    m_layoutId.clear();
}

void CUDOScript::Clear()
{
    InitDefaults();
}

void CUDOScript::WriteAll()
{
    const auto version = FormatFixed2(m_version, 4);
    BoolCheck(version.has_value(), 0);
    BoolCheck(m_printPanel >= 0 && m_printPanel < static_cast<std::int32_t>(kPrintPanels.size()), 0);
    BoolCheck(m_activePanel >= 0 && m_activePanel < static_cast<std::int32_t>(kActivePanels.size()), 0);
    BoolCheck(FitsShiftJisField(m_target, kHeaderTextField) && FitsShiftJisField(m_caller, kHeaderTextField),
              0);

    BoolCheck(WriteSection("General"), 0);
    BoolCheck(WriteKeyValue("Version", *version), 0);
    BoolCheck(WriteKeyValue("Target", m_target), 0);
    BoolCheck(WriteKeyValue("Caller", m_caller), 0);

    BoolCheck(WriteSection("AvailablePanel"), 0);
    BoolCheck(WriteKeyValue("Opening", TrueFalse(m_opening)), 0);
    BoolCheck(WriteKeyValue("SelectSource", TrueFalse(m_selectSource)), 0);
    BoolCheck(WriteKeyValue("ReadingPhoto", TrueFalse(m_readingPhoto)), 0);
    BoolCheck(WriteKeyValue("SelectPhoto", TrueFalse(m_selectPhoto)), 0);
    BoolCheck(WriteKeyValue("SelectLayout", TrueFalse(m_selectLayout)), 0);
    BoolCheck(WriteKeyValue("Print", kPrintPanels[static_cast<std::size_t>(m_printPanel)]), 0);

    BoolCheck(WriteSection("StartPanel"), 0);
    BoolCheck(WriteKeyValue("ActivePanel", kActivePanels[static_cast<std::size_t>(m_activePanel)]), 0);
    if (m_appClose)
        BoolCheck(WriteKeyValue("AppClose", "TRUE"), 0);

    BoolCheck(WriteSection("SelectSource"), 0);
    for (std::size_t i = 0; i < m_sourceFiles.size(); ++i)
        WritePathKey(*this, "File" + std::to_string(i + 1), m_sourceFiles[i]);

    BoolCheck(WriteSection("SelectPhoto"), 0);
    BoolCheck(WriteKeyInt("PhotoCount", m_photoCount), 0);

    BoolCheck(WriteSection("LayoutSelect"), 0);
    WritePathKey(*this, "LayoutID", m_layoutId);
}

int CUDOScript::Write(const std::string& path)
{
    if (!OpenWrite(path))
        return 0;
    try {
        WriteAll();
        return Close();
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    Discard();
    return 0;
}
