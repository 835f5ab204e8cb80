// A user without a documents folder saves a new layout: the program, given
// its documents folder as `main` gives it, offers a folder that exists and
// never writes into the folder it was started from.
#include "App/ZAVEditorDoc.h"
#include "Core/support/ScopedEnv.h"
#include "Dialogs/SelectSaveDialog.h"
#include "EndToEnd/support/Commands.h"
#include "EndToEnd/support/Scenario.h"
#include "Layout/LineItem.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <filesystem>

namespace {

constexpr int kEditorDocumentEntry = 215;
constexpr int kUntitledName = 173;

std::string Sub(const QTemporaryDir& root, const char* name)
{
    QDir(root.path()).mkpath(QString::fromLatin1(name));
    return root.filePath(QString::fromLatin1(name)).toStdString();
}

class SaveFolderTest : public ProgramTest
{
protected:
    SaveFolderTest() { std::filesystem::current_path(startFolder); }
    ~SaveFolderTest() override
    {
        FinishProgram();
        std::filesystem::current_path(before);
    }

    // Everything as the tests' folders give it, but the documents folder as main finds it.
    void AdjustEnvironment(AppEnvironment& environment) override
    {
        environment.documentsFolder = DefaultAppEnvironment().documentsFolder;
    }

    std::filesystem::path before = std::filesystem::current_path();
    QTemporaryDir root;
    // A user whose home has no documents folder and whose desktop names none.
    ScopedEnv home{"HOME", Sub(root, "home")};
    ScopedEnv config{"XDG_CONFIG_HOME", Sub(root, "config")};
    std::string startFolder = Sub(root, "started-from");
};

TEST_F(SaveFolderTest, SaveAsWithoutADocumentsFolderOffersOneThatExistsAndSavesThere)
{
    const std::string documents = root.filePath(QStringLiteral("home/Documents")).toStdString();
    StartProgram();
    NewPostcardLayout(*this);
    DrawLine(*this, 0.2, 0.2, 0.8, 0.6);
    ASSERT_EQ(ItemsOf<CLineItem>(Layout()).size(), 1u);

    QString offered;
    ChooseWithModals(commands::kSaveAsRegister,
                     {[](QWidget& modal) {
                          auto* dialog = qobject_cast<CSelectSaveDialog*>(&modal);
                          ASSERT_NE(dialog, nullptr) << "expected the save-format dialog";
                          const std::vector<int> entries = dialog->Entries();
                          const auto at = std::find(entries.begin(), entries.end(), kEditorDocumentEntry);
                          ASSERT_NE(at, entries.end());
                          dialog->FormatCombo()->setCurrentIndex(static_cast<int>(at - entries.begin()));
                          QTest::mouseClick(dialog->YesButton(), Qt::LeftButton);
                      },
                      [&offered](QWidget& modal) {
                          auto* dialog = qobject_cast<QFileDialog*>(&modal);
                          ASSERT_NE(dialog, nullptr) << "expected the file dialog";
                          offered = dialog->directory().absolutePath();
                          // The user takes the name offered.
                          QMetaObject::invokeMethod(dialog, "accept");
                      }});
    EXPECT_EQ(offered.toStdString(), documents);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(documents)).isDir());
    const std::string expected = documents + "/" + ShippedCaption(kUntitledName).toStdString() + ".zvd";
    EXPECT_EQ(Document().GetPathName(), expected);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(expected)));
    // Nothing went into the folder the program was started from.
    EXPECT_TRUE(QDir(QString::fromStdString(startFolder)).isEmpty());
    EXPECT_FALSE(Document().IsModified());
}

} // namespace
