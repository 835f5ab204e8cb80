#include "App/ZAVEditorApp.h"

#include "App/AboutDlg.h"
#include "App/AppUi.h"
#include "App/DocumentKeeper.h"
#include "App/DocumentUi.h"
#include "App/LayoutFolderServices.h"
#include "App/MainFrame.h"
#include "App/MainMenu.h"
#include "App/MemoryCards.h"
#include "App/MessageBoxes.h"
#include "App/PrintCommand.h"
#include "App/SingleInstance.h"
#include "App/WindowPlacement.h"
#include "App/ZAVEditorDoc.h"
#include "App/ZAVEditorView.h"
#include "Core/Files.h"
#include "Core/FontList.h"
#include "Core/LocalizeScript.h"
#include "Core/SystemFolders.h"
#include "Core/TempFolders.h"
#include "Platform/Folders.h"

#include <QDockWidget>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>

#include <cmath>

namespace {

const QString ApplicationTitle = QStringLiteral("ZAV ZEZEVIDI2.1");

Rect ToRect(const QRect& r)
{
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect ToQRect(const Rect& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Rect WorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ToRect(screen->availableGeometry()) : Rect{0, 0, 1024, 768};
}

// The path as spelled on disk when it names an existing file; else as typed.
std::string LongFormOf(const std::string& path)
{
    std::string longPath;
    if (GetLongPath(longPath, path, true))
        return longPath;
    return path;
}

// What the window system adds around a window; none before the window has
// its native window (the toolkit's guess until then is not a border).
QMargins BorderOf(const QWidget& window)
{
    if (!window.testAttribute(Qt::WA_WState_Created))
        return QMargins();
    const QRect frame = window.frameGeometry(), inner = window.geometry();
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                    frame.bottom() - inner.bottom());
}

// A window not framed yet has no known border; the room kept for the bars
// counts on a usual one, so that framed they still fit beside the window.
QMargins ExpectedBorderOf(const QWidget& window)
{
    if (const QMargins known = BorderOf(window); !known.isNull())
        return known;
    const QStyle* style = window.style();
    const int side = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    return QMargins(side, side + style->pixelMetric(QStyle::PM_TitleBarHeight), side, side);
}

// Until the window system has framed a window its border counts as none: the
// inside asked for before the first show is the whole outer size, and a
// window that already had a native window may be put with its inside at the
// corner asked for. Once the border is known (the first move or resize that
// shows one), the window is given the outer place asked for.
class OuterGeometryOnceFramed : public QObject
{
public:
    OuterGeometryOnceFramed(QWidget& window, const QRect& outer, bool sized)
        : QObject(&window), m_window(window), m_outer(outer), m_sized(sized)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &m_window || (event->type() != QEvent::Move && event->type() != QEvent::Resize))
            return false;
        const QMargins border = BorderOf(m_window);
        if (border.isNull())
            return false;
        m_window.removeEventFilter(this);
        // A maximised or minimised window has the place its state gives it.
        if (!(m_window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
            if (m_sized)
                m_window.resize(m_outer.size().shrunkBy(border));
            m_window.move(m_outer.topLeft());
        }
        deleteLater();
        return false;
    }

private:
    QWidget& m_window;
    QRect m_outer;
    bool m_sized;
};

Rect OuterRectOf(const QWidget& window)
{
    return ToRect(window.geometry().marginsAdded(BorderOf(window)));
}

// The placed rectangles include the window's border. Asked for before the
// window is shown, the place goes to the window manager with the map request
// and is taken as the border's top-left; asked for later it may be ignored.
void RequestOuterPlace(QWidget& window, const Rect& outerRect, bool sized)
{
    const QRect outer = ToQRect(outerRect);
    const QMargins border = BorderOf(window);
    // Sized first: a resize may turn the border-inclusive position into an inner one.
    if (sized)
        window.resize(outer.size().shrunkBy(border));
    window.move(outer.topLeft());
    if (border.isNull() && !(window.windowFlags() & Qt::FramelessWindowHint))
        new OuterGeometryOnceFramed(window, outer, sized);
}

void RequestOuterGeometry(QWidget& window, const Rect& outerRect)
{
    RequestOuterPlace(window, outerRect, true);
}

