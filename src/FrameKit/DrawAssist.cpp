#include "FrameKit/DrawAssist.h"

#include "FrameKit/Documents.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/SDK.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/stat.h>

int ZavSplitBands(std::int32_t L, std::int32_t H, std::int32_t M, std::vector<std::int32_t>* bands)
{
    bands->clear();
    if (H < 1) {
        bands->push_back(L);
        return ZAV_OK;
    }
    if (L < M)
        return ZAV_ERR_ARGUMENT;
    if (L <= H) {
        bands->push_back(L);
        return ZAV_OK;
    }
    const std::int64_t n = (std::int64_t{L} + H - 1) / H;
    const std::int32_t r = static_cast<std::int32_t>(L - (n - 1) * H);
    auto within = [&](std::int64_t v) { return v >= M && v <= H; };
    if (r >= M) {
        bands->assign(static_cast<std::size_t>(n - 1), H);
        bands->push_back(r);
        return ZAV_OK;
    }
    if (n == 2) {
        std::int32_t a = L / 2, b = L - a;
        if (!within(a) || !within(b))
            return ZAV_ERR_ARGUMENT;
        *bands = {a, b};
        return ZAV_OK;
    }
    if ((std::int64_t{H} + r) / 2 >= M) {
        std::int32_t last = static_cast<std::int32_t>((std::int64_t{r} + H) / 2);
        std::int32_t before = r + H - last;
        if (within(last) && within(before)) {
            bands->assign(static_cast<std::size_t>(n - 2), H);
            bands->push_back(before);
            bands->push_back(last);
            return ZAV_OK;
        }
    }
    const std::int32_t q = static_cast<std::int32_t>(L / n);
    const std::int32_t rest = static_cast<std::int32_t>(L - q * n);
    const std::int32_t last = q + (rest + 1) / 2, before = q + rest / 2;
    if (q < M || !within(last) || !within(before))
        return ZAV_ERR_ARGUMENT;
    bands->assign(static_cast<std::size_t>(n - 2), q);
    bands->push_back(before);
    bands->push_back(last);
    return ZAV_OK;
}

int ZavWeekday(int year, int month, int day)
{
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
        return -1;
    // Days from the civil calendar; 1 January 1900 was a Monday.
    int y = month <= 2 ? year - 1 : year;
    int m = month <= 2 ? month + 9 : month - 3;
    long days = 365L * y + y / 4 - y / 100 + y / 400 + (153 * m + 2) / 5 + day;
    return static_cast<int>((days + 2) % 7);
}

bool ZavIsExifDate(const char* t)
{
    if (t == nullptr || std::strlen(t) != 19)
        return false;
    for (int i : {4, 7, 13, 16})
        if (t[i] != ':')
            return false;
    if (t[10] != ' ')
        return false;
    // The last digit of every number; leading places may be spaces.
    for (int i : {3, 6, 9, 12, 15, 18})
        if (t[i] < '0' || t[i] > '9')
            return false;
    for (int i = 0; i < 19; ++i)
        if (i != 4 && i != 7 && i != 10 && i != 13 && i != 16 && t[i] != ' ' && (t[i] < '0' || t[i] > '9'))
            return false;
    return true;
}

