// What the file benchmarks share: the temporary file names of this process and
// the QImageReader loop each of the editor's readers is measured against.
#pragma once

#include <QImage>
#include <QImageReader>
#include <QString>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

// A path in the temporary folder that no other process picks; `suffix` tells
// this process's files apart.
inline std::string BenchTempPath(const std::string& suffix)
{
    return (std::filesystem::temp_directory_path() / ("zav-bench-" + std::to_string(::getpid()) + suffix))
        .string();
}

// Each iteration reads `file` with QImageReader; a picture not `width` wide is
// reported as an error.
inline void ReadWithQImage(benchmark::State& state, const std::string& file, int width)
{
    const QString path = QString::fromStdString(file);
    for (auto _ : state) {
        QImageReader reader(path);
        QImage image = reader.read();
        if (image.width() != width)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(image.constBits());
    }
}
