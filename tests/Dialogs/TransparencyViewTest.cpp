#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/LocalizeScript.h"
#include "Dialogs/TransparencyPictureView.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/BitmapInfo.h"
#include "ImageProcessing/ImageIcon.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Platform/AtomicFileWriter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <unistd.h>
#include <vector>

namespace {

using Alpha = std::function<int(int x, int y)>;

int Pattern(int x, int y)
{
    return (x * 7 + y * 13 + (x * y) % 5) & 0xFF;
}

std::uint32_t ColorAt(int x, int y)
{
    return static_cast<std::uint32_t>((x * 3) & 0xFF) | (static_cast<std::uint32_t>((y * 5) & 0xFF) << 8) |
           (static_cast<std::uint32_t>((x + y) & 0xFF) << 16);
}

// Bottom-up 32-bit pixels whose fourth byte is the alpha.
std::vector<std::uint8_t> Pixels(int w, int h, const Alpha& alpha)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = ColorAt(x, y) | (static_cast<std::uint32_t>(alpha(x, y)) << 24);
            std::memcpy(&bytes[(static_cast<std::size_t>(h - 1 - y) * w + x) * 4], &v, 4);
        }
    return bytes;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The mask byte at top-down (x, y) of the view.
int MaskAt(const CTransparencyMask& picture, int x, int y)
{
    return picture.GetMask()[static_cast<std::size_t>(picture.GetHeight() - 1 - y) * picture.GetStride() + x];
}

// The stored picture's (x, y) for the turned picture's (x, y); W x H stored.
POINT StoredPoint(int rotation, int x, int y, int W, int H)
{
    switch (rotation) {
    case 1:
        return POINT{y, H - 1 - x};
    case 2:
        return POINT{W - 1 - x, H - 1 - y};
    case 3:
        return POINT{W - 1 - y, x};
    default:
        return POINT{x, y};
    }
}

class RecordingProgress : public IFilterProgress
{
public:
    RecordingProgress(std::vector<std::string>& texts, std::vector<int>& positions, int& open)
        : m_texts(texts), m_positions(positions), m_open(open)
    {
        ++m_open;
    }
    ~RecordingProgress() override { --m_open; }
    void SetText(const std::string& text) override { m_texts.push_back(text); }
    void SetPos(int percent) override
    {
        m_positions.push_back(percent);
        if (onPos)
            onPos();
    }
    std::function<void()> onPos;

private:
    std::vector<std::string>& m_texts;
    std::vector<int>& m_positions;
    int& m_open;
};

class CountingWait : public IWaitFeedback
{
public:
    void BeginWait() override { ++begun; }
    void EndWait() override { ++ended; }
    void KeepPainted() override {}
    int begun = 0;
    int ended = 0;
};

class InputCounter : public QWidget
{
public:
    int presses = 0;
    int userEvents = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            ++userEvents;
        return QWidget::event(e);
    }
};

// Fails the rename that would put a staged file in place.
class FailingRename : public IFileWriteCalls
{
public:
    int Open(const char* path, int flags, mode_t mode) override { return ::open(path, flags, mode); }
    ssize_t Write(int fd, const void* buffer, std::size_t count) override
    {
        return ::write(fd, buffer, count);
    }
    int Sync(int fd) override { return ::fsync(fd); }
    int Rename(const char*, const char*) override
    {
        errno = EIO;
        return -1;
    }
};

class TransparencyViewTest : public ::testing::Test
{
protected:
    // A background item whose working file is a w x h 32-bit bitmap with the alpha.
    std::unique_ptr<CBackgroundImageFrameItem> MakeItem(int w, int h, const Alpha& alpha, int rotation)
    {
        const std::string source =
            app.TempFolder().toStdString() + "/source" + std::to_string(++m_count) + ".bmp";
        const std::vector<std::uint8_t> pixels = Pixels(w, h, alpha);
        EXPECT_EQ(CBMPFile().WriteBuffer(source, pixels.data(), nullptr, w, h), 0);
        auto item = std::make_unique<CBackgroundImageFrameItem>();
        EXPECT_EQ(item->LoadImage(source), ImageLoadOk);
        EXPECT_EQ(CBMPFile().WriteRaw32(item->GetImageFileName2(), pixels.data(), w, h), 0);
        item->SetImageRotation(rotation);
        return item;
    }

    std::unique_ptr<CTransparencyPictureView> MakeView(int width = 300, int height = 200)
    {
        auto view = std::make_unique<CTransparencyPictureView>(app.shell);
        view->resize(width, height);
        view->SetProgressFactory([this](QWidget*) {
            auto progress = std::make_unique<RecordingProgress>(texts, positions, openProgress);
            progress->onPos = onPos;
            return progress;
        });
        return view;
    }

    StartedApp app;
    std::vector<std::string> texts;
    std::vector<int> positions;
    int openProgress = 0;
    std::function<void()> onPos;

private:
    int m_count = 0;
};

