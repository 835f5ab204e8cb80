// CLayoutManager: the page being edited. It keeps the paper (size, orientation,
// margins, roll length), the zoom and origin, the items in drawing order (the
// head is the front), the selection and drag state, the one held undo record
// and the clipboard hand-over, and draws the whole page onto a canvas.
#pragma once

#include "ImageProcessing/ImageFont.h"
#include "ImageProcessing/Region.h"
#include "Layout/EditItem.h"
#include "Layout/Item.h"
#include "Layout/LayoutItemList.h"
#include "Layout/PaperTable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CLayoutItem;
class CStringItem;
class CImageFrameItem;
class CBackgroundImageFrameItem;
class CMacroStringItem;
class CEffClock;
struct MenuModel;
class CLineItem;
class CInsertImageFrameItem;
class CUndoInfo;
class CDeleteUndoInfo;
class CAddUndoInfo;
class CChangeOrderUndoInfo;
class CChangeStateUndoInfo;
class CChangeRectUndoInfo;
class CChangeLineUndoInfo;
class CChangeStringUndoInfo;
class CChangeImageFrameUndoInfo;
class CChangeInsertImageFrameUndoInfo;
class CChangeMacroStringUndoInfo;
class IClipboardPort;

// A class filter of the item queries: &IsKindOf<CLineItem> and the like; null for any item.
using ItemClass = bool (*)(const CItem*);

// The mouse editing's state, read by the drawing and the position read-out.
struct DragState
{
    bool pressed = false;
    bool dragging = false;
    int currentTool = 6;
    int dragMode = 0;
    POINT pressPoint{};
    int hitCode = 0;
    CLayoutItem* hitItem = nullptr; // not owned
    std::unique_ptr<CEditItem> toolFrame;
    std::unique_ptr<CEditItem> resizeFrame;
};

// The view's Grid command sets all four together; steps are in layout units.
struct GridSettings
{
    int stepX = 0;
    int stepY = 0;
    bool shown = false;
    bool snap = false;
};

// What new items get: the line tool and the line commands take the line
// values, a new text the font (heights in 96ths of an inch) and its colour.
struct ItemDefaults
{
    COLORREF lineColor = 0;
    int lineWidth = 5;
    LOGFONT font{};
    COLORREF textColor = 0;
};

class CLayoutManager : public CItem
{
public:
    // A page holds at most 20 lines and 20 other items (pictures, frames and
    // texts; image-information texts go with their frames): what the editor
    // lets the user add and what a page built from a file may hold.
    static constexpr int kMaxLines = 20;
    static constexpr int kMaxOtherItems = 20;
    static constexpr int kMaxLineWidth = 1280;
    static constexpr int kFrameImageSizeLimit = 245760;

    CLayoutManager();
    ~CLayoutManager() override;

    // --- Page, paper and zoom ----------------------------------------------------------
    void SetOrigin(const POINT* origin);
    POINT GetOrigin() const { return m_origin; }
    void SetViewOffset(const POINT* offset);
    POINT GetViewOffset() const { return m_viewOffset; }
    SIZE GetPaperSize() const { return m_paperSize; }
    PageMargins GetMargins() const { return m_margins; }
    SIZE GetPaperExtent() const;
    POINT GetMarginOffset(bool scaled) const;
    bool HasLeftMargin() const { return m_margins.left > 0; }
    RECT GetPrintableRect() const;
    int GetPaperSizeIndex() const { return m_paperSizeIndex; }
    int GetPaperMode() const { return m_paperMode; }
    int GetRollLength() const { return m_rollLength; }
    RECT* GetRect(RECT* out, bool scaled) const override;
    // Every item follows the page.
    bool SetOrientation(int orientation) override;
    bool SetPaperSizeIndex(int index);
    bool SetPaperMode(int mode);
    bool SetRollLength(int length);
    bool SetPaper(int sizeIndex, int orientation, int mode, int rollLength, bool notify);
    // The fixed camera page.
    bool SetPaperOrientation(int orientation, bool notify);
    int SetZoom(float scale, bool notify);
    int ZoomStep(bool zoomIn, bool notify);
    int ZoomToWidth(int width, bool notify);
    int ZoomToFit(SIZE size, bool notify);
    void Reset();