namespace {

int Number(const char* t, int from, int count)
{
    int v = 0;
    for (int i = from; i < from + count; ++i)
        v = v * 10 + (t[i] == ' ' ? 0 : t[i] - '0');
    return v;
}

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// Writes text into out as far as it fits, never splitting a character.
class Writer
{
public:
    Writer(char* out, std::size_t size) : m_out(out), m_room(size - 1) {}
    bool Put(const char* text, std::size_t n)
    {
        if (n <= m_room - m_used) {
            std::memcpy(m_out + m_used, text, n);
            m_used += n;
            return true;
        }
        std::size_t fit = m_room - m_used;
        while (fit > 0 && !IsCharBoundary(text, fit))
            --fit;
        std::memcpy(m_out + m_used, text, fit);
        m_used += fit;
        m_full = true;
        return false;
    }
    void End() { m_out[m_used] = '\0'; }
    bool Full() const { return m_full; }

private:
    char* m_out;
    std::size_t m_room;
    std::size_t m_used = 0;
    bool m_full = false;
};

// The host path's own file name.
const char* HostFileName(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

} // namespace

DrawAssist::DrawAssist(ZAV_SDK* owner, ZAVDocuments* documents) : m_owner(owner), m_documents(documents)
{
}

int DrawAssist::SetDrawTarget(ZavDrawTarget* target)
{
    m_target = target;
    return ZAV_OK;
}

void DrawAssist::LoadPhoto(const ZavPhotoEntry* photo)
{
    m_dateValid = false;
    m_infoValid = false;
    m_date = PhotoDate{};
    std::memset(&m_info, 0, sizeof m_info);
    // Only a given photo has a path worth reading.
    if (photo == nullptr || photo->kind != 0 || !IsTerminatedWithin(photo->path, sizeof photo->path))
        return;
    // Exif dates are the camera's wall clock, so the file time stands in as local time too.
    struct stat st;
    struct tm local;
    if (::stat(photo->path, &st) == 0 && ::localtime_r(&st.st_mtime, &local) != nullptr) {
        m_date = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min,         local.tm_sec,     local.tm_wday};
        m_dateValid = true;
    }
    std::uint32_t flags = 0;
    ZAVVividexRecord record;
    int rc = ExifPhotoInfoReader(photo->path, &m_info, &flags, &record);
    if (rc < 0 || rc > 4)
        return;
    m_infoValid = true;
    for (const char* d : {m_info.dateOriginal, m_info.dateDigitized, m_info.dateTime}) {
        if (!ZavIsExifDate(d))
            continue;
        PhotoDate p{Number(d, 0, 4),  Number(d, 5, 2),  Number(d, 8, 2),
                    Number(d, 11, 2), Number(d, 14, 2), Number(d, 17, 2)};
        p.weekday = ZavWeekday(p.year, p.month, p.day);
        if (p.year >= 1 && p.month >= 1 && p.month <= 12 && p.day >= 1 && p.day <= 31 && p.hour <= 23 &&
            p.minute <= 59 && p.second <= 59 && p.weekday >= 0) {
            m_date = p;
            m_dateValid = true;
        }
        break;
    }
}

int DrawAssist::ExpandMacros(char* out, std::int32_t outSize, const char* text, const ZavPhotoEntry* photo,
                             std::int32_t number)
{
    if (out == nullptr || outSize < 1 || text == nullptr)
        return ZAV_ERR_ARGUMENT;
    LoadPhoto(photo);
    const PhotoDate& d = m_date;
    Writer w(out, static_cast<std::size_t>(outSize));
    for (std::size_t i = 0; text[i] != '\0' && !w.Full();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c != '%') {
            std::size_t n = IsSjisLeadByte(c) && text[i + 1] != '\0' ? 2 : 1;
            w.Put(text + i, n);
            i += n;
            continue;
        }
        const char m = text[i + 1];
        if (m == '\0')
            break;
        i += 2;
        // The expansion: e, n bytes long (numbers are printed into buf).
        char buf[32];
        const char* e = "";
        std::size_t n = std::string::npos;
        auto num = [&](const char* format, int value) {
            std::snprintf(buf, sizeof buf, format, value);
            e = buf;
        };
        switch (m) {
        case '%':
        case '"':
            e = text + i - 1;
            n = 1;
            break;
        case 'Y':
            num("%04.4d", d.year);
            break;
        case 'y':
            num("%04.4d", d.year);
            e = buf + 2;
            break;
        case 'L':
            num("%02.2d", d.month);
            break;
        case 'l':
            num("%d", d.month);
            break;
        case 'G':
        case 'g':
            if (d.month >= 1 && d.month <= 12)
                e = kMonths[d.month - 1];
            n = m == 'G' ? std::string::npos : 3;
            break;
        case 'D':
            num("%02.2d", d.day);
            break;
        case 'd':
            num("%d", d.day);
            break;
        case 'W':
        case 'w':
            if (d.weekday >= 0 && d.weekday <= 6)
                e = kDays[d.weekday];
            n = m == 'W' ? std::string::npos : 3;
            break;
        case 'H':
            num("%02.2d", d.hour);
            break;
        case 'h':
            num("%02.2d", d.hour % 12 == 0 ? 12 : d.hour % 12);
            break;
        case 'M':
            num("%02.2d", d.minute);
            break;
        case 'm':
            num("%d", d.minute);
            break;
        case 'S':
            num("%02.2d", d.second);
            break;
        case 's':
            num("%d", d.second);
            break;
        case 'T':
            e = d.hour < 12 ? "AM" : "PM";
            break;
        case 't':
            e = d.hour < 12 ? "am" : "pm";
            break;
        case 'N':
            num("%03.3d", number);
            break;
        case 'n':
            num("%d", number);
            break;
        case 'F':
        case 'f':
            if (photo != nullptr && photo->kind == 0 && IsTerminatedWithin(photo->path, sizeof photo->path))
                e = m == 'F' ? photo->path : HostFileName(photo->path);
            break;
        case 'A':
            if (m_infoValid && (m_info.flash == 1 || m_info.flash == 2))
                e = m_info.flash == 1 ? "OFF" : "ON";
            break;
        case 'C':
        case 'E':
        case 'I':
        case 'U':
            if (m_infoValid) {
                const char* f = m == 'C'   ? m_info.modelText
                                : m == 'E' ? m_info.exposureText
                                : m == 'I' ? m_info.isoText
                                           : m_info.fNumberText;
                e = f;
                n = strnlen(f, 255);
            }
            break;
        default:
            break;
        }
        w.Put(e, n == std::string::npos ? std::strlen(e) : n);
    }
    w.End();
    return w.Full() ? ZAV_ERR_MACRO : ZAV_OK;
}

