// CFolderTreeCtrl: the file system's folders as a tree under its root,
// hidden ones included, read lazily as the user opens them, sorted by name.
// The model reads folders in the background; its directoryLoaded signal says
// when a folder's children are all there.
#pragma once

#include <QTreeView>

#include <string>

class QFileSystemModel;
class FolderTreeModel;

class CFolderTreeCtrl : public QTreeView
{
    Q_OBJECT
public:
    explicit CFolderTreeCtrl(QWidget* parent = nullptr);
    ~CFolderTreeCtrl() override;

    // The model over the file system's root, with its icons.
    void Init();
    // Opens the tree down to the folder and selects it; false (the root
    // opened, nothing selected) when the tree has no such folder. An empty
    // path gives false and changes nothing.
    bool SelectFolder(const std::string& path);
    // The selected folder's path; empty without a selection.
    std::string GetSelectedFolderPath() const;

    QFileSystemModel* FileSystem() const { return m_files; }
    // The tree's index of a folder; invalid when the model has none.
    QModelIndex IndexOf(const std::string& path) const;
    QModelIndex RootItem() const;

signals:
    void FolderSelected();

private:
    // Keeps the selected folder in sight while the folders above it are
    // still being read and sorted.
    void KeepInSight(const QString& loadedFolder);

    QFileSystemModel* m_files = nullptr;
    FolderTreeModel* m_model = nullptr;
    QPersistentModelIndex m_revealing;
    QString m_revealingPath;
};
