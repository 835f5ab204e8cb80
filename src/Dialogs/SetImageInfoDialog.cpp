#include "Dialogs/SetImageInfoDialog.h"

#include "App/FontCatalogue.h"
#include "Core/LocalizeScript.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/PictureRangeDialog.h"
#include "Dialogs/PictureTransparencyDialog.h"
#include "Dialogs/SelectImageDialog.h"
#include "Dialogs/StringItemFontDialog.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Platform/DialogLayoutTarget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <array>

namespace {

struct InfoBox
{
    int controlId;
    bool ImageInfoValues::*field;
    const char* text;
};

constexpr std::array<InfoBox, 8> kBoxes{{
    {1120, &ImageInfoValues::showDateTime, "Date and time"},
    {1123, &ImageInfoValues::showExposureTime, "Exposure time"},
    {1124, &ImageInfoValues::showFNumber, "F-number"},
    {1125, &ImageInfoValues::showISO, "ISO speed"},
    {1126, &ImageInfoValues::showCameraName, "Camera name"},
    {1127, &ImageInfoValues::showFlash, "Flash"},
    {1122, &ImageInfoValues::showFileName, "File name"},
    {1128, &ImageInfoValues::fullPath, "Full path"},
}};

} // namespace

CSetImageInfoDialog::CSetImageInfoDialog(IDialogShell& shell, ColorChooser chooseColor, QWidget* parent)
    : CSettingsDialog(shell, 146, parent), m_chooseColor(std::move(chooseColor))
{
    for (const InfoBox& box : kBoxes)
        AddControl(new QCheckBox(QString::fromLatin1(box.text), this), box.controlId);
    AddControl(new QLabel(QStringLiteral("Font"), this), 3118);
    m_faces = AddControl(new QComboBox(this), 1341);
    m_sizes = new QButtonGroup(this);
    m_sizes->addButton(AddControl(new QRadioButton(QStringLiteral("8 pt"), this), 1080), 0);
    m_sizes->addButton(AddControl(new QRadioButton(QStringLiteral("10 pt"), this), 1081), 1);
    m_color = AddControl(new QPushButton(QStringLiteral("Colour..."), this), 1220);
    m_color->setAutoDefault(false);
    connect(Box(1122), &QCheckBox::toggled, this, [this](bool on) { Box(1128)->setEnabled(on); });
    connect(m_color, &QPushButton::clicked, this, [this] {
        COLORREF color = static_cast<COLORREF>(m_values.infoValue);
        if (m_chooseColor && m_chooseColor(color))
            m_values.infoValue = static_cast<int>(color);
    });
    Localize();
}

QCheckBox* CSetImageInfoDialog::Box(int controlId) const
{
    for (QCheckBox* box : findChildren<QCheckBox*>())
        if (GetControlId(box) == controlId)
            return box;
    return nullptr;
}

void CSetImageInfoDialog::OnInitDialog()
{
    const CLocalizeScript script(m_shell.GetLocalizeIniPath());
    m_faces->clear();
    for (const char* key : kInfoFontKeys) {
        std::string face;
        if (script.GetDrawStringFont(key, face) && !face.empty())
            m_faces->addItem(QString::fromStdString(face));
    }
    const int current = m_faces->findText(QString::fromStdString(m_values.fontFace));
    m_faces->setCurrentIndex(current >= 0 ? current : (m_faces->count() > 0 ? 0 : -1));
    for (const InfoBox& box : kBoxes)
        Box(box.controlId)->setChecked(m_values.*box.field);
    if (QAbstractButton* size = m_sizes->button(m_values.fontSize == 1 ? 1 : 0))
        size->setChecked(true);
    Box(1128)->setEnabled(m_values.showFileName);
}

void CSetImageInfoDialog::accept()
{
    for (const InfoBox& box : kBoxes)
        m_values.*box.field = Box(box.controlId)->isChecked();
    m_values.fontFace = m_faces->currentText().toStdString();
    m_values.fontSize = m_sizes->checkedId() == 1 ? 1 : 0;
    QDialog::accept();
}

void CSetImageInfoDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintLeftBitmap(this, painter, 413);
}

bool DialogsLayoutDialogs::ChooseColor(COLORREF& color)
{
    return m_inner && m_inner->ChooseColor(color);
}

int DialogsLayoutDialogs::RunStringItemFontDialog(StringItemFontValues& values)
{
    // The dialog's pixels are those the layout model converts with.
    CStringItemFontDialog dialog(
        m_shell, GetFontCatalogue(), GetScreenLogPixelsY(),
        [this](COLORREF& color) { return ChooseColor(color); }, m_shell.MainWindow());
    dialog.SetValues(values);
    if (dialog.exec() != QDialog::Accepted)
        return IDCANCEL;
    values = dialog.GetValues();
    return IDOK;
}

int DialogsLayoutDialogs::RunPictureTransparencyDialog(CImageFrameItem& item)
{
    // Only a background or a frame with a picture of its own has a
    // transparency to paint: an empty frame's sample has no working copy.
    if ((!dynamic_cast<CBackgroundImageFrameItem*>(&item) && !dynamic_cast<CInsertImageFrameItem*>(&item)) ||
        !item.GetImageBuffer1()->IsValid() || item.GetImageFileName2().empty())
        return CPictureTransparencyDialog::kFailed;
    CPictureTransparencyDialog dialog(m_shell, m_shell.MainWindow());
    return dialog.DoModalForItem(&item);
}

int DialogsLayoutDialogs::RunPictureRangeDialog(CImageFrameItem& item)
{
    // Only an insert-photo frame with a picture of its own opens a window:
    // the sample picture of an empty frame has no working copy to show.
    auto* frame = dynamic_cast<CInsertImageFrameItem*>(&item);
    if (!frame || !frame->GetImageBuffer1()->IsValid() || frame->GetImageFileName2().empty())
        return CPictureRangeDialog::kFailed;
    CPictureRangeDialog dialog(m_shell, m_shell.MainWindow());
    return dialog.DoModalForItem(frame);
}

int DialogsLayoutDialogs::RunSelectImageDialog(int mode, std::string& path)
{
    CSelectImageDialog dialog(m_shell, mode, m_shell.MainWindow());
    if (dialog.exec() != QDialog::Accepted || dialog.GetChosenPath().empty())
        return IDCANCEL;
    path = dialog.GetChosenPath();
    return IDOK;
}

int DialogsLayoutDialogs::RunSetImageInfoDialog(ImageInfoValues& values)
{
    CSetImageInfoDialog dialog(
        m_shell, [this](COLORREF& color) { return ChooseColor(color); }, m_shell.MainWindow());
    dialog.SetValues(values);
    if (dialog.exec() != QDialog::Accepted)
        return IDCANCEL;
    values = dialog.GetValues();
    return IDOK;
}

int DialogsLayoutDialogs::GetScreenLogPixelsY()
{
    return m_inner ? m_inner->GetScreenLogPixelsY() : 96;
}
