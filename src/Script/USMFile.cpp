#include "Script/USMFile.h"

#include "Core/ErrorCheck.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Core/TempFolders.h"
#include "Platform/ProfileWriter.h"
#include "Platform/ShiftJis.h"
#include "Script/HeaderSection.h"
#include "Script/RecordFitting.h"
#include "Script/ScriptNumber.h"
#include "Script/ScriptText.h"
#include "Script/UDLScript.h"

#include <climits>
#include <new>

namespace {

constexpr std::size_t kNameChars = 6;
constexpr std::int32_t kMinMemberRollLength = 500;

// Catches a step's raised result at an operation's boundary.
template <class Step> int Guarded(Step step)
{
    try {
        step();
        return 1;
    } catch (int code) {
        return code;
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

void Require(int result)
{
    if (result != 1)
        throw int{result};
}

std::optional<char> PaperCharacter(std::int32_t paperSize)
{
    switch (paperSize) {
    case 17:
        return '0';
    case 18:
        return '1';
    case 16:
        return '2';
    case 0:
        return '3';
    case 15:
        return '4';
    case 1:
        return '5';
    case 6:
        return '6';
    case 7:
        return '7';
    case 10:
        return '8';
    case 19:
        return 'A';
    case 13:
        return 'B';
    case 3:
        return 'C';
    case 4:
        return 'D';
    case 5:
        return 'E';
    case 8:
        return 'F';
    case 9:
        return 'G';
    case 2:
        return 'H';
    default:
        return std::nullopt;
    }
}

std::optional<char> BorderCharacter(std::int32_t marginMode)
{
    switch (marginMode) {
    case 2:
        return '0';
    case 0:
        return '1';
    case 1:
        return '2';
    default:
        return std::nullopt;
    }
}

std::int32_t ReadRequiredInt(CScript& script, std::string_view key)
{
    std::string value;
    BoolCheck(script.GetKeyValue(key, value), 0);
    const auto number = ParseScriptInt(value);
    BoolCheck(number.has_value(), 0);
    return *number;
}

// The file name of a reference in either form (a text record keeps the
// stored form with "\").
std::string ReferenceFileName(std::string_view reference)
{
    const auto slash = reference.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? reference : reference.substr(slash + 1));
}

} // namespace

std::optional<std::string> VariantFileCode(const DSCPaperVariant& variant)
{
    const auto paper = PaperCharacter(variant.paperSize);
    const auto border = BorderCharacter(variant.marginMode);
    if (!paper || !border)
        return std::nullopt;
    return std::string{*paper, *border};
}

CUSMFile::CUSMFile()
{
    CUSMFile::Reset();
}

CUSMFile::~CUSMFile()
{
    CUSMFile::Reset();
}

int CUSMFile::Init(IUSMDocument* document, const std::string& sourceScriptPath,
                   const std::string& destinationPath)
{
    return Guarded([&] {
        m_document = document;
        Require(MakeIndexFileName(destinationPath));
        m_sourceScriptPath = sourceScriptPath;
    });
}

int CUSMFile::Save()
{
    return Guarded([&] {
        Require(Export());
        Require(TakeTitleAndComment());
        Require(WriteIndex());
        FinishIndex();
    });
}

int CUSMFile::MakeUsdFileName(std::vector<std::string>& names)
{
    return Guarded([&] {
        for (std::size_t i = 0; i < m_variants.size(); ++i) {
            std::string name;
            Require(FormatUsdFileName(i, name));
            names.push_back(std::move(name));
        }
    });
}

int CUSMFile::GetTempFolder(std::string& folder)
{
    return Guarded([&] {
        BoolCheck(!m_indexPath.empty(), 0);
        const std::string base = GetTempSaveUSMFolder(false);
        BoolCheck(!base.empty(), 0);
        folder = base + GetFileNameFromPath(m_indexPath, false);
    });
}

void CUSMFile::ResetHeader()
{
    m_header = USMHeader();
}

void CUSMFile::Reset()
{
    CUSMFile::ResetHeader();
    m_indexPath.clear();
    m_tempIndexPath.clear();
    m_sourceScriptPath.clear();
    m_variants.clear();
}

int CUSMFile::TakeTitleAndComment()
{
    return Guarded([&] {
        NullCheck(m_document, 0);
        m_header.title = m_document->GetTitle();
        m_header.comment = m_document->GetComment();
        BoolCheck(m_header.fileNames.size() <= static_cast<std::size_t>(INT32_MAX), 0);
        m_header.count = static_cast<std::int32_t>(m_header.fileNames.size());
    });
}

int CUSMFile::FinishIndex()
{
    return 1;
}

int CUSMFile::MakeIndexFileName(const std::string& destinationPath)
{
    return BuildIndexPath(destinationPath, "__");
}

int CUSMFile::BuildIndexPath(const std::string& destinationPath, std::string_view suffix)
{
    return Guarded([&] {
        const std::string name =
            FirstSixOf(GetFileNameFromPath(destinationPath, false)) + std::string(suffix) + ".usm";
        const std::string folder = GetFolderFromPath(destinationPath);
        m_indexPath = folder.empty() ? name : CombinePath(folder, name);
    });
}

std::string CUSMFile::FirstSixOf(std::string_view name)
{
    std::string cut = CutToShiftJisBytes(name, kNameChars);
    const auto sjis = Utf8ToShiftJis(cut);
    const std::size_t used = sjis ? sjis->size() : cut.size();
    if (used < kNameChars)
        cut.append(kNameChars - used, ' ');
    return cut;
}

int CUSMFile::WriteIndex()
{
    return Guarded([&] {
        BoolCheck(!m_tempIndexPath.empty(), 0);
        int result = 1;
        const int written = WriteFileWith(m_tempIndexPath, [&] {
            result = WriteHeader();
            return result == 1;
        });
        Require(result);
        BoolCheck(written, 0);
    });
}

int CUSMFile::WriteHeader()
{
    return Guarded([&] {
        BoolCheck(WriteSection("HEADER"), 0);
        WriteRevisionKey(*this, "HdRevision", m_header.revision);
        WriteQuotedKey(*this, "HdTitle", m_header.title, kHeaderTextField);
        WriteQuotedKey(*this, "HdComment", m_header.comment, kHeaderTextField);
        // The set's byte total replaces it once the whole set is written.
        BoolCheck(WriteKeyValue("HdCapability", "0"), 0);
        WriteRevisionKey(*this, "HdClassification", m_header.classification);
        BoolCheck(m_header.fileNames.size() <= static_cast<std::size_t>(INT32_MAX), 0);
        BoolCheck(WriteKeyInt("HdCount", static_cast<std::int32_t>(m_header.fileNames.size())), 0);
        for (const std::string& path : m_header.fileNames)
            WriteQuotedKey(*this, "HdFilename", GetFileNameFromPath(path, true), kFileNameField);
        if (!m_header.cameraThumbnail.empty()) {
            std::string thumbnail = m_header.cameraThumbnail;
            Require(MakeRelativeToIndex(thumbnail));
            WriteQuotedKey(*this, "HdDSCThumbnail", NativeToStoredReference(thumbnail), kFileNameField);
        }
    });
}

int CUSMFile::ParseHeader()
{
    return Guarded([&] {
        std::string name;
        BoolCheck(FindSection(name) && name == "HEADER", 0);
        m_header.revision = ReadRequiredNumber(*this, "HdRevision");
        if (auto title = ReadQuotedKey(*this, "HdTitle"))
            m_header.title = std::move(*title);
        if (auto comment = ReadQuotedKey(*this, "HdComment"))
            m_header.comment = std::move(*comment);
        m_header.capability = ReadRequiredInt(*this, "HdCapability");
        m_header.classification = ReadRequiredNumber(*this, "HdClassification");
        m_header.count = ReadRequiredInt(*this, "HdCount");
        std::string value;
        while (GetKeyValue("HdFilename", value)) {
            BoolCheck(UnquoteString(value), 0);
            m_header.fileNames.push_back(value);
        }
        BoolCheck(!m_header.fileNames.empty(), 0);
        BoolCheck(
            m_header.count >= 0 && m_header.fileNames.size() == static_cast<std::size_t>(m_header.count), 0);
        if (auto thumbnail = ReadQuotedKey(*this, "HdDSCThumbnail"))
            m_header.cameraThumbnail = std::move(*thumbnail);
    });
}

int CUSMFile::FitObjects(const DSCPaperVariant&, std::span<UDLDrawRecord>, std::int32_t&)
{
    return 1;
}

int CUSMFile::ReadIndex(const std::string& path)
{
    return ReadFileWith(path, [this] { return ParseHeader() == 1 ? 1 : 0; });
}

std::string CUSMFile::GetFilename(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_header.fileNames.size())
        return {};
    return m_header.fileNames[static_cast<std::size_t>(index)];
}

