#include "Dialogs/PictureTransparencyDialog.h"

#include "App/AppSettings.h"
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/PictureRange.h"
#include "Dialogs/TransparencyDrawingView.h"
#include "Layout/ImageFrameItem.h"
#include "Layout/LayoutDialogs.h"
#include "Platform/DialogLayoutTarget.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <array>

namespace {

constexpr int kToolCount = 15;
constexpr int kFirstToolId = 1000;
constexpr int kModeIconId = 2050;
constexpr int kBlurLabelId = 2051;
constexpr int kSeparatorId = 2055;
constexpr int kDialogIconId = 262;
constexpr int kSetLabelTextId = 5;
constexpr int kCancelLabelTextId = 190;
constexpr int kSetTipTextId = 188;
constexpr int kCancelTipTextId = 189;

// Window texts of the tool buttons (their tool tips); the localisation file replaces them.
constexpr std::array<const char*, kToolCount> kToolTexts{"Rectangle",
                                                         "Ellipse",
                                                         "Polygon",
                                                         "Quarter ellipse",
                                                         "Star",
                                                         "Spade",
                                                         "Heart",
                                                         "Diamond",
                                                         "Club",
                                                         "Free hand (1 pixel)",
                                                         "Free hand (4 pixels)",
                                                         "Free hand (8 pixels)",
                                                         "Free hand (16 pixels)",
                                                         "Zoom in",
                                                         "Zoom out"};
// Icons of tools 9..14, whatever the mode.
constexpr std::array<int, 6> kFixedToolIcons{210, 211, 212, 213, 240, 241};

CPictureToolDialog::LastPicture& Last()
{
    static CPictureToolDialog::LastPicture last;
    return last;
}

QRect ToolPlace(int tool)
{
    if (tool <= 8)
        return QRect(8 + 40 * tool, 8, 32, 32);
    if (tool <= 12)
        return QRect(416 + 40 * (tool - 9), 8, 32, 32);
    return QRect(468 + 40 * (tool - 13), 74, 32, 32);
}

} // namespace

CPictureTransparencyDialog::CPictureTransparencyDialog(IDialogShell& shell, QWidget* parent)
    : CPictureToolDialog(shell, kDialogId, parent)
{
    setWindowTitle(QStringLiteral("Transparency"));
    setSizeGripEnabled(true);
    for (int tool = 0; tool < kToolCount; ++tool) {
        auto* button = AddControl(new QToolButton(this), kFirstToolId + tool);
        button->setText(QString::fromLatin1(kToolTexts[static_cast<std::size_t>(tool)]));
        button->setCheckable(true);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setGeometry(ToolPlace(tool));
        m_tools->addButton(button, tool);
    }
    auto* mode = AddControl(new QToolButton(this), kModeButtonId);
    mode->setCheckable(true);
    mode->setGeometry(588, 8, 32, 32);
    auto* checker = AddControl(new QToolButton(this), kCheckerButtonId);
    checker->setCheckable(true);
    checker->setText(QStringLiteral("Checkered background"));
    checker->setGeometry(416, 74, 32, 32);
    auto* undo = AddControl(new QToolButton(this), kUndoButtonId);
    undo->setText(QStringLiteral("Undo"));
    undo->setGeometry(556, 74, 32, 32);
    auto* modeIcon = AddControl(new QLabel(this), kModeIconId);
    modeIcon->setGeometry(376, 12, 32, 32);

    auto* blurLabel = AddControl(new QLabel(QStringLiteral("Blur"), this), kBlurLabelId);
    blurLabel->setGeometry(8, 56, 120, 18);
    auto* ratioLabel = AddControl(new QLabel(QStringLiteral("Transparency"), this), kRatioLabelId);
    ratioLabel->setGeometry(216, 56, 120, 18);
    const std::array<std::pair<int, QRect>, 4> scale{{{1517, QRect(8, 120, 30, 16)},
                                                      {1518, QRect(150, 120, 42, 16)},
                                                      {1519, QRect(208, 120, 30, 16)},
                                                      {1520, QRect(350, 120, 42, 16)}}};
    for (const auto& [id, place] : scale) {
        auto* label = AddControl(new QLabel(id % 2 ? QStringLiteral("0") : QStringLiteral("100%"), this), id);
        label->setGeometry(place);
    }
    for (int id : {kBlurSliderId, kRatioSliderId}) {
        auto* slider = AddControl(new QSlider(Qt::Horizontal, this), id);
        slider->setGeometry(id == kBlurSliderId ? 8 : 208, 94, 184, 26);
        slider->setTickPosition(QSlider::TicksAbove);
        connect(slider, &QSlider::valueChanged, this, [this] { SaveControls(); });
    }
    auto* separator = AddControl(new QFrame(this), kSeparatorId);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(8, 48, 698, 2);
    AddDrawArea()->setGeometry(8, 140, 696, 452);
    OkButton()->setGeometry(488, 600, 100, 28);
    CancelButton()->setGeometry(600, 600, 100, 28);
    resize(716, 640);

    connect(m_tools, &QButtonGroup::idClicked, this, [this](int) { OnToolCommand(); });
    connect(mode, &QToolButton::clicked, this, [this] { OnModeSwitch(); });
    connect(checker, &QToolButton::clicked, this, [this] { OnChecker(); });
    connect(undo, &QToolButton::clicked, this, [this] { OnUndo(); });
    Localize();
}

