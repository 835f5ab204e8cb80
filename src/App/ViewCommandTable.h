// The editing view's command table: each command id with its handler and its
// update handler, and the view's stage of the command routing built on it.
#pragma once

#include "App/CommandRouter.h"

#include <span>

class CZAVEditorView;

struct ViewCommandEntry
{
    int id;
    void (CZAVEditorView::*handler)();
    // Null: the entry stays enabled.
    void (CZAVEditorView::*update)(CCmdUI*);
};

std::span<const ViewCommandEntry> ViewCommandTable();
// Null when the view does not handle the id.
const ViewCommandEntry* FindViewCommand(int id);

class ViewCommandTarget : public ICommandTarget
{
public:
    explicit ViewCommandTarget(CZAVEditorView& view) : m_view(view) {}

    bool HandlesCommand(int id) const override { return FindViewCommand(id) != nullptr; }
    bool IsCommandEnabled(int id) const override;
    void OnCommand(int id) override;
    void OnUpdateCommand(CCmdUI& ui) const override;

private:
    CZAVEditorView& m_view;
};
