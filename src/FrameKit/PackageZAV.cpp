#include "FrameKit/PackageZAV.h"

#include "FrameKit/PZAVPackAnalize.h"
#include "FrameKit/PZAVUnpackAnalize.h"
#include "FrameKit/PZAVUnpackage.h"
#include "FrameKit/PackageErrorCode.h"

#include <new>

PZAVDocument::PZAVDocument() : m_analize(new (std::nothrow) PZAVUnpackAnalize)
{
}

PZAVDocument::~PZAVDocument() = default;

PackageZAV::PackageZAV() : m_document(new (std::nothrow) PZAVDocument)
{
}

PackageZAV::~PackageZAV() = default;

void PackageZAV::Close()
{
    if (m_document && m_document->Analize())
        m_document->Analize()->Close();
}

template <typename Body> int PackageZAV::Query(Body&& body)
{
    int rc = ZavGuard([&]() -> int {
        if (!m_document || !m_document->Analize() || !m_document->Analize()->IsOpen())
            return ZAV_ERR_NO_PACKAGE;
        return body(*m_document->Analize());
    });
    if (rc != ZAV_OK)
        Close();
    return rc;
}

int PackageZAV::Package(int count, const ZAVPath* layouts, const char* package)
{
    return ZavGuard([&]() -> int {
        PZAVPackAnalize analysis;
        if (int rc = analysis.AnalyseLayouts(count, layouts, package))
            return rc;
        return WritePackage(analysis, package);
    });
}

int PackageZAV::PackageDSC(const char* index, const char* package)
{
    return ZavGuard([&]() -> int {
        PZAVPackAnalize analysis;
        if (int rc = analysis.AnalyseIndex(index, package))
            return rc;
        return WritePackage(analysis, package);
    });
}

int PackageZAV::Unpackage(const char* package, const char* targetFolder, int* warning)
{
    return ZavGuard([&]() -> int {
        PZAVUnpackage unpackage;
        return unpackage.Unpackage(package, targetFolder, warning);
    });
}

int PackageZAV::Open(const char* package)
{
    int rc = ZavGuard([&]() -> int {
        if (!m_document || !m_document->Analize())
            return ZAV_ERR_UNEXPECTED;
        return m_document->Analize()->Open(package);
    });
    if (rc != ZAV_OK)
        Close();
    return rc;
}

int PackageZAV::GetClassification(std::int8_t* classification)
{
    return Query([&](PZAVUnpackAnalize& a) {
        if (classification == nullptr)
            return static_cast<int>(ZAV_ERR_INVALID_ARG);
        std::uint8_t value = 0;
        int rc = a.GetClassification(&value);
        if (rc == ZAV_OK)
            *classification = static_cast<std::int8_t>(value);
        return rc;
    });
}

int PackageZAV::GetIndexHeader(char indexName[256], LayoutHeaderRecord* header, IndexInfo* info)
{
    return Query([&](PZAVUnpackAnalize& a) { return a.GetIndexHeader(indexName, header, info); });
}

int PackageZAV::GetLayoutFileNames(int layout, char scriptName[256], LayoutHeaderRecord* header)
{
    return Query([&](PZAVUnpackAnalize& a) { return a.GetLayoutFileNames(layout, scriptName, header); });
}

int PackageZAV::GetLayoutFileCounts(int layout, int* accompanying, int* thumbnails, int* pictures, int* spare)
{
    return Query([&](PZAVUnpackAnalize& a) {
        return a.GetLayoutFileCounts(layout, accompanying, thumbnails, pictures, spare);
    });
}

int PackageZAV::GetMemberFileName(int layout, int kind, int item, MemberRecord* out)
{
    return Query([&](PZAVUnpackAnalize& a) { return a.GetMemberFileName(layout, kind, item, out); });
}

int PackageZAV::CopyMemberFile(int layout, int kind, int item, void* buffer, int size)
{
    return Query([&](PZAVUnpackAnalize& a) { return a.CopyMemberFile(layout, kind, item, buffer, size); });
}
