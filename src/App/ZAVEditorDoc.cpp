#include "App/ZAVEditorDoc.h"

#include "App/AppSettings.h"
#include "App/DSCUSMFile.h"
#include "App/DocumentHost.h"
#include "App/DocumentUi.h"
#include "App/LayoutFileKinds.h"
#include "App/LayoutFolderServices.h"
#include "App/MainMenu.h"
#include "App/MessageBoxes.h"
#include "App/SaveDialogStart.h"
#include "App/StagedSave.h"
#include "Core/Files.h"
#include "Core/PaperRules.h"
#include "Core/Path.h"
#include "Core/SystemFolders.h"
#include "Core/TempFolders.h"
#include "Platform/FileSystem.h"
#include "Platform/ShiftJis.h"

#include <QApplication>
#include <QDir>

#include <memory>

int CZAVEditorDoc::s_openInProgress = 0;

namespace {

constexpr int kDefaultInsertPicture = 520;
constexpr int kInsertFrameTool = 6;
constexpr int kBackgroundTool = 7;
constexpr int kFallbackPaper = 3;
constexpr int kDefaultRollLength = 500;

// The wait cursor while it lives.
class WaitCursor
{
public:
    WaitCursor() : m_shown(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_shown)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (m_shown)
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_shown;
};

// The open-in-progress flag for the span of one open.
class OpenGuard
{
public:
    explicit OpenGuard(int& flag) : m_flag(flag) { m_flag = 1; }
    ~OpenGuard() { m_flag = 0; }
    OpenGuard(const OpenGuard&) = delete;
    OpenGuard& operator=(const OpenGuard&) = delete;

private:
    int& m_flag;
};

bool IsPictureFile(const QString& name)
{
    const QString lower = name.toLower();
    return lower.endsWith(QLatin1String(".bmp")) || lower.endsWith(QLatin1String(".jpg")) ||
           lower.endsWith(QLatin1String(".jpeg"));
}

std::string LastFour(const std::string& path)
{
    return AsciiLower(path.size() >= 4 ? path.substr(path.size() - 4) : path);
}

} // namespace

bool IsAcceptableHeaderText(const std::string& text)
{
    const std::optional<std::string> sjis = Utf8ToShiftJis(text);
    return sjis && sjis->size() <= kMaxHeaderTextBytes;
}

CZAVEditorDoc::CZAVEditorDoc(IDocumentHost& host, ILayoutFolderServices& services, IDocumentUi& ui,
                             ILayoutFileKinds& fileKinds)
    : m_host(host), m_services(services), m_ui(ui), m_fileKinds(fileKinds)
{
    const CLocalizeScript script(m_host.GetLocalizeIniPath());
    std::string format;
    if (script.GetCaption(7, format))
        m_layout.SetNewItemName(format);
    if (script.GetCaption(11, format))
        m_layout.SetFrameNameFormat(format);
    script.GetPaperSizeString(m_paperSizes);
    m_decodeFolder = GetTempDecodeFolder(false);
    LoadInsertFramePrototype();
    m_paperCommonRect = PaperCommonRect();
    m_paperMode = 1;
    const AppSettings& settings = m_host.Settings();
    SetLayoutPaper(settings.GetSingleZAVDefaultPaperSize(), settings.GetSingleZAVDefaultPaperDirection(),
                   settings.GetSingleZAVDefaultPaperMargin(), 0, false);
}

CZAVEditorDoc::~CZAVEditorDoc()
{
    m_paperSizes.clear();
    if (!m_decodeFolder.empty() && IsDirectory(m_decodeFolder))
        DeleteFolderTree(m_decodeFolder);
}

AppSettings& CZAVEditorDoc::Settings()
{
    return m_host.Settings();
}

