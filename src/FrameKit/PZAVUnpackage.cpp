#include "FrameKit/PZAVUnpackage.h"

#include "FrameKit/PZAVUnpackAnalize.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageFormat.h"
#include "FrameKit/PackageText.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct PZAVUnpackage::Folder
{
    explicit Folder(int f) : fd(f) {}
    ~Folder()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    int fd;
};

namespace {

bool IsDriveLetter(const std::string& part)
{
    return part.size() >= 2 && part[1] == ':' &&
           ((part[0] >= 'A' && part[0] <= 'Z') || (part[0] >= 'a' && part[0] <= 'z'));
}

bool IsPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

} // namespace

int MakeMemberPath(const std::string& folderPart, std::vector<std::string>& components)
{
    components.clear();
    if (folderPart.empty())
        return ZAV_OK;
    if (folderPart[0] == '\\' || IsDriveLetter(folderPart) || folderPart.find('/') != std::string::npos)
        return ZAV_ERR_ARGUMENT;
    std::string rest = folderPart;
    std::vector<std::string> parts;
    while (!rest.empty()) {
        const std::string last = ZavReferenceName(rest);
        parts.insert(parts.begin(), last);
        rest = ZavReferenceFolder(rest);
        if (rest.empty())
            break;
    }
    for (const std::string& part : parts) {
        if (part == "..") {
            components.clear();
            return ZAV_OK;
        }
    }
    for (const std::string& part : parts) {
        if (part.empty() || part == ".")
            continue;
        std::string host;
        if (!ZavCp932ToUtf8(part, host) || !IsPlainName(host))
            return ZAV_ERR_ARGUMENT;
        components.push_back(host);
    }
    return ZAV_OK;
}

PZAVUnpackage::PZAVUnpackage() = default;
PZAVUnpackage::~PZAVUnpackage() = default;

int PZAVUnpackage::OpenFolder(const std::string& folderPart, std::shared_ptr<Folder>& out,
                              std::vector<std::string>& components)
{
    if (int rc = MakeMemberPath(folderPart, components))
        return rc;
    if (components.empty()) {
        out = m_targetFolder;
        return ZAV_OK;
    }
    if (m_current.folder && m_current.components == components) {
        out = m_current.folder;
        return ZAV_OK;
    }
    // The folder kept open before is done with; closing it first keeps at
    // most the target's and one walk's descriptors open.
    m_current = OpenedFolder{};
    std::shared_ptr<Folder> current = m_targetFolder;
    std::vector<std::string> walked;
    for (const std::string& name : components) {
        int fd = ::openat(current->fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            // The umask decides the mode, as for any folder the user makes.
            if (::mkdirat(current->fd, name.c_str(), 0777) != 0)
                return ZAV_ERR_FILE_IO;
            if (!Record(walked, current->fd, name, true))
                return ZAV_ERR_FILE_IO;
            fd = ::openat(current->fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0)
                return ZAV_ERR_FILE_IO;
        } else if (fd < 0) {
            // A link or a file where a folder belongs is never followed.
            return ZAV_ERR_ARGUMENT;
        }
        current = std::make_shared<Folder>(fd);
        walked.push_back(name);
    }
    m_current = OpenedFolder{components, current};
    out = current;
    return ZAV_OK;
}

bool PZAVUnpackage::Record(const std::vector<std::string>& parent, int parentFd, const std::string& name,
                           bool isFolder)
{
    struct stat st;
    if (::fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        ::unlinkat(parentFd, name.c_str(), isFolder ? AT_REMOVEDIR : 0);
        return false;
    }
    m_made.push_back({parent, name, isFolder, static_cast<unsigned long long>(st.st_dev),
                      static_cast<unsigned long long>(st.st_ino)});
    return true;
}

