// The files Print hands to the photo-printing application: the layout as a
// layout script, a white placeholder photo and the hand-off file naming both,
// all in the user's temporary folder and overwritten at every Print.
#include "App/PrintCommand.h"

#include "App/LayoutFolderServices.h"
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Core/TempFolders.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"
#include "Script/UDOScript.h"

#include <cstdio>

namespace {

constexpr int kPlaceholderSide = 601;
// From this version on the application can close itself after printing.
constexpr double kAppCloseVersion = 3.4;

} // namespace

TempPrintFiles TempPrintFilePaths()
{
    const std::string temp = GetTempFolder();
    if (temp.empty())
        return {};
    const std::string usd = CombinePath(temp, "zavtemp.usd");
    return TempPrintFiles{usd, CZAVEditorDoc::StripExtension(usd), CombinePath(temp, "zavtemp.jpg"),
                          CombinePath(temp, "zavtemp.udo")};
}

void RemoveTempPrintFiles()
{
    const TempPrintFiles files = TempPrintFilePaths();
    if (files.layout.empty())
        return;
    for (const std::string& file : {files.layout, files.photo, files.handOff})
        if (IsFile(file))
            ForceDeleteFile(file);
    if (IsDirectory(files.companion))
        DeleteFolderTree(files.companion);
}

int CZAVEditorDoc::WriteTempPrintFiles(std::string& udoPath)
{
    try {
        const TempPrintFiles files = TempPrintFilePaths();
        BoolCheck(!files.layout.empty(), 0);
        const std::string& usd = files.layout;
        const std::string& jpg = files.photo;
        const std::string& udo = files.handOff;

        BoolCheck(SaveUsdLayout(usd, 1) == 0, 0);
        std::remove(udo.c_str());

        CUDOScript handOff;
        handOff.SetLayoutID(usd);
        {
            CImage placeholder;
            BoolCheck(placeholder.Create(kPlaceholderSide, kPlaceholderSide), 0);
            BoolCheck(CJpegFile().WriteImage(jpg, &placeholder, 0, 100) == ImageFileOk, 0);
        }
        handOff.SetSourceFiles({jpg});
        if (m_services.GetFileVersionString() >= kAppCloseVersion) {
            handOff.SetVersion(1.2);
            handOff.SetAppClose(1);
        }
        BoolCheck(handOff.Write(udo) == 1, 0);
        udoPath = udo;
        return 1;
    } catch (int) {
        return 0;
    } catch (enumErrorID) {
        return 0;
    }
}
