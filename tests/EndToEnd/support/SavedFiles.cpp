#include "EndToEnd/support/SavedFiles.h"

#include "App/MainMenu.h"
#include "App/ZAVEditorDoc.h"
#include "Dialogs/SelectSaveDialog.h"
#include "EndToEnd/support/ProgramTest.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
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
        dialog->selectFile(QString::fromStdString(path));
        // What the dialog's Save button does.
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

} // namespace

const std::vector<SavedFile>& SavedFiles()
{
    return Registry();
}

std::string SaveLayout(ProgramTest& test, SaveTarget target, const std::string& name)
{
    CZAVEditorDoc& document = *test.App().GetDocument();
    std::string expected;
    switch (target) {
    case SaveTarget::EditorDocument:
        expected = test.DocumentsFolder() + name + ".zvd";
        test.ChooseWithModals(kSaveAsRegister, {ChooseFormat(kEditorDocumentEntry), ChooseFile(expected)});
        break;
    case SaveTarget::InPlace:
        expected = document.GetPathName();
        test.ChooseWithModals(ID_FILE_SAVE, {});
        break;
    }
    const std::string path = document.GetPathName();
    if (path != expected || !QFileInfo::exists(QString::fromStdString(path)) || document.IsModified()) {
        ADD_FAILURE() << "the save to " << expected << " did not happen (document: " << path << ")";
        return std::string();
    }
    Registry().push_back(SavedFile{target, path});
    return path;
}