void CZAVEditorDoc::LoadInsertFramePrototype()
{
    const std::string folder = GetTempInsertFrameImageFolder(false);
    if (IsDirectory(folder)) {
        QString candidate;
        const QDir dir(QString::fromStdString(folder));
        for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
            candidate = dir.filePath(entry);
            if (IsPictureFile(entry))
                break;
        }
        if (m_insertFramePrototype.LoadImage(candidate.toStdString()) == ImageLoadOk)
            return;
        DeleteFolderTree(folder);
    }
    m_host.Settings().SetInsertFrameImage(0);
    m_insertFramePrototype.SetImageFileName(std::string());
    m_insertFramePrototype.SetImageFileName2(std::string());
    m_insertFramePrototype.SetImageRange(RECT{0, 0, 0, 0});
    m_insertFramePrototype.GetImageBuffer1()->LoadBitmapResource(kDefaultInsertPicture);
    m_insertFramePrototype.GetImageBuffer2()->Release();
    m_insertFramePrototype.GetImageBuffer3()->Release();
    m_insertFramePrototype.GetImageBuffer4()->Release();
}

std::string CZAVEditorDoc::Caption(int textId) const
{
    std::string text;
    CLocalizeScript(m_host.GetLocalizeIniPath()).GetCaption(textId, text);
    return text;
}

int CZAVEditorDoc::SetHeaderText(std::string& field, std::string text)
{
    if (!IsAcceptableHeaderText(text))
        return 0;
    field = std::move(text);
    return 1;
}

int CZAVEditorDoc::SetAuthor(std::string text)
{
    return SetHeaderText(m_author, std::move(text));
}

int CZAVEditorDoc::SetTitle(std::string text)
{
    return SetHeaderText(m_title, std::move(text));
}

int CZAVEditorDoc::SetComment(std::string text)
{
    return SetHeaderText(m_comment, std::move(text));
}

void CZAVEditorDoc::SetPathName(const std::string& path)
{
    m_pathName = path;
    if (!path.empty())
        m_windowTitle = GetFileNameFromPath(path, true);
}

void CZAVEditorDoc::SetModifiedFlag(int modified)
{
    const bool changed = (modified != 0) != (m_modified != 0);
    m_modified = modified;
    if (changed)
        m_host.UpdateFrameTitle();
}

void CZAVEditorDoc::RestoreIdentity(const std::string& path, const std::string& windowTitle, bool modified)
{
    m_pathName = path;
    m_windowTitle = windowTitle;
    SetModifiedFlag(modified ? 1 : 0);
    m_host.UpdateFrameTitle();
}

void CZAVEditorDoc::ResetLayout()
{
    if (!m_decodeFolder.empty() && IsDirectory(m_decodeFolder))
        DeleteFolderTree(m_decodeFolder);
    m_host.SelectMode(1);
    // The bar sets the mode through SetEditMode; without a bar it must still return to 1.
    if (m_paperMode != 1)
        SetEditMode(1);
    m_layout.Reset();
}

int CZAVEditorDoc::SetLayoutPaper(int paperSize, int direction, int margin, int rollLength, bool notify)
{
    if (rollLength == 0) {
        rollLength = kDefaultRollLength;
        int length = 0;
        if (IsScriptRollPaper(paperSize) &&
            CLocalizeScript(m_host.GetLocalizeIniPath()).GetDefaultRollPaperLength(paperSize, length))
            rollLength = length;
    }
    if (m_layout.SetPaper(paperSize, direction, margin, static_cast<std::int16_t>(rollLength), notify))
        return 1;
    // A refused paper would leave the page without one.
    m_layout.SetPaper(kFallbackPaper, 0, 0, kDefaultRollLength, notify);
    return 0;
}

void CZAVEditorDoc::RefreshView(bool reset)
{
    m_host.RefreshView(reset);
}

void CZAVEditorDoc::EmptyPathAndTexts()
{
    m_windowTitle = Caption(173);
    m_pathName.clear();
    m_author.clear();
    m_title.clear();
    m_comment.clear();
}

bool CZAVEditorDoc::NewSingleLayout(int paperSize, int direction, int margin)
{
    ResetLayout();
    m_dscLayout = 0;
    EmptyPathAndTexts();
    SetLayoutPaper(paperSize, direction, margin, 0, false);
    RefreshView(true);
    SetModifiedFlag(0);
    if (m_host.Settings().GetShowChangeModeWindow())
        m_host.ShowModeBar(false);
    m_host.UpdateFrameTitle();
    return true;
}

