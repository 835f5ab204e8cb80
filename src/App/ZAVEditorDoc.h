// CZAVEditorDoc: the one layout the editor holds. It makes new layouts of
// both kinds, picks the reader and the writer by the file's extension, turns
// each failure into one localised message, keeps the paper mode the view
// shows, and checks the page and the destination before a save.
#pragma once

#include "App/CarriedThumbnail.h"
#include "App/CommandRouter.h"
#include "App/PaperModes.h"
#include "App/SaveChecks.h"
#include "Core/CarriedFile.h"
#include "Core/LocalizeScript.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutServices.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class AppSettings;
class CUDLScript;
struct UDLDrawRecord;
class CZAVScript;
struct ZAVDrawRecord;
class IDocumentHost;
class IDocumentUi;
class ILayoutFileKinds;
class ILayoutFolderServices;
class CImageFrameItem;
struct CameraSetPictures;

// A framed item's new picture, applied by the caller once its save is committed.
struct FrameImageRename
{
    CImageFrameItem* item = nullptr;
    std::string path;
};

// Raised inside the open operation and its readers.
enum DocumentErrorCode : int {
    DocumentCheckFailed = 0,
    DocumentFileMissing = 1,
    DocumentNotLoaded = 2,
    DocumentNotUsable = 3,
    DocumentInConfigFolder = 4,
};

class CZAVEditorDoc : public ILayoutDocument, public ICommandTarget
{
public:
    CZAVEditorDoc(IDocumentHost& host, ILayoutFolderServices& services, IDocumentUi& ui,
                  ILayoutFileKinds& fileKinds);
    ~CZAVEditorDoc() override;
    CZAVEditorDoc(const CZAVEditorDoc&) = delete;
    CZAVEditorDoc& operator=(const CZAVEditorDoc&) = delete;

    virtual std::string GetAuthor() const { return m_author; }
    virtual int SetAuthor(std::string text);
    virtual std::string GetTitle() const { return m_title; }
    virtual int SetTitle(std::string text);
    virtual std::string GetComment() const { return m_comment; }
    virtual int SetComment(std::string text);
    virtual CLayoutManager* GetLayoutManager() { return &m_layout; }
    virtual void ResetLayout();
    int GetEditMode() const override { return m_paperMode; }

    // The framework's document: window title, path name and modified flag.
    const std::string& GetWindowTitle() const { return m_windowTitle; }
    const std::string& GetPathName() const { return m_pathName; }
    void SetPathName(const std::string& path);
    // A layout put back after a failed open takes its path, window title and
    // modified state again.
    void RestoreIdentity(const std::string& path, const std::string& windowTitle, bool modified);
    virtual bool IsModified() const { return m_modified != 0; }
    // A change of the flag refreshes the main frame's caption, which marks it.
    virtual void SetModifiedFlag(int modified);

    bool OnNewDocument();
    bool OnOpenDocument(const std::string& path);
    bool OnSaveDocument(const std::string& path);
    int DoSave(const std::string& path, bool replace);
    bool SaveAs(const std::string& extension, const std::string& path, bool replace);
    bool SaveModified();
    bool NewDefaultLayout();
    bool NewSingleLayout(int paperSize, int direction, int margin);
    bool NewDSCLayout(int direction);
    int SetLayoutPaper(int paperSize, int direction, int margin, int rollLength, bool notify);
    void RefreshView(bool reset);
    void OnFileNew();
    void OnFileOpen();
    void OnFileNewDSC();
    static bool IsOpenInProgress() { return s_openInProgress != 0; }

    // Paper modes and the camera-layout flag.
    int SetEditMode(int mode);
    bool IsDSCLayout() const override { return m_dscLayout != 0; }
    int SetDSCLayout(int value);
    int GetPageOrientation() const override;
    static int GetPaperModeParams(int mode, int* params);
    bool GetCurrentModeParams(std::array<int, 14>& params) const override;
    bool GetModePageRect(int mode, RECT& out) const override;
    const RECT& GetPaperCommonRect() const { return m_paperCommonRect; }

