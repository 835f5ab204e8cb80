#include "Script/RecordFitting.h"

#include "Core/PaperRules.h"
#include "Core/PaperSizes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

// The papers a layout set can be fitted to; their sizes come from the paper table.
constexpr std::array<std::int32_t, 17> kFittingPapers = {17, 2,  16, 0, 15, 1, 6, 7, 10,
                                                         19, 13, 3,  4, 5,  8, 9, 18};

constexpr std::int32_t kBasePaper = 17;
constexpr std::int32_t kBorderless = 2;
constexpr std::int32_t kBordered = 0;
constexpr std::int32_t kRightMarginMode = 1;
constexpr int kBaseWidth = 1332;
constexpr int kBaseHeight = 1914;

// Coordinates come from files: a scaled value is held inside the field.
std::int32_t ToCoordinate(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::round(value); // halves away from zero
    return static_cast<std::int32_t>(std::clamp(rounded, double(std::numeric_limits<std::int32_t>::min()),
                                                double(std::numeric_limits<std::int32_t>::max())));
}

std::int32_t ToCoordinate(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

double Aspect(std::int64_t width, std::int64_t height)
{
    return width == 0 ? 0.0 : double(height) / double(width);
}

double Aspect(const RecordRect& rect)
{
    return Aspect(std::int64_t{rect.right} - rect.left, std::int64_t{rect.bottom} - rect.top);
}

// One scaling of the frame image, the photo frame and the texts from an old
// page onto a new one.
struct ScalingPass
{
    double fx = 1.0;
    double fy = 1.0;
    double xOffset = 0.0;
    double yOffset = 0.0;
    int oldWidth = kBaseWidth;
    int oldHeight = kBaseHeight;
    int newWidth = kBaseWidth;
    int newHeight = kBaseHeight;
};

void HoldInside(std::int64_t& low, std::int64_t& high, std::int64_t edgeLow, std::int64_t edgeHigh)
{
    if (low < edgeLow && high > edgeHigh) {
        high = edgeLow + (edgeHigh - edgeLow);
        low = edgeLow;
    } else if (low < edgeLow) {
        high += edgeLow - low;
        low = edgeLow;
    } else if (high > edgeHigh) {
        low -= high - edgeHigh;
        high = edgeHigh;
    }
}

void RunPass(const ScalingPass& pass, std::span<UDLDrawRecord> records, double pictureAspect,
             RecordSize pictureSize)
{
    RecordRect frame;
    int frameIndex = -1;
    FindFrameRecord(records, frame, frameIndex);
    double a0 = 0.0;
    double a1 = 0.0;
    double left = 0.0;
    double top = 0.0;
    double right = pass.oldWidth;
    double bottom = pass.oldHeight;
    if (frameIndex >= 0) {
        left = frame.left;
        top = frame.top;
        right = frame.right;
        bottom = frame.bottom;
        a0 = Aspect(frame);
        RecordRect scaled = frame;
        ScaleRect(scaled, pass.fx, pass.fy, pass.xOffset, pass.yOffset);
        a1 = Aspect(scaled);
        PutRecordRect(static_cast<std::size_t>(frameIndex), scaled, records);
    }

    const double a = pictureAspect;
    double s = pass.fx;
    double ox = pass.xOffset;
    double oy = (pass.fy - pass.fx) * pass.oldHeight * 0.5 + pass.yOffset;
    const double between = (right - left) * pictureSize.height;
    if ((a0 < a1 && a1 <= a) || frameIndex < 0) {
        oy = (pass.fy - pass.fx) * (top + bottom) * 0.5 + pass.yOffset;
    } else if (a <= a0 && a0 < a1) {
        s = pass.fy;
        oy = pass.yOffset;
        ox = (pass.fx - pass.fy) * (left + right) * 0.5 + pass.xOffset;
    } else if (a > a0 && a < a1 && between != 0.0) {
        // The picture's aspect lies between the frame's old and new aspects:
        // keep the frame's height and centre the rest.
        s = (bottom - top) * pass.fy * pictureSize.width / between;
        ox = (left + right) * (pass.fx - s) * 0.5 + pass.xOffset;
        oy = (top + bottom) * (pass.fy - s) * 0.5 + pass.yOffset;
    }

    RecordRect photo;
    int photoIndex = -1;
    FindPhotoRecord(records, photo, photoIndex);
    if (photoIndex >= 0) {
        RecordRect scaled = photo;
        ScaleRect(scaled, s, s, ox, oy);
        // Edges on the old page's edges stay on the new page's edges.
        const auto pinnedLeft = static_cast<std::int32_t>(pass.xOffset);
        const auto pinnedTop = static_cast<std::int32_t>(pass.yOffset);
        if (photo.left == 0)
            scaled.left = pinnedLeft;
        if (photo.top == 0)
            scaled.top = pinnedTop;
        if (photo.right == pass.oldWidth)
            scaled.right = ToCoordinate(std::int64_t{pinnedLeft} + pass.newWidth);
        if (photo.bottom == pass.oldHeight)
            scaled.bottom = ToCoordinate(std::int64_t{pinnedTop} + pass.newHeight);
        PutRecordRect(static_cast<std::size_t>(photoIndex), scaled, records);
    }

    const auto pageLeft = static_cast<std::int64_t>(pass.xOffset);
    const auto pageTop = static_cast<std::int64_t>(pass.yOffset);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (GetRecordKind(i, records) != RecordKindText)
            continue;
        RecordRect box;
        GetRecordRect(i, records, box);
        RecordPoint corner{box.left, box.top};
        ScalePoint(corner, s, s, ox, oy);
        std::int64_t l = corner.x;
        std::int64_t t = corner.y;
        std::int64_t r = l + (std::int64_t{box.right} - box.left);
        std::int64_t b = t + (std::int64_t{box.bottom} - box.top);
        HoldInside(l, r, pageLeft, pageLeft + pass.newWidth);
        HoldInside(t, b, pageTop, pageTop + pass.newHeight);
        PutRecordRect(i, RecordRect{ToCoordinate(l), ToCoordinate(t), ToCoordinate(r), ToCoordinate(b)},
                      records);
    }
}

