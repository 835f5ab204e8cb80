#include "FrameKit/Documents.h"

#include "FrameKit/DrawAssist.h"
#include "FrameKit/LayoutDetail.h"
#include "FrameKit/LayoutSearch.h"
#include "FrameKit/LocationChange.h"

ZAVDocuments::ZAVDocuments(ZAV_SDK* owner)
    : m_owner(owner), m_search(std::make_unique<ZAVLayoutSearch>(this)),
      m_detail(std::make_unique<ZAVLayoutDetail>(this)), m_draw(std::make_unique<DrawAssist>(owner, this))
{
}

// Torn down in the order the reader relies on: search, detail, conversion, drawing.
ZAVDocuments::~ZAVDocuments()
{
    m_search.reset();
    m_detail.reset();
    m_location.reset();
    m_draw.reset();
}

void ZAVDocuments::SetLocationChange(std::unique_ptr<LocationChange> location)
{
    m_location = std::move(location);
}
