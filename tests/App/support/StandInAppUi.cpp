#include "App/support/StandInAppUi.h"

#include "App/ZAVEditorApp.h"
#include "App/ZAVEditorDoc.h"

#include <QButtonGroup>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

namespace {

Rect FrameRect(const QWidget* bar)
{
    const QRect r = bar->window()->frameGeometry();
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

class StandInToolBox : public IToolBoxBar
{
public:
    StandInToolBox(CZAVEditorApp& app, QWidget* parent) : m_app(app), m_widget(new QWidget(parent))
    {
        m_widget->setObjectName(QStringLiteral("ToolBoxBar"));
        auto* layout = new QVBoxLayout(m_widget);
        m_group = new QButtonGroup(m_widget);
        for (const ToolButton& button : ToolBoxButtons) {
            auto* toolButton = new QToolButton(m_widget);
            toolButton->setCheckable(true);
            toolButton->setText(QString::number(button.command));
            m_group->addButton(toolButton, button.tool);
            layout->addWidget(toolButton);
            const int command = button.command;
            // The view's command selects the tool; a greyed one leaves the current tool's button pressed.
            QObject::connect(toolButton, &QToolButton::clicked, m_widget, [this, command] {
                if (!m_app.Router().Route(command))
                    ShowCurrentTool();
            });
        }
    }

    QWidget* Widget() override { return m_widget; }
    void SetCurrentItem(CLayoutItem*) override {}
    CLayoutItem* FindFirstSelectedItem() override { return nullptr; }
    void SelectTool(int tool) override
    {
        if (QAbstractButton* button = m_group->button(tool))
            button->setChecked(true);
        if (CZAVEditorDoc* document = m_app.GetDocument())
            document->GetLayoutManager()->GetDragState().currentTool = tool;
    }
    void ShowCurrentTool()
    {
        CZAVEditorDoc* document = m_app.GetDocument();
        if (QAbstractButton* button =
                document ? m_group->button(document->GetLayoutManager()->GetDragState().currentTool)
                         : nullptr)
            button->setChecked(true);
    }
    void UpdateItemInfo(int) override {}
    void RedrawPositionInfo(int) override { m_widget->update(); }
    bool HasItemList() const override { return false; }
    void UpdateItemList(int) override {}
    void OnBarFrameMoved() override
    {
        const Rect rect = FrameRect(m_widget);
        m_app.Settings().SetToolBoxWindowRect(&rect);
    }
    void SetBarHeight(int height) override { m_widget->resize(m_widget->width(), height); }

private:
    CZAVEditorApp& m_app;
    QWidget* m_widget;
    QButtonGroup* m_group = nullptr;
};

class StandInModeBar : public IChangeModeBar
{
public:
    StandInModeBar(CZAVEditorApp& app, QWidget* parent) : m_app(app), m_widget(new QWidget(parent))
    {
        m_widget->setObjectName(QStringLiteral("ChangeModeBar"));
        m_widget->setMinimumSize(120, 40);
    }
    QWidget* Widget() override { return m_widget; }
    void SelectMode(int) override {}
    void OnBarFrameMoved() override
    {
        const Rect rect = FrameRect(m_widget);
        const Point topLeft{rect.left, rect.top};
        m_app.Settings().SetChangeModeWindowPos(&topLeft);
    }

private:
    CZAVEditorApp& m_app;
    QWidget* m_widget;
};

} // namespace

std::unique_ptr<IToolBoxBar> StandInAppUi::CreateToolBoxBar(CZAVEditorApp& app, QWidget* parent)
{
    return std::make_unique<StandInToolBox>(app, parent);
}

std::unique_ptr<IChangeModeBar> StandInAppUi::CreateChangeModeBar(CZAVEditorApp& app, QWidget* parent)
{
    return std::make_unique<StandInModeBar>(app, parent);
}
