#include "Dialogs/ChangeModeBar.h"

#include "App/AppSettings.h"
#include "App/ZAVEditorDoc.h"
#include "Core/DialogLayout.h"
#include "Core/LocalizeScript.h"
#include "Dialogs/BarSupport.h"
#include "Dialogs/DialogShell.h"
#include "ImageProcessing/ImageIcon.h"
#include "Platform/DialogLayoutTarget.h"

#include <QDockWidget>
#include <QEvent>
#include <QFrame>

std::array<bool, 4> ReadModePairsShown(const std::string& localizeIniPath)
{
    const CLocalizeScript texts(localizeIniPath);
    std::array<bool, 4> shown{};
    for (std::size_t pair = 0; pair < kModePairKeys.size(); ++pair)
        shown[pair] = texts.GetDSCPaperFlag(kModePairKeys[pair]) == 1;
    return shown;
}

CChangeModeBar::CChangeModeBar(IDialogShell& shell, QWidget* parent)
    : QWidget(parent), m_shell(shell), m_keys(new BarKeyForwarder(shell, this))
{
    setObjectName(QStringLiteral("ChangeModeBar"));
}

CChangeModeBar::~CChangeModeBar()
{
    m_buttons.RemoveAll(true);
}

bool CChangeModeBar::Create(bool changeDockedSize)
{
    for (int mode = 0; mode < 10; ++mode)
        AddPlaceholder(this, kFirstModeCommand + mode, true);
    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    SetControlId(separator, kSeparatorId);

    m_pairShown = ReadModePairsShown(m_shell.GetLocalizeIniPath());
    for (int pair = 0; pair < 4; ++pair) {
        if (m_pairShown[pair])
            continue;
        for (int member = 0; member < 2; ++member) {
            QWidget* control = FindControl(this, kFirstModeCommand + 2 + 2 * pair + member);
            control->hide();
            control->setEnabled(false);
        }
    }
    const QSize size(ModeBarWidth(m_pairShown), kModeBarHeight);
    m_sizes.docked = size;
    m_sizes.floating = size;
    m_sizes.fixedWidth = size.width();
    m_sizes.minHeight = kModeBarHeight;
    m_sizes.changeDockedSize = changeDockedSize;
    setFixedSize(size);
    return true;
}

void CChangeModeBar::InitButtons()
{
    const std::string ini = m_shell.GetLocalizeIniPath();
    const QFont font = m_shell.GetUIFont();
    CWidgetDialogLayout target(this, &font);
    SetupDialogLayout(kDialogId, target, ini);
    // The dialog's entry must not undo the hiding rule's size.
    setFixedSize(m_sizes.floating);

    m_buttons.SetParent(this);
    for (int mode = 0; mode < 10; ++mode) {
        if (mode >= 2 && !m_pairShown[(mode - 2) / 2])
            continue;
        const int command = kFirstModeCommand + mode;
        auto* button = new CRadioButton(command, LoadBitmapResourcePicture(kBitmaps[mode][0]),
                                        LoadBitmapResourcePicture(kBitmaps[mode][1]), QImage());
        m_buttons.Add(button);
        connect(button, &QAbstractButton::clicked, this, [this, command] { m_shell.RouteCommand(command); });
    }
    // The hidden pairs' placeholders are not needed any more.
    for (int mode = 2; mode < 10; ++mode)
        if (!m_pairShown[(mode - 2) / 2])
            delete FindControl(this, kFirstModeCommand + mode);

    CLocalizeScript texts(ini);
    int captionId = 0, width = 0, height = 0;
    if (texts.GetDialogInfo(kDialogId, captionId, width, height)) {
        std::string caption;
        texts.GetCaption(captionId, caption);
        setWindowTitle(QString::fromStdString(caption));
        AdoptFrameTitle();
    }
    ApplyBarToolTips(this);
    m_keys->Watch(this);
    m_initialised = true;
    Relayout();
    m_buttons.Select(1, true);
}

void CChangeModeBar::AdoptFrameTitle()
{
    AdoptDockFrameTitle(this);
}

bool CChangeModeBar::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        AdoptFrameTitle();
    return QWidget::event(event);
}

void CChangeModeBar::Relayout()
{
    const ModeBarGeometry g = CalcModeBarGeometry(m_pairShown);
    for (int mode = 0; mode < 10; ++mode)
        if (QWidget* button = FindControl(this, kFirstModeCommand + mode);
            button && !g.buttons[mode].isEmpty())
            button->setGeometry(g.buttons[mode]);
    if (QWidget* separator = FindControl(this, kSeparatorId))
        separator->setGeometry(g.separator);
}

void CChangeModeBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_initialised)
        Relayout();
}

void CChangeModeBar::SelectMode(int mode)
{
    const int index = ModeButtonIndex(mode, m_pairShown);
    if (index >= 0 && index < m_buttons.GetCount())
        m_buttons.Select(index, true);
    if (CZAVEditorDoc* document = m_shell.GetActiveEditorDoc())
        document->SetEditMode(mode);
}

void CChangeModeBar::OnBarFrameMoved()
{
    QDockWidget* frame = FloatingFrameOf(this);
    if (!frame || (frame->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        return;
    const QRect r = frame->frameGeometry();
    const Point topLeft{r.left(), r.top()};
    m_shell.Settings().SetChangeModeWindowPos(&topLeft);
}
