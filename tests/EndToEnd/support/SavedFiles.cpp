#include "EndToEnd/support/SavedFiles.h"

#include "App/MainMenu.h"
#include "App/ZAVEditorDoc.h"
#include "Dialogs/SelectSaveDialog.h"
#include "EndToEnd/support/ProgramTest.h"
#include "FrameKit/compare/ReadersAgree.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace {

constexpr int kSaveAsRegister = 32773;
constexpr int kEditorDocumentEntry = 215;

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

} // namespace

const std::vector<SavedFile>& SavedFiles()
{
    return Registry();
}

PlannedSave PlanSave(ProgramTest& test, SaveTarget target, const std::string& name)
{
    PlannedSave save{target, std::string(), {}};
    switch (target) {
    case SaveTarget::EditorDocument:
        save.path = test.DocumentsFolder() + name + ".zvd";
        save.handlers = {ChooseFormat(kEditorDocumentEntry), ChooseFile(save.path)};
        break;
    case SaveTarget::InPlace:
        save.path = test.Document().GetPathName();
        break;
    }
    return save;
}

std::string RecordSave(ProgramTest& test, const PlannedSave& save)
{
    CZAVEditorDoc& document = test.Document();
    const std::string path = document.GetPathName();
    if (path != save.path || !QFileInfo::exists(QString::fromStdString(path)) || document.IsModified()) {
        ADD_FAILURE() << "the save to " << save.path << " did not happen (document: " << path << ")";
        return std::string();
    }
    Registry().push_back(SavedFile{save.target, path});
    // Every file the editor writes reads alike through its own reader and the kit.
    if (ReadersCompareKind(path)) {
        EXPECT_TRUE(ReadersAgree(path));
    }
    return path;
}

std::string SaveLayout(ProgramTest& test, SaveTarget target, const std::string& name)
{
    PlannedSave save = PlanSave(test, target, name);
    test.ChooseWithModals(target == SaveTarget::InPlace ? ID_FILE_SAVE : kSaveAsRegister, save.handlers);
    return RecordSave(test, save);
}
