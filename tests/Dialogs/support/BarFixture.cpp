#include "Dialogs/support/BarFixture.h"

#include "Core/LocalizeScript.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"

#include <memory>

BarFixture::BarFixture(const std::vector<std::string>& uiSettings) : doc(uiSettings)
{
    shell.localizeIniPath = doc.host.localizeIniPath;
    shell.document = doc.document.get();
    shell.settings.SetInstallSettings(ReadInstallSettings(doc.host.localizeIniPath));
    doc.document->NewSingleLayout(0, 0, 0);
}

CLayoutManager& BarFixture::Layout()
{
    return *doc.document->GetLayoutManager();
}

std::vector<CLayoutItem*> BarFixture::Order()
{
    std::vector<CLayoutItem*> order;
    for (const auto& item : Layout().GetItems())
        order.push_back(item.get());
    return order;
}

std::vector<CLayoutItem*> BarFixture::Selected()
{
    std::vector<CLayoutItem*> selected;
    for (const auto& item : Layout().GetItems())
        if (item->IsSelected())
            selected.push_back(item.get());
    return selected;
}

std::string BarFixture::Text(int id) const
{
    std::string text;
    CLocalizeScript(doc.host.localizeIniPath).GetCaption(id, text);
    return text;
}

namespace {
template <class T> T* Append(CLayoutManager& layout, std::unique_ptr<T> item, const char* label, RECT rect)
{
    T* raw = item.get();
    item->SetLabel(label);
    item->SetRect(rect);
    layout.AddItem(layout.GetItemCount(-1, -1, nullptr), std::move(item));
    return raw;
}
} // namespace

BarFixture::Page BarFixture::MakePage()
{
    CLayoutManager& layout = Layout();
    Page page;
    auto frame = std::make_unique<CInsertImageFrameItem>();
    auto macro1 = std::make_unique<CMacroStringItem>();
    auto macro2 = std::make_unique<CMacroStringItem>();
    macro1->SetOwnerFrame(frame.get());
    macro2->SetOwnerFrame(frame.get());
    frame->SetLinkedText1(macro1.get());
    frame->SetLinkedText2(macro2.get());
    page.macro1 = Append(layout, std::move(macro1), "Date", RECT{60, 320, 260, 340});
    page.macro2 = Append(layout, std::move(macro2), "File", RECT{60, 340, 260, 360});
    page.frame = Append(layout, std::move(frame), "Frame", RECT{60, 60, 260, 300});
    page.text = Append(layout, std::make_unique<CStringItem>(), "Text", RECT{100, 400, 300, 440});
    page.line = Append(layout, std::make_unique<CLineItem>(), "Line", RECT{50, 500, 450, 500});
    page.background =
        Append(layout, std::make_unique<CBackgroundImageFrameItem>(), "Background", RECT{0, 0, 600, 900});
    layout.SelectAll(false);
    return page;
}
