// CInsertImageFrameItem: the numbered place where the user's photo goes. It
// shows a sample picture while empty, keeps its linked image-information
// texts with what they show and their font and colour, and can be held to one
// of four aspect ratios.
#pragma once

#include "Layout/ImageFrameItem.h"
#include "Layout/LayoutItemList.h"

#include <array>
#include <string>

class CMacroStringItem;

// The "DrawStringFont" keys whose faces the image-information texts may use,
// in the order the image-information dialog offers them.
inline constexpr std::array<const char*, 5> kInfoFontKeys{"Courier", "Gothic", "Mincho", "Helvetica",
                                                          "Roman"};

class CInsertImageFrameItem : public CImageFrameItem
{
public:
    enum AspectKind : int { AspectFree = -1, Aspect2x3 = 0, Aspect3x2 = 1, Aspect4x3 = 2, Aspect3x4 = 3 };

    CInsertImageFrameItem();

    void Serialize(CArchive& archive) override;
    bool Draw(CImage* canvas, float scale, const POINT* origin, bool force) override;
    // Handles only outside camera layouts.
    void DrawSelection(CImage* canvas, const POINT* origin) override;
    int HitTest(POINT point) override;
    // Stored, then passed on to each linked text.
    void SetSelected(bool selected) override;
    void SetVisible(bool visible) override;
    // 2 (stretch) is stored as 0.
    void SetImagePlacement(int placement) override;
    // An empty path clears the picture and puts the placeholders in.
    int LoadImage(const std::string& path) override;
    // A JPEG file is copied as it is; other pictures are written as JPEG.
    bool ExportImage(const std::string& path, const std::uint8_t* pixels, int width, int height) override;
    // Turns the aspect kind with the frame.
    void Rotate(bool clockwise) override;

    // The rotation with the page orientation: one quarter more on a landscape page (0..3 only).
    virtual int GetEffectiveRotation() const;
    virtual int GetFrameNumber() const { return m_frameNumber; }
    virtual void SetFrameNumber(int number) { m_frameNumber = number; }
    virtual CMacroStringItem* GetLinkedText1() const { return m_linked[0]; }
    virtual void SetLinkedText1(CMacroStringItem* text) { m_linked[0] = text; }
    virtual CMacroStringItem* GetLinkedText2() const { return m_linked[1]; }
    virtual void SetLinkedText2(CMacroStringItem* text) { m_linked[1] = text; }
    virtual CMacroStringItem* GetLinkedText3() const { return m_linked[2]; }
    virtual void SetLinkedText3(CMacroStringItem* text) { m_linked[2] = text; }
    virtual int GetInfoOption() const { return m_infoOption; }
    virtual void SetInfoOption(int option) { m_infoOption = option; }
    virtual bool ShowsExposureTime() const { return m_showExposure != 0; }
    virtual void SetShowExposureTime(bool on) { m_showExposure = on ? 1 : 0; }
    virtual bool ShowsFNumber() const { return m_showFNumber != 0; }
    virtual void SetShowFNumber(bool on) { m_showFNumber = on ? 1 : 0; }
    virtual bool ShowsISO() const { return m_showISO != 0; }
    virtual void SetShowISO(bool on) { m_showISO = on ? 1 : 0; }
    virtual bool ShowsCameraName() const { return m_showCamera != 0; }
    virtual void SetShowCameraName(bool on) { m_showCamera = on ? 1 : 0; }
    virtual bool ShowsFlash() const { return m_showFlash != 0; }
    virtual void SetShowFlash(bool on) { m_showFlash = on ? 1 : 0; }
    virtual bool ShowsFullPath() const { return m_showFullPath != 0; }
    virtual void SetShowFullPath(bool on) { m_showFullPath = on ? 1 : 0; }
    // The key and the face it names in the localisation file (the key itself when it names none).
    virtual void ApplyInfoFontKey(const std::string& key);
    // A face chosen by name also sets the key the layout files store for it:
    // the frame's own key when that names the face, else the first of
    // kInfoFontKeys that does; a face no key names leaves the key alone.
    virtual void ApplyInfoFontFace(const std::string& face);
    virtual std::string GetInfoFontKey() const { return m_infoFontKey; }
    virtual void SetInfoFontKey(const std::string& key) { m_infoFontKey = key; }
    virtual std::string GetInfoFontName() const { return m_infoFontName; }
    virtual void SetInfoFontName(const std::string& name) { m_infoFontName = name; }
    virtual int GetInfoFontSize() const { return m_infoFontSize; }
    virtual void SetInfoFontSize(int size) { m_infoFontSize = size; }
    virtual COLORREF GetInfoTextColor() const { return m_infoTextColor; }
    virtual void SetInfoTextColor(COLORREF color) { m_infoTextColor = color; }

    CInsertImageFrameItem* CopyFrom(const CInsertImageFrameItem& other);
    // Deletes the linked texts found in the list; false for a missing list.
    bool RemoveLinkedTexts(LayoutItemList* list);
    int GetAspectKind() const { return m_aspectKind; }
    void SetAspectKind(int kind) { m_aspectKind = kind; }
    // Kinds 0..3 only: the free kind leaves the values unset.
    void GetAspectRatio(int* width, int* height) const;
    // The rect resized to the kind's ratio by shrinking its longer side, top-left kept.
    void FitRectToAspect();

protected:
    void LoadPlaceholders() override;

private:
    int m_frameNumber = 0;
    CMacroStringItem* m_linked[3] = {nullptr, nullptr, nullptr}; // not owned: they live in the item list
    int m_infoOption = 0;
    int m_showExposure = 0;
    int m_showFNumber = 0;
    int m_showISO = 0;
    int m_showCamera = 0;
    int m_showFlash = 0;
    int m_showFullPath = 0;
    std::string m_infoFontKey;
    std::string m_infoFontName;
    int m_infoFontSize = 0;
    COLORREF m_infoTextColor = 0;
    int m_aspectKind = AspectFree;
};
