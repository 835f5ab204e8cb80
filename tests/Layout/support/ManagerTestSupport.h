// Helpers of the layout manager tests: a host that records the layout-change
// messages and message boxes, a document with paper modes, a clipboard in
// memory, and builders of small pages.
#pragma once

#include "Core/MenuModel.h"
#include "Layout/ClipboardPort.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace managertest {

class FakeHost : public ILayoutManagerHost, public ILayoutView, public ILayoutToolBox
{
public:
    FakeHost() { SetLayoutManagerHost(this); }
    ~FakeHost() override { SetLayoutManagerHost(nullptr); }

    ILayoutView* GetActiveEditorView() override { return hasView ? this : nullptr; }
    bool HasMainWindow() override { return mainWindow; }
    ILayoutToolBox* GetToolBox() override { return this; }
    void SendLayoutChanged(int kind, int lParam) override { sent.emplace_back(kind, lParam); }
    int ShowLocalizedMessage(int textId, unsigned style) override
    {
        messages.push_back(textId);
        styles.push_back(style);
        return 1;
    }

    // Menus and dialogs
    int TrackPopupMenu(const MenuModel& menu, POINT screenPoint) override
    {
        menus.push_back(menu);
        menuPoints.push_back(screenPoint);
        return menuAnswer;
    }
    POINT ScreenToClient(POINT screenPoint) override
    {
        return POINT{screenPoint.x - clientOrigin.x, screenPoint.y - clientOrigin.y};
    }
    bool IsFitToPaperWidth() override { return fitToWidth; }
    bool IsFitWholePaper() override { return fitWhole; }
    std::vector<MenuModel> menus;
    std::vector<POINT> menuPoints;
    int menuAnswer = 0;
    POINT clientOrigin{};
    bool fitToWidth = false;
    bool fitWhole = false;

    void SetCurrentItem(CLayoutItem* item) override
    {
        currentItem = item;
        ++toolBoxCalls;
    }
    CLayoutItem* FindFirstSelectedItem() override { return firstSelected; }

    // Mouse editing
    void SetCapture() override { ++captures; }
    void InvalidateNoErase() override { ++invalidations; }
    void UpdateWindow() override { ++updates; }
    CImage* GetKeptImage() override { return keptImage; }
    POINT GetScrollPosition() override { return scroll; }
    void SetCursorId(int id) override { cursors.push_back(id); }
    int GetKeyFlags() override { return keyFlags; }
    POINT GetCursorClientPos() override { return cursorPos; }
    void SendMouseMove(int flags, POINT clientPoint) override { mouseMoves.push_back({flags, clientPoint}); }
    void SelectTool(int tool) override { selectedTools.push_back(tool); }
    int captures = 0;
    int invalidations = 0;
    int updates = 0;
    CImage* keptImage = nullptr;
    POINT scroll{};
    std::vector<int> cursors;
    int keyFlags = 0;
    POINT cursorPos{};
    std::vector<std::pair<int, POINT>> mouseMoves;
    std::vector<int> selectedTools;

    std::vector<int> Kinds() const
    {
        std::vector<int> kinds;
        for (const auto& m : sent)
            kinds.push_back(m.first);
        return kinds;
    }
    void Clear()
    {
        sent.clear();
        messages.clear();
        styles.clear();
    }

    bool hasView = true;
    bool mainWindow = true;
    std::vector<std::pair<int, int>> sent;
    std::vector<int> messages;
    std::vector<unsigned> styles;
    CLayoutItem* currentItem = nullptr;
    CLayoutItem* firstSelected = nullptr;
    int toolBoxCalls = 0;
};

// A document with the camera flag and paper modes; installed as the shell.
class FakeModeShell : public ILayoutShell, public ILayoutDocument
{
public:
    FakeModeShell() { SetLayoutShell(this); }
    ~FakeModeShell() override { SetLayoutShell(nullptr); }

    ILayoutDocument* GetActiveEditorDoc() override { return this; }
    std::string GetLocalizeIniPath() override { return localizeIniPath; }
    bool IsDSCLayout() const override { return cameraLayout; }
    int GetPageOrientation() const override { return orientation; }
    int GetEditMode() const override { return editMode; }
    bool GetCurrentModeParams(std::array<int, 14>& out) const override
    {
        if (editMode < 2)
            return false;
        out = params;
        return true;
    }
    bool GetModePageRect(int, RECT& rect) const override
    {
        rect = modePageRect;
        return hasModePageRect;
    }

    bool cameraLayout = false;
    int orientation = 0;
    int editMode = 0;
    std::string localizeIniPath;
    std::array<int, 14> params{};
    RECT modePageRect{};
    bool hasModePageRect = false;
};

class FakeClipboard : public IClipboardPort
{
public:
    bool HasAnyFormat() override { return held.has_value(); }
    bool HasLayoutFormat() override { return held.has_value(); }
    bool Put(const std::vector<std::uint8_t>& block) override
    {
        ++puts;
        if (refuse)
            return false;
        held = block;
        return true;
    }
    std::optional<std::vector<std::uint8_t>> Get() override { return held; }

    std::optional<std::vector<std::uint8_t>> held;
    bool refuse = false;
    int puts = 0;
};

// Changes some of the values new items get and keeps the others.
template <class Change> void ChangeItemDefaults(CLayoutManager& manager, Change change)
{
    ItemDefaults defaults = manager.GetItemDefaults();
    change(defaults);
    manager.SetItemDefaults(defaults);
}

std::unique_ptr<CLineItem> MakeLine(RECT rect, int width, COLORREF color = 0);
std::unique_ptr<CStringItem> MakeString(RECT rect, const std::string& label);
std::unique_ptr<CInsertImageFrameItem> MakeFrame(RECT rect, int number);

// Adds at the tail and returns the item.
template <class Item> Item* Append(CLayoutManager& manager, std::unique_ptr<Item> item)
{
    Item* raw = item.get();
    manager.AddItem(-1, std::move(item));
    return raw;
}

// A frame with linked macro strings of the given kinds, placed in front of it at the tail.
CInsertImageFrameItem* AppendFrameWithTexts(CLayoutManager& manager, RECT rect, int number,
                                            const std::vector<RECT>& textRects);

// The labels of the items, front to back.
std::vector<std::string> Labels(const CLayoutManager& manager);
std::vector<int> FrameNumbers(const CLayoutManager& manager);

// A4 portrait, bordered (mode 0), with the two naming texts set.
void SetUpA4(CLayoutManager& manager);

} // namespace managertest
