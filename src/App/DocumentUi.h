// The dialogs the document runs: the new-layout wizard, the save-format
// dialog, the layout header dialog and the file dialog of Save As. The
// dialog library implements them.
#pragma once

#include <optional>
#include <string>

class CZAVEditorDoc;
class QWidget;

// End codes of the save-format dialog.
constexpr int kSaveDialogSaved = 1;  // IDOK
constexpr int kSaveDialogCancel = 2; // IDCANCEL
constexpr int kSaveDialogNoSave = 7; // IDNO

class IDocumentUi
{
public:
    virtual ~IDocumentUi() = default;
    // Start mode 0 the start page, 1 the paper page, 2 the camera paper page,
    // 3 the existing-layout page. The pages make or open the layout themselves.
    virtual void RunNewWizard(CZAVEditorDoc& document, QWidget* parent, int startMode) = 0;
    // Form 0 asks for the format and saves; form 1 first asks whether to save
    // before the layout is discarded. Returns an end code above.
    virtual int RunSelectSaveDialog(CZAVEditorDoc& document, QWidget* parent, int askBeforeDiscard) = 0;
    // False on Cancel.
    virtual bool RunHeaderInfoDialog(CZAVEditorDoc& document, QWidget* parent) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> RunSaveFileDialog(QWidget* parent, const std::string& title,
                                                         const std::string& filter,
                                                         const std::string& proposal) = 0;
};
