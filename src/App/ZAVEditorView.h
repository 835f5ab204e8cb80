// CZAVEditorView: the editing view. It renders the client area offscreen with
// the page drawn by the layout manager and copies that picture to the window,
// keeps the zoom mode and the scroll sizes, hands the mouse and the keys to
// the layout manager in page coordinates and answers the layout-change
// messages: the modified flag, a new rendering, the menus, the main frame.
#pragma once

#include "App/EditorViewModel.h"
#include "ImageProcessing/Image.h"
#include "Layout/LayoutManagerHost.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

class CZAVEditorDoc;
class ICommandTarget;
class IViewCommandHost;
class ViewCommandTarget;
struct CCmdUI;
class CLayoutManager;
class QMenuBar;

// What the view reaches beyond its document.
class IEditorViewHost
{
public:
    virtual ~IEditorViewHost() = default;
    // The main frame's handling of a layout change; nothing without a main window.
    virtual void ForwardLayoutChanged(int kind, int lParam) = 0;
    // The main window's menu bar; null without one.
    virtual QMenuBar* MainMenuBar() = 0;
    // The tool box's item list rebuilt from the layout manager's items.
    virtual void RebuildItemList() = 0;
    // A command chosen in a pop-up menu, routed like a menu command.
    virtual void RouteCommand(int id) = 0;
    // What the view's commands reach beyond the view; null: those commands do nothing.
    virtual IViewCommandHost* CommandHost() { return nullptr; }
};

// What the fourth bytes of a display image are known to hold.
enum class DisplayAlpha {
    Opaque,  // every pixel's is 0xFF: the rows are copied as they are
    Unknown, // the drawing routines leave 0: made opaque on the way
};

// Paints a bottom-up 32-bit image with its top-left corner at `at`, straight
// from the image's memory.
void PaintDisplayImage(QPainter& painter, const CImage& image, QPoint at,
                       DisplayAlpha alpha = DisplayAlpha::Unknown);

class CZAVEditorView : public QAbstractScrollArea, public ILayoutView
{
    Q_OBJECT
public:
    static constexpr int kAutoScrollTimer = 4;
    static constexpr int kAutoScrollPeriodMs = 100;
    static constexpr COLORREF kBackground = 0xA8A8A8;

    CZAVEditorView(CZAVEditorDoc& document, IEditorViewHost& host, QWidget* parent = nullptr);
    ~CZAVEditorView() override;

    // --- Operations other parts call ---------------------------------------------------
    void ApplyZoomMode(bool reset);
    void RenderOffscreen(bool recreate);
    int UpdateScrollSizes();
    int ScrollToViewCentre();
    void UpdateMenuState();
    int OnLayoutChanged(int kind, int lParam);
    int OnLayoutRedraw(int kind, std::intptr_t lParam);
    void OnInitialUpdate();
    // Moves the scroll positions only, never the window's contents; false when neither changes.
    bool OnScrollBy(SIZE delta, bool doScroll);
    void OnTimer(int id);
    void OnDraw(QPainter& painter);

    const EditorViewModel& Model() const { return m_model; }
    EditorViewModel& Model() { return m_model; }
    const CImage& DisplayImage() const { return m_displayImage; }
    const CImage& WorkImage() const { return m_workImage; }
    bool IsAutoScrollTimerActive() const { return m_autoScrollTimer.isActive(); }
    // The window's sizes as the zoom and the scroll sizes take them.
    ClientSizes Sizes() const;
    // Tests replace the pop-up menu; null shows it with QMenu.
    using MenuRunner = std::function<int(const MenuModel&, QPoint screenPoint)>;
    void SetMenuRunner(MenuRunner runner) { m_menuRunner = std::move(runner); }

