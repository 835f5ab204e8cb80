// CImageFrameItem: the base of the items that show a picture in a frame. It
// keeps a display copy of at most 800 x 800 pixels with three turned copies
// made on demand, a working copy of the picture file, and the part of the
// picture that is shown; it loads pictures within its size and aspect limits
// and draws them by rotation and placement.
#pragma once

#include "ImageProcessing/Image.h"
#include "Layout/CarriedPicture.h"
#include "Layout/LayoutItem.h"
#include "Layout/WorkingFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Results of LoadImage.
enum ImageLoadResult : int {
    ImageLoadOk = 0,
    ImageLoadTooLarge = 1,
    ImageLoadTooSmall = 2,
    ImageLoadTooLong = 3,
    ImageLoadUnreadable = 4,
};

class CImageFrameItem : public CLayoutItem
{
public:
    static constexpr int kDisplaySize = 800;
    static constexpr int kAutomaticRotation = 4;

    void Serialize(CArchive& archive) override;
    bool Draw(CImage* canvas, float scale, const POINT* origin, bool force) override;

    virtual RECT* GetImageRange(RECT* out) const;
    // Stored normalised.
    virtual void SetImageRange(const RECT& range);
    virtual int GetImageRotation() const { return m_rotation; }
    virtual void SetImageRotation(int rotation) { m_rotation = rotation; }
    virtual int GetImagePlacement() const { return m_placement; }
    virtual void SetImagePlacement(int placement) { m_placement = placement; }
    virtual int GetImageMode() const { return m_mode; }
    // The mode is always 4.
    virtual void SetImageMode(int mode);
    virtual std::string GetImageFileName() const { return m_fileName; }
    virtual void SetImageFileName(const std::string& path) { m_fileName = path; }
    // The working copy in the temporary image folder.
    virtual std::string GetImageFileName2() const { return m_workingFile.Path(); }
    virtual void SetImageFileName2(const std::string& path) { m_workingFile.Assign(path); }
    virtual CImage* GetImageBuffer1() { return &m_images[0]; }
    virtual CImage* GetImageBuffer2() { return &m_images[1]; }
    virtual CImage* GetImageBuffer3() { return &m_images[2]; }
    virtual CImage* GetImageBuffer4() { return &m_images[3]; }
    // ImageLoadResult; an empty path clears the picture. On a refusal nothing changes.
    virtual int LoadImage(const std::string& path);
    // Builds the turned copy a rotation 1..3 needs; false when the turn fails.
    virtual bool BuildDisplayImage(int rotation, bool skipBuilding);
    // A quarter turn; a rotation outside 0..3 is left alone.
    virtual void Rotate(bool clockwise);
    // Makes the working copy of a loaded picture.
    virtual bool ExportImage(const std::string& path, const std::uint8_t* pixels, int width, int height) = 0;

    // The file whose bytes a save may store instead of encoding the working copy again.
    const CCarriedPicture& GetCarriedPicture() const { return m_carried; }
    // A save moved the file the carried bytes are read from to `file`, or
    // put there the one it just stored.
    void FollowCarriedPicture(const std::string& file) { m_carried.Follow(file); }
    // A save wrote the working copy's picture, as it stores it, into `file`.
    void CarryStoredPicture(const std::string& file) { m_carried.Stored(file, m_workingFile); }
    // The carried bytes while the working copy is as they were carried for.
    std::optional<std::vector<char>> TakeCarriedPicture() const { return m_carried.Take(m_workingFile); }
    // The carried file named `to` as well when it lies in the layout's own `folder`.
    bool LinkCarriedPicture(const std::string& folder, const std::string& to) const
    {
        return m_carried.LinkInto(m_workingFile, folder, to);
    }
    // Whoever writes new pixels into the working copy says so here.
    void WorkingCopyRewritten() { m_workingFile.Rewritten(); }

    double GetImageScale() const { return m_displayScale; }
    SIZE GetPictureSize() const { return SIZE{m_pictureWidth, m_pictureHeight}; }
    CImageFrameItem* CopyFrom(const CImageFrameItem& other);

    // The rotation Draw uses for a stored rotation (4 chooses by the frame's and the source's shapes).
    int ChooseRotation(int rotation, const RECT& source) const;
    // The quarter turns the picture is drawn with, the automatic rotation decided as Draw decides it.
    int GetShownRotation() const;

protected:
    void SetLimits(int minWidth, int minHeight, int maxWidth, int maxHeight, double maxAspect);
    // The pictures shown while the frame has none.
    virtual void LoadPlaceholders();
    void LoadStandardPlaceholders();
    void ReleaseTurnedImages();
    // The picture drawn into the frame; `masked` draws through image's mask where it has one.
    bool DrawPicture(CImage* canvas, float scale, const POINT* origin, int rotation, bool masked);
    CWorkingFile& WorkingFile() { return m_workingFile; }
    CCarriedPicture& CarriedPicture() { return m_carried; }
    // The part of the display copy Draw shows: the range scaled, or all of it.
    RECT DisplaySourceRect() const;

private:
    RECT m_range{0, 0, 0, 0};
    int m_rotation = 0;
    int m_placement = 1;
    int m_mode = 4;
    std::string m_fileName;
    CWorkingFile m_workingFile;
    CCarriedPicture m_carried;
    CImage m_images[4];
    int m_pictureWidth = 0;
    int m_pictureHeight = 0;
    double m_displayScale = 1.0;
    int m_minWidth = -1;
    int m_minHeight = -1;
    int m_maxWidth = -1;
    int m_maxHeight = -1;
    double m_maxAspect = -1.0;
};
