#include "App/support/StandInDocumentUi.h"

#include "App/AppSettings.h"
#include "App/SaveChecks.h"
#include "App/SaveFileDialog.h"
#include "App/ZAVEditorDoc.h"
#include "Core/Path.h"
#include "Script/HeaderSection.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QComboBox* DirectionBox(QWidget* parent, int current)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("Direction"));
    box->addItem(QStringLiteral("Vertical"), 0);
    box->addItem(QStringLiteral("Horizontal"), 1);
    box->setCurrentIndex(current == 1 ? 1 : 0);
    return box;
}

QDialogButtonBox* FinishButtons(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

void RunPaperPage(CZAVEditorDoc& document, QWidget* parent, AppSettings& settings)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("NewWizard"));
    auto* form = new QFormLayout(&dialog);
    auto* papers = new QComboBox(&dialog);
    papers->setObjectName(QStringLiteral("PaperSize"));
    for (const PaperSizeEntry& entry : document.GetPaperSizeList()) {
        papers->addItem(QString::fromStdString(entry.name), entry.paperId);
        if (entry.paperId == settings.GetSingleZAVDefaultPaperSize())
            papers->setCurrentIndex(papers->count() - 1);
    }
    QComboBox* direction = DirectionBox(&dialog, settings.GetSingleZAVDefaultPaperDirection());
    form->addRow(papers);
    form->addRow(direction);
    form->addRow(FinishButtons(&dialog));
    if (dialog.exec() != QDialog::Accepted || papers->currentIndex() < 0)
        return;
    const int paper = papers->currentData().toInt();
    const int turn = direction->currentData().toInt();
    const int margin = settings.GetSingleZAVDefaultPaperMargin();
    document.NewSingleLayout(paper, turn, margin);
    document.SetDSCLayout(0);
    settings.SetSingleZAVDefaultPaperSize(paper);
    settings.SetSingleZAVDefaultPaperDirection(turn);
    settings.SetSingleZAVDefaultPaperMargin(margin);
}

void RunCameraPage(CZAVEditorDoc& document, QWidget* parent, AppSettings& settings)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("NewWizard"));
    auto* form = new QFormLayout(&dialog);
    QComboBox* direction = DirectionBox(&dialog, settings.GetDSCZAVDefaultPaperDirection());
    form->addRow(direction);
    form->addRow(FinishButtons(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int turn = direction->currentData().toInt();
    document.NewDSCLayout(turn);
    settings.SetDSCZAVDefaultPaperDirection(turn);
    document.SetDSCLayout(1);
}

} // namespace

void StandInDocumentUi::RunNewWizard(CZAVEditorDoc& document, QWidget* parent, int startMode)
{
    AppSettings& settings = document.Settings();
    if (startMode == 2) {
        RunCameraPage(document, parent, settings);
    } else if (startMode == 3) {
        const QString path = QFileDialog::getOpenFileName(
            parent, QString(), QString::fromStdString(settings.GetLoadLayoutFolder()),
            QStringLiteral("Layouts (*.zvd *.usd *.usm *.fdp)"));
        if (!path.isEmpty())
            document.OnOpenDocument(path.toStdString());
    } else {
        RunPaperPage(document, parent, settings);
    }
}

int StandInDocumentUi::RunSelectSaveDialog(CZAVEditorDoc& document, QWidget* parent, int askBeforeDiscard)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("SelectSave"));
    auto* layout = new QVBoxLayout(&dialog);
    const std::string path = document.GetPathName();
    const std::string own = AsciiLower(GetFileExtension(path));
    const bool ownFormat = own == ".usd" || own == ".usm" || own == ".fdp";
    QRadioButton* ownChoice = nullptr;
    if (ownFormat) {
        ownChoice = new QRadioButton(QString::fromStdString(own), &dialog);
        ownChoice->setObjectName(QStringLiteral("OwnFormat"));
        ownChoice->setChecked(true);
        layout->addWidget(ownChoice);
    }
    auto* documentChoice = new QRadioButton(QStringLiteral(".zvd"), &dialog);
    documentChoice->setObjectName(QStringLiteral("EditorDocument"));
    documentChoice->setChecked(!ownFormat);
    layout->addWidget(documentChoice);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QDialogButtonBox::Save);
    if (askBeforeDiscard)
        buttons->addButton(QDialogButtonBox::Discard);
    buttons->addButton(QDialogButtonBox::Cancel);
    int end = kSaveDialogCancel;
    QObject::connect(buttons, &QDialogButtonBox::clicked, &dialog, [&](QAbstractButton* button) {
        const QDialogButtonBox::StandardButton which = buttons->standardButton(button);
        end = which == QDialogButtonBox::Save      ? kSaveDialogSaved
              : which == QDialogButtonBox::Discard ? kSaveDialogNoSave
                                                   : kSaveDialogCancel;
        dialog.done(end);
    });
    layout->addWidget(buttons);
    dialog.exec();
    if (end != kSaveDialogSaved)
        return end;
    bool saved = false;
    if (ownChoice && ownChoice->isChecked()) {
        saved = document.CheckSavable() && document.CheckSaveDestination(own, path, 1) == 0 &&
                document.OnSaveDocument(path);
    } else {
        saved = document.SaveAs(".zvd", path, true);
    }
    return saved ? kSaveDialogSaved : kSaveDialogCancel;
}

bool StandInDocumentUi::RunHeaderInfoDialog(CZAVEditorDoc& document, QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("HeaderInfo"));
    auto* form = new QFormLayout(&dialog);
    auto* title = new QLineEdit(QString::fromStdString(document.GetTitle()), &dialog);
    auto* author = new QLineEdit(QString::fromStdString(document.GetAuthor()), &dialog);
    auto* comment = new QLineEdit(QString::fromStdString(document.GetComment()), &dialog);
    title->setObjectName(QStringLiteral("Title"));
    author->setObjectName(QStringLiteral("Author"));
    comment->setObjectName(QStringLiteral("Comment"));
    form->addRow(QStringLiteral("Title"), title);
    form->addRow(QStringLiteral("Author"), author);
    form->addRow(QStringLiteral("Comment"), comment);
    auto* buttons = FinishButtons(&dialog);
    form->addRow(buttons);
    // A text the header cannot hold keeps the dialog open.
    QObject::disconnect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        for (QLineEdit* edit : {title, author, comment})
            if (!IsValidHeaderText(edit->text().toStdString())) {
                edit->setFocus();
                edit->selectAll();
                return;
            }
        dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted)
        return false;
    document.SetTitle(title->text().toStdString());
    document.SetAuthor(author->text().toStdString());
    document.SetComment(comment->text().toStdString());
    return true;
}

std::optional<std::string> StandInDocumentUi::RunSaveFileDialog(QWidget* parent, const std::string& title,
                                                                const std::string& filter,
                                                                const std::string& proposal)
{
    return RunPlatformSaveFileDialog(parent, title, filter, proposal);
}
