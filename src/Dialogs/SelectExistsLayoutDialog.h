// The wizard's existing-layout page: the layouts of one source (recent files,
// the photo-printing application's layout folders, a memory card) with their
// thumbnails, made by a worker while the list is already usable; Finish, a
// double click or Browse opens the chosen file and ends the wizard.
#pragma once

#include "Dialogs/NewWizard.h"
#include "Dialogs/ThumbnailImageList.h"
#include "Dialogs/ThumbnailWorker.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CLayoutList;
class IWaitFeedback;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
struct LayoutListEntry;

class CSelectExistsLayoutDialog : public CWizardDialog
{
    Q_OBJECT
public:
    // `loader` makes a thumbnail on the worker (tests slow it down).
    explicit CSelectExistsLayoutDialog(IDialogShell& shell,
                                       CThumbnailWorker::Loader loader = CThumbnailWorker::Loader());
    ~CSelectExistsLayoutDialog() override;

    void initializePage() override;
    void OnSetActive() override;
    // Finish: opens the selected file and ends the wizard itself.
    bool validatePage() override;
    bool isComplete() const override;

    void FillLayoutList();
    // Opens the path as Finish does: refused in the photo-printing
    // application's configuration folder (text 140), an empty path is text
    // 150; otherwise the document opens it. The wizard ends unless refused.
    void OpenLayout(const std::string& path);
    // Browse's file choice; tests answer in place of the open dialog.
    using BrowseChooser = std::function<std::optional<std::string>(QWidget* parent)>;
    void SetBrowseChooser(BrowseChooser chooser) { m_chooseFile = std::move(chooser); }

    CLayoutList* List() const { return m_list; }
    int Source() const { return m_source; }
    const CThumbnailWorker& Worker() const { return m_worker; }
    const CThumbnailImageList& Thumbnails() const { return m_thumbnails; }
    // The filling the list shows; each refill counts one up.
    int Generation() const { return m_generation; }
    // Where the page keeps the thumbnails of packaged frame files.
    static std::string ListThumbnailFolder();

private:
    void OnSourceClicked(int source);
    void OnBrowse();
    void OnThumbnailReady(const ThumbnailResult& result);
    void OpenSelected();
    std::vector<std::string> CollectSource();
    void RemoveListFolder();

    CLayoutList* m_list;
    QRadioButton* m_recent;
    QRadioButton* m_registered;
    QRadioButton* m_card;
    QComboBox* m_drives;
    QLabel* m_hint;
    QPushButton* m_browse;
    int m_source = 0;
    int m_driveSelection = 0;
    std::vector<std::string> m_driveRoots;
    // The entries of the filling shown; the list points at them.
    std::deque<LayoutListEntry> m_entries;
    CThumbnailImageList m_thumbnails;
    int m_generation = 0;
    int m_jobCount = 0;
    int m_resultsSeen = 0;
    // Set while the page itself ends the wizard.
    bool m_ending = false;
    BrowseChooser m_chooseFile;
    std::unique_ptr<IWaitFeedback> m_waitFeedback;
    CThumbnailWorker m_worker;
};
