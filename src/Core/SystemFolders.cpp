#include "Core/SystemFolders.h"

#include "Platform/FileSystem.h"
#include "Platform/Folders.h"

#include <unistd.h>

namespace {

class WaitScope
{
public:
    explicit WaitScope(IWaitFeedback* feedback) : m_feedback(feedback)
    {
        if (m_feedback)
            m_feedback->BeginWait();
    }
    ~WaitScope()
    {
        if (m_feedback)
            m_feedback->EndWait();
    }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    IWaitFeedback* m_feedback;
};

} // namespace

std::string GetSharedDataFolder()
{
    return CommonAppDataPath() + "/UDL";
}

std::string GetMyDocumentsFolder()
{
    const std::string docs = UserDocumentsPath();
    return docs == "/" ? docs : docs + '/';
}

bool IsNTFSVolume(const std::string& path)
{
    return !path.empty() && VolumeKeepsPermissions(path);
}

bool HasFileAccess(const std::string& path, std::uint32_t mask)
{
    using namespace FileRights;
    // Every volume gets the system's own test: a FAT card mounted read-only
    // or for another user must not be reported writable.
    if (!PathExists(path))
        return false;
    if (mask & GenericAll)
        mask |= GenericRead | GenericWrite | GenericExecute | Delete;
    int mode = 0;
    if (mask & (GenericRead | ReadData | ReadEa | ReadAttributes))
        mode |= R_OK;
    if (mask & (GenericWrite | WriteData | AppendData | WriteEa | WriteAttributes | DeleteChild))
        mode |= W_OK;
    if (mask & (GenericExecute | Execute))
        mode |= X_OK;
    if (mode != 0 && !HasEffectiveAccess(path, mode))
        return false;
    return (mask & Delete) == 0 || MayDeleteEntry(path);
}

bool HasFolderTreeAccess(const std::string& folder, std::uint32_t mask, IWaitFeedback* feedback)
{
    const auto entries = ListFolder(folder);
    if (entries) {
        for (const FolderEntry& entry : *entries) {
            const std::string path = (folder.back() == '/' ? folder : folder + '/') + entry.name;
            bool granted;
            {
                WaitScope wait(feedback);
                granted =
                    entry.isFolder ? HasFolderTreeAccess(path, mask, feedback) : HasFileAccess(path, mask);
            }
            if (!granted)
                return false;
            if (feedback)
                feedback->KeepPainted();
        }
    }
    return HasFileAccess(folder, mask);
}
