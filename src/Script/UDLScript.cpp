#include "Script/UDLScript.h"

#include "Core/ErrorCheck.h"
#include "Script/HeaderSection.h"
#include "Script/UDLObjectLine.h"

#include <new>

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
    m_header = UDLHeaderInfo();
    m_count = 0;
    m_records.reset();
}

void CUDLScript::Clear()
{
    InitHeader();
}

int CUDLScript::SetPaperSize(std::int32_t paperSize)
{
    m_header.paperSize = paperSize;
    return 1;
}

int CUDLScript::SetDirection(std::int32_t direction)
{
    m_header.direction = direction;
    return 1;
}

int CUDLScript::SetMarginMode(std::int32_t marginMode)
{
    m_header.marginMode = marginMode;
    return 1;
}

int CUDLScript::SetAuthor(std::string_view author)
{
    if (!IsValidHeaderText(author))
        return 0;
    m_header.author = author;
    return 1;
}

int CUDLScript::SetTitle(std::string_view title)
{
    if (!IsValidHeaderText(title))
        return 0;
    m_header.title = title;
    return 1;
}

int CUDLScript::SetComment(std::string_view comment)
{
    if (!IsValidHeaderText(comment))
        return 0;
    m_header.comment = comment;
    return 1;
}

int CUDLScript::SetRollPaperLength(std::uint16_t length)
{
    if (length < kMinRollPaperLength || length > kMaxRollPaperLength)
        return 0;
    m_header.rollPaperLength = length;
    return 1;
}

UDLDrawRecord* CUDLScript::GetDrawRecord(int index)
{
    if (!m_records || index < 0 || index >= m_count || static_cast<std::size_t>(index) >= m_records->size())
        return nullptr;
    return &(*m_records)[static_cast<std::size_t>(index)];
}

void CUDLScript::SetDrawRecords(std::vector<UDLDrawRecord> records)
{
    m_count = static_cast<std::int32_t>(records.size());
    m_records = std::move(records);
}

int CUDLScript::WriteHeader()
{
    try {
        WriteHeaderSection(*this, m_header, HeaderForm::Full);
        return 1;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

int CUDLScript::ParseHeader()
{
    try {
        std::string name;
        BoolCheck(FindSection(name) && name == "HEADER", 0);
        ParseHeaderKeys(*this, m_header, HeaderForm::Full);
        return 1;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

int CUDLScript::WritePage()
{
    try {
        BoolCheck(m_count >= 0, 0);
        const std::size_t count = static_cast<std::size_t>(m_count);
        BoolCheck(count == 0 || (m_records && count <= m_records->size()), 0);
        BoolCheck(WriteSection("PAGE"), 0);
        for (std::size_t i = 0; i < count; ++i) {
            const UDLDrawRecord& record = (*m_records)[i];
            BoolCheck(record.type != 3, 0);
            if (record.type < UDLDrawPicture || record.type > UDLDrawText) {
                BoolCheck(WriteLine(""), 0); // readers skip it
                continue;
            }
            const auto line = FormatUDLObjectLine(record, GetFolder());
            BoolCheck(line.has_value(), 0);
            BoolCheck(WriteLine(*line), 0);
        }
        return 1;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

int CUDLScript::ParsePage()
{
    try {
        std::string line;
        do
            BoolCheck(ReadLine(line), 0);
        while (line != "[PAGE]");
        std::vector<UDLDrawRecord> records;
        while (ReadLine(line) && !IsSectionLine(line)) {
            auto record = ParseUDLObjectLine(line, GetFolder());
            BoolCheck(record.has_value(), 0);
            records.push_back(std::move(*record));
        }
        BoolCheck(records.size() <= static_cast<std::size_t>(INT32_MAX), 0);
        SetDrawRecords(std::move(records));
        return 1;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

int CUDLScript::Write(const std::string& path)
{
    if (!OpenWrite(path))
        return 0;
    if (!WriteHeader() || !WritePage()) {
        Discard();
        return 0;
    }
    return Close();
}

int CUDLScript::Read(const std::string& path)
{
    Clear();
    if (!OpenRead(path))
        return 0;
    const int ok = ParseHeader() && ParsePage();
    Close();
    return ok;
}

int CUDLScript::ReadHeader(const std::string& path)
{
    Clear();
    if (!OpenRead(path))
        return 0;
    const int ok = ParseHeader();
    Close();
    return ok;
}
