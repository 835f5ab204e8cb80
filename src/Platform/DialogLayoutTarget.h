// What dialog localisation does to a dialog: size its client area, set its
// title and font, place and caption its controls. IDialogLayoutTarget keeps
// the reading side free of widgets; CWidgetDialogLayout does it to a Qt dialog.
#pragma once

#include <memory>
#include <string>

class QFont;
class QWidget;

class IDialogLayoutTarget
{
public:
    virtual ~IDialogLayoutTarget() = default;
    virtual void SetClientSize(int width, int height) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // The interface font on the dialog and every control.
    virtual void ApplyFont() = 0;
    // The dialog's controls (descendants included), each with its control id.
    virtual int ControlCount() const = 0;
    virtual int ControlId(int index) const = 0;
    // Position and size in the dialog's client area.
    virtual void PlaceControl(int index, int x, int y, int width, int height) = 0;
    virtual void SetControlText(int index, const std::string& text) = 0;
    // Last: widens (a word-wrapped label: heightens) each control whose text
    // needs more room than the stored size gives, moves what lies beyond it
    // out of the way and grows the dialog to match. The stored sizes were
    // measured in another platform's font.
    virtual void FitControlsToTexts() = 0;
};

// A control's id is the widget's "controlId" property; widgets without one are
// not laid out (they still get the font).
void SetControlId(QWidget* widget, int controlId);
// -1 when the widget has none.
int GetControlId(const QWidget* widget);

class CWidgetDialogLayout : public IDialogLayoutTarget
{
public:
    // `font` may be null: the dialog then keeps its font.
    CWidgetDialogLayout(QWidget* dialog, const QFont* font);
    ~CWidgetDialogLayout() override;

    void SetClientSize(int width, int height) override;
    void SetTitle(const std::string& title) override;
    void ApplyFont() override;
    int ControlCount() const override;
    int ControlId(int index) const override;
    void PlaceControl(int index, int x, int y, int width, int height) override;
    void SetControlText(int index, const std::string& text) override;
    void FitControlsToTexts() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
