#include "App/SaveChecks.h"

#include "App/LayoutFolderServices.h"
#include "App/MessageBoxes.h"
#include "App/StagedSave.h"
#include "Core/Files.h"
#include "Core/LocalizeScript.h"
#include "Core/Path.h"
#include "Core/SystemFolders.h"
#include "Platform/FileSystem.h"
#include "Platform/ProfileReader.h"
#include "Script/DSCPaperVariant.h"

#include <QDir>
#include <QString>

namespace {

constexpr std::size_t kMaxUstValue = 128;

std::string Caption(const std::string& localizeIniPath, int textId)
{
    std::string text;
    CLocalizeScript(localizeIniPath).GetCaption(textId, text);
    return text;
}

int Refuse(int textId, int result)
{
    ShowLocalizedMessage(textId, MB_ICONSTOP);
    return result;
}

// The name-rule refusals are boxes of their own, titled with text 161.
int RefuseName(const SaveDestinationContext& context, const std::string& text)
{
    ShowMessage(context.messageOwner, QString::fromStdString(text),
                QString::fromStdString(Caption(context.localizeIniPath, 161)), MB_ICONSTOP);
    return SaveDestinationBadName;
}

int RefuseLayoutName(const SaveDestinationContext& context, int rule, const std::string& name, int inPlace)
{
    const std::string& ini = context.localizeIniPath;
    if (inPlace)
        return RefuseName(context, Caption(ini, 21));
    if (rule == -1)
        return RefuseName(context, Caption(ini, 244));
    if (rule == -2)
        return RefuseName(context, FormatCharMessage(Caption(ini, 207), EighthCharacter(name)));
    return RefuseName(context, Caption(ini, 181));
}

bool Exists(const std::string& path)
{
    return IsFile(path) || IsDirectory(path);
}

// The entries of a folder whose names match without regard to case.
QStringList EntriesNamed(const QDir& folder, const QString& pattern, QDir::Filters filters)
{
    return folder.entryList(QStringList{pattern}, filters | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

std::string EighthCharacter(const std::string& name)
{
    const QString text = QString::fromStdString(name);
    return text.size() > 7 ? QString(text.at(7)).toStdString() : std::string();
}

bool EndsWithNoCase(std::string_view text, std::string_view ending)
{
    if (text.size() < ending.size())
        return false;
    return AsciiLower(std::string(text.substr(text.size() - ending.size()))) ==
           AsciiLower(std::string(ending));
}

std::string AsciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string FormatCharMessage(std::string_view format, std::string_view character)
{
    std::string out;
    bool substituted = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (format[i + 1] == 'c' && !substituted) {
                out += character;
                substituted = true;
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

std::vector<std::string> CameraVariantScriptPaths(const std::string& folder, const std::string& name)
{
    const QString prefix = QString::fromStdString(name).left(6);
    std::vector<std::string> paths;
    for (const DSCPaperVariant& variant : kCameraPaperVariants)
        paths.push_back(
            CombinePath(folder, prefix.toStdString() + VariantFileCode(variant).value() + ".usd"));
    return paths;
}

void CollectUstLayoutNames(const std::string& root, std::vector<std::string>& list)
{
    list.clear();
    std::string drive = root;
    if (drive.empty() || drive.back() != '/')
        drive += '/';
    const QDir driveDir(QString::fromStdString(drive));
    for (const QString& dcim :
         EntriesNamed(driveDir, QStringLiteral("DCIM"), QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dcimDir(driveDir.filePath(dcim));
        for (const QString& sub :
             dcimDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
            const QDir subDir(dcimDir.filePath(sub));
            for (const QString& ust : EntriesNamed(subDir, QStringLiteral("*.ust"), QDir::Files)) {
                const std::string value =
                    ReadProfileString(subDir.filePath(ust).toStdString(), "HEADER", "Hdusm");
                const std::string kept = QString::fromStdString(value).left(kMaxUstValue).toStdString();
                if (kept.empty())
                    continue;
                list.push_back(AsciiLower(drive + "VLUDL/" + kept));
            }
        }
    }
}

bool CheckTargetAccess(const std::string& path, std::uint32_t mask)
{
    const std::string ext = GetFileExtension(path);
    const bool script = EndsWithNoCase(ext, ".usd") && ext.size() == 4;
    const bool document = EndsWithNoCase(ext, ".zvd") && ext.size() == 4;
    const bool set = EndsWithNoCase(ext, ".usm") && ext.size() == 4;
    const std::size_t dot = path.rfind('.');
    const std::string companion = dot == std::string::npos ? path : path.substr(0, dot);
    if (set) {
        const std::string name = GetFileNameFromPath(path, false);
        for (const std::string& variant : CameraVariantScriptPaths(GetFolderFromPath(path), name))
            if (Exists(variant) && !HasFileAccess(variant, mask))
                return false;
    }
    if ((script || document || set) && IsDirectory(companion) && !HasFolderTreeAccess(companion, mask))
        return false;
    return HasFileAccess(path, mask);
}

int CheckSaveDestination(const SaveDestinationContext& context, std::string_view ext, const std::string& path,
                         int inPlace)
{
    ILayoutFolderServices& services = context.services;
    const std::string extension(ext);
    const bool zvd = EndsWithNoCase(extension, ".zvd");
    const bool usd = EndsWithNoCase(extension, ".usd");
    const bool usm = EndsWithNoCase(extension, ".usm");
    const bool fdp = EndsWithNoCase(extension, ".fdp");
    const std::string folder = GetFolderFromPath(path);

    if ((usd || usm) && services.IsInUDLFolder(path)) {
        std::string app;
        if (services.GetSiblingAppPath(app) && !app.empty() && services.IsSiblingAppRunning())
            return Refuse(194, SaveDestinationAppRunning);
    }
    if (usm) {
        for (const std::string& root : context.cardRoots) {
            std::string rootFolder = root;
            while (rootFolder.size() > 1 && rootFolder.back() == '/')
                rootFolder.pop_back();
            if (AsciiLower(folder) != AsciiLower(CombinePath(rootFolder, "VLUDL")))
                continue;
            std::vector<std::string> names;
            CollectUstLayoutNames(root, names);
            const std::string lowered = AsciiLower(path);
            for (const std::string& name : names)
                if (name == lowered)
                    return Refuse(263, SaveDestinationOnCard);
        }
    }
    if (IsChosenPathTooLong(path) && !EndsWithNoCase(path, extension))
        return Refuse(21, SaveDestinationBadName);

    std::string stem = path;
    if (EndsWithNoCase(stem, extension))
        stem.resize(stem.size() - extension.size());
    if (zvd)
        while (!stem.empty() && (stem.back() == '.' || stem.back() == ' '))
            stem.pop_back();
    const std::string name = GetFileNameFromPath(stem, false);

    if (zvd) {
        if (name.empty() || name.front() == '.')
            return Refuse(21, SaveDestinationBadName);
        const int rule = services.CheckLayoutFileName(name);
        if (rule < 0)
            return RefuseLayoutName(context, rule, name, inPlace);
    } else if (context.cameraLayout) {
        const int rule = services.CheckNumberedLayoutFileName(name);
        if (rule != 0) {
            if (inPlace)
                return Refuse(21, SaveDestinationBadName);
            if (rule == 1 || rule == 2)
                return Refuse(243, SaveDestinationBadName);
            return Refuse(rule == -1 ? 244 : 181, SaveDestinationBadName);
        }
    } else {
        const int rule = services.CheckLayoutFileName(name);
        if (rule != 0)
            return RefuseLayoutName(context, rule, name, inPlace);
    }

    const std::string full = stem + extension;
    const std::vector<std::string> variants =
        usm ? CameraVariantScriptPaths(GetFolderFromPath(full), name) : std::vector<std::string>();
    if (Exists(full)) {
        if (IsNTFSVolume(full) && context.targetAccess && !context.targetAccess(full, kSaveTargetAccess))
            return Refuse(23, SaveDestinationNoAccess);
    } else {
        if ((zvd || usd || usm) && Exists(stem))
            return Refuse(12, SaveDestinationInTheWay);
        for (const std::string& variant : variants)
            if (Exists(variant))
                return Refuse(12, SaveDestinationInTheWay);
    }
    if ((zvd || fdp) && IsInAnyLayoutFolder(services, full))
        return Refuse(167, SaveDestinationForeignFolder);
    if (IsSavedPathTooLong(full))
        return Refuse(21, SaveDestinationBadName);
    // A companion folder the save could not clear away afterwards is refused
    // as a read-only file is, before anything is written.
    if (IsReadOnlyFile(full) ||
        (zvd && IsDirectory(stem) && !FolderTreeMayBeRemoved(FollowSymbolicLinks(stem))))
        return Refuse(180, SaveDestinationReadOnly);
    for (const std::string& variant : variants)
        if (IsReadOnlyFile(variant))
            return Refuse(198, SaveDestinationReadOnly);
    return SaveDestinationOk;
}
