// The transparency view's drawing and feathering. Scrolling: 60 steps of 16
// window pixels down a 4000 x 3000 picture at 200 % in a 1200 x 800 view over
// the checker, each drawn by the view's renderer, against QPainter compositing
// the same visible area from a premultiplied ARGB32 copy at every step. Zoom:
// the seven steps up and back, each a full render centred on the picture.
// Feathering: a 3000 x 2000 ellipse blurred by 50 and merged into the mask,
// against OpenCV on one thread doing the same with the blur's kernel.
#include "BenchSupport.h"
#include "OpenCvBlurKernel.h"

#include "Dialogs/TransparencyGeometry.h"
#include "Dialogs/TransparencyMask.h"
#include "Dialogs/TransparencyRender.h"
#include "Dialogs/TransparencyShapes.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/BitmapInfo.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageIcon.h"

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kClientWidth = 1200;
constexpr int kClientHeight = 800;
constexpr int kSteps = 60;

// The picture with a mask of soft blobs, loaded as the view loads it.
struct Scene
{
    CTransparencyMask picture;
    QImage premultiplied;
    QImage tile;

    Scene()
    {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
        std::mt19937 random(5);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * kWidth + x) * 4];
                p[0] = static_cast<std::uint8_t>(x);
                p[1] = static_cast<std::uint8_t>(y);
                p[2] = static_cast<std::uint8_t>(random());
                p[3] = static_cast<std::uint8_t>(((x / 64 + y / 64) % 3) * 120);
            }
        const std::string path = BenchTempPath("-transparency.bmp");
        CBMPFile().WriteRaw32(path, pixels.data(), kWidth, kHeight);
        picture.LoadFile(path, 0);
        std::remove(path.c_str());
        // The same picture for QPainter: alpha = 255 - mask, top row first.
        QImage argb(kWidth, kHeight, QImage::Format_ARGB32);
        for (int y = 0; y < kHeight; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(argb.scanLine(y));
            const std::uint8_t* from = &pixels[static_cast<std::size_t>(kHeight - 1 - y) * kWidth * 4];
            for (int x = 0; x < kWidth; ++x) {
                std::uint32_t v = 0;
                std::memcpy(&v, from + x * 4, 4);
                row[x] = (v & 0xFFFFFFu) | (static_cast<std::uint32_t>(255 - (v >> 24)) << 24);
            }
        }
        premultiplied = argb.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        tile = LoadBitmapResourcePicture(kCheckerBitmapId).convertToFormat(QImage::Format_RGB32);
    }
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

CTransparencyGeometry Laid(int zoom)
{
    CTransparencyGeometry g;
    g.SetPictureSize(kWidth, kHeight);
    g.SetClientSize(kClientWidth, kClientHeight);
    g.StoreZoom(zoom);
    g.UpdateScrollBars();
    return g;
}

// QPainter's composite of the geometry's visible area over the checker.
void PaintReference(QPainter& painter, const Scene& scene, const CTransparencyGeometry& g)
{
    const RECT area = g.GetVisiblePictureRect();
    const RECT window = g.PictureToClient(area, true, true);
    const QRect target(window.left, window.top, window.right - window.left, window.bottom - window.top);
    painter.fillRect(QRect(0, 0, kClientWidth, kClientHeight), QColor(0xAB, 0xAB, 0xAB));
    QBrush checker(scene.tile);
    checker.setTransform(QTransform::fromTranslate(window.left, window.top));
    painter.fillRect(target, checker);
    painter.drawImage(QRectF(target), scene.premultiplied,
                      QRectF(area.left, area.top, area.right - area.left, area.bottom - area.top));
}

void ScrollOurs(benchmark::State& state)
{
    Scene& scene = TheScene();
    CTransparencyRenderer renderer;
    CImage display;
    display.Create(kClientWidth, kClientHeight);
    for (auto _ : state) {
        CTransparencyGeometry g = Laid(200);
        renderer.Render(display, g, scene.picture, true, RenderArea, nullptr);
        for (int i = 0; i < kSteps; ++i) {
            g.ScrollBy(WM_VSCROLL, SB_THUMBPOSITION, g.GetScrollOrigin().y + 8);
            renderer.Render(display, g, scene.picture, true, RenderAfterVerticalScroll, nullptr);
        }
        benchmark::DoNotOptimize(display.GetBits());
    }
}

