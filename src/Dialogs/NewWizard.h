// The new-layout wizard: the sheet, the common base of its pages (title band
// and side picture) and the start page that asks what to make.
#pragma once

#include <QFont>
#include <QWizard>
#include <QWizardPage>

#include <string>

class IDialogShell;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QRadioButton;

// Page indexes of the full wizard.
enum WizardPageIndex { kStartPage = 0, kPaperPage = 1, kCameraPaperPage = 2, kExistingPage = 3 };

// The wizard's button ids, so that the sheet's localisation captions them.
constexpr int kWizardBackId = 0x3023;
constexpr int kWizardNextId = 0x3024;
constexpr int kWizardFinishId = 0x3025;
constexpr int kWizardCancelId = 2;

class CNewWizard;

class CWizardDialog : public QWizardPage
{
    Q_OBJECT
public:
    CWizardDialog(IDialogShell& shell, int dialogId, int titleCaption, int sidePictureId);

    int DialogId() const { return m_dialogId; }
    const QString& PageTitle() const { return m_pageTitle; }
    int SidePictureId() const { return m_sidePictureId; }
    // Page placement and localisation, on every activation.
    virtual void OnSetActive();
    // The pages after the start page end the wizard.
    int nextId() const override { return -1; }

    // The band's title font: entry 2 of "Font", MulDiv(size, 96, 72) pixels, bold.
    static QFont TitleFont(const std::string& localizeIniPath);

protected:
    void paintEvent(QPaintEvent* event) override;
    // What a page draws over the title band and side picture.
    virtual void PaintPage(class QPainter&) {}
    // Draws a control's picture at the top-left corner of its placeholder.
    void DrawIconAt(QPainter& painter, int iconId, int placeholderId);
    void DrawBitmapAt(QPainter& painter, int bitmapId, int placeholderId);
    QWidget* Control(int controlId) const;
    CNewWizard* Sheet() const;

    IDialogShell& m_shell;

private:
    int m_dialogId;
    QString m_pageTitle;
    int m_sidePictureId;
};

class CSelectStartDialog : public CWizardDialog
{
    Q_OBJECT
public:
    explicit CSelectStartDialog(IDialogShell& shell);

    void initializePage() override;
    void OnSetActive() override;
    bool validatePage() override;
    int nextId() const override;
    // The sheet's cancel: the value the setting had when the page began.
    void OnCancel();
    bool IsInitialized() const { return m_initialized; }

protected:
    void PaintPage(QPainter& painter) override;

private:
    void MoveUp(int controlId, int pictureId, int aboveId);
    void MoveDown(int controlId, int pictureId, int belowId);

    QRadioButton* m_photo;
    QRadioButton* m_camera;
    QRadioButton* m_existing;
    QCheckBox* m_showAtNextStart;
    int m_showValue = 0;
    int m_initialShowValue = 0;
    bool m_initialized = false;
};

class CNewWizard : public QWizard
{
    Q_OBJECT
public:
    // `owner`: the main window, which owns the single-page modes.
    CNewWizard(IDialogShell& shell, QWidget* owner);

    // Adds the pages of the mode and localises the sheet, without running it.
    void Prepare(int startMode);
    // Prepare, then runs modally; the framework's result.
    int DoModal(int startMode);
    int GetStartMode() const { return m_startMode; }
    void ShowPage(int index);
    void reject() override;

private:
    void OnPageChanged(int id);

    IDialogShell& m_shell;
    QWidget* m_owner;
    int m_startMode = 0;
};