// The window keeps its own size.
void RequestOuterPosition(QWidget& window, const Rect& outerRect)
{
    RequestOuterPlace(window, outerRect, false);
}

} // namespace

AppEnvironment DefaultAppEnvironment()
{
    AppEnvironment env;
    GetModuleFolder(env.programFolder);
    env.documentsFolder = GetMyDocumentsFolder();
    env.instanceFolder = DefaultInstanceFolder();
    return env;
}

int UIFontHeight(int pointSize)
{
    return -static_cast<int>(std::lround(pointSize * 96.0 / 72.0));
}

CZAVEditorApp::CZAVEditorApp(AppEnvironment environment, IAppUi& ui, ILayoutFolderServices& services)
    : m_env(std::move(environment)), m_ui(ui), m_services(services)
{
    m_router.SetTarget(CommandRouter::Application, this);
}

CZAVEditorApp::~CZAVEditorApp()
{
    if (GetLayoutShell() == this)
        SetLayoutShell(nullptr);
    if (GetLayoutManagerHost() == this)
        SetLayoutManagerHost(nullptr);
    SetMessageContext(std::string(), nullptr);
    if (m_bInitialized)
        SetProgramInterfaceFont(InterfaceFont{});
    m_router.SetTarget(CommandRouter::View, nullptr);
    m_view = nullptr;
    m_mainFrame.reset();
    m_print.reset();
    m_document.reset();
}

int CZAVEditorApp::ForwardToRunningInstance(const std::optional<std::string>& commandLineFile)
{
    m_instance = std::make_unique<SingleInstance>(m_env.instanceFolder);
    if (m_instance->TryBecomeOnlyInstance()) {
        QObject::connect(m_instance.get(), &SingleInstance::RequestReceived, m_instance.get(),
                         [this](const QString& path) { OnInstanceRequest(path); });
        return 0;
    }
    const std::string path = commandLineFile ? LongFormOf(*commandLineFile) : std::string();
    // Nobody listening (the holder has no window yet) ends this start all the same.
    SingleInstance::SendToRunningInstance(m_env.instanceFolder, path);
    return 1;
}

void CZAVEditorApp::OnInstanceRequest(const QString& path)
{
    if (!m_mainFrame)
        return;
    if (m_mainFrame->isMinimized())
        m_mainFrame->showNormal();
    m_mainFrame->raise();
    m_mainFrame->activateWindow();
    if (!path.isEmpty())
        m_mainFrame->OnOpenFileRequest(path);
}

bool CZAVEditorApp::RefuseStart(int textId)
{
    const CLocalizeScript script(m_strLocalizeIniPath);
    std::string caption, text;
    script.GetCaption(161, caption);
    script.GetCaption(textId, text);
    ShowMessage(nullptr, QString::fromStdString(text), QString::fromStdString(caption), MB_ICONSTOP);
    return false;
}

std::unique_ptr<QSettings> CZAVEditorApp::OpenSettingsStore() const
{
    if (!m_env.settingsFile.isEmpty())
        return std::make_unique<QSettings>(m_env.settingsFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmo"),
                                       ApplicationTitle);
}