// The colour the view shows at a window point (its display image is bottom-up).
std::uint32_t ShownPixel(const CTransparencyPictureView& view, int x, int y)
{
    const CImage& d = view.DisplayImage();
    std::uint32_t v = 0;
    std::memcpy(&v, d.GetBits() + static_cast<std::size_t>(d.GetHeight() - 1 - y) * d.GetRowBytes() + x * 4,
                4);
    return v & 0xFFFFFF;
}

} // namespace

TEST_F(TransparencyViewTest, LoadingTurnsPixelsAndMaskLikeTheItemAndKeepsAnUndoCopy)
{
    const int W = 401, H = 300;
    for (int rotation = 0; rotation < 4; ++rotation) {
        auto item = MakeItem(W, H, Pattern, rotation);
        auto view = MakeView();
        ASSERT_EQ(view->SetItem(item.get()), 1);
        const CTransparencyMask& picture = view->Picture();
        const bool swapped = rotation % 2 == 1;
        ASSERT_EQ(picture.GetWidth(), swapped ? H : W);
        ASSERT_EQ(picture.GetHeight(), swapped ? W : H);
        EXPECT_EQ(picture.GetStride(), AlignRowBytes(picture.GetWidth()));
        EXPECT_EQ(picture.GetRotation(), rotation);
        bool same = true;
        for (int y = 0; y < picture.GetHeight() && same; ++y)
            for (int x = 0; x < picture.GetWidth() && same; ++x) {
                const POINT s = StoredPoint(rotation, x, y, W, H);
                const auto* px =
                    picture.GetPixels() +
                    (static_cast<std::size_t>(picture.GetHeight() - 1 - y) * picture.GetWidth() + x) * 4;
                std::uint32_t v = 0;
                std::memcpy(&v, px, 4);
                same = MaskAt(picture, x, y) == Pattern(s.x, s.y) && (v & 0xFFFFFF) == ColorAt(s.x, s.y);
                EXPECT_TRUE(same) << "rotation " << rotation << " at " << x << "," << y;
            }
        EXPECT_EQ(std::memcmp(picture.GetMask(), picture.GetUndoMask(),
                              static_cast<std::size_t>(picture.GetStride()) * picture.GetHeight()),
                  0);
    }
}

TEST_F(TransparencyViewTest, AnItemWithoutWorkingFileFailsSilentlyAndAnUnreadableOneIsReported)
{
    auto view = MakeView();
    CBackgroundImageFrameItem empty;
    try {
        view->SetItem(&empty);
        FAIL() << "no failure";
    } catch (enumErrorID id) {
        EXPECT_EQ(id, ErrorIdSilent);
    }
    auto item = MakeItem(200, 200, Pattern, 0);
    std::ofstream(item->GetImageFileName2(), std::ios::binary | std::ios::trunc) << "BM not a bitmap";
    try {
        view->SetItem(item.get());
        FAIL() << "no failure";
    } catch (enumErrorID id) {
        EXPECT_EQ(id, ErrorIdReported);
    }
    EXPECT_FALSE(view->Picture().IsLoaded());
}

TEST_F(TransparencyViewTest, ShapesMergeByModeAndLevelInsideTheirRectangleOnly)
{
    struct Case
    {
        int tool, mode, ratio;
        bool camera;
        std::function<int(int before)> inside;
    };
    const Case cases[] = {
        {0, 0, 100, false, [](int) { return 255; }},
        {0, 1, 0, false, [](int) { return 0; }},
        {0, 1, 30, false, [](int before) { return std::min(before, 77); }},
        {0, 0, 70, false, [](int before) { return std::max(before, 178); }},
        {0, 0, 30, true, [](int) { return 255; }},
        {0, 1, 30, true, [](int) { return 0; }},
    };
    const RECT shape{20, 30, 61, 70};
    for (const Case& c : cases) {
        app.Document().SetDSCLayout(c.camera ? 1 : 0);
        auto item = MakeItem(200, 170, Pattern, 0);
        auto view = MakeView();
        view->SetItem(item.get());
        view->SetTool(c.tool);
        view->SetMode(c.mode);
        view->SetTransparencyLevel(c.ratio);
        view->SetBlurAmount(0);
        ASSERT_EQ(view->ApplyTransparencyTool(shape), 1);
        for (int y = 0; y < 170; ++y)
            for (int x = 0; x < 200; ++x) {
                const bool inside = x >= shape.left && x < shape.right && y >= shape.top && y < shape.bottom;
                const int want = inside ? c.inside(Pattern(x, y)) : Pattern(x, y);
                ASSERT_EQ(MaskAt(view->Picture(), x, y), want)
                    << "mode " << c.mode << " ratio " << c.ratio << " at " << x << "," << y;
            }
    }
    app.Document().SetDSCLayout(0);
}

