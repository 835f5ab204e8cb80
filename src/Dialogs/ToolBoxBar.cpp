#include "Dialogs/ToolBoxBar.h"

#include "App/AppSettings.h"
#include "App/ZAVEditorDoc.h"
#include "Core/DialogLayout.h"
#include "Core/LocalizeScript.h"
#include "Dialogs/BarSupport.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/ItemListBox.h"
#include "Dialogs/PositionInfoArea.h"
#include "ImageProcessing/ImageIcon.h"
#include "Layout/LayoutManager.h"
#include "Platform/DialogLayoutTarget.h"

#include <QDockWidget>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace {

int WorkAreaHeight(const QWidget* widget)
{
    QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().height() : 32767;
}

QFrame* MakeSeparator(QWidget* bar, int id)
{
    auto* line = new QFrame(bar);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    SetControlId(line, id);
    return line;
}

} // namespace

CToolBoxBar::CToolBoxBar(IDialogShell& shell, QWidget* parent)
    : QWidget(parent), m_shell(shell), m_keys(new BarKeyForwarder(shell, this))
{
    setObjectName(QStringLiteral("ToolBoxBar"));
    // The list and the read-out exist from the start; InitButtons puts them in place.
    m_itemList = new CItemListBox(shell);
    m_itemList->SetRedrawSink([this](int kind, CLayoutItem* item) { return OnLayoutRedraw(kind, item); });
    m_readOut = new CPositionInfoArea(shell);
}

CToolBoxBar::~CToolBoxBar()
{
    m_buttons.RemoveAll(true);
    // Not yet placed in the bar: nobody else deletes them.
    if (m_itemList && !m_itemList->parentWidget())
        delete m_itemList;
    if (m_readOut && !m_readOut->parentWidget())
        delete m_readOut;
}

bool CToolBoxBar::Create(bool changeDockedSize)
{
    // The bar's dialog: every control as a placeholder that InitButtons replaces.
    for (const ToolButtonInfo& button : kToolButtons)
        AddPlaceholder(this, button.command, true);
    for (const ToolButtonInfo& button : kSmallButtons)
        AddPlaceholder(this, button.command, true);
    AddPlaceholder(this, kListId, false);
    AddPlaceholder(this, kReadOutId, false);
    QWidget* info = AddPlaceholder(this, kInfoAreaId, false);
    // The page information is the bar's own painting: the mouse goes through to it.
    info->setAttribute(Qt::WA_TransparentForMouseEvents);
    MakeSeparator(this, kSeparatorTopId);
    MakeSeparator(this, kSeparatorListId);
    MakeSeparator(this, kSeparatorInfoId);

    m_sizes.fixedWidth = kToolBoxWidth;
    m_sizes.minHeight = kToolBoxMinHeight;
    m_sizes.docked = QSize(kToolBoxWidth, m_defaultHeight);
    m_sizes.floating = QSize(kToolBoxWidth, m_defaultHeight);
    m_sizes.changeDockedSize = changeDockedSize;
    ApplySizeLimits();
    return true;
}

