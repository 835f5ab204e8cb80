#include "App/PrintCommand.h"

#include "App/AppUi.h"
#include "App/LayoutFolderServices.h"
#include "App/MessageBoxes.h"
#include "App/ProgramLauncher.h"
#include "App/ZAVEditorDoc.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <memory>

namespace {

constexpr double kMinimumAppVersion = 3.2;

// Keys and clicks made while the layout was handed over were meant for a
// window that was busy; they are not replayed afterwards.
class InputDropper : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::NonClientAreaMouseMove:
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};

} // namespace

int PrintRefusal(const CLayoutManager& layout)
{
    if (!layout.GetPrintLineExtent())
        return 165;
    if (!layout.GetPrintStringExtent())
        return 8;
    if (layout.CheckAppliedImages() == -1)
        return 9;
    return 0;
}

bool IsPrintEnabled(CZAVEditorDoc& document, ILayoutFolderServices& services)
{
    const CLayoutManager& layout = *document.GetLayoutManager();
    if (document.IsDSCLayout()) {
        if (layout.GetItemCount(-1, 1, &IsKindOf<CInsertImageFrameItem>) < 1)
            return false;
        const int mode = document.GetEditMode();
        if (mode == 0 || mode == 1)
            return false;
    } else if (layout.GetItemCount(-1, 1, nullptr) < 1) {
        return false;
    }
    std::string path;
    if (!services.GetSiblingAppPath(path) || path.empty())
        return false;
    if (services.IsSiblingAppRunning())
        return false;
    return services.GetFileVersionString() >= kMinimumAppVersion;
}

void ProcessWaitingEventsWithoutInput()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    InputDropper dropper;
    application->installEventFilter(&dropper);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    application->removeEventFilter(&dropper);
}

PrintCommand::PrintCommand(CZAVEditorDoc& document, ILayoutFolderServices& services, IAppUi& ui,
                           IProgramLauncher& launcher)
    : m_document(document), m_services(services), m_ui(ui), m_launcher(launcher)
{
}

bool PrintCommand::IsCommandEnabled(int /*id*/) const
{
    return IsPrintEnabled(m_document, m_services);
}

void PrintCommand::OnCommand(int /*id*/)
{
    OnFilePrint();
}

void PrintCommand::OnFilePrint()
{
    if (const int refusal = PrintRefusal(*m_document.GetLayoutManager())) {
        ShowLocalizedMessage(refusal, MB_ICONSTOP);
        return;
    }
    std::string program;
    if (!m_services.GetSiblingAppPath(program) || program.empty())
        return;

    std::unique_ptr<QWidget> wait = m_ui.CreateWaitPrintSettingDialog(m_owner);
    if (wait)
        wait->show();

    std::string udo;
    const int written = m_writer ? m_writer(udo) : m_document.WriteTempPrintFiles(udo);
    // The path is one argument of its own, so blanks in it cannot split it.
    const bool started = written == 1 && m_launcher.StartDetached(program, {"-f", udo});
    ProcessWaitingEventsWithoutInput();
    wait.reset();

    // A Print that did nothing says so.
    if (!started)
        ShowGeneralError();
}
