#include "Dialogs/UDLOpenFileDialog.h"

#include "App/AppSettings.h"
#include "Core/DialogLayout.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Core/SystemFolders.h"
#include "Core/TempFolders.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/LayoutHeaderReader.h"
#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageDC.h"
#include "ImageProcessing/ImageFile.h"
#include "Platform/DialogLayoutTarget.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr COLORREF kPreviewBackground = RGB(0xC8, 0xC8, 0xDC);
constexpr int kFitSide = 120;
constexpr int kZvdTypeText = 162;
constexpr int kLayoutTypesText = 193;
constexpr int kPackageTypeText = 203;
constexpr int kTitleText = 171;

// Shows a picture the dialog keeps, at its own size from the top-left corner.
class PictureView : public QWidget
{
public:
    PictureView(std::function<QImage()> picture, QWidget* parent)
        : QWidget(parent), m_picture(std::move(picture))
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), m_picture());
    }

private:
    std::function<QImage()> m_picture;
};

QImage ScreenCopy(const CImage& image)
{
    if (!image.IsValid() || !image.GetDC())
        return {};
    return image.GetDC()->ToQImage(0, 0, image.GetWidth(), image.GetHeight());
}

COLORREF ToColorRef(const QColor& colour)
{
    return RGB(colour.red(), colour.green(), colour.blue());
}

std::string LowerExtension(const std::string& path)
{
    return QString::fromStdString(GetFileExtension(path)).toLower().toStdString();
}

std::string NameFilter(IDialogShell& shell, int textId, std::string_view patterns)
{
    return LocalizedText(shell, textId) + " (" + CaseBlindWildcards(patterns) + ")";
}

} // namespace

CUDLOpenFileDialog::CUDLOpenFileDialog(IDialogShell& shell, QWidget* parent)
    : QFileDialog(parent), m_shell(shell)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ReadOnly, true);
    // The patterns spell both cases, so only the descriptions are shown.
    setOption(QFileDialog::HideNameFilterDetails, true);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setSizeGripEnabled(false);
    BuildSidePanel();
    ResetPreview();
    UpdateInfoText();
    // The highlighted file, before the selection the dialog reports follows it.
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
        ShowPreviewOf(IsFile(path.toStdString()) ? path.toStdString() : "");
    });
    // A file chosen by its typed name or by the program is selected without
    // becoming the highlighted one.
    for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
        if (view->selectionModel())
            connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                    [this] { UpdatePreview(); });
    }
    connect(this, &QFileDialog::directoryEntered, this, [this](const QString&) { UpdatePreview(); });
    connect(this, &QFileDialog::filterSelected, this, [this](const QString&) { UpdatePreview(); });
}

CUDLOpenFileDialog::~CUDLOpenFileDialog()
{
    const std::string folder = PreviewFolder();
    if (IsDirectory(folder))
        DeleteFolderTree(folder);
}

std::string CUDLOpenFileDialog::PreviewFolder()
{
    return CombinePath(GetTempPackageFolder(), "Preview");
}

void CUDLOpenFileDialog::BuildSidePanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("PreviewPanel"));
    m_picture = new PictureView([this] { return ScreenCopy(m_preview); }, panel);
    m_text = new PictureView([this] { return m_info; }, panel);
    SetControlId(m_picture, kPictureId);
    SetControlId(m_text, kTextId);
    m_picture->setGeometry(0, 0, kPreviewSide, kPreviewSide);
    m_text->setGeometry(0, kPreviewSide + 8, kPreviewSide, 40);
    const QFont font = m_shell.GetUIFont();
    CWidgetDialogLayout target(panel, &font);
    SetupDialogLayout(kDialogId, target, m_shell.GetLocalizeIniPath());
    // The placeholders keep the preview's width whatever the section says.
    m_picture->resize(kPreviewSide, kPreviewSide);
    m_text->resize(kPreviewSide, std::max(2, m_text->height()));
    const QRect used = m_picture->geometry().united(m_text->geometry());
    panel->setFixedSize(used.right() + 1, used.bottom() + 1);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1, Qt::AlignTop);
    else if (layout())
        layout()->addWidget(panel);
}

void CUDLOpenFileDialog::Prepare()
{
    setWindowTitle(QString::fromStdString(LocalizedText(m_shell, kTitleText)));
    AppSettings& settings = m_shell.Settings();
    const bool camerasOnly = settings.GetEditableFrameType() == 1;
    QStringList filters;
    filters << QString::fromStdString(NameFilter(m_shell, kZvdTypeText, "*.zvd"));
    filters << QString::fromStdString(camerasOnly ? NameFilter(m_shell, kPackageTypeText, "*.fdp")
                                                  : NameFilter(m_shell, kLayoutTypesText, "*.fdp;*.usd"));
    setNameFilters(filters);
    int index = settings.GetOpenFileFilterIndex();
    if (index > 2) {
        index = 1;
        settings.SetOpenFileFilterIndex(1);
    }
    selectNameFilter(filters.value(std::max(index, 1) - 1));
    std::string folder = settings.GetLoadLayoutFolder();
    if (folder.empty() || !IsDirectory(folder))
        folder = GetMyDocumentsFolder();
    setDirectory(QString::fromStdString(folder));
}

