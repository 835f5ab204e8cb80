#include "Script/ZAVScript.h"

#include "Core/ErrorCheck.h"
#include "Script/HeaderSection.h"
#include "Script/ZAVObjectLine.h"

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
    ResetHeaderAndRecords();
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

int CZAVScript::SetTitle(std::string_view title)
{
    if (!StoreHeaderText(m_header.title, title))
        return 0;
    if (m_dscFlag)
        m_dscTitle = title;
    return 1;
}

int CZAVScript::SetComment(std::string_view comment)
{
    if (!StoreHeaderText(m_header.comment, comment))
        return 0;
    if (m_dscFlag)
        m_dscComment = comment;
    return 1;
}

int CZAVScript::WriteHeader()
{
    return RunStep([&] { WriteHeaderSection(*this, m_header, FormOf(m_dscFlag)); });
}

int CZAVScript::WriteDSCHeader()
{
    return RunStep([&] {
        BoolCheck(WriteSection("DSC_ZAV_HEADER"), 0);
        WriteRevisionKey(*this, "HdRevision", m_dscRevision);
        WriteQuotedKey(*this, "HdTitle", m_dscTitle, kHeaderTextField);
        WriteQuotedKey(*this, "HdComment", m_dscComment, kHeaderTextField);
        WriteRevisionKey(*this, "HdClassification", m_classification);
    });
}

int CZAVScript::WriteObjects()
{
    return RunStep([&] {
        BoolCheck(m_records.has_value() && m_count >= 0, 0);
        const std::size_t count = static_cast<std::size_t>(m_count);
        BoolCheck(count <= m_records->size(), 0);
        WriteObjectLines(count, ZAVDrawString, FormatObjectLine);
    });
}

int CZAVScript::ParseHeader()
{
    return RunStep([&] { ParseHeaderKeys(*this, m_header, FormOf(m_dscFlag)); });
}

int CZAVScript::ParseDSCHeader()
{
    return RunStep([&] {
        m_dscRevision = ReadRequiredNumber(*this, "HdRevision");
        if (auto title = ReadQuotedKey(*this, "HdTitle"))
            m_dscTitle = CutHeaderText(*title);
        m_header.title = m_dscTitle;
        if (auto comment = ReadQuotedKey(*this, "HdComment"))
            m_dscComment = CutHeaderText(*comment);
        m_header.comment = m_dscComment;
        if (auto classification = ReadOptionalNumber(*this, "HdClassification"))
            m_classification = *classification;
    });
}

int CZAVScript::ParsePage()
{
    return ParseObjectSection("[PAGE]", ParseObjectLine);
}

int CZAVScript::ParseBasePaperInfo()
{
    return ParseObjectSection("[BASE_PAPER_INFO]", ParseObjectLine);
}

int CZAVScript::ParseSections(bool plainPage)
{
    std::string name;
    if (!FindSection(name))
        return 0;
    if (name == "HEADER") {
        m_dscFlag = 0;
        return ParseHeader() && (!plainPage || ParsePage());
    }
    if (name == "DSC_ZAV_HEADER") {
        m_dscFlag = 1;
        return ParseDSCHeader() && FindSection(name) && name == "HEADER" && ParseHeader() &&
               ParseBasePaperInfo();
    }
    return 0;
}

int CZAVScript::Write(const std::string& path)
{
    return WriteFileWith(path, [this] {
        if (m_dscFlag)
            return WriteDSCHeader() && WriteHeader() && WriteSection("BASE_PAPER_INFO") && WriteObjects();
        return WriteHeader() && WriteSection("PAGE") && WriteObjects();
    });
}

int CZAVScript::Read(const std::string& path)
{
    Clear();
    return ReadFileWith(path, [this] { return ParseSections(true); });
}

int CZAVScript::ReadHeader(const std::string& path)
{
    Clear();
    return ReadFileWith(path, [this] { return ParseSections(false); });
}