bool CZAVEditorApp::InitInstance(const std::optional<std::string>& commandLineFile)
{
    if (ForwardToRunningInstance(commandLineFile) != 0)
        return false;
    m_bInitialized = true;

    m_strLocalizeIniPath = m_env.programFolder + "Localize.ini";
    if (!IsFile(m_strLocalizeIniPath)) {
        ShowMessage(nullptr, QStringLiteral("Application error.\nPlease reinstall application."),
                    ApplicationTitle, MB_ICONSTOP);
        return false;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && screen->depth() <= 8)
        return RefuseStart(166);
    std::string siblingPath;
    if (m_services.GetSiblingAppPath(siblingPath) && !siblingPath.empty() && m_services.IsSiblingAppRunning())
        return RefuseStart(194);
    // What an earlier run left: it ended without its clean-up, or the
    // photo-printing application was still reading its hand-off files.
    RemoveTemporaryFiles();

    m_settings.SetInstallSettings(ReadInstallSettings(m_strLocalizeIniPath));
    LocalizeFontInfo fontInfo;
    if (CLocalizeScript(m_strLocalizeIniPath).GetFont(1, fontInfo)) {
        m_fontUI = QFont(QString::fromStdString(fontInfo.faceName));
        m_fontUI.setPixelSize(-UIFontHeight(fontInfo.pointSize));
        m_fontUI.setWeight(QFont::Normal);
        // New texts start in it where the system's interface face lacks its script.
        SetProgramInterfaceFont(InterfaceFont{fontInfo.faceName, fontInfo.charSet});
    }

    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    m_settings.LoadSettings(*store, DefaultFolders{m_env.documentsFolder, m_env.programFolder});
    m_settingsLoaded = true;
    m_storedPlaces = StoredPlaces{m_settings.GetMainWindowRect(), m_settings.GetMainWindowMaximize(),
                                  m_settings.GetToolBoxWindowRect(), m_settings.GetChangeModeWindowPos()};

    SetLayoutShell(this);
    SetLayoutManagerHost(this);

    if (m_settings.GetShowOpeningOnStartUp())
        m_ui.RunLogoDialog();

    if (commandLineFile)
        AddRecentFile(LongFormOf(*commandLineFile));
    m_documentUi = m_ui.DocumentUi();
    m_document = std::make_unique<CZAVEditorDoc>(*this, m_services, *m_documentUi, *m_fileKinds);
    m_router.SetTarget(CommandRouter::Document, m_document.get());
    m_mainFrame = std::make_unique<CMainFrame>(*this, m_ui, m_router);
    SetMessageContext(m_strLocalizeIniPath, m_mainFrame.get());
    m_view = new CZAVEditorView(*m_document, *this, m_mainFrame.get());
    m_mainFrame->setCentralWidget(m_view);
    m_print = std::make_unique<PrintCommand>(*m_document, m_services, m_ui, m_launcher);
    m_print->SetOwner(m_view);
    m_router.SetTarget(CommandRouter::View, &m_view->CommandTarget());
    bool firstAttempt = false;
    if (commandLineFile)
        firstAttempt = m_document->OnOpenDocument(LongFormOf(*commandLineFile));
    else
        firstAttempt = m_document->OnNewDocument();
    // A file that fails to open leaves a new layout, and no wizard is offered.
    if (!firstAttempt && commandLineFile && !m_document->OnNewDocument())
        return false;
    if (m_settings.GetShowNewWizardOnStartUp() && !commandLineFile && firstAttempt)
        m_documentUi->RunNewWizard(*m_document, m_mainFrame.get(), 0);

    PlaceWindowsAndShow();
    return true;
}

FirstStartRoom CZAVEditorApp::MeasureFirstStartRoom() const
{
    const QMargins border = BorderOf(*m_mainFrame);
    const int viewFrame = 2 * m_view->frameWidth();
    FirstStartRoom room;
    room.menuBarWidth = m_mainFrame->menuBar()->sizeHint().width() + border.left() + border.right();
    room.chromeWidth = border.left() + border.right() + viewFrame;
    room.chromeHeight = border.top() + border.bottom() + m_mainFrame->menuBar()->sizeHint().height() +
                        m_mainFrame->statusBar()->sizeHint().height() + viewFrame;
    room.pageMargin = kPageMargin;
    const SIZE paper = m_document->GetLayoutManager()->GetPaperExtent();
    room.paperWidth = paper.cx;
    room.paperHeight = paper.cy;
    if (QDockWidget* frame = m_mainFrame->ToolBoxFrame(); frame && m_settings.GetShowToolBoxWindow()) {
        frame->adjustSize();
        const QMargins border = ExpectedBorderOf(*frame);
        room.besideWidth = frame->width() + border.left() + border.right();
    }
    if (QDockWidget* frame = m_mainFrame->ChangeModeFrame();
        frame && m_settings.GetShowChangeModeWindow() && m_document->IsDSCLayout()) {
        frame->adjustSize();
        const QMargins border = ExpectedBorderOf(*frame);
        room.belowHeight = frame->height() + border.top() + border.bottom();
    }
    return room;
}

