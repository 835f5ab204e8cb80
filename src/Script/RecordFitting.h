// The print rectangle of a paper and border variant, and the fitting of a
// layout script's draw records to it. A camera layout is designed on the
// borderless 3.5x5 print area (1332 x 1914 layout units); the member scripts
// of its set describe the same layout on the other camera papers.
#pragma once

#include "Script/DSCPaperVariant.h"
#include "Script/UDLDrawRecord.h"

#include <cstdint>
#include <span>

struct RecordRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const RecordRect&) const = default;
};

struct RecordPoint
{
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct RecordSize
{
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Record kinds of the fitting: none, the photo frame, the frame image, a text.
enum RecordKind : int { RecordKindNone = 0, RecordKindPhoto = 1, RecordKindFrame = 2, RecordKindText = 3 };

// The empty rectangle for a paper outside the table; a roll paper is as long
// as `rollLength`.
RecordRect GetPaperRect(const DSCPaperVariant& pair, std::int32_t rollLength);
// Every record gets the pair's paper rectangle; the base pair (17, 2) keeps
// the layout's own geometry.
void SetRecordRect(const DSCPaperVariant& pair, std::span<UDLDrawRecord> records, std::int32_t rollLength);
// A picture's rectangle, a line's end points, a text's box; 0 (nothing done)
// for a record of another type or an index outside the records.
int PutRecordRect(std::size_t index, const RecordRect& rect, std::span<UDLDrawRecord> records);
int GetRecordRect(std::size_t index, std::span<const UDLDrawRecord> records, RecordRect& rect);
int GetRecordKind(std::size_t index, std::span<const UDLDrawRecord> records);
// Height over width; 0.0 for a zero width.
double GetAspectRatio(const RecordSize& size);
void ScalePoint(RecordPoint& point, double xFactor, double yFactor, double xOffset, double yOffset);
void ScaleRect(RecordRect& rect, double xFactor, double yFactor, double xOffset, double yOffset);
// The first record of the kind and its rectangle; index -1 when there is none.
void FindFrameRecord(std::span<const UDLDrawRecord> records, RecordRect& rect, int& index);
void FindPhotoRecord(std::span<const UDLDrawRecord> records, RecordRect& rect, int& index);

// Scales the frame image, the photo frame and the texts from the base paper
// onto the pair, then holds them on its paper. The roll length is consumed
// (set to 0). The frame size is carried but the picture size decides.
int FitObjectsToPaper(const DSCPaperVariant& pair, std::span<UDLDrawRecord> records, RecordSize frameSize,
                      RecordSize pictureSize, std::int32_t& rollLength, std::int32_t basePaperSize);
void FitRecords(bool bordered, RecordSize pageSize, std::span<UDLDrawRecord> records, double pictureAspect,
                RecordSize pictureSize, std::int32_t basePaperSize);
int ClampRecordsToPaper(std::span<UDLDrawRecord> records, const DSCPaperVariant& pair,
                        std::int32_t rollLength);
