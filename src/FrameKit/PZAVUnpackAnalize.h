#pragma once

#include "FrameKit/PZAVLayoutFileInfo.h"
#include "FrameKit/PackageFormat.h"
#include "FrameKit/PackageRecords.h"

#include <memory>
#include <vector>

class USMParser;

// An open package's directory: which member is the set index, which the
// camera thumbnail, and for each layout script where its files lie.
class PZAVUnpackAnalize
{
public:
    PZAVUnpackAnalize();
    virtual ~PZAVUnpackAnalize();
    PZAVUnpackAnalize(const PZAVUnpackAnalize&) = delete;
    PZAVUnpackAnalize& operator=(const PZAVUnpackAnalize&) = delete;

    int Open(const char* package);
    void Close();
    bool IsOpen() const;

    int GetClassification(std::uint8_t* classification) const;
    int GetIndexHeader(char indexName[256], LayoutHeaderRecord* header, IndexInfo* info) const;
    int GetLayoutFileNames(int layout, char scriptName[256], LayoutHeaderRecord* header) const;
    int GetLayoutFileCounts(int layout, int* accompanying, int* thumbnails, int* pictures, int* spare) const;
    int GetMemberFileName(int layout, int kind, int item, MemberRecord* out) const;
    int CopyMemberFile(int layout, int kind, int item, void* buffer, int size) const;
    int FindIndex(char name[256]) const;

    // For the unpacking: the records in the order they are written.
    bool HasIndex() const { return m_index != nullptr; }
    const MemberRecord& IndexRecord() const { return m_indexRecord; }
    const MemberRecord& CameraThumbnail() const { return m_cameraThumbnail; }
    const std::vector<std::unique_ptr<PZAVLayoutFileInfo>>& Layouts() const { return m_layouts; }
    const PZAVPackageInfo& Package() const { return m_package; }

private:
    int OpenBody(const char* package);
    int ReadText(const char* name, std::vector<char>& text, std::uint32_t* offset, std::uint32_t* size) const;
    int ReadLayout(int member);
    bool ValidLayout(int layout) const;

    PZAVPackageInfo m_package;
    std::unique_ptr<USMParser> m_index;
    MemberRecord m_indexRecord;
    MemberRecord m_cameraThumbnail;
    std::vector<std::unique_ptr<PZAVLayoutFileInfo>> m_layouts;
};
