#include "Dialogs/StringItemFontDialog.h"

#include "App/FontCatalogue.h"
#include "App/MessageBoxes.h"
#include "App/QtTranslation.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/FontChoices.h"
#include "Dialogs/HeaderInfoDialog.h"
#include "Dialogs/SetShadowDialog.h"
#include "Dialogs/ShiftJisEdit.h"
#include "Platform/DialogLayoutTarget.h"
#include "Platform/ShiftJis.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int kSamplePoints = 9;
constexpr int kSampleTextId = 3216;

// The sample of the chosen font: a text of the localisation file drawn in it.
class FontSample : public QWidget
{
public:
    using QWidget::QWidget;
    void Show(const QFont& font, const QString& text)
    {
        m_font = font;
        m_text = text;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setFont(m_font);
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, m_text);
    }

private:
    QFont m_font;
    QString m_text;
};

// A style's weight and slant in one item datum.
int StyleKey(int weight, bool italic)
{
    return weight * 2 + (italic ? 1 : 0);
}

QColor ToQColor(COLORREF color)
{
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

QPushButton* MakeButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    return button;
}

} // namespace

void PaintColorSwatch(QPainter& painter, const QRect& rect, COLORREF color)
{
    const QPalette palette;
    const QColor shadow = palette.color(QPalette::Dark);
    const QColor highlight = palette.color(QPalette::Light);
    const int right = rect.x() + rect.width() - 1;
    const int bottom = rect.y() + rect.height() - 1;
    painter.setPen(shadow);
    painter.drawLine(rect.x(), rect.y(), right, rect.y());
    painter.drawLine(rect.x(), rect.y(), rect.x(), bottom);
    painter.setPen(highlight);
    painter.drawLine(rect.x(), bottom, right, bottom);
    painter.drawLine(right, rect.y(), right, bottom);
    const QRect inside(QPoint(rect.x() + 2, rect.y() + 2), QPoint(right - 1, bottom - 2));
    painter.fillRect(inside, ToQColor(color));
}

CStringItemFontDialog::CStringItemFontDialog(IDialogShell& shell, IFontCatalogue& fonts, int screenDpi,
                                             ColorChooser chooseColor, QWidget* parent)
    : CSettingsDialog(shell, 1543, parent), m_fonts(fonts), m_dpi(screenDpi > 0 ? screenDpi : 96),
      m_chooseColor(std::move(chooseColor)), m_language(ProgramLanguage(shell.GetLocalizeIniPath()))
{
    AddControl(new QLabel(QStringLiteral("Font:"), this), 3230);
    m_face = AddControl(new QComboBox(this), 1136);
    m_face->setEditable(true);
    m_face->setInsertPolicy(QComboBox::NoInsert);
    AddControl(new QLabel(QStringLiteral("Style:"), this), 3231);
    m_style = AddControl(new QComboBox(this), 1137);
    AddControl(new QLabel(QStringLiteral("Size:"), this), 3232);
    m_size = AddControl(new QComboBox(this), 1138);
    m_size->setEditable(true);
    m_size->setInsertPolicy(QComboBox::NoInsert);
    m_size->lineEdit()->setMaxLength(3);
    AddControl(new QLabel(QStringLiteral("Script:"), this), 3233);
    m_script = AddControl(new QComboBox(this), 1140);
    AddControl(new QGroupBox(QStringLiteral("Sample"), this), 3234);
    m_sample = AddControl(new FontSample(this), 1092);
    AddControl(new QLabel(QStringLiteral("Text:"), this), 3235);
    m_text = AddControl(new CShiftJisEdit(kMaxTextBytes, this), 1471);
    m_shadowOn = AddControl(new QCheckBox(QStringLiteral("Shadow"), this), 1130);
    m_backOn = AddControl(new QCheckBox(QStringLiteral("Background colour"), this), 1131);
    m_vertical = AddControl(new QCheckBox(QStringLiteral("Vertical writing"), this), 1132);
    m_textColorButton = AddControl(MakeButton(QStringLiteral("Text colour..."), this), 1220);
    m_shadowButton = AddControl(MakeButton(QStringLiteral("Shadow..."), this), 1211);
    m_backColorButton = AddControl(MakeButton(QStringLiteral("Background colour..."), this), 1213);
    for (int swatch : {2140, 2141, 2142})
        AddControl(new QWidget(this), swatch);

    // The boxes' "leaving" is their line edit losing the focus.
    m_face->lineEdit()->installEventFilter(this);
    m_size->lineEdit()->installEventFilter(this);
    connect(m_face, &QComboBox::activated, this, [this](int index) {
        if (m_filling || index < 0)
            return;
        m_faceText = m_face->itemText(index);
        const LOGFONT current = CurrentLogFont();
        FillFaceLists(current.lfWeight, current.lfItalic != 0, current.lfCharSet);
        UpdateSample();
    });
    connect(m_style, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            UpdateSample();
    });
    connect(m_script, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            UpdateSample();
    });
    connect(m_size, &QComboBox::activated, this, [this](int index) {
        if (m_filling || index < 0)
            return;
        m_sizeText = m_size->itemText(index);
        UpdateSample();
    });
    connect(m_text, &QLineEdit::textChanged, this, [this] { OnTextChanged(); });
    connect(m_shadowOn, &QCheckBox::toggled, this, [this] { UpdateButtons(); });
    connect(m_backOn, &QCheckBox::toggled, this, [this] { UpdateButtons(); });
    connect(m_textColorButton, &QPushButton::clicked, this, [this] {
        if (m_chooseColor && m_chooseColor(m_values.textColor))
            update();
    });
    connect(m_backColorButton, &QPushButton::clicked, this, [this] {
        if (m_chooseColor && m_chooseColor(m_values.backColor))
            update();
    });
    connect(m_shadowButton, &QPushButton::clicked, this, [this] { ChooseShadow(); });
    Localize();
}

