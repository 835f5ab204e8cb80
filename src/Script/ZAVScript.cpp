#include "Script/ZAVScript.h"

#include "Core/ErrorCheck.h"
#include "Script/HeaderSection.h"
#include "Script/ZAVObjectLine.h"

#include <new>

namespace {

HeaderForm FormOf(std::int32_t dscFlag)
{
    return dscFlag ? HeaderForm::Camera : HeaderForm::Full;
}

} // namespace

CZAVScript::CZAVScript()
{
    InitHeader();
}

CZAVScript::~CZAVScript()
{
    Clear();
}

void CZAVScript::InitHeader()
{
    m_header = UDLHeaderInfo();
    m_records.reset();
    m_count = 0;
    m_dscFlag = 0;
    m_dscRevision = 1.0;
    m_dscTitle.clear();
    m_dscComment.clear();
    m_classification = 0.01;
}

void CZAVScript::Clear()
{
    InitHeader();
}

int CZAVScript::SetPaperSize(std::int32_t paperSize)
{
    m_header.paperSize = paperSize;
    return 1;
}

int CZAVScript::SetDirection(std::int32_t direction)
{
    m_header.direction = direction;
    return 1;
}

int CZAVScript::SetMarginMode(std::int32_t marginMode)
{
    m_header.marginMode = marginMode;
    return 1;
}

int CZAVScript::SetAuthor(std::string_view author)
{
    if (!IsValidHeaderText(author))
        return 0;
    m_header.author = author;
    return 1;
}

int CZAVScript::SetTitle(std::string_view title)
{
    if (!IsValidHeaderText(title))
        return 0;
    m_header.title = title;
    if (m_dscFlag)
        m_dscTitle = title;
    return 1;
}

int CZAVScript::SetComment(std::string_view comment)
{
    if (!IsValidHeaderText(comment))
        return 0;
    m_header.comment = comment;
    if (m_dscFlag)
        m_dscComment = comment;
    return 1;
}

int CZAVScript::SetRollPaperLength(std::uint16_t length)
{
    if (length < kMinRollPaperLength || length > kMaxRollPaperLength)
        return 0;
    m_header.rollPaperLength = length;
    return 1;
}

ZAVDrawRecord* CZAVScript::GetDrawRecord(int index)
{
    if (!m_records || index < 0 || index >= m_count || static_cast<std::size_t>(index) >= m_records->size())
        return nullptr;
    return &(*m_records)[static_cast<std::size_t>(index)];
}

void CZAVScript::SetDrawRecords(std::vector<ZAVDrawRecord> records)
{
    m_count = static_cast<std::int32_t>(records.size());
    m_records = std::move(records);
}

int CZAVScript::WriteHeader()
{
    try {
        WriteHeaderSection(*this, m_header, FormOf(m_dscFlag));
        return 1;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

int CZAVScript::WriteDSCHeader()
{
    try {
        BoolCheck(WriteSection("DSC_ZAV_HEADER"), 0);
        WriteRevisionKey(*this, "HdRevision", m_dscRevision);
        WriteQuotedKey(*this, "HdTitle", m_dscTitle, kHeaderTextField);
        WriteQuotedKey(*this, "HdComment", m_dscComment, kHeaderTextField);
        WriteRevisionKey(*this, "HdClassification", m_classification);
        return 1;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

int CZAVScript::WriteObjects()
{
    try {
        BoolCheck(m_records.has_value() && m_count >= 0, 0);
        const std::size_t count = static_cast<std::size_t>(m_count);
        BoolCheck(count <= m_records->size(), 0);
        for (std::size_t i = 0; i < count; ++i) {
            const ZAVDrawRecord& record = (*m_records)[i];
            if (record.type < ZAVDrawPicture || record.type > ZAVDrawString) {
                BoolCheck(WriteLine(""), 0); // readers skip it
                continue;
            }
            const auto line = FormatObjectLine(record, GetFolder());
            BoolCheck(line.has_value(), 0);
            BoolCheck(WriteLine(*line), 0);
        }
        return 1;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

int CZAVScript::ParseHeader()
{
    try {
        ParseHeaderKeys(*this, m_header, FormOf(m_dscFlag));
        return 1;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

int CZAVScript::ParseDSCHeader()
{
    try {
        m_dscRevision = ReadRequiredNumber(*this, "HdRevision");
        if (auto title = ReadQuotedKey(*this, "HdTitle"))
            m_dscTitle = CutHeaderText(*title);
        m_header.title = m_dscTitle;
        if (auto comment = ReadQuotedKey(*this, "HdComment"))
            m_dscComment = CutHeaderText(*comment);
        m_header.comment = m_dscComment;
        if (auto classification = ReadOptionalNumber(*this, "HdClassification"))
            m_classification = *classification;
        return 1;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

int CZAVScript::ParseObjectSection(std::string_view sectionLine)
{
    try {
        std::string line;
        do
            BoolCheck(ReadLine(line), 0);
        while (line != sectionLine);
        std::vector<ZAVDrawRecord> records;
        while (ReadLine(line) && !IsSectionLine(line)) {
            auto record = ParseObjectLine(line, GetFolder());
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

int CZAVScript::ParsePage()
{
    return ParseObjectSection("[PAGE]");
}

int CZAVScript::ParseBasePaperInfo()
{
    return ParseObjectSection("[BASE_PAPER_INFO]");
}

int CZAVScript::Write(const std::string& path)
{
    if (!OpenWrite(path))
        return 0;
    bool ok;
    if (m_dscFlag)
        ok = WriteDSCHeader() && WriteHeader() && WriteSection("BASE_PAPER_INFO") && WriteObjects();
    else
        ok = WriteHeader() && WriteSection("PAGE") && WriteObjects();
    if (!ok) {
        Discard();
        return 0;
    }
    return Close();
}

int CZAVScript::Read(const std::string& path)
{
    Clear();
    if (!OpenRead(path))
        return 0;
    std::string name;
    int ok = FindSection(name);
    if (ok && name == "HEADER") {
        m_dscFlag = 0;
        ok = ParseHeader() && ParsePage();
    } else if (ok && name == "DSC_ZAV_HEADER") {
        m_dscFlag = 1;
        ok = ParseDSCHeader() && FindSection(name) && name == "HEADER" && ParseHeader() &&
             ParseBasePaperInfo();
    } else {
        ok = 0;
    }
    Close();
    return ok;
}

int CZAVScript::ReadHeader(const std::string& path)
{
    Clear();
    if (!OpenRead(path))
        return 0;
    std::string name;
    int ok = FindSection(name);
    if (ok && name == "HEADER") {
        m_dscFlag = 0;
        ok = ParseHeader();
    } else if (ok && name == "DSC_ZAV_HEADER") {
        m_dscFlag = 1;
        ok = ParseDSCHeader() && FindSection(name) && name == "HEADER" && ParseHeader() &&
             ParseBasePaperInfo();
    } else {
        ok = 0;
    }
    Close();
    return ok;
}
