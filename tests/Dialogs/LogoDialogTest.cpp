#include "Dialogs/LogoDialog.h"
#include "App/support/AppTestSupport.h"
#include "Dialogs/support/FakeDialogShell.h"
#include "ImageProcessing/ImageIcon.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

class LogoDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        const QString path = dir.filePath(QStringLiteral("Localize.ini"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[130]\n130=0,300,180\n");
        shell.localizeIniPath = path.toStdString();
    }

    QTemporaryDir dir;
    FakeDialogShell shell;
};

TEST_F(LogoDialogTest, ItShowsItsPictureAtTheSizeOfItsEntryWithoutAnOwner)
{
    CLogoDialog logo(shell);
    EXPECT_EQ(logo.parentWidget(), nullptr);
    EXPECT_EQ(logo.size(), QSize(300, 180));
    const QImage picture = LoadBitmapResourcePicture(402).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(picture.isNull());
    const QImage grabbed = logo.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(grabbed.pixel(0, 0), picture.pixel(0, 0));
    EXPECT_EQ(grabbed.pixel(150, 90), picture.pixel(150, 90));
}

TEST_F(LogoDialogTest, ItsThreeSecondTimerEndsItWithOk)
{
    CLogoDialog logo(shell);
    logo.show();
    EXPECT_TRUE(logo.Timer().isActive());
    EXPECT_TRUE(logo.Timer().isSingleShot());
    EXPECT_EQ(logo.Timer().interval(), 3000);
    ASSERT_TRUE(QMetaObject::invokeMethod(&logo.Timer(), "timeout"));
    EXPECT_EQ(logo.result(), QDialog::Accepted);
    EXPECT_FALSE(logo.isVisible());
}

TEST_F(LogoDialogTest, ALeftPressEndsItWithOk)
{
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
        CLogoDialog logo(shell);
        logo.show();
        QTest::mousePress(&logo, button, Qt::NoModifier, QPoint(20, 20));
        EXPECT_EQ(logo.result() == QDialog::Accepted, button == Qt::LeftButton);
        EXPECT_EQ(logo.isVisible(), button != Qt::LeftButton);
    }
}

TEST_F(LogoDialogTest, OnlyTheFirstDeactivationInTheProcessEndsALogo)
{
    g_logoClosedByDeactivation = 0;
    CLogoDialog first(shell);
    first.show();
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&first, &deactivate);
    EXPECT_EQ(first.result(), QDialog::Accepted);
    EXPECT_EQ(g_logoClosedByDeactivation, 1);

    CLogoDialog second(shell);
    second.show();
    QApplication::sendEvent(&second, &deactivate);
    EXPECT_TRUE(second.isVisible());
    EXPECT_EQ(second.result(), QDialog::Rejected);
}

} // namespace
