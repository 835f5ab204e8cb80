// What the document uses of the frame-file kit, as an interface so that tests
// can make any one call fail. One kit object serves one package operation;
// paths cross as host paths, names come back as host (UTF-8) names. Every call
// returns 0 or the kit's error code.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class IPackageKit
{
public:
    virtual ~IPackageKit() = default;
    virtual int Package(const std::vector<std::string>& layouts, const std::string& package) = 0;
    virtual int PackageDSC(const std::string& index, const std::string& package) = 0;
    // The queries below fail when nothing could be opened.
    virtual int Open(const std::string& package) = 0;
    virtual int GetClassification(std::int8_t& classification) = 0;
    virtual int GetLayoutFileName(int layout, std::string& name) = 0;
    // The file name of the package's set index.
    virtual int GetIndexFileName(std::string& name) = 0;
    virtual int Unpackage(const std::string& package, const std::string& folder, int& warning) = 0;
};

using PackageKitFactory = std::function<std::unique_ptr<IPackageKit>()>;

// The kit itself.
std::unique_ptr<IPackageKit> MakeFramePackageKit();
