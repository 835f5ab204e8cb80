#include "Dialogs/SetEnvDialog.h"

#include "App/AppSettings.h"
#include "App/MessageBoxes.h"
#include "App/ZAVEditorDoc.h"
#include "Core/Files.h"
#include "Core/PictureLimits.h"
#include "Core/TempFolders.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/ImageIcon.h"
#include "Layout/InsertImageFrameItem.h"
#include "Platform/FileSystem.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

constexpr int kDefaultInsertPicture = 520;
constexpr int kUserImageMode = 1;

class PreviewPane : public QWidget
{
public:
    explicit PreviewPane(CSetEnvDialog* dialog) : QWidget(dialog), m_dialog(dialog) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_dialog->PaintPreview(painter, rect());
    }

private:
    CSetEnvDialog* m_dialog;
};

QImage ToQImage(const CImage& image)
{
    if (!image.IsValid() || !image.GetBits())
        return {};
    const QImage rows(image.GetBits(), image.GetWidth(), image.GetHeight(), image.GetRowBytes(),
                      QImage::Format_RGB32);
    QImage picture = rows.mirrored(); // the image keeps its rows bottom-up
    // Our fourth byte is not the 0xFF this format expects.
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            row[x] |= 0xFF000000u;
    }
    return picture;
}

void DrawFitted(QPainter& painter, const QRect& area, const QImage& picture)
{
    painter.fillRect(area, Qt::white);
    if (picture.isNull())
        return;
    const QSize fitted = picture.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - fitted.width()) / 2,
                       area.y() + (area.height() - fitted.height()) / 2, fitted.width(), fitted.height());
    painter.drawImage(target, picture);
}

bool IsPictureName(const QString& name)
{
    const QString lower = name.toLower();
    return lower.endsWith(QLatin1String(".bmp")) || lower.endsWith(QLatin1String(".jpg")) ||
           lower.endsWith(QLatin1String(".jpeg"));
}

// The prototype back to the built-in picture, as after a start without a picture of the user's.
void ResetPrototype(CInsertImageFrameItem& prototype)
{
    prototype.SetImageFileName(std::string());
    prototype.SetImageFileName2(std::string());
    prototype.SetImageRange(RECT{0, 0, 0, 0});
    prototype.GetImageBuffer1()->LoadBitmapResource(kDefaultInsertPicture);
    prototype.GetImageBuffer2()->Release();
    prototype.GetImageBuffer3()->Release();
    prototype.GetImageBuffer4()->Release();
}

// Overwrites the target; the copy's owner may write it afterwards.
bool CopyOver(const std::string& from, const std::string& to)
{
    const QString target = QString::fromStdString(to);
    if (QFile::exists(target) && !QFile::remove(target))
        return false;
    if (!QFile::copy(QString::fromStdString(from), target))
        return false;
    return !HasReadOnlyAttribute(to) || ClearReadOnlyAttribute(to);
}

QRadioButton* Radio(QWidget* parent, const char* text)
{
    return new QRadioButton(QString::fromLatin1(text), parent);
}

} // namespace

std::string FindFirstPictureFile(const std::string& folder)
{
    const QDir dir(QString::fromStdString(folder));
    if (!dir.exists())
        return {};
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
        if (IsPictureName(entry))
            return dir.filePath(entry).toStdString();
    return {};
}

