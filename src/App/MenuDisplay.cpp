#include "App/MenuDisplay.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

void FillQMenu(QMenu& menu, const std::vector<MenuEntry>& entries)
{
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Separator:
            menu.addSeparator();
            break;
        case MenuEntry::Kind::Popup: {
            QMenu* sub = menu.addMenu(QString::fromStdString(entry.text));
            sub->setEnabled(entry.enabled);
            FillQMenu(*sub, entry.items);
            break;
        }
        case MenuEntry::Kind::Command: {
            QAction* action = menu.addAction(QString::fromStdString(entry.text));
            action->setData(entry.id);
            action->setEnabled(entry.enabled);
            if (entry.checked) {
                action->setCheckable(true);
                action->setChecked(true);
            }
            break;
        }
        }
    }
}

int RunPopupMenu(const MenuModel& model, QPoint screenPoint, QWidget* parent)
{
    QMenu menu(parent);
    FillQMenu(menu, model.entries);
    const QAction* chosen = menu.exec(screenPoint);
    return chosen ? chosen->data().toInt() : 0;
}

QMenu* SubMenuAt(QMenuBar& bar, std::initializer_list<int> path)
{
    QList<QAction*> actions = bar.actions();
    QMenu* menu = nullptr;
    for (int position : path) {
        if (position < 0 || position >= actions.size())
            return nullptr;
        menu = actions.at(position)->menu();
        if (!menu)
            return nullptr;
        actions = menu->actions();
    }
    return menu;
}

void ApplyMenuGreying(QMenuBar& bar, const MenuGreying& greying)
{
    const auto set = [&bar](std::initializer_list<int> path, bool enabled) {
        if (QMenu* menu = SubMenuAt(bar, path))
            menu->menuAction()->setEnabled(enabled);
    };
    set({1, 10}, greying.order);
    set({1, 11}, greying.align);
    set({1, 12}, greying.rotate);
    set({2, 5}, greying.paperMode);
    set({3, 0, 13}, greying.aspectRatio);
}

namespace {

QAction* FindActionIn(const QList<QAction*>& actions, int id)
{
    for (QAction* action : actions) {
        if (QMenu* sub = action->menu()) {
            if (QAction* found = FindActionIn(sub->actions(), id))
                return found;
        } else if (!action->isSeparator() && action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}

} // namespace

QAction* FindMenuAction(QMenuBar& bar, int id)
{
    return FindActionIn(bar.actions(), id);
}
