#pragma once

#include "FrameKit/PackageRecords.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

class PZAVUnpackAnalize;

// Writes every member of a package below a target folder, through folder
// descriptors so that nothing planted in the target (a link in a folder's
// place) leads outside it; a failure removes what this call made. Only the
// target's descriptor and that of the folder being written into stay open, so
// a package of any size unpacks under a low limit of open files.
class PZAVUnpackage
{
public:
    PZAVUnpackage();
    virtual ~PZAVUnpackage();
    PZAVUnpackage(const PZAVUnpackage&) = delete;
    PZAVUnpackage& operator=(const PZAVUnpackage&) = delete;

    // warning may be null; otherwise it receives 7100 when a member file
    // already existed and was kept.
    int Unpackage(const char* package, const char* targetFolder, int* warning);

private:
    struct Folder;
    // Something this call made, found again by its place below the target and
    // recognised by its identity, so that the rollback removes only that.
    struct Made
    {
        std::vector<std::string> parent;
        std::string name;
        bool isFolder = false;
        unsigned long long device = 0;
        unsigned long long inode = 0;
    };
    // A folder below the target by its components, with its descriptor.
    struct OpenedFolder
    {
        std::vector<std::string> components;
        std::shared_ptr<Folder> folder;
    };

    int WriteAll(const PZAVUnpackAnalize& analysis, int* warning);
    int WriteMember(const PZAVUnpackAnalize& analysis, const MemberRecord& record, const std::string& folder,
                    int* warning);
    int OpenFolder(const std::string& folder, std::shared_ptr<Folder>& out,
                   std::vector<std::string>& components);
    bool Record(const std::vector<std::string>& parent, int parentFd, const std::string& name, bool isFolder);
    // The folder below the target, never through a link; null when it is gone.
    std::shared_ptr<Folder> Reopen(const std::vector<std::string>& components);
    void Rollback();

    std::string m_target;
    std::shared_ptr<Folder> m_targetFolder;
    // The one folder kept open between members: the last one written into.
    OpenedFolder m_current;
    std::vector<Made> m_made;
    // Members this call wrote, below the target: a picture that two layouts
    // share is written once and is no existing file.
    std::set<std::string> m_written;
};

// Where a member with that folder part (CP932, "\"-separated) goes below the
// target: the host folder components, or 6100 for a folder part that starts
// at a root, names a drive or holds "/". A part that climbs with ".." gives
// the target itself.
int MakeMemberPath(const std::string& folderPart, std::vector<std::string>& components);