bool CZAVEditorDoc::NewDSCLayout(int direction)
{
    ResetLayout();
    m_dscLayout = 1;
    EmptyPathAndTexts();
    m_layout.SetPaperOrientation(direction, false);
    AddCameraInsertFrame();
    RefreshView(true);
    SetModifiedFlag(0);
    if (m_host.Settings().GetShowChangeModeWindow())
        m_host.ShowModeBar(true);
    if (m_layout.GetDragState().currentTool == kInsertFrameTool)
        m_host.SelectTool(kBackgroundTool);
    m_host.UpdateFrameTitle();
    return true;
}

bool CZAVEditorDoc::NewDefaultLayout()
{
    const AppSettings& settings = m_host.Settings();
    if (settings.GetEditableFrameType() == 1)
        return NewDSCLayout(settings.GetDSCZAVDefaultPaperDirection());
    return NewSingleLayout(settings.GetSingleZAVDefaultPaperSize(),
                           settings.GetSingleZAVDefaultPaperDirection(),
                           settings.GetSingleZAVDefaultPaperMargin());
}

bool CZAVEditorDoc::OnNewDocument()
{
    NewDefaultLayout();
    return true;
}

int CZAVEditorDoc::AddCameraInsertFrame()
{
    auto frame = std::make_unique<CInsertImageFrameItem>();
    frame->SetFrameNumber(1);
    frame->SetLabel(Caption(54));
    frame->SetRect(m_layout.GetPrintableRect());
    frame->SetImageMode(4);
    frame->SetImagePlacement(0);
    frame->SetImageRotation(0);
    if (m_layout.GetOrientation() == 0)
        frame->Rotate(true);
    frame->SetImageRange(RECT{0, 0, 0, 0});
    frame->SetDrawSuppressed(false);
    const int position = m_layout.GetItemCount(-1, -1, nullptr);
    return m_layout.AddItem(position, std::move(frame)) ? 1 : 0;
}

void CZAVEditorDoc::OnFileNew()
{
    if (SaveModified())
        m_ui.RunNewWizard(*this, m_host.MainWindow(), 1);
}

void CZAVEditorDoc::OnFileOpen()
{
    if (SaveModified())
        m_ui.RunNewWizard(*this, m_host.MainWindow(), 3);
}

void CZAVEditorDoc::OnFileNewDSC()
{
    if (SaveModified())
        m_ui.RunNewWizard(*this, m_host.MainWindow(), 2);
}

int CZAVEditorDoc::OpenByKind(const std::string& path)
{
    if (m_services.IsInSiblingConfigUDLFolder(path))
        throw int{DocumentInConfigFolder};
    if (!IsFile(path))
        throw int{DocumentFileMissing};
    ResetLayout();
    const std::string ending = LastFour(path);
    const int editable = m_host.Settings().GetEditableFrameType();
    int result = 0;
    if (ending == ".zvd") {
        result = LoadZvdDocument(path);
    } else if (ending == ".usd") {
        if (m_services.IsNamedByUsmInFolder(path) || editable == 1)
            throw int{DocumentNotUsable};
        SetDSCLayout(0);
        if (!LoadUsdLayout(path))
            throw int{DocumentCheckFailed};
        return 1;
    } else if (ending == ".fdp") {
        result = LoadFdpLayout(path);
    } else if (ending == ".usm") {
        if (editable == 2)
            throw int{DocumentNotUsable};
        result = LoadUsmLayout(path);
    } else {
        throw int{DocumentNotLoaded};
    }
    if (result < 0)
        throw int{DocumentNotUsable};
    if (result == 0)
        throw int{DocumentNotLoaded};
    return 1;
}

