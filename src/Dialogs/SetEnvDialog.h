// The environment dialog: the opening screen and the wizard at start-up, the
// display unit, and the picture new insert-photo frames show. A picture of
// the user's own is checked, previewed, and on OK copied into the editor's
// insert-frame image folder for the document's frame prototype.
#pragma once

#include "Dialogs/SettingsDialog.h"
#include "ImageProcessing/Image.h"

#include <string>

class QButtonGroup;
class QCheckBox;
class QPushButton;

class CSetEnvDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    // Refusals of a picture.
    enum PreviewRefusal : int { PreviewOk = 0, TooLarge = 1, TooSmall = 2, TooLong = 3, Unreadable = 4 };

    explicit CSetEnvDialog(IDialogShell& shell, QWidget* parent = nullptr);

    // Loads the picture into the preview; with `messages` a refusal is reported.
    int LoadPreview(const std::string& path, bool messages);
    const std::string& GetImagePath() const { return m_path; }
    int GetImageMode() const { return m_mode; }
    const CImage& GetPreview() const { return m_preview; }

    QCheckBox* OpeningBox() const { return m_opening; }
    QCheckBox* WizardBox() const { return m_wizard; }
    QButtonGroup* UnitGroup() const { return m_units; }
    QButtonGroup* ModeGroup() const { return m_modes; }
    QPushButton* BrowseButton() const { return m_browse; }
    QWidget* PreviewArea() const { return m_previewArea; }

    void OnBrowse();
    void accept() override;
    // The preview area as painted.
    void PaintPreview(QPainter& painter, const QRect& area);

protected:
    void OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ReadControls();
    void UpdateButtons();
    // The user's picture into the folder and the prototype, or the prototype back to the default.
    void ApplyUserImage();

    int m_showOpening = 0;
    int m_showWizard = 0;
    int m_unit = 0;
    int m_mode = 3;
    std::string m_path;
    CImage m_preview;
    QCheckBox* m_opening;
    QCheckBox* m_wizard;
    QButtonGroup* m_units;
    QButtonGroup* m_modes;
    QPushButton* m_browse;
    QWidget* m_previewArea;
};

// The first picture (".bmp", ".jpg", ".jpeg" in any case) among the files of the folder, or empty.
std::string FindFirstPictureFile(const std::string& folder);