int CUDLOpenFileDialog::DoModal()
{
    Prepare();
    adjustSize();
    setFixedSize(size());
    m_chosen.clear();
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty())
        return 0;
    m_chosen = selectedFiles().front().toStdString();
    AppSettings& settings = m_shell.Settings();
    const std::string folder = GetFolderFromPath(m_chosen);
    settings.SetLoadLayoutFolder(&folder);
    if (const int index = CurrentTypeIndex(); index > 0)
        settings.SetOpenFileFilterIndex(index);
    return 1;
}

int CUDLOpenFileDialog::CurrentTypeIndex() const
{
    // Without the patterns shown, the dialog names the type by its description.
    const QString chosen = selectedNameFilter();
    const QStringList filters = nameFilters();
    for (int n = 0; n < filters.size(); ++n) {
        const QString description = filters[n].left(filters[n].lastIndexOf(QStringLiteral(" (")));
        if (chosen == filters[n] || chosen == description)
            return n + 1;
    }
    return 0;
}

std::string CUDLOpenFileDialog::CurrentPath() const
{
    const QStringList selected = selectedFiles();
    if (selected.isEmpty())
        return {};
    const QFileInfo info(selected.front());
    return info.isFile() ? selected.front().toStdString() : std::string();
}

void CUDLOpenFileDialog::ResetPreview()
{
    if (!m_preview.IsValid() || m_preview.GetWidth() != kPreviewSide)
        m_preview.Create(kPreviewSide, kPreviewSide);
    m_preview.FillRect(0, 0, kPreviewSide, kPreviewSide, kPreviewBackground);
    m_preview.DrawEdgeLTRB(0, 0, kPreviewSide, kPreviewSide, EDGE_SUNKEN, BF_RECT);
}

bool CUDLOpenFileDialog::ShowThumbnail(const std::string& path)
{
    if (path.empty())
        return false;
    CImage picture;
    const int loaded = LowerExtension(path) == ".tga" ? picture.LoadFile(path) : picture.LoadJpeg(path);
    if (loaded != ImageFileOk || !picture.IsValid() || picture.GetWidth() <= 0 || picture.GetHeight() <= 0)
        return false;
    const int width = picture.GetWidth();
    const int height = picture.GetHeight();
    int x, y, w, h;
    if (width > height) {
        w = kFitSide;
        h = static_cast<int>(std::floor(static_cast<double>(kFitSide) / width * height));
        x = 1;
        y = static_cast<int>(std::floor((kFitSide - h) * 0.5)) + 1;
    } else {
        h = kFitSide;
        w = static_cast<int>(std::floor(static_cast<double>(kFitSide) / height * width));
        y = 1;
        x = static_cast<int>(std::floor((kFitSide - w) * 0.5)) + 1;
    }
    if (w <= 0 || h <= 0)
        return true; // too thin to show: the empty frame
    picture.StretchBltTo(&m_preview, x, y, w, h, 0, 0, width, height, SRCCOPY);
    return true;
}

void CUDLOpenFileDialog::UpdatePreview()
{
    ShowPreviewOf(CurrentPath());
}

void CUDLOpenFileDialog::ShowPreviewOf(const std::string& path)
{
    m_firstText.clear();
    m_secondText.clear();
    LayoutHeaderText header;
    const std::string folder = PreviewFolder();
    const std::string extension = LowerExtension(path);
    if (extension == ".fdp") {
        // Only the preview's own folder is cleared: others work beside it.
        if (IsDirectory(folder))
            DeleteFolderTree(folder);
        else if (IsFile(folder))
            ForceDeleteFile(folder);
        CreateFolderPath(folder);
    }
    if (extension == ".usd" || extension == ".zvd" || extension == ".fdp" || extension == ".usm")
        ReadLayoutHeader(m_shell, path, CombinePath(folder, "Temp.jpg"), header);
    m_firstText = header.title;
    m_secondText = header.kindText;
    ResetPreview();
    const bool shown = ShowThumbnail(header.thumbnailPath);
    if (IsDirectory(folder))
        DeleteFolderTree(folder);
    if (!shown)
        ResetPreview();
    UpdateInfoText();
    update();
    if (m_picture)
        m_picture->update();
    if (m_text)
        m_text->update();
}

void CUDLOpenFileDialog::UpdateInfoText()
{
    const int height = m_text ? std::max(2, m_text->height()) : 40;
    const QPalette palette = QApplication::palette();
    CImage frame;
    frame.Create(kPreviewSide, height);
    frame.FillRect(0, 0, kPreviewSide, height, ToColorRef(palette.color(QPalette::Button)));
    frame.DrawEdgeLTRB(0, 0, kPreviewSide, height, EDGE_SUNKEN, BF_RECT);
    m_info = ScreenCopy(frame);
    if (m_info.isNull())
        return;
    QPainter painter(&m_info);
    painter.setFont(m_shell.GetUIFont());
    painter.setPen(palette.color(QPalette::ButtonText));
    const QFontMetrics metrics(painter.font());
    const int middle = 1 + (height - 2) / 2;
    const QRect lines[2] = {QRect(QPoint(1, 1), QPoint(kPreviewSide - 2, middle - 1)),
                            QRect(QPoint(1, middle), QPoint(kPreviewSide - 2, height - 1))};
    const std::string* texts[2] = {&m_firstText, &m_secondText};
    for (int n = 0; n < 2; ++n) {
        if (lines[n].isEmpty())
            continue;
        const QString text =
            metrics.elidedText(QString::fromStdString(*texts[n]), Qt::ElideRight, lines[n].width());
        painter.drawText(lines[n], Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
}