TEST_F(TransparencyViewTest, AShapeNearTheTopLeftLandsThereAndAFeatheredOneIsClippedAtTheEdges)
{
    auto item = MakeItem(
        200, 170, [](int, int) { return 0; }, 0);
    auto view = MakeView();
    view->SetItem(item.get());
    view->SetBlurAmount(0);
    view->ApplyTransparencyTool(RECT{10, 5, 0, 0}); // dragged up and left: normalised
    for (int y = 0; y < 170; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(MaskAt(view->Picture(), x, y), (x < 10 && y < 5) ? 255 : 0) << x << "," << y;

    auto feathered = MakeView();
    feathered->SetItem(item.get());
    feathered->SetTool(CTransparencyPictureView::ToolEllipse);
    feathered->SetBlurAmount(50);
    ASSERT_EQ(feathered->ApplyTransparencyTool(RECT{10, 10, 130, 120}), 1);
    const CTransparencyMask& p = feathered->Picture();
    EXPECT_GT(MaskAt(p, 0, 0), 0);     // the fade reaches past the picture's corner
    EXPECT_GE(MaskAt(p, 70, 65), 250); // the ellipse's centre
    EXPECT_GT(MaskAt(p, 175, 65), 0);  // inside the 50-pixel margin
    EXPECT_EQ(MaskAt(p, 181, 65), 0);  // beyond it
}

TEST_F(TransparencyViewTest, OnlyABlurAboveOneShowsTheProgressWhichFollowsTheFilter)
{
    auto item = MakeItem(300, 200, Pattern, 0);
    for (const int blur : {0, 1}) {
        auto view = MakeView();
        view->SetItem(item.get());
        view->SetBlurAmount(blur);
        view->ApplyTransparencyTool(RECT{50, 50, 120, 100});
        EXPECT_TRUE(texts.empty()) << blur;
        EXPECT_TRUE(positions.empty()) << blur;
    }
    auto view = MakeView();
    view->SetItem(item.get());
    view->SetBlurAmount(20);
    bool openDuring = false;
    onPos = [&] { openDuring = view->IsProgressOpen(); };
    view->ApplyTransparencyTool(RECT{50, 50, 120, 100});
    std::string caption;
    CLocalizeScript(ShippedIniPath()).GetCaption(148, caption);
    ASSERT_FALSE(caption.empty());
    EXPECT_EQ(texts, std::vector<std::string>{caption});
    ASSERT_FALSE(positions.empty());
    EXPECT_TRUE(openDuring);
    EXPECT_EQ(openProgress, 0);
    EXPECT_FALSE(view->IsProgressOpen());
    // Only progress events move it.
    positions.clear();
    EXPECT_EQ(view->SendFilterMessage(UM_FILTERPROGRESS, 2, 40), 0);
    EXPECT_TRUE(positions.empty());
}

TEST_F(TransparencyViewTest, InputQueuedWhileAShapeIsFeatheredIsDroppedAndOtherEventsStillArrive)
{
    auto item = MakeItem(300, 200, Pattern, 0);
    auto view = MakeView();
    view->SetItem(item.get());
    view->SetBlurAmount(20);
    InputCounter counter;
    counter.resize(50, 50);
    counter.show();
    bool posted = false;
    onPos = [&] {
        if (posted)
            return;
        posted = true;
        QCoreApplication::postEvent(&counter,
                                    new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    };
    view->ApplyTransparencyTool(RECT{50, 50, 120, 100});
    QCoreApplication::processEvents();
    EXPECT_TRUE(posted);
    EXPECT_EQ(counter.presses, 0);
    EXPECT_EQ(counter.userEvents, 1);
}

TEST_F(TransparencyViewTest, ZoomStepsFitAndStopAtTheEnds)
{
    auto item = MakeItem(200, 200, Pattern, 0);
    auto view = MakeView(250, 250);
    view->SetItem(item.get());
    view->FitZoom();
    EXPECT_EQ(view->GetZoom(), 100);
    view->resize(1700, 1700);
    view->FitZoom();
    EXPECT_EQ(view->GetZoom(), 800);
    view->ZoomIn(POINT{850, 850});
    EXPECT_EQ(view->GetZoom(), 800);
    view->SetZoom(10, 0, 0);
    view->ZoomOut(POINT{10, 10});
    EXPECT_EQ(view->GetZoom(), 10);
    view->ZoomIn(POINT{850, 850});
    EXPECT_EQ(view->GetZoom(), 25);
}

TEST_F(TransparencyViewTest, AutoScrollMovesOnlyWhereTheBarCanAndStartsItsTimerOnce)
{
    auto item = MakeItem(1000, 800, Pattern, 0);
    auto view = MakeView(300, 200);
    view->SetItem(item.get());
    view->SetZoom(100, 0, 0);
    ASSERT_TRUE(view->Geometry().Bar(WM_HSCROLL).inUse);
    EXPECT_EQ(view->AutoScroll(POINT{-5, 50}, 1), 0);
    EXPECT_FALSE(view->IsTimerRunning(1));
    EXPECT_FALSE(view->IsAutoScrolling());
    EXPECT_EQ(view->AutoScroll(POINT{view->ClientWidth() + 5, view->ClientHeight() + 5}, 1), 4 | 8);
    EXPECT_EQ(view->Geometry().GetScrollOrigin().x, 10);
    EXPECT_EQ(view->Geometry().GetScrollOrigin().y, 10);
    EXPECT_TRUE(view->IsAutoScrolling());
    EXPECT_TRUE(view->IsTimerRunning(1));
    EXPECT_EQ(view->AutoScroll(POINT{-1, -1}, 1), 1 | 2);
    EXPECT_EQ(view->Geometry().GetScrollOrigin().x, 0);
    // Back inside: the flag clears, and the next tick stops the timer.
    EXPECT_EQ(view->AutoScroll(POINT{20, 20}, 1), 0);
    EXPECT_FALSE(view->IsAutoScrolling());
    view->OnTimer(1);
    EXPECT_FALSE(view->IsTimerRunning(1));
}

TEST_F(TransparencyViewTest, ScrolledRenderingEqualsAFullRenderPixelForPixel)
{
    auto item = MakeItem(1000, 800, Pattern, 0);
    struct Step
    {
        unsigned bar;
        int code, position;
    };
    const Step steps[] = {
        {WM_VSCROLL, SB_THUMBTRACK, 3},    {WM_VSCROLL, SB_THUMBTRACK, 17},
        {WM_HSCROLL, SB_THUMBTRACK, 9},    {WM_VSCROLL, SB_THUMBTRACK, 5},
        {WM_HSCROLL, SB_THUMBTRACK, 2},    {WM_VSCROLL, SB_LINEDOWN, 0},
        {WM_HSCROLL, SB_PAGEDOWN, 0},      {WM_VSCROLL, SB_THUMBTRACK, 1000},
        {WM_HSCROLL, SB_THUMBTRACK, 5000}, {WM_VSCROLL, SB_THUMBTRACK, 990},
        {WM_HSCROLL, SB_THUMBTRACK, 690},  {WM_VSCROLL, SB_LINEUP, 0},
    };
    for (const int zoom : {100, 400}) {
        for (const bool checker : {false, true}) {
            auto view = MakeView(301, 203);
            view->SetItem(item.get());
            view->SetZoom(zoom, 0, 0);
            view->SetChecker(checker);
            const CImage& display = view->DisplayImage();
            const std::size_t bytes = static_cast<std::size_t>(display.GetRowBytes()) * display.GetHeight();
            int index = 0;
            for (const Step& s : steps) {
                view->OnScroll(s.bar, s.code, s.position);
                const std::vector<std::uint8_t> incremental(display.GetBits(), display.GetBits() + bytes);
                view->RenderAll();
                ASSERT_EQ(std::memcmp(incremental.data(), display.GetBits(), bytes), 0)
                    << "zoom " << zoom << " checker " << checker << " step " << index;
                ++index;
            }
        }
    }
}

TEST_F(TransparencyViewTest, AScrollOfMoreThanAWindowRendersEverythingAndASmallOneMovesWhatIsThere)
{
    auto item = MakeItem(1000, 800, Pattern, 0);
    auto view = MakeView(300, 200);
    view->SetItem(item.get());
    view->SetZoom(100, 0, 0);
    auto& display = const_cast<CImage&>(view->DisplayImage());
    const auto countMagenta = [&] {
        int n = 0;
        for (int y = 0; y < display.GetHeight(); ++y)
            for (int x = 0; x < display.GetWidth(); ++x) {
                std::uint32_t v = 0;
                std::memcpy(
                    &v, display.GetBits() + static_cast<std::size_t>(y) * display.GetRowBytes() + x * 4, 4);
                n += (v & 0xFFFFFF) == 0xFF00FF;
            }
        return n;
    };
    display.FillRect(0, 0, display.GetWidth(), display.GetHeight(), RGB(255, 0, 255));
    view->OnScroll(WM_VSCROLL, SB_THUMBTRACK, 5);
    EXPECT_GT(countMagenta(), 0); // moved, not redrawn
    display.FillRect(0, 0, display.GetWidth(), display.GetHeight(), RGB(255, 0, 255));
    view->OnScroll(WM_VSCROLL, SB_THUMBTRACK, 5 + view->ClientHeight() + 1);
    EXPECT_EQ(countMagenta(), 0);
}

TEST_F(TransparencyViewTest, PixelsAreDrawnThroughTheMaskOverWhiteOrTheChecker)
{
    auto item = MakeItem(170, 160, Pattern, 0);
    auto view = MakeView(300, 200);
    view->SetItem(item.get());
    view->SetZoom(100, 0, 0);
    const POINT o = view->Geometry().GetOffset();
    ASSERT_EQ(o.x, 65);
    ASSERT_EQ(o.y, 20);
    const auto shown = [&](int x, int y) { return ShownPixel(*view, x, y); };
    const auto blend = [](std::uint32_t s, std::uint32_t b, int m) {
        std::uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t c = (((s >> shift) & 0xFF) * (255 - m) + ((b >> shift) & 0xFF) * m) / 255;
            out |= c << shift;
        }
        return out;
    };
    for (const bool checker : {false, true}) {
        view->SetChecker(checker);
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 170; ++x) {
                const bool light = ((x / 8 + y / 8) % 2) == 0;
                const std::uint32_t ground = !checker || light ? 0xFFFFFFu : 0xCCCCCCu;
                ASSERT_EQ(shown(o.x + x, o.y + y), blend(ColorAt(x, y), ground, Pattern(x, y)))
                    << checker << " " << x << "," << y;
            }
        EXPECT_EQ(shown(o.x - 1, o.y), 0xABABABu);
        for (const int id : {kCheckerBitmapId, kGridRowBitmapId, kGridColumnBitmapId})
            EXPECT_FALSE(LoadBitmapResourcePicture(id).isNull()) << id;
        EXPECT_EQ(shown(o.x + 170, o.y + 159), 0xABABABu);
    }
}

