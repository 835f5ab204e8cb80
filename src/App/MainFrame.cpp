#include "App/MainFrame.h"

#include "App/CommandRouter.h"
#include "App/MainMenu.h"
#include "App/ZAVEditorApp.h"
#include "Core/LocalizeScript.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMimeData>
#include <QSessionManager>
#include <QStatusBar>

namespace {

Rect ToRect(const QRect& r)
{
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// A tab before the key name makes the toolkit show it as the shortcut column.
QString MenuText(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

CMainFrame::CMainFrame(CZAVEditorApp& app, IAppUi& ui, CommandRouter& router)
    : m_app(app), m_router(router),
      m_handOver([&app](const std::string& path) { app.OpenDocumentFile(path); })
{
    setObjectName(QStringLiteral("MainFrame"));
    setMinimumSize(200, 300);
    statusBar();

    m_toolBox = ui.CreateToolBoxBar(app, this);
    m_modeBar = ui.CreateChangeModeBar(app, this);
    m_toolBoxFrame = FloatBar(m_toolBox ? m_toolBox->Widget() : nullptr, QStringLiteral("ToolBoxFrame"));
    m_modeFrame = FloatBar(m_modeBar ? m_modeBar->Widget() : nullptr, QStringLiteral("ChangeModeFrame"));

    BuildMenuBar();
    AddAccelerators();
    setAcceptDrops(true);
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager& session) { OnCommitDataRequest(session); });

    std::string title;
    CLocalizeScript(app.GetLocalizeIniPath()).GetCaption(161, title);
    m_title = QString::fromStdString(title);
    setWindowTitle(m_title);
}

void CMainFrame::UpdateFrameTitle(const std::string& documentName, bool modified)
{
    // Qt shows the file path only while no title is set, so the caption is
    // composed here; "[*]" is where Qt puts the modified marker.
    QString caption = m_title;
    if (!documentName.empty())
        caption = QString::fromStdString(documentName) + QStringLiteral("[*] - ") + m_title;
    setWindowTitle(caption);
    setWindowModified(modified);
}

CMainFrame::~CMainFrame() = default;

QDockWidget* CMainFrame::FloatBar(QWidget* bar, const QString& objectName)
{
    auto* frame = new QDockWidget(this);
    frame->setObjectName(objectName);
    // Shown and hidden only through the View menu, never closed from the frame.
    frame->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    frame->setAllowedAreas(Qt::NoDockWidgetArea);
    if (bar)
        frame->setWidget(bar);
    addDockWidget(Qt::RightDockWidgetArea, frame);
    // Hidden first: floating a dock that is not hidden shows it at once, and
    // the bar would remember that unplaced spot over the stored one.
    frame->hide();
    frame->setFloating(true);
    frame->installEventFilter(this);
    return frame;
}

void CMainFrame::BuildMenuBar()
{
    m_menu = BuildMainMenu(m_app.GetLocalizeIniPath(), m_app.Settings().GetEditableFrameType());
    menuBar()->clear();
    for (const MenuEntry& entry : m_menu.entries) {
        if (entry.kind != MenuEntry::Kind::Popup)
            continue;
        FillMenu(menuBar()->addMenu(MenuText(entry.text)), entry.items);
    }
}

void CMainFrame::FillMenu(QMenu* menu, const std::vector<MenuEntry>& entries)
{
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuEntry::Kind::Popup:
            FillMenu(menu->addMenu(MenuText(entry.text)), entry.items);
            break;
        case MenuEntry::Kind::Command: {
            QAction* action = menu->addAction(MenuText(entry.text));
            action->setData(entry.id);
            const int id = entry.id;
            connect(action, &QAction::triggered, this, [this, id] { m_router.Route(id); });
            break;
        }
        }
    }
    // The update handlers decide each time the menu opens.
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || action->menu())
                continue;
            const CCmdUI state = m_router.QueryState(action->data().toInt());
            action->setEnabled(state.enabled);
            if (state.check >= 0) {
                action->setCheckable(true);
                action->setChecked(state.check != 0);
            }
        }
    });
}

void CMainFrame::AddAccelerators()
{
    // On the window, not on the menu, so that pruned entries keep their keys.
    for (const Accelerator& accelerator : MainAccelerators()) {
        auto* action = new QAction(this);
        action->setShortcut(QKeySequence(QString::fromLatin1(accelerator.keys)));
        action->setShortcutContext(Qt::WindowShortcut);
        const int id = accelerator.command;
        connect(action, &QAction::triggered, this, [this, id] { m_router.Route(id); });
        addAction(action);
    }
}

int CMainFrame::OnLayoutChanged(int kind)
{
    if (!m_toolBox)
        return 0;
    switch (kind) {
    case 2:
        m_toolBox->UpdateItemInfo(1);
        break;
    case 3:
    case 4:
        if (m_toolBox->HasItemList())
            m_toolBox->UpdateItemList(1);
        m_toolBox->RedrawPositionInfo(0);
        break;
    case 5:
        if (m_toolBox->HasItemList())
            m_toolBox->UpdateItemList(0);
        m_toolBox->RedrawPositionInfo(0);
        break;
    case 6:
        m_toolBox->RedrawPositionInfo(0);
        break;
    default:
        break;
    }
    return 0;
}

void CMainFrame::StoreRect()
{
    const Rect rect = ToRect(frameGeometry());
    m_app.Settings().SetMainWindowRect(&rect);
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        StoreRect();
}

void CMainFrame::StoreSizeState()
{
    if (windowState() & Qt::WindowMaximized) {
        m_app.Settings().SetMainWindowMaximize(1);
    } else if (windowState() & Qt::WindowMinimized) {
        m_app.Settings().SetMainWindowMaximize(0);
    } else {
        m_app.Settings().SetMainWindowMaximize(0);
        StoreRect();
    }
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    StoreSizeState();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        StoreSizeState();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Move) {
        if (watched == m_toolBoxFrame && m_toolBox)
            m_toolBox->OnBarFrameMoved();
        else if (watched == m_modeFrame && m_modeBar)
            m_modeBar->OnBarFrameMoved();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    // Like a single-document window: the first local file is opened.
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            // Opened once the drop has ended: the open may ask first, and the
            // dragging program waits for the drop to finish.
            const std::string path = url.toLocalFile().toStdString();
            QMetaObject::invokeMethod(
                this, [this, path] { m_app.OpenDocumentFile(path); }, Qt::QueuedConnection);
            return;
        }
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // File > Exit closes the window too, so both ask here.
    if (m_app.SaveModifiedDocument())
        event->accept();
    else
        event->ignore();
}

void CMainFrame::OnCommitDataRequest(QSessionManager& session)
{
    // Without leave to ask, nothing can be saved: the format is the user's choice.
    if (!session.allowsInteraction())
        return;
    if (QueryEndSession())
        session.release();
    else
        session.cancel();
}

bool CMainFrame::QueryEndSession()
{
    return m_app.SaveModifiedDocument();
}
