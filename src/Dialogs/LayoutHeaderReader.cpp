#include "Dialogs/LayoutHeaderReader.h"

#include "App/CameraSetLoad.h"
#include "App/PaperNames.h"
#include "App/UsmFileNames.h"
#include "App/ZAVEditorDoc.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageText.h"
#include "FrameKit/PackageZAV.h"
#include "Script/ScriptPath.h"
#include "Script/UDLScript.h"
#include "Script/ZAVScript.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cstring>
#include <vector>

namespace {

// The kit's member kinds.
constexpr int kMemberThumbnail = 3;
// Thumbnails are small pictures; a member claiming more is not read.
constexpr std::uint32_t kMaxThumbnailBytes = 16u * 1024u * 1024u;
// More layouts than a camera set ever holds are not asked for.
constexpr int kMaxSetLayouts = 64;

std::string LowerExtension(const std::string& path)
{
    return QString::fromStdString(GetFileExtension(path)).toLower().toStdString();
}

std::string KitText(const char* stored, std::size_t size)
{
    std::string text;
    if (!ZavCp932ToUtf8(std::string(stored, strnlen(stored, size)), text))
        return {};
    return text;
}

// The paper's localised name and order from its code.
void SetPaper(IDialogShell& shell, int code, LayoutHeaderText& out)
{
    out.kindText = GetPaperSizeName(shell.GetLocalizeIniPath(), code);
    out.paperOrder = PaperOrderOf(shell, code);
}

template <class Script>
void TakeHeader(IDialogShell& shell, const Script& script, const std::string& path, LayoutHeaderText& out)
{
    out.title = script.GetTitle();
    out.thumbnailPath = FindFileInFolder(ScriptFolderOf(path), script.GetThumbnail());
    SetPaper(shell, script.GetPaperSize(), out);
}

// Writes layout `layout`'s thumbnail member to the file; false when it has
// none or the kit fails.
bool WriteThumbnailMember(PackageZAV& kit, int layout, const std::string& file, bool& kitFailed)
{
    int accompanying = 0, thumbnails = 0, pictures = 0, spare = 0;
    if (kit.GetLayoutFileCounts(layout, &accompanying, &thumbnails, &pictures, &spare) != ZAV_OK) {
        kitFailed = true;
        return false;
    }
    if (thumbnails <= 0)
        return false;
    MemberRecord member;
    if (kit.GetMemberFileName(layout, kMemberThumbnail, 0, &member) != ZAV_OK) {
        kitFailed = true;
        return false;
    }
    if (member.size == 0 || member.size > kMaxThumbnailBytes)
        return false;
    std::vector<std::uint8_t> body(member.size);
    if (kit.CopyMemberFile(layout, kMemberThumbnail, 0, body.data(), static_cast<int>(body.size())) !=
        ZAV_OK) {
        kitFailed = true;
        return false;
    }
    return WriteBufferToFile(file, body);
}

} // namespace

std::int32_t PaperOrderOf(IDialogShell& shell, int paperCode)
{
    const CZAVEditorDoc* document = shell.GetActiveEditorDoc();
    const int order = document && paperCode >= 0 ? document->FindPaperSizeEntry(paperCode) : -1;
    return order >= 0 ? order : LayoutListEntry::kUnknownPaperOrder;
}

std::string FindFileInFolder(const std::string& folder, const std::string& name)
{
    if (folder.empty() || name.empty() || name.find('\0') != std::string::npos)
        return {};
    const QString base = QDir::cleanPath(QString::fromStdString(folder));
    const QString given = QString::fromStdString(name);
    const QString full =
        QDir::cleanPath(QDir::isAbsolutePath(given) ? given : base + QLatin1Char('/') + given);
    const QString inside = base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
    if (!full.startsWith(inside) || full.size() == inside.size())
        return {};
    std::string found;
    if (!GetLongPath(found, full.toStdString(), true))
        return {};
    // A link inside the folder may still lead out of it.
    const QString real = QFileInfo(QString::fromStdString(found)).canonicalFilePath();
    const QString realBase = QFileInfo(base).canonicalFilePath();
    if (real.isEmpty() || realBase.isEmpty() || !real.startsWith(realBase + QLatin1Char('/')))
        return {};
    return found;
}