TEST_F(TransparencyViewTest, TheGridAt800PercentDotsEveryPicturePixelBorder)
{
    // Part of a 160 x 160 picture at 800 %, scrolled to its top-left corner.
    auto item = MakeItem(
        160, 160, [](int, int) { return 0; }, 0);
    auto view = MakeView(1000, 1000);
    view->SetItem(item.get());
    view->SetZoom(800, 0, 0);
    const POINT o = view->Geometry().GetOffset();
    ASSERT_EQ(o.x, 0);
    ASSERT_EQ(o.y, 0);
    const auto shown = [&](int x, int y) { return ShownPixel(*view, x, y); };
    for (int k = 0; k < 20; ++k) {
        // A vertical border at 70 + 8k: black on even rows, white on odd ones.
        EXPECT_EQ(shown(o.x + 8 * k, o.y + 3), 0xFFFFFFu);
        EXPECT_EQ(shown(o.x + 8 * k, o.y + 4), 0x000000u);
        EXPECT_EQ(shown(o.x + 3 + 8 * k, o.y + 8 * k), 0xFFFFFFu);
        EXPECT_EQ(shown(o.x + 4 + 8 * k, o.y + 8 * k), 0x000000u);
        // Inside a picture pixel: its colour.
        EXPECT_EQ(shown(o.x + 8 * k + 5, o.y + 8 * 2 + 5), ColorAt(k, 2));
    }
}

