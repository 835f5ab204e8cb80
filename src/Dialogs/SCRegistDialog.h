// The layout registration dialog: registers the layout where the
// photo-printing application (mode 0, the shared layout folder) or a camera
// (modes 1 and 2, the "VLUDL" folder of a memory card) finds it, after
// checking the name, the card's free places and every file it would replace.
#pragma once

#include "Dialogs/SaveNameDialog.h"

#include <string>
#include <vector>

class QComboBox;
class QLabel;

class CSCRegistDialog : public CSaveNameDialog
{
    Q_OBJECT
public:
    static constexpr int kDriveComboId = 1342;
    static constexpr int kNameEditId = 1470;

    // A mode above 2 is taken as 0.
    CSCRegistDialog(IDialogShell& shell, int mode, QWidget* parent = nullptr);
    ~CSCRegistDialog() override;

    // 1 after a completed write, 2 otherwise, -1 at once when memory-card
    // drives are switched off (modes 1 and 2).
    int DoModal();
    // True when modes 1 and 2 end at once.
    bool CardsSwitchedOff() const;

    int Mode() const { return m_mode; }
    QComboBox* DriveCombo() const { return m_drives; }

    void accept() override;

protected:
    void OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;
    // A card's modes need a card.
    bool HasTarget() const override;

private:
    // The registration, steps in order; false keeps the dialog open.
    void Register();

    int m_mode;
    QLabel* m_driveLabel;
    QComboBox* m_drives;
    std::vector<std::string> m_cardRoots;
};

// The "VLUDL" folder of a card, as it is spelled on the card when it exists
// in any case, ending in "/".
std::string CardLayoutFolder(const std::string& cardRoot);
// The files directly in the folder whose extension is `extension`, without
// regard to case.
int CountFilesWithExtension(const std::string& folder, const std::string& extension);
// The path as it is spelled on disk when it exists in any case; empty when
// nothing exists there.
std::string FindPathNoCase(const std::string& path);
