#include "App/CommandRouter.h"

ICommandTarget* CommandRouter::TargetOf(int id) const
{
    for (ICommandTarget* target : m_targets)
        if (target && target->HandlesCommand(id))
            return target;
    return nullptr;
}

bool CommandRouter::IsEnabled(int id) const
{
    const ICommandTarget* target = TargetOf(id);
    return target && target->IsCommandEnabled(id);
}

bool CommandRouter::Route(int id)
{
    ICommandTarget* target = TargetOf(id);
    if (!target || !target->IsCommandEnabled(id))
        return false;
    target->OnCommand(id);
    return true;
}

CCmdUI CommandRouter::QueryState(int id) const
{
    CCmdUI ui;
    ui.m_nID = id;
    if (const ICommandTarget* target = TargetOf(id))
        target->OnUpdateCommand(ui);
    else
        ui.Enable(false);
    return ui;
}
