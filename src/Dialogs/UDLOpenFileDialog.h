// CUDLOpenFileDialog: the file dialog that opens a layout, with a preview
// beside the files: the selected layout's thumbnail in a 122 x 122 picture
// and, under it, its title and its paper (or the camera-layout text). It
// remembers the folder and the file type in the settings.
#pragma once

#include "ImageProcessing/Image.h"

#include <QFileDialog>
#include <QImage>

#include <string>

class IDialogShell;
class QWidget;

class CUDLOpenFileDialog : public QFileDialog
{
    Q_OBJECT
public:
    static constexpr int kDialogId = 135;
    static constexpr int kPictureId = 2130;
    static constexpr int kTextId = 2131;
    static constexpr int kPreviewSide = 122;

    explicit CUDLOpenFileDialog(IDialogShell& shell, QWidget* parent = nullptr);
    ~CUDLOpenFileDialog() override;

    // Runs the dialog: 1 for OK (the folder and the file type are then
    // stored), 0 otherwise.
    int DoModal();
    // The chosen file after OK.
    std::string GetPathName() const { return m_chosen; }

    // The preview of the current path, made again.
    void UpdatePreview();
    // The preview of the path (a file of any kind, a folder or nothing).
    void ShowPreviewOf(const std::string& path);
    void UpdateInfoText();

    // What the preview shows.
    const CImage& PreviewImage() const { return m_preview; }
    const QImage& InfoImage() const { return m_info; }
    const std::string& FirstText() const { return m_firstText; }
    const std::string& SecondText() const { return m_secondText; }
    // The folder the ".fdp" preview works in, a subfolder of the temporary
    // package folder, so that other users of that folder are left alone.
    static std::string PreviewFolder();

private:
    // Title, file types, the file type and the start folder, before the run.
    void Prepare();
    void BuildSidePanel();
    // The file type chosen, from 1; 0 when none is.
    int CurrentTypeIndex() const;
    // The path the dialog has selected now; empty for none or a folder.
    std::string CurrentPath() const;
    // The thumbnail file fitted into the preview; false when it cannot be loaded.
    bool ShowThumbnail(const std::string& path);
    void ResetPreview();

    IDialogShell& m_shell;
    CImage m_preview;
    QImage m_info;
    std::string m_firstText;
    std::string m_secondText;
    std::string m_chosen;
    QWidget* m_picture = nullptr;
    QWidget* m_text = nullptr;
};
