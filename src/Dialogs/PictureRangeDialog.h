// CPictureRangeDialog: the resizable dialog in which the user chooses the part
// of an insert-photo frame's picture that the frame shows. It hosts the
// picture-range view, remembers its window rectangle in the settings and,
// for the rest of the process, the last picture's zoom, checks the range on
// OK and writes it into the frame.
#pragma once

#include "Dialogs/PictureToolDialog.h"

#include <string>

class CInsertImageFrameItem;
class CRangePictureView;
class QToolButton;

class CPictureRangeDialog : public CPictureToolDialog
{
    Q_OBJECT
public:
    static constexpr int kDialogId = 136;

    CPictureRangeDialog(IDialogShell& shell, QWidget* parent = nullptr);
    ~CPictureRangeDialog() override;

    // 3 without an item or a loaded picture; else the dialog's result.
    int DoModalForItem(CInsertImageFrameItem* item);
    // The dialog runs only for an item: a plain run is a cancel.
    int exec() override;

    void accept() override;

    CRangePictureView* View() const { return m_view; }
    QToolButton* ToolButton(int controlId) const;
    int GetMode() const { return m_mode; }

    // The picture and zoom remembered for the next run, shared by every run in the process.
    static std::string LastPictureName();
    static int LastZoom();
    static void ForgetLastPicture();

protected:
    void OnInitDialog() override;
    // The picture and zoom are remembered however the dialog ends.
    void done(int result) override;
    Rect ReadWindowRect() const override;
    void WriteWindowRect(const Rect& rect) override;
    void ScrollPage(bool down) override;

private:
    void InitDialog();
    void OnModeCommand();
    void Remember();

    CRangePictureView* m_view = nullptr;
    CInsertImageFrameItem* m_item = nullptr;
    int m_mode = 0;
    bool m_remembered = false;
};
