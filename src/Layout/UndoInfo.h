// The undo records of the layout manager: one is held at a time, and running
// it (CLayoutManager::Undo) leaves the record that reverses it. Records name
// the items they concern without owning them, except the copies they keep.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageFont.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class CLayoutItem;
class CLineItem;
class CStringItem;
class CImageFrameItem;
class CInsertImageFrameItem;
class CMacroStringItem;

class CUndoInfo
{
public:
    CUndoInfo() = default;
    virtual ~CUndoInfo() = default;
    CUndoInfo(const CUndoInfo&) = delete;
    CUndoInfo& operator=(const CUndoInfo&) = delete;
};

// The direction of a text or the image rotation of a frame; -1 for other items and none.
int GetItemDirection(const CLayoutItem* item);
// -1 leaves the item as it is and succeeds; false for an item without a direction.
bool SetItemDirection(CLayoutItem* item, int direction);

// A new object of the item's class copied from it; null for other classes and none.
std::unique_ptr<CLayoutItem> CloneLayoutItem(const CLayoutItem* source);

class CAddUndoInfo : public CUndoInfo
{
public:
    void Add(CLayoutItem* item) { m_items.push_back(item); }
    bool Contains(const CLayoutItem* item) const;
    const std::vector<CLayoutItem*>& Items() const { return m_items; }

private:
    std::vector<CLayoutItem*> m_items;
};

class CDeleteUndoInfo : public CUndoInfo
{
public:
    // Where a deleted frame's linked texts lay, to build them again.
    struct FrameSnapshot
    {
        std::array<bool, 3> present{};
        std::array<RECT, 3> rects{};
        std::array<int, 3> directions{};
    };
    struct Entry
    {
        std::unique_ptr<CLayoutItem> copy;
        int index = 0;
        bool hasSnapshot = false;
        FrameSnapshot snapshot;
    };

    // A copy of the item at that list index; an insert-photo frame's linked
    // texts are remembered from the live texts. False when it cannot be copied.
    bool Add(int index, const CLayoutItem* item);
    // Kept sorted, each number once.
    void AddIndex(unsigned number);

    std::vector<Entry>& Entries() { return m_entries; }
    const std::vector<unsigned>& RemovedNumbers() const { return m_removedNumbers; }

private:
    std::vector<Entry> m_entries;
    std::vector<unsigned> m_removedNumbers;
};

class CChangeOrderUndoInfo : public CUndoInfo
{
public:
    std::vector<CLayoutItem*>& Order() { return m_order; }

private:
    std::vector<CLayoutItem*> m_order;
};

class CChangeStateUndoInfo : public CUndoInfo
{
public:
    struct Entry
    {
        CLayoutItem* item = nullptr;
        bool visible = false;
    };
    bool Add(CLayoutItem* item);
    std::vector<Entry>& Entries() { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

class CChangeRectUndoInfo : public CUndoInfo
{
public:
    struct Entry
    {
        CLayoutItem* item = nullptr;
        RECT rect{};
        int direction = -1;
        bool aspectFixed = false;
        int aspectKind = -1;
    };
    bool Add(CLayoutItem* item);
    std::vector<Entry>& Entries() { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

class CChangeLineUndoInfo : public CUndoInfo
{
public:
    struct Entry
    {
        CLineItem* line = nullptr;
        RECT rect{};
        COLORREF color = 0;
        int width = 0;
    };
    bool Add(CLineItem* line);
    std::vector<Entry>& Entries() { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

class CChangeStringUndoInfo : public CUndoInfo
{
public:
    struct Entry
    {
        CStringItem* item = nullptr;
        RECT rect{};
        std::string text;
        LOGFONT font;
        COLORREF textColor = 0;
        POINT shadowOffset{};
        COLORREF shadowColor = 0;
        bool shadow = false;
        COLORREF backColor = 0;
        bool backColorOn = false;
        bool vertical = false;
        int direction = 0;
    };
    bool Add(CStringItem* item);
    std::vector<Entry>& Entries() { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

// One frame and a copy of it as it was; undoing exchanges the two objects.
class CChangeImageFrameUndoInfo : public CUndoInfo
{
public:
    explicit CChangeImageFrameUndoInfo(CImageFrameItem* item);
    ~CChangeImageFrameUndoInfo() override;

    CImageFrameItem* GetItem() const { return m_item; }
    CImageFrameItem* GetCopy() const { return m_copy.get(); }
    // The record now names `item` and keeps `copy`.
    void Replace(CImageFrameItem* item, std::unique_ptr<CImageFrameItem> copy);

private:
    CImageFrameItem* m_item = nullptr;
    std::unique_ptr<CImageFrameItem> m_copy;
};

class CChangeInsertImageFrameUndoInfo : public CUndoInfo
{
public:
    struct Entry
    {
        CImageFrameItem* frame = nullptr;
        RECT range{};
        int rotation = 0;
        int placement = 0;
    };
    bool Add(CImageFrameItem* frame);
    std::vector<Entry>& Entries() { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

class CChangeMacroStringUndoInfo : public CUndoInfo
{
public:
    // The information settings of a frame that the macro-string edit changes.
    struct InfoSettings
    {
        bool showExposureTime = false;
        bool showFNumber = false;
        bool showISO = false;
        bool showCameraName = false;
        bool showFlash = false;
        bool showFullPath = false;
        std::string infoText;
        std::string fontName;
        int fontSize = 0;
        COLORREF infoValue2 = 0;
        int infoOption = 0;
    };
    struct Entry
    {
        Entry();
        ~Entry();
        Entry(Entry&&) noexcept;
        Entry& operator=(Entry&&) noexcept;

        CInsertImageFrameItem* frame = nullptr;
        std::array<std::unique_ptr<CMacroStringItem>, 3> texts;
        InfoSettings settings;
    };
    // Copies of the given texts (none for a missing one) and the frame's settings.
    bool Add(CInsertImageFrameItem* frame, const CMacroStringItem* first, const CMacroStringItem* second,
             const CMacroStringItem* third);
    std::vector<Entry>& Entries() { return m_entries; }

    static InfoSettings ReadSettings(const CInsertImageFrameItem& frame);
    static void ApplySettings(CInsertImageFrameItem& frame, const InfoSettings& settings);

private:
    std::vector<Entry> m_entries;
};
