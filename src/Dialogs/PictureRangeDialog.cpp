#include "Dialogs/PictureRangeDialog.h"

#include "App/AppSettings.h"
#include "App/MessageBoxes.h"
#include "Core/ErrorCheck.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/PictureRange.h"
#include "Dialogs/RangePictureView.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutDialogs.h"
#include "Platform/DialogLayoutTarget.h"

#include <QButtonGroup>
#include <QIcon>
#include <QPushButton>
#include <QToolButton>

#include <array>

namespace {

struct ToolButtonSpec
{
    int controlId;
    int iconId;
    const char* text;
};

constexpr std::array<ToolButtonSpec, 3> kToolButtons{{
    {1050, 246, "Choose the range"},
    {1051, 240, "Zoom in"},
    {1052, 241, "Zoom out"},
}};
constexpr int kDialogIconId = 260;
constexpr int kTooThinTextId = 84;

// Remembered for the rest of the process, whichever dialog ran last.
CPictureToolDialog::LastPicture& Last()
{
    static CPictureToolDialog::LastPicture last;
    return last;
}

} // namespace

CPictureRangeDialog::CPictureRangeDialog(IDialogShell& shell, QWidget* parent)
    : CPictureToolDialog(shell, kDialogId, parent)
{
    setWindowTitle(QStringLiteral("Picture range"));
    for (std::size_t i = 0; i < kToolButtons.size(); ++i) {
        auto* button = AddControl(new QToolButton(this), kToolButtons[i].controlId);
        button->setText(QString::fromLatin1(kToolButtons[i].text));
        button->setCheckable(true);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAutoRaise(false);
        m_tools->addButton(button, static_cast<int>(i));
    }
    AddDrawArea();
    // The places the localisation file gives, for a file without the dialog's section.
    OkButton()->setGeometry(124, 304, 100, 28);
    CancelButton()->setGeometry(232, 304, 100, 28);
    m_drawArea->setGeometry(8, 48, 324, 248);
    for (std::size_t i = 0; i < kToolButtons.size(); ++i)
        ToolButton(kToolButtons[i].controlId)->setGeometry(8 + 40 * static_cast<int>(i), 8, 32, 32);
    resize(340, 340);
    connect(m_tools, &QButtonGroup::idClicked, this, [this](int) { OnModeCommand(); });
    Localize();
}

CPictureRangeDialog::~CPictureRangeDialog() = default;

QToolButton* CPictureRangeDialog::ToolButton(int controlId) const
{
    for (QAbstractButton* button : m_tools->buttons())
        if (GetControlId(button) == controlId)
            return static_cast<QToolButton*>(button);
    return nullptr;
}

std::string CPictureRangeDialog::LastPictureName()
{
    return Last().name;
}

int CPictureRangeDialog::LastZoom()
{
    return Last().zoom;
}

void CPictureRangeDialog::ForgetLastPicture()
{
    Last() = LastPicture{};
}

int CPictureRangeDialog::exec()
{
    return IDCANCEL;
}

int CPictureRangeDialog::DoModalForItem(CInsertImageFrameItem* item)
{
    if (!HasPicture(item))
        return kFailed;
    m_item = item;
    return RunModal();
}

void CPictureRangeDialog::OnInitDialog()
{
    try {
        InitDialog();
    } catch (enumErrorID id) {
        Fail(id);
    }
}

void CPictureRangeDialog::InitDialog()
{
    setWindowIcon(ResourceIcon(kDialogIconId));
    for (const ToolButtonSpec& spec : kToolButtons) {
        QToolButton* button = ToolButton(spec.controlId);
        button->setIcon(ResourceIcon(spec.iconId));
        DressToolButton(button);
    }
    OkButton()->setToolTip(QString());
    CancelButton()->setToolTip(QString());
    KeepButtonMargins();

    m_view = CRangePictureView::Create(this, m_drawArea->x(), m_drawArea->y());
    NullCheck(m_view, ErrorIdReported);
    SetPictureView(m_view);
    m_view->setToolTip(QString());
    m_view->SetFailureHandler([this](int id) { Fail(id); });
    m_view->resize(m_drawArea->size());
    m_view->SetItem(m_item);
    m_mode = 0;
    m_tools->button(m_mode)->setChecked(true);
    m_view->SetMode(m_mode);

    PlaceWindow();

    const SIZE picture = m_view->Geometry().GetPictureSize();
    if (const int zoom = Last().ZoomFor(m_item->GetImageFileName()); zoom > 0)
        m_view->SetZoom(zoom, picture.cx / 2, picture.cy / 2);
    else
        m_view->FitZoom();
    m_initialised = true;
}

Rect CPictureRangeDialog::ReadWindowRect() const
{
    return m_shell.Settings().GetRangeWindowRect();
}

void CPictureRangeDialog::WriteWindowRect(const Rect& rect)
{
    m_shell.Settings().SetRangeWindowRect(&rect);
}

void CPictureRangeDialog::ScrollPage(bool down)
{
    m_view->ScrollPage(true, down);
}

void CPictureRangeDialog::OnModeCommand()
{
    m_mode = m_tools->checkedId();
    if (m_view)
        m_view->SetMode(m_mode);
}

void CPictureRangeDialog::accept()
{
    // A dialog that failed to start is ending with 3; OK must not write what it never showed.
    if (m_failed || !m_view || !m_item)
        return;
    RECT range{};
    m_view->GetRange(&range);
    switch (CheckPictureRange(range)) {
    case RangeVerdict::Refuse:
        m_shell.ShowLocalizedMessage(kTooThinTextId, MB_ICONSTOP);
        return;
    case RangeVerdict::WriteEmpty:
        m_item->SetImageRange(RECT{});
        break;
    case RangeVerdict::Write:
        m_item->SetImageRange(range);
        break;
    }
    CSettingsDialog::accept();
}

void CPictureRangeDialog::Remember()
{
    if (m_remembered || !m_initialised || !m_view || !m_item)
        return;
    m_remembered = true;
    Last() = LastPicture{m_item->GetImageFileName(), m_view->GetZoom()};
}

void CPictureRangeDialog::done(int result)
{
    Remember();
    CSettingsDialog::done(result);
}