std::shared_ptr<PZAVUnpackage::Folder> PZAVUnpackage::Reopen(const std::vector<std::string>& components)
{
    std::shared_ptr<Folder> current = m_targetFolder;
    for (const std::string& name : components) {
        const int fd = ::openat(current->fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return nullptr;
        current = std::make_shared<Folder>(fd);
    }
    return current;
}

int PZAVUnpackage::WriteMember(const PZAVUnpackAnalize& analysis, const MemberRecord& record,
                               const std::string& folder, int* warning)
{
    if (record.size == 0)
        return ZAV_OK;
    std::shared_ptr<Folder> parent;
    std::vector<std::string> components;
    if (int rc = OpenFolder(folder, parent, components))
        return rc;
    std::string name;
    if (!ZavCp932ToUtf8(record.packageName, name) || !IsPlainName(name))
        return ZAV_ERR_FILE_IO;
    std::string relative;
    for (const std::string& component : components)
        relative += component + "/";
    if (!m_written.insert(relative + name).second)
        return ZAV_OK;
    const int fd =
        ::openat(parent->fd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) {
        // Whatever is there, a link included, is kept as it is.
        if (warning != nullptr)
            *warning = ZAV_WARN_FILE_EXISTS;
        return ZAV_OK;
    }
    if (fd < 0)
        return ZAV_ERR_FILE_IO;
    Folder file(fd);
    if (!Record(components, parent->fd, name, false))
        return ZAV_ERR_FILE_IO;
    std::vector<char> body(record.size);
    if (int rc = analysis.Package().ReadMember(record.packageName, body.data(), record.size))
        return rc;
    if (!ZavWriteFully(file.fd, body.data(), body.size()))
        return ZAV_ERR_FILE_IO;
    const int closing = file.fd;
    file.fd = -1;
    return ::close(closing) == 0 ? ZAV_OK : ZAV_ERR_FILE_IO;
}

int PZAVUnpackage::WriteAll(const PZAVUnpackAnalize& analysis, int* warning)
{
    if (analysis.HasIndex())
        if (int rc = WriteMember(analysis, analysis.IndexRecord(), "", warning))
            return rc;
    // The camera thumbnail's reference name is already its folder part.
    const MemberRecord& camera = analysis.CameraThumbnail();
    if (!camera.IsAbsent())
        if (int rc = WriteMember(analysis, camera, camera.referenceName, warning))
            return rc;
    MemberRecord record;
    for (const auto& layout : analysis.Layouts()) {
        layout->GetLayoutFile(&record);
        if (int rc = WriteMember(analysis, record, "", warning))
            return rc;
    }
    for (const auto& layout : analysis.Layouts()) {
        if (layout->HasThumbnail()) {
            layout->GetThumbnail(&record);
            if (int rc = WriteMember(analysis, record, ZavReferenceFolder(record.referenceName), warning))
                return rc;
        }
        if (layout->HasSound()) {
            layout->GetSound(&record);
            if (int rc = WriteMember(analysis, record, ZavReferenceFolder(record.referenceName), warning))
                return rc;
        }
        for (std::int32_t i = 0; i < layout->GetPictureCount(); ++i) {
            layout->GetPicture(i, &record);
            if (int rc = WriteMember(analysis, record, ZavReferenceFolder(record.referenceName), warning))
                return rc;
        }
    }
    return ZAV_OK;
}

void PZAVUnpackage::Rollback()
{
    m_current = OpenedFolder{};
    // Files first, then folders, each in reverse order of creation, so that
    // nested new folders are empty when their turn comes. Each parent is
    // found again below the target, one at a time.
    OpenedFolder parent;
    const auto remove = [&](const Made& made) {
        if (!parent.folder || parent.components != made.parent)
            parent = OpenedFolder{made.parent, Reopen(made.parent)};
        if (!parent.folder)
            return;
        struct stat st;
        if (::fstatat(parent.folder->fd, made.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            static_cast<unsigned long long>(st.st_dev) != made.device ||
            static_cast<unsigned long long>(st.st_ino) != made.inode)
            return;
        ::unlinkat(parent.folder->fd, made.name.c_str(), made.isFolder ? AT_REMOVEDIR : 0);
    };
    for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
        if (!it->isFolder)
            remove(*it);
    for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
        if (it->isFolder)
            remove(*it);
    m_made.clear();
}

int PZAVUnpackage::Unpackage(const char* package, const char* targetFolder, int* warning)
{
    m_made.clear();
    m_written.clear();
    m_current = OpenedFolder{};
    int rc = ZavGuard([&]() -> int {
        if (targetFolder == nullptr || targetFolder[0] != '/')
            return ZAV_ERR_NO_TARGET_FOLDER;
        const int fd = ::open(targetFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return ZAV_ERR_NO_TARGET_FOLDER;
        m_targetFolder = std::make_shared<Folder>(fd);
        m_target = targetFolder;
        auto analysis = std::make_unique<PZAVUnpackAnalize>();
        if (int rc = analysis->Open(package))
            return rc;
        return WriteAll(*analysis, warning);
    });
    if (rc != ZAV_OK)
        Rollback();
    m_made.clear();
    m_current = OpenedFolder{};
    m_targetFolder.reset();
    return rc;
}