TEST_F(TransparencyViewTest, UndoSwapsOneStepAndTheCheckerSwitchIgnoresItsCurrentValue)
{
    auto item = MakeItem(200, 170, Pattern, 0);
    auto view = MakeView();
    CountingWait wait;
    view->SetWaitFeedback(&wait);
    view->SetItem(item.get());
    const CTransparencyMask& p = view->Picture();
    const std::size_t bytes = static_cast<std::size_t>(p.GetStride()) * p.GetHeight();
    const std::vector<std::uint8_t> original(p.GetMask(), p.GetMask() + bytes);

    view->Undo(); // before any edit: two equal copies
    EXPECT_EQ(std::memcmp(p.GetMask(), original.data(), bytes), 0);

    view->SetBlurAmount(0);
    view->SaveUndo();
    view->ApplyTransparencyTool(RECT{10, 10, 50, 50});
    const std::vector<std::uint8_t> edited(p.GetMask(), p.GetMask() + bytes);
    ASSERT_NE(edited, original);
    view->Undo();
    EXPECT_EQ(std::memcmp(p.GetMask(), original.data(), bytes), 0);
    view->Undo();
    EXPECT_EQ(std::memcmp(p.GetMask(), edited.data(), bytes), 0);
    EXPECT_EQ(wait.begun, wait.ended);

    const int before = wait.begun;
    view->SetChecker(false);
    EXPECT_EQ(wait.begun, before);
    view->SetChecker(true);
    EXPECT_TRUE(view->IsCheckerOn());
    EXPECT_EQ(wait.begun, before + 1);
    view->SetChecker(true);
    EXPECT_EQ(wait.begun, before + 1);
}

