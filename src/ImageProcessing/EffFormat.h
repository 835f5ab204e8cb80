// The fixed prefix of an EFF stream (SOI and the APP5 "EFFHEAD" segment) and
// the clock that stamps it; tests give their own clock.
#pragma once

#include <cstddef>
#include <cstdint>

struct EffDateTime
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class CEffClock
{
public:
    virtual ~CEffClock() = default;
    virtual EffDateTime Now() const = 0; // local time
};

// The process's local time.
const CEffClock& SystemEffClock();
// The clock of writers given none: the system's, unless one is installed
// (tests install a fixed one so that what they write repeats byte for byte).
const CEffClock& DefaultEffClock();
// Installs the default clock; null restores the system's. The clock must
// outlive its use.
void SetDefaultEffClock(const CEffClock* clock);

namespace EffFormat {

constexpr size_t kPrefixSize = 97;
constexpr uint16_t kHeaderSegmentLength = 93;
extern const char kHeaderTag[8];   // "EFFHEAD" and a NUL
extern const char kHeaderText[52]; // 51 characters and a NUL

// Writes the kPrefixSize bytes of the prefix stamped with the given time.
void WritePrefix(uint8_t* out, const EffDateTime& when);

// The eight characters of the time field: the hour stays as it is up to 13
// ("AM") and counts from 2 again from 14 on ("PM"); stored files carry it so.
void FormatTime(const EffDateTime& when, char out[8]);

} // namespace EffFormat
