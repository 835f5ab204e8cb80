// CDSCUSMFile: the camera variant of the set index. It fixes the eight camera
// paper variants, names the set's files (index, member scripts, camera
// thumbnail, text image) from the destination, fits records to a variant from
// the layout's background frame, and writes the whole set to its destination
// (a memory card) within the cameras' size limit.
#pragma once

#include "Script/RecordFitting.h"
#include "Script/USMFile.h"

#include <cstdint>
#include <string>
#include <vector>

class CZAVEditorDoc;
class ISaveFileSystem;

// The most bytes a camera reads of one set.
constexpr std::int32_t kCameraSetSizeLimit = 245760;

class CDSCUSMFile : public CUSMFile
{
public:
    CDSCUSMFile();
    ~CDSCUSMFile() override;

    // The document may be absent when only the names are wanted.
    int Init(CZAVEditorDoc* document, const std::string& sourceScriptPath,
             const std::string& destinationPath);
    // 1 written; -1 the text image cannot be made small enough; 0 any other
    // failure, which leaves the set at the destination as it was.
    int Save() override;
    int TakeTitleAndComment() override;
    // Writes the set's byte total into the temporary index.
    int FinishIndex() override;
    int MakeIndexFileName(const std::string& destinationPath) override;
    int FitObjects(const DSCPaperVariant& pair, std::span<UDLDrawRecord> records,
                   std::int32_t& rollLength) override;

    int AddPaperVariants();
    int AddPaperPair(const DSCPaperVariant& pair);
    int MakeEffFileName(std::string& path);
    int MakeCtfFileName(std::string& name) const;
    // The first background frame's rectangle size and picture size, the
    // picture's sides exchanged when it is turned a quarter; zeros without one.
    int GetBackgroundFrameSizes(RecordSize& frameSize, RecordSize& pictureSize) const;
    int WriteCtf(const std::string& path, int quality);
    int WriteThumbIndex();
    // Copies the set from the temporary folders to the destination: staged
    // beside it first, then moved into place with the index last.
    int CopyPackageFiles();
    // 1 when every file of the written set is at the destination.
    int MakeCameraFileNames();
    // The six characters every file of the set is named by.
    std::string GetSetPrefix() const;
    // The folder steps of the copy (tests make one fail); the system's by default.
    void SetFileSystem(ISaveFileSystem& files) { m_files = &files; }

    // 1 when the layout holds a visible item that is neither a photo frame nor
    // a macro string: that content is rendered into the set's text image.
    int GetRenderFlag() const { return m_renderFlag; }
    const std::string& GetTextImagePath() const { return m_textImagePath; }
    const std::string& GetCameraThumbnailPath() const { return m_cameraThumbnailPath; }

private:
    // The index reaches the document's texts through this.
    class DocumentTexts : public IUSMDocument
    {
    public:
        std::string GetTitle() const override;
        std::string GetComment() const override;
        CZAVEditorDoc* document = nullptr;
    };

    using CUSMFile::Init;

    // Renders the text image with the quality variable; the size is measured
    // over the whole set when the index path is given.
    void RenderTextImage(const std::string& indexPath, int& quality);

    DocumentTexts m_texts;
    CZAVEditorDoc* m_editorDocument = nullptr;
    int m_renderFlag = 0;
    std::string m_textImagePath;
    std::string m_cameraThumbnailPath;
    ISaveFileSystem* m_files = nullptr;
};

// The index a camera set saved at `destinationPath` is written to.
std::string CameraSetIndexPath(const std::string& destinationPath);

// The member layout scripts of the camera set whose index is `indexPath`, in
// the index's folder and variant order.
std::vector<std::string> CameraSetScriptPaths(const std::string& indexPath);