    // --- Settings of the view, the dialogs and the document ----------------------------
    GridSettings GetGrid() const { return m_grid; }
    void SetGrid(const GridSettings& grid) { m_grid = grid; }
    const ItemDefaults& GetItemDefaults() const { return m_itemDefaults; }
    void SetItemDefaults(const ItemDefaults& defaults) { m_itemDefaults = defaults; }
    void SetNewItemName(const std::string& format) { m_newItemName = format; }
    std::string GetNewItemName() const { return m_newItemName; }
    void SetFrameNameFormat(const std::string& format) { m_frameNameFormat = format; }
    std::string GetFrameNameFormat() const { return m_frameNameFormat; }

    // --- Drawing -------------------------------------------------------------------------
    bool DrawAtOwnScale(CImage* canvas, const POINT* origin) override
    {
        return DrawPage(canvas, origin) != 0;
    }
    int DrawPage(CImage* canvas, const POINT* origin);
    void DrawItems(CImage* canvas, const POINT* origin);
    void InvertEditRegion(CImage* canvas, const POINT* origin);
    void DrawPaper(CImage* canvas, bool drawPrintable, const POINT* origin);
    void DrawGrid(CImage* canvas, const POINT* origin);
    void DrawPaperFrame(CImage* canvas, const POINT* origin);
    RECT GetItemImageRect() const { return m_itemImageRect; }
    float GetItemImageScale() const { return m_itemImageScale; }

    // --- Item list and queries -----------------------------------------------------------
    const LayoutItemList& GetItems() const { return m_items; }
    CLayoutItem* GetItemAt(int index) const;
    int GetItemCount(int selected, int visible, ItemClass kind) const;
    CLayoutItem* GetFirstSelectedItem(ItemClass kind) const;
    int GetItemIndex(const CLayoutItem* item) const;
    bool IsSelectionOfClass(ItemClass kind, bool exclusive, bool visibleOnly, bool strict) const;
    bool IsOneInsertFrameSelected() const;
    bool AllSelectedFramesHavePlacement(int placement) const;
    bool AllSelectedFramesHaveRotation(int rotation) const;
    bool AllSelectedFramesHaveAspect(int kind) const;
    bool AllSelectedBackgroundsAspectFixed() const;
    bool IsAutoRotateSelected() const;
    int GetSelectedLineWidth() const;
    COLORREF GetSelectedLineColor() const;
    bool GetSelectionInfo(RECT* out) const;
    bool CheckItemImageFiles() const;
    int HitTestItems(POINT point, CLayoutItem** item);
    bool CanSetSelectedLineWidth(int width) const;
    bool IsPinnedText(const CLayoutItem* item) const;
    int GetItemsRight() const;
    int GetItemsBottom() const;
    std::uint16_t GetFreeLineNumber() const;
    int GetFreeFrameNumber() const;
    std::string FormatFrameName(int number) const;
    bool NotifyToolBox(CLayoutItem* item);
    bool RefreshToolBox();

    // --- Item list edits -----------------------------------------------------------------
    bool AddItem(int index, std::unique_ptr<CLayoutItem> item);
    bool DeleteItem(CLayoutItem* item);
    void DeleteAllItems();
    int DeleteSelection();
    int SelectAll(bool flag);
    int SelectInRect(const RECT& rect);
    int BringToFront();
    int SendToBack();
    int BringForward();
    int SendBackward();
    int MoveItemInOrder(CLayoutItem* target);
    bool CenterSelection(int axis);
    bool RotateSelection(bool clockwise);
    void ChangeSelectedLines(bool width, bool color);
    bool CloneItem(std::unique_ptr<CLayoutItem>* out, const CLayoutItem* source) const;
    void RecordRemovedFrameNumbers(CDeleteUndoInfo& record) const;
    void CloseFrameNumberGaps(const CDeleteUndoInfo& record);
    // Numbers the (visible) frames 1, 2, ... in the order of their numbers; true when one changed.
    bool RenumberInsertFrames(bool visibleOnly);

    // --- Clipboard -----------------------------------------------------------------------
    bool Copy();
    bool Cut();
    bool CopySelection(bool cut);
    int Paste();
    // The clipboard holds something and the layout's own format among it.
    bool CanPaste() const;
    // Replaces the system clipboard (tests); null restores it.
    void SetClipboardPort(IClipboardPort* port) { m_clipboard = port; }
    // The block of the selected items as the clipboard carries it; nothing when a
    // picture could not be written.
    std::optional<std::vector<std::uint8_t>> WriteClipboardBlock();

