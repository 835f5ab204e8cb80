// Cut, Copy and Paste through the clipboard's private format. The block is a
// header of four counts followed by each copied item's kind and archive form.
#include "Core/Files.h"
#include "Core/TempFolders.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/ClipboardPort.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/LayoutManagerNames.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Layout/UndoInfo.h"
#include "Platform/Archive.h"
#include "Platform/FileSystem.h"

#include <algorithm>

namespace {

enum ClipKind : std::int32_t { ClipLine = 0, ClipString = 1, ClipBackground = 2, ClipInsertFrame = 3 };

constexpr int kGeneralErrorText = 24;
constexpr int kTooManyItemsText = 157;
constexpr int kCameraFrameText = 241;

std::int32_t KindOf(const CLayoutItem* item)
{
    if (IsKindOf<CStringItem>(item))
        return ClipString;
    if (IsKindOf<CBackgroundImageFrameItem>(item))
        return ClipBackground;
    if (IsKindOf<CInsertImageFrameItem>(item))
        return ClipInsertFrame;
    return ClipLine;
}

std::unique_ptr<CLayoutItem> MakeItem(std::int32_t kind)
{
    switch (kind) {
    case ClipLine:
        return std::make_unique<CLineItem>();
    case ClipString:
        return std::make_unique<CStringItem>();
    case ClipBackground:
        return std::make_unique<CBackgroundImageFrameItem>();
    case ClipInsertFrame:
        return std::make_unique<CInsertImageFrameItem>();
    default:
        return nullptr;
    }
}

// Far beyond any paper, and small enough that the paste's sums and spans of
// coordinates and line widths stay within an int.
constexpr std::int64_t kMaxBlockCoordinate = 1 << 24;

bool HasWorkableGeometry(const CLayoutItem& item)
{
    RECT r;
    item.GetRect(&r, false);
    const auto within = [](std::int64_t v) { return v >= -kMaxBlockCoordinate && v <= kMaxBlockCoordinate; };
    if (!within(r.left) || !within(r.top) || !within(r.right) || !within(r.bottom))
        return false;
    const auto* line = dynamic_cast<const CLineItem*>(&item);
    return !line || within(line->GetWidth(false, -1.0f));
}

// The items of a block, read whole before anything on the page changes.
struct ClipBlock
{
    std::vector<std::unique_ptr<CLayoutItem>> items; // back to front
    int lines = 0;
    int others = 0;
    int frames = 0;
};

// Empty (and false) for a truncated block, an unknown kind, an item placed far
// beyond any paper, counts that disagree with the items read, or bytes left over.
bool ReadBlock(const std::vector<std::uint8_t>& bytes, ClipBlock& block)
{
    try {
        CArchive archive(bytes);
        const std::int32_t count = archive.ReadInt32();
        const std::int32_t lines = archive.ReadInt32();
        const std::int32_t others = archive.ReadInt32();
        const std::int32_t frames = archive.ReadInt32();
        if (count < 0 || static_cast<std::size_t>(count) > archive.Remaining() / 4)
            return false;
        for (std::int32_t i = 0; i < count; ++i) {
            std::unique_ptr<CLayoutItem> item = MakeItem(archive.ReadInt32());
            if (!item)
                return false;
            item->Serialize(archive);
            if (!HasWorkableGeometry(*item))
                return false;
            if (IsKindOf<CLineItem>(item.get()))
                ++block.lines;
            else
                ++block.others;
            if (IsKindOf<CInsertImageFrameItem>(item.get()))
                ++block.frames;
            block.items.push_back(std::move(item));
        }
        if (archive.Remaining() != 0 || block.lines != lines || block.others != others ||
            block.frames != frames)
            return false;
    } catch (const CArchiveException&) {
        return false;
    }
    return true;
}

// The full paths of a folder's entries.
std::vector<std::string> FolderPaths(const std::string& folder)
{
    std::vector<std::string> paths;
    if (const auto entries = ListFolder(folder))
        for (const FolderEntry& entry : *entries)
            paths.push_back(folder + (folder.ends_with('/') ? "" : "/") + entry.name);
    return paths;
}

} // namespace

std::optional<std::vector<std::uint8_t>> CLayoutManager::WriteClipboardBlock()
{
    std::int32_t count = 0;
    std::int32_t lines = 0;
    std::int32_t frames = 0;
    for (const auto& item : m_items) {
        if (!item->IsSelected() || IsKindOf<CMacroStringItem>(item.get()))
            continue;
        ++count;
        if (IsKindOf<CLineItem>(item.get()))
            ++lines;
        if (IsKindOf<CInsertImageFrameItem>(item.get()))
            ++frames;
    }
    CArchive archive;
    archive.WriteInt32(count);
    archive.WriteInt32(lines);
    archive.WriteInt32(count - lines);
    archive.WriteInt32(frames);
    try {
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
            if (!(*it)->IsSelected() || IsKindOf<CMacroStringItem>(it->get()))
                continue;
            archive.WriteInt32(KindOf(it->get()));
            (*it)->Serialize(archive);
        }
    } catch (const CArchiveException&) {
        return std::nullopt; // a picture that could not be written
    }
    return archive.Data();
}