bool CZAVEditorDoc::OnOpenDocument(const std::string& path)
{
    if (s_openInProgress)
        return false;
    const OpenGuard guard(s_openInProgress);
    const WaitCursor wait;
    m_host.SetViewUpdates(false);
    bool opened = false;
    try {
        OpenByKind(path);
        if (m_layout.RenumberInsertFrames(false))
            m_host.RefreshView(false);
        SetPathName(path);
        m_host.Settings().RecentFiles().AddRecentFile(path);
        SetModifiedFlag(0);
        m_host.UpdateFrameTitle();
        m_host.SetViewUpdates(true);
        if (m_host.Settings().GetShowChangeModeWindow())
            m_host.ShowModeBar(IsDSCLayout());
        if (IsDSCLayout() && m_layout.GetDragState().currentTool == kInsertFrameTool)
            m_host.SelectTool(kBackgroundTool);
        opened = true;
    } catch (int code) {
        // Readers' own checks throw plain integers too; all end here.
        m_host.Settings().RecentFiles().RemoveRecentFile(path);
        if (code != DocumentFileMissing && code != DocumentInConfigFolder) {
            NewDefaultLayout();
            SetModifiedFlag(1);
            m_host.UpdateFrameTitle();
        }
        m_host.SetViewUpdates(true);
        const int text = code == DocumentFileMissing      ? 150
                         : code == DocumentNotUsable      ? 202
                         : code == DocumentInConfigFolder ? 140
                                                          : 25;
        ShowLocalizedMessage(text, MB_ICONSTOP);
    }
    return opened;
}

int CZAVEditorDoc::SaveByKind(const std::string& path, const std::string& extension)
{
    const std::string ext = AsciiLower(extension);
    if (IsReadOnlyFile(path))
        throw 1;
    const std::string companion = path.substr(0, path.size() - extension.size());
    // A companion folder the save could not clear away afterwards refuses the
    // save as a read-only file does.
    if (ext != ".fdp" && IsDirectory(companion) && !FolderTreeMayBeRemoved(FollowSymbolicLinks(companion)))
        throw 1;
    if (ext == ".usm")
        for (const std::string& member : CameraSetScriptPaths(path))
            if (IsReadOnlyFile(member))
                throw 1;
    int result = 0;
    if (ext == ".zvd")
        result = SaveZvdDocument(path);
    else if (ext == ".usd")
        result = SaveUsdLayout(path, 0);
    else if (ext == ".fdp")
        result = SaveFdpLayout(path);
    else if (ext == ".usm")
        result = SaveUsmLayout(path);
    else
        throw 0;
    if (result == 2)
        throw -1;
    if (result != 0)
        throw 0;
    return 0;
}

bool CZAVEditorDoc::OnSaveDocument(const std::string& path)
{
    const WaitCursor wait;
    const std::string extension = GetFileExtension(path);
    try {
        SaveByKind(path, extension);
    } catch (int code) {
        m_host.Settings().RecentFiles().RemoveRecentFile(path);
        const std::string ext = AsciiLower(extension);
        int text = 23;
        if (code == 1)
            text = (ext == ".zvd" || ext == ".fdp") ? 180 : 198;
        else if (code == -1)
            text = 245;
        ShowLocalizedMessage(text, MB_ICONSTOP);
        return false;
    }
    SetPathName(path);
    m_host.Settings().RecentFiles().AddRecentFile(path);
    SetModifiedFlag(0);
    m_host.UpdateFrameTitle();
    return true;
}

int CZAVEditorDoc::DoSave(const std::string& /*path*/, bool replace)
{
    const int visible = m_layout.GetItemCount(-1, 1, nullptr);
    const std::string ending = LastFour(m_pathName);
    QWidget* parent = m_host.MainWindow();
    // A name without its folder would be written into the process's current
    // folder: it is asked for again instead.
    if (!IsAbsolutePathName(m_pathName))
        return m_ui.RunSelectSaveDialog(*this, parent, 0);
    if (ending == ".zvd") {
        if (IsWin2000OrLater() && m_services.IsInCommonUDLFolder(m_pathName))
            return m_ui.RunSelectSaveDialog(*this, parent, 0);
        if (CheckSaveDestination(".zvd", m_pathName, 1) != 0)
            return 0;
        return SaveAs(".zvd", m_pathName, replace) ? 1 : 0;
    }
    if ((ending == ".fdp" || ending == ".usd" || ending == ".usm") && visible > 0) {
        if (!CheckSavable(0))
            return 0;
        if (IsWin2000OrLater() && m_services.IsInCommonUDLFolder(m_pathName))
            return m_ui.RunSelectSaveDialog(*this, parent, 0);
        if (CheckSaveDestination(m_pathName.substr(m_pathName.size() - 4), m_pathName, 1) != 0)
            return 0;
        return OnSaveDocument(m_pathName) ? 1 : 0;
    }
    return m_ui.RunSelectSaveDialog(*this, parent, 0);
}