    // --- Undo ----------------------------------------------------------------------------
    void SetPendingUndo(std::unique_ptr<CUndoInfo> record);
    void DeletePendingUndo();
    CUndoInfo* GetPendingUndo() const { return m_pendingUndo.get(); }
    int Undo();

    // --- Mouse, keys and drag geometry ---------------------------------------------------
    // Points arrive in canvas pixels relative to the page.
    void OnLButtonDown(int flags, POINT point);
    void OnMouseMove(int flags, POINT point);
    void OnLButtonUp(int flags, POINT point);
    void OnKeyDown(int key, int repeat, int flags);
    void OnKeyUp(int key, int repeat, int flags);
    void BeginDrag();
    bool BeginMoveDrag();
    bool BeginResizeDrag();
    bool CreateEditFrames(bool line);
    void ClearEditFrames();
    // Cursor resource ids; 0 is none.
    int GetHoverCursor() const;
    bool SetHoverCursor() const;
    int GetDragCursor() const;
    bool SetDragCursor() const;
    // The geometry works in layout units; a grid step below 1 leaves its axis unsnapped.
    POINT SnapPoint(POINT point, const RECT* bound = nullptr) const;
    POINT MoveEditFrames(POINT offset) const;
    RECT GetEditFrameRect(bool scaled, bool follow) const;
    RECT CalcResizeRect(const CEditItem* frame, POINT* point, bool* swapped = nullptr) const;
    RECT CalcLineDragRect(const CLineItem* line, int kind, POINT point, bool* swapped = nullptr) const;
    RECT FitAndAlign(int kind, bool* xCrossed, bool* yCrossed, const CInsertImageFrameItem* frame,
                     RECT rect) const;
    // The centre line of a new line between the press and the pointer.
    RECT GetLineToolRect(POINT press, POINT pointer, bool vertical) const;
    // The box of a new text or frame; square while Shift is held.
    RECT GetBoxToolRect(POINT press, POINT pointer) const;
    // The editing state the drawing and the position read-out look at.
    DragState& GetDragState() { return m_drag; }
    std::vector<std::unique_ptr<CEditItem>>& GetEditFrames() { return m_editFrames; }
    CRgn& GetEditRegion() { return m_editRegion; }
    CItem& GetRubberBand() { return m_rubberBand; }

    // --- Property edits, item menus and the frame image ----------------------------------
    // Points arrive in canvas pixels relative to the page.
    void OnLButtonDblClk(int flags, POINT point);
    void EditItemProperties(CLayoutItem* item);
    bool EditStringItem(CStringItem* item);
    bool EditTransparency(CBackgroundImageFrameItem* item);
    bool SelectImageRange(CInsertImageFrameItem* item);
    bool ApplyImageToFrame(CImageFrameItem* item);
    bool ToggleAspectFixed(bool fixed);
    bool SetFramePlacement(int placement);
    bool SetAutoRotate(bool on);
    bool EditImageInfo(CInsertImageFrameItem* frame);
    void OnContextMenu(POINT screenPoint);
    void ShowItemMenu(CLayoutItem* clicked, POINT screenPoint);
    // 1 nothing to render, 0 written, -1 no image or mask, -2 the writer failed,
    // -3 still at or over the size limit at the lowest quality.
    int RenderStringItems(const std::string& outputPath, const std::string& setIndexPath, int samplingMode,
                          int* quality, int sizeLimit);
    // The padded canvas with its mask, drawn; 1 nothing to render, 0 drawn, -1 failed.
    int RenderFrameCanvas(CImage& canvas, bool* small) const;
    int GetPrintLineExtent() const;
    int GetPrintStringExtent() const;
    int CheckAppliedImages() const;
    // The clock that stamps the frame image's header (tests); null restores the system clock.
    void SetFrameImageClock(const CEffClock* clock) { m_frameImageClock = clock; }

private:
    // --- Page, paper and zoom ----------------------------------------------------------
    void Notify(int kind, int lParam = 0) const;
    void NotifyPageSize(bool notify) const;
    void ApplyPageToItems();
    void FinishPaperChange(bool notify);

