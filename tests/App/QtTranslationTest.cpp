#include "App/QtTranslation.h"
#include "App/support/AppTestSupport.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <string>

namespace {

std::string WriteFontEntry(const QTemporaryDir& dir, const char* entry)
{
    const QString path = dir.filePath(QStringLiteral("Localize.ini"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("[Font]\r\n") + entry + "\r\n");
    return path.toStdString();
}

// The language follows the character set of the interface font (entry 1).
TEST(QtTranslation, LanguageComesFromTheInterfaceFontsCharacterSet)
{
    struct Case
    {
        const char* entry;
        const char* language;
    };
    const Case cases[] = {
        {"1=9,IPAPGothic,128", "ja"}, {"1=9,Gulim,129", "ko"}, {"1=9,Arial,0", ""},
        {"2=14,IPAPGothic,128", ""}, // the wizard's font says nothing of the dialogs
        {"1=9,SimSun,134", "zh_CN"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        EXPECT_EQ(ProgramLanguage(WriteFontEntry(dir, c.entry)), c.language) << c.entry;
    }
    EXPECT_EQ(ProgramLanguage("/nonexistent/Localize.ini"), "");
}

// With the shipped Localize.ini the standard dialogs and buttons speak
// Japanese, and stop doing so when the translation goes.
TEST(QtTranslation, ShippedLanguageTranslatesStandardDialogs)
{
    EnsureApp();
    QDialogButtonBox before(QDialogButtonBox::Cancel);
    const QString english = before.button(QDialogButtonBox::Cancel)->text();
    {
        const auto translation = InstallQtTranslation(ZAV_SOURCE_DIR "/resources/Localize.ini");
        ASSERT_NE(translation, nullptr) << "Qt's Japanese translation (qt6-translations-l10n) is missing";
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
        QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")))
            << box.button(QMessageBox::Yes)->text().toStdString();
        // Qt's own file dialog, as a Save As without a native dialog shows it.
        QFileDialog files(nullptr, QString(), QDir::tempPath());
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setAcceptMode(QFileDialog::AcceptSave);
        const QList<QLabel*> labels = files.findChildren<QLabel*>();
        const bool lookInJapanese = std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
            return label->text().contains(QStringLiteral("ファイル"));
        });
        EXPECT_TRUE(lookInJapanese);
    }
    QDialogButtonBox after(QDialogButtonBox::Cancel);
    EXPECT_EQ(after.button(QDialogButtonBox::Cancel)->text(), english);
}

} // namespace
