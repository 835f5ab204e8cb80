// Opening a camera layout set: its index names one layout script per camera
// paper; every script is checked, then the page is built from the first.
// Sets come from memory cards and other machines, so only bare member names
// in the index's folder are read, found there without regard to case, and
// only pictures inside that folder.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <string>
#include <vector>

class CZAVEditorDoc;
class CUDLScript;

// Reads a picture to learn its own size. Tests count the reads.
class ICameraPictureProbe
{
public:
    virtual ~ICameraPictureProbe() = default;
    virtual bool ReadPictureSize(const std::string& path, SIZE& size) = 0;
};

// Loads the picture scaled into a small box: only its size is wanted.
class ScaledPictureProbe : public ICameraPictureProbe
{
public:
    bool ReadPictureSize(const std::string& path, SIZE& size) override;
};

// Where the pictures of a set's scripts may lie and how they are read. A
// check or build without it reads any existing picture through the files.
struct CameraSetPictures
{
    std::string folder;
    ICameraPictureProbe* probe = nullptr;
};

// 1 loaded, 0 failed; a title or comment the document refuses is thrown as
// the integer 0. Shows text 169 once when something was corrected.
int LoadCameraLayoutSet(CZAVEditorDoc& document, const std::string& indexPath,
                        ICameraPictureProbe* probe = nullptr);

// The result codes of the check and the build of one camera layout script.
enum CameraScriptResult : int { CameraScriptAccepted = 0, CameraScriptFailed = 1, CameraScriptCorrected = 3 };

// An index's member name as a camera writes it: a file name without any folder.
bool IsBareMemberName(const std::string& name);