    // --- Item list -----------------------------------------------------------------------
    void AdoptItem(CLayoutItem& item) const;
    LayoutItemList::iterator FindNode(const CLayoutItem* item);
    LayoutItemList::iterator FirstUnpinned();
    bool CountsAsSelected(const CLayoutItem* item) const;
    // The unscaled rect, a line's thickness included.
    static RECT WidenedRect(const CLayoutItem* item);
    void RecordOrder(CChangeOrderUndoInfo& record) const;
    int ReorderUnderRecord(const std::function<void()>& reorder);
    bool IsMovableInOrder(const CLayoutItem* item) const;
    // Removes every selected item (or every item of `only`) from the back,
    // recording each into the record.
    bool RemoveItemsInto(CDeleteUndoInfo& record, const CAddUndoInfo* only);

    // --- Undo ----------------------------------------------------------------------------
    void UndoAdd(CAddUndoInfo& record);
    void UndoDelete(CDeleteUndoInfo& record);
    void UndoOrder(CChangeOrderUndoInfo& record);
    void UndoState(CChangeStateUndoInfo& record);
    void UndoRect(CChangeRectUndoInfo& record);
    void UndoLine(CChangeLineUndoInfo& record);
    void UndoString(CChangeStringUndoInfo& record);
    void UndoImageFrame(CChangeImageFrameUndoInfo& record);
    void UndoInsertImageFrame(CChangeInsertImageFrameUndoInfo& record);
    void UndoMacroString(CChangeMacroStringUndoInfo& record);

    // --- Mouse, keys and drag geometry ---------------------------------------------------
    POINT ToItemPoint(POINT canvasPoint) const;
    POINT Unscaled(POINT point) const;
    bool InScaledPrintable(POINT itemPoint) const;
    int CursorOf(int mode) const;
    bool ShowCursor(int id) const;
    bool IsShiftHeld() const;
    // Draws the current feedback inverted into the view's kept image.
    void InvertFeedback();
    void ResendMouseMove() const;
    bool RefuseByLimit();
    void FinishMove(POINT p0, POINT p1);
    void FinishResize(POINT p1);
    bool CreateLine(POINT p0, POINT p1, bool vertical);
    bool CreateBox(POINT p0, POINT p1);
    bool AdoptNewItem(std::unique_ptr<CLayoutItem> item);
    // The text dialog of a new text, the picture choice of a new background; false when cancelled.
    bool RunNewItemDialog(CLayoutItem* item);
    // Compares pointers only: an item deleted or undone during a drag is not touched.
    bool IsOnPage(const CLayoutItem* item) const;
    // Forgets the outlines of items that left the page while the button was held.
    void DropRemovedTargets();
    bool ResizeRectFor(POINT point, RECT* rect, bool* swapped) const;

    // --- Property edits, item menus and the frame image ----------------------------------
    // The selected insert-photo frames changed together under one record.
    bool ChangeSelectedInsertFrames(const std::function<void(CInsertImageFrameItem&)>& change);
    bool HoldDialogRecord(std::unique_ptr<CUndoInfo> record, bool ok);
    void PlaceInfoText(CMacroStringItem& text, const RECT& printable, int left, int top) const;
    void ShowMenu(const MenuModel& menu, POINT screenPoint) const;
    void DrawFrameImageItems(CImage& canvas, POINT offset, int& failure) const;

    // --- Data ----------------------------------------------------------------------------
    // The page
    int m_paperSizeIndex = 0;
    int m_paperMode = 0;
    int m_rollLength = kMinRollLength;
    POINT m_origin{};
    POINT m_viewOffset{};
    SIZE m_paperSize{};
    PageMargins m_margins;
    RECT m_itemImageRect{};
    float m_itemImageScale = 0.0f;
    // The items, front first, and the one held undo record
    LayoutItemList m_items;
    std::unique_ptr<CUndoInfo> m_pendingUndo;
    // Settings
    GridSettings m_grid;
    ItemDefaults m_itemDefaults;
    std::string m_newItemName;
    std::string m_frameNameFormat;
    // Mouse editing
    DragState m_drag;
    std::vector<std::unique_ptr<CEditItem>> m_editFrames;
    RECT m_dragRect{};
    CRgn m_editRegion;
    CItem m_rubberBand;
    // Seams: null means the system's own
    IClipboardPort* m_clipboard = nullptr;
    const CEffClock* m_frameImageClock = nullptr;
};