CSetEnvDialog::CSetEnvDialog(IDialogShell& shell, QWidget* parent) : CSettingsDialog(shell, 148, parent)
{
    // Frames first, so the controls placed over them stay on top.
    AddControl(new QGroupBox(QStringLiteral("Start-up"), this), 1530);
    AddControl(new QGroupBox(QStringLiteral("Unit"), this), 1504);
    AddControl(new QGroupBox(QStringLiteral("Insert frame picture"), this), 1531);
    m_opening = AddControl(new QCheckBox(QStringLiteral("Show the opening screen"), this), 1140);
    m_wizard = AddControl(new QCheckBox(QStringLiteral("Show the new-layout wizard"), this), 1141);
    m_units = new QButtonGroup(this);
    m_units->addButton(AddControl(Radio(this, "Pixels"), 1070), 0);
    m_units->addButton(AddControl(Radio(this, "Millimetres"), 1071), 1);
    m_units->addButton(AddControl(Radio(this, "Inches"), 1072), 2);
    m_modes = new QButtonGroup(this);
    m_modes->addButton(AddControl(Radio(this, "Default picture"), 1532), 0);
    m_modes->addButton(AddControl(Radio(this, "Your picture"), 1533), 1);
    m_modes->addButton(AddControl(Radio(this, "Grey"), 1534), 2);
    m_modes->addButton(AddControl(Radio(this, "None"), 1535), 3);
    m_browse = AddControl(new QPushButton(QStringLiteral("Browse..."), this), 1200);
    m_browse->setAutoDefault(false);
    m_previewArea = AddControl(new PreviewPane(this), 1536);
    connect(m_modes, &QButtonGroup::idClicked, this, [this] {
        ReadControls();
        UpdateButtons();
        update();
        m_previewArea->update();
    });
    connect(m_browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    Localize();
}

void CSetEnvDialog::OnInitDialog()
{
    const AppSettings& settings = m_shell.Settings();
    m_showOpening = settings.GetShowOpeningOnStartUp();
    m_showWizard = settings.GetShowNewWizardOnStartUp();
    m_unit = settings.GetUnit();
    m_mode = settings.GetInsertFrameImage();
    CZAVEditorDoc* document = m_shell.GetActiveEditorDoc();
    m_path = document ? document->GetInsertFramePrototype().GetImageFileName() : std::string();
    if (LoadPreview(m_path, false) != PreviewOk) {
        m_path.clear();
        if (m_mode == kUserImageMode)
            m_mode = 0;
    }
    m_opening->setChecked(m_showOpening != 0);
    m_wizard->setChecked(m_showWizard != 0);
    if (QAbstractButton* unit = m_units->button(m_unit))
        unit->setChecked(true);
    if (QAbstractButton* mode = m_modes->button(m_mode))
        mode->setChecked(true);
    UpdateButtons();
}

int CSetEnvDialog::LoadPreview(const std::string& path, bool messages)
{
    const QSize box = m_previewArea->size().isEmpty() ? QSize(100, 100) : m_previewArea->size();
    SIZE size{0, 0};
    double scale = 1.0;
    const SIZE maximum{kMaxPictureSide, kMaxPictureSide};
    const int code =
        m_preview.LoadFileScaled(path, box.width(), box.height(), &size, &scale, 0xFFFFFF, 0, &maximum);
    int refusal = PreviewOk;
    // The insert-photo frames' own limits: a picture taken here is one every
    // frame it goes into accepts.
    if (IsPictureTooLarge(size.cx, size.cy))
        refusal = TooLarge;
    else if (code != ImageFileOk || !m_preview.IsValid() || size.cx < 1 || size.cy < 1)
        refusal = Unreadable;
    // The shape before the size: a long strip is refused as such, even when it is also thin.
    else if (IsPictureTooLong(size.cx, size.cy))
        refusal = TooLong;
    else if (IsPictureTooSmall(size.cx, size.cy))
        refusal = TooSmall;
    if (refusal == PreviewOk)
        return PreviewOk;
    m_preview.Release();
    m_previewArea->update();
    if (messages)
        m_shell.ShowLocalizedMessage(refusal == TooLarge ? 146 : refusal == TooSmall ? 147 : 25, MB_ICONSTOP);
    return refusal;
}

void CSetEnvDialog::ReadControls()
{
    m_showOpening = m_opening->isChecked() ? 1 : 0;
    m_showWizard = m_wizard->isChecked() ? 1 : 0;
    m_unit = std::max(m_units->checkedId(), 0);
    m_mode = std::max(m_modes->checkedId(), 0);
}

void CSetEnvDialog::UpdateButtons()
{
    m_browse->setEnabled(m_mode == kUserImageMode);
    OkButton()->setEnabled(!(m_mode == kUserImageMode && m_path.empty()));
}

void CSetEnvDialog::OnBrowse()
{
    const std::optional<std::string> chosen =
        m_shell.ChooseOpenFile(this, LocalizedText(m_shell, 134), "*.bmp;*.jpg");
    if (chosen && LoadPreview(*chosen, true) == PreviewOk)
        m_path = *chosen;
    UpdateButtons();
    update();
    m_previewArea->update();
}

void CSetEnvDialog::accept()
{
    ReadControls();
    AppSettings& settings = m_shell.Settings();
    settings.SetShowOpeningOnStartUp(m_showOpening);
    settings.SetShowNewWizardOnStartUp(m_showWizard);
    settings.SetUnit(m_unit);
    settings.SetInsertFrameImage(m_mode);
    // The folder and the prototype hold the user's picture only: other modes leave them as they are.
    if (m_mode == kUserImageMode)
        ApplyUserImage();
    QDialog::accept();
}

void CSetEnvDialog::ApplyUserImage()
{
    CZAVEditorDoc* document = m_shell.GetActiveEditorDoc();
    if (!document)
        return;
    const std::string folder = GetTempInsertFrameImageFolder(false);
    if (!m_path.empty() && FindFirstPictureFile(folder) == m_path)
        return;
    if (IsDirectory(folder))
        DeleteFolderTree(folder);
    CInsertImageFrameItem& prototype = document->GetInsertFramePrototype();
    bool applied = !m_path.empty() && prototype.LoadImage(m_path) == ImageLoadOk;
    if (applied) {
        const std::string copy = folder + QFileInfo(QString::fromStdString(m_path)).fileName().toStdString();
        applied = CreateFolderPath(folder) && CopyOver(m_path, copy);
        if (applied)
            prototype.SetImageFileName(copy); // as the next start finds it
        else if (IsDirectory(folder))
            DeleteFolderTree(folder);
    }
    if (!applied) {
        // A picture that is not in the folder must not be looked for at the next start.
        ResetPrototype(prototype);
        m_shell.Settings().SetInsertFrameImage(0);
    }
}

void CSetEnvDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintLeftBitmap(this, painter, 511);
}

void CSetEnvDialog::PaintPreview(QPainter& painter, const QRect& area)
{
    switch (m_mode) {
    case 0:
        DrawFitted(painter, area, LoadBitmapResourcePicture(kDefaultInsertPicture));
        break;
    case kUserImageMode:
        DrawFitted(painter, area, ToQImage(m_preview));
        break;
    case 2:
        painter.fillRect(area, QColor(0xA0, 0xA0, 0xA0));
        break;
    default:
        painter.fillRect(area, Qt::white);
        break;
    }
}
