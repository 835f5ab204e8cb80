// CUSMFile: the set index (".usm") of a layout set, and the steps that export
// one layout script into a set of member scripts, one per paper variant, with
// the index that names them. A plain CUSMFile only reads indexes; sets are
// written through the camera variant, which supplies the variants, the names
// and the byte total.
#pragma once

#include "Script/DSCPaperVariant.h"
#include "Script/Script.h"
#include "Script/UDLDrawRecord.h"
#include "Script/USMHeader.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CUDLScript;

// The layout a set is exported from, as the index needs it.
class IUSMDocument
{
public:
    virtual ~IUSMDocument() = default;
    virtual std::string GetTitle() const = 0;
    virtual std::string GetComment() const = 0;
};

class CUSMFile : public CScript
{
public:
    CUSMFile();
    ~CUSMFile() override;

    // Operations answer 1 for success, else 0 or the failing step's result.
    virtual int Init(IUSMDocument* document, const std::string& sourceScriptPath,
                     const std::string& destinationPath);
    virtual int Save();
    // Appends the member script file name of every variant, in list order.
    virtual int MakeUsdFileName(std::vector<std::string>& names);
    // The set's temporary folder: ".../ZAVTempSaveUSM/" and the index name
    // without its extension.
    virtual int GetTempFolder(std::string& folder);
    virtual void ResetHeader();
    virtual void Reset();
    virtual int TakeTitleAndComment();
    virtual int FinishIndex();
    virtual int MakeIndexFileName(const std::string& destinationPath);
    virtual int WriteIndex();
    virtual int WriteHeader();
    virtual int ParseHeader();
    virtual int FitObjects(const DSCPaperVariant& pair, std::span<UDLDrawRecord> records,
                           std::int32_t& rollLength);

    int ReadIndex(const std::string& path);
    const std::string& GetTitle() const { return m_header.title; }
    const std::string& GetComment() const { return m_header.comment; }
    double GetClassification() const { return m_header.classification; }
    std::int32_t GetCount() const { return m_header.count; }
    // Empty outside the names read.
    std::string GetFilename(int index) const;
    const USMHeader& GetHeader() const { return m_header; }

    int Export();
    int FormatUsdFileName(std::size_t pairIndex, std::string& name);
    int ExportMember(const std::string& memberPath, CUDLScript& source, const DSCPaperVariant& pair);
    int UpdateUsdCapacity(const std::string& memberPath);
    int GetMemberFolder(std::string& folder) const;
    int RelocateRecordFile(UDLDrawRecord& record) const;
    int MakeRelativeToIndex(std::string& path) const;

    const std::string& GetIndexPath() const { return m_indexPath; }
    const std::string& GetTempIndexPath() const { return m_tempIndexPath; }
    const std::string& GetSourceScriptPath() const { return m_sourceScriptPath; }
    const std::vector<DSCPaperVariant>& GetVariants() const { return m_variants; }

protected:
    // The first six characters of a name, blank-padded when shorter.
    static std::string FirstSixOf(std::string_view name);
    // Builds the index path of a destination with the suffix ("__", "_0").
    int BuildIndexPath(const std::string& destinationPath, std::string_view suffix);
    void AddVariant(const DSCPaperVariant& pair) { m_variants.push_back(pair); }

    USMHeader m_header;
    std::vector<DSCPaperVariant> m_variants;
    std::string m_indexPath;
    std::string m_tempIndexPath;
    std::string m_sourceScriptPath;
    IUSMDocument* m_document = nullptr;
};
