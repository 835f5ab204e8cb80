// The image browser on a camera folder: 200 JPEGs of 4000 x 3000, from
// FillFromFolder to the last thumbnail on the interface thread with its one
// worker, against QImageReader making the same 60 x 45 pictures on one
// thread. "camera": the files carry a 160 x 120 Exif thumbnail, the reference
// decodes scaled; "plain": they carry none, the reference reads each whole
// and shrinks it with the fast transformation, the same work as our scaled
// read. The same bytes under 200 names (hard links), read once before timing.
#include "BenchSupport.h"
#include "Dialogs/ImageListCtrl.h"
#include "support/JpegFileFixture.h"
#include "support/JpegTestSupport.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 200;
constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kThumbWidth = 160;
constexpr int kThumbHeight = 120;
const QSize kFitted(60, 45);

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "bench_imagethumbs";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app =
        QApplication::instance() ? nullptr : std::make_unique<QApplication>(argc, argv);
}

// The folder with one file under kFiles names; its files are read once so
// both sides start warm.
std::string MakeFolder(const std::string& suffix, const std::vector<std::uint8_t>& bytes)
{
    const std::filesystem::path folder = BenchTempPath(suffix);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::filesystem::path first = folder / "IMG_0000.JPG";
    {
        std::ofstream out(first, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    for (int i = 1; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%04d.JPG", i);
        std::error_code error;
        std::filesystem::create_hard_link(first, folder / name, error);
        if (error)
            std::filesystem::copy_file(first, folder / name);
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<char> all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(all.data());
    }
    return folder.string();
}

struct Folders
{
    std::string camera;
    std::string plain;

    Folders()
    {
        const std::vector<std::uint8_t> photo = JpegTestPhoto(kWidth, kHeight, 3);
        const std::vector<std::uint8_t> main =
            JpegFixtureEncode(JpegFixtureKind::Rgb, photo.data(), kWidth, kHeight, 92);
        plain = MakeFolder("-thumbs-plain", main);

        // As cameras write them: the Exif segment right after the start of
        // image, carrying the small picture, then the main picture.
        ExifFixture exif;
        const std::vector<std::uint8_t> small = JpegTestPhoto(kThumbWidth, kThumbHeight, 3);
        exif.thumbnail = JpegFixtureEncode(JpegFixtureKind::Rgb, small.data(), kThumbWidth, kThumbHeight, 85);
        std::vector<std::uint8_t> file = ExifFixtureFile(exif);
        file.resize(4 + ((std::size_t(file[4]) << 8) | file[5]));
        file.insert(file.end(), main.begin() + 2, main.end());
        camera = MakeFolder("-thumbs-camera", file);
    }
    ~Folders()
    {
        std::error_code ignored;
        std::filesystem::remove_all(camera, ignored);
        std::filesystem::remove_all(plain, ignored);
    }
};

Folders& Shared()
{
    static Folders folders;
    return folders;
}

void Ours(benchmark::State& state, const std::string& folder)
{
    EnsureApplication();
    CImageListCtrl list;
    list.Init();
    list.SetFolder(folder);
    bool done = false;
    QObject::connect(&list, &CImageListCtrl::ThumbnailsDone, [&] { done = true; });
    for (auto _ : state) {
        done = false;
        list.FillFromFolder();
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (list.GetThumbnailCount() != kFiles) {
            state.SkipWithError("a thumbnail is missing");
            break;
        }
    }
}

std::vector<std::string> Paths(const std::string& folder)
{
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        paths.push_back(entry.path().string());
    return paths;
}

void CameraOurs(benchmark::State& state)
{
    Ours(state, Shared().camera);
}

void CameraQImageReader(benchmark::State& state)
{
    const std::vector<std::string> paths = Paths(Shared().camera);
    for (auto _ : state)
        for (const std::string& path : paths) {
            QImageReader reader(QString::fromStdString(path));
            reader.setScaledSize(kFitted);
            const QImage image = reader.read();
            if (image.size() != kFitted)
                state.SkipWithError("read failed");
            benchmark::DoNotOptimize(image.constBits());
        }
}

void PlainOurs(benchmark::State& state)
{
    Ours(state, Shared().plain);
}

void PlainQImageReader(benchmark::State& state)
{
    const std::vector<std::string> paths = Paths(Shared().plain);
    for (auto _ : state)
        for (const std::string& path : paths) {
            QImageReader reader(QString::fromStdString(path));
            const QImage whole = reader.read();
            const QImage image = whole.scaled(kFitted, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            if (image.size() != kFitted)
                state.SkipWithError("read failed");
            benchmark::DoNotOptimize(image.constBits());
        }
}

} // namespace

BENCHMARK(CameraOurs)->Name("image-thumbs-camera/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CameraQImageReader)
    ->Name("image-thumbs-camera/qimagereader")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(PlainOurs)->Name("image-thumbs-plain/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlainQImageReader)
    ->Name("image-thumbs-plain/qimagereader")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
