// The base of the dialogs that save the layout under a name the user types:
// the name with its rule and suffix, OK only for a complete name, the refusal
// of a name, and the end code the dialog closes with.
#pragma once

#include "Dialogs/SaveNameSupport.h"
#include "Dialogs/SettingsDialog.h"

#include <string>

class ILayoutFolderServices;
class QLabel;
class QLineEdit;

class CSaveNameDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    ~CSaveNameDialog() override;

    // The end code once the dialog has closed (2 while it runs).
    int EndCode() const { return m_end; }

    QLineEdit* NameEdit() const { return m_name; }
    QLabel* SuffixLabel() const { return m_suffix; }
    QLabel* RuleLabel() const { return m_rule; }

    void reject() override;

protected:
    // Adds the heading and the rule, the dialog's first controls.
    CSaveNameDialog(IDialogShell& shell, int dialogId, QWidget* parent);

    // Adds the name's label, the name and its suffix after the dialog's own
    // controls, so that they come last in the tab order.
    void AddNameControls(int nameEditId);
    // Takes the document's kind into the name's length, rule and suffix and
    // shows the name the document proposes.
    LayoutNameProposal ProposeName(const std::string& documentsFolder);
    // Runs the dialog and returns the code it ended with.
    int RunModal();
    // OK waits for a complete name and a place to save it.
    void OnNameChange();
    virtual bool HasTarget() const { return true; }
    // Shows the text (none for 0), empties the name and gives it the focus.
    void RefuseName(int textId);
    void End(int code);
    // False after refusing a name (with its "_0" for a camera layout) that
    // breaks the name rules.
    bool PassesNameRules(ILayoutFolderServices& services, const std::string& checkedName);
    // Asks with the text whether the existing file is to be replaced; false
    // when it is not, or when it may not be written, which ends the dialog.
    bool MayReplace(const std::string& path, int askTextId);

    QLineEdit* m_name = nullptr;
    bool m_camera = false;

private:
    QLabel* m_rule;
    QLabel* m_suffix = nullptr;
    int m_end = 2;
};
