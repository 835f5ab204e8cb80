// CSelectImageDialog: picks the picture of an image frame from a folder tree
// and the chosen folder's pictures with thumbnails; remembers the folder of
// the pick for each purpose.
#pragma once

#include "Core/Geometry.h"
#include "Dialogs/SettingsDialog.h"

#include <string>

class CFolderTreeCtrl;
class CImageListCtrl;

// Where the controls go for a client area of W x H, OK and Cancel keeping
// their sizes.
struct SelectImageLayout
{
    Rect ok;
    Rect cancel;
    Rect tree;
    Rect list;
};
SelectImageLayout ComputeSelectImageLayout(int width, int height, int okWidth, int okHeight, int cancelWidth,
                                           int cancelHeight);

class CSelectImageDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    static constexpr int kPurposeInsertFrame = 0;
    static constexpr int kPurposeBackground = 1;
    static constexpr int kMinimumWidth = 600;
    static constexpr int kMinimumHeight = 400;

    // Any purpose other than 0 counts as 1.
    CSelectImageDialog(IDialogShell& shell, int purpose, QWidget* parent = nullptr);
    ~CSelectImageDialog() override;

    // The full path of the chosen picture; empty when none.
    const std::string& GetChosenPath() const { return m_chosenPath; }
    // The folder the tree starts from: the stored one, else the program's
    // "Image" folder, else the user's pictures folder, else home; each only
    // when it is a folder.
    std::string StartFolder() const;

    CFolderTreeCtrl* FolderTree() const { return m_tree; }
    CImageListCtrl* ImageList() const { return m_list; }

    void accept() override;

protected:
    void OnInitDialog() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayoutControls();
    void OnFolderSelected();
    void TakeSelectedFile();

    int m_purpose;
    CFolderTreeCtrl* m_tree;
    CImageListCtrl* m_list;
    std::string m_chosenPath;
};