void FindRecordOfKind(std::span<const UDLDrawRecord> records, int kind, RecordRect& rect, int& index)
{
    index = -1;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (GetRecordKind(i, records) == kind) {
            GetRecordRect(i, records, rect);
            index = static_cast<int>(i);
            return;
        }
    }
}

} // namespace

RecordRect GetPaperRect(const DSCPaperVariant& pair, std::int32_t rollLength)
{
    RecordRect rect;
    const bool listed =
        std::find(kFittingPapers.begin(), kFittingPapers.end(), pair.paperSize) != kFittingPapers.end();
    if (const auto size = GetPaperTableSize(pair.paperSize); listed && size) {
        rect.right = size->width;
        rect.bottom = IsScriptRollPaper(pair.paperSize) ? rollLength : size->height;
    }
    auto margins = GetPaperTableMargins(pair.marginMode);
    if (!margins)
        return rect;
    // The camera sets put this mode's wide margin on the right.
    if (pair.marginMode == kRightMarginMode)
        *margins = PaperTableMargins{42, 42, 42, 198};
    rect.right = ToCoordinate(std::int64_t{rect.right} - (margins->right + margins->left));
    rect.bottom = ToCoordinate(std::int64_t{rect.bottom} - (margins->top + margins->bottom));
    if (margins->left > 0)
        rect.left = 3;
    if (margins->top > 0)
        rect.top = 3;
    if (margins->right > 0)
        rect.right = ToCoordinate(std::int64_t{rect.right} - 7);
    if (margins->bottom > 0)
        rect.bottom = ToCoordinate(std::int64_t{rect.bottom} - 7);
    return rect;
}

void SetRecordRect(const DSCPaperVariant& pair, std::span<UDLDrawRecord> records, std::int32_t rollLength)
{
    if (pair == DSCPaperVariant{kBasePaper, kBorderless})
        return;
    const RecordRect paper = GetPaperRect(pair, rollLength);
    for (std::size_t i = 0; i < records.size(); ++i)
        PutRecordRect(i, paper, records);
}

int PutRecordRect(std::size_t index, const RecordRect& rect, std::span<UDLDrawRecord> records)
{
    if (index >= records.size())
        return 0;
    UDLDrawRecord& record = records[index];
    switch (record.type) {
    case UDLDrawPicture:
        record.picture.left = rect.left;
        record.picture.top = rect.top;
        record.picture.right = rect.right;
        record.picture.bottom = rect.bottom;
        return 1;
    case UDLDrawLine:
        record.line.x1 = rect.left;
        record.line.y1 = rect.top;
        record.line.x2 = rect.right;
        record.line.y2 = rect.bottom;
        return 1;
    case UDLDrawText:
        record.text.left = rect.left;
        record.text.top = rect.top;
        record.text.right = rect.right;
        record.text.bottom = rect.bottom;
        return 1;
    default:
        return 0;
    }
}

int GetRecordRect(std::size_t index, std::span<const UDLDrawRecord> records, RecordRect& rect)
{
    if (index >= records.size())
        return 0;
    const UDLDrawRecord& record = records[index];
    switch (record.type) {
    case UDLDrawPicture:
        rect =
            RecordRect{record.picture.left, record.picture.top, record.picture.right, record.picture.bottom};
        return 1;
    case UDLDrawLine:
        rect = RecordRect{record.line.x1, record.line.y1, record.line.x2, record.line.y2};
        return 1;
    case UDLDrawText:
        rect = RecordRect{record.text.left, record.text.top, record.text.right, record.text.bottom};
        return 1;
    default:
        return 0;
    }
}

