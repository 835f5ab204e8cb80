// The dialog of a text item: its text, font (face, style, size, script),
// colour, vertical writing, a shadow with its own colour and offset, and a
// background colour. Heights are screen pixels at the resolution it is given,
// as the layout model hands them over and takes them back.
#pragma once

#include "Dialogs/SettingsDialog.h"
#include "Layout/LayoutDialogs.h"

#include <QFont>

#include <functional>
#include <string>

class CShiftJisEdit;
class IFontCatalogue;
class QCheckBox;
class QComboBox;
class QPushButton;
class QWidget;

class CStringItemFontDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    using ColorChooser = std::function<bool(COLORREF&)>;

    static constexpr int kMaxTextBytes = 128;

    CStringItemFontDialog(IDialogShell& shell, IFontCatalogue& fonts, int screenDpi, ColorChooser chooseColor,
                          QWidget* parent = nullptr);

    // Filled before the dialog runs, read after OK.
    void SetValues(const StringItemFontValues& values);
    const StringItemFontValues& GetValues() const { return m_values; }

    // Selects the face, style, size and script lists for the font; a face
    // the list lacks leaves the face list without a selection.
    void SetLogFont(const LOGFONT& font);
    // The font the lists show now, over the given one's other fields. The
    // height, weight, slant and character set stay the given one's while
    // their list shows what it showed at the start.
    LOGFONT CurrentLogFont() const;

    QComboBox* FaceBox() const { return m_face; }
    QComboBox* StyleBox() const { return m_style; }
    QComboBox* SizeBox() const { return m_size; }
    QComboBox* ScriptBox() const { return m_script; }
    CShiftJisEdit* TextEdit() const { return m_text; }
    QCheckBox* ShadowCheck() const { return m_shadowOn; }
    QCheckBox* BackColorCheck() const { return m_backOn; }
    QCheckBox* VerticalCheck() const { return m_vertical; }
    QPushButton* TextColorButton() const { return m_textColorButton; }
    QPushButton* ShadowButton() const { return m_shadowButton; }
    QPushButton* BackColorButton() const { return m_backColorButton; }
    // The 9-point font of the text box, in the chosen face.
    const QFont& SampleFont() const { return m_sampleFont; }
    // The last valid face and size texts.
    const QString& LastFaceText() const { return m_faceText; }
    const QString& LastSizeText() const { return m_sizeText; }

    // Leaving the face or size box: what was typed is taken when valid,
    // else the last valid text comes back.
    void ValidateFace();
    void ValidateSize();

    void accept() override;

protected:
    void OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillFaces();
    // The style, size and script lists for the face now chosen.
    void FillFaceLists(int weight, bool italic, std::uint8_t charSet);
    void SelectFace(const QString& face);
    void SelectStyle(int weight, bool italic);
    void SelectScript(std::uint8_t charSet);
    void UpdateSample();
    void UpdateButtons();
    void OnTextChanged();
    void ChooseShadow();
    QWidget* Swatch(int controlId) const;

    IFontCatalogue& m_fonts;
    int m_dpi;
    ColorChooser m_chooseColor;
    // The program's language, which names the character sets.
    std::string m_language;
    StringItemFontValues m_values;
    QString m_initialSizeText;
    int m_initialStyleKey = -1;
    int m_initialScriptKey = -1;
    QString m_faceText;
    QString m_sizeText;
    QFont m_sampleFont;
    bool m_filling = false;

    QComboBox* m_face;
    QComboBox* m_style;
    QComboBox* m_size;
    QComboBox* m_script;
    QWidget* m_sample;
    CShiftJisEdit* m_text;
    QCheckBox* m_shadowOn;
    QCheckBox* m_backOn;
    QCheckBox* m_vertical;
    QPushButton* m_textColorButton;
    QPushButton* m_shadowButton;
    QPushButton* m_backColorButton;
};

// The frame and fill of a colour swatch: a sunken frame around the control's
// rectangle, the colour inside it.
void PaintColorSwatch(QPainter& painter, const QRect& rect, COLORREF color);