bool CZAVEditorDoc::SaveAs(const std::string& extension, const std::string& givenPath, bool replace)
{
    if (AsciiLower(extension) != ".zvd")
        return false;
    std::string path = IsAbsolutePathName(givenPath) ? givenPath : std::string();
    bool proposeDefaultName = false;
    if (!EndsWithNoCase(m_pathName, extension)) {
        path.clear();
        proposeDefaultName = true;
    }
    if (!path.empty()) {
        if (CheckSaveDestination(".zvd", path, 1) != 0)
            return false;
    } else {
        const std::string documents = m_host.GetDocumentsFolder();
        std::string folder = IsAbsolutePathName(m_pathName) ? GetFolderFromPath(m_pathName) : std::string();
        if (folder.empty())
            folder = documents;
        if (folder.empty() || folder.back() != '/')
            folder += '/';
        const std::string name = proposeDefaultName ? Caption(173) : GetFileNameFromPath(m_pathName, false);
        const std::string firstProposal = folder + name + extension;
        const std::string filter = Caption(163) + " (*" + extension + ")";
        for (;;) {
            std::string proposal = firstProposal;
            if (m_services.IsInSiblingConfigUDLFolder(proposal) || m_services.IsInUDLFolder(proposal) ||
                (IsWin2000OrLater() && m_services.IsInCommonUDLFolder(proposal)))
                proposal = CombinePath(documents, GetFileNameFromPath(proposal, true));
            const std::optional<std::string> chosen =
                m_ui.RunSaveFileDialog(m_host.MainWindow(), Caption(215), filter, proposal);
            if (!chosen)
                return false;
            const std::string absolute = AbsoluteChosenPath(*chosen, StartOfSaveDialog(proposal).folder);
            const int check = CheckSaveDestination(".zvd", absolute, 0);
            if (check == SaveDestinationNoAccess)
                return false;
            if (check != SaveDestinationOk)
                continue;
            path = absolute;
            break;
        }
        // Trailing dots and blanks first, so that "abc.zvd. " saves as abc.zvd.
        while (!path.empty() && (path.back() == '.' || path.back() == ' '))
            path.pop_back();
        if (EndsWithNoCase(path, extension))
            path.resize(path.size() - extension.size());
        while (!path.empty() && (path.back() == '.' || path.back() == ' '))
            path.pop_back();
        path += extension;
    }
    const WaitCursor wait;
    if (!OnSaveDocument(path))
        return false;
    if (replace)
        SetPathName(path);
    return true;
}

bool CZAVEditorDoc::SaveModified()
{
    if (!IsModified())
        return true;
    return m_ui.RunSelectSaveDialog(*this, m_host.MainWindow(), 1) != kSaveDialogCancel;
}

int CZAVEditorDoc::SetEditMode(int mode)
{
    if (mode < kFirstPaperMode || mode > kLastPaperMode)
        return 0;
    m_paperMode = mode;
    m_host.RedrawToolBoxInfo();
    return 1;
}

int CZAVEditorDoc::SetDSCLayout(int value)
{
    m_dscLayout = value;
    return 1;
}

int CZAVEditorDoc::GetPageOrientation() const
{
    return m_layout.GetOrientation();
}

int CZAVEditorDoc::GetPaperModeParams(int mode, int* params)
{
    PaperModeRow row{};
    if (!params || !::GetPaperModeParams(mode, &row))
        return 0;
    std::copy(row.begin(), row.end(), params);
    return 1;
}

bool CZAVEditorDoc::GetCurrentModeParams(std::array<int, 14>& params) const
{
    return GetPaperModeParams(m_paperMode, params.data()) != 0;
}