CPictureTransparencyDialog::~CPictureTransparencyDialog()
{
    if (m_filtering && qApp)
        qApp->removeEventFilter(this);
}

QToolButton* CPictureTransparencyDialog::Button(int controlId) const
{
    return FindControl<QToolButton>(controlId);
}

QSlider* CPictureTransparencyDialog::Slider(int controlId) const
{
    return FindControl<QSlider>(controlId);
}

QLabel* CPictureTransparencyDialog::Label(int controlId) const
{
    return FindControl<QLabel>(controlId);
}

std::string CPictureTransparencyDialog::LastPictureName()
{
    return Last().name;
}

int CPictureTransparencyDialog::LastZoom()
{
    return Last().zoom;
}

void CPictureTransparencyDialog::ForgetLastPicture()
{
    Last() = LastPicture{};
}

int CPictureTransparencyDialog::exec()
{
    return kFailed;
}

int CPictureTransparencyDialog::DoModalForItem(CImageFrameItem* item)
{
    if (!HasPicture(item))
        return kFailed;
    m_item = item;
    return RunModal();
}

bool CPictureTransparencyDialog::IsCameraDocument() const
{
    CZAVEditorDoc* document = m_shell.GetActiveEditorDoc();
    return document && document->IsDSCLayout();
}

void CPictureTransparencyDialog::OnInitDialog()
{
    try {
        InitDialog();
    } catch (enumErrorID id) {
        Fail(id);
    }
}

void CPictureTransparencyDialog::SetModeIcons(int mode)
{
    const int first = mode == 1 ? 220 : 200;
    for (int tool = 0; tool <= 8; ++tool)
        Button(kFirstToolId + tool)->setIcon(ResourceIcon(first + tool));
    Label(kModeIconId)->setPixmap(ResourceIcon(first + 9).pixmap(32, 32));
    Button(kModeButtonId)->setIcon(ResourceIcon(mode == 1 ? 245 : 244));
    Button(kModeButtonId)
        ->setToolTip(
            QString::fromStdString(LocalizedText(m_shell, mode == 1 ? kCancelTipTextId : kSetTipTextId)));
    Label(kRatioLabelId)
        ->setText(
            QString::fromStdString(LocalizedText(m_shell, mode == 1 ? kCancelLabelTextId : kSetLabelTextId)));
}