int GetRecordKind(std::size_t index, std::span<const UDLDrawRecord> records)
{
    if (index >= records.size())
        return RecordKindNone;
    const UDLDrawRecord& record = records[index];
    if (record.type == UDLDrawPicture)
        return record.picture.frameNumber != 0 ? RecordKindPhoto : RecordKindFrame;
    return record.type == UDLDrawText ? RecordKindText : RecordKindNone;
}

double GetAspectRatio(const RecordSize& size)
{
    return Aspect(size.width, size.height);
}

void ScalePoint(RecordPoint& point, double xFactor, double yFactor, double xOffset, double yOffset)
{
    point.x = ToCoordinate(point.x * xFactor + xOffset);
    point.y = ToCoordinate(point.y * yFactor + yOffset);
}

void ScaleRect(RecordRect& rect, double xFactor, double yFactor, double xOffset, double yOffset)
{
    RecordPoint topLeft{rect.left, rect.top};
    RecordPoint bottomRight{rect.right, rect.bottom};
    ScalePoint(topLeft, xFactor, yFactor, xOffset, yOffset);
    ScalePoint(bottomRight, xFactor, yFactor, xOffset, yOffset);
    rect = RecordRect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void FindFrameRecord(std::span<const UDLDrawRecord> records, RecordRect& rect, int& index)
{
    FindRecordOfKind(records, RecordKindFrame, rect, index);
}

void FindPhotoRecord(std::span<const UDLDrawRecord> records, RecordRect& rect, int& index)
{
    FindRecordOfKind(records, RecordKindPhoto, rect, index);
}

int FitObjectsToPaper(const DSCPaperVariant& pair, std::span<UDLDrawRecord> records, RecordSize /*frameSize*/,
                      RecordSize pictureSize, std::int32_t& rollLength, std::int32_t basePaperSize)
{
    if (pair.paperSize == basePaperSize && pair.marginMode == kBorderless)
        return 1;
    const RecordRect paper = GetPaperRect(pair, rollLength);
    const RecordSize page{ToCoordinate(std::int64_t{paper.right} - paper.left),
                          ToCoordinate(std::int64_t{paper.bottom} - paper.top)};
    rollLength = 0;
    FitRecords(pair.marginMode == kBordered, page, records, GetAspectRatio(pictureSize), pictureSize,
               basePaperSize);
    const int clamped = ClampRecordsToPaper(records, pair, rollLength);
    return clamped != 1 ? clamped : 1;
}

void FitRecords(bool bordered, RecordSize pageSize, std::span<UDLDrawRecord> records, double pictureAspect,
                RecordSize pictureSize, std::int32_t basePaperSize)
{
    // A layout designed on the larger borderless papers is first brought onto
    // the base print area.
    if (basePaperSize == 18 || basePaperSize == 16) {
        ScalingPass first;
        if (basePaperSize == 18) {
            first.fx = 0.8809523809523809;
            first.fy = 0.841688654353562;
            first.oldWidth = 1512;
            first.oldHeight = 2274;
        } else {
            first.fx = 0.8945601074546675;
            first.fy = 0.8548459133541759;
            first.oldWidth = 1489;
            first.oldHeight = 2239;
        }
        RunPass(first, records, pictureAspect, pictureSize);
    }
    ScalingPass main;
    main.fx = pageSize.width * 0.0007507507507507507;
    main.fy = pageSize.height * 0.0005224660397074191;
    if (main.fx == 1.0 && main.fy == 1.0)
        return;
    main.xOffset = bordered ? 3.0 : 0.0;
    main.yOffset = main.xOffset;
    main.newWidth = pageSize.width;
    main.newHeight = pageSize.height;
    RunPass(main, records, pictureAspect, pictureSize);
}

int ClampRecordsToPaper(std::span<UDLDrawRecord> records, const DSCPaperVariant& pair,
                        std::int32_t rollLength)
{
    const RecordRect paper = GetPaperRect(pair, rollLength);
    for (std::size_t i = 0; i < records.size(); ++i) {
        RecordRect r;
        if (!GetRecordRect(i, records, r))
            continue;
        std::int64_t l = r.left, t = r.top, rt = r.right, b = r.bottom;
        if (l < paper.left) {
            rt += paper.left - l;
            l = paper.left;
        }
        if (rt > paper.right) {
            l -= rt - paper.right;
            rt = paper.right;
        }
        if (l < paper.left)
            l = paper.left;
        if (t < paper.top) {
            b += paper.top - t;
            t = paper.top;
        }
        if (b > paper.bottom) {
            t -= b - paper.bottom;
            b = paper.bottom;
        }
        if (t < paper.top)
            t = paper.top;
        PutRecordRect(i, RecordRect{ToCoordinate(l), ToCoordinate(t), ToCoordinate(rt), ToCoordinate(b)},
                      records);
    }
    return 1;
}