void CZAVEditorApp::PlaceWindowsAndShow()
{
    const Rect& storedMain = m_storedPlaces.mainWindow;
    const Rect& storedToolBox = m_storedPlaces.toolBox;
    const Point& storedMode = m_storedPlaces.changeMode;
    const int maximize = m_storedPlaces.mainWindowMaximize;
    const Rect workArea = WorkArea();

    // Every place is asked for before its window is shown, so that a window
    // manager maps the window there instead of choosing a place itself.
    const Rect main =
        PlaceMainWindow(storedMain, OuterRectOf(*m_mainFrame), workArea, MeasureFirstStartRoom());
    RequestOuterGeometry(*m_mainFrame, main);
    if (maximize)
        m_mainFrame->showMaximized();
    else
        m_mainFrame->show();
    // The bars go beside the window as placed; a maximised window covers the work area.
    const Rect mainNow = maximize ? workArea : main;

    if (QDockWidget* frame = m_mainFrame->ToolBoxFrame()) {
        frame->adjustSize();
        // Below the menu bar, also while the window system has not framed the window yet.
        const int clientTop =
            mainNow.top + ExpectedBorderOf(*m_mainFrame).top() + m_mainFrame->menuBar()->height();
        const Rect placed =
            PlaceToolBoxFrame(storedToolBox, OuterRectOf(*frame), mainNow, clientTop, workArea);
        RequestOuterGeometry(*frame, placed);
        if (m_settings.GetShowToolBoxWindow())
            frame->show();
        if (IToolBoxBar* bar = m_mainFrame->GetToolBoxBar();
            bar && storedToolBox.left != NeverStored && storedToolBox.top != NeverStored) {
            // What the frame adds around the bar: its caption and border. A
            // hidden frame lays its bar out only when asked to.
            if (QLayout* layout = frame->isVisible() ? nullptr : frame->layout())
                layout->setGeometry(frame->rect());
            const Rect outer = OuterRectOf(*frame);
            const int overhead = (outer.bottom - outer.top) - bar->Widget()->height();
            bar->SetBarHeight((placed.bottom - placed.top) - overhead);
        }
    }
    if (m_document->IsDSCLayout() && m_document->GetLayoutManager()->GetDragState().currentTool == 6)
        SelectTool(7);
    if (QDockWidget* frame = m_mainFrame->ChangeModeFrame()) {
        frame->adjustSize();
        const Rect placed = PlaceChangeModeFrame(storedMode, OuterRectOf(*frame), mainNow, workArea);
        RequestOuterPosition(*frame, placed);
        if (m_settings.GetShowChangeModeWindow() && m_document->IsDSCLayout())
            frame->show();
    }
}

int CZAVEditorApp::ExitInstance()
{
    if (m_bInitialized && m_settingsLoaded) {
        const std::unique_ptr<QSettings> store = OpenSettingsStore();
        m_settings.SaveSettings(*store);
        store->sync();
    }
    // A second start never initialised: the running one's files are not its own.
    if (m_bInitialized)
        RemoveTemporaryFiles();
    if (m_print)
        m_print->SetOwner(nullptr); // the view goes with the main frame
    m_router.SetTarget(CommandRouter::View, nullptr);
    m_view = nullptr;
    m_mainFrame.reset();
    m_instance.reset();
    // Last, once the lock and the socket in it are gone.
    if (m_bInitialized)
        RemoveTempFolderIfEmpty();
    return 0;
}

void CZAVEditorApp::RemoveTemporaryFiles()
{
    RemoveTempWorkFolders();
    // A running photo-printing application may still be reading what Print
    // handed it; the next start removes them, since it refuses to start while
    // that application runs.
    if (!m_services.IsSiblingAppRunning())
        RemoveTempPrintFiles();
}

bool CZAVEditorApp::SaveModifiedDocument()
{
    return !m_document || m_document->SaveModified();
}

bool CZAVEditorApp::OpenDocumentFile(const std::string& path)
{
    return m_document && m_document->SaveModified() && OpenKeepingDocument(path);
}

bool CZAVEditorApp::OpenKeepingDocument(const std::string& path)
{
    if (!m_document)
        return false;
    // A missing file or one in the photo-printing application's own folder is
    // refused before the layout is touched.
    if (!IsFile(path) || m_services.IsInSiblingConfigUDLFolder(path))
        return m_document->OnOpenDocument(path);
    DocumentKeeper kept(*m_document);
    if (m_document->OnOpenDocument(path))
        return true;
    kept.Restore();
    return false;
}

std::vector<std::string> CZAVEditorApp::GetMemoryCardRoots()
{
    if (m_cardRoots)
        return *m_cardRoots;
    return MountedRemovableRoots();
}

