#include "Script/UDLScript.h"

#include "Core/ErrorCheck.h"
#include "Script/HeaderSection.h"
#include "Script/UDLObjectLine.h"

CUDLScript::CUDLScript()
{
    InitHeader();
}

CUDLScript::~CUDLScript()
{
    Clear();
}

void CUDLScript::InitHeader()
{
    ResetHeaderAndRecords();
}

void CUDLScript::Clear()
{
    InitHeader();
}

int CUDLScript::SetTitle(std::string_view title)
{
    return StoreHeaderText(m_header.title, title);
}

int CUDLScript::SetComment(std::string_view comment)
{
    return StoreHeaderText(m_header.comment, comment);
}

int CUDLScript::WriteHeader()
{
    return RunStep([&] { WriteHeaderSection(*this, m_header, HeaderForm::Full); });
}

int CUDLScript::ParseHeader()
{
    return RunStep([&] {
        std::string name;
        BoolCheck(FindSection(name) && name == "HEADER", 0);
        ParseHeaderKeys(*this, m_header, HeaderForm::Full);
    });
}

int CUDLScript::WritePage()
{
    return RunStep([&] {
        BoolCheck(m_count >= 0, 0);
        const std::size_t count = static_cast<std::size_t>(m_count);
        BoolCheck(count == 0 || (m_records && count <= m_records->size()), 0);
        BoolCheck(WriteSection("PAGE"), 0);
        // Type 3 is refused where the other unknown types are skipped, so it
        // must reach the check.
        WriteObjectLines(count, 3, [](const UDLDrawRecord& record, std::string_view folder) {
            BoolCheck(record.type != 3, 0);
            return FormatUDLObjectLine(record, folder);
        });
    });
}

int CUDLScript::ParsePage()
{
    return ParseObjectSection("[PAGE]", ParseUDLObjectLine);
}

int CUDLScript::Write(const std::string& path)
{
    return WriteFileWith(path, [this] { return WriteHeader() && WritePage(); });
}

int CUDLScript::Read(const std::string& path)
{
    Clear();
    return ReadFileWith(path, [this] { return ParseHeader() && ParsePage(); });
}

int CUDLScript::ReadHeader(const std::string& path)
{
    Clear();
    return ReadFileWith(path, [this] { return ParseHeader(); });
}
