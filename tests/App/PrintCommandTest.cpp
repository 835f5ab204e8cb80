#include "App/PrintCommand.h"
#include "App/ProgramLauncher.h"
#include "App/SystemLayoutFolderServices.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/DocumentFakes.h"
#include "App/support/SiblingAppConfig.h"
#include "Core/TempFolders.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/StringItem.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimerEvent>

#include <fcntl.h>
#include <semaphore.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

class RecordingLauncher : public IProgramLauncher
{
public:
    bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) override
    {
        starts.push_back({program, arguments});
        return forwardTo ? forwardTo->StartDetached(program, arguments) : true;
    }
    // Starts the program too when set.
    IProgramLauncher* forwardTo = nullptr;
    struct Start
    {
        std::string program;
        std::vector<std::string> arguments;
    };
    std::vector<Start> starts;
};

// Records the hand-over flag the layout script is written with.
class HandOverKinds : public FakeFileKinds
{
public:
    int SaveUsdLayout(CZAVEditorDoc& document, const std::string& path, int printHandOver) override
    {
        handOverFlags.push_back(printHandOver);
        return FakeFileKinds::SaveUsdLayout(document, path, printHandOver);
    }
    std::vector<int> handOverFlags;
};

// Hands out the wait notice and notes how many boxes had been shown when it closed.
class WaitUi : public FakeAppUi
{
public:
    explicit WaitUi(const MessageRecorder& recorder) : m_recorder(recorder) {}
    std::unique_ptr<QWidget> CreateWaitPrintSettingDialog(QWidget* owner) override
    {
        owners.push_back(owner);
        auto notice = std::make_unique<QWidget>(owner);
        QObject::connect(notice.get(), &QObject::destroyed,
                         [this] { messagesWhenClosed.push_back(m_recorder.messages.size()); });
        return notice;
    }
    std::vector<QWidget*> owners;
    std::vector<std::size_t> messagesWhenClosed;

private:
    const MessageRecorder& m_recorder;
};

class EventLog : public QWidget
{
public:
    bool event(QEvent* e) override
    {
        types.push_back(e->type());
        return QWidget::event(e);
    }
    bool Got(QEvent::Type type) const { return std::find(types.begin(), types.end(), type) != types.end(); }
    std::vector<QEvent::Type> types;
};

std::vector<std::string> Lines(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    std::vector<std::string> lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty())
            lines.push_back(line.chopped(line.endsWith('\r') ? 1 : 0).toStdString());
    return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class PrintTest : public ::testing::Test
{
protected:
    PrintTest()
    {
        QDir().mkpath(QString::fromStdString(m_temp));
        document.NewSingleLayout(3, 0, 0);
        AddText(RECT{100, 100, 400, 400}, true);
        print.SetOwner(&view);
    }
    ~PrintTest() override { sem_unlink(("/" + m_caption).c_str()); }

    void AddText(RECT rect, bool visible)
    {
        auto text = std::make_unique<CStringItem>();
        text->SetRect(rect);
        text->SetLabel("T");
        text->SetVisible(visible);
        CLayoutManager& layout = *document.GetLayoutManager();
        layout.AddItem(layout.GetItemCount(-1, -1, nullptr), std::move(text));
    }
    std::string Dir(const std::string& relative) const
    {
        return m_dir.filePath(QString::fromStdString(relative)).toStdString();
    }
    // A program that writes its arguments, each ended by a zero byte, to "args".
    std::string FakeProgram() const
    {
        const QString path = m_dir.filePath("fake app/photoapp");
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        const std::string args = Dir("args");
        file.write(("#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + args + ".part' && mv '" + args + ".part' '" +
                    args + "'\n")
                       .c_str());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path.toStdString();
    }
    std::vector<std::string> WaitForArguments() const
    {
        QFile file(QString::fromStdString(Dir("args")));
        // The started program writes it when it runs.
        if (!QTest::qWaitFor([&file] { return file.exists(); }, 20000) || !file.open(QIODevice::ReadOnly))
            return {};
        std::vector<std::string> arguments;
        for (const QByteArray& argument : file.readAll().split('\0'))
            arguments.push_back(argument.toStdString());
        if (!arguments.empty())
            arguments.pop_back(); // after the last terminator
        return arguments;
    }
    void Install(const std::string& program, const std::string& version) const
    {
        WriteSiblingAppConfig(m_config, {program, m_caption, version});
    }
    std::string TempFile(const std::string& name) const { return GetTempFolder() + "/" + name; }
    bool AnyTempPrintFile() const
    {
        for (const char* name : {"zavtemp.usd", "zavtemp.jpg", "zavtemp.udo"})
            if (QFile::exists(QString::fromStdString(TempFile(name))))
                return true;
        return false;
    }

    // The application first, so that the temporary folder it sets is replaced.
    bool m_app = (EnsureApp(), true);
    QTemporaryDir m_dir;
    std::string m_config = Dir("photo-printing.ini");
    std::string m_temp = Dir("temp with blank");
    std::string m_caption = "zav-print-test-" + std::to_string(::getpid());
    ScopedEnv m_configEnv{"ZAV_PHOTO_APP_CONFIG", m_config};
    ScopedEnv m_tempEnv{"TMPDIR", m_temp};
    DocumentFixture fx;
    HandOverKinds kinds;
    SystemLayoutFolderServices services{fx.host.localizeIniPath};
    CZAVEditorDoc document{fx.host, services, fx.ui, kinds};
    WaitUi ui{fx.recorder};
    RecordingLauncher recording;
    DetachedProgramLauncher detached;
    QWidget view;
    PrintCommand print{document, services, ui, recording};
};

