// A whole A4 page of 20 pictures of 4000 x 3000 (10 photos in photo frames,
// 10 frame pictures with transparency masks, each mask edited) and 20 lines,
// made here:
// - opening the saved editor document, against libjpeg-turbo decoding its 20
//   pictures from memory;
// - the first save, which encodes every frame picture and copies every photo,
//   against libjpeg-turbo encoding those 10 frame pictures with their masks
//   from memory to memory;
// - saving the page again unchanged, against that first save.
#include "App/DocumentFileKinds.h"
#include "App/support/DocumentFakes.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/EFFFile.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "support/JpegReference.h"
#include "support/JpegTestSupport.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kPictures = 10; // of each kind
constexpr int kLines = 20;
constexpr int kA4 = 3;

namespace fs = std::filesystem;

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "page bench: %s\n", what);
    std::abort();
}

std::vector<std::uint8_t> Bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Bottom-up B, G, R and the mask value, as the frame pictures' files hold them.
std::vector<std::uint8_t> FramePixels(int index)
{
    const std::vector<std::uint8_t> rgb = JpegTestPhoto(kWidth, kHeight, 100 + index);
    const std::vector<std::uint8_t> plane = JpegTestPlane(kWidth, kHeight);
    std::vector<std::uint8_t> pixels(std::size_t(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y) {
        const std::size_t from = std::size_t(kHeight - 1 - y) * kWidth;
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = &pixels[(std::size_t(y) * kWidth + x) * 4];
            const std::uint8_t* s = &rgb[(from + x) * 3];
            p[0] = s[2];
            p[1] = s[1];
            p[2] = s[0];
            p[3] = plane[from + x];
        }
    }
    return pixels;
}

// The pictures the page is made of, written once per process.
struct Pictures
{
    fs::path folder;
    std::vector<std::string> photos;
    std::vector<std::string> frames;
};

const Pictures& Sources()
{
    static const Pictures pictures = [] {
        Pictures p;
        p.folder = BenchTempPath("-page");
        fs::create_directories(p.folder);
        for (int i = 0; i < kPictures; ++i) {
            std::vector<std::uint8_t> stream;
            JpegReferenceEncodeOptions options;
            if (!JpegReferenceEncode(JpegTestPhoto(kWidth, kHeight, 1 + i).data(), kWidth, kHeight, options,
                                     stream))
                Fail("photo not encoded");
            const fs::path photo = p.folder / ("photo" + std::to_string(i) + ".jpg");
            std::ofstream(photo, std::ios::binary)
                .write(reinterpret_cast<const char*>(stream.data()), std::streamsize(stream.size()));
            p.photos.push_back(photo.string());
            const fs::path frame = p.folder / ("frame" + std::to_string(i) + ".eff");
            const std::vector<std::uint8_t> pixels = FramePixels(i);
            std::vector<std::uint8_t> plane(std::size_t(kWidth) * kHeight);
            for (std::size_t at = 0; at < plane.size(); ++at)
                plane[at] = pixels[at * 4 + 3];
            if (CEFFFile().WriteBuffer(frame.string(), pixels.data(), plane.data(), kWidth, kHeight) != 0)
                Fail("frame picture not written");
            p.frames.push_back(frame.string());
        }
        return p;
    }();
    return pictures;
}

// One document over the editor's own readers and writers.
struct Session
{
    DocumentFixture fixture;
    DocumentFileKinds kinds;
    CZAVEditorDoc& Document() { return *fixture.document; }
    CLayoutManager& Layout() { return *Document().GetLayoutManager(); }
    std::string Target(const char* name) const { return fixture.Work() + "/" + name + ".zvd"; }
};

template <class T> bool Put(CLayoutManager& layout, std::unique_ptr<T> item, RECT rect)
{
    item->SetRect(rect);
    item->SetVisible(true);
    return layout.AddItem(layout.GetItemCount(-1, -1, nullptr), std::move(item));
}

// A frame picture's mask edited as the transparency view does, so that the
// first save must encode it.
bool EditMask(CBackgroundImageFrameItem& item)
{
    CBMPFile bmp;
    std::uint8_t* raw = nullptr;
    SIZE size{};
    if (bmp.ReadRaw32(item.GetImageFileName2(), &raw, &size) != 0)
        return false;
    const PageBuffer pixels(raw);
    for (int x = 0; x < size.cx; ++x)
        pixels.get()[std::size_t(x) * 4 + 3] = 0;
    if (bmp.WriteRaw32(item.GetImageFileName2(), pixels.get(), size.cx, size.cy) != 0)
        return false;
    item.WorkingCopyRewritten();
    return true;
}

