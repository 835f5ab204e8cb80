#pragma once

#include "FrameKit/PackageRecords.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

class PZAVUnpackAnalize;

// Writes every member of a package below a target folder, through folder
// descriptors so that nothing planted in the target (a link in a folder's
// place) leads outside it; a failure removes what this call made.
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
    struct Made
    {
        std::shared_ptr<Folder> parent;
        std::string name;
        bool isFolder = false;
    };

    int WriteAll(const PZAVUnpackAnalize& analysis, int* warning);
    int WriteMember(const PZAVUnpackAnalize& analysis, const MemberRecord& record, const std::string& folder,
                    int* warning);
    int OpenFolder(const std::string& folder, std::shared_ptr<Folder>& out, std::string& relative);
    void Rollback();

    std::string m_target;
    std::shared_ptr<Folder> m_targetFolder;
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