void CToolBoxBar::InitButtons()
{
    const std::string ini = m_shell.GetLocalizeIniPath();
    const QFont font = m_shell.GetUIFont();
    CWidgetDialogLayout target(this, &font);
    SetupDialogLayout(kDialogId, target, ini);

    ReplaceControl(this, kListId, m_itemList);
    m_itemList->SetColors(0x000000, 0xDCC8C8, 0xFFFFFF, 0x996633);
    ReplaceControl(this, kReadOutId, m_readOut);
    m_itemList->setFont(font);
    m_readOut->setFont(font);

    m_buttons.SetParent(this);
    for (const ToolButtonInfo& info : kToolButtons)
        m_buttons.Add(new CRadioButton(info.command, LoadBitmapResourcePicture(info.normal),
                                       LoadBitmapResourcePicture(info.checked),
                                       LoadBitmapResourcePicture(info.disabled)));
    for (int index = 0; index < m_buttons.GetCount(); ++index) {
        CRadioButton* button = m_buttons.GetAt(index);
        const int command = button->GetId();
        connect(button, &QAbstractButton::clicked, this, [this, command] { m_shell.RouteCommand(command); });
    }
    for (const ToolButtonInfo& info : kSmallButtons) {
        auto* button = new CBitmapPushButton(info.command, LoadBitmapResourcePicture(info.normal),
                                             LoadBitmapResourcePicture(info.checked),
                                             LoadBitmapResourcePicture(info.disabled));
        if (!ReplaceControl(this, info.command, button)) {
            delete button;
            continue;
        }
        const int command = info.command;
        connect(button, &QAbstractButton::clicked, this, [this, command] { m_shell.RouteCommand(command); });
    }

    CLocalizeScript texts(ini);
    int captionId = 0, width = 0, height = 0;
    if (texts.GetDialogInfo(kDialogId, captionId, width, height)) {
        m_defaultHeight = std::max(height, kToolBoxMinHeight);
        m_sizes.docked.setHeight(m_defaultHeight);
        m_sizes.floating.setHeight(m_defaultHeight);
        std::string caption;
        texts.GetCaption(captionId, caption);
        setWindowTitle(QString::fromStdString(caption));
        AdoptFrameTitle();
    }
    ApplyBarToolTips(this);
    m_keys->Watch(this);
    m_initialised = true;
    resize(kToolBoxWidth, m_defaultHeight);
    Relayout();
    m_buttons.Select(0, true);
}

QSize CToolBoxBar::CalcDynamicLayout(int length, unsigned mode)
{
    return ::CalcDynamicLayout(m_sizes, length, mode, WorkAreaHeight(this));
}

void CToolBoxBar::ApplySizeLimits()
{
    // The floating frame may only stretch the bar vertically.
    setFixedWidth(CalcDynamicLayout(0, LM_HORZ).width());
    setMinimumHeight(m_sizes.minHeight);
    setMaximumHeight(std::max(m_sizes.minHeight, WorkAreaHeight(this)));
}

void CToolBoxBar::AdoptFrameTitle()
{
    AdoptDockFrameTitle(this);
}

bool CToolBoxBar::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        AdoptFrameTitle();
    return QWidget::event(event);
}

void CToolBoxBar::Relayout()
{
    const int textHeight = QFontMetrics(m_shell.GetUIFont()).height();
    const ToolBoxGeometry g = CalcToolBoxGeometry(height(), textHeight, kBarEdge);
    for (int i = 0; i < 5; ++i) {
        if (CRadioButton* button = m_buttons.GetAt(i))
            button->setGeometry(g.toolButtons[i]);
        if (QWidget* button = FindControl(this, kSmallButtons[i].command))
            button->setGeometry(g.smallButtons[i]);
    }
    const std::pair<int, QRect> places[] = {
        {kSeparatorTopId, g.separatorTop},   {kInfoAreaId, g.infoArea},
        {kSeparatorInfoId, g.separatorInfo}, {kReadOutId, g.readOut},
        {kSeparatorListId, g.separatorList}, {kListId, g.list},
    };
    for (const auto& [id, place] : places)
        if (QWidget* control = FindControl(this, id))
            control->setGeometry(place);
    if (FindControl(this, kInfoAreaId))
        UpdateItemInfo(0);
    RedrawPositionInfo(0);
    update();
}

void CToolBoxBar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Hidden, the bar heard of no change: it shows the page as it is now.
    if (m_initialised) {
        UpdateItemList(1);
        UpdateItemInfo(0);
    }
}

void CToolBoxBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (QWidget* frame = window(); !(frame->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        StoreFrameRect();
    if (m_initialised)
        Relayout();
}

void CToolBoxBar::StoreFrameRect()
{
    QDockWidget* frame = FloatingFrameOf(this);
    if (!frame || (frame->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        return;
    const QRect r = frame->frameGeometry();
    const Rect rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    m_shell.Settings().SetToolBoxWindowRect(&rect);
}

void CToolBoxBar::OnBarFrameMoved()
{
    StoreFrameRect();
}

void CToolBoxBar::SetBarHeight(int height)
{
    m_defaultHeight = std::max(height, kToolBoxMinHeight);
    m_sizes.docked.setHeight(m_defaultHeight);
    m_sizes.floating.setHeight(m_defaultHeight);
    resize(kToolBoxWidth, m_defaultHeight);
}

void CToolBoxBar::UpdateItemInfo(int erase)
{
    QWidget* area = FindControl(this, kInfoAreaId);
    if (!area)
        return;
    CZAVEditorDoc* document = m_shell.GetActiveEditorDoc();
    const CLocalizeScript texts(m_shell.GetLocalizeIniPath());
    if (document) {
        const PageInfoSource source = GetPageInfoSource(*document);
        m_pageInfo = MakePageInfoTexts(&source, m_shell.Settings().GetUnit(), texts);
    } else {
        m_pageInfo = MakePageInfoTexts(nullptr, 0, texts);
    }

    const QRect r = area->geometry().adjusted(2, 2, -1, -2);
    const QFontMetrics metrics(m_shell.GetUIFont());
    std::string separator;
    texts.GetCaption(183, separator);
    const int separatorWidth = metrics.horizontalAdvance(QString::fromStdString(separator));
    const int separatorLeft = r.left() + (r.width() - separatorWidth) / 2;
    m_separatorRect = QRect(separatorLeft, r.top(), separatorWidth, r.height());
    int widest = 0;
    for (const QString& label : QString::fromStdString(m_pageInfo.labels).split('\n'))
        widest = std::max(widest, metrics.horizontalAdvance(label));
    const int labelRight = separatorLeft - 2;
    const int labelLeft = std::max(r.left(), std::min(labelRight - widest, r.left() + r.width() / 6));
    m_labelRect = QRect(QPoint(labelLeft, r.top()), QPoint(labelRight, r.bottom()));
    m_valueRect = QRect(QPoint(separatorLeft + separatorWidth + 2, r.top()), r.bottomRight());
    (void)erase;
    update(area->geometry());
}

void CToolBoxBar::RedrawPositionInfo(int /*erase*/)
{
    if (m_readOut)
        m_readOut->update();
}

void CToolBoxBar::paintEvent(QPaintEvent*)
{
    QWidget* area = FindControl(this, kInfoAreaId);
    if (!area)
        return;
    QPainter painter(this);
    const QRect a = area->geometry();
    const QColor shadow = palette().color(QPalette::Mid);
    const QColor light = palette().color(QPalette::Light);
    // An etched frame: shadow outline, highlight one pixel outside it.
    painter.setPen(light);
    painter.drawRect(a.adjusted(1, 1, 0, 0));
    painter.setPen(shadow);
    painter.drawRect(a.adjusted(0, 0, -1, -1));
    painter.setFont(m_shell.GetUIFont());
    painter.setPen(palette().color(QPalette::WindowText));
    const int flags = Qt::TextDontClip;
    painter.drawText(m_labelRect, flags | Qt::AlignLeft, QString::fromStdString(m_pageInfo.labels));
    painter.drawText(m_separatorRect, flags | Qt::AlignHCenter,
                     QString::fromStdString(m_pageInfo.separators));
    painter.drawText(m_valueRect, flags | Qt::AlignLeft, QString::fromStdString(m_pageInfo.values));
}

void CToolBoxBar::keyPressEvent(QKeyEvent* event)
{
    // The item list hands its arrow keys here: they move the page's items.
    m_shell.ForwardKeyToView(*event);
}

int CToolBoxBar::OnLayoutRedraw(int kind, CLayoutItem* item)
{
    if (kind == 1 || kind == 2)
        RedrawPositionInfo(0);
    return m_shell.SendLayoutRedraw(kind, item);
}

void CToolBoxBar::UpdateItemList(int rebuild)
{
    if (!m_itemList)
        return;
    CLayoutManager* layout = m_shell.GetLayoutManager();
    m_itemList->SetItemList(layout ? &layout->GetItems() : nullptr);
    m_itemList->UpdateList(rebuild != 0);
}

void CToolBoxBar::SetCurrentItem(CLayoutItem* item)
{
    if (m_itemList)
        m_itemList->SetAnchor(item);
}

CLayoutItem* CToolBoxBar::FindFirstSelectedItem()
{
    return m_itemList ? m_itemList->FindFirstSelectedItem() : nullptr;
}

void CToolBoxBar::SelectTool(int tool)
{
    const int index = ToolButtonIndex(tool);
    if (index >= 0)
        m_buttons.Select(index, true);
    if (CLayoutManager* layout = m_shell.GetLayoutManager())
        layout->GetDragState().currentTool = tool;
}
