#include "ImageProcessing/EffFormat.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

class SystemClock : public CEffClock
{
public:
    EffDateTime Now() const override
    {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour,        local.tm_min,     local.tm_sec};
    }
};

// Formats into a scratch buffer and keeps exactly `count` characters, so that
// an out-of-range value can never spill into the next field.
void PutField(uint8_t* out, size_t count, const char* format, int a, int b, int c, const char* suffix)
{
    char scratch[64];
    std::snprintf(scratch, sizeof scratch, format, a, b, c, suffix);
    const size_t length = std::strlen(scratch);
    std::memset(out, 0, count);
    std::memcpy(out, scratch, length < count ? length : count);
}

} // namespace

const CEffClock& SystemEffClock()
{
    static const SystemClock clock;
    return clock;
}

namespace {
std::atomic<const CEffClock*> g_defaultClock{nullptr};
} // namespace

const CEffClock& DefaultEffClock()
{
    const CEffClock* installed = g_defaultClock.load();
    return installed ? *installed : SystemEffClock();
}

void SetDefaultEffClock(const CEffClock* clock)
{
    g_defaultClock.store(clock);
}

namespace EffFormat {

const char kHeaderTag[8] = "EFFHEAD";
const char kHeaderText[52] = "Enhanced Frame File (C) 2000-2001 TAKRA VELMO CORP.";

void FormatTime(const EffDateTime& when, char out[8])
{
    const bool pm = when.hour >= 14;
    uint8_t field[8];
    PutField(field, 8, "%02d%02d%02d%s", pm ? when.hour - 12 : when.hour, when.minute, when.second,
             pm ? "PM" : "AM");
    std::memcpy(out, field, 8);
}

void WritePrefix(uint8_t* out, const EffDateTime& when)
{
    std::memset(out, 0, kPrefixSize);
    const uint8_t start[] = {0xFF, 0xD8, 0xFF, 0xE5, 0x00, kHeaderSegmentLength};
    std::memcpy(out, start, sizeof start);
    std::memcpy(out + 6, kHeaderTag, 8);
    std::memcpy(out + 14, kHeaderText, 52);
    const uint8_t version[] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01};
    std::memcpy(out + 66, version, sizeof version);
    PutField(out + 74, 8, "%4d%02d%02d%s", when.year, when.month, when.day, "");
    FormatTime(when, reinterpret_cast<char*>(out + 82));
    // Offsets 90..96: five empty text fields and a thumbnail count of 0, already zero.
}

} // namespace EffFormat