    // --- ILayoutView ---------------------------------------------------------------------
    void SendLayoutChanged(int kind, int lParam) override { OnLayoutChanged(kind, lParam); }
    int ShowLocalizedMessage(int textId, unsigned style) override;
    void SetCapture() override { m_captured = true; }
    void InvalidateNoErase() override;
    void UpdateWindow() override;
    CImage* GetKeptImage() override;
    POINT GetScrollPosition() override { return m_model.GetScrollPosition(); }
    void SetCursorId(int id) override;
    int GetKeyFlags() override;
    POINT GetCursorClientPos() override;
    void SendMouseMove(int flags, POINT clientPoint) override { HandleMouseMove(flags, clientPoint); }
    int TrackPopupMenu(const MenuModel& menu, POINT screenPoint) override;
    POINT ScreenToClient(POINT screenPoint) override;
    bool IsFitToPaperWidth() override { return m_model.IsFitToPaperWidth(); }
    bool IsFitWholePaper() override { return m_model.IsFitWholePaper(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    CLayoutManager& Layout() const;
    void HandleMouseMove(int flags, POINT client);
    // One line of the scroll bars, then a render into the kept images.
    bool ScrollLines(SIZE lines);
    void SyncScrollBars();
    // Re-applies the zoom mode for resizes that arrived while the sizes were being changed.
    void RunLayoutPass(const std::function<void()>& pass);
    void Redraw();
    void StopAutoScroll();

    CZAVEditorDoc& m_document;
    IEditorViewHost& m_host;
    EditorViewModel m_model;
    CImage m_displayImage;
    // Made opaque by the render; whoever draws into it through GetKeptImage
    // may leave pixels that are not.
    bool m_displayOpaque = false;
    CImage m_workImage;
    QTimer m_autoScrollTimer;
    bool m_captured = false;
    bool m_invalid = false;
    bool m_syncingBars = false;
    int m_layoutDepth = 0;
    bool m_resizePending = false;
    MenuRunner m_menuRunner;
    std::map<int, QCursor> m_cursors;

public:
    // --- Commands and their update handlers (the command table) -------------------------
    // The view's stage of the command routing.
    ICommandTarget& CommandTarget();
    // Opens the online manual; true when it opened. Tests replace it; null opens with the desktop.
    using ManualOpener = std::function<bool(const std::string& path)>;
    void SetManualOpener(ManualOpener opener) { m_manualOpener = std::move(opener); }

    void OnFileSaveRegister();
    void OnFileLayoutInfo();
    void OnFilePrint();
    void OnUpdateFilePrint(CCmdUI* ui);
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI* ui);
    void OnEditCut();
    void OnUpdateEditCut(CCmdUI* ui);
    void OnEditCopy();
    void OnUpdateEditCopy(CCmdUI* ui);
    void OnEditPaste();
    void OnUpdateEditPaste(CCmdUI* ui);
    void OnEditSelectAll();
    void OnUpdateEditSelectAll(CCmdUI* ui);
    void OnEditDelete();
    void OnUpdateEditDelete(CCmdUI* ui);
    void OnEditBringToFront();
    void OnEditBringForward();
    void OnEditSendBackward();
    void OnEditSendToBack();
    void OnUpdateEditOrder(CCmdUI* ui);
    void OnEditAlignVCenter();
    void OnEditAlignHCenter();
    void OnUpdateEditAlign(CCmdUI* ui);
    void OnEditRotateRight90();
    void OnEditRotateLeft90();
    void OnUpdateEditRotate(CCmdUI* ui);
    void OnViewChangeModeWindow();
    void OnUpdateViewChangeModeWindow(CCmdUI* ui);
    void OnViewToolBoxWindow();
    void OnUpdateViewToolBoxWindow(CCmdUI* ui);
    void OnViewZoomIn();
    void OnUpdateViewZoomIn(CCmdUI* ui);
    void OnViewZoomOut();
    void OnUpdateViewZoomOut(CCmdUI* ui);
    void OnViewFitPaperWidth();
    void OnUpdateViewFitPaperWidth(CCmdUI* ui);
    void OnViewFitWholePaper();
    void OnUpdateViewFitWholePaper(CCmdUI* ui);
    void OnViewModeWhole();
    void OnViewModeCommon();
    void OnViewModeLBorderless();
    void OnViewModeLBordered();
    void OnViewModePostcardBorderless();
    void OnViewModePostcardBordered();
    void OnViewMode100x150Borderless();
    void OnViewMode100x150Bordered();
    void OnViewMode4x6NPBorderless();
    void OnViewMode4x6NPBordered();
    void OnUpdateViewMode(CCmdUI* ui);
    void OnViewGrid();
    void OnUpdateViewGrid(CCmdUI* ui);
    void OnItemInsertFrameCreate();
    void OnUpdateItemInsertFrameCreate(CCmdUI* ui);
    void OnItemInsertFrameApplyImage();
    void OnUpdateItemInsertFrameApplyImage(CCmdUI* ui);
    void OnItemInsertFrameRemoveImage();
    void OnUpdateItemInsertFrameRemoveImage(CCmdUI* ui);
    void OnItemInsertFrameImageRange();
    void OnUpdateItemInsertFrameImageRange(CCmdUI* ui);
    void OnItemInsertFrameFillFrame();
    void OnUpdateItemInsertFrameFillFrame(CCmdUI* ui);
    void OnItemInsertFrameFitInFrame();
    void OnUpdateItemInsertFrameFitInFrame(CCmdUI* ui);
    void OnItemInsertFrameAutoRotate();
    void OnUpdateItemInsertFrameAutoRotate(CCmdUI* ui);
    void OnItemInsertFrameImageInfo();
    void OnUpdateItemInsertFrameImageInfo(CCmdUI* ui);
    void OnItemInsertFrameAspect3x2();
    void OnUpdateItemInsertFrameAspect3x2(CCmdUI* ui);
    void OnItemInsertFrameAspect4x3();
    void OnUpdateItemInsertFrameAspect4x3(CCmdUI* ui);
    void OnItemInsertFrameAspectFree();
    void OnUpdateItemInsertFrameAspectFree(CCmdUI* ui);
    void OnItemBkFrameCreate();
    void OnItemBkFrameTransparency();
    void OnUpdateItemBkFrameTransparency(CCmdUI* ui);
    void OnItemBkFrameKeepAspect();
    void OnUpdateItemBkFrameKeepAspect(CCmdUI* ui);
    void OnItemStringCreate();
    void OnItemStringEdit();
    void OnUpdateItemStringEdit(CCmdUI* ui);
    void OnItemLineCreate();
    void OnItemLineHairline();
    void OnItemLineWidth1Pt();
    void OnItemLineWidth2Pt();
    void OnItemLineWidth3Pt();
    void OnItemLineWidth4Pt();
    void OnItemLineWidth5Pt();
    void OnItemLineWidth6Pt();
    void OnItemLineWidth8Pt();
    void OnUpdateItemLineWidth(CCmdUI* ui);
    void OnItemLineOtherWidth();
    void OnUpdateItemLineOtherWidth(CCmdUI* ui);
    void OnItemLineColor();
    void OnUpdateItemLineColor(CCmdUI* ui);
    void OnItemSelectTool();
    void OnOptionRollPaper();
    void OnUpdateOptionRollPaper(CCmdUI* ui);
    void OnOptionEnvironment();
    void OnHelpOnlineManual();

private:
    bool IsCameraLayout() const;
    void SelectToolCommand(int tool);
    void SelectModeCommand(int mode);
    void ApplyLineWidthCommand(int width);
    // The zoom entries of the main menu, by the scale.
    void EnableZoomEntries(bool zoomIn, bool zoomOut);
    // The aspect sub-menu and the Align and Rotate sub-menus: a command of a greyed one never runs.
    MenuGreying SubMenuStates() const;

    std::unique_ptr<ViewCommandTarget> m_commandTarget;
    ManualOpener m_manualOpener;
};
