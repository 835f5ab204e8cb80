#include "Dialogs/SelectImageDialog.h"

#include "App/AppSettings.h"
#include "Core/Files.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/FolderTreeCtrl.h"
#include "Dialogs/ImageListCtrl.h"
#include "ImageProcessing/ImageIcon.h"
#include "Platform/DialogLayoutTarget.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>

namespace {

constexpr int kTreeId = 1320;
constexpr int kListId = 1302;
constexpr int kIconId = 261;
constexpr int kMargin = 10;

QRect ToQRect(const Rect& rect)
{
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

} // namespace

SelectImageLayout ComputeSelectImageLayout(int width, int height, int okWidth, int okHeight, int cancelWidth,
                                           int cancelHeight)
{
    SelectImageLayout layout;
    const int okRight = width / 2 - 5;
    layout.ok = Rect{okRight - okWidth, height - kMargin - okHeight, okRight, height - kMargin};
    const int cancelLeft = okRight + kMargin;
    layout.cancel =
        Rect{cancelLeft, height - kMargin - cancelHeight, cancelLeft + cancelWidth, height - kMargin};
    const int bottom = layout.ok.top - kMargin;
    layout.tree = Rect{kMargin, kMargin, width / 3, bottom};
    layout.list = Rect{layout.tree.right + kMargin, kMargin, width - kMargin, bottom};
    return layout;
}

CSelectImageDialog::CSelectImageDialog(IDialogShell& shell, int purpose, QWidget* parent)
    : CSettingsDialog(shell, 144, parent),
      m_purpose(purpose == kPurposeInsertFrame ? purpose : kPurposeBackground),
      m_tree(AddControl(new CFolderTreeCtrl(this), kTreeId)),
      m_list(AddControl(new CImageListCtrl(this), kListId))
{
    OkButton()->resize(80, 26);
    CancelButton()->resize(80, 26);
    const CImageIcon icon = LoadIconResourcePicture(kIconId);
    if (!icon.IsNull())
        setWindowIcon(QIcon(QPixmap::fromImage(icon.GetPicture())));
    Localize();
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    connect(m_tree, &CFolderTreeCtrl::FolderSelected, this, &CSelectImageDialog::OnFolderSelected);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CSelectImageDialog::TakeSelectedFile);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        TakeSelectedFile();
        if (!m_chosenPath.empty())
            accept();
    });
}

CSelectImageDialog::~CSelectImageDialog() = default;

std::string CSelectImageDialog::StartFolder() const
{
    AppSettings& settings = m_shell.Settings();
    const std::string stored = m_purpose == kPurposeInsertFrame ? settings.GetLoadImageFolderForInsertFrame()
                                                                : settings.GetLoadImageFolderForBkFrame();
    // The program's picture folder is the stored default; where it or the
    // stored folder is gone, the user's own pictures are the likely place.
    const std::string candidates[] = {
        stored, m_shell.GetProgramFolder() + "Image",
        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation).toStdString()};
    for (const std::string& folder : candidates)
        if (!folder.empty() && IsDirectory(folder))
            return folder;
    return QDir::homePath().toStdString();
}

void CSelectImageDialog::OnInitDialog()
{
    m_tree->Init();
    // Quiet until the list exists: the first filling follows below.
    {
        const QSignalBlocker quiet(m_tree);
        m_tree->SelectFolder(StartFolder());
    }
    m_list->Init();
    OnFolderSelected();

    resize(kMinimumWidth, kMinimumHeight);
    QRect placed = frameGeometry();
    const QWidget* owner = m_shell.MainWindow();
    if (owner && owner->isVisible()) {
        placed.moveCenter(owner->frameGeometry().center());
        move(placed.topLeft());
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
    LayoutControls();
}

void CSelectImageDialog::resizeEvent(QResizeEvent* event)
{
    CSettingsDialog::resizeEvent(event);
    LayoutControls();
}

void CSelectImageDialog::LayoutControls()
{
    const QSize ok = OkButton()->size();
    const QSize cancel = CancelButton()->size();
    const SelectImageLayout layout =
        ComputeSelectImageLayout(width(), height(), ok.width(), ok.height(), cancel.width(), cancel.height());
    OkButton()->setGeometry(ToQRect(layout.ok));
    CancelButton()->setGeometry(ToQRect(layout.cancel));
    m_tree->setGeometry(ToQRect(layout.tree));
    m_list->setGeometry(ToQRect(layout.list));
}

void CSelectImageDialog::OnFolderSelected()
{
    m_list->SetFolder(m_tree->GetSelectedFolderPath());
    m_list->FillFromFolder();
    TakeSelectedFile();
}

void CSelectImageDialog::TakeSelectedFile()
{
    m_chosenPath = m_list->GetSelectedFilePath();
    OkButton()->setEnabled(!m_chosenPath.empty());
}

void CSelectImageDialog::accept()
{
    const std::string folder = m_tree->GetSelectedFolderPath();
    AppSettings& settings = m_shell.Settings();
    if (m_purpose == kPurposeInsertFrame)
        settings.SetLoadImageFolderForInsertFrame(&folder);
    else
        settings.SetLoadImageFolderForBkFrame(&folder);
    CSettingsDialog::accept();
}