int CUSMFile::Export()
{
    m_header.fileNames.clear();
    return Guarded([&] {
        BoolCheck(!m_tempIndexPath.empty(), 0);
        CUDLScript source;
        Require(source.Read(m_sourceScriptPath));
        const std::string memberFolder = GetFolderFromPath(m_tempIndexPath);
        for (std::size_t i = 0; i < m_variants.size(); ++i) {
            std::string name;
            Require(FormatUsdFileName(i, name));
            const std::string memberPath = memberFolder.empty() ? name : CombinePath(memberFolder, name);
            Require(ExportMember(memberPath, source, m_variants[i]));
            Require(UpdateUsdCapacity(memberPath));
            m_header.fileNames.push_back(memberPath);
        }
    });
}

int CUSMFile::FormatUsdFileName(std::size_t pairIndex, std::string& name)
{
    return Guarded([&] {
        BoolCheck(!m_indexPath.empty() && pairIndex < m_variants.size(), 0);
        const DSCPaperVariant& pair = m_variants[pairIndex];
        const auto code = VariantFileCode(pair);
        BoolCheck(code.has_value(), 0);
        name = FirstSixOf(GetFileNameFromPath(m_indexPath, true)) + *code + ".usd";
    });
}

int CUSMFile::ExportMember(const std::string& memberPath, CUDLScript& source, const DSCPaperVariant& pair)
{
    return Guarded([&] {
        CUDLScript member;
        BoolCheck(member.SetPaperSize(pair.paperSize), 0);
        BoolCheck(member.SetDirection(source.GetDirection()), 0);
        BoolCheck(member.SetMarginMode(pair.marginMode), 0);
        BoolCheck(member.SetAuthor(source.GetAuthor()), 0);
        BoolCheck(member.SetTitle(source.GetTitle()), 0);
        BoolCheck(member.SetComment(source.GetComment()), 0);

        const std::int32_t count = source.GetDrawRecordCount();
        BoolCheck(count >= 0, 0);
        std::vector<UDLDrawRecord> records(static_cast<std::size_t>(count));
        for (std::int32_t i = 0; i < count; ++i) {
            const UDLDrawRecord* record = source.GetDrawRecord(i);
            NullCheck(record, 0);
            records[static_cast<std::size_t>(i)] = *record;
        }
        // A roll paper's rectangle is as long as the roll the member is
        // written with; a length of 0 would give it a negative bottom that no
        // script may hold.
        const std::int32_t rollLength = kMinMemberRollLength;
        SetRecordRect(pair, records, rollLength);
        BoolCheck(member.SetRollPaperLength(static_cast<std::uint16_t>(rollLength)), 0);
        for (UDLDrawRecord& record : records)
            Require(RelocateRecordFile(record));
        member.SetDrawRecords(std::move(records));

        if (!source.GetThumbnail().empty()) {
            std::string folder;
            Require(GetMemberFolder(folder));
            std::string thumbnail = CombinePath(folder, GetFileNameFromPath(source.GetThumbnail(), true));
            Require(MakeRelativeToIndex(thumbnail));
            member.SetThumbnail(thumbnail);
        }
        member.SetCapacity(0);
        BoolCheck(member.Write(memberPath) == 1, 0);
    });
}

