#include "Dialogs/support/LayoutFileFixtures.h"

#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageZAV.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"
#include "Platform/ShiftJis.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>
#include <fstream>

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ToSjis(const std::string& utf8)
{
    return Utf8ToShiftJis(utf8).value();
}

bool WriteRedJpeg(const std::string& path, int width, int height)
{
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    CImage picture;
    if (!picture.Create(width, height))
        return false;
    picture.FillRect(0, 0, width, height, RGB(255, 0, 0));
    return picture.SaveAsJpeg(path, 0, 95) == ImageFileOk;
}

void WriteRedTga(const std::string& path, int width, int height)
{
    std::string bytes(18, '\0');
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = static_cast<char>(width & 0xFF);
    bytes[13] = static_cast<char>(width >> 8);
    bytes[14] = static_cast<char>(height & 0xFF);
    bytes[15] = static_cast<char>(height >> 8);
    bytes[16] = 24;
    bytes[17] = 0x20; // rows top-down
    for (int n = 0; n < width * height; ++n)
        bytes += std::string("\x00\x00\xFF", 3);
    WriteFileBytes(path, bytes);
}

std::string LayoutScriptText(const std::string& title, const std::string& thumbnail, const std::string& paper)
{
    // The header keys in the order the readers expect them.
    std::string text = "[HEADER]\r\nHdRevision=2.10\r\nHdTitle=\"" + ToSjis(title) +
                       "\"\r\nHdComment=\"\"\r\nHdDirection=Vertical\r\n";
    if (!thumbnail.empty())
        text += "HdThumbnail=\"" + thumbnail + "\"\r\n";
    text += "HdPhysicalPaperSize=" + paper + "\r\nHdMargines=42,42,42,42\r\n";
    text += "[PAGE]\r\nDrawPicture(\"\",1,100,200,300,400,0,0,0)\r\n";
    return text;
}

std::string CameraDocumentText(const std::string& title, const std::string& thumbnail)
{
    return "[DSC_ZAV_HEADER]\r\nHdRevision=01.00\r\nHdTitle=\"" + ToSjis(title) +
           "\"\r\nHdComment=\"\"\r\nHdClassification=00.01\r\n[HEADER]\r\nHdRevision=02.10\r\n"
           "HdAuthor=\"\"\r\nHdDirection=Vertical\r\nHdThumbnail=\"" +
           thumbnail + "\"\r\n[BASE_PAPER_INFO]\r\n";
}

std::string SetIndexText(const std::vector<std::string>& names)
{
    std::string text = "[HEADER]\r\nHdRevision=1.00\r\nHdTitle=\"Set\"\r\nHdComment=\"C\"\r\n"
                       "HdClassification=0.10\r\nHdCapability=3\r\nHdCount=" +
                       std::to_string(names.size()) + "\r\n";
    for (const std::string& name : names)
        text += "HdFilename=\"" + name + "\"\r\n";
    return text;
}

bool PackageLayout(const std::string& script, const std::string& package)
{
    ZAVPath layout = {};
    if (script.size() >= sizeof layout)
        return false;
    std::memcpy(layout, script.c_str(), script.size() + 1);
    PackageZAV kit;
    return kit.Package(1, &layout, package.c_str()) == ZAV_OK;
}

bool PackageCameraSet(const std::string& index, const std::string& package)
{
    PackageZAV kit;
    return kit.PackageDSC(index.c_str(), package.c_str()) == ZAV_OK;
}
