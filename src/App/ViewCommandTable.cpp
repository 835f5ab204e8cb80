#include "App/ViewCommandTable.h"

#include "App/ZAVEditorView.h"

#include <algorithm>

namespace {

using V = CZAVEditorView;

constexpr ViewCommandEntry kTable[] = {
    {32773, &V::OnFileSaveRegister, nullptr},
    {32772, &V::OnFileLayoutInfo, nullptr},
    {57607, &V::OnFilePrint, &V::OnUpdateFilePrint},
    {57643, &V::OnEditUndo, &V::OnUpdateEditUndo},
    {57635, &V::OnEditCut, &V::OnUpdateEditCut},
    {57634, &V::OnEditCopy, &V::OnUpdateEditCopy},
    {57637, &V::OnEditPaste, &V::OnUpdateEditPaste},
    {57642, &V::OnEditSelectAll, &V::OnUpdateEditSelectAll},
    {32781, &V::OnEditDelete, &V::OnUpdateEditDelete},
    {32782, &V::OnEditBringToFront, &V::OnUpdateEditOrder},
    {32783, &V::OnEditBringForward, &V::OnUpdateEditOrder},
    {32784, &V::OnEditSendBackward, &V::OnUpdateEditOrder},
    {32785, &V::OnEditSendToBack, &V::OnUpdateEditOrder},
    {32786, &V::OnEditAlignVCenter, &V::OnUpdateEditAlign},
    {32787, &V::OnEditAlignHCenter, &V::OnUpdateEditAlign},
    {32788, &V::OnEditRotateRight90, &V::OnUpdateEditRotate},
    {32789, &V::OnEditRotateLeft90, &V::OnUpdateEditRotate},
    {32877, &V::OnViewChangeModeWindow, &V::OnUpdateViewChangeModeWindow},
    {32876, &V::OnViewToolBoxWindow, &V::OnUpdateViewToolBoxWindow},
    {32801, &V::OnViewZoomIn, &V::OnUpdateViewZoomIn},
    {32802, &V::OnViewZoomOut, &V::OnUpdateViewZoomOut},
    {32803, &V::OnViewFitPaperWidth, &V::OnUpdateViewFitPaperWidth},
    {32804, &V::OnViewFitWholePaper, &V::OnUpdateViewFitWholePaper},
    {32880, &V::OnViewModeWhole, &V::OnUpdateViewMode},
    {32881, &V::OnViewModeCommon, &V::OnUpdateViewMode},
    {32882, &V::OnViewModeLBorderless, &V::OnUpdateViewMode},
    {32883, &V::OnViewModeLBordered, &V::OnUpdateViewMode},
    {32884, &V::OnViewModePostcardBorderless, &V::OnUpdateViewMode},
    {32885, &V::OnViewModePostcardBordered, &V::OnUpdateViewMode},
    {32886, &V::OnViewMode100x150Borderless, &V::OnUpdateViewMode},
    {32887, &V::OnViewMode100x150Bordered, &V::OnUpdateViewMode},
    {32888, &V::OnViewMode4x6NPBorderless, &V::OnUpdateViewMode},
    {32889, &V::OnViewMode4x6NPBordered, &V::OnUpdateViewMode},
    {32800, &V::OnViewGrid, &V::OnUpdateViewGrid},
    {32850, &V::OnItemInsertFrameCreate, &V::OnUpdateItemInsertFrameCreate},
    {32851, &V::OnItemInsertFrameApplyImage, &V::OnUpdateItemInsertFrameApplyImage},
    {32871, &V::OnItemInsertFrameRemoveImage, &V::OnUpdateItemInsertFrameRemoveImage},
    {32852, &V::OnItemInsertFrameImageRange, &V::OnUpdateItemInsertFrameImageRange},
    {32853, &V::OnItemInsertFrameFillFrame, &V::OnUpdateItemInsertFrameFillFrame},
    {32854, &V::OnItemInsertFrameFitInFrame, &V::OnUpdateItemInsertFrameFitInFrame},
    {32855, &V::OnItemInsertFrameAutoRotate, &V::OnUpdateItemInsertFrameAutoRotate},
    {32856, &V::OnItemInsertFrameImageInfo, &V::OnUpdateItemInsertFrameImageInfo},
    {32873, &V::OnItemInsertFrameAspect3x2, &V::OnUpdateItemInsertFrameAspect3x2},
    {32874, &V::OnItemInsertFrameAspect4x3, &V::OnUpdateItemInsertFrameAspect4x3},
    {32875, &V::OnItemInsertFrameAspectFree, &V::OnUpdateItemInsertFrameAspectFree},
    {32840, &V::OnItemBkFrameCreate, nullptr},
    {32841, &V::OnItemBkFrameTransparency, &V::OnUpdateItemBkFrameTransparency},
    {32842, &V::OnItemBkFrameKeepAspect, &V::OnUpdateItemBkFrameKeepAspect},
    {32830, &V::OnItemStringCreate, nullptr},
    {32831, &V::OnItemStringEdit, &V::OnUpdateItemStringEdit},
    {32810, &V::OnItemLineCreate, nullptr},
    {32811, &V::OnItemLineHairline, &V::OnUpdateItemLineWidth},
    {32812, &V::OnItemLineWidth1Pt, &V::OnUpdateItemLineWidth},
    {32813, &V::OnItemLineWidth2Pt, &V::OnUpdateItemLineWidth},
    {32814, &V::OnItemLineWidth3Pt, &V::OnUpdateItemLineWidth},
    {32815, &V::OnItemLineWidth4Pt, &V::OnUpdateItemLineWidth},
    {32816, &V::OnItemLineWidth5Pt, &V::OnUpdateItemLineWidth},
    {32817, &V::OnItemLineWidth6Pt, &V::OnUpdateItemLineWidth},
    {32818, &V::OnItemLineWidth8Pt, &V::OnUpdateItemLineWidth},
    {32819, &V::OnItemLineOtherWidth, &V::OnUpdateItemLineOtherWidth},
    {32820, &V::OnItemLineColor, &V::OnUpdateItemLineColor},
    {32857, &V::OnItemSelectTool, nullptr},
    {32860, &V::OnOptionRollPaper, &V::OnUpdateOptionRollPaper},
    {32861, &V::OnOptionEnvironment, nullptr},
    {32870, &V::OnHelpOnlineManual, nullptr},
};

} // namespace

std::span<const ViewCommandEntry> ViewCommandTable()
{
    return kTable;
}

const ViewCommandEntry* FindViewCommand(int id)
{
    const auto found = std::find_if(std::begin(kTable), std::end(kTable),
                                    [id](const ViewCommandEntry& e) { return e.id == id; });
    return found == std::end(kTable) ? nullptr : found;
}

void ViewCommandTarget::OnUpdateCommand(CCmdUI& ui) const
{
    const ViewCommandEntry* entry = FindViewCommand(ui.m_nID);
    if (!entry) {
        ui.Enable(false);
        return;
    }
    if (entry->update)
        (m_view.*entry->update)(&ui);
}

bool ViewCommandTarget::IsCommandEnabled(int id) const
{
    CCmdUI ui;
    ui.m_nID = id;
    OnUpdateCommand(ui);
    return ui.enabled;
}

void ViewCommandTarget::OnCommand(int id)
{
    if (const ViewCommandEntry* entry = FindViewCommand(id))
        (m_view.*entry->handler)();
}