int DrawAssist::PlacePicture(const ZavPlacementRecord& r, ZavPlacement* out)
{
    if (out == nullptr)
        return ZAV_ERR_ARGUMENT;
    *out = ZavPlacement{};
    const bool turned = r.rotation == 1 || r.rotation == 3;
    const double W = static_cast<double>(r.x2) - r.x1 + 1, H = static_cast<double>(r.y2) - r.y1 + 1;
    const double pw = turned ? r.photoHeight : r.photoWidth, ph = turned ? r.photoWidth : r.photoHeight;
    const bool widthBound = W / pw < H / ph;
    double w = W, h = H;
    bool heightDerived = widthBound;
    if (r.scaling == 0 || r.scaling == 1) {
        heightDerived = r.scaling == 0 ? widthBound : !widthBound;
        if (heightDerived) {
            h = std::trunc(ph * W / pw + 0.5);
            if (std::fabs(h - H) <= 1)
                h = H;
        } else {
            w = std::trunc(pw * H / ph + 0.5);
            if (std::fabs(w - W) <= 1)
                w = W;
        }
    }
    if (turned)
        std::swap(w, h);
    const double photoW = r.photoWidth, photoH = r.photoHeight;
    switch (r.fitMode) {
    case 0:
        w = photoW, h = photoH;
        break;
    case 1:
        if (w > photoW || h > photoH)
            w = photoW, h = photoH;
        break;
    case 2:
        if (w < photoW || h < photoH)
            w = photoW, h = photoH;
        break;
    default:
        break;
    }
    out->width = static_cast<std::int32_t>(w);
    out->height = static_cast<std::int32_t>(h);
    out->heightDerived = heightDerived ? 1 : 0;
    // In the frame the fitted photo lies turned again.
    const std::int64_t fw = turned ? out->height : out->width, fh = turned ? out->width : out->height;
    const int derivedAlign = r.anchor / 3, otherAlign = r.anchor % 3;
    const int alignX = heightDerived ? otherAlign : derivedAlign;
    const int alignY = heightDerived ? derivedAlign : otherAlign;
    auto offset = [](std::int64_t frame, std::int64_t photo, int align) -> std::int64_t {
        std::int64_t diff = frame - photo;
        if (align == 0)
            return 0;
        return align == 1 ? (diff >= 0 ? diff / 2 : -((-diff + 1) / 2)) : diff;
    };
    const std::int64_t Wi = static_cast<std::int64_t>(W), Hi = static_cast<std::int64_t>(H);
    const std::int64_t ox = offset(Wi, fw, alignX), oy = offset(Hi, fh, alignY);
    const std::int64_t vx1 = std::max<std::int64_t>(0, -ox), vy1 = std::max<std::int64_t>(0, -oy);
    const std::int64_t vx2 = std::min<std::int64_t>(fw, Wi - ox) - 1,
                       vy2 = std::min<std::int64_t>(fh, Hi - oy) - 1;
    out->visible = {static_cast<std::int32_t>(vx1), static_cast<std::int32_t>(vy1),
                    static_cast<std::int32_t>(vx2), static_cast<std::int32_t>(vy2)};
    out->place = {static_cast<std::int32_t>(r.x1 + ox + vx1), static_cast<std::int32_t>(r.y1 + oy + vy1),
                  static_cast<std::int32_t>(r.x1 + ox + vx2), static_cast<std::int32_t>(r.y1 + oy + vy2)};
    return ZAV_OK;
}

