// A camera layout with a frame picture, registered as a layout set on a
// memory card, opens in a fresh program as it was made and registers again under another name with
// the same files.
#include "App/MainMenu.h"
#include "App/ZAVEditorDoc.h"
#include "App/ZAVEditorView.h"
#include "Dialogs/FolderTreeCtrl.h"
#include "Dialogs/ImageListCtrl.h"
#include "Dialogs/SelectImageDialog.h"
#include "EndToEnd/support/Commands.h"
#include "EndToEnd/support/Pictures.h"
#include "EndToEnd/support/SavedFiles.h"
#include "EndToEnd/support/Scenario.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWizard>

#include <map>

namespace {

class CameraSetRoundTripTest : public ProgramTest
{
protected:
    // Memory-card drives switched on, so that the set can be registered on the test's card.
    CameraSetRoundTripTest() : ProgramTest({"EnableMemoryCardDrive=1"}) {}

    std::vector<std::string> DescribeCameraPage()
    {
        std::vector<std::string> page;
        page.push_back("camera " + std::to_string(Document().IsDSCLayout()));
        for (const CInsertImageFrameItem* frame : ItemsOf<CInsertImageFrameItem>(Layout())) {
            RECT r;
            frame->GetRect(&r, false);
            page.push_back("frame " + std::to_string(r.left) + "," + std::to_string(r.top) + "-" +
                           std::to_string(r.right) + "," + std::to_string(r.bottom) + " number " +
                           std::to_string(frame->GetFrameNumber()));
        }
        // A camera layout keeps everything but the photo as one frame image over
        // the printable area, so only the picture is compared here.
        for (const CBackgroundImageFrameItem* picture : ItemsOf<CBackgroundImageFrameItem>(Layout()))
            page.push_back("frame picture " + std::to_string(!picture->GetImageFileName().empty()));
        return page;
    }
};

// The set's files on the card (index, member scripts, companion folders),
// named and filled with the set's name taken out and the capacity lines,
// which differ between two registrations, blanked.
std::map<QString, QByteArray> CardFiles(const std::string& folder, const std::string& name)
{
    std::map<QString, QByteArray> files;
    const QString set = QString::fromStdString(name);
    const QDir root(QString::fromStdString(folder));
    QDirIterator walk(root.path(), QDir::Files, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const QString path = walk.next();
        QString key = root.relativeFilePath(path);
        if (!key.startsWith(set))
            continue;
        QByteArray bytes = FileBytes(path.toStdString());
        bytes.replace(QByteArray::fromStdString(name), "NAME");
        QList<QByteArray> lines = bytes.split('\n');
        for (QByteArray& line : lines)
            if (line.startsWith("HdCapability=") || line.startsWith("HdCapacity="))
                line = line.left(line.indexOf('=') + 1);
        files[key.replace(set, QStringLiteral("NAME"))] = lines.join('\n');
    }
    return files;
}

TEST_F(CameraSetRoundTripTest, ACameraLayoutSetOnTheCardOpensAsMadeAndRegistersAgainTheSame)
{
    StartProgram();
    ChooseWithModals(ID_FILE_NEW_DSC, {[](QWidget& modal) {
                         auto* wizard = qobject_cast<QWizard*>(&modal);
                         ASSERT_NE(wizard, nullptr) << "expected the new-layout wizard";
                         wizard->button(QWizard::FinishButton)->click();
                     }});
    ASSERT_TRUE(Document().IsDSCLayout());
    const auto frames = ItemsOf<CInsertImageFrameItem>(Layout());
    ASSERT_EQ(frames.size(), 1u);

    // A frame picture over the page, chosen in the picture choice.
    const std::string pictures = MakeDetailedPicture(ScratchFolder(), "frame", 320, 240, 5);
    Choose(commands::kBackgroundTool);
    RunWithModals([&] { Drag(OnPage(0.05, 0.05), OnPage(0.95, 0.95)); }, {[&pictures](QWidget& modal) {
                      auto* dialog = qobject_cast<CSelectImageDialog*>(&modal);
                      ASSERT_NE(dialog, nullptr) << "expected the picture choice";
                      ASSERT_TRUE(dialog->FolderTree()->SelectFolder(pictures));
                      ASSERT_EQ(dialog->ImageList()->count(), 1);
                      dialog->ImageList()->item(0)->setSelected(true);
                      QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
                  }});
    ASSERT_EQ(ItemsOf<CBackgroundImageFrameItem>(Layout()).size(), 1u);
    SetLayoutInformation(*this, QStringLiteral("Cards"), QStringLiteral("Kim"),
                         QStringLiteral("for the camera"));
    const std::vector<std::string> made = DescribeCameraPage();

    const std::string first = SaveLayout(*this, SaveTarget::CameraCard, "summer");
    ASSERT_FALSE(first.empty()) << (Messages().empty() ? std::string("no message")
                                                       : Messages().back().text.toStdString());
    ForgetMessages();
    StartProgram(first);
    EXPECT_TRUE(Messages().empty()) << Messages().front().text.toStdString();
    EXPECT_EQ(DescribeCameraPage(), made);
    // The frame image covers the photo frame's place, the printable area.
    const auto reopenedPictures = ItemsOf<CBackgroundImageFrameItem>(Layout());
    const auto reopenedFrames = ItemsOf<CInsertImageFrameItem>(Layout());
    ASSERT_EQ(reopenedPictures.size(), 1u);
    ASSERT_EQ(reopenedFrames.size(), 1u);
    RECT picture, frame;
    reopenedPictures.front()->GetRect(&picture, false);
    reopenedFrames.front()->GetRect(&frame, false);
    EXPECT_EQ(picture.left, frame.left);
    EXPECT_EQ(picture.top, frame.top);
    EXPECT_EQ(picture.right, frame.right);
    EXPECT_EQ(picture.bottom, frame.bottom);

    const std::string second = SaveLayout(*this, SaveTarget::CameraCard, "autumn");
    ASSERT_FALSE(second.empty());
    const std::string folder = MemoryCardRoot() + "VLUDL/";
    const auto firstFiles = CardFiles(folder, "summer");
    const auto secondFiles = CardFiles(folder, "autumn");
    ASSERT_FALSE(firstFiles.empty());
    EXPECT_EQ(secondFiles.size(), firstFiles.size());
    // Every file is the first registration's: the page was not changed, so
    // its pictures (the frame image, the camera's thumbnail file and the
    // thumbnail) are carried as their files' bytes.
    for (const auto& [name, bytes] : firstFiles) {
        const auto found = secondFiles.find(name);
        ASSERT_NE(found, secondFiles.end()) << name.toStdString();
        EXPECT_TRUE(found->second == bytes) << name.toStdString() << " differs from the first registration's";
    }
}

} // namespace
