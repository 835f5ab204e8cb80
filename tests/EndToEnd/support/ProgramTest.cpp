#include "EndToEnd/support/ProgramTest.h"

#include "App/MainFrame.h"
#include "App/MenuDisplay.h"
#include "App/SingleInstance.h"
#include "App/ZAVEditorDoc.h"
#include "App/ZAVEditorView.h"
#include "Layout/LayoutManager.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

std::string Sub(const QTemporaryDir& root, const char* name)
{
    QDir(root.path()).mkpath(QString::fromLatin1(name));
    return root.filePath(QString::fromLatin1(name)).toStdString() + "/";
}

} // namespace

namespace {

std::vector<std::string> WithoutOpeningLogo(std::vector<std::string> settings)
{
    settings.insert(settings.begin(), "ShowOpeningFirst=0");
    return settings;
}

} // namespace

ProgramTest::ProgramTest(const std::vector<std::string>& uiSettings)
    : m_tempEnv("TMPDIR", Sub(m_root, "tmp")), m_sharedEnv("ZAV_SHARED_DATA_DIR", Sub(m_root, "shared")),
      // No photo-printing application is installed unless a test writes this file.
      m_photoAppEnv("ZAV_PHOTO_APP_CONFIG", m_root.filePath(QStringLiteral("photo-app.ini")).toStdString()),
      m_folders(WithoutOpeningLogo(uiSettings))
{
    EnsureApp();
    Sub(m_root, "card");
    Sub(m_root, "scratch");
    QSettings store(m_folders.SettingsFile(), QSettings::IniFormat);
    store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
    store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
}

ProgramTest::~ProgramTest()
{
    FinishProgram();
}

void ProgramTest::StartProgram(const std::optional<std::string>& commandLineFile)
{
    FinishProgram();
    AppEnvironment environment = m_folders.Environment();
    // Where a second start of the program looks for this one.
    environment.instanceFolder = DefaultInstanceFolder();
    AdjustEnvironment(environment);
    m_program = std::make_unique<EditorProgram>(std::move(environment));
    m_program->App().SetMemoryCardRoots(std::vector<std::string>{MemoryCardRoot()});
    const bool started = m_program->Start(commandLineFile);
    ASSERT_TRUE(started) << "the program refused to start";
    ASSERT_NE(m_program->App().GetMainFrame(), nullptr);
    QApplication::processEvents();
}

void ProgramTest::FinishProgram()
{
    if (!m_program)
        return;
    m_program->Finish();
    m_program.reset();
    QApplication::processEvents();
}

CZAVEditorDoc& ProgramTest::Document()
{
    return *App().GetDocument();
}

CLayoutManager& ProgramTest::Layout()
{
    return *Document().GetLayoutManager();
}

CMainFrame& ProgramTest::Frame()
{
    return *App().GetMainFrame();
}

void ProgramTest::Choose(int command)
{
    QAction* action = FindMenuAction(*App().MainMenuBar(), command);
    ASSERT_NE(action, nullptr) << "no menu entry " << command;
    auto* menu = qobject_cast<QMenu*>(action->parent());
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    ASSERT_TRUE(action->isEnabled()) << "menu entry " << command << " is greyed";
    action->trigger();
    QApplication::processEvents();
}

void ProgramTest::ChooseWithModals(int command, std::vector<ModalHandler> handlers)
{
    RunWithModals([&] { Choose(command); }, std::move(handlers));
}

bool ProgramTest::ProgramEndsDuring(const std::function<void()>& action)
{
    bool ended = false;
    const QMetaObject::Connection watch =
        QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [&ended] { ended = true; });
    QTimer::singleShot(0, [&action, &ended] {
        action();
        // An ending program's quit request ends the loop itself.
        QTimer::singleShot(0, [&ended] {
            if (!ended)
                QCoreApplication::exit(0);
        });
    });
    QTimer stuck;
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] {
        ADD_FAILURE() << "the program's last window closed but the program did not end";
        QCoreApplication::exit(1);
    });
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, &stuck, [&stuck] { stuck.start(10000); });
    QApplication::exec();
    QObject::disconnect(watch);
    // A window that closes may ask to quit more than once; a request left
    // over would end the next event loop, a later dialog's, at once. One more
    // turn of the program's loop takes it.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QApplication::exec();
    return ended;
}

namespace {

void WaitUntil(const std::function<bool()>& taken, const char* what)
{
    if (!QTest::qWaitFor(taken, 10000))
        ADD_FAILURE() << what << " was not taken";
}

} // namespace

void ProgramTest::HandOver(const std::string& path, const std::function<bool()>& taken)
{
    // The installed program itself, started again: it finds this one by the
    // lock and the socket in the user's temporary folder, hands the file over
    // and waits for this one's answer, so it must run beside this process.
    QProcess second;
    second.start(QStringLiteral(ZAV_EDITOR_PROGRAM), {QString::fromStdString(path)});
    ASSERT_TRUE(second.waitForStarted()) << "the second start did not run";
    WaitUntil([&] { return second.state() == QProcess::NotRunning && taken(); }, "the handed-over file");
    if (second.state() != QProcess::NotRunning) {
        second.kill();
        second.waitForFinished();
        ADD_FAILURE() << "the second start did not end";
    }
}

void ProgramTest::Drop(const std::string& path, const std::function<bool()>& taken)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    const QPoint at = Frame().rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted()) << "the main window refuses the drag";
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    WaitUntil(taken, "the dropped file");
}

namespace {

void SendMouse(QWidget* port, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), port->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(port, &event);
}

} // namespace

void ProgramTest::Drag(QPoint from, QPoint to)
{
    QWidget* port = App().GetView()->viewport();
    SendMouse(port, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(port, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    SendMouse(port, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(port, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    QApplication::processEvents();
}

void ProgramTest::DoubleClick(QPoint at)
{
    QWidget* port = App().GetView()->viewport();
    SendMouse(port, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(port, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    SendMouse(port, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(port, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    QApplication::processEvents();
}

QPoint ProgramTest::OnPage(double fx, double fy)
{
    RECT page;
    Layout().GetRect(&page, true);
    const POINT scroll = App().GetView()->GetScrollPosition();
    return QPoint(page.left - scroll.x + int((page.right - page.left) * fx),
                  page.top - scroll.y + int((page.bottom - page.top) * fy));
}

std::string ProgramTest::DocumentsFolder() const
{
    return m_folders.Environment().documentsFolder;
}

std::string ProgramTest::SharedLayoutFolder() const
{
    return m_root.filePath(QStringLiteral("shared")).toStdString() + "/";
}

std::string ProgramTest::MemoryCardRoot() const
{
    return m_root.filePath(QStringLiteral("card")).toStdString() + "/";
}

std::string ProgramTest::ScratchFolder() const
{
    return m_root.filePath(QStringLiteral("scratch")).toStdString() + "/";
}

bool ProgramTest::SawMessage(int textId) const
{
    const QString text = ShippedCaption(textId);
    for (const RecordedMessage& message : m_messages.messages)
        if (message.text == text)
            return true;
    return false;
}
