// Commands go to the view, then the document, the main frame and the
// application; the first target that knows a command decides whether it is
// enabled and runs it. A command its target greys never runs.
#pragma once

#include <vector>

// What an update handler answers for one command: enabled or greyed, and
// whether it carries a check mark (-1: the handler did not say).
struct CCmdUI
{
    int m_nID = 0;
    bool enabled = true;
    int check = -1;

    void Enable(bool on = true) { enabled = on; }
    void SetCheck(int state = 1) { check = state; }
};

class ICommandTarget
{
public:
    virtual ~ICommandTarget() = default;
    virtual bool HandlesCommand(int id) const = 0;
    // The update handler's answer; only asked when HandlesCommand is true.
    virtual bool IsCommandEnabled(int /*id*/) const { return true; }
    virtual void OnCommand(int id) = 0;
    // The whole answer of the update handler; by default only the enabling.
    virtual void OnUpdateCommand(CCmdUI& ui) const { ui.Enable(IsCommandEnabled(ui.m_nID)); }
};

class CommandRouter
{
public:
    enum Stage { View, Document, Frame, Application, StageCount };

    // Not owned; null removes the stage's target.
    void SetTarget(Stage stage, ICommandTarget* target) { m_targets[stage] = target; }
    // False when no target knows the command or it is greyed.
    bool IsEnabled(int id) const;
    // True when the command ran.
    bool Route(int id);
    // The menu entry's state; greyed when no target knows the command.
    CCmdUI QueryState(int id) const;

private:
    ICommandTarget* TargetOf(int id) const;

    ICommandTarget* m_targets[StageCount] = {};
};