TEST_F(PrintTest, TheProgramGetsTheHandOffFileAsOneArgument)
{
    Install(FakeProgram(), "3.4");
    PrintCommand real(document, services, ui, detached);
    real.SetOwner(&view);
    ASSERT_TRUE(real.IsCommandEnabled(ID_FILE_PRINT));
    real.OnFilePrint();

    const std::string temp = GetTempFolder();
    ASSERT_NE(temp.find("temp with blank"), std::string::npos);
    EXPECT_EQ(WaitForArguments(), (std::vector<std::string>{"-f", temp + "/zavtemp.udo"}));
    EXPECT_TRUE(fx.recorder.messages.empty());
    EXPECT_EQ(ui.owners, (std::vector<QWidget*>{&view}));
    EXPECT_EQ(ui.messagesWhenClosed.size(), 1u);

    EXPECT_EQ(kinds.calls, (std::vector<std::string>{"save usd " + temp + "/zavtemp.usd"}));
    EXPECT_EQ(kinds.handOverFlags, (std::vector<int>{1}));
    const std::vector<std::string> udo = Lines(temp + "/zavtemp.udo");
    EXPECT_TRUE(Has(udo, "LayoutID=" + temp + "/zavtemp.usd"));
    EXPECT_TRUE(Has(udo, "File1=" + temp + "/zavtemp.jpg"));
    EXPECT_TRUE(Has(udo, "Version=1.20"));
    EXPECT_TRUE(Has(udo, "AppClose=TRUE"));

    CImage photo;
    ASSERT_EQ(CJpegFile().Read(temp + "/zavtemp.jpg", &photo), ImageFileOk);
    ASSERT_EQ(photo.GetWidth(), 601);
    ASSERT_EQ(photo.GetHeight(), 601);
    int notWhite = 0;
    for (int y = 0; y < 601; ++y) {
        const std::uint8_t* row = photo.GetBits() + static_cast<std::size_t>(y) * photo.GetRowBytes();
        for (int x = 0; x < 601; ++x)
            if (row[4 * x] != 255 || row[4 * x + 1] != 255 || row[4 * x + 2] != 255)
                ++notWhite;
    }
    EXPECT_EQ(notWhite, 0);
}

TEST_F(PrintTest, TheApplicationsVersionChoosesTheHandOffVersion)
{
    const std::string program = FakeProgram();
    struct Case
    {
        const char* version;
        const char* written;
        bool closes;
    };
    for (const Case& c : {Case{"3.4", "Version=1.20", true}, Case{"3.39", "Version=1.10", false},
                          Case{"3, 4, 0, 0", "Version=1.10", false}, Case{"4.0", "Version=1.20", true}}) {
        Install(program, c.version);
        print.OnFilePrint();
        const std::vector<std::string> udo = Lines(TempFile("zavtemp.udo"));
        EXPECT_TRUE(Has(udo, c.written)) << c.version;
        EXPECT_EQ(Has(udo, "AppClose=TRUE"), c.closes) << c.version;
    }
    ASSERT_EQ(recording.starts.size(), 4u);
    EXPECT_EQ(recording.starts[0].program, program);
    EXPECT_TRUE(fx.recorder.messages.empty());
}

