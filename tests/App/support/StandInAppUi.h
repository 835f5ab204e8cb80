// Simple bars, dialogs and logo for the application tests that drive the
// application without the dialog library: a tool box of the five tool
// buttons, a paper-mode bar without buttons, a logo that returns at once and
// the simple document dialogs. Both bars store their floating places.
#pragma once

#include "App/AppUi.h"
#include "App/support/StandInDocumentUi.h"

class StandInAppUi : public IAppUi
{
public:
    std::unique_ptr<IToolBoxBar> CreateToolBoxBar(CZAVEditorApp& app, QWidget* parent) override;
    std::unique_ptr<IChangeModeBar> CreateChangeModeBar(CZAVEditorApp& app, QWidget* parent) override;
    void RunLogoDialog() override {}
    IDocumentUi* DocumentUi() override { return &m_documentUi; }

private:
    StandInDocumentUi m_documentUi;
};

// The tool behind each of the tool box's buttons, in button order.
struct ToolButton
{
    int command;
    int tool;
};
inline constexpr ToolButton ToolBoxButtons[] = {
    {32850, 6}, {32840, 7}, {32830, 5}, {32810, 4}, {32857, 3},
};