int DrawAssist::Prepare(std::int32_t target)
{
    int rc = m_owner->GetLayoutHeader(&m_header);
    if (rc != ZAV_OK)
        return rc;
    return m_owner->GetConversion(target, &m_conversion);
}

void DrawAssist::FitOpenHeight(ZavRect& rect, std::uint8_t frameRotation, const ZavPhotoEntry& photo) const
{
    const bool turned = ((photo.rotation + frameRotation) & 1) != 0;
    const double pw = turned ? photo.height : photo.width, ph = turned ? photo.width : photo.height;
    if (pw < 1 || ph < 1)
        return;
    const double w = static_cast<double>(rect.x2) - rect.x1 + 1;
    const double h = std::trunc(w * ph / pw + 0.5);
    if (h >= 1 && h < INT32_MAX - static_cast<double>(rect.y1))
        rect.y2 = rect.y1 + static_cast<std::int32_t>(h) - 1;
}

int DrawAssist::GetPageExtent(ZavExtent* out, std::int32_t target, std::int32_t photoCount,
                              const ZavPhotoEntry* photos)
{
    if (out == nullptr)
        return ZAV_ERR_ARGUMENT;
    int rc = Prepare(target);
    if (rc != ZAV_OK)
        return rc;
    const bool rotated = m_conversion.rotated != 0;
    if (!(m_header.paperName[0] == 'R' && m_header.hasOpenHeight)) {
        *out = rotated ? ZavExtent{m_conversion.height, m_conversion.width}
                       : ZavExtent{m_conversion.width, m_conversion.height};
        return ZAV_OK;
    }
    std::int64_t length = 0;
    ZavItemRecord item;
    for (std::int32_t i = 0; m_owner->GetItem(i, &item) == ZAV_OK; ++i) {
        ZavRect rect;
        if (item.kind == 0) {
            const ZavPictureRecord& p = item.picture;
            if (p.frameNumber > photoCount)
                continue; // an empty rectangle
            rect = target == 0 ? p.rectT0 : p.rectT1;
            if (p.openHeight && p.frameNumber >= 1 && photos != nullptr &&
                photos[p.frameNumber - 1].kind == 0)
                FitOpenHeight(rect, target == 0 ? p.codesT0[0] : p.codesT1[0], photos[p.frameNumber - 1]);
        } else if (item.kind == 1) {
            rect = target == 0 ? item.line.rectT0 : item.line.rectT1;
        } else {
            rect = target == 0 ? item.string.rectT0 : item.string.rectT1;
        }
        // Measured from the target's origin, so that a shifted origin gives the same page.
        std::int64_t end = rotated ? std::int64_t{rect.x2} - m_conversion.originX
                                   : std::int64_t{rect.y2} - m_conversion.originY;
        length = std::max(length, end + 1);
    }
    const std::int32_t len = static_cast<std::int32_t>(std::min<std::int64_t>(length, INT32_MAX));
    *out = rotated ? ZavExtent{len, m_conversion.width} : ZavExtent{m_conversion.width, len};
    return ZAV_OK;
}

int DrawAssist::DrawItems(std::int32_t photoCount, const ZavPhotoEntry* photos, void* context,
                          const ZavBandLimits* band)
{
    const bool t0 = band != nullptr;
    ZavItemRecord item;
    for (std::int32_t i = 0; m_owner->GetItem(i, &item) == ZAV_OK; ++i) {
        const ZavRect* r = nullptr;
        if (item.kind == 0)
            r = t0 ? &item.picture.rectT0 : &item.picture.rectT1;
        else if (item.kind == 1)
            r = t0 ? &item.line.rectT0 : &item.line.rectT1;
        else
            r = t0 ? &item.string.rectT0 : &item.string.rectT1;
        if (band != nullptr && (r->y1 > band->bottom || r->y2 < band->top))
            continue;
        int rc = ZAV_OK;
        if (item.kind == 0) {
            ZavPictureRecord& p = item.picture;
            const ZavPhotoEntry* photo = nullptr;
            ZavRect frame = *r;
            if (p.frameNumber >= 1 && p.frameNumber <= photoCount && photos != nullptr) {
                photo = &photos[p.frameNumber - 1];
                if (p.openHeight && photo->kind == 0)
                    FitOpenHeight(frame, t0 ? p.codesT0[0] : p.codesT1[0], *photo);
            }
            rc = band ? m_target->DrawPictureInBand(context, photo, p, frame, *band)
                      : m_target->DrawPicture(context, photo, p, frame);
        } else if (item.kind == 1) {
            rc = band ? m_target->DrawLineInBand(context, item.line, *band)
                      : m_target->DrawLine(context, item.line);
        } else {
            ZavStringRecord& s = item.string;
            ZavPhotoEntry own;
            const ZavPhotoEntry* photo = nullptr;
            if (s.frameNumber < 1) {
                own.kind = 0;
                std::memcpy(own.path, s.filePath, sizeof own.path);
                own.path[sizeof own.path - 1] = '\0';
                own.width = own.height = 1;
                photo = &own;
            } else if (s.frameNumber <= photoCount && photos != nullptr) {
                photo = &photos[s.frameNumber - 1];
            }
            char text[64];
            ExpandMacros(text, sizeof text, s.text, photo, s.frameNumber);
            std::memcpy(s.text, text, sizeof text);
            rc = band ? m_target->DrawStringInBand(context, s, *band) : m_target->DrawString(context, s);
        }
        if (rc != ZAV_OK)
            return rc;
    }
    return ZAV_OK;
}

