#pragma once

#include "FrameKit/FileUtil.h"
#include "FrameKit/LayoutDetail.h"
#include "FrameKit/PackageRecords.h"

#include <cstdint>
#include <memory>

class PZAVUnpackAnalize;

// The state of the open package behind the facade.
class PZAVDocument
{
public:
    PZAVDocument();
    virtual ~PZAVDocument();
    PZAVDocument(const PZAVDocument&) = delete;
    PZAVDocument& operator=(const PZAVDocument&) = delete;

    PZAVUnpackAnalize* Analize() const { return m_analize.get(); }

private:
    std::unique_ptr<PZAVUnpackAnalize> m_analize;
};

// The kit's one entry point: packs layouts into a packaged frame file, opens
// one to answer questions about it, and unpacks it. Paths are host paths;
// every operation returns a PackageErrorCode.
class PackageZAV
{
public:
    PackageZAV();
    virtual ~PackageZAV();
    PackageZAV(const PackageZAV&) = delete;
    PackageZAV& operator=(const PackageZAV&) = delete;

    int Package(int count, const ZAVPath* layouts, const char* package);
    int PackageDSC(const char* index, const char* package);
    int Unpackage(const char* package, const char* targetFolder, int* warning);
    int Open(const char* package);
    int GetClassification(std::int8_t* classification);
    int GetIndexHeader(char indexName[256], LayoutHeaderRecord* header, IndexInfo* info);
    int GetLayoutFileNames(int layout, char scriptName[256], LayoutHeaderRecord* header);
    int GetLayoutFileCounts(int layout, int* accompanying, int* thumbnails, int* pictures, int* spare);
    int GetMemberFileName(int layout, int kind, int item, MemberRecord* out);
    int CopyMemberFile(int layout, int kind, int item, void* buffer, int size);

private:
    template <typename Body> int Query(Body&& body);
    void Close();

    std::unique_ptr<PZAVDocument> m_document;
};