// Photo frames and frame pictures in a grid of 4 x 5 cells, lines between.
bool BuildPage(Session& session)
{
    const Pictures& pictures = Sources();
    if (!session.Document().NewSingleLayout(kA4, 0, 0)) {
        std::fprintf(stderr, "page bench: no A4 page\n");
        return false;
    }
    CLayoutManager& layout = session.Layout();
    const RECT page = layout.GetPrintableRect();
    const int cellW = (page.right - page.left) / 4;
    const int cellH = (page.bottom - page.top) / 5;
    for (int i = 0; i < 2 * kPictures; ++i) {
        const RECT cell{page.left + (i % 4) * cellW + 4, page.top + (i / 4) * cellH + 4,
                        page.left + (i % 4 + 1) * cellW - 4, page.top + (i / 4 + 1) * cellH - 4};
        if (i % 2 == 0) {
            auto frame = std::make_unique<CInsertImageFrameItem>();
            frame->SetFrameNumber(i / 2 + 1);
            if (frame->LoadImage(pictures.photos[std::size_t(i / 2)]) != ImageLoadOk ||
                !Put(layout, std::move(frame), cell)) {
                std::fprintf(stderr, "page bench: photo %d not placed\n", i / 2);
                return false;
            }
        } else {
            auto back = std::make_unique<CBackgroundImageFrameItem>();
            if (back->LoadImage(pictures.frames[std::size_t(i / 2)]) != ImageLoadOk || !EditMask(*back) ||
                !Put(layout, std::move(back), cell)) {
                std::fprintf(stderr, "page bench: frame picture %d not placed\n", i / 2);
                return false;
            }
        }
    }
    for (int i = 0; i < kLines; ++i) {
        auto line = std::make_unique<CLineItem>();
        line->SetWidth(1 + i % 3);
        line->SetColor(RGB(10 * i, 0, 0));
        const int y = page.top + 2 + i * ((page.bottom - page.top - 4) / kLines);
        if (!Put(layout, std::move(line), RECT{page.left + 2, y, page.right - 2, y}))
            return false;
    }
    return true;
}

// A page saved once, for the open and its reference.
struct SavedPage
{
    std::string path;
    std::vector<std::vector<std::uint8_t>> files; // the pictures of the companion folder
};

const SavedPage& Saved()
{
    static const SavedPage saved = [] {
        SavedPage s;
        s.path = BenchTempPath("-page-saved.zvd");
        Session session;
        if (!BuildPage(session))
            Fail("page not made");
        if (session.kinds.SaveZvdDocument(session.Document(), s.path) != 0)
            Fail("page not saved");
        for (const auto& entry : fs::directory_iterator(fs::path(s.path).replace_extension()))
            if (entry.path().extension() == ".jpg" || entry.path().extension() == ".eff")
                s.files.push_back(Bytes(entry.path()));
        if (s.files.size() != 2 * kPictures)
            Fail("pictures missing from the saved page");
        return s;
    }();
    return saved;
}

void OpenOurs(benchmark::State& state)
{
    const SavedPage& saved = Saved();
    Session session;
    for (auto _ : state) {
        session.Document().ResetLayout();
        if (session.kinds.LoadZvdDocument(session.Document(), saved.path) != 1 ||
            session.Layout().GetItemCount(-1, -1, nullptr) != 2 * kPictures + kLines)
            state.SkipWithError("open failed");
    }
}

void OpenReference(benchmark::State& state)
{
    const SavedPage& saved = Saved();
    for (auto _ : state) {
        for (const auto& file : saved.files) {
            JpegReferenceImage image;
            if (!JpegReferenceDecode(file.data(), file.size(), true, image) || image.width != kWidth)
                state.SkipWithError("decoding failed");
            benchmark::DoNotOptimize(image.pixels.data());
        }
    }
}

// The first save of a page just made, and, when `again`, a second save of it
// unchanged; only the save asked for is timed.
void Save(benchmark::State& state, bool again)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto session = std::make_unique<Session>();
        if (!BuildPage(*session))
            state.SkipWithError("page not made");
        const std::string target = session->Target("page");
        if (again) {
            if (session->kinds.SaveZvdDocument(session->Document(), target) != 0)
                state.SkipWithError("save failed");
        }
        state.ResumeTiming();
        if (session->kinds.SaveZvdDocument(session->Document(), target) != 0)
            state.SkipWithError("save failed");
        state.PauseTiming();
        session.reset();
        state.ResumeTiming();
    }
}

void FirstSave(benchmark::State& state)
{
    Save(state, false);
}

void Resave(benchmark::State& state)
{
    Save(state, true);
}

// The frame pictures as the first save encodes them: colour and mask, four
// components at 1x1 sampling, quality 90.
void EncodeReference(benchmark::State& state)
{
    std::vector<std::vector<std::uint8_t>> pictures;
    for (int i = 0; i < kPictures; ++i) {
        std::vector<std::uint8_t> pixels = FramePixels(i);
        for (std::size_t p = 0; p < pixels.size(); p += 4)
            std::swap(pixels[p], pixels[p + 2]);
        pictures.push_back(std::move(pixels));
    }
    JpegReferenceEncodeOptions options;
    options.cmyk = true;
    options.hSampling = 1;
    options.vSampling = 1;
    std::vector<std::uint8_t> out(std::size_t(kWidth) * kHeight * 4);
    for (auto _ : state) {
        for (const auto& pixels : pictures) {
            std::size_t written = 0;
            if (!JpegReferenceEncodeInto(pixels.data(), kWidth, kHeight, options, out.data(), out.size(),
                                         written))
                state.SkipWithError("encoding failed");
            benchmark::DoNotOptimize(out[written - 1]);
        }
    }
}

} // namespace

BENCHMARK(OpenOurs)->Name("page-open/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenReference)->Name("page-open/libjpeg-turbo")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FirstSave)->Name("page-save/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(EncodeReference)->Name("page-save/libjpeg-turbo")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Resave)->Name("page-resave/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FirstSave)->Name("page-resave/first-save")->Unit(benchmark::kMillisecond)->UseRealTime();