bool CZAVEditorDoc::GetModePageRect(int mode, RECT& out) const
{
    RECT rect{};
    if (m_paperMode == 0) {
        out = m_layout.GetPrintableRect();
        return true;
    }
    if (m_paperMode == 1) {
        rect = m_paperCommonRect;
    } else if (m_paperMode >= 2 && m_paperMode <= kLastPaperMode) {
        PaperModeRow row{};
        if (!::GetPaperModeParams(mode, &row))
            return false;
        rect = RECT{row[10], row[11], row[12], row[13]};
    } else {
        return false;
    }
    out = m_layout.GetOrientation() == 1 ? TurnModeRect(rect) : rect;
    return true;
}

bool CZAVEditorDoc::CheckSavable(int /*unused*/)
{
    if (IsDSCLayout()) {
        if (m_layout.GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>) == 0) {
            ShowLocalizedMessage(10, MB_ICONSTOP);
            return false;
        }
    } else {
        if (!m_layout.GetPrintLineExtent()) {
            ShowLocalizedMessage(165, MB_ICONSTOP);
            return false;
        }
        if (!m_layout.GetPrintStringExtent()) {
            ShowLocalizedMessage(8, MB_ICONSTOP);
            return false;
        }
    }
    if (m_title.empty())
        return m_ui.RunHeaderInfoDialog(*this, m_host.MainWindow());
    return true;
}

SaveDestinationContext CZAVEditorDoc::DestinationContext()
{
    TargetAccessTest access = m_targetAccess;
    if (!access)
        access = [this](const std::string& path, std::uint32_t mask) {
            return CheckTargetAccess(path, mask);
        };
    QWidget* main = m_host.MainWindow();
    QWidget* owner = main ? MessageBoxOwner(main, QApplication::activeWindow()) : nullptr;
    return SaveDestinationContext{
        m_services,   m_host.GetLocalizeIniPath(), m_host.GetMemoryCardRoots(), std::move(access), owner,
        IsDSCLayout()};
}

int CZAVEditorDoc::CheckSaveDestination(const std::string& extension, const std::string& path, int inPlace)
{
    return ::CheckSaveDestination(DestinationContext(), extension, path, inPlace);
}

void CZAVEditorDoc::CollectUstLayoutNames(const std::string& drive, std::vector<std::string>& list) const
{
    ::CollectUstLayoutNames(drive, list);
}

bool CZAVEditorDoc::CheckTargetAccess(const std::string& path, std::uint32_t mask) const
{
    return ::CheckTargetAccess(path, mask);
}

int CZAVEditorDoc::LoadZvdDocument(const std::string& path)
{
    return m_fileKinds.LoadZvdDocument(*this, path);
}

int CZAVEditorDoc::LoadUsdLayout(const std::string& path)
{
    return m_fileKinds.LoadUsdLayout(*this, path);
}

int CZAVEditorDoc::LoadFdpLayout(const std::string& path)
{
    return m_fileKinds.LoadFdpLayout(*this, path);
}

int CZAVEditorDoc::LoadUsmLayout(const std::string& path)
{
    return m_fileKinds.LoadUsmLayout(*this, path);
}

int CZAVEditorDoc::SaveZvdDocument(const std::string& path)
{
    return m_fileKinds.SaveZvdDocument(*this, path);
}

int CZAVEditorDoc::SaveUsdLayout(const std::string& path, int printHandOver)
{
    return m_fileKinds.SaveUsdLayout(*this, path, printHandOver);
}

int CZAVEditorDoc::SaveFdpLayout(const std::string& path)
{
    return m_fileKinds.SaveFdpLayout(*this, path);
}

int CZAVEditorDoc::SaveUsmLayout(const std::string& path)
{
    return m_fileKinds.SaveUsmLayout(*this, path);
}

bool CZAVEditorDoc::HandlesCommand(int id) const
{
    return id == ID_FILE_NEW || id == ID_FILE_OPEN || id == ID_FILE_NEW_DSC || id == ID_FILE_SAVE;
}

void CZAVEditorDoc::OnCommand(int id)
{
    switch (id) {
    case ID_FILE_NEW:
        OnFileNew();
        break;
    case ID_FILE_OPEN:
        OnFileOpen();
        break;
    case ID_FILE_NEW_DSC:
        OnFileNewDSC();
        break;
    case ID_FILE_SAVE:
        DoSave(m_pathName, true);
        break;
    default:
        break;
    }
}
