#include "Core/Units.h"

#include <QGuiApplication>
#include <QScreen>
#include <climits>
#include <cmath>

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kInchesPerMillimetre = 0.03937007874015748;

} // namespace

int RoundHalfAway(double value)
{
    const double rounded = value >= 0 ? std::floor(value + 0.5) : std::ceil(value - 0.5);
    if (!(rounded > INT_MIN)) // also NaN
        return rounded > 0 ? INT_MAX : INT_MIN;
    return rounded < INT_MAX ? static_cast<int>(rounded) : INT_MAX;
}

bool PixelsToMM(int resolution, float* value)
{
    if (!value || resolution < 1)
        return false;
    *value = static_cast<float>(*value * kMillimetresPerInch / resolution);
    return true;
}

bool MMToPixels(int resolution, float* value)
{
    if (!value || resolution < 1)
        return false;
    *value =
        static_cast<float>(RoundHalfAway(resolution * static_cast<double>(*value) * kInchesPerMillimetre));
    return true;
}

bool PixelsToInches(int resolution, float* value)
{
    if (!value || resolution < 1)
        return false;
    *value = static_cast<float>(static_cast<double>(*value) / resolution);
    return true;
}

bool InchesToPixels(int resolution, float* value)
{
    if (!value || resolution < 1)
        return false;
    *value = static_cast<float>(RoundHalfAway(static_cast<double>(*value) * resolution));
    return true;
}

int GetScreenColorDepth()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 0;
}