void CStringItemFontDialog::SetValues(const StringItemFontValues& values)
{
    m_values = values;
}

void CStringItemFontDialog::OnInitDialog()
{
    FillFaces();
    SetLogFont(m_values.font);
    if (m_face->currentIndex() < 0 && m_face->count() > 0) {
        m_values.font.lfFaceName = m_face->itemText(0).toStdString();
        SetLogFont(m_values.font);
    }
    m_initialSizeText = m_size->currentText();
    m_initialStyleKey = m_style->currentData().toInt();
    m_initialScriptKey = m_script->currentData().toInt();
    m_faceText = m_face->currentText();
    m_sizeText = m_initialSizeText;
    // A text from elsewhere longer than the files hold is cut like one typed.
    m_text->setText(QString::fromStdString(CutToShiftJisBytes(m_values.text, kMaxTextBytes)));
    m_shadowOn->setChecked(m_values.shadow);
    m_backOn->setChecked(m_values.backColorOn);
    m_vertical->setChecked(m_values.vertical);
    UpdateButtons();
    UpdateSample();
    OkButton()->setEnabled(!m_text->text().isEmpty());
}

void CStringItemFontDialog::FillFaces()
{
    m_filling = true;
    m_face->clear();
    for (const std::string& name : StorableFaceNames(m_fonts))
        m_face->addItem(QString::fromStdString(name));
    m_filling = false;
}

void CStringItemFontDialog::SelectFace(const QString& face)
{
    m_filling = true;
    const int index = m_face->findText(face, Qt::MatchFixedString);
    m_face->setCurrentIndex(index);
    if (index < 0)
        m_face->setEditText(QString());
    m_filling = false;
}

