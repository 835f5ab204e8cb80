// Simple document dialogs for the application tests: a paper page of the localised papers and both
// directions, a camera page of the direction, a file dialog for opening, a save-format choice between the
// current file's own format and the editor document, and the three header texts.
#pragma once

#include "App/DocumentUi.h"

class StandInDocumentUi : public IDocumentUi
{
public:
    void RunNewWizard(CZAVEditorDoc& document, QWidget* parent, int startMode) override;
    int RunSelectSaveDialog(CZAVEditorDoc& document, QWidget* parent, int askBeforeDiscard) override;
    bool RunHeaderInfoDialog(CZAVEditorDoc& document, QWidget* parent) override;
    std::optional<std::string> RunSaveFileDialog(QWidget* parent, const std::string& title,
                                                 const std::string& filter,
                                                 const std::string& proposal) override;
};
