// Clipboard blocks of arbitrary bytes, as another editor may have left them
// in the layout format, pasted onto a page with items. The pasted items must
// copy into a block that pastes as many items onto a page like the first, and
// Undo must take them away again.
#include "ClipboardFuzzPage.h"
#include "Layout/ClipboardPort.h"
#include "Layout/LayoutItem.h"

#include <algorithm>
#include <cstdlib>

namespace {

class BytesClipboard : public IClipboardPort
{
public:
    explicit BytesClipboard(std::vector<std::uint8_t> block) : m_block(std::move(block)) {}
    bool HasAnyFormat() override { return true; }
    bool HasLayoutFormat() override { return true; }
    bool Put(const std::vector<std::uint8_t>& block) override
    {
        m_block = block;
        return true;
    }
    std::optional<std::vector<std::uint8_t>> Get() override { return m_block; }

private:
    std::vector<std::uint8_t> m_block;
};

std::size_t PasteOnto(CLayoutManager& manager, BytesClipboard& clipboard)
{
    manager.SetClipboardPort(&clipboard);
    const std::size_t before = manager.GetItems().size();
    if (manager.Paste() != 1)
        return 0;
    if (manager.GetItems().size() < before)
        std::abort();
    return manager.GetItems().size() - before;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ClipboardFuzzFolder folder;
    {
        const InFuzzFolder here(folder);
        BytesClipboard clipboard(std::vector<std::uint8_t>(data, data + size));
        CLayoutManager page;
        SetUpFuzzPage(page);
        std::vector<const CLayoutItem*> original;
        for (const auto& item : page.GetItems())
            original.push_back(item.get());
        const std::size_t pasted = PasteOnto(page, clipboard);
        if (pasted > 0) {
            // A block may say that its items were not selected: select what came in.
            for (const auto& item : page.GetItems())
                item->SetSelected(std::find(original.begin(), original.end(), item.get()) == original.end());
            const auto again = page.WriteClipboardBlock();
            if (!again)
                std::abort(); // what was pasted must copy
            BytesClipboard copied(*again);
            CLayoutManager second;
            SetUpFuzzPage(second);
            if (PasteOnto(second, copied) != pasted)
                std::abort(); // and paste as many items again
            page.Undo();
            if (page.GetItems().size() != original.size())
                std::abort();
        }
    }
    folder.ClearTemporaryFiles();
    return 0;
}
