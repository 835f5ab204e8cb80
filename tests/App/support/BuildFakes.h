// A recording active view for the document's builders: the messages they
// show, by localisation id and icon.
#pragma once

#include "Layout/LayoutManagerHost.h"

#include <utility>
#include <vector>

class RecordingView : public ILayoutManagerHost, public ILayoutView
{
public:
    RecordingView() { SetLayoutManagerHost(this); }
    ~RecordingView() override { SetLayoutManagerHost(nullptr); }

    ILayoutView* GetActiveEditorView() override { return this; }
    bool HasMainWindow() override { return false; }
    ILayoutToolBox* GetToolBox() override { return nullptr; }

    void SendLayoutChanged(int, int) override {}
    int ShowLocalizedMessage(int textId, unsigned style) override
    {
        messages.emplace_back(textId, style);
        return 1;
    }
    void SetCapture() override {}
    void InvalidateNoErase() override {}
    void UpdateWindow() override {}
    CImage* GetKeptImage() override { return nullptr; }
    POINT GetScrollPosition() override { return POINT{0, 0}; }
    void SetCursorId(int) override {}
    int GetKeyFlags() override { return 0; }
    POINT GetCursorClientPos() override { return POINT{0, 0}; }
    void SendMouseMove(int, POINT) override {}
    int TrackPopupMenu(const MenuModel&, POINT) override { return 0; }
    POINT ScreenToClient(POINT point) override { return point; }
    bool IsFitToPaperWidth() override { return false; }
    bool IsFitWholePaper() override { return false; }

    std::vector<std::pair<int, unsigned>> messages;
};
