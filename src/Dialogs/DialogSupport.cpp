#include "Dialogs/DialogSupport.h"

#include "App/MessageBoxes.h"
#include "Core/DialogLayout.h"
#include "Core/LocalizeScript.h"
#include "Core/Units.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DigitEdit.h"
#include "ImageProcessing/ImageIcon.h"
#include "Platform/DialogLayoutTarget.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cctype>

void LocalizeDialog(QWidget* dialog, int dialogId, IDialogShell& shell)
{
    const QFont font = shell.GetUIFont();
    CWidgetDialogLayout target(dialog, &font);
    SetupDialogLayout(dialogId, target, shell.GetLocalizeIniPath());
}

std::string LocalizedText(IDialogShell& shell, int textId)
{
    std::string text;
    CLocalizeScript(shell.GetLocalizeIniPath()).GetCaption(textId, text);
    return text;
}

std::string FormatRangeText(std::string text, const std::string& lower, const std::string& upper)
{
    std::size_t from = 0;
    for (const std::string* bound : {&lower, &upper}) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, *bound);
        from = at + bound->size();
    }
    return text;
}

void ShowRangeMessage(IDialogShell& shell, const std::string& lower, const std::string& upper)
{
    shell.ShowMessageText(FormatRangeText(LocalizedText(shell, 164), lower, upper), MB_ICONSTOP);
}

float LayoutToUnit(int length, int unit)
{
    auto value = static_cast<float>(length);
    if (unit == kUnitMillimetres)
        PixelsToMM(kLayoutResolution, &value);
    else if (unit == kUnitInches)
        PixelsToInches(kLayoutResolution, &value);
    return value;
}

int UnitToLayout(double value, int unit)
{
    auto converted = static_cast<float>(value);
    if (unit == kUnitMillimetres)
        MMToPixels(kLayoutResolution, &converted);
    else if (unit == kUnitInches)
        InchesToPixels(kLayoutResolution, &converted);
    return RoundHalfAway(converted);
}

int UnitLabelTextId(int unit)
{
    return unit == kUnitMillimetres ? 199 : unit == kUnitInches ? 200 : 104;
}

void SetupLengthEdit(CDigitEdit& edit, int unit, int pixelChars, int mmChars)
{
    const bool pixels = unit == kUnitPixels;
    edit.SetIntegerOnly(pixels);
    edit.SetDecimals(pixels ? -1 : 3);
    edit.setMaxLength(pixels ? pixelChars : unit == kUnitMillimetres ? mmChars : 6);
}

void ShowLengthIn(CDigitEdit& edit, int length, int unit, bool& guard)
{
    guard = true;
    edit.setText(QString::fromStdString(FormatFixed(LayoutToUnit(length, unit), 6)));
    guard = false;
    edit.Validate();
}

std::string CaseBlindWildcards(std::string_view patterns)
{
    std::string out;
    bool newPattern = true;
    for (const char c : patterns) {
        if (c == ';' || c == ' ') {
            newPattern = true;
            continue;
        }
        if (newPattern && !out.empty())
            out += ' ';
        newPattern = false;
        const auto u = static_cast<unsigned char>(c);
        if (std::isalpha(u)) {
            out += '[';
            out += static_cast<char>(std::tolower(u));
            out += static_cast<char>(std::toupper(u));
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

void PaintLeftBitmap(QWidget* dialog, QPainter& painter, int bitmapId)
{
    const QImage bitmap = LoadBitmapResourcePicture(bitmapId);
    if (bitmap.isNull())
        return;
    const int height = dialog->height();
    const int top = height - bitmap.height();
    if (top > 0)
        painter.fillRect(0, 0, bitmap.width(), top, Qt::white);
    painter.drawImage(0, top, bitmap);
}