void CPictureTransparencyDialog::InitDialog()
{
    AppSettings& settings = m_shell.Settings();
    setWindowIcon(ResourceIcon(kDialogIconId));
    m_mode = settings.GetSetTransparency() == 1 ? 1 : 0;
    for (int tool = 9; tool < kToolCount; ++tool)
        Button(kFirstToolId + tool)
            ->setIcon(ResourceIcon(kFixedToolIcons[static_cast<std::size_t>(tool - 9)]));
    Button(kUndoButtonId)->setIcon(ResourceIcon(242));
    Button(kCheckerButtonId)->setIcon(ResourceIcon(243));
    for (QToolButton* button : findChildren<QToolButton*>())
        DressToolButton(button, GetControlId(button) != kModeButtonId);
    SetModeIcons(m_mode);
    for (QWidget* quiet : std::initializer_list<QWidget*>{OkButton(), CancelButton(), Slider(kBlurSliderId),
                                                          Slider(kRatioSliderId)})
        quiet->setToolTip(QString());
    KeepButtonMargins();

    m_view = new CTransparencyDrawingView(m_shell, this);
    SetPictureView(m_view);
    m_view->Create(this, m_drawArea->x(), m_drawArea->y());
    m_view->setToolTip(QString());
    m_view->resize(m_drawArea->size());
    m_view->SetItem(m_item);

    for (int id : {kBlurSliderId, kRatioSliderId}) {
        QSlider* slider = Slider(id);
        const QSignalBlocker block(slider);
        slider->setRange(0, 100);
        slider->setPageStep(10);
        slider->setTickInterval(10);
        slider->setSingleStep(10);
    }
    m_view->SetMode(m_mode);
    m_blur = settings.GetGaussianRatio();
    m_ratio = m_mode == 1 ? settings.GetCancelTransparencyRatio() : settings.GetSetTransparencyRatio();
    if (IsCameraDocument()) {
        // Shapes are then always wholly transparent or opaque.
        Label(kRatioLabelId)->setEnabled(false);
        Label(1519)->setEnabled(false);
        Label(1520)->setEnabled(false);
        Slider(kRatioSliderId)->setEnabled(false);
    }
    LoadControls();
    PlaceWindow();
    SaveControls();

    if (const int zoom = Last().ZoomFor(m_item->GetImageFileName()); zoom > 0)
        m_view->SetZoom(zoom, m_view->Picture().GetWidth() / 2, m_view->Picture().GetHeight() / 2);
    else
        m_view->FitZoom();
    qApp->installEventFilter(this);
    m_filtering = true;
    m_initialised = true;
}

void CPictureTransparencyDialog::LoadControls()
{
    m_tools->button(std::clamp(m_tool, 0, kToolCount - 1))->setChecked(true);
    for (auto [id, value] : {std::pair{kBlurSliderId, m_blur}, std::pair{kRatioSliderId, m_ratio}}) {
        const QSignalBlocker block(Slider(id));
        Slider(id)->setValue(value);
    }
    Button(kCheckerButtonId)->setChecked(m_checker);
    Button(kModeButtonId)->setChecked(m_mode == 1);
}

void CPictureTransparencyDialog::SaveControls()
{
    m_tool = std::max(0, m_tools->checkedId());
    m_blur = Slider(kBlurSliderId)->value();
    m_ratio = Slider(kRatioSliderId)->value();
    m_checker = Button(kCheckerButtonId)->isChecked();
    m_mode = Button(kModeButtonId)->isChecked() ? 1 : 0;
    if (m_view) {
        m_view->SetTool(m_tool);
        m_view->SetTransparencyLevel(m_ratio);
        m_view->SetBlurAmount(m_blur);
    }
}

void CPictureTransparencyDialog::CancelGesture()
{
    if (!m_view)
        return;
    m_view->CancelPolygon();
    m_view->CancelFreehand();
}

void CPictureTransparencyDialog::OnToolCommand()
{
    CancelGesture();
    SaveControls();
}

void CPictureTransparencyDialog::OnModeSwitch()
{
    AppSettings& settings = m_shell.Settings();
    const int mode = Button(kModeButtonId)->isChecked() ? 1 : 0;
    SetModeIcons(mode);
    QSlider* slider = Slider(kRatioSliderId);
    const QSignalBlocker block(slider);
    if (mode == 0) {
        settings.SetCancelTransparencyRatio(slider->value());
        slider->setValue(settings.GetSetTransparencyRatio());
    } else {
        settings.SetSetTransparencyRatio(slider->value());
        slider->setValue(settings.GetCancelTransparencyRatio());
    }
    SaveControls();
    if (m_view)
        m_view->SetMode(mode);
}

