// The image-information dialog: which shooting data an insert-photo frame
// prints beside the photo, and the face, size and colour of that text.
#pragma once

#include "Dialogs/SettingsDialog.h"
#include "Layout/LayoutDialogs.h"

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;

class CSetImageInfoDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    using ColorChooser = std::function<bool(COLORREF&)>;

    CSetImageInfoDialog(IDialogShell& shell, ColorChooser chooseColor, QWidget* parent = nullptr);

    // Filled before the dialog runs, read after OK; `infoValue` is the text colour.
    void SetValues(const ImageInfoValues& values) { m_values = values; }
    const ImageInfoValues& GetValues() const { return m_values; }

    QCheckBox* Box(int controlId) const;
    QComboBox* FaceList() const { return m_faces; }
    QButtonGroup* SizeGroup() const { return m_sizes; }
    QPushButton* ColorButton() const { return m_color; }

    void accept() override;

protected:
    void OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;

private:
    ImageInfoValues m_values;
    ColorChooser m_chooseColor;
    QComboBox* m_faces;
    QButtonGroup* m_sizes;
    QPushButton* m_color;
};

// The layout model's dialogs with this one, the text dialog and the
// picture-range dialog real; every other member goes to the dialogs it wraps
// (none: cancelled, no colour, 96 pixels per inch).
class DialogsLayoutDialogs : public ILayoutDialogs
{
public:
    DialogsLayoutDialogs(IDialogShell& shell, ILayoutDialogs* inner) : m_shell(shell), m_inner(inner) {}

    bool ChooseColor(COLORREF& color) override;
    int RunStringItemFontDialog(StringItemFontValues& values) override;
    int RunPictureTransparencyDialog(CImageFrameItem& item) override;
    int RunPictureRangeDialog(CImageFrameItem& item) override;
    int RunSelectImageDialog(int mode, std::string& path) override;
    int RunSetImageInfoDialog(ImageInfoValues& values) override;
    int GetScreenLogPixelsY() override;

private:
    IDialogShell& m_shell;
    ILayoutDialogs* m_inner;
};