void CStringItemFontDialog::FillFaceLists(int weight, bool italic, std::uint8_t charSet)
{
    const QString family = m_face->currentText();
    m_filling = true;
    m_style->clear();
    for (const FontStyleChoice& style : FontStylesOf(family))
        m_style->addItem(style.label, StyleKey(style.weight, style.italic));
    const QString sizeText = m_size->currentText();
    m_size->clear();
    for (int points : FontPointSizesOf(family))
        m_size->addItem(QString::number(points));
    m_size->setEditText(sizeText);
    m_script->clear();
    for (const FontScriptChoice& script : FontScriptsOf(family, charSet, m_language))
        m_script->addItem(script.name, static_cast<int>(script.charSet));
    m_filling = false;
    SelectStyle(weight, italic);
    SelectScript(charSet);
}

void CStringItemFontDialog::SelectStyle(int weight, bool italic)
{
    // The style nearest in weight with the same slant, as the font system matches.
    int best = -1;
    int bestScore = 0;
    for (int i = 0; i < m_style->count(); ++i) {
        const int key = m_style->itemData(i).toInt();
        const int score =
            std::abs(key / 2 - (weight > 0 ? weight : 400)) + ((key % 2 != 0) != italic ? 10000 : 0);
        if (best < 0 || score < bestScore) {
            best = i;
            bestScore = score;
        }
    }
    m_filling = true;
    m_style->setCurrentIndex(best);
    m_filling = false;
}

void CStringItemFontDialog::SelectScript(std::uint8_t charSet)
{
    m_filling = true;
    const int index = m_script->findData(static_cast<int>(charSet));
    m_script->setCurrentIndex(index >= 0 ? index : 0);
    m_filling = false;
}

void CStringItemFontDialog::SetLogFont(const LOGFONT& font)
{
    SelectFace(QString::fromStdString(font.lfFaceName));
    m_size->setEditText(font.lfHeight != 0 ? QString::number(HeightToPoints(font.lfHeight, m_dpi))
                                           : QString());
    FillFaceLists(font.lfWeight, font.lfItalic != 0, font.lfCharSet);
    UpdateSample();
}

LOGFONT CStringItemFontDialog::CurrentLogFont() const
{
    LOGFONT font = m_values.font;
    font.lfFaceName = m_face->currentText().toStdString();
    // Like the size, a style or script the user left as shown keeps what
    // the font had: the lists hold only the nearest choices.
    if (m_style->currentIndex() >= 0 && m_style->currentData().toInt() != m_initialStyleKey) {
        const int key = m_style->currentData().toInt();
        font.lfWeight = key / 2;
        font.lfItalic = key % 2;
    }
    // Points and pixels do not convert both ways exactly: an unchanged size
    // keeps its height, so confirming the dialog never moves it.
    const QString sizeText = m_size->currentText();
    if (sizeText != m_initialSizeText) {
        const int points = ReadSizeNumber(sizeText);
        if (points >= 1 && points <= 999)
            font.lfHeight = PointsToHeight(points, m_dpi);
    }
    if (m_script->currentIndex() >= 0 && m_script->currentData().toInt() != m_initialScriptKey)
        font.lfCharSet = static_cast<std::uint8_t>(m_script->currentData().toInt());
    return font;
}

void CStringItemFontDialog::UpdateSample()
{
    const LOGFONT font = CurrentLogFont();
    const QString face = QString::fromStdString(font.lfFaceName);
    m_sampleFont = QFont(face, kSamplePoints);
    m_text->setFont(m_sampleFont);
    m_text->update();

    QFont shown(face);
    shown.setWeight(static_cast<QFont::Weight>(std::clamp(font.lfWeight > 0 ? font.lfWeight : 400, 1, 1000)));
    shown.setItalic(font.lfItalic != 0);
    int points = ReadSizeNumber(m_size->currentText());
    if (points < 1 || points > 999)
        points = ReadSizeNumber(m_sizeText);
    shown.setPointSize(points >= 1 ? points : 12);
    static_cast<FontSample*>(m_sample)->Show(shown,
                                             QString::fromStdString(LocalizedText(m_shell, kSampleTextId)));
}

void CStringItemFontDialog::UpdateButtons()
{
    m_shadowButton->setEnabled(m_shadowOn->isChecked());
    m_backColorButton->setEnabled(m_backOn->isChecked());
}