bool CLayoutManager::CopySelection(bool cut)
{
    // The previous block's picture files stay until the new block is on the
    // clipboard: until then the clipboard still names them.
    const std::string clipFolder = GetTempClipFolder(false);
    std::vector<std::string> previous;
    if (!clipFolder.empty() && IsDirectory(clipFolder))
        previous = FolderPaths(clipFolder);
    const std::optional<std::vector<std::uint8_t>> block = WriteClipboardBlock();
    IClipboardPort& port = m_clipboard ? *m_clipboard : GetSystemClipboardPort();
    // Nothing is deleted before the clipboard holds the block: a failed
    // hand-over must not lose the cut items.
    if (!block || !port.Put(*block)) {
        if (!clipFolder.empty() && IsDirectory(clipFolder))
            DeleteFolderContentsExcept(clipFolder, previous);
        return false;
    }
    for (const std::string& path : previous)
        IsDirectory(path) ? DeleteFolderTree(path) : ForceDeleteFile(path);
    if (cut)
        DeleteSelection();
    return true;
}

bool CLayoutManager::Copy()
{
    IClipboardPort& port = m_clipboard ? *m_clipboard : GetSystemClipboardPort();
    return CopySelection(false) && port.HasAnyFormat() && port.HasLayoutFormat();
}

bool CLayoutManager::Cut()
{
    IClipboardPort& port = m_clipboard ? *m_clipboard : GetSystemClipboardPort();
    return CopySelection(true) && port.HasAnyFormat() && port.HasLayoutFormat();
}

bool CLayoutManager::CanPaste() const
{
    IClipboardPort& port = m_clipboard ? *m_clipboard : GetSystemClipboardPort();
    return port.HasAnyFormat() && port.HasLayoutFormat();
}

int CLayoutManager::Paste()
{
    IClipboardPort& port = m_clipboard ? *m_clipboard : GetSystemClipboardPort();
    if (!port.HasAnyFormat() || !port.HasLayoutFormat())
        return 0;
    ILayoutManagerHost* host = GetLayoutManagerHost();
    ILayoutView* view = host ? host->GetActiveEditorView() : nullptr;
    auto say = [view](int text) {
        if (view)
            view->ShowLocalizedMessage(text, MB_ICONHAND);
    };

    const std::optional<std::vector<std::uint8_t>> bytes = port.Get();
    ClipBlock block;
    if (!bytes || !ReadBlock(*bytes, block)) {
        say(kGeneralErrorText);
        return 0;
    }
    const int pageLines = GetItemCount(-1, -1, &IsKindOf<CLineItem>);
    const int pageOthers =
        static_cast<int>(m_items.size()) - pageLines - GetItemCount(-1, -1, &IsKindOf<CMacroStringItem>);
    if (pageLines + block.lines > kMaxLines || pageOthers + block.others > kMaxOtherItems) {
        say(kTooManyItemsText);
        return 1;
    }
    if (IsActiveDocumentDSCLayout() && block.frames > 0) {
        say(kCameraFrameText);
        return 1;
    }
    if (block.items.empty())
        return 1;

    DeletePendingUndo();
    auto record = std::make_unique<CAddUndoInfo>();
    SelectAll(false);
    int nextFrame = GetFreeFrameNumber();
    std::vector<CInsertImageFrameItem*> renumber;
    const RECT p = GetPrintableRect();
    for (auto& item : block.items) {
        if (auto* line = dynamic_cast<CLineItem*>(item.get())) {
            const std::uint16_t number = GetFreeLineNumber();
            line->SetLineNumber(number);
            line->SetLabel(FormatNumberedName(m_newItemName, number));
        }
        if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get()))
            if (frame->GetFrameNumber() > nextFrame - 1)
                renumber.push_back(frame);
        item->SetVisible(true);

        RECT before;
        item->GetRect(&before, false);
        const RECT r = WidenedRect(item.get());
        const bool inside = r.left >= p.left && r.left <= p.right && r.top >= p.top && r.top <= p.bottom &&
                            r.right >= p.left && r.right <= p.right && r.bottom >= p.top &&
                            r.bottom <= p.bottom;
        if (!inside) {
            RECT fitted = FitRectInRect(p, r, false, false);
            if (auto* line = dynamic_cast<CLineItem*>(item.get())) {
                if (before.left == before.right) {
                    line->SetWidth(std::max(1, (fitted.right - fitted.left + 1) / 5 * 5));
                    fitted.right = fitted.left;
                } else {
                    line->SetWidth(std::max(1, (fitted.bottom - fitted.top + 1) / 5 * 5));
                    fitted.bottom = fitted.top;
                }
            }
            item->SetRect(fitted);
        }
        CLayoutItem* placed = item.get();
        AddItem(0, std::move(item));
        record->Add(placed);
    }
    while (!renumber.empty()) {
        const int smallest =
            (*std::min_element(renumber.begin(), renumber.end(), [](const auto* a, const auto* b) {
                return a->GetFrameNumber() < b->GetFrameNumber();
            }))->GetFrameNumber();
        std::erase_if(renumber, [&](CInsertImageFrameItem* frame) {
            if (frame->GetFrameNumber() != smallest)
                return false;
            frame->SetFrameNumber(nextFrame);
            frame->SetLabel(FormatFrameName(nextFrame));
            return true;
        });
        ++nextFrame;
    }
    SetPendingUndo(std::move(record));
    Notify(LayoutChangeItems);
    Notify(LayoutChangeContent);
    RefreshToolBox();
    return 1;
}
