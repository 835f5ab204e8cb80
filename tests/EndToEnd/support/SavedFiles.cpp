#include "EndToEnd/support/SavedFiles.h"
#include "EndToEnd/support/Commands.h"

#include "App/MainMenu.h"
#include "App/ZAVEditorDoc.h"
#include "Dialogs/SCRegistDialog.h"
#include "Dialogs/SaveAsPackagedZAVDialog.h"
#include "Dialogs/SelectSaveDialog.h"
#include "EndToEnd/support/ProgramTest.h"
#include "FrameKit/compare/ReadersAgree.h"
#include "Platform/Folders.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace {

constexpr int kEditorDocumentEntry = 215;
constexpr int kPackagedFrameEntry = 216;
constexpr int kSharedFolderEntry = 217;
constexpr int kCameraCardEntry = 218;

std::vector<SavedFile>& Registry()
{
    static std::vector<SavedFile> files;
    return files;
}

// The save-format dialog: the entry chosen, then Yes.
ModalHandler ChooseFormat(int entry)
{
    return [entry](QWidget& modal) {
        auto* dialog = qobject_cast<CSelectSaveDialog*>(&modal);
        ASSERT_NE(dialog, nullptr) << "expected the save-format dialog";
        const std::vector<int> entries = dialog->Entries();
        const auto at = std::find(entries.begin(), entries.end(), entry);
        ASSERT_NE(at, entries.end()) << "the save-format dialog does not offer " << entry;
        dialog->FormatCombo()->setCurrentIndex(static_cast<int>(at - entries.begin()));
        QTest::mouseClick(dialog->YesButton(), Qt::LeftButton);
    };
}

ModalHandler ChooseFile(const std::string& path)
{
    return [path](QWidget& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        ASSERT_NE(dialog, nullptr) << "expected the file dialog";
        // Typed, as a user does: a selection made through the dialog is
        // replaced by the proposal once the folder has been read.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(path));
        // What the dialog's Save button does.
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

// The packaged-save dialog: its proposed folder, the name typed, OK.
ModalHandler PackageAs(const std::string& name, std::shared_ptr<std::string> path)
{
    return [name, path](QWidget& modal) {
        auto* dialog = qobject_cast<CSaveAsPackagedZAVDialog*>(&modal);
        ASSERT_NE(dialog, nullptr) << "expected the packaged-save dialog, not "
                                   << modal.metaObject()->className() << " "
                                   << modal.windowTitle().toStdString();
        *path = dialog->Folder() + "/" + name + ".fdp";
        dialog->NameEdit()->clear();
        QTest::keyClicks(dialog->NameEdit(), QString::fromStdString(name));
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    };
}

// The registration dialog: the name typed (and, on a card, the test's card), OK.
ModalHandler RegisterAs(const std::string& name)
{
    return [name](QWidget& modal) {
        auto* dialog = qobject_cast<CSCRegistDialog*>(&modal);
        ASSERT_NE(dialog, nullptr) << "expected the registration dialog, not "
                                   << modal.metaObject()->className() << " "
                                   << modal.windowTitle().toStdString();
        if (dialog->Mode() != 0) {
            ASSERT_GE(dialog->DriveCombo()->count(), 1) << "the test's memory card is not offered";
            dialog->DriveCombo()->setCurrentIndex(0);
        }
        dialog->NameEdit()->clear();
        QTest::keyClicks(dialog->NameEdit(), QString::fromStdString(name));
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    };
}

} // namespace

const std::vector<SavedFile>& SavedFiles()
{
    return Registry();
}

PlannedSave PlanSave(ProgramTest& test, SaveTarget target, const std::string& name)
{
    PlannedSave save{target, std::make_shared<std::string>(), {}};
    std::string& path = *save.path;
    switch (target) {
    case SaveTarget::EditorDocument:
        path = test.DocumentsFolder() + name + ".zvd";
        save.handlers = {ChooseFormat(kEditorDocumentEntry), ChooseFile(path)};
        break;
    case SaveTarget::InPlace:
        path = test.Document().GetPathName();
        break;
    case SaveTarget::PackagedFrame:
        save.handlers = {ChooseFormat(kPackagedFrameEntry), PackageAs(name, save.path)};
        break;
    case SaveTarget::SharedLayoutFolder: {
        std::string shared;
        EXPECT_TRUE(test.App().FolderServices().GetUDLFolder(shared)) << "no shared layout folder";
        if (!shared.empty() && shared.back() != '/')
            shared += '/';
        path = shared + name + ".usd";
        save.handlers = {ChooseFormat(kSharedFolderEntry), RegisterAs(name)};
        break;
    }
    case SaveTarget::CameraCard:
        // A camera layout set is named after its first layout.
        path = test.MemoryCardRoot() + "VLUDL/" + name + "_0.usm";
        save.handlers = {ChooseFormat(kCameraCardEntry), RegisterAs(name)};
        break;
    }
    return save;
}

std::string RecordSave(ProgramTest& test, const PlannedSave& save)
{
    CZAVEditorDoc& document = test.Document();
    const std::string& expected = *save.path;
    const bool written = !expected.empty() && QFileInfo::exists(QString::fromStdString(expected));
    // A save of the editor document makes the file the document's own, unmodified.
    const bool own = save.target == SaveTarget::EditorDocument || save.target == SaveTarget::InPlace;
    if (!written || (own && (document.GetPathName() != expected || document.IsModified()))) {
        const QFileInfo target(QString::fromStdString(expected));
        ADD_FAILURE()
            << "the save to " << expected << " did not happen (document: " << document.GetPathName()
            << "; the folder holds: "
            << target.dir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(' ').toStdString() << ")";
        return std::string();
    }
    Registry().push_back(SavedFile{save.target, expected});
    // Every file the editor writes reads alike through its own reader and the kit.
    if (ReadersCompareKind(expected)) {
        EXPECT_TRUE(ReadersAgree(expected));
    }
    return expected;
}

std::string SaveLayout(ProgramTest& test, SaveTarget target, const std::string& name)
{
    PlannedSave save = PlanSave(test, target, name);
    test.ChooseWithModals(target == SaveTarget::InPlace ? ID_FILE_SAVE : commands::kSaveAsRegister,
                          save.handlers);
    return RecordSave(test, save);
}

QByteArray FileBytes(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::map<QString, QByteArray> CompanionFiles(const std::string& layoutPath)
{
    const QString folder = QString::fromStdString(CZAVEditorDoc::StripExtension(layoutPath));
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        files[name] = FileBytes((folder + "/" + name).toStdString());
    return files;
}