TEST_F(PrintTest, PrintIsEnabledOnlyForAnInstalledIdleApplicationOfVersion32)
{
    CommandRouter router;
    router.SetTarget(CommandRouter::View, &print);
    EXPECT_FALSE(router.IsEnabled(ID_FILE_PRINT)); // not installed

    const std::string program = FakeProgram();
    struct Case
    {
        std::string program;
        const char* version;
        bool enabled;
    };
    for (const Case& c :
         {Case{program, "3.1", false}, Case{program, "3.19", false}, Case{program, "3.2", true},
          Case{program, "4", true}, Case{"", "3.4", false}, Case{program + ".gone", "3.4", false}}) {
        Install(c.program, c.version);
        EXPECT_EQ(router.IsEnabled(ID_FILE_PRINT), c.enabled) << c.program << " " << c.version;
        EXPECT_EQ(IsPrintEnabled(document, services), c.enabled) << c.program << " " << c.version;
    }

    Install(program, "3.4");
    sem_t* held = sem_open(("/" + m_caption).c_str(), O_CREAT | O_EXCL, 0600, 0);
    ASSERT_NE(held, SEM_FAILED);
    EXPECT_FALSE(router.IsEnabled(ID_FILE_PRINT)); // the application runs
    sem_close(held);
    sem_unlink(("/" + m_caption).c_str());
    EXPECT_TRUE(router.IsEnabled(ID_FILE_PRINT));

    // Hidden items leave nothing to print.
    document.NewSingleLayout(3, 0, 0);
    AddText(RECT{100, 100, 400, 400}, false);
    EXPECT_FALSE(router.IsEnabled(ID_FILE_PRINT));
    AddText(RECT{100, 500, 400, 800}, true);
    EXPECT_TRUE(router.IsEnabled(ID_FILE_PRINT));

    // A camera layout needs a visible photo frame and a chosen paper.
    document.NewDSCLayout(0);
    CLayoutManager& layout = *document.GetLayoutManager();
    ASSERT_EQ(layout.GetItemCount(-1, 1, &IsKindOf<CInsertImageFrameItem>), 1);
    EXPECT_FALSE(router.IsEnabled(ID_FILE_PRINT)); // paper mode 1
    document.SetEditMode(2);
    EXPECT_TRUE(router.IsEnabled(ID_FILE_PRINT));
    document.SetEditMode(0);
    EXPECT_FALSE(router.IsEnabled(ID_FILE_PRINT));
    document.SetEditMode(9);
    layout.GetItemAt(0)->SetVisible(false);
    AddText(RECT{100, 100, 400, 400}, true);
    EXPECT_FALSE(router.IsEnabled(ID_FILE_PRINT));
}

TEST_F(PrintTest, APageThatCannotBePrintedIsRefusedWithItsReason)
{
    Install(FakeProgram(), "3.4");
    struct Case
    {
        const char* what;
        std::function<void(CLayoutManager&)> build;
        int text;
    };
    const std::vector<Case> cases = {
        {"21 items on one printing line",
         [](CLayoutManager& layout) {
             for (int i = 0; i < 21; ++i) {
                 auto text = std::make_unique<CStringItem>();
                 text->SetRect(RECT{10 * i, 100 + i, 10 * i + 200, 300});
                 layout.AddItem(i, std::move(text));
             }
         },
         165},
        {"a text too thin to render",
         [](CLayoutManager& layout) {
             auto text = std::make_unique<CStringItem>();
             text->SetRect(RECT{0, 0, 10, 4000});
             layout.AddItem(0, std::move(text));
         },
         8},
        {"an empty photo frame only",
         [](CLayoutManager& layout) {
             auto frame = std::make_unique<CInsertImageFrameItem>();
             frame->SetRect(RECT{100, 100, 400, 400});
             layout.AddItem(0, std::move(frame));
         },
         9},
    };
    for (const Case& c : cases) {
        fx.recorder.messages.clear();
        document.NewSingleLayout(3, 0, 0);
        c.build(*document.GetLayoutManager());
        print.OnFilePrint();
        ASSERT_EQ(fx.recorder.messages.size(), 1u) << c.what;
        EXPECT_EQ(fx.recorder.messages[0].text, ShippedCaption(c.text)) << c.what;
        EXPECT_EQ(fx.recorder.messages[0].type, MB_ICONSTOP) << c.what;
    }
    EXPECT_TRUE(recording.starts.empty());
    EXPECT_TRUE(ui.owners.empty());
    EXPECT_TRUE(kinds.calls.empty());
    EXPECT_FALSE(AnyTempPrintFile());
}

TEST_F(PrintTest, WithoutTheApplicationPrintIsGreyedAndWritesAndStartsNothing)
{
    CommandRouter router;
    router.SetTarget(CommandRouter::View, &print);
    EXPECT_FALSE(router.Route(ID_FILE_PRINT));
    print.OnFilePrint(); // sent anyway
    EXPECT_TRUE(recording.starts.empty());
    EXPECT_TRUE(ui.owners.empty());
    EXPECT_TRUE(kinds.calls.empty());
    EXPECT_FALSE(AnyTempPrintFile());
    EXPECT_TRUE(fx.recorder.messages.empty());
}