int DrawAssist::DrawLayout(std::int32_t photoCount, const ZavPhotoEntry* photos, void* context)
{
    if (m_target == nullptr)
        return ZAV_ERR_BUSY;
    m_drawing = 1;
    int rc = Prepare(1);
    if (rc == ZAV_OK)
        rc = DrawItems(photoCount, photos, context, nullptr);
    m_drawing = 0;
    return rc;
}

int DrawAssist::DrawLayoutInBands(std::int32_t photoCount, const ZavPhotoEntry* photos, void* context,
                                  const ZavBandRecord& record)
{
    if (m_target == nullptr)
        return ZAV_ERR_BUSY;
    int rc = Prepare(0);
    if (rc != ZAV_OK)
        return rc;
    ZavExtent extent;
    if ((rc = GetPageExtent(&extent, 0, photoCount, photos)) != ZAV_OK)
        return rc;
    const double scaled = std::floor(extent.height * m_conversion.scale);
    const std::int32_t length = scaled < 0           ? 0
                                : scaled > INT32_MAX ? INT32_MAX
                                                     : static_cast<std::int32_t>(scaled);
    std::vector<std::int32_t> bands;
    if ((rc = ZavSplitBands(length, record.bandHeight, record.minimumBand, &bands)) != ZAV_OK)
        return rc;
    const bool banding = record.bandHeight >= 1;
    const std::int32_t subHeight = banding && m_conversion.height >= 1 ? m_conversion.height : INT32_MAX;
    LocationChange* location = m_documents->GetLocationChange();
    m_drawing = 1;
    std::int64_t top = 0;
    auto shiftBy = [&](std::int32_t shift) {
        top -= shift;
        m_conversion.originY -= shift;
        location->SetConversion(0, m_conversion);
    };
    auto rectOf = [&](std::int64_t from, std::int64_t height) {
        return ZavRect{0, static_cast<std::int32_t>(from), m_conversion.width - 1,
                       static_cast<std::int32_t>(from + height - 1)};
    };
    for (std::size_t b = 0; b < bands.size() && rc == ZAV_OK; ++b) {
        const std::int64_t bandTop = top;
        if (banding && (rc = m_target->StartBand(context, rectOf(bandTop, bands[b]))) != ZAV_OK)
            break;
        for (std::int64_t done = 0; done < bands[b] && rc == ZAV_OK;) {
            const std::int64_t h = std::min<std::int64_t>(subHeight, bands[b] - done);
            const ZavRect sub = rectOf(top, h);
            if ((rc = m_target->StartSubBand(context, sub)) != ZAV_OK)
                break;
            const ZavBandLimits limits{sub.y1, sub.y2};
            if ((rc = DrawItems(photoCount, photos, context, &limits)) != ZAV_OK)
                break;
            std::int32_t shift = 0;
            if ((rc = m_target->EndSubBand(context, sub, &shift)) != ZAV_OK)
                break;
            top += h;
            done += h;
            shiftBy(shift);
        }
        if (rc == ZAV_OK && banding) {
            std::int32_t shift = 0;
            rc = m_target->EndBand(context, rectOf(bandTop, bands[b]), &shift);
            if (rc == ZAV_OK)
                shiftBy(shift);
        }
    }
    m_drawing = 0;
    return rc;
}