void CPictureTransparencyDialog::OnUndo()
{
    if (!m_view)
        return;
    try {
        m_view->Undo();
    } catch (enumErrorID id) {
        Fail(id);
    }
}

void CPictureTransparencyDialog::OnChecker()
{
    if (m_view)
        m_view->SetChecker(Button(kCheckerButtonId)->isChecked());
}

QString CPictureTransparencyDialog::ToolTipFor(int controlId) const
{
    if (controlId == kModeButtonId)
        return Button(kModeButtonId)->toolTip();
    const QWidget* widget = FindControl<QWidget>(controlId);
    return widget ? widget->toolTip() : QString();
}

bool CPictureTransparencyDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Only what goes to this dialog or its controls is translated.
    auto* target = qobject_cast<QWidget*>(watched);
    if (!m_view || !isVisible() || !target || (target != this && !isAncestorOf(target)))
        return CSettingsDialog::eventFilter(watched, event);
    const int state = m_view->GetDrawingState();
    const bool gesture = (state == CTransparencyPictureView::InputPolygon ||
                          state == CTransparencyPictureView::InputFreehand) &&
                         QWidget::mouseGrabber() == m_view;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (gesture) {
            if (event->type() == QEvent::KeyPress && key->key() == Qt::Key_Escape)
                CancelGesture();
            return true;
        }
        if (event->type() == QEvent::KeyPress && key->key() == Qt::Key_Z &&
            (key->modifiers() & Qt::ControlModifier)) {
            OnUndo();
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (gesture && state == CTransparencyPictureView::InputFreehand &&
            mouse->button() == Qt::RightButton) {
            CancelGesture();
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (gesture && state == CTransparencyPictureView::InputPolygon && mouse->button() == Qt::RightButton)
            return true;
        break;
    }
    default:
        break;
    }
    return CSettingsDialog::eventFilter(watched, event);
}

void CPictureTransparencyDialog::LayoutControls()
{
    CPictureToolDialog::LayoutControls();
    if (QFrame* line = FindControl<QFrame>(kSeparatorId))
        line->resize(std::max(width() - 2 * line->x(), 1), line->height());
}

Rect CPictureTransparencyDialog::ReadWindowRect() const
{
    return m_shell.Settings().GetTransparentWindowRect();
}

void CPictureTransparencyDialog::WriteWindowRect(const Rect& rect)
{
    m_shell.Settings().SetTransparentWindowRect(&rect);
}

void CPictureTransparencyDialog::ScrollPage(bool down)
{
    m_view->OnScroll(WM_VSCROLL, down ? SB_PAGEDOWN : SB_PAGEUP, 0);
}

void CPictureTransparencyDialog::accept()
{
    // A dialog that failed to start is ending with 3; OK must not write what it never showed.
    if (m_failed || !m_view || !m_item)
        return;
    CancelGesture();
    try {
        m_view->CommitToItem();
    } catch (enumErrorID id) {
        m_shell.ReportErrorCode(id);
        m_failed = true;
        done(kFailed);
        return;
    }
    CSettingsDialog::accept();
}

void CPictureTransparencyDialog::StoreSettings()
{
    if (m_stored || !m_initialised)
        return;
    m_stored = true;
    if (m_view && m_item)
        Last() = LastPicture{m_item->GetImageFileName(), m_view->GetZoom()};
    AppSettings& settings = m_shell.Settings();
    settings.SetGaussianRatio(m_blur);
    settings.SetSetTransparency(m_mode);
    if (m_mode == 1)
        settings.SetCancelTransparencyRatio(m_ratio);
    else
        settings.SetSetTransparencyRatio(m_ratio);
}

void CPictureTransparencyDialog::done(int result)
{
    if (m_filtering && qApp) {
        qApp->removeEventFilter(this);
        m_filtering = false;
    }
    CancelGesture();
    StoreSettings();
    CSettingsDialog::done(result);
}