TEST_F(PrintTest, AFailedHandOverIsReportedOnceTheNoticeHasClosed)
{
    const std::string program = FakeProgram();
    const std::string notExecutable = Dir("plain file");
    QFile(QString::fromStdString(notExecutable)).open(QIODevice::WriteOnly);
    struct Case
    {
        const char* what;
        std::string program;
        bool writerFails;
    };
    for (const Case& c : {Case{"the files cannot be written", program, true},
                          Case{"no such program", Dir("gone/photoapp"), false},
                          Case{"not a program", notExecutable, false}}) {
        fx.recorder.messages.clear();
        ui.messagesWhenClosed.clear();
        Install(c.program, "3.4");
        RecordingLauncher launcher;
        launcher.forwardTo = &detached;
        PrintCommand real(document, services, ui, launcher);
        real.SetOwner(&view);
        if (c.writerFails)
            real.SetTempFileWriter([](std::string&) { return 0; });
        real.OnFilePrint();
        EXPECT_EQ(ui.messagesWhenClosed, (std::vector<std::size_t>{0})) << c.what;
        ASSERT_EQ(fx.recorder.messages.size(), 1u) << c.what;
        EXPECT_EQ(fx.recorder.messages[0].text, ShippedCaption(24)) << c.what;
        EXPECT_EQ(fx.recorder.messages[0].type, MB_ICONSTOP) << c.what;
        // The failed writer starts nothing; the others try.
        EXPECT_EQ(launcher.starts.empty(), c.writerFails) << c.what;
    }
}

TEST_F(PrintTest, InputWaitingWhenTheHandOverEndsIsDroppedAndTimersAreHandled)
{
    Install(FakeProgram(), "3.4");
    EventLog target;
    target.setMouseTracking(true); // moves without a button are delivered too
    const auto postAll = [&target] {
        QCoreApplication::postEvent(&target, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
        QCoreApplication::postEvent(&target,
                                    new QKeyEvent(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a"));
        QCoreApplication::postEvent(&target,
                                    new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(&target, new QMouseEvent(QEvent::MouseMove, QPointF(6, 6), QPointF(6, 6),
                                                             Qt::NoButton, Qt::NoButton, Qt::NoModifier));
        QCoreApplication::postEvent(&target, new QTimerEvent(12345));
    };
    print.SetTempFileWriter([&postAll](std::string& udo) {
        postAll(); // input that arrives while the files are written
        udo = "/tmp/zavtemp.udo";
        return 1;
    });
    print.OnFilePrint();
    ASSERT_EQ(recording.starts.size(), 1u);
    EXPECT_TRUE(target.Got(QEvent::Timer));
    EXPECT_FALSE(target.Got(QEvent::KeyPress));
    EXPECT_FALSE(target.Got(QEvent::KeyRelease));
    EXPECT_FALSE(target.Got(QEvent::MouseButtonPress));
    EXPECT_FALSE(target.Got(QEvent::MouseMove));

    // Afterwards input reaches its window again.
    target.types.clear();
    postAll();
    QCoreApplication::processEvents();
    EXPECT_TRUE(target.Got(QEvent::KeyPress));
    EXPECT_TRUE(target.Got(QEvent::MouseButtonPress));
    EXPECT_TRUE(target.Got(QEvent::MouseMove));
    EXPECT_TRUE(target.Got(QEvent::Timer));
}

class VersionedServices : public FakeServices
{
public:
    double GetFileVersionString() override { return version; }
    double version = 3.4;
};

TEST(PrintRoutingTest, TheApplicationRoutesPrintToTheCommand)
{
    EnsureApp();
    QTemporaryDir temp;
    ScopedEnv tempEnv("TMPDIR", temp.path().toStdString());
    AppFolders folders;
    FakeAppUi ui;
    VersionedServices services;
    services.siblingPath = "/usr/bin/photoapp";
    MessageRecorder recorder;
    CZAVEditorApp app(folders.Environment(), ui, services);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    EXPECT_FALSE(app.Router().IsEnabled(ID_FILE_PRINT)); // nothing on the page yet

    auto text = std::make_unique<CStringItem>();
    text->SetRect(RECT{100, 100, 400, 400});
    ASSERT_TRUE(app.GetDocument()->GetLayoutManager()->AddItem(0, std::move(text)));
    EXPECT_TRUE(app.Router().IsEnabled(ID_FILE_PRINT));
    services.version = 3.1;
    EXPECT_FALSE(app.Router().IsEnabled(ID_FILE_PRINT));
    services.version = 3.4;
    services.siblingRunning = true;
    EXPECT_FALSE(app.Router().IsEnabled(ID_FILE_PRINT));
    app.ExitInstance();
}

} // namespace