TEST_F(TransparencyViewTest, CommitWritesTheEditedMaskThatLoadsBackAtEveryRotation)
{
    struct Size
    {
        int w, h;
    };
    for (const Size size : {Size{401, 301}, Size{402, 300}}) {
        for (int rotation = 0; rotation < 4; ++rotation) {
            auto item = MakeItem(size.w, size.h, Pattern, rotation);
            auto view = MakeView();
            view->SetItem(item.get());
            view->SetBlurAmount(0);
            view->ApplyTransparencyTool(RECT{5, 7, 61, 40});
            view->SetMode(1);
            view->SetTransparencyLevel(60);
            view->SetTool(CTransparencyPictureView::ToolEllipse);
            view->SetBlurAmount(6);
            view->ApplyTransparencyTool(RECT{100, 90, 170, 200});
            const CTransparencyMask& p = view->Picture();
            const int width = p.GetWidth(), height = p.GetHeight();
            std::vector<int> edited;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    edited.push_back(MaskAt(p, x, y));
            ASSERT_EQ(view->CommitToItem(), 1);

            auto again = MakeView();
            again->SetItem(item.get());
            const CTransparencyMask& q = again->Picture();
            ASSERT_EQ(q.GetWidth(), width);
            int mismatches = 0;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    mismatches += MaskAt(q, x, y) != edited[static_cast<std::size_t>(y) * width + x];
            EXPECT_EQ(mismatches, 0) << size.w << "x" << size.h << " rotation " << rotation;

            // The item's own picture (not scaled at this size) carries the same mask.
            CImage* loaded = item->GetImageBuffer1();
            ASSERT_EQ(loaded->GetWidth(), size.w);
            PageBuffer plane(loaded->GetMaskPlane());
            ASSERT_TRUE(plane);
            mismatches = 0;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const POINT s = StoredPoint(rotation, x, y, size.w, size.h);
                    mismatches += plane.get()[static_cast<std::size_t>(size.h - 1 - s.y) * size.w + s.x] !=
                                  edited[static_cast<std::size_t>(y) * width + x];
                }
            EXPECT_EQ(mismatches, 0) << size.w << "x" << size.h << " rotation " << rotation;

            // The page shows it: the item drawn at one layout unit per pixel over green.
            item->SetRect(RECT{0, 0, width, height});
            CImage page;
            ASSERT_TRUE(page.Create(width, height));
            page.FillRect(0, 0, width, height, RGB(0, 255, 0));
            const POINT origin{0, 0};
            ASSERT_TRUE(item->Draw(&page, 1.0f, &origin, true));
            mismatches = 0;
            for (int y = 0; y < height; y += 3)
                for (int x = 0; x < width; x += 3) {
                    const POINT s = StoredPoint(rotation, x, y, size.w, size.h);
                    const int m = edited[static_cast<std::size_t>(y) * width + x];
                    std::uint32_t want = 0;
                    for (int shift = 0; shift < 24; shift += 8) {
                        const std::uint32_t ground = shift == 8 ? 255 : 0;
                        want |= ((((ColorAt(s.x, s.y) >> shift) & 0xFF) * (255 - m) + ground * m) / 255)
                                << shift;
                    }
                    std::uint32_t got = 0;
                    std::memcpy(&got,
                                page.GetBits() +
                                    static_cast<std::size_t>(height - 1 - y) * page.GetRowBytes() + x * 4,
                                4);
                    mismatches += (got & 0xFFFFFF) != want;
                }
            EXPECT_EQ(mismatches, 0) << "page " << size.w << "x" << size.h << " rotation " << rotation;
        }
    }
}

TEST_F(TransparencyViewTest, AFailedWriteThrowsAndLeavesTheItemAndItsFileAsTheyWere)
{
    auto item = MakeItem(401, 300, Pattern, 1);
    auto view = MakeView();
    view->SetItem(item.get());
    view->SetBlurAmount(0);
    view->ApplyTransparencyTool(RECT{0, 0, 100, 100});
    const std::vector<std::uint8_t> fileBefore = ReadBytes(item->GetImageFileName2());
    CImage* loaded = item->GetImageBuffer1();
    const bool hadMask = loaded->HasMask();
    std::vector<std::uint8_t> maskBefore;
    if (hadMask) {
        PageBuffer plane(loaded->GetMaskPlane());
        maskBefore.assign(plane.get(), plane.get() + static_cast<std::size_t>(401) * 300);
    }
    ASSERT_TRUE(item->BuildDisplayImage(1, false));
    const std::string folder = item->GetImageFileName2().substr(0, item->GetImageFileName2().rfind('/'));
    const auto countFiles = [&] {
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            files += entry.is_regular_file();
        return files;
    };
    const int filesBefore = countFiles();
    FailingRename failing;
    IFileWriteCalls* previous = SetFileWriteCallsForThread(&failing);
    try {
        view->CommitToItem();
        ADD_FAILURE() << "no failure";
    } catch (enumErrorID id) {
        EXPECT_EQ(id, ErrorIdReported);
    }
    SetFileWriteCallsForThread(previous);
    EXPECT_EQ(ReadBytes(item->GetImageFileName2()), fileBefore);
    EXPECT_EQ(loaded->HasMask(), hadMask);
    if (hadMask) {
        PageBuffer plane(loaded->GetMaskPlane());
        EXPECT_EQ(std::memcmp(plane.get(), maskBefore.data(), maskBefore.size()), 0);
    }
    EXPECT_TRUE(item->GetImageBuffer2()->IsValid()); // the turned copy was kept too
    EXPECT_EQ(countFiles(), filesBefore);            // no temporary file left behind
}

