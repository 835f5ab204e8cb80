// Small pictures, descriptors and a recording callback for the filter tests.
#pragma once

#include "Filters/FilterErrorCode.h"
#include "Filters/ImageDescriptor.h"
#include "Filters/UtilFilter.h"

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

struct Picture
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t format = 8;
    int32_t bytesPerPixel = 4;
    int32_t rowBytes = 0;
    std::vector<uint8_t> bytes;

    Picture() = default;
    Picture(int32_t w, int32_t h, int32_t fmt = 8, int32_t bpp = 4, int32_t padding = 0)
        : width(w), height(h), format(fmt), bytesPerPixel(bpp), rowBytes(w * bpp + padding),
          bytes(static_cast<size_t>(rowBytes) * h + 1)
    {
    }
    uint8_t* At(int32_t x, int32_t y)
    {
        return bytes.data() + static_cast<size_t>(y) * rowBytes + x * bytesPerPixel;
    }
    const uint8_t* At(int32_t x, int32_t y) const
    {
        return bytes.data() + static_cast<size_t>(y) * rowBytes + x * bytesPerPixel;
    }
    void Fill(uint8_t v) { std::memset(bytes.data(), v, bytes.size()); }
    void Randomise(uint32_t seed)
    {
        std::mt19937 rng(seed);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(rng());
    }
    ImageDescriptor Describe()
    {
        ImageDescriptor d;
        d.width = d.regionWidth = d.rectRight = width;
        d.height = d.regionHeight = d.rectBottom = height;
        d.rowBytes = rowBytes;
        d.pixels = bytes.data();
        d.format = format;
        return d;
    }
    bool SameRows(const Picture& other) const
    {
        for (int32_t y = 0; y < height; ++y)
            if (std::memcmp(At(0, y), other.At(0, y), static_cast<size_t>(width) * bytesPerPixel) != 0)
                return false;
        return true;
    }
};

// Records every event; answers from a table that a test fills.
struct EventRecorder
{
    std::vector<int32_t> events;
    std::vector<int32_t> percents;
    std::vector<int32_t> sourceRows; // working source regionHeight at each finished strip
    std::vector<int32_t> outputRows; // working destination regionHeight at each finished strip
    int32_t refuseEvent = 0;         // answer nonzero to this event
    int32_t refuseAfter = 0;         // ... from its n-th occurrence on (0: the first)
    bool setStopWord = false;

    static int32_t Callback(void* data, int32_t event, UtilFilter* filter)
    {
        auto* self = static_cast<EventRecorder*>(data);
        self->events.push_back(event);
        FilterContext* c = filter->GetContext();
        if (event == FE_PROGRESS) {
            self->percents.push_back(c->lastPercent);
            if (self->setStopWord)
                c->stopRequest = 1;
        }
        if (event == FE_OUTPUT_READY) {
            self->sourceRows.push_back(c->workingSource.regionHeight);
            self->outputRows.push_back(c->workingDestination.regionHeight);
        }
        if (event == self->refuseEvent) {
            int32_t seen = 0;
            for (int32_t e : self->events)
                seen += e == event;
            return seen > self->refuseAfter ? 1 : 0;
        }
        return 0;
    }

    int32_t Count(int32_t event) const
    {
        int32_t n = 0;
        for (int32_t e : events)
            n += e == event;
        return n;
    }
};

// Runs one filter over the whole picture as the editor does.
inline int32_t RunFilter(int32_t id, Picture& source, Picture* destination, const void* parameters,
                         int32_t parameterSize, EventRecorder* recorder = nullptr, int32_t lines = 0)
{
    ImageDescriptor s = source.Describe();
    ImageDescriptor d;
    if (destination)
        d = destination->Describe();
    UtilFilter filter(&s, destination ? &d : nullptr, id, parameterSize, parameters);
    if (filter.GetLastResult() != UCF_OK)
        return filter.GetLastResult();
    filter.SetClientData(recorder);
    return filter.Execute(recorder ? &EventRecorder::Callback : nullptr, 3, lines);
}
