// CDSCUSMFile: the camera variant of the set index. It fixes the eight camera
// paper variants and names the set's files (index, member scripts, camera
// thumbnail, text image) from the destination, and fits records to a variant
// from the layout's background frame.
#pragma once

#include "Script/RecordFitting.h"
#include "Script/USMFile.h"

#include <string>
#include <vector>

class CZAVEditorDoc;

class CDSCUSMFile : public CUSMFile
{
public:
    CDSCUSMFile();
    ~CDSCUSMFile() override;

    // The document may be absent when only the names are wanted.
    int Init(CZAVEditorDoc* document, const std::string& sourceScriptPath,
             const std::string& destinationPath);
    int TakeTitleAndComment() override;
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

    DocumentTexts m_texts;
    CZAVEditorDoc* m_editorDocument = nullptr;
    int m_renderFlag = 0;
    std::string m_textImagePath;
    std::string m_cameraThumbnailPath;
};

// The member layout scripts of the camera set whose index is `indexPath`, in
// the index's folder and variant order.
std::vector<std::string> CameraSetScriptPaths(const std::string& indexPath);
