// Asking the user for a folder. IFolderChooser lets the browsing logic run
// without a dialog; CQtFolderChooser shows Qt's folder dialog.
#pragma once

#include <optional>
#include <string>

class QWidget;

class IFolderChooser
{
public:
    virtual ~IFolderChooser() = default;
    // The chosen folder, or nothing when the user cancels.
    virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                    const std::string& initialFolder) = 0;
};

class CQtFolderChooser : public IFolderChooser
{
public:
    // `owner` may be null.
    explicit CQtFolderChooser(QWidget* owner);
    std::optional<std::string> ChooseFolder(const std::string& title,
                                            const std::string& initialFolder) override;

private:
    QWidget* m_owner;
};
