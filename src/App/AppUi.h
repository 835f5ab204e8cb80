// What the application asks of the dialogs and bars it shows: the tool box,
// the paper-mode bar and the logo. The dialog library implements this over
// the application's classes; the executable installs it.
#pragma once

#include "Layout/LayoutManagerHost.h"

#include <QWidget>

#include <memory>

class CZAVEditorApp;
class IDocumentUi;
class IViewDialogs;

class IToolBoxBar : public ILayoutToolBox
{
public:
    virtual QWidget* Widget() = 0;
    virtual void UpdateItemInfo(int redraw) = 0;
    virtual void RedrawPositionInfo(int force) = 0;
    // Null-safe stand-ins of the item list box: false when there is none.
    virtual bool HasItemList() const = 0;
    virtual void UpdateItemList(int rebuild) = 0;
    // The floating frame moved: the bar stores its place.
    virtual void OnBarFrameMoved() = 0;
    // A stored floating size: the bar's default height and the heights it
    // keeps for its own sizes all become this one.
    virtual void SetBarHeight(int height) = 0;
};

class IChangeModeBar
{
public:
    virtual ~IChangeModeBar() = default;
    virtual QWidget* Widget() = 0;
    virtual void SelectMode(int mode) = 0;
    virtual void OnBarFrameMoved() = 0;
};

class IAppUi
{
public:
    virtual ~IAppUi() = default;
    virtual std::unique_ptr<IToolBoxBar> CreateToolBoxBar(CZAVEditorApp& app, QWidget* parent) = 0;
    virtual std::unique_ptr<IChangeModeBar> CreateChangeModeBar(CZAVEditorApp& app, QWidget* parent) = 0;
    // The logo shown at start-up, modal, without an owner.
    virtual void RunLogoDialog() = 0;
    // The document's dialogs; never null.
    virtual IDocumentUi* DocumentUi() = 0;
    // The modeless notice shown while Print hands the layout over, owned by
    // the view; null shows none.
    virtual std::unique_ptr<QWidget> CreateWaitPrintSettingDialog(QWidget* /*owner*/) { return nullptr; }
    // The grid, line-width, roll-paper and environment dialogs of the view's
    // commands; null: those commands end as cancelled.
    virtual IViewDialogs* ViewDialogs() { return nullptr; }
};
