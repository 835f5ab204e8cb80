#include "App/ShellLayoutDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QScreen>

#include <cmath>

namespace {

QWidget* Owner()
{
    return QApplication::activeWindow();
}

} // namespace

const char* ImageFileFilter()
{
    return "Images (*.bmp *.jpg *.jpeg *.tif *.tiff *.tga *.eff)";
}

bool ShellLayoutDialogs::ChooseColor(COLORREF& color)
{
    const QColor chosen =
        QColorDialog::getColor(QColor(GetRValue(color), GetGValue(color), GetBValue(color)), Owner());
    if (!chosen.isValid())
        return false;
    color = RGB(chosen.red(), chosen.green(), chosen.blue());
    return true;
}

int ShellLayoutDialogs::RunStringItemFontDialog(StringItemFontValues& values)
{
    bool ok = false;
    const QString text = QInputDialog::getText(Owner(), QString(), QString(), QLineEdit::Normal,
                                               QString::fromStdString(values.text), &ok);
    if (!ok)
        return IDCANCEL;
    values.text = text.toStdString();
    return IDOK;
}

int ShellLayoutDialogs::RunPictureTransparencyDialog(CImageFrameItem&)
{
    return IDCANCEL;
}

int ShellLayoutDialogs::RunPictureRangeDialog(CImageFrameItem&)
{
    return IDCANCEL;
}

int ShellLayoutDialogs::RunSelectImageDialog(int /*mode*/, std::string& path)
{
    const QString chosen =
        QFileDialog::getOpenFileName(Owner(), QString(), QString(), QString::fromLatin1(ImageFileFilter()));
    if (chosen.isEmpty())
        return IDCANCEL;
    path = chosen.toStdString();
    return IDOK;
}

int ShellLayoutDialogs::RunSetImageInfoDialog(ImageInfoValues&)
{
    return IDCANCEL;
}

int ShellLayoutDialogs::GetScreenLogPixelsY()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}