TEST_F(TransparencyViewTest, ADraggedRectangleIsAppliedWhereItWasDrawnAndLeavesNoOutline)
{
    auto item = MakeItem(1000, 800, Pattern, 0);
    auto view = MakeView(300, 200);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    view->SetItem(item.get());
    view->SetZoom(200, 0, 0);
    view->SetBlurAmount(0);
    QWidget* target = view.get();
    QTimer::singleShot(0, target, [target] {
        QTest::mouseMove(target, QPoint(60, 45));
        QTest::mouseMove(target, QPoint(81, 51));
        QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, QPoint(81, 51));
    });
    QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, QPoint(20, 15));
    // Window (20, 15)-(81, 51) at 200 % is picture (10, 7)-(40, 25).
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool inside = x >= 10 && x < 40 && y >= 7 && y < 25;
            ASSERT_EQ(MaskAt(view->Picture(), x, y), inside ? 255 : Pattern(x, y)) << x << "," << y;
        }
    EXPECT_FALSE(view->IsTracking());
    const CImage& display = view->DisplayImage();
    const std::size_t bytes = static_cast<std::size_t>(display.GetRowBytes()) * display.GetHeight();
    const std::vector<std::uint8_t> shown(display.GetBits(), display.GetBits() + bytes);
    view->RenderAll();
    EXPECT_EQ(std::memcmp(shown.data(), display.GetBits(), bytes), 0);
    view->Undo();
    EXPECT_EQ(MaskAt(view->Picture(), 10, 7), Pattern(10, 7));
}

TEST_F(TransparencyViewTest, DraggingPastTheRightEdgeScrollsAndKeepsTheStartCornerOnItsPixel)
{
    auto item = MakeItem(1000, 800, Pattern, 0);
    auto view = MakeView(300, 200);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    view->SetItem(item.get());
    view->SetZoom(100, 0, 0);
    view->SetBlurAmount(0);
    QWidget* target = view.get();
    const int beyond = view->ClientWidth() + 5;
    QTimer::singleShot(0, target, [target, beyond] {
        QTest::mouseMove(target, QPoint(100, 50));
        QTest::mouseMove(target, QPoint(beyond, 50));
        QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, QPoint(beyond, 50));
    });
    QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, QPoint(20, 15));
    const int scrolled = view->Geometry().GetScrollOrigin().x;
    EXPECT_GE(scrolled, 10);
    EXPECT_EQ(MaskAt(view->Picture(), 20, 30), 255);
    EXPECT_EQ(MaskAt(view->Picture(), 19, 30), Pattern(19, 30));
    EXPECT_EQ(MaskAt(view->Picture(), scrolled + beyond - 1, 30), 255);
    EXPECT_EQ(MaskAt(view->Picture(), scrolled + beyond, 30), Pattern(scrolled + beyond, 30));
    EXPECT_FALSE(view->IsTimerRunning(CTransparencyPictureView::kTrackerTimer));
}

TEST_F(TransparencyViewTest, ClicksOfTheZoomToolsAndTheScrollBarsReachTheView)
{
    auto item = MakeItem(1000, 800, Pattern, 0);
    auto view = MakeView(300, 200);
    view->SetItem(item.get());
    view->SetZoom(100, 0, 0);
    view->SetTool(CTransparencyPictureView::ToolZoomIn);
    view->OnLButtonDown(POINT{100, 100});
    EXPECT_EQ(view->GetZoom(), 200);
    // Picture pixel (100, 100) is now in the middle of the window.
    const POINT middle = view->ClientToPicture(POINT{view->ClientWidth() / 2, view->ClientHeight() / 2});
    EXPECT_NEAR(middle.x, 100, 1);
    EXPECT_NEAR(middle.y, 100, 1);
    view->SetTool(CTransparencyPictureView::ToolZoomOut);
    view->OnLButtonDblClk(POINT{10, 10}); // not a zoom-out click
    EXPECT_EQ(view->GetZoom(), 200);
    view->OnLButtonDown(POINT{10, 10});
    EXPECT_EQ(view->GetZoom(), 100);

    auto* bar = view->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    const unsigned message = bar->orientation() == Qt::Horizontal ? WM_HSCROLL : WM_VSCROLL;
    const int before =
        message == WM_HSCROLL ? view->Geometry().GetScrollOrigin().x : view->Geometry().GetScrollOrigin().y;
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    const int after =
        message == WM_HSCROLL ? view->Geometry().GetScrollOrigin().x : view->Geometry().GetScrollOrigin().y;
    EXPECT_EQ(after, before + view->Geometry().GetScrollPage(message));
    EXPECT_EQ(bar->value(), after);
}