    // Save checks. The page checks apply to every kind of save alike: a
    // packaged file carries the same layout script the printing side reads.
    bool CheckSavable();
    int CheckSaveDestination(const std::string& extension, const std::string& path, int inPlace);
    void CollectUstLayoutNames(const std::string& drive, std::vector<std::string>& list) const;
    bool CheckTargetAccess(const std::string& path, std::uint32_t mask) const;
    // Tests stand in for the system's access test.
    void SetTargetAccessTest(TargetAccessTest test) { m_targetAccess = std::move(test); }

    // The camera layout's one insert-photo frame over the printable area.
    int AddCameraInsertFrame();
    // One script of a camera layout set: 0 accepted, 3 corrected, 1 failed.
    // The seen list (folded names) spares a second read of a picture.
    int CheckCameraLayoutScript(CUDLScript* script, std::vector<std::string>* seen,
                                const CameraSetPictures* pictures = nullptr);
    int BuildFromCameraLayoutScript(CUDLScript* script, const CameraSetPictures* pictures = nullptr);
    // The set index, its member scripts and its companion folder's files; the
    // frame image's size limit reaches it through the layout's document.
    long long GetUsmTotalFileSize(const std::string& path) const override;

    // The readers and writers by kind.
    int LoadZvdDocument(const std::string& path);
    int LoadUsdLayout(const std::string& path);
    int LoadFdpLayout(const std::string& path);
    int LoadUsmLayout(const std::string& path);
    int SaveZvdDocument(const std::string& path);
    int SaveUsdLayout(const std::string& path, int printHandOver);
    int SaveFdpLayout(const std::string& path);
    int SaveUsmLayout(const std::string& path);
    // The page as the small picture a saved layout carries: 1 written, 0 failed.
    int WriteLayoutThumbnail(const std::string& path);
    // Who made a thumbnail: a layout's (drawn at full quality) and a camera
    // set's (encoded again for the camera) are never taken for each other.
    enum class ThumbnailKind { Layout, CameraSet };
    // The thumbnail the layout was just opened with: a save of the same kind
    // keeps its bytes while the page draws as it does now.
    void RememberLayoutThumbnail(const std::string& path, ThumbnailKind kind = ThumbnailKind::Layout);
    // A save moved the thumbnail the layout was opened with to `path`.
    void FollowLayoutThumbnail(const std::string& path);
    // The bytes of the thumbnail remembered at open while the page still
    // draws as it did then; nothing otherwise.
    std::optional<std::vector<char>> TakeOpenedThumbnail(ThumbnailKind kind);
    // The camera thumbnail of the set just opened: a registration keeps its
    // bytes while the page and the frame image (`frameImagePath`, empty when
    // the set has none) are what it was made from.
    void RememberCameraThumbnail(const std::string& path);
    std::optional<std::vector<char>> TakeOpenedCameraThumbnail(const std::string& frameImagePath) const;
    // The three files Print hands over, in the temporary folder; 1 with the
    // hand-off file's path, 0 on failure (files already written stay).
    int WriteTempPrintFiles(std::string& udoPath);

    const std::vector<PaperSizeEntry>& GetPaperSizeList() const { return m_paperSizes; }
    const std::string& GetDecodeFolder() const { return m_decodeFolder; }
    const std::string& GetCameraSetPrefix() const { return m_cameraSetPrefix; }
    void SetCameraSetPrefix(const std::string& prefix) { m_cameraSetPrefix = prefix; }
    CInsertImageFrameItem& GetInsertFramePrototype() { return m_insertFramePrototype; }
    AppSettings& Settings();

