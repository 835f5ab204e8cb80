// Writes the seed blocks of the clipboard's fuzz corpus with the copy path
// itself: selections of each kind of item, with and without pictures. The
// pictures' paths are rewritten to the harness's own picture, so that the
// blocks replay in any folder.
#include "ClipboardFuzzPage.h"

#include "Core/TempFolders.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

std::string g_out;
int g_count = 0;

// Lines naming a file of the editor's temporary folders name the picture instead.
std::string WithLocalPictures(const std::vector<std::uint8_t>& block)
{
    const std::string temp = GetTempFolder() + "/";
    std::string bytes(block.begin(), block.end());
    for (std::size_t at = bytes.find(temp); at != std::string::npos; at = bytes.find(temp, at)) {
        const std::size_t end = bytes.find('\n', at);
        bytes.replace(at, end - at, kFuzzPicture);
        at += sizeof kFuzzPicture - 1;
    }
    return bytes;
}

void Seed(const std::string& name, const std::function<void(CLayoutManager&)>& build)
{
    CLayoutManager page;
    SetUpFuzzPage(page);
    page.SelectAll(false);
    build(page);
    const auto block = page.WriteClipboardBlock();
    if (!block) {
        std::fprintf(stderr, "%s: not written\n", name.c_str());
        std::exit(1);
    }
    std::ofstream(g_out + "/" + name, std::ios::binary) << WithLocalPictures(*block);
    ++g_count;
}

template <class Item> Item* Add(CLayoutManager& page, RECT rect, bool selected = true)
{
    auto item = std::make_unique<Item>();
    item->SetRect(rect);
    item->SetLabel("Item");
    item->SetSelected(selected);
    Item* raw = item.get();
    page.AddItem(-1, std::move(item));
    return raw;
}

CLineItem* AddLine(CLayoutManager& page, RECT rect, int width)
{
    CLineItem* line = Add<CLineItem>(page, rect);
    line->SetWidth(width);
    line->SetColor(0x00336699);
    return line;
}

template <class Frame> Frame* AddFrame(CLayoutManager& page, RECT rect, bool picture)
{
    Frame* frame = Add<Frame>(page, rect);
    const int loaded = picture ? frame->LoadImage(kFuzzPicture) : ImageLoadOk;
    if (loaded != ImageLoadOk) {
        std::fprintf(stderr, "picture not loaded: %d\n", loaded);
        std::exit(1);
    }
    return frame;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    g_out = std::filesystem::absolute(argv[1]).string();
    std::filesystem::create_directories(g_out);
    const ClipboardFuzzFolder folder;
    const InFuzzFolder here(folder);

    Seed("nothing", [](CLayoutManager&) {});
    Seed("line", [](CLayoutManager& p) { AddLine(p, RECT{10, 200, 300, 200}, 5); });
    Seed("vertical-line", [](CLayoutManager& p) { AddLine(p, RECT{40, 10, 40, 400}, 1); });
    Seed("long-line", [](CLayoutManager& p) { AddLine(p, RECT{-100, 30, 9000, 30}, 20); });
    Seed("lines-15", [](CLayoutManager& p) {
        for (int i = 0; i < 15; ++i)
            AddLine(p, RECT{10, 10 + 10 * i, 100, 10 + 10 * i}, 1 + i);
    });
    Seed("string", [](CLayoutManager& p) { Add<CStringItem>(p, RECT{0, 0, 120, 40})->SetText("Text"); });
    Seed("string-styled", [](CLayoutManager& p) {
        CStringItem* text = Add<CStringItem>(p, RECT{10, 10, 200, 90});
        text->SetText("Two\r\nlines");
        text->SetTextColor(0x000000FF);
        text->SetShadow(true);
        text->SetShadowOffset(POINT{3, 4});
        text->SetBackColorOn(true);
        text->SetBackColor(0x00FFEE00);
        text->SetVerticalText(true);
        text->SetDirection(1);
    });
    Seed("background-frame", [](CLayoutManager& p) {
        AddFrame<CBackgroundImageFrameItem>(p, RECT{0, 0, 300, 300}, false);
    });
    Seed("background-picture", [](CLayoutManager& p) {
        AddFrame<CBackgroundImageFrameItem>(p, RECT{0, 0, 300, 300}, true)->SetAspectFixed(true);
    });
    Seed("insert-frame", [](CLayoutManager& p) {
        AddFrame<CInsertImageFrameItem>(p, RECT{10, 10, 110, 90}, false)->SetFrameNumber(3);
    });
    Seed("insert-picture", [](CLayoutManager& p) {
        CInsertImageFrameItem* frame = AddFrame<CInsertImageFrameItem>(p, RECT{10, 10, 110, 90}, true);
        frame->SetFrameNumber(1);
        frame->SetImageRotation(1);
    });
    Seed("frames-2-3", [](CLayoutManager& p) {
        AddFrame<CInsertImageFrameItem>(p, RECT{10, 10, 110, 90}, false)->SetFrameNumber(2);
        AddFrame<CInsertImageFrameItem>(p, RECT{120, 10, 220, 90}, true)->SetFrameNumber(3);
    });
    Seed("frame-with-texts", [](CLayoutManager& p) {
        CMacroStringItem* text = Add<CMacroStringItem>(p, RECT{0, 0, 50, 20});
        CInsertImageFrameItem* frame = AddFrame<CInsertImageFrameItem>(p, RECT{10, 30, 110, 90}, false);
        frame->SetFrameNumber(4);
        text->SetOwnerFrame(frame);
        frame->SetLinkedText1(text);
    });
    Seed("everything", [](CLayoutManager& p) {
        AddLine(p, RECT{10, 20, 200, 20}, 3);
        Add<CStringItem>(p, RECT{5, 5, 90, 30})->SetText("Mixed");
        AddFrame<CBackgroundImageFrameItem>(p, RECT{0, 0, 400, 400}, true);
        AddFrame<CInsertImageFrameItem>(p, RECT{30, 30, 130, 130}, true)->SetFrameNumber(5);
        AddLine(p, RECT{300, 10, 300, 210}, 7);
    });
    Seed("unselected-too", [](CLayoutManager& p) {
        Add<CStringItem>(p, RECT{5, 5, 90, 30}, false);
        AddLine(p, RECT{10, 20, 200, 20}, 3);
    });
    std::printf("wrote %d blocks\n", g_count);
    return 0;
}
