#include "Layout/support/ManagerTestSupport.h"

namespace managertest {

std::unique_ptr<CLineItem> MakeLine(RECT rect, int width, COLORREF color)
{
    auto line = std::make_unique<CLineItem>();
    line->SetRect(rect);
    line->SetWidth(width);
    line->SetColor(color);
    return line;
}

std::unique_ptr<CStringItem> MakeString(RECT rect, const std::string& label)
{
    auto text = std::make_unique<CStringItem>();
    text->SetRect(rect);
    text->SetLabel(label);
    return text;
}

std::unique_ptr<CInsertImageFrameItem> MakeFrame(RECT rect, int number)
{
    auto frame = std::make_unique<CInsertImageFrameItem>();
    frame->SetRect(rect);
    frame->SetFrameNumber(number);
    frame->SetLabel("F" + std::to_string(number));
    return frame;
}

CInsertImageFrameItem* AppendFrameWithTexts(CLayoutManager& manager, RECT rect, int number,
                                            const std::vector<RECT>& textRects)
{
    std::vector<CMacroStringItem*> texts;
    for (std::size_t k = 0; k < textRects.size() && k < 3; ++k) {
        auto text = std::make_unique<CMacroStringItem>();
        text->SetRect(textRects[k]);
        text->SetMacroKind(static_cast<int>(k));
        text->SetDirection(static_cast<int>(k));
        text->SetLabel("T" + std::to_string(number) + "." + std::to_string(k));
        texts.push_back(Append(manager, std::move(text)));
    }
    CInsertImageFrameItem* frame = Append(manager, MakeFrame(rect, number));
    for (std::size_t k = 0; k < texts.size(); ++k) {
        texts[k]->SetOwnerFrame(frame);
        if (k == 0)
            frame->SetLinkedText1(texts[k]);
        else if (k == 1)
            frame->SetLinkedText2(texts[k]);
        else
            frame->SetLinkedText3(texts[k]);
    }
    return frame;
}

std::vector<std::string> Labels(const CLayoutManager& manager)
{
    std::vector<std::string> labels;
    for (const auto& item : manager.GetItems())
        labels.push_back(item->GetLabel());
    return labels;
}

std::vector<int> FrameNumbers(const CLayoutManager& manager)
{
    std::vector<int> numbers;
    for (const auto& item : manager.GetItems())
        if (const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(item.get()))
            numbers.push_back(frame->GetFrameNumber());
    return numbers;
}

void SetUpA4(CLayoutManager& manager)
{
    manager.SetNewItemName("Line%d");
    manager.SetFrameNameFormat("Frame%d");
    manager.SetPaper(3, 0, 0, 500, false);
}

} // namespace managertest