    // Building the page from the files' draw records and writing it back.
    int FindPaperSizeEntry(int code) const;
    int BuildFromLayoutScript(CUDLScript& script);
    int AddPictureRecord(const UDLDrawRecord& record);
    int AddLineRecord(const UDLDrawRecord& record, int number);
    int AddMacroStringRecord(const UDLDrawRecord& record, CInsertImageFrameItem* frame);
    int BuildFromZvdScript(CZAVScript& script);
    int BuildPictureItem(const ZAVDrawRecord& record);
    int BuildLineItem(const ZAVDrawRecord& record, int number);
    int BuildMacroStringItem(const ZAVDrawRecord& record, CInsertImageFrameItem* owner);
    int BuildStringItem(const ZAVDrawRecord& record);
    // The pictures of the items as temporary files in `workFolder` (the
    // temporary save folder when empty), listed in item order. A picture the
    // item carries from the layout's own companion folder `imageBase` is
    // linked rather than copied where the file system lets it.
    int ExportZvdFrameImages(const std::string& imageBase, std::vector<std::string>* images,
                             const std::string& workFolder = {});
    int ExportUsdFrameImages(const std::string& imageBase, std::vector<std::string>* images,
                             int printHandOver, const std::string& workFolder = {});
    // The records name the pictures in the layout path's companion folder.
    // Without a staging folder the pictures are put there and the items take
    // their new names at once; with one, the pictures go into it and the new
    // names are returned in `renames` for the caller to apply after its commit.
    int BuildZvdRecords(CZAVScript& script, const std::string& layoutPath, std::vector<std::string>* images,
                        const std::string& stagingFolder = {},
                        std::vector<FrameImageRename>* renames = nullptr);
    int BuildUsdRecords(CUDLScript& script, const std::string& layoutPath, std::vector<std::string>* images,
                        int printHandOver, const std::string& stagingFolder = {},
                        std::vector<FrameImageRename>* renames = nullptr);
    // The hand-over needs a paper mode of 2 to 9.
    int BuildDscUsdRecords(CUDLScript& script, const std::string& layoutPath,
                           std::vector<std::string>* images, int printHandOver,
                           const std::string& stagingFolder = {},
                           std::vector<FrameImageRename>* renames = nullptr);
    // The path without the extension of its file name: the companion folder.
    static std::string StripExtension(const std::string& path);

    // ICommandTarget: New, Open, New for cameras and Save.
    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

private:
    // The page drawn as WriteLayoutThumbnail stores it; false when it cannot be drawn.
    bool DrawLayoutThumbnail(CImage& image);
    int SetHeaderText(std::string& field, std::string text);
    void LoadInsertFramePrototype();
    int OpenByKind(const std::string& path);
    int SaveByKind(const std::string& path, const std::string& extension);
    SaveDestinationContext DestinationContext();
    std::string Caption(int textId) const;
    void EmptyPathAndTexts();

    IDocumentHost& m_host;
    ILayoutFolderServices& m_services;
    IDocumentUi& m_ui;
    ILayoutFileKinds& m_fileKinds;

    std::string m_windowTitle;
    std::string m_pathName;
    int m_modified = 0;

    std::string m_author;
    std::string m_title;
    std::string m_comment;
    CLayoutManager m_layout;
    int m_paperMode = 1;
    std::vector<PaperSizeEntry> m_paperSizes;
    std::string m_decodeFolder;
    std::string m_cameraSetPrefix;
    int m_dscLayout = 0;
    CInsertImageFrameItem m_insertFramePrototype;
    CCarriedThumbnail m_openedThumbnail;
    ThumbnailKind m_openedThumbnailKind = ThumbnailKind::Layout;
    // The camera thumbnail (".ctf") the set was opened with, keyed by what it
    // is made from (CtfSourceDigest).
    CCarriedFile m_openedCameraThumbnail;
    RECT m_paperCommonRect{0, 0, 703, 1023};
    TargetAccessTest m_targetAccess;

    static int s_openInProgress;
};