QWidget* CZAVEditorApp::MainWindow()
{
    return m_mainFrame.get();
}

void CZAVEditorApp::SelectMode(int mode)
{
    if (m_mainFrame && m_mainFrame->GetChangeModeBar())
        m_mainFrame->GetChangeModeBar()->SelectMode(mode);
}

void CZAVEditorApp::ShowModeBar(bool show)
{
    ShowBar(FloatingBar::ChangeMode, show);
}

void CZAVEditorApp::SelectTool(int tool)
{
    if (IToolBoxBar* bar = m_mainFrame ? m_mainFrame->GetToolBoxBar() : nullptr)
        bar->SelectTool(tool);
}

void CZAVEditorApp::RedrawToolBoxInfo()
{
    if (IToolBoxBar* bar = m_mainFrame ? m_mainFrame->GetToolBoxBar() : nullptr) {
        bar->RedrawPositionInfo(0);
        bar->UpdateItemInfo(1);
    }
}

void CZAVEditorApp::RefreshView(bool reset)
{
    if (m_mainFrame && m_view) {
        m_view->ApplyZoomMode(reset);
        m_view->OnInitialUpdate();
    }
}

void CZAVEditorApp::ForwardLayoutChanged(int kind, int /*lParam*/)
{
    if (m_mainFrame)
        m_mainFrame->OnLayoutChanged(kind);
}

QMenuBar* CZAVEditorApp::MainMenuBar()
{
    return m_mainFrame ? qobject_cast<QMenuBar*>(m_mainFrame->menuWidget()) : nullptr;
}

void CZAVEditorApp::RebuildItemList()
{
    IToolBoxBar* bar = m_mainFrame ? m_mainFrame->GetToolBoxBar() : nullptr;
    if (bar && bar->HasItemList())
        bar->UpdateItemList(1);
}

void CZAVEditorApp::SetViewUpdates(bool enabled)
{
    if (m_view) {
        m_view->setUpdatesEnabled(enabled);
        if (enabled)
            m_view->update();
    }
    if (QDockWidget* frame = m_mainFrame ? m_mainFrame->ToolBoxFrame() : nullptr) {
        if (enabled && frame->isVisible())
            frame->update();
    }
}

bool CZAVEditorApp::IsBarVisible(FloatingBar bar)
{
    if (!m_mainFrame)
        return false;
    QDockWidget* frame =
        bar == FloatingBar::ToolBox ? m_mainFrame->ToolBoxFrame() : m_mainFrame->ChangeModeFrame();
    return frame && frame->isVisible();
}

void CZAVEditorApp::ShowBar(FloatingBar bar, bool show)
{
    // Until the main window is placed and shown (a layout made in the start-up
    // wizard) start-up decides; a bar shown now would be mapped unplaced.
    if (!m_mainFrame || !m_mainFrame->isVisible())
        return;
    if (QDockWidget* frame =
            bar == FloatingBar::ToolBox ? m_mainFrame->ToolBoxFrame() : m_mainFrame->ChangeModeFrame())
        frame->setVisible(show);
}

IViewDialogs* CZAVEditorApp::GetViewDialogs()
{
    return m_ui.ViewDialogs();
}

ICommandTarget* CZAVEditorApp::GetPrintCommand()
{
    return m_print.get();
}

void CZAVEditorApp::UpdateFrameTitle()
{
    if (m_mainFrame && m_document)
        m_mainFrame->UpdateFrameTitle(m_document->GetWindowTitle(), m_document->IsModified());
}

void CZAVEditorApp::OnAppAbout()
{
    CAboutDlg dialog(m_strLocalizeIniPath, &m_fontUI, m_mainFrame.get());
    dialog.exec();
}

ILayoutDocument* CZAVEditorApp::GetActiveEditorDoc()
{
    return m_document.get();
}

ILayoutToolBox* CZAVEditorApp::GetToolBox()
{
    return m_mainFrame ? m_mainFrame->GetToolBoxBar() : nullptr;
}

bool CZAVEditorApp::HandlesCommand(int id) const
{
    return id == ID_APP_ABOUT || id == ID_APP_EXIT;
}

void CZAVEditorApp::OnCommand(int id)
{
    if (id == ID_APP_ABOUT)
        OnAppAbout();
    else if (id == ID_APP_EXIT && m_mainFrame)
        m_mainFrame->close();
}