int CUSMFile::UpdateUsdCapacity(const std::string& memberPath)
{
    return Guarded([&] {
        BoolCheck(WriteProfileValue(memberPath, "HEADER", "HdCapacity", "0"), 0);
        std::uint64_t total = GetFileSizeOfPath(memberPath);
        std::string temp;
        Require(GetTempFolder(temp));
        const std::string textImage =
            CombinePath(temp, FirstSixOf(GetFileNameFromPath(m_indexPath, false)) + ".eff");
        if (IsFile(textImage))
            total += GetFileSizeOfPath(textImage);
        // A missing thumbnail adds nothing.
        total += GetFileSizeOfPath(CombinePath(temp, "THUMB.USF"));
        // The number replaces the one character "0": the file grows by its
        // digits but one, which may itself need one more digit.
        const std::string first = std::to_string(total);
        const std::string second = std::to_string(total + first.size() - 1);
        total += second.size() - 1;
        BoolCheck(total <= static_cast<std::uint64_t>(INT32_MAX), 0);
        BoolCheck(WriteProfileValue(memberPath, "HEADER", "HdCapacity", std::to_string(total)), 0);
    });
}

int CUSMFile::GetMemberFolder(std::string& folder) const
{
    if (m_indexPath.empty())
        return 0;
    const std::string parent = GetFolderFromPath(m_indexPath);
    const std::string stem = GetFileNameFromPath(m_indexPath, false);
    folder = parent.empty() ? stem : CombinePath(parent, stem);
    return 1;
}

int CUSMFile::RelocateRecordFile(UDLDrawRecord& record) const
{
    std::string* field = nullptr;
    if (record.type == UDLDrawPicture)
        field = &record.picture.fileName;
    else if (record.type == UDLDrawText)
        field = &record.text.imageFileName;
    if (!field || field->empty())
        return 1;
    std::string folder;
    if (!GetMemberFolder(folder))
        return 0;
    std::string relocated = CombinePath(folder, ReferenceFileName(*field));
    if (!MakeRelativeToIndex(relocated))
        return 0;
    // A picture holds a native path, a text record its reference as stored.
    *field = record.type == UDLDrawPicture ? relocated : NativeToStoredReference(relocated);
    return 1;
}

int CUSMFile::MakeRelativeToIndex(std::string& path) const
{
    if (m_indexPath.empty())
        return 0;
    const std::string folder = GetFolderFromPath(m_indexPath);
    if (!folder.empty())
        path = MakeDotRelativePath(folder, path);
    return 1;
}
