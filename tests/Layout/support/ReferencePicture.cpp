#include "Layout/support/ReferencePicture.h"

#include "ImageProcessing/Image.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace referencetest {

namespace {

std::string ReferencePath(const std::string& name)
{
    return std::string(ZAV_SOURCE_DIR) + "/tests/fixtures/" + name + ".png";
}

// Differing pixels in red, as strong as the largest channel difference;
// alike ones as a faded grey of the reference, for orientation.
QImage DifferenceOf(const QImage& got, const QImage& want)
{
    QImage out(want.size(), QImage::Format_RGB888);
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x) {
            const QRgb a = got.pixel(x, y), b = want.pixel(x, y);
            const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                    std::abs(qBlue(a) - qBlue(b))});
            const int faded = 192 + qGray(b) / 4;
            out.setPixel(x, y, d ? qRgb(std::max(128, d), 0, 0) : qRgb(faded, faded, faded));
        }
    return out;
}

} // namespace

QImage PictureOf(const CImage& image)
{
    const std::uint8_t* bits = image.GetBits();
    if (!bits)
        return {};
    const int width = image.GetWidth(), height = image.GetHeight();
    QImage out(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bits + static_cast<std::ptrdiff_t>(height - 1 - y) * image.GetRowBytes();
        std::uint8_t* to = out.scanLine(y);
        for (int x = 0; x < width; ++x) {
            to[3 * x] = row[4 * x + 2];
            to[3 * x + 1] = row[4 * x + 1];
            to[3 * x + 2] = row[4 * x];
        }
    }
    return out;
}

::testing::AssertionResult MatchesReference(const QImage& picture, const std::string& name, int tolerance)
{
    if (picture.isNull())
        return ::testing::AssertionFailure() << name << ": no picture";
    const QString reference = QString::fromStdString(ReferencePath(name));
    if (std::getenv("ZAV_UPDATE_GOLDEN")) {
        const bool saved = picture.convertToFormat(QImage::Format_RGB888).save(reference, "PNG");
        return ::testing::AssertionFailure()
               << name << (saved ? ": reference written to " : ": cannot write ") << reference.toStdString();
    }
    const QImage want = QImage(reference).convertToFormat(QImage::Format_RGB888);
    if (want.isNull())
        return ::testing::AssertionFailure() << name << ": no reference " << reference.toStdString();
    const QImage got = picture.convertToFormat(QImage::Format_RGB888);
    long long differing = 0; // pixels beyond the tolerance
    int largest = 0;
    if (got.size() == want.size()) {
        for (int y = 0; y < want.height(); ++y) {
            const std::uint8_t* a = got.constScanLine(y);
            const std::uint8_t* b = want.constScanLine(y);
            for (int x = 0; x < want.width(); ++x) {
                int d = 0;
                for (int c = 0; c < 3; ++c)
                    d = std::max(d, std::abs(a[3 * x + c] - b[3 * x + c]));
                largest = std::max(largest, d);
                differing += d > tolerance ? 1 : 0;
            }
        }
        if (largest <= tolerance)
            return ::testing::AssertionSuccess();
    }
    QDir().mkpath(QStringLiteral("reference-differences"));
    const QString stem =
        QDir(QStringLiteral("reference-differences")).absoluteFilePath(QString::fromStdString(name));
    got.save(stem + QStringLiteral(".actual.png"));
    auto failure = ::testing::AssertionFailure() << name << " differs from " << reference.toStdString();
    if (got.size() != want.size())
        return failure << ": " << got.width() << " x " << got.height() << " drawn, " << want.width() << " x "
                       << want.height() << " stored; drawn: " << stem.toStdString() << ".actual.png";
    DifferenceOf(got, want).save(stem + QStringLiteral(".diff.png"));
    return failure << ": " << differing << " pixels beyond the tolerance of " << tolerance
                   << ", largest channel difference " << largest << "; drawn: " << stem.toStdString()
                   << ".actual.png, difference: " << stem.toStdString() << ".diff.png";
}

} // namespace referencetest