void CStringItemFontDialog::OnTextChanged()
{
    // Every way in is limited by the box; whatever still passes the limit
    // (an undo of a longer text, say) is cut back at a character boundary.
    const std::string text = m_text->text().toStdString();
    if (ShiftJisByteCount(text) > static_cast<std::size_t>(kMaxTextBytes)) {
        const int caret = m_text->cursorPosition();
        m_text->setText(QString::fromStdString(CutToShiftJisBytes(text, kMaxTextBytes)));
        m_text->setCursorPosition(std::min(caret, static_cast<int>(m_text->text().size())));
    }
    OkButton()->setEnabled(!m_text->text().isEmpty());
}

void CStringItemFontDialog::ValidateFace()
{
    const QString typed = m_face->currentText().trimmed();
    int index = m_face->findText(typed, Qt::MatchFixedString);
    if (index < 0 && !typed.isEmpty())
        index = m_face->findText(typed, Qt::MatchStartsWith);
    if (index < 0) {
        SelectFace(m_faceText);
        return;
    }
    const LOGFONT current = CurrentLogFont();
    m_faceText = m_face->itemText(index);
    SelectFace(m_faceText);
    FillFaceLists(current.lfWeight, current.lfItalic != 0, current.lfCharSet);
    UpdateSample();
}

void CStringItemFontDialog::ValidateSize()
{
    const QString typed = m_size->currentText();
    const int points = ReadSizeNumber(typed);
    if (points < 1 || points > 999) {
        m_size->setEditText(m_sizeText);
        return;
    }
    const QString written = QString::number(points);
    if (written != typed)
        m_size->setEditText(written);
    m_sizeText = written;
    UpdateSample();
}

bool CStringItemFontDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_face->lineEdit())
            ValidateFace();
        else if (watched == m_size->lineEdit())
            ValidateSize();
    }
    return CSettingsDialog::eventFilter(watched, event);
}

void CStringItemFontDialog::ChooseShadow()
{
    CSetShadowDialog dialog(m_shell, m_chooseColor, this);
    dialog.SetShadow(m_values.shadowOffset.x, m_values.shadowOffset.y, m_values.shadowColor);
    if (dialog.exec() == QDialog::Accepted) {
        m_values.shadowOffset.x = dialog.ShadowOffsetX();
        m_values.shadowOffset.y = dialog.ShadowOffsetY();
        m_values.shadowColor = dialog.ShadowColor();
    }
    update();
}

QWidget* CStringItemFontDialog::Swatch(int controlId) const
{
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (GetControlId(child) == controlId)
            return child;
    return nullptr;
}

void CStringItemFontDialog::accept()
{
    // OK may come while a box is still being typed in.
    ValidateFace();
    ValidateSize();
    const std::string text = m_text->text().toStdString();
    if (text.empty())
        return;
    if (!Utf8ToShiftJis(text)) {
        m_shell.ShowLocalizedMessage(kUnstorableTextMessage, MB_ICONSTOP);
        m_text->setFocus();
        m_text->selectAll();
        return;
    }
    m_values.text = text;
    m_values.shadow = m_shadowOn->isChecked();
    m_values.backColorOn = m_backOn->isChecked();
    m_values.vertical = m_vertical->isChecked();
    m_values.font = CurrentLogFont();
    if (m_values.vertical) {
        // Vertical faces are named "@" and the face; one is taken only where it exists.
        const std::string vertical = "@" + m_values.font.lfFaceName;
        if (m_fonts.HasFamily(vertical) && IsStorableFaceName(vertical))
            m_values.font.lfFaceName = vertical;
    }
    QDialog::accept();
}

void CStringItemFontDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintLeftBitmap(this, painter, 412);
    const std::pair<int, COLORREF> swatches[] = {
        {2140, m_values.textColor}, {2141, m_values.shadowColor}, {2142, m_values.backColor}};
    for (const auto& [id, color] : swatches)
        if (QWidget* swatch = Swatch(id))
            PaintColorSwatch(painter, swatch->geometry(), color);
}
