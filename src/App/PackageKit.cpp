#include "App/PackageKit.h"

#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageText.h"
#include "FrameKit/PackageZAV.h"

#include <cstring>

namespace {

// The kit refuses what its path buffer cannot hold.
bool CopyPath(const std::string& path, ZAVPath& out)
{
    if (path.size() >= sizeof out || path.find('\0') != std::string::npos)
        return false;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return true;
}

bool HostName(const char* stored, std::size_t size, std::string& name)
{
    return ZavCp932ToUtf8(std::string(stored, strnlen(stored, size)), name);
}

class FramePackageKit : public IPackageKit
{
public:
    int Package(const std::vector<std::string>& layouts, const std::string& package) override
    {
        std::vector<ZAVPath> paths(layouts.size());
        ZAVPath target;
        for (std::size_t i = 0; i < layouts.size(); ++i)
            if (!CopyPath(layouts[i], paths[i]))
                return ZAV_ERR_NAME_TOO_LONG;
        if (!CopyPath(package, target))
            return ZAV_ERR_NAME_TOO_LONG;
        return m_kit.Package(static_cast<int>(paths.size()), paths.data(), target);
    }
    int PackageDSC(const std::string& index, const std::string& package) override
    {
        ZAVPath from;
        ZAVPath to;
        if (!CopyPath(index, from) || !CopyPath(package, to))
            return ZAV_ERR_NAME_TOO_LONG;
        return m_kit.PackageDSC(from, to);
    }
    int Open(const std::string& package) override
    {
        ZAVPath path;
        if (!CopyPath(package, path))
            return ZAV_ERR_NAME_TOO_LONG;
        return m_kit.Open(path);
    }
    int GetClassification(std::int8_t& classification) override
    {
        return m_kit.GetClassification(&classification);
    }
    int GetLayoutFileName(int layout, std::string& name) override
    {
        char stored[256] = {};
        LayoutHeaderRecord header;
        const int result = m_kit.GetLayoutFileNames(layout, stored, &header);
        if (result != ZAV_OK)
            return result;
        return HostName(stored, sizeof stored, name) ? ZAV_OK : ZAV_ERR_UNEXPECTED;
    }
    int GetIndexFileName(std::string& name) override
    {
        char stored[256] = {};
        LayoutHeaderRecord header;
        IndexInfo info;
        const int result = m_kit.GetIndexHeader(stored, &header, &info);
        if (result != ZAV_OK)
            return result;
        return HostName(stored, sizeof stored, name) ? ZAV_OK : ZAV_ERR_UNEXPECTED;
    }
    int Unpackage(const std::string& package, const std::string& folder, int& warning) override
    {
        ZAVPath from;
        ZAVPath to;
        if (!CopyPath(package, from) || !CopyPath(folder, to))
            return ZAV_ERR_NAME_TOO_LONG;
        return m_kit.Unpackage(from, to, &warning);
    }

private:
    PackageZAV m_kit;
};

} // namespace

std::unique_ptr<IPackageKit> MakeFramePackageKit()
{
    return std::make_unique<FramePackageKit>();
}
