// The toolkit-free menus on screen: a pop-up menu shown with QMenu, and the
// selection's greying of the main menu's sub-menus, found by position.
#pragma once

#include "App/EditorViewModel.h"
#include "Core/MenuModel.h"

#include <QPoint>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// Fills the menu with the model's entries; each command action carries its id as data.
void FillQMenu(QMenu& menu, const std::vector<MenuEntry>& entries);
// Shows the model at a screen point until the user chooses or dismisses it;
// the chosen command's id, 0 when none.
int RunPopupMenu(const MenuModel& model, QPoint screenPoint, QWidget* parent);
// Edit > Order, Align, Rotate, View > Paper mode and the insert-photo frame's
// Aspect ratio, by their positions in the main menu; absent entries are skipped.
void ApplyMenuGreying(QMenuBar& bar, const MenuGreying& greying);
// The sub-menu at a path of positions (separators count); null when absent.
QMenu* SubMenuAt(QMenuBar& bar, std::initializer_list<int> path);
// The command entry of that id anywhere in the menu bar; null when absent.
QAction* FindMenuAction(QMenuBar& bar, int id);