void ScrollQPainter(benchmark::State& state)
{
    Scene& scene = TheScene();
    QImage surface(kClientWidth, kClientHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        CTransparencyGeometry g = Laid(200);
        QPainter painter(&surface);
        PaintReference(painter, scene, g);
        for (int i = 0; i < kSteps; ++i) {
            g.ScrollBy(WM_VSCROLL, SB_THUMBPOSITION, g.GetScrollOrigin().y + 8);
            PaintReference(painter, scene, g);
        }
        painter.end();
        benchmark::DoNotOptimize(surface.constBits());
    }
}

constexpr int kZoomPath[] = {10, 25, 50, 100, 200, 400, 800, 400, 200, 100, 50, 25, 10};

void ZoomOurs(benchmark::State& state)
{
    Scene& scene = TheScene();
    CTransparencyRenderer renderer;
    CImage display;
    display.Create(kClientWidth, kClientHeight);
    for (auto _ : state) {
        for (const int zoom : kZoomPath) {
            CTransparencyGeometry g = Laid(zoom);
            g.CenterOn(kWidth / 2, kHeight / 2);
            renderer.Render(display, g, scene.picture, true, RenderArea, nullptr);
        }
        benchmark::DoNotOptimize(display.GetBits());
    }
}

void ZoomQPainter(benchmark::State& state)
{
    Scene& scene = TheScene();
    QImage surface(kClientWidth, kClientHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&surface);
        for (const int zoom : kZoomPath) {
            CTransparencyGeometry g = Laid(zoom);
            g.CenterOn(kWidth / 2, kHeight / 2);
            PaintReference(painter, scene, g);
        }
        painter.end();
        benchmark::DoNotOptimize(surface.constBits());
    }
}

constexpr int kShapeWidth = 3000;
constexpr int kShapeHeight = 2000;
constexpr int kBlur = 50;
constexpr int kAreaWidth = kShapeWidth + 2 * kBlur;
constexpr int kAreaHeight = kShapeHeight + 2 * kBlur;

void FeatherOurs(benchmark::State& state)
{
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(AlignRowBytes(kAreaWidth)) * kAreaHeight, 0);
    for (auto _ : state) {
        PageBuffer coverage =
            MakeSymmetricCoverage(SymmetricShape::Ellipse, kShapeWidth, kShapeHeight, kBlur, 255, nullptr);
        MergeCoverage(mask.data(), kAreaWidth, kAreaHeight, AlignRowBytes(kAreaWidth), coverage.get(),
                      kAreaWidth, kAreaHeight, 0, 0, 0);
        benchmark::DoNotOptimize(mask.data());
    }
}

void FeatherOpenCv(benchmark::State& state)
{
    cv::setNumThreads(1);
    const cv::Mat kernel = BlurKernel(kBlur);
    cv::Mat mask(kAreaHeight, kAreaWidth, CV_8UC1, cv::Scalar(0));
    for (auto _ : state) {
        cv::Mat work(kAreaHeight, kAreaWidth, CV_8UC1, cv::Scalar(0));
        cv::ellipse(work, cv::Point(kAreaWidth / 2, kAreaHeight / 2),
                    cv::Size(kShapeWidth / 2, kShapeHeight / 2), 0, 0, 360, cv::Scalar(255), cv::FILLED,
                    cv::LINE_8);
        cv::sepFilter2D(work, work, -1, kernel, kernel, cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
        cv::max(mask, work, mask);
        benchmark::DoNotOptimize(mask.data);
    }
}

} // namespace

BENCHMARK(ScrollOurs)->Name("transparency-scroll/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(ScrollQPainter)->Name("transparency-scroll/qpainter")->Unit(benchmark::kMillisecond);
BENCHMARK(ZoomOurs)->Name("transparency-zoom/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(ZoomQPainter)->Name("transparency-zoom/qpainter")->Unit(benchmark::kMillisecond);
BENCHMARK(FeatherOurs)->Name("transparency-feather/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(FeatherOpenCv)->Name("transparency-feather/opencv")->Unit(benchmark::kMillisecond);
