// The checks before a layout is written: may it be written to this path
// (names, the photo-printing application, the memory card, files in the
// way, read-only files, access rights), the names a memory card already
// holds, and the access test of a target with its companion files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class ILayoutFolderServices;
class QWidget;

// Results of the destination check.
enum CheckSaveResult : int {
    SaveDestinationOk = 0,
    SaveDestinationAppRunning = 1,
    SaveDestinationBadName = 2,
    SaveDestinationForeignFolder = 3,
    SaveDestinationOnCard = 4,
    SaveDestinationInTheWay = 5,
    SaveDestinationReadOnly = 6,
    SaveDestinationNoAccess = 7,
};

// Read, write and delete.
constexpr std::uint32_t kSaveTargetAccess = 0x13019F;

using TargetAccessTest = std::function<bool(const std::string& path, std::uint32_t mask)>;

struct SaveDestinationContext
{
    ILayoutFolderServices& services;
    std::string localizeIniPath;
    std::vector<std::string> cardRoots; // each ending in "/"
    TargetAccessTest targetAccess;
    QWidget* messageOwner = nullptr;
    bool cameraLayout = false;
};

int CheckSaveDestination(const SaveDestinationContext& context, std::string_view ext, const std::string& path,
                         int inPlace);

// The set-index paths the card's ".ust" files register, lower-cased: the
// root, "VLUDL/" and the "Hdusm" value of each "DCIM/*/*.ust" (names matched
// without regard to case). A file without the key adds nothing. The list is
// emptied first.
void CollectUstLayoutNames(const std::string& root, std::vector<std::string>& list);

// The target and, by its kind, its companion folder and camera variants
// grant the access; a missing companion folder refuses nothing.
bool CheckTargetAccess(const std::string& path, std::uint32_t mask);

// The eight variant layout scripts of a camera set, in the camera papers'
// order: the folder, the first six characters of the name, the variant's
// file code and ".usd".
std::vector<std::string> CameraVariantScriptPaths(const std::string& folder, const std::string& name);

// Text 207's one "%c" replaced by the character; "%%" gives "%"; anything
// else, "%s" included, is copied as it stands.
std::string FormatCharMessage(std::string_view format, std::string_view character);
// The eighth character of a name (the one text 207 names); empty when shorter.
std::string EighthCharacter(const std::string& name);

bool EndsWithNoCase(std::string_view text, std::string_view ending);
std::string AsciiLower(std::string text);
