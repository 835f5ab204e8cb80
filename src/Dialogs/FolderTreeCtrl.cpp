#include "Dialogs/FolderTreeCtrl.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>

#include <set>

// The file system's folders, with the expand mark kept only until a read
// folder turns out to have no sub-folders.
class FolderTreeModel : public QIdentityProxyModel
{
public:
    FolderTreeModel(QFileSystemModel* files, QObject* parent) : QIdentityProxyModel(parent), m_files(files)
    {
        setSourceModel(files);
        connect(files, &QFileSystemModel::directoryLoaded, this, &FolderTreeModel::OnLoaded);
    }

    bool hasChildren(const QModelIndex& parent) const override
    {
        if (!parent.isValid())
            return true;
        const QModelIndex source = mapToSource(parent);
        if (!m_files->isDir(source))
            return false;
        if (m_loaded.count(m_files->filePath(source)) == 0)
            return true; // not read yet: it may have some
        return m_files->rowCount(source) > 0;
    }

private:
    void OnLoaded(const QString& path)
    {
        m_loaded.insert(path);
        const QModelIndex source = m_files->index(path);
        if (!source.isValid() || m_files->rowCount(source) > 0)
            return;
        // The view asks again whether the folder has children.
        const QList<QPersistentModelIndex> parents{mapFromSource(source)};
        emit layoutAboutToBeChanged(parents);
        emit layoutChanged(parents);
    }

    QFileSystemModel* m_files;
    std::set<QString> m_loaded;
};

CFolderTreeCtrl::CFolderTreeCtrl(QWidget* parent) : QTreeView(parent)
{
}

CFolderTreeCtrl::~CFolderTreeCtrl() = default;

void CFolderTreeCtrl::Init()
{
    if (m_files)
        return;
    m_files = new QFileSystemModel(this);
    m_files->setFilter(QDir::AllDirs | QDir::Hidden | QDir::NoDotAndDotDot);
    m_files->setReadOnly(true);
    m_files->setRootPath(QDir::rootPath());
    m_model = new FolderTreeModel(m_files, this);
    setModel(m_model);
    m_files->sort(0, Qt::AscendingOrder);
    for (int column = 1; column < m_files->columnCount(); ++column)
        hideColumn(column);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (currentIndex() != m_revealing)
            m_revealing = QPersistentModelIndex();
        emit FolderSelected();
    });
    connect(m_files, &QFileSystemModel::directoryLoaded, this, &CFolderTreeCtrl::KeepInSight);
}

void CFolderTreeCtrl::KeepInSight(const QString& loadedFolder)
{
    if (!m_revealing.isValid())
        return;
    const QString above =
        loadedFolder.endsWith(QLatin1Char('/')) ? loadedFolder : loadedFolder + QLatin1Char('/');
    if (m_revealingPath.startsWith(above))
        scrollTo(m_revealing, QAbstractItemView::PositionAtCenter);
}

QModelIndex CFolderTreeCtrl::RootItem() const
{
    return m_model ? m_model->index(0, 0) : QModelIndex();
}

QModelIndex CFolderTreeCtrl::IndexOf(const std::string& path) const
{
    if (!m_files || path.empty())
        return {};
    const QString native = QString::fromStdString(path);
    if (!QDir::isAbsolutePath(native))
        return {};
    const QModelIndex source = m_files->index(QDir::cleanPath(native));
    if (!source.isValid() || !m_files->isDir(source))
        return {};
    return m_model->mapFromSource(source);
}

bool CFolderTreeCtrl::SelectFolder(const std::string& path)
{
    if (!m_files || path.empty())
        return false;
    const QModelIndex found = IndexOf(path);
    if (!found.isValid()) {
        clearSelection();
        setCurrentIndex(QModelIndex());
        expand(RootItem());
        return false;
    }
    for (QModelIndex above = found.parent(); above.isValid(); above = above.parent())
        expand(above);
    m_revealing = found;
    m_revealingPath = m_files->filePath(m_model->mapToSource(found));
    selectionModel()->setCurrentIndex(found, QItemSelectionModel::ClearAndSelect);
    scrollTo(found, QAbstractItemView::PositionAtCenter);
    return true;
}

std::string CFolderTreeCtrl::GetSelectedFolderPath() const
{
    if (!m_files)
        return {};
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return {};
    return m_files->filePath(m_model->mapToSource(selected.first())).toStdString();
}