bool ReadLayoutScriptHeader(IDialogShell& shell, const std::string& path, LayoutHeaderText& out)
{
    const std::string extension = LowerExtension(path);
    if (extension == ".usd") {
        CUDLScript script;
        if (script.ReadHeader(path) == 0)
            return false;
        TakeHeader(shell, script, path, out);
        return true;
    }
    if (extension == ".zvd") {
        CZAVScript script;
        if (script.ReadHeader(path) == 0)
            return false;
        if (script.GetDSCFlag() == 1) {
            out.title = script.GetTitle();
            out.thumbnailPath = FindFileInFolder(ScriptFolderOf(path), script.GetThumbnail());
            out.kindText = LocalizedText(shell, kCameraLayoutTextId);
        } else {
            TakeHeader(shell, script, path, out);
        }
        return true;
    }
    return false;
}

bool ReadPackageHeader(IDialogShell& shell, const std::string& path, const std::string& thumbnailFile,
                       LayoutHeaderText& out)
{
    ZAVPath packagePath = {};
    if (path.empty() || path.size() >= sizeof packagePath || path.find('\0') != std::string::npos)
        return false;
    std::memcpy(packagePath, path.c_str(), path.size() + 1);
    PackageZAV kit;
    std::int8_t classification = -1;
    if (kit.Open(packagePath) != ZAV_OK || kit.GetClassification(&classification) != ZAV_OK)
        return false;
    bool kitFailed = false;
    if (classification == 0) {
        char scriptName[256] = {};
        LayoutHeaderRecord header;
        if (kit.GetLayoutFileNames(0, scriptName, &header) != ZAV_OK)
            return false;
        out.title = KitText(header.title, sizeof header.title);
        const int code = PaperIndexFromName(
            std::string(header.paperName, strnlen(header.paperName, sizeof header.paperName)));
        SetPaper(shell, code, out);
        if (WriteThumbnailMember(kit, 0, thumbnailFile, kitFailed))
            out.thumbnailPath = thumbnailFile;
        return !kitFailed;
    }
    if (classification == 2) {
        char indexName[256] = {};
        LayoutHeaderRecord header;
        IndexInfo info;
        if (kit.GetIndexHeader(indexName, &header, &info) != ZAV_OK)
            return false;
        out.title = KitText(header.title, sizeof header.title);
        out.kindText = LocalizedText(shell, kCameraLayoutTextId);
        const int layouts = std::min(info.layoutCount, kMaxSetLayouts);
        for (int layout = 0; layout < layouts && !kitFailed; ++layout) {
            if (WriteThumbnailMember(kit, layout, thumbnailFile, kitFailed)) {
                out.thumbnailPath = thumbnailFile;
                break;
            }
        }
        return !kitFailed;
    }
    return false;
}

bool ReadSetIndexHeader(IDialogShell& shell, const std::string& path, LayoutHeaderText& out)
{
    std::vector<std::string> names;
    if (ReadUsmHeaderFileNames(path, &names) == 0)
        return false;
    const std::string folder = ScriptFolderOf(path);
    for (const std::string& name : names) {
        if (!IsBareMemberName(name))
            continue;
        const std::string member = FindFileInFolder(folder, name);
        if (member.empty())
            continue;
        CUDLScript script;
        if (script.ReadHeader(member) == 0)
            return false;
        out.title = script.GetTitle();
        out.thumbnailPath = FindFileInFolder(folder, script.GetThumbnail());
        out.kindText = LocalizedText(shell, kCameraLayoutTextId);
        return true;
    }
    return false;
}

bool ReadLayoutHeader(IDialogShell& shell, const std::string& path, const std::string& packageThumbnailFile,
                      LayoutHeaderText& out)
{
    const std::string extension = LowerExtension(path);
    if (extension == ".fdp")
        return ReadPackageHeader(shell, path, packageThumbnailFile, out);
    if (extension == ".usm")
        return ReadSetIndexHeader(shell, path, out);
    return ReadLayoutScriptHeader(shell, path, out);
}
