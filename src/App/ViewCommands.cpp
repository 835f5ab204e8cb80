// The editing view's command handlers and update handlers: thin entry points
// over the layout model, the view's zoom, the bars and the dialogs.
#include "App/AppSettings.h"
#include "App/DocumentUi.h"
#include "App/MainMenu.h"
#include "App/MenuDisplay.h"
#include "App/MessageBoxes.h"
#include "App/ViewCommandHost.h"
#include "App/ViewCommandRules.h"
#include "App/ViewCommandTable.h"
#include "App/ZAVEditorDoc.h"
#include "App/ZAVEditorView.h"
#include "Core/Files.h"
#include "Core/PaperRules.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutDialogs.h"
#include "Layout/LayoutManager.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenuBar>
#include <QUrl>

namespace {

void ToggleBar(IViewCommandHost* host, FloatingBar bar)
{
    if (!host || !host->HasMainWindow())
        return;
    const bool show = !host->IsBarVisible(bar);
    host->ShowBar(bar, show);
    if (bar == FloatingBar::ToolBox)
        host->Settings().SetShowToolBoxWindow(show ? 1 : 0);
    else
        host->Settings().SetShowChangeModeWindow(show ? 1 : 0);
}

bool OpenWithDesktop(const std::string& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

} // namespace

ICommandTarget& CZAVEditorView::CommandTarget()
{
    if (!m_commandTarget)
        m_commandTarget = std::make_unique<ViewCommandTarget>(*this);
    return *m_commandTarget;
}

bool CZAVEditorView::IsCameraLayout() const
{
    return m_document.IsDSCLayout();
}

MenuGreying CZAVEditorView::SubMenuStates() const
{
    return ComputeMenuGreying(Layout(), IsCameraLayout());
}

void CZAVEditorView::SelectToolCommand(int tool)
{
    IViewCommandHost* host = m_host.CommandHost();
    if (host && host->HasMainWindow())
        host->SelectTool(tool);
}

void CZAVEditorView::SelectModeCommand(int mode)
{
    IViewCommandHost* host = m_host.CommandHost();
    if (!host || !host->HasMainWindow())
        return;
    host->SelectMode(mode);
    ApplyZoomMode(false);
}

void CZAVEditorView::EnableZoomEntries(bool zoomIn, bool zoomOut)
{
    QMenuBar* bar = m_host.MainMenuBar();
    if (!bar)
        return;
    if (QAction* action = zoomIn ? FindMenuAction(*bar, 32801) : nullptr)
        action->setEnabled(true);
    if (QAction* action = zoomOut ? FindMenuAction(*bar, 32802) : nullptr)
        action->setEnabled(true);
}

// --- File --------------------------------------------------------------------------------

void CZAVEditorView::OnFileSaveRegister()
{
    if (IViewCommandHost* host = m_host.CommandHost())
        host->GetDocumentUi().RunSelectSaveDialog(m_document, nullptr, 0);
}

void CZAVEditorView::OnFileLayoutInfo()
{
    if (IViewCommandHost* host = m_host.CommandHost())
        host->GetDocumentUi().RunHeaderInfoDialog(m_document, nullptr);
}

void CZAVEditorView::OnFilePrint()
{
    IViewCommandHost* host = m_host.CommandHost();
    if (ICommandTarget* print = host ? host->GetPrintCommand() : nullptr)
        print->OnCommand(ID_FILE_PRINT);
}

void CZAVEditorView::OnUpdateFilePrint(CCmdUI* ui)
{
    IViewCommandHost* host = m_host.CommandHost();
    ICommandTarget* print = host ? host->GetPrintCommand() : nullptr;
    ui->Enable(print && print->IsCommandEnabled(ID_FILE_PRINT));
}

// --- Edit --------------------------------------------------------------------------------

void CZAVEditorView::OnEditUndo()
{
    Layout().Undo();
}

void CZAVEditorView::OnUpdateEditUndo(CCmdUI* ui)
{
    ui->Enable(Layout().GetPendingUndo() != nullptr);
}

void CZAVEditorView::OnEditCut()
{
    Layout().Cut();
}

void CZAVEditorView::OnUpdateEditCut(CCmdUI* ui)
{
    ui->Enable(CanEditSelection(Layout(), IsCameraLayout()));
}

void CZAVEditorView::OnEditCopy()
{
    Layout().Copy();
}

void CZAVEditorView::OnUpdateEditCopy(CCmdUI* ui)
{
    ui->Enable(CanEditSelection(Layout(), IsCameraLayout()));
}

void CZAVEditorView::OnEditPaste()
{
    Layout().Paste();
}

void CZAVEditorView::OnUpdateEditPaste(CCmdUI* ui)
{
    ui->Enable(Layout().CanPaste());
}

void CZAVEditorView::OnEditSelectAll()
{
    Layout().SelectAll(true);
    OnLayoutChanged(LayoutChangeSelection, 0);
}

void CZAVEditorView::OnUpdateEditSelectAll(CCmdUI* ui)
{
    ui->Enable(!Layout().GetItems().empty());
}

void CZAVEditorView::OnEditDelete()
{
    Layout().DeleteSelection();
}

void CZAVEditorView::OnUpdateEditDelete(CCmdUI* ui)
{
    ui->Enable(CanEditSelection(Layout(), IsCameraLayout()));
}

void CZAVEditorView::OnEditBringToFront()
{
    Layout().BringToFront();
}

void CZAVEditorView::OnEditBringForward()
{
    Layout().BringForward();
}

void CZAVEditorView::OnEditSendBackward()
{
    Layout().SendBackward();
}

void CZAVEditorView::OnEditSendToBack()
{
    Layout().SendToBack();
}

void CZAVEditorView::OnUpdateEditOrder(CCmdUI* ui)
{
    ui->Enable(CanEditSelection(Layout(), IsCameraLayout()));
}

void CZAVEditorView::OnEditAlignVCenter()
{
    Layout().CenterSelection(1);
}

void CZAVEditorView::OnEditAlignHCenter()
{
    Layout().CenterSelection(0);
}

void CZAVEditorView::OnUpdateEditAlign(CCmdUI* ui)
{
    ui->Enable(SubMenuStates().align);
}

void CZAVEditorView::OnEditRotateRight90()
{
    Layout().RotateSelection(true);
}

void CZAVEditorView::OnEditRotateLeft90()
{
    Layout().RotateSelection(false);
}

void CZAVEditorView::OnUpdateEditRotate(CCmdUI* ui)
{
    ui->Enable(SubMenuStates().rotate);
}

// --- View --------------------------------------------------------------------------------

void CZAVEditorView::OnViewChangeModeWindow()
{
    ToggleBar(m_host.CommandHost(), FloatingBar::ChangeMode);
}

void CZAVEditorView::OnUpdateViewChangeModeWindow(CCmdUI* ui)
{
    IViewCommandHost* host = m_host.CommandHost();
    ui->Enable(IsCameraLayout());
    ui->SetCheck(host && host->IsBarVisible(FloatingBar::ChangeMode) ? 1 : 0);
}

void CZAVEditorView::OnViewToolBoxWindow()
{
    ToggleBar(m_host.CommandHost(), FloatingBar::ToolBox);
}

void CZAVEditorView::OnUpdateViewToolBoxWindow(CCmdUI* ui)
{
    IViewCommandHost* host = m_host.CommandHost();
    ui->SetCheck(host && host->IsBarVisible(FloatingBar::ToolBox) ? 1 : 0);
}

void CZAVEditorView::OnViewZoomIn()
{
    m_model.SetZoomMode(EditorViewModel::ZoomMode::Free);
    Layout().ZoomStep(true, true);
    EnableZoomEntries(false, true);
}

void CZAVEditorView::OnUpdateViewZoomIn(CCmdUI* ui)
{
    ui->Enable(CanZoomIn(Layout().GetScale()));
}

void CZAVEditorView::OnViewZoomOut()
{
    m_model.SetZoomMode(EditorViewModel::ZoomMode::Free);
    Layout().ZoomStep(false, true);
    EnableZoomEntries(true, false);
}

void CZAVEditorView::OnUpdateViewZoomOut(CCmdUI* ui)
{
    ui->Enable(CanZoomOut(Layout().GetScale()));
}

void CZAVEditorView::OnViewFitPaperWidth()
{
    m_model.SetZoomMode(EditorViewModel::ZoomMode::FitWidth);
    ApplyZoomMode(false);
    EnableZoomEntries(CanZoomIn(Layout().GetScale()), CanZoomOut(Layout().GetScale()));
}

void CZAVEditorView::OnUpdateViewFitPaperWidth(CCmdUI* ui)
{
    ui->SetCheck(m_model.IsFitToPaperWidth() ? 1 : 0);
}

void CZAVEditorView::OnViewFitWholePaper()
{
    m_model.SetZoomMode(EditorViewModel::ZoomMode::FitPage);
    ApplyZoomMode(false);
    EnableZoomEntries(CanZoomIn(Layout().GetScale()), CanZoomOut(Layout().GetScale()));
}

void CZAVEditorView::OnUpdateViewFitWholePaper(CCmdUI* ui)
{
    ui->SetCheck(m_model.IsFitWholePaper() ? 1 : 0);
}

void CZAVEditorView::OnViewModeWhole()
{
    SelectModeCommand(0);
}

void CZAVEditorView::OnViewModeCommon()
{
    SelectModeCommand(1);
}

void CZAVEditorView::OnViewModeLBorderless()
{
    SelectModeCommand(2);
}

void CZAVEditorView::OnViewModeLBordered()
{
    SelectModeCommand(3);
}

void CZAVEditorView::OnViewModePostcardBorderless()
{
    SelectModeCommand(4);
}

void CZAVEditorView::OnViewModePostcardBordered()
{
    SelectModeCommand(5);
}

void CZAVEditorView::OnViewMode100x150Borderless()
{
    SelectModeCommand(6);
}

void CZAVEditorView::OnViewMode100x150Bordered()
{
    SelectModeCommand(7);
}

void CZAVEditorView::OnViewMode4x6NPBorderless()
{
    SelectModeCommand(8);
}

void CZAVEditorView::OnViewMode4x6NPBordered()
{
    SelectModeCommand(9);
}

void CZAVEditorView::OnUpdateViewMode(CCmdUI* ui)
{
    ui->SetCheck(m_document.GetEditMode() == ui->m_nID - 32880 ? 1 : 0);
}

void CZAVEditorView::OnViewGrid()
{
    IViewCommandHost* host = m_host.CommandHost();
    IViewDialogs* dialogs = host ? host->GetViewDialogs() : nullptr;
    GridSettings grid = Layout().GetGrid();
    if (!dialogs || !dialogs->RunGridDialog(grid))
        return;
    Layout().SetGrid(grid);
    OnLayoutChanged(LayoutChangeSelection, 0);
}

void CZAVEditorView::OnUpdateViewGrid(CCmdUI* ui)
{
    ui->Enable(!IsCameraLayout());
}

// --- Item: insert-photo frames -------------------------------------------------------------

void CZAVEditorView::OnItemInsertFrameCreate()
{
    SelectToolCommand(6);
}

void CZAVEditorView::OnUpdateItemInsertFrameCreate(CCmdUI* ui)
{
    ui->Enable(!IsCameraLayout());
}

void CZAVEditorView::OnItemInsertFrameApplyImage()
{
    Layout().ApplyImageToFrame(nullptr);
}

void CZAVEditorView::OnUpdateItemInsertFrameApplyImage(CCmdUI* ui)
{
    ui->Enable(Layout().GetItemCount(1, -1, &IsKindOf<CInsertImageFrameItem>) > 0 &&
               OneFrameOfSelection(Layout()) != nullptr);
}

void CZAVEditorView::OnItemInsertFrameRemoveImage()
{
    if (!RemoveAppliedImage(Layout()))
        return;
    OnLayoutChanged(LayoutChangeSelection, 0);
    OnLayoutChanged(LayoutChangeContent, 0);
}

void CZAVEditorView::OnUpdateItemInsertFrameRemoveImage(CCmdUI* ui)
{
    const CInsertImageFrameItem* frame = OneFrameOfSelection(Layout());
    ui->Enable(frame && !frame->GetImageFileName().empty());
}

void CZAVEditorView::OnItemInsertFrameImageRange()
{
    Layout().SelectImageRange(nullptr);
}

void CZAVEditorView::OnUpdateItemInsertFrameImageRange(CCmdUI* ui)
{
    OnUpdateItemInsertFrameRemoveImage(ui);
}

void CZAVEditorView::OnItemInsertFrameFillFrame()
{
    Layout().SetFramePlacement(0);
}

void CZAVEditorView::OnUpdateItemInsertFrameFillFrame(CCmdUI* ui)
{
    ui->Enable(IsOnlyInsertFrames(Layout()));
    ui->SetCheck(Layout().AllSelectedFramesHavePlacement(0) ? 1 : 0);
}

void CZAVEditorView::OnItemInsertFrameFitInFrame()
{
    Layout().SetFramePlacement(1);
}

void CZAVEditorView::OnUpdateItemInsertFrameFitInFrame(CCmdUI* ui)
{
    ui->Enable(IsOnlyInsertFrames(Layout()) && !IsCameraLayout());
    ui->SetCheck(Layout().AllSelectedFramesHavePlacement(1) ? 1 : 0);
}

void CZAVEditorView::OnItemInsertFrameAutoRotate()
{
    Layout().SetAutoRotate(NextAutoRotate(Layout()));
}

void CZAVEditorView::OnUpdateItemInsertFrameAutoRotate(CCmdUI* ui)
{
    ui->Enable(IsOnlyInsertFrames(Layout()) && !IsCameraLayout());
    ui->SetCheck(Layout().AllSelectedFramesHaveRotation(CImageFrameItem::kAutomaticRotation) ? 1 : 0);
}

void CZAVEditorView::OnItemInsertFrameImageInfo()
{
    Layout().EditImageInfo(nullptr);
}

void CZAVEditorView::OnUpdateItemInsertFrameImageInfo(CCmdUI* ui)
{
    const CInsertImageFrameItem* frame = OneFrameOfSelection(Layout());
    ui->Enable(frame && !IsCameraLayout() && (frame->IsVisible() || frame->IsSelected()));
}

void CZAVEditorView::OnItemInsertFrameAspect3x2()
{
    if (!SetSelectedFramesAspect(Layout(), 32873))
        return;
    OnLayoutChanged(LayoutChangeSelection, 0);
    OnLayoutChanged(LayoutChangeContent, 0);
}

void CZAVEditorView::OnUpdateItemInsertFrameAspect3x2(CCmdUI* ui)
{
    ui->Enable(SubMenuStates().aspectRatio);
    ui->SetCheck(Layout().AllSelectedFramesHaveAspect(CInsertImageFrameItem::Aspect2x3) ? 1 : 0);
}

void CZAVEditorView::OnItemInsertFrameAspect4x3()
{
    if (!SetSelectedFramesAspect(Layout(), 32874))
        return;
    OnLayoutChanged(LayoutChangeSelection, 0);
    OnLayoutChanged(LayoutChangeContent, 0);
}

void CZAVEditorView::OnUpdateItemInsertFrameAspect4x3(CCmdUI* ui)
{
    ui->Enable(SubMenuStates().aspectRatio);
    ui->SetCheck(Layout().AllSelectedFramesHaveAspect(CInsertImageFrameItem::Aspect4x3) ? 1 : 0);
}

void CZAVEditorView::OnItemInsertFrameAspectFree()
{
    if (!SetSelectedFramesAspect(Layout(), 32875))
        return;
    OnLayoutChanged(LayoutChangeSelection, 0);
    OnLayoutChanged(LayoutChangeContent, 0);
}

void CZAVEditorView::OnUpdateItemInsertFrameAspectFree(CCmdUI* ui)
{
    ui->Enable(SubMenuStates().aspectRatio);
    ui->SetCheck(Layout().AllSelectedFramesHaveAspect(CInsertImageFrameItem::AspectFree) ? 1 : 0);
}

// --- Item: background and frame images, texts ------------------------------------------------

void CZAVEditorView::OnItemBkFrameCreate()
{
    SelectToolCommand(7);
}

void CZAVEditorView::OnItemBkFrameTransparency()
{
    Layout().EditTransparency(nullptr);
}

void CZAVEditorView::OnUpdateItemBkFrameTransparency(CCmdUI* ui)
{
    ui->Enable(IsOnlyBackgrounds(Layout()) && SelectedCount(Layout()) == 1);
}

void CZAVEditorView::OnItemBkFrameKeepAspect()
{
    Layout().ToggleAspectFixed(NextKeepAspect(Layout()));
}

void CZAVEditorView::OnUpdateItemBkFrameKeepAspect(CCmdUI* ui)
{
    ui->Enable(IsOnlyBackgrounds(Layout()));
    ui->SetCheck(Layout().AllSelectedBackgroundsAspectFixed() ? 1 : 0);
}

void CZAVEditorView::OnItemStringCreate()
{
    SelectToolCommand(5);
}

void CZAVEditorView::OnItemStringEdit()
{
    Layout().EditStringItem(nullptr);
}

void CZAVEditorView::OnUpdateItemStringEdit(CCmdUI* ui)
{
    ui->Enable(IsOnlyTexts(Layout()) && SelectedCount(Layout()) == 1);
}

// --- Item: lines -------------------------------------------------------------------------------

void CZAVEditorView::OnItemLineCreate()
{
    SelectToolCommand(4);
}

void CZAVEditorView::ApplyLineWidthCommand(int width)
{
    if (!ApplyLineWidth(Layout(), width))
        ShowLocalizedMessage(160, MB_ICONSTOP);
}

void CZAVEditorView::OnItemLineHairline()
{
    ApplyLineWidthCommand(LineWidthOfCommand(32811));
}

void CZAVEditorView::OnItemLineWidth1Pt()
{
    ApplyLineWidthCommand(LineWidthOfCommand(32812));
}

void CZAVEditorView::OnItemLineWidth2Pt()
{
    ApplyLineWidthCommand(LineWidthOfCommand(32813));
}

void CZAVEditorView::OnItemLineWidth3Pt()
{
    ApplyLineWidthCommand(LineWidthOfCommand(32814));
}

void CZAVEditorView::OnItemLineWidth4Pt()
{
    ApplyLineWidthCommand(LineWidthOfCommand(32815));
}

void CZAVEditorView::OnItemLineWidth5Pt()
{
    ApplyLineWidthCommand(LineWidthOfCommand(32816));
}

void CZAVEditorView::OnItemLineWidth6Pt()
{
    ApplyLineWidthCommand(LineWidthOfCommand(32817));
}

void CZAVEditorView::OnItemLineWidth8Pt()
{
    ApplyLineWidthCommand(LineWidthOfCommand(32818));
}

void CZAVEditorView::OnUpdateItemLineWidth(CCmdUI* ui)
{
    ui->Enable(IsOnlyLines(Layout()));
    ui->SetCheck(CurrentLineWidth(Layout()) == LineWidthOfCommand(ui->m_nID) ? 1 : 0);
}

void CZAVEditorView::OnItemLineOtherWidth()
{
    IViewCommandHost* host = m_host.CommandHost();
    IViewDialogs* dialogs = host ? host->GetViewDialogs() : nullptr;
    int points = OtherWidthStartPoints(Layout());
    if (dialogs && dialogs->RunLineDialog(points))
        ApplyOtherWidth(Layout(), points);
}

void CZAVEditorView::OnUpdateItemLineOtherWidth(CCmdUI* ui)
{
    const int width = CurrentLineWidth(Layout());
    ui->Enable(IsOnlyLines(Layout()));
    ui->SetCheck(width > 0 && !IsMenuLineWidth(width) ? 1 : 0);
}

void CZAVEditorView::OnItemLineColor()
{
    ILayoutDialogs* dialogs = GetLayoutDialogs();
    COLORREF colour = LineColourStart(Layout());
    if (dialogs && dialogs->ChooseColor(colour))
        ApplyLineColour(Layout(), colour);
}

void CZAVEditorView::OnUpdateItemLineColor(CCmdUI* ui)
{
    ui->Enable(IsOnlyLines(Layout()));
}

void CZAVEditorView::OnItemSelectTool()
{
    SelectToolCommand(3);
}

// --- Options and Help ----------------------------------------------------------------------

void CZAVEditorView::OnOptionRollPaper()
{
    IViewCommandHost* host = m_host.CommandHost();
    IViewDialogs* dialogs = host ? host->GetViewDialogs() : nullptr;
    if (!dialogs)
        return;
    CLayoutManager& layout = Layout();
    const int lowest = RollPaperLowestLength(layout);
    int length = RollPaperStartLength(layout, lowest);
    if (!dialogs->RunRollPaperDialog(lowest, kMaxRollLength, length))
        return;
    m_document.SetLayoutPaper(layout.GetPaperSizeIndex(), layout.GetOrientation(), layout.GetPaperMode(),
                              length, false);
    m_document.RefreshView(false);
    // Straight to the main frame: the refresh above has redrawn the view already.
    m_host.ForwardLayoutChanged(LayoutChangeSelection, 0);
    m_host.ForwardLayoutChanged(LayoutChangePageSize, 0);
}

void CZAVEditorView::OnUpdateOptionRollPaper(CCmdUI* ui)
{
    ui->Enable(!IsCameraLayout() && IsScriptRollPaper(Layout().GetPaperSizeIndex()));
}

void CZAVEditorView::OnOptionEnvironment()
{
    IViewCommandHost* host = m_host.CommandHost();
    IViewDialogs* dialogs = host ? host->GetViewDialogs() : nullptr;
    if (!dialogs || !dialogs->RunEnvDialog())
        return;
    if (host->HasMainWindow())
        host->RedrawToolBoxInfo();
}

void CZAVEditorView::OnHelpOnlineManual()
{
    IViewCommandHost* host = m_host.CommandHost();
    if (!host)
        return;
    const std::string path = OnlineManualPath(host->GetProgramFolder());
    // A missing manual is said once; opening the absent file would only add the desktop's own error.
    if (!IsFile(path)) {
        ShowLocalizedMessage(174, MB_ICONSTOP);
        return;
    }
    if (m_manualOpener)
        m_manualOpener(path);
    else
        OpenWithDesktop(path);
}