TEST_F(TransparencyViewTest, AnEmptyShapeChangesNothingWhateverTheBlur)
{
    auto item = MakeItem(200, 170, Pattern, 0);
    auto view = MakeView();
    view->SetItem(item.get());
    const CTransparencyMask& p = view->Picture();
    const std::size_t bytes = static_cast<std::size_t>(p.GetStride()) * p.GetHeight();
    const std::vector<std::uint8_t> before(p.GetMask(), p.GetMask() + bytes);
    for (const int tool : {CTransparencyPictureView::ToolRectangle, CTransparencyPictureView::ToolEllipse})
        for (const int blur : {0, 50}) {
            view->SetTool(tool);
            view->SetBlurAmount(blur);
            EXPECT_EQ(view->ApplyTransparencyTool(RECT{5, 5, 5, 20}), 1);
            EXPECT_EQ(view->ApplyTransparencyTool(RECT{5, 5, 40, 5}), 1);
        }
    EXPECT_EQ(std::memcmp(p.GetMask(), before.data(), bytes), 0);
}

TEST_F(TransparencyViewTest, AFailureInAHandlerIsReportedAndEndsTheRunningDialogWithThree)
{
    auto item = MakeItem(300, 200, Pattern, 0);
    QDialog dialog;
    auto* view = new CTransparencyPictureView(app.shell, &dialog);
    view->resize(300, 200);
    view->SetItem(item.get());
    dialog.setModal(true);
    dialog.show();
    // A zoom outside the seven steps is an internal failure: silent, but it ends the dialog.
    view->SetZoom(300, 0, 0);
    view->SetTool(CTransparencyPictureView::ToolZoomIn);
    view->OnLButtonDown(POINT{10, 10});
    EXPECT_EQ(app.shell.errorCodes, std::vector<int>{ErrorIdSilent});
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 3);
}

TEST_F(TransparencyViewTest, AShapeThatFailsLeavesTheMaskAsItWasAndClosesItsProgress)
{
    auto item = MakeItem(300, 200, Pattern, 0);
    auto view = MakeView();
    view->SetItem(item.get());
    view->SetBlurAmount(20);
    onPos = [] { throw ErrorIdReported; };
    const CTransparencyMask& p = view->Picture();
    const std::size_t bytes = static_cast<std::size_t>(p.GetStride()) * p.GetHeight();
    const std::vector<std::uint8_t> before(p.GetMask(), p.GetMask() + bytes);
    EXPECT_THROW(view->ApplyTransparencyTool(RECT{50, 50, 120, 100}), enumErrorID);
    EXPECT_EQ(std::memcmp(p.GetMask(), before.data(), bytes), 0);
    EXPECT_EQ(openProgress, 0);
    EXPECT_FALSE(view->IsProgressOpen());
}

TEST_F(TransparencyViewTest, AnAutomaticRotationTurnsThePictureAsTheFrameShowsIt)
{
    struct Case
    {
        int orientation; // of the page: 0 landscape, 1 portrait
        RECT frame;
        int rotation;
    };
    const Case cases[] = {
        {1, RECT{0, 0, 100, 100}, 3}, // square frame on a portrait page: three quarter turns
        {0, RECT{0, 0, 100, 100}, 0}, // on a landscape page: none
        {0, RECT{0, 0, 100, 300}, 1}, // a tall frame for a wide picture on a landscape page
        {1, RECT{0, 0, 300, 100}, 0}, // a wide frame for a wide picture on a portrait page
    };
    for (const Case& c : cases) {
        auto item = MakeItem(401, 300, Pattern, CImageFrameItem::kAutomaticRotation);
        item->SetRect(c.frame);
        ASSERT_TRUE(item->SetOrientation(c.orientation));
        auto view = MakeView();
        view->SetItem(item.get());
        EXPECT_EQ(view->Picture().GetRotation(), c.rotation) << c.orientation << " " << c.frame.bottom;
        EXPECT_EQ(view->Picture().GetWidth(), c.rotation % 2 ? 300 : 401);
    }
}

TEST_F(TransparencyViewTest, CommitScalesTheMaskIntoTheItemsReducedPicture)
{
    // 1000 x 900 is shown through an 800 x 720 copy.
    auto item = MakeItem(
        1000, 900, [](int, int) { return 0; }, 2);
    auto view = MakeView();
    view->SetItem(item.get());
    view->SetBlurAmount(0);
    // The turned picture's top-left quarter is the stored picture's bottom-right one.
    view->ApplyTransparencyTool(RECT{0, 0, 500, 450});
    ASSERT_EQ(view->CommitToItem(), 1);
    CImage* loaded = item->GetImageBuffer1();
    ASSERT_EQ(loaded->GetWidth(), 800);
    ASSERT_EQ(loaded->GetHeight(), 720);
    PageBuffer plane(loaded->GetMaskPlane());
    const auto at = [&](int x, int y) { return plane.get()[static_cast<std::size_t>(719 - y) * 800 + x]; };
    EXPECT_EQ(at(790, 710), 255);
    EXPECT_EQ(at(402, 362), 255);
    EXPECT_EQ(at(397, 357), 0);
    EXPECT_EQ(at(10, 10), 0);
    EXPECT_EQ(at(790, 10), 0);
}
